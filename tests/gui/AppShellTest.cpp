// The application shell offscreen: the launch sequence in a temporary shared folder, documents
// opened from paths, drops, the hand-off and the Open command, Save, alerts, the start window.
#include "app/AppDelegate.h"
#include "widgets/Guidance.h"
#include "app/DocumentController.h"
#include "widgets/MessageBox.h"
#include "app/StartWindow.h"
#include "viewer/window/ClickableImageView.h"
#include "viewer/window/ViewController.h"
#include "viewer/window/WindowController.h"

#include "GuiTestSupport.h"
#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <cstdlib>
#include <optional>
#include <sys/stat.h>
#include <thread>

using brelmont::app::AppDelegate;
using brelmont::app::DocumentController;
using brelmont::widgets::MessageBox;
using brelmont::app::SharedFolder;
using brelmont::app::StartWindow;
using brelmont::testing::ScopedEnv;
namespace fs = std::filesystem;

namespace {

// Records the alerts instead of running them modally.
struct Alerts {
    Alerts() {
        MessageBox::setPresenter([this](const QString& text) {
            texts << text;
            onMainThread = onMainThread && QThread::currentThread() == qApp->thread();
        });
    }
    ~Alerts() {
        QCoreApplication::processEvents(); // alerts still queued belong to this test
        MessageBox::setPresenter({});
    }
    QStringList take() {
        QCoreApplication::processEvents();
        QStringList t = texts;
        texts.clear();
        return t;
    }
    QStringList texts;
    bool onMainThread = true;
};

std::string sampleJob() { return guitest::readFile(BRELMONT_SAMPLE_JOB); }

using guitest::accessibleName;

QAction* findAction(QMenu* menu, const QString& name) {
    for (QAction* action : menu->actions())
        if (action->objectName() == name) return action;
    return nullptr;
}

} // namespace

TEST(Launch, PreparesTheSharedFolderAndOpensTheStartWindow) {
    guitest::TempDir dir;
    const SharedFolder folder(dir.path() / "Shared" / "Brelmont");
    Alerts alerts;
    AppDelegate app(folder);
    const mode_t mask = umask(022);
    app.applicationDidFinishLaunching();
    umask(mask);

    for (const char* sub : {"", "DPFonts", ".lpoptions", "Patterns"})
        EXPECT_TRUE(fs::is_directory(folder.root() / sub)) << sub;
    EXPECT_TRUE(fs::exists(folder.lockFile()));
    EXPECT_EQ(fs::file_size(folder.lockFile()), 0u);
    // The first tick ran at once: both files are there for the driver, whatever the umask.
    EXPECT_EQ(fs::status(folder.lockFile()).permissions() & fs::perms::mask, fs::perms(0666));
    EXPECT_EQ(fs::status(folder.previewJob()).permissions() & fs::perms::mask, fs::perms(0666));
    EXPECT_TRUE(app.previewTimer().isActive());
    EXPECT_EQ(app.previewTimer().interval(), 1000);
    EXPECT_FALSE(app.previewTimer().isSingleShot());
    ASSERT_TRUE(app.window());
    EXPECT_TRUE(app.window()->isVisible());
    EXPECT_EQ(app.window()->objectName(), "YourCustomVC");
    EXPECT_TRUE(alerts.take().isEmpty());
}

TEST(Launch, DiscardsAnOldRequestAndLeavesExistingPathsAlone) {
    guitest::TempDir dir;
    const SharedFolder folder(dir.path());
    guitest::writeFile(dir.path() / "Patterns", std::string("a file where a folder would go"));
    guitest::writeFile(folder.lockFile(), std::string("old\nrequest\nscan.pdf\nx\ny\n"));
    Alerts alerts;
    AppDelegate app(folder);
    app.applicationDidFinishLaunching();
    EXPECT_EQ(fs::file_size(folder.lockFile()), 0u);
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "Patterns"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "DPFonts"));
    EXPECT_TRUE(app.documents().windows().isEmpty());
}

TEST(Launch, TheSharedFolderComesFromTheEnvironment) {
    unsetenv(SharedFolder::RootVariable);
    EXPECT_EQ(SharedFolder::fromEnvironment().root(), "/Users/Shared/Brelmont");
    setenv(SharedFolder::RootVariable, "/tmp/elsewhere", 1);
    EXPECT_EQ(SharedFolder::fromEnvironment().root(), "/tmp/elsewhere");
    EXPECT_EQ(SharedFolder::fromEnvironment().lockFile(), "/tmp/elsewhere/.preview.lock");
    unsetenv(SharedFolder::RootVariable);
}

TEST(Launch, TheTimerHandsAPreviewJobToTheViewer) {
    guitest::TempDir dir;
    const SharedFolder folder(dir.path());
    Alerts alerts;
    AppDelegate app(folder);
    app.applicationDidFinishLaunching();
    chmod(folder.lockFile().c_str(), 0666);
    guitest::writeFile(folder.previewJob(), sampleJob());
    guitest::writeFile(folder.lockFile(), std::string("printer\nuser\nThe lantern keeper.pdf\ncopies=1\nqueue\n"));
    QTRY_COMPARE_WITH_TIMEOUT(app.documents().windows().size(), 1, 5000);
    auto* window = app.documents().windows().first();
    EXPECT_EQ(window->document()->m_fileURL, folder.root() / "The lantern keeper.kprn");
    EXPECT_EQ(window->windowTitle(), "The lantern keeper.kprn");
    EXPECT_EQ(fs::file_size(folder.lockFile()), 0u);
    EXPECT_TRUE(alerts.take().isEmpty());
}

TEST(Documents, OneViewerWindowPerDocument) {
    guitest::TempDir dir;
    const fs::path path = dir.path() / "job.kprn";
    guitest::writeFile(path, guitest::job(2, 1));
    Alerts alerts;
    DocumentController documents;
    auto* first = documents.openDocument(QString::fromStdString(path.string()));
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->document()->m_embPages.size(), 2u);
    EXPECT_EQ(first->viewController()->currentPage(), 0);
    // The same file again, even by another spelling of its path, brings the same window forward.
    auto* again = documents.openDocument(QString::fromStdString((dir.path() / "." / "job.kprn").string()));
    EXPECT_EQ(again, first);
    EXPECT_EQ(documents.windows().size(), 1);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(documents.windows().size(), 0);
    EXPECT_TRUE(alerts.take().isEmpty());
}

// The cause in words first, the error domain and code kept after it.
TEST(Documents, RefusedJobsSayWhyAndNameTheErrorDomainAndCode) {
    guitest::TempDir dir;
    guitest::writeFile(dir.path() / "nomodel.kprn", brelmont::testing::JobWriter().embossRaster({1, 1, 1, 1}, 2, 2).data());
    guitest::writeFile(dir.path() / "job.txt", guitest::job(1, 0));
    guitest::writeFile(dir.path() / "foreign.kprn", std::string("%PDF-1.4\n%\xE2\xE3\n"));
    Alerts alerts;
    DocumentController documents;
    for (const char* name : {"nomodel.kprn", "job.txt", "foreign.kprn", "missing.kprn"})
        EXPECT_FALSE(documents.openDocument(QString::fromStdString((dir.path() / name).string())));
    const QStringList texts = alerts.take();
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0], "The job “nomodel.kprn” could not be opened. The job names no embosser model. (error domain NSOSStatusErrorDomain, code 259)");
    EXPECT_EQ(texts[1], "The job “job.txt” could not be opened. This file is not a Brelmont print job. (error domain NSOSStatusErrorDomain, code -4)");
    EXPECT_EQ(texts[2], "The job “foreign.kprn” could not be opened. This file is not a Brelmont print job. (error domain NSOSStatusErrorDomain, code 259)");
    EXPECT_TRUE(texts[3].startsWith("The job “missing.kprn” could not be opened: ")) << texts[3].toStdString();
    EXPECT_TRUE(documents.windows().isEmpty());
}

TEST(Documents, SaveWritesTheJobBytesUnchanged) {
    guitest::TempDir dir;
    const fs::path path = dir.path() / "job.kprn";
    const auto bytes = guitest::job(1, 1);
    guitest::writeFile(path, bytes);
    Alerts alerts;
    DocumentController documents;
    auto* window = documents.openDocument(QString::fromStdString(path.string()));
    ASSERT_TRUE(window);
    QString proposed;
    const fs::path target = dir.path() / "copy.kprn";
    documents.m_askSavePath = [&](QWidget*, const QString& p) {
        proposed = p;
        return QString::fromStdString(target.string());
    };
    EXPECT_TRUE(documents.saveDocument(window));
    EXPECT_EQ(proposed, QString::fromStdString(path.string()));
    EXPECT_EQ(guitest::readFile(target), std::string(bytes.begin(), bytes.end()));

    // Cancelled: nothing written.
    documents.m_askSavePath = [](QWidget*, const QString&) { return QString(); };
    fs::remove(target);
    EXPECT_FALSE(documents.saveDocument(window));
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(alerts.take().isEmpty());
}

TEST(Documents, AFailedSaveIsShown) {
    guitest::TempDir dir;
    const fs::path path = dir.path() / "job.kprn";
    guitest::writeFile(path, guitest::job(1, 0));
    Alerts alerts;
    DocumentController documents;
    auto* window = documents.openDocument(QString::fromStdString(path.string()));
    ASSERT_TRUE(window);
    documents.m_askSavePath = [&](QWidget*, const QString&) {
        return QString::fromStdString((dir.path() / "no such folder" / "copy.kprn").string());
    };
    EXPECT_FALSE(documents.saveDocument(window));
    const QStringList texts = alerts.take();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].startsWith("The job could not be saved: ")) << texts[0].toStdString();
}

TEST(Documents, FileOpenCommandOpensEveryChosenJob) {
    guitest::TempDir dir;
    guitest::writeFile(dir.path() / "a.kprn", guitest::job(1, 0));
    guitest::writeFile(dir.path() / "b.kprn", guitest::job(0, 1));
    Alerts alerts;
    DocumentController documents;
    documents.m_askOpenPaths = [&](QWidget*) {
        return QStringList{QString::fromStdString((dir.path() / "a.kprn").string()),
                           QString::fromStdString((dir.path() / "b.kprn").string())};
    };
    documents.openDocumentClick(nullptr);
    EXPECT_EQ(documents.windows().size(), 2);
}

TEST(MessageBoxTest, PostsToTheMainThread) {
    Alerts alerts;
    std::thread worker([] { MessageBox::show("from a worker"); MessageBox::showSettingsFailure(); });
    worker.join();
    const QStringList texts = alerts.take();
    EXPECT_EQ(texts, (QStringList{"from a worker",
                                  "Failed to retrieve the settings from the embosser. Please try again."}));
    EXPECT_TRUE(alerts.onMainThread);
}

TEST(StartWindowTest, ALargeKeyboardReachableOpenButtonBesideTheMenu) {
    guitest::TempDir dir;
    Alerts alerts;
    AppDelegate app(SharedFolder(dir.path()));
    app.applicationDidFinishLaunching();
    StartWindow* start = app.window();
    QPushButton* button = start->openJobButton();
    EXPECT_EQ(button->objectName(), "m_buttonOpenJob");
    EXPECT_EQ(accessibleName(button), "Open job…");
    EXPECT_EQ(QKeySequence::mnemonic(button->text()), QKeySequence(Qt::ALT | Qt::Key_O));
    EXPECT_GE(button->minimumHeight(), 48);
    EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus);

    const auto menus = start->menuBar()->actions();
    ASSERT_FALSE(menus.isEmpty());
    EXPECT_EQ(menus.first()->text(), "&File");
    QMenu* file = menus.first()->menu();
    QAction* open = findAction(file, "actionOpenJob");
    ASSERT_TRUE(open);
    EXPECT_EQ(open->text(), "&Open Job…");
    EXPECT_EQ(open->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_TRUE(findAction(file, "actionQuit"));
    EXPECT_FALSE(findAction(file, "actionSave")); // nothing to save in the start window

    int asked = 0;
    app.documents().m_askOpenPaths = [&](QWidget*) {
        ++asked;
        return QStringList{};
    };
    QTest::mouseClick(button, Qt::LeftButton);
    open->trigger();
    EXPECT_EQ(asked, 2);
}

namespace {

void writeProgram(const fs::path& path, const std::string& script) {
    fs::create_directories(path.parent_path());
    guitest::writeFile(path, script);
    fs::permissions(path, fs::perms::owner_all);
}

QWidget* topLevelNamed(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
}

} // namespace

// Every job of the application is a button of the start window and a menu command; with no
// embosser queue and no attached device, each says so or opens what it can.
TEST(StartWindowTest, EveryJobHasAButtonAndAMenuCommand) {
    guitest::TempDir dir;
    // No queue (lpstat lists none) and no device (the helper lists none).
    writeProgram(dir.path() / "bin" / "lpstat", "#!/bin/sh\nexit 0\n");
    writeProgram(dir.path() / "helper" / "pjlhelper", "#!/bin/sh\nexit 0\n");
    const ScopedEnv path("PATH", (dir.path() / "bin").string() + ":" + std::getenv("PATH"));
    const ScopedEnv helper("BRELMONT_RESOURCE_DIR", (dir.path() / "helper").string());
    Alerts alerts;
    ::testing::internal::CaptureStdout(); // the windows say what they have to in alerts and the log
    AppDelegate app(SharedFolder(dir.path() / "shared"));
    app.applicationDidFinishLaunching();
    StartWindow* start = app.window();

    const QList<QPushButton*> buttons{start->openJobButton(), start->sendFileButton(), start->preferencesButton(),
                                      start->toolboxButton(), start->firmwareButton()};
    QStringList mnemonics;
    for (QPushButton* button : buttons) {
        EXPECT_FALSE(accessibleName(button).isEmpty()) << button->objectName().toStdString();
        EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus);
        mnemonics << QKeySequence::mnemonic(button->text()).toString();
    }
    // The buttons' letters and the menus' letters are all different (Send and File once shared Alt+F).
    const auto menus = start->menuBar()->actions();
    for (QAction* menu : menus) mnemonics << QKeySequence::mnemonic(menu->text()).toString();
    EXPECT_EQ(QSet<QString>(mnemonics.begin(), mnemonics.end()).size(), 7) << mnemonics.join(' ').toStdString();

    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[1]->text(), "&Embosser");
    EXPECT_TRUE(findAction(menus[0]->menu(), "actionSendFile"));
    EXPECT_TRUE(findAction(menus[1]->menu(), "actionToolbox"));
    EXPECT_TRUE(findAction(menus[1]->menu(), "actionPrintingPreferences"));

    // With no embosser queue and no attached embosser, each command opens nothing and says why, and
    // where to find out more.
    alerts.take(); // the hand-off's own, of no interest here
    const QString noQueue = brelmont::widgets::noQueueText();
    QTest::mouseClick(start->preferencesButton(), Qt::LeftButton);
    EXPECT_FALSE(topLevelNamed("preferencesWindowController"));
    EXPECT_EQ(alerts.take(), QStringList{noQueue});
    QTest::mouseClick(start->sendFileButton(), Qt::LeftButton);
    EXPECT_FALSE(topLevelNamed("sendFileWindowController"));
    EXPECT_EQ(alerts.take(), QStringList{noQueue});
    QAction* testPage = findAction(menus[1]->menu(), "actionPrintTestPage");
    ASSERT_TRUE(testPage);
    testPage->trigger();
    EXPECT_EQ(alerts.take(), QStringList{noQueue});
    QTest::mouseClick(start->toolboxButton(), Qt::LeftButton);
    const QStringList noEmbosser = alerts.take();
    ASSERT_EQ(noEmbosser.size(), 1);
    EXPECT_TRUE(noEmbosser[0].startsWith("There is no Brelmont embosser attached to the system.\r\nPlease connect one and try again."));
    EXPECT_TRUE(noEmbosser[0].contains("brelmont-cli doctor"));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

TEST(StartWindowTest, DroppedJobsOpen) {
    guitest::TempDir dir;
    guitest::writeFile(dir.path() / "dropped.kprn", guitest::job(2, 0));
    Alerts alerts;
    AppDelegate app(SharedFolder(dir.path() / "shared"));
    app.applicationDidFinishLaunching();
    StartWindow* start = app.window();
    EXPECT_TRUE(start->acceptDrops());

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString((dir.path() / "dropped.kprn").string())),
                  QUrl(QStringLiteral("https://example.invalid/x.kprn"))});
    EXPECT_EQ(StartWindow::droppedFiles(&data).size(), 1);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(start, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(start, &drop);
    ASSERT_EQ(app.documents().windows().size(), 1);
    EXPECT_EQ(app.documents().windows().first()->windowTitle(), "dropped.kprn");
}

TEST(StartWindowTest, ViewerWindowsCarryTheFileCommands) {
    guitest::TempDir dir;
    guitest::writeFile(dir.path() / "job.kprn", guitest::job(1, 0));
    Alerts alerts;
    AppDelegate app(SharedFolder(dir.path() / "shared"));
    app.applicationDidFinishLaunching();
    auto* window = app.documents().openDocument(QString::fromStdString((dir.path() / "job.kprn").string()));
    ASSERT_TRUE(window);
    QMenu* file = window->fileMenu();
    QAction* save = findAction(file, "actionSave");
    ASSERT_TRUE(save);
    EXPECT_EQ(save->shortcut(), QKeySequence(QKeySequence::Save));
    QStringList mnemonics;
    for (QAction* a : file->actions())
        if (!a->isSeparator()) mnemonics << QKeySequence::mnemonic(a->text()).toString();
    EXPECT_EQ(mnemonics.size(), QSet<QString>(mnemonics.begin(), mnemonics.end()).size()); // no clashes

    const fs::path target = dir.path() / "saved.kprn";
    app.documents().m_askSavePath = [&](QWidget*, const QString&) { return QString::fromStdString(target.string()); };
    save->trigger();
    EXPECT_EQ(guitest::readFile(target), guitest::readFile(dir.path() / "job.kprn"));
    findAction(file, "actionClose")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(app.documents().windows().isEmpty());
}

TEST(SampleJob, OpensInAViewerWithItsPagesNamed) {
    Alerts alerts;
    DocumentController documents;
    auto* window = documents.openDocument(BRELMONT_SAMPLE_JOB);
    ASSERT_TRUE(window);
    auto* content = window->viewController();
    const auto count = content->pageCount();
    ASSERT_GT(count, 1);
    EXPECT_EQ(accessibleName(content->m_embImageView), QStringLiteral("Emboss page 1 of %1, first page").arg(count));
    while (content->clickPageForward()) {}
    EXPECT_EQ(content->currentPage(), count - 1);
    EXPECT_TRUE(alerts.take().isEmpty());
}
