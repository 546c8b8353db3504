#include "viewer/window/WindowController.h"

#include "viewer/window/ClickableImageView.h"
#include "viewer/window/ViewController.h"

#include "widgets/StatusLine.h"

#include "ui_ViewerWindowController.h"

#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolButton>

namespace brelmont::viewer {

WindowController::WindowController(std::shared_ptr<job::Document> document, QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::ViewerWindowController),
      m_document(std::move(document)) {
    ui->setupUi(this);
    setObjectName(QString::fromLatin1(Identifier));
    if (m_document && !m_document->m_fileURL.empty()) {
        const QString path = QString::fromStdString(m_document->m_fileURL.string());
        setWindowFilePath(path);
        setWindowTitle(QFileInfo(path).fileName());
    }

    ViewController* content = viewController();
    content->viewDidLoad();
    // Where decoding failed, in the status bar: selectable by keyboard, so Tab reaches it.
    auto* note = new QLabel(this);
    note->setObjectName(QStringLiteral("m_lbDecodeNote"));
    note->setWordWrap(true);
    note->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    note->setFocusPolicy(Qt::StrongFocus);
    note->hide();
    statusBar()->addWidget(note, 1);
    content->m_lbDecodeNote = note;
    widgets::StatusLine::addTo(this); // the pages shown, what an export wrote, what a send did
    // The zoom level stays in view; each zoom step also says it in the status line.
    auto* zoomLevel = new QLabel(this);
    zoomLevel->setObjectName(QStringLiteral("m_lbZoom"));
    statusBar()->addPermanentWidget(zoomLevel);
    connect(content, &ViewController::zoomLevelChanged, this, [this, zoomLevel](const QString& level, bool canZoomIn) {
        zoomLevel->setText(level);
        zoomLevel->setAccessibleName(level);
        ui->actionZoomIn->setEnabled(canZoomIn);
    });
    content->setDocument(m_document);

    connect(ui->actionPrint, &QAction::triggered, content, &ViewController::printFile);
    // A job without pages has nothing to send; the command says so by being unavailable.
    ui->actionPrint->setEnabled(content->pageCount() > 0);
    connect(ui->actionPageBackward, &QAction::triggered, content, &ViewController::clickPageBackward);
    connect(ui->actionPageForward, &QAction::triggered, content, &ViewController::clickPageForward);
    connect(ui->actionZoomIn, &QAction::triggered, content, &ViewController::zoomIn);
    connect(ui->actionZoomOut, &QAction::triggered, content, &ViewController::zoomOut);
    connect(ui->actionBrailleText, &QAction::toggled, content, &ViewController::setBrailleTextShown);
    connect(ui->actionHighContrast, &QAction::toggled, content, &ViewController::setHighContrast);
    connect(ui->actionExportBraille, &QAction::triggered, this, [this] {
        if (m_document) exportBraille(this, *m_document, m_askExportPath);
    });
    // A job without emboss pages has nothing to read as braille.
    const bool braille = m_document && !m_document->m_embPages.empty();
    ui->actionBrailleText->setEnabled(braille);
    ui->actionExportBraille->setEnabled(braille);
    // Nothing to page to until a page is shown.
    ui->actionPageBackward->setEnabled(false);
    ui->actionPageForward->setEnabled(false);
    connect(content, &ViewController::pageShown, this, &WindowController::pageShown);

    // Toolbar buttons take Tab focus, so every command is reachable without the mouse or the menu.
    QWidget* previous = nullptr;
    for (QAction* action : {ui->actionPrint, ui->actionPageBackward, ui->actionPageForward, ui->actionZoomIn, ui->actionZoomOut,
                            ui->actionBrailleText}) {
        QWidget* button = ui->toolBar->widgetForAction(action);
        if (!button) continue;
        button->setFocusPolicy(Qt::TabFocus);
        button->setAccessibleName(action->iconText());
        if (previous) setTabOrder(previous, button);
        previous = button;
    }
    // The button that shows the commands a narrow window has no room for.
    if (auto* more = ui->toolBar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        more->setAccessibleName(tr("More commands"));
        more->setToolTip(tr("More commands"));
    }
    // Then the pages, left to right (the braille text takes the emboss image's place), and the
    // note on decoding.
    for (QWidget* view : {static_cast<QWidget*>(content->m_inkImageView), static_cast<QWidget*>(content->m_embImageView),
                          static_cast<QWidget*>(content->m_embTextView), static_cast<QWidget*>(note)}) {
        if (!view) continue;
        if (previous) setTabOrder(previous, view);
        previous = view;
    }
}

WindowController::~WindowController() { delete ui; }

// A page command that goes off while it has the focus hands the focus to the page, whose name
// then says where the reader is.
void WindowController::pageShown(qint64 index, qint64 count) {
    QWidget* focus = focusWidget();
    ui->actionPageBackward->setEnabled(index > 0);
    ui->actionPageForward->setEnabled(index + 1 < count);
    if (focus && !focus->isEnabled()) viewController()->focusPageView();
}

ViewController* WindowController::viewController() const { return ui->m_viewController; }
QMenu* WindowController::fileMenu() const { return ui->menuFile; }
QToolBar* WindowController::toolBar() const { return ui->toolBar; }
QAction* WindowController::actionPrint() const { return ui->actionPrint; }
QAction* WindowController::actionPageBackward() const { return ui->actionPageBackward; }
QAction* WindowController::actionPageForward() const { return ui->actionPageForward; }
QAction* WindowController::actionZoomIn() const { return ui->actionZoomIn; }
QAction* WindowController::actionZoomOut() const { return ui->actionZoomOut; }
QAction* WindowController::actionBrailleText() const { return ui->actionBrailleText; }
QAction* WindowController::actionHighContrast() const { return ui->actionHighContrast; }
QAction* WindowController::actionExportBraille() const { return ui->actionExportBraille; }

} // namespace brelmont::viewer
