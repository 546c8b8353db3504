#include "viewer/window/WindowController.h"

#include "viewer/window/ClickableImageView.h"
#include "viewer/window/ViewController.h"

#include "ui_ViewerWindowController.h"

#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolButton>

namespace brelmont::viewer {

WindowController::WindowController(std::shared_ptr<job::Document> document, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::ViewerWindowController), m_document(std::move(document)) {
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
    content->setDocument(m_document);

    connect(ui->actionPrint, &QAction::triggered, content, &ViewController::printFile);
    // A job without pages has nothing to send; the command says so by being unavailable.
    ui->actionPrint->setEnabled(content->pageCount() > 0);
    connect(ui->actionPageBackward, &QAction::triggered, content, &ViewController::clickPageBackward);
    connect(ui->actionPageForward, &QAction::triggered, content, &ViewController::clickPageForward);
    connect(ui->actionZoomIn, &QAction::triggered, content, &ViewController::zoomIn);
    connect(ui->actionZoomOut, &QAction::triggered, content, &ViewController::zoomOut);
    connect(ui->actionBrailleText, &QAction::toggled, content, &ViewController::setBrailleTextShown);
    // A job without emboss pages has nothing to read as braille.
    ui->actionBrailleText->setEnabled(m_document && !m_document->m_embPages.empty());

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

ViewController* WindowController::viewController() const { return ui->m_viewController; }
QMenu* WindowController::fileMenu() const { return ui->menuFile; }
QToolBar* WindowController::toolBar() const { return ui->toolBar; }
QAction* WindowController::actionPrint() const { return ui->actionPrint; }
QAction* WindowController::actionPageBackward() const { return ui->actionPageBackward; }
QAction* WindowController::actionPageForward() const { return ui->actionPageForward; }
QAction* WindowController::actionZoomIn() const { return ui->actionZoomIn; }
QAction* WindowController::actionZoomOut() const { return ui->actionZoomOut; }
QAction* WindowController::actionBrailleText() const { return ui->actionBrailleText; }

} // namespace brelmont::viewer
