// Shared pieces of the offscreen GUI tests: the application object, temporary folders, test jobs.
#pragma once

#include "ScratchDir.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include "job/Document.h"

#include "JobWriter.h"

#include <filesystem>
#include <memory>
#include <string>

namespace guitest {

// A folder under the temporary directory, removed with everything in it at the end.
using TempDir = brelmont::testing::ScratchDir;

// A job naming a model, with `emboss` emboss pages of 8 x 6 cells (kind 2) and `ink` one-byte ink pages.
brelmont::testing::ByteVector job(int emboss, int ink);
// The job decoded as if read from `path`.
std::shared_ptr<brelmont::job::Document> document(const brelmont::testing::ByteVector& bytes,
                                                  const std::filesystem::path& path = "/jobs/test.kprn");

void writeFile(const std::filesystem::path& path, const std::string& bytes);
void writeFile(const std::filesystem::path& path, const brelmont::testing::ByteVector& bytes);
std::string readFile(const std::filesystem::path& path);

// The name a screen reader hears for the widget.
QString accessibleName(QWidget* widget);
// What a screen reader says a control is: the label it is the buddy of, else its own name
// (buttons and check boxes by their text). A combo box's own name is only its current item.
QString spokenName(QWidget* widget);
// The object names of a window's controls that Tab reaches and a screen reader cannot name.
QStringList unnamedControls(QWidget* window);

// The mnemonic letters (upper case) of a window's labels that have a buddy, its buttons, group
// boxes and tab titles, one entry per text that has one.
QStringList mnemonics(QWidget* window);
// The letters that stand more than once in that list.
QStringList clashingMnemonics(QWidget* window);

} // namespace guitest
