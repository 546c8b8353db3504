// The queues of the private CUPS server that the preferences window tests open, and access to
// the window's controls by their names.
#pragma once

#include "CupsServer.h"
#include "ScratchDir.h"
#include "preferences/ui/PreferencesViewController.h"
#include "printer/Printers.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QString>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace prefstest {

// The custom size listed first among the page sizes, as some descriptions do.
inline const std::string OrvinQueue = "Orvin_200";
// The custom size listed last; no printer-info, so the make-and-model names it.
inline const std::string ValdoQueue = "Valdo_Sheet";
// Shell metacharacters CUPS accepts in a queue name; run unquoted, it would create "pwned".
inline const std::string HostileQueue = "Ho;touch${IFS}pwned&$(touch${IFS}pwned)`touch${IFS}pwned`";

class PreferencesWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The queue list as the window's menu command builds it, optionally cut to some queues.
    static brelmont::printer::Printers printers(const std::vector<std::string>& only = {});
    // A window over those queues; its file picker answers with `picked` and records the folder.
    std::unique_ptr<brelmont::preferences::ui::PreferencesViewController> open(const std::vector<std::string>& only = {});

    static std::string assignments(const std::string& queue);
    static void assign(const std::string& queue, const std::string& options);
    static std::filesystem::path mirror(const std::string& queue);

    template <typename T> static T* control(QWidget* window, const char* name) {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    static inline std::unique_ptr<brelmont::testing::CupsServer> cups;
    static inline std::unique_ptr<brelmont::testing::ScratchDir> scratch;
    static inline std::string startError;
    static std::filesystem::path shared() { return scratch->path() / "shared folder"; }
    static std::filesystem::path work() { return scratch->path() / "work"; }

    QString picked;
    QString pickerFolder;
    int pickerRuns = 0;
};

} // namespace prefstest
