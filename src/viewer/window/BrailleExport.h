// File ▸ Export Braille…: the job's 6-dot emboss pages as a BRF file, for braille transcription
// programs. The pages left out (8-dot braille, graphics) and any failure are shown in an alert; a
// finished export without such news is said at the focused control.
#pragma once

#include "job/Document.h"

#include <QString>

#include <functional>

class QWidget;

namespace brelmont::viewer {

// Asks where to write, proposing `proposedPath`; an empty answer cancels.
using AskExportPath = std::function<QString(QWidget* parent, const QString& proposedPath)>;

AskExportPath fileDialogExportPath();

// True when a file was written.
bool exportBraille(QWidget* window, const job::Document& document, const AskExportPath& askPath);

} // namespace brelmont::viewer
