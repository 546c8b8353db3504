#include "PreferencesWindowFixture.h"

#include "GuiTestSupport.h"

#include <QSettings>

#include <cstdlib>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;
using brelmont::preferences::ui::PreferencesViewController;
using brelmont::testing::CupsServer;
using brelmont::testing::embosserOptions;
using brelmont::testing::QueueDefinition;
using brelmont::testing::ScratchDir;
using brelmont::testing::shellQuote;

namespace prefstest {

namespace {

// The variables the suite points at its scratch folder, with the values they had before.
const char* const Redirected[] = {"BRELMONT_SHARED_DIR", "BRELMONT_RESOURCE_DIR", "TMPDIR"};
std::vector<std::optional<std::string>> savedVariables;

} // namespace

void PreferencesWindow::SetUpTestSuite() {
    if (!CupsServer::available()) return;
    savedVariables.clear();
    for (const char* name : Redirected) {
        const char* value = std::getenv(name);
        savedVariables.push_back(value ? std::optional<std::string>(value) : std::nullopt);
    }
    scratch = std::make_unique<ScratchDir>("prefs-window");
    fs::create_directories(shared() / ".lpoptions");
    fs::create_directories(shared() / "Patterns");
    fs::create_directories(work());
    fs::create_directories(scratch->path() / "resources");
    // No embosser is attached: the device listing is empty.
    guitest::writeFile(scratch->path() / "resources" / "pjlhelper", std::string("#!/bin/sh\nexit 0\n"));
    fs::permissions(scratch->path() / "resources" / "pjlhelper", fs::perms::owner_all);
    fs::create_directories(scratch->path() / "settings");
    fs::create_directories(scratch->path() / "tmp");

    cups = std::make_unique<CupsServer>();
    std::string error;
    if (!cups->start(&error)) {
        startError = error;
        cups.reset();
        return;
    }
    const auto embosser = [](const std::string& name, const std::string& model, const std::string& info) {
        QueueDefinition queue;
        queue.name = name;
        queue.makeAndModel = model;
        queue.deviceUri = "socket://127.0.0.1:9";
        queue.info = info;
        queue.options = embosserOptions();
        queue.customPageSize = true;
        return queue;
    };
    QueueDefinition orvin = embosser(OrvinQueue, "Orvin 200", "Brelmont Orvin");
    orvin.customPageSizeFirst = true;
    QueueDefinition other = embosser("Acme", "Acme LaserBlaster 9", "Acme");
    other.manufacturer = "Acme";
    const QueueDefinition valdo = embosser(ValdoQueue, "Valdo Sheet", "");
    const QueueDefinition hostile = embosser(HostileQueue, "Orvin 200", "Odd");
    if (!cups->addQueues({orvin, valdo, hostile, other}, &error)) startError = error;
    cups->applyEnvironment();

    // Everything the window writes lands in the scratch folder: mirrors, settings, work files.
    ::setenv("BRELMONT_SHARED_DIR", shared().c_str(), 1);
    ::setenv("BRELMONT_RESOURCE_DIR", (scratch->path() / "resources").c_str(), 1);
    ::setenv("TMPDIR", (scratch->path() / "tmp").c_str(), 1);
    const QString settings = QString::fromStdString((scratch->path() / "settings").string());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings);
    fs::current_path(work());
}

void PreferencesWindow::TearDownTestSuite() {
    if (scratch) fs::current_path(scratch->path().parent_path());
    if (cups) cups->stop();
    cups.reset();
    scratch.reset();
    for (size_t i = 0; i < savedVariables.size(); ++i) {
        if (savedVariables[i]) ::setenv(Redirected[i], savedVariables[i]->c_str(), 1);
        else ::unsetenv(Redirected[i]);
    }
}

void PreferencesWindow::SetUp() {
    if (!cups) GTEST_SKIP() << (startError.empty() ? "cupsd is not installed" : startError);
    ASSERT_TRUE(startError.empty()) << startError;
    for (const std::string& queue : {OrvinQueue, ValdoQueue, HostileQueue}) cups->run("lpoptions -x " + shellQuote(queue));
    QSettings("Brelmont", "Brelmont Companion").clear();
    fs::remove_all(shared() / ".lpoptions");
    fs::create_directories(shared() / ".lpoptions");
}

void PreferencesWindow::TearDown() {
    if (cups) {
        EXPECT_FALSE(fs::exists(work() / "pwned")) << "a shell ran part of a value or queue name";
    }
}

brelmont::printer::Printers PreferencesWindow::printers(const std::vector<std::string>& only) {
    brelmont::printer::Printers all;
    if (only.empty()) return all;
    std::vector<brelmont::printer::PrinterItem> some;
    for (const std::string& queue : only)
        for (const brelmont::printer::PrinterItem& item : all.items())
            if (item.queue == queue) some.push_back(item);
    return brelmont::printer::Printers(some, all.deviceListing());
}

std::unique_ptr<PreferencesViewController> PreferencesWindow::open(const std::vector<std::string>& only) {
    auto window = std::make_unique<PreferencesViewController>(printers(only));
    window->setFilePicker([this](QWidget*, const QString& folder) {
        ++pickerRuns;
        pickerFolder = folder;
        return picked;
    });
    return window;
}

std::string PreferencesWindow::assignments(const std::string& queue) {
    return cups->run("lpoptions -p " + shellQuote(queue)).out;
}

void PreferencesWindow::assign(const std::string& queue, const std::string& options) {
    cups->run("lpoptions -p " + shellQuote(queue) + " " + options);
}

fs::path PreferencesWindow::mirror(const std::string& queue) { return shared() / ".lpoptions" / (queue + ".lpoptions"); }

} // namespace prefstest
