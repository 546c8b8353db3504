// What the offscreen window tests share: the application object, test jobs, recorded alerts,
// access to controls by name, what a screen reader hears, and the private printing system.
#pragma once

#include "CupsSimFixture.h"
#include "EmbosserSim.h"
#include "FileText.h"
#include "JobWriter.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "job/Document.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace guitest {

using TempDir = brelmont::testing::ScratchDir;

// A job naming a Merriden, with `emboss` emboss pages of 8 x 6 cells and `ink` ink pages.
brelmont::testing::ByteVector job(int emboss, int ink);
// The job decoded as opened from /jobs/test.kprn.
std::shared_ptr<brelmont::job::Document> document(const brelmont::testing::ByteVector& bytes);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// Alerts recorded instead of run modally, while the object lives.
struct Alerts {
    Alerts();
    ~Alerts();
    QStringList take();
    // Exactly one alert was shown, and it starts with `start`; so does the status line of `window`.
    void expectOne(const QString& start, const QWidget* window = nullptr);
    QStringList texts;
    QStringList details;   // what each alert keeps behind its Details button
    QStringList questions; // the questions asked, each answered with `agree`
    bool agree = true;
    bool onMainThread = true;
};

template <typename T = QWidget>
T* find(QWidget* window, const char* name) {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}
// What a user does: type into a field and leave it.
void type(QWidget* window, const char* field, const QString& text);
QString text(QWidget* window, const char* field);
void showActive(QWidget* window);

// What the status line of the window holding `widget` shows.
QString status(const QWidget* widget);

QString accessibleName(QWidget* widget);
// The label a control is the buddy of, else its own name (a combo box's own name is its item).
QString spokenName(QWidget* widget);
// Object names of the controls Tab can reach that a screen reader cannot name.
QStringList unnamedControls(QWidget* window);
// Mnemonic letters used more than once among labels with buddies, buttons, group boxes and tabs.
QStringList clashingMnemonics(QWidget* window);
// The object names (or, for unnamed ones, accessible names) of the visible, enabled Tab stops
// from `start` once round its window.
QStringList tabStops(QWidget* start);

// The shared system fixture with Orvin_200 ("Hall Orvin") and Valdo_Sheet ("Annex Valdo") queues,
// both with the embosser options, each leading to a simulated embosser.
class SystemTest : public brelmont::testing::CupsSimFixture {
protected:
    static void SetUpTestSuite();
    static std::string assignments(const std::string& queue);

    static inline brelmont::testing::EmbosserSim *orvin = nullptr, *valdo = nullptr;
    Alerts alerts;
};

} // namespace guitest
