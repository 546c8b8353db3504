// The content of a viewer window: the ink page on the left, the emboss page on the right, one
// page index for both, paging by the arrow keys, and zoom of the whole window and then of the
// pages. The emboss page can also be shown as braille text, for reading its layout on a braille
// display or by screen reader.
// The print command presses a hidden button, whose click asks for the send-job sheet.
#pragma once

#include "job/Document.h"
#include "viewer/rendering/PageRendering.h"
#include "viewer/window/ViewerModel.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace brelmont::viewer {

class ClickableImageView;

class ViewController : public QWidget {
    Q_OBJECT

public:
    explicit ViewController(QWidget* parent = nullptr);

    void setDocument(std::shared_ptr<const job::Document> document);
    const std::shared_ptr<const job::Document>& document() const { return m_document; }

    // Finds the views and their captions among the children by their names.
    void viewDidLoad();
    // Places the views and captions in the current size (layoutViews).
    void viewWillLayout();
    // The display step: shows the wanted page when it exists and is not already shown.
    void viewDidAppear();

    // The page commands; false when there is no page in that direction (nothing changes, and
    // that is said). Every page change is said once: where the focus is on a page, its new name
    // says it; elsewhere (a toolbar button, the menu) the window's status line says the page.
    bool clickPageForward();
    bool clickPageBackward();
    // Resizes the window about its centre by 110 % or 90 %, kept wholly on its screen; once the
    // screen holds no larger window, zooms the pages inside their views instead (zoom out first
    // undoes that). Each step says the zoom level.
    void zoomIn();
    void zoomOut();
    double pageZoom() const { return m_pageZoom; }

    // The emboss image in grey levels or, for low vision, black dots sized by level and never
    // smaller on screen than HighContrastDotPoints (the page scrolls where that needs room).
    void setHighContrast(bool on);
    bool highContrast() const { return m_look == EmbossLook::HighContrast; }
    // Gives the focus to the page shown: the braille text, the emboss image or the ink image.
    void focusPageView();
    bool pageViewHasFocus() const;

    // Presses the print button when the job has a page; false (nothing happens) when it has none.
    bool printFile();

    // Swaps the emboss image for its braille text (and back); focus follows the text when shown.
    void setBrailleTextShown(bool shown);
    bool brailleTextShown() const { return m_brailleShown; }

    int64_t currentPage() const { return m_cursor.m_currentPage; }
    int64_t nextPage() const { return m_cursor.m_nextPage; }
    int64_t pageCount() const;

    ClickableImageView* m_embImageView = nullptr;
    ClickableImageView* m_inkImageView = nullptr;
    QLabel* m_lbInkPage = nullptr;
    QLabel* m_lbEmbPage = nullptr;
    QPlainTextEdit* m_embTextView = nullptr;
    QPushButton* m_buttonPrint = nullptr; // hidden; its click asks for the send-job sheet
    // Says, when there is anything to say, where decoding of the job or of the pages shown failed.
    // Not part of the content: whoever makes the window places it.
    QLabel* m_lbDecodeNote = nullptr;

signals:
    void pageShown(qint64 index, qint64 count);
    // After each change of the pages' size on screen: the level, and whether zooming in can go on.
    void zoomLevelChanged(const QString& level, bool canZoomIn);
    // The print button was clicked: whoever made the window presents the send-job sheet.
    void sendJobRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSide(Side side, SideImage what, const job::PagePtr& page);
    void showDecodeNote(const QString& note);
    void updateEmbossView();
    void zoom(int percent);
    void setPageZoom(double zoom);
    void showZoomLevel();
    // The zoom level for a content area of `contentSize` (see zoomLevelText); empty with no page.
    QString zoomLevel(QSize contentSize) const;
    void sayZoomLevel(QSize contentSize);
    void showEmbossImage(const job::PagePtr& page);
    void say(const QString& sentence);
    bool pageByKey(int key);

    std::shared_ptr<const job::Document> m_document;
    PageCursor m_cursor;
    bool m_focusPlaced = false;
    bool m_embShown = false;     // the current page has an emboss side
    bool m_brailleShown = false; // the emboss side is shown as text
    job::PagePtr m_textPage;     // the page whose text the text view holds
    EmbossLook m_look = EmbossLook::Levels;
    double m_pageZoom = 1.0;
};

} // namespace brelmont::viewer
