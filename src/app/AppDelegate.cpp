#include "app/AppDelegate.h"

#include "app/StartWindow.h"
#include "firmware/ui/FirmwareUpdateViewController.h"
#include "preferences/ui/PreferencesViewController.h"
#include "sendfile/ui/SendFileDlg.h"
#include "sendfile/ui/SendFileViewController.h"
#include "sendfile/ui/SendWindows.h"
#include "sendfile/ui/TestPageDlg.h"
#include "setup/ui/AddEmbosserDlg.h"
#include "toolbox/ui/ToolboxChoice.h"
#include "viewer/window/WindowController.h"
#include "widgets/FocusReturn.h"
#include "widgets/Logging.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"
#include "widgets/ReadableForms.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>

namespace brelmont::app {

using widgets::MessageBox;

namespace {

// A send window closes only when its queue took the file: that is said where the focus returns.
// With no queue there is no window, and the message already said why.
void returnFocusAfterSend(QDialog* window, QComboBox* queues, const QString& what, QWidget* opener) {
    if (!window) return;
    widgets::returnFocusOnClose(window, opener,
                                [queues, what] { return QObject::tr("%1 was sent to %2.").arg(what, queues->currentText()); });
}

} // namespace

AppDelegate::AppDelegate(SharedFolder folder, QObject* parent)
    : QObject(parent),
      m_folder(folder),
      m_handoff(
          folder, [](const std::string& text) { MessageBox::show(QString::fromStdString(text)); },
          [this](const std::filesystem::path& job) { m_documents.openDocument(QString::fromStdString(job.string())); }) {
    m_documents.m_presentSendJob = [](viewer::WindowController* window) {
        QWidget* opener = window->focusWidget();
        sendfile::SendFileDlg* sheet = sendfile::presentSendFileDlg(window, window->document());
        returnFocusAfterSend(sheet, sheet ? sheet->m_comboPrinters : nullptr, QObject::tr("The job"), opener);
    };
    connect(&m_documents, &DocumentController::windowOpened, this, [this](viewer::WindowController* window) {
        fillFileMenu(window->fileMenu(), window, true);
        fillEmbosserMenu(window->menuBar()->addMenu(tr("&Embosser")));
    });
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationWillTerminate() {
    printer::StopSignal::program().stop();
    widgets::LongWait::joinAbandoned();
}

void AppDelegate::applicationDidFinishLaunching() {
    widgets::installReadOnlyLook(*qApp);
    std::vector<std::string> refusals = m_folder.createFolders();
    if (const std::string refused = m_folder.truncateLockFile(); !refused.empty()) refusals.push_back(refused);
    for (const std::string& refusal : refusals) {
        qCWarning(lcApp, "%s", refusal.c_str());
        MessageBox::show(QString::fromStdString(refusal));
    }
    m_handoff.m_permissionWarning = true;

    // The hand-off polls on the main thread for the life of the application.
    m_previewTimer.setInterval(PreviewIntervalMs);
    m_previewTimer.setSingleShot(false);
    connect(&m_previewTimer, &QTimer::timeout, this, [this] { m_handoff.tick(); });
    m_previewTimer.start();
    m_handoff.tick();

    m_window = std::make_unique<StartWindow>();
    fillFileMenu(m_window->menuBar()->addMenu(tr("&File")), m_window.get(), false);
    fillEmbosserMenu(m_window->menuBar()->addMenu(tr("&Embosser")));
    connect(m_window.get(), &StartWindow::openJobClicked, this, &AppDelegate::openDocumentClick);
    connect(m_window.get(), &StartWindow::sendFileClicked, this, &AppDelegate::sendFileClick);
    connect(m_window.get(), &StartWindow::preferencesClicked, this, &AppDelegate::printingPreferences);
    connect(m_window.get(), &StartWindow::toolboxClicked, this, &AppDelegate::openToolboxClick);
    connect(m_window.get(), &StartWindow::firmwareClicked, this, &AppDelegate::firmwareUpdateClick);
    connect(m_window.get(), &StartWindow::jobsDropped, &m_documents, &DocumentController::openDocuments);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void AppDelegate::fillFileMenu(QMenu* menu, QMainWindow* owner, bool forDocument) {
    QAction* open = menu->addAction(tr("&Open Job\u2026"), this, &AppDelegate::openDocumentClick);
    open->setShortcut(QKeySequence::Open);
    open->setObjectName(QStringLiteral("actionOpenJob"));
    QAction* send = menu->addAction(tr("Sen&d File\u2026"), this, &AppDelegate::sendFileClick);
    send->setObjectName(QStringLiteral("actionSendFile"));
    if (forDocument) {
        auto* window = static_cast<viewer::WindowController*>(owner);
        QAction* save = menu->addAction(tr("&Save\u2026"), this, [this, window] { m_documents.saveDocument(window); });
        save->setShortcut(QKeySequence::Save);
        save->setObjectName(QStringLiteral("actionSave"));
        menu->addAction(window->actionExportBraille());
        // The viewer's own Print command, so its shortcut is bound once.
        menu->addAction(window->actionPrint());
        QAction* close = menu->addAction(tr("&Close"), owner, &QWidget::close);
        close->setShortcut(QKeySequence::Close);
        close->setObjectName(QStringLiteral("actionClose"));
    }
    menu->addSeparator();
    QAction* quit = menu->addAction(tr("&Quit"), qApp, [] {
        QApplication::closeAllWindows();
        QApplication::quit();
    });
    quit->setShortcut(QKeySequence::Quit);
    quit->setObjectName(QStringLiteral("actionQuit"));
}

void AppDelegate::fillEmbosserMenu(QMenu* menu) {
    QAction* toolbox = menu->addAction(tr("&Toolbox\u2026"), this, &AppDelegate::openToolboxClick);
    toolbox->setObjectName(QStringLiteral("actionToolbox"));
    QAction* firmware = menu->addAction(tr("&Firmware Update\u2026"), this, &AppDelegate::firmwareUpdateClick);
    firmware->setObjectName(QStringLiteral("actionFirmwareUpdate"));
    QAction* preferences = menu->addAction(tr("Printing &Preferences\u2026"), this, &AppDelegate::printingPreferences);
    preferences->setObjectName(QStringLiteral("actionPrintingPreferences"));
    QAction* testPage = menu->addAction(tr("Print Te&st Page\u2026"), this, &AppDelegate::printTestPage);
    testPage->setObjectName(QStringLiteral("actionPrintTestPage"));
    menu->addSeparator();
    QAction* addEmbosser = menu->addAction(tr("&Add Embosser\u2026"), this, &AppDelegate::addEmbosserClick);
    addEmbosser->setObjectName(QStringLiteral("actionAddEmbosser"));
}

void AppDelegate::openDocumentClick() { m_documents.openDocumentClick(QApplication::activeWindow()); }

// Each window gives the focus back to the control that opened it when it closes.
void AppDelegate::sendFileClick() {
    QWidget* opener = QApplication::focusWidget();
    sendfile::SendFileViewController* window = sendfile::showSendFileWindow(QApplication::activeWindow());
    returnFocusAfterSend(window, window ? window->m_comboPrinters : nullptr, tr("The file"), opener);
}

void AppDelegate::printingPreferences() {
    widgets::FocusReturn back;
    back.setOutcome(preferences::ui::showPreferencesWindow(QApplication::activeWindow()));
}

void AppDelegate::printTestPage() {
    QWidget* opener = QApplication::focusWidget();
    // The window stays open after this returns: the focus goes back when it closes.
    if (QDialog* window = sendfile::showTestPageWindow(QApplication::activeWindow())) widgets::returnFocusOnClose(window, opener);
}

void AppDelegate::addEmbosserClick() {
    QWidget* opener = QApplication::focusWidget();
    widgets::returnFocusOnClose(setup::ui::showAddEmbosserWindow(QApplication::activeWindow()), opener);
}

void AppDelegate::openToolboxClick() {
    widgets::FocusReturn back;
    back.setOutcome(toolbox::ui::openToolboxClick(QApplication::activeWindow()));
}

void AppDelegate::firmwareUpdateClick() {
    const widgets::FocusReturn back;
    firmware::showFirmwareUpdateWindow(QApplication::activeWindow());
}

void AppDelegate::saveDocument() {
    m_documents.saveDocument(qobject_cast<viewer::WindowController*>(QApplication::activeWindow()));
}

} // namespace brelmont::app
