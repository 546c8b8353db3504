// The viewer window of one document ("Viewer Window Controller"): its content is a ViewController;
// the toolbar and the View menu carry the page and zoom commands and the braille text toggle; the
// toolbar also carries Print (Ctrl+P), which sends the job to an embosser queue.
#pragma once

#include "job/Document.h"

#include <QMainWindow>

#include <memory>

class QMenu;
class QToolBar;

namespace Ui {
class ViewerWindowController;
}

namespace brelmont::viewer {

class ViewController;

class WindowController : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char* Identifier = "Viewer Window Controller";

    explicit WindowController(std::shared_ptr<job::Document> document, QWidget* parent = nullptr);
    ~WindowController() override;

    const std::shared_ptr<job::Document>& document() const { return m_document; }
    ViewController* viewController() const;
    // The File menu, which the application fills with its commands.
    QMenu* fileMenu() const;
    QToolBar* toolBar() const;

    // Print… (Ctrl+P): the content's printFile(); enabled when the job has a page.
    QAction* actionPrint() const;
    QAction* actionPageBackward() const;
    QAction* actionPageForward() const;
    QAction* actionZoomIn() const;
    QAction* actionZoomOut() const;
    // Checkable: the emboss page as braille text instead of its image (Ctrl+B).
    QAction* actionBrailleText() const;

private:
    Ui::ViewerWindowController* const ui;
    std::shared_ptr<job::Document> m_document;
};

} // namespace brelmont::viewer
