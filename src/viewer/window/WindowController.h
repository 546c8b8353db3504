// The viewer window of one document ("Viewer Window Controller"): its content is a ViewController;
// the toolbar and the View menu carry the page and zoom commands and the braille text toggle; the
// toolbar also carries Print (Ctrl+P), which sends the job to an embosser queue. The View menu has
// High Contrast; Export Braille… is for the File menu, which the application fills.
#pragma once

#include "job/Document.h"
#include "viewer/window/BrailleExport.h"

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
    // Off at the first (last) page, so they are never offered where there is nowhere to go.
    QAction* actionPageBackward() const;
    QAction* actionPageForward() const;
    QAction* actionZoomIn() const;
    QAction* actionZoomOut() const;
    // Checkable: the emboss page as braille text instead of its image (Ctrl+B).
    QAction* actionBrailleText() const;
    // Checkable: the emboss image for low vision.
    QAction* actionHighContrast() const;
    // Export Braille…: the 6-dot pages as a BRF file; enabled when the job has emboss pages.
    QAction* actionExportBraille() const;

    // Where Export Braille writes; tests put answers here.
    AskExportPath m_askExportPath = fileDialogExportPath();

private:
    void pageShown(qint64 index, qint64 count);

    Ui::ViewerWindowController* const ui;
    std::shared_ptr<job::Document> m_document;
};

} // namespace brelmont::viewer
