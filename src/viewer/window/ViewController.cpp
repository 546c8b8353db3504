#include "viewer/window/ViewController.h"

#include "viewer/braille/BrailleText.h"
#include "viewer/rendering/PageRendering.h"
#include "viewer/window/ClickableImageView.h"
#include "widgets/StatusLine.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <cmath>
#include <optional>

namespace brelmont::viewer {

namespace {

QRect toRect(const Frame& f) {
    // A negative width or height is an empty frame.
    return QRect(int(std::lround(f.x)), int(std::lround(f.y)), std::max(0, int(std::lround(f.width))),
                 std::max(0, int(std::lround(f.height))));
}

// What a view's caption and accessible name say: "Ink page 2 of 5", or "No ink page" when the
// side has nothing to show.
QString pageCaption(Side side, int64_t index, int64_t count, bool shown) {
    if (!shown) return side == Side::Ink ? ViewController::tr("No ink page") : ViewController::tr("No emboss page");
    const QString text = side == Side::Ink ? ViewController::tr("Ink page %1 of %2") : ViewController::tr("Emboss page %1 of %2");
    return text.arg(index + 1).arg(count);
}

// What follows a page's name at the ends of the job: ", first page", ", last page", ", the only
// page", or nothing.
QString pageEnd(int64_t index, int64_t count) {
    if (count == 1) return ViewController::tr(", the only page");
    if (index == 0) return ViewController::tr(", first page");
    if (index + 1 == count) return ViewController::tr(", last page");
    return {};
}

// The page change said where the focus is not on a page: "Page 2 of 5.", "Page 5 of 5, last page."
QString pageSentence(int64_t index, int64_t count) {
    return ViewController::tr("Page %1 of %2%3.").arg(index + 1).arg(count).arg(pageEnd(index, count));
}

// What is said when there is no page in the direction asked for.
QString noPageSentence(bool forward, int64_t index, int64_t count) {
    if (count <= 0) return ViewController::tr("The job has no pages.");
    return (forward ? ViewController::tr("There is no next page; page %1 of %2 is the last.")
                    : ViewController::tr("There is no previous page; page %1 of %2 is the first."))
        .arg(index + 1)
        .arg(count);
}

} // namespace

ViewController::ViewController(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::ClickFocus); }

void ViewController::setDocument(std::shared_ptr<const job::Document> document) {
    m_document = std::move(document);
    // A job whose decoding stopped before its first page has no page to show, but still says so.
    showDecodeNote(m_document ? QString::fromStdString(decodeNote(m_document->m_diagnostics, {}, {})) : QString());
    if (isVisible()) viewDidAppear();
}

void ViewController::viewDidLoad() {
    m_inkImageView = findChild<ClickableImageView*>(QStringLiteral("m_inkImageView"), Qt::FindDirectChildrenOnly);
    m_embImageView = findChild<ClickableImageView*>(QStringLiteral("m_embImageView"), Qt::FindDirectChildrenOnly);
    m_lbInkPage = findChild<QLabel*>(QStringLiteral("m_lbInkPage"), Qt::FindDirectChildrenOnly);
    m_lbEmbPage = findChild<QLabel*>(QStringLiteral("m_lbEmbPage"), Qt::FindDirectChildrenOnly);
    m_embTextView = findChild<QPlainTextEdit*>(QStringLiteral("m_embTextView"), Qt::FindDirectChildrenOnly);
    m_buttonPrint = findChild<QPushButton*>(QStringLiteral("m_buttonPrint"), Qt::FindDirectChildrenOnly);
    if (m_buttonPrint) {
        m_buttonPrint->hide();
        connect(m_buttonPrint, &QPushButton::clicked, this, &ViewController::sendJobRequested);
    }
    if (m_embTextView) {
        // Read-only but with a caret, so a braille display can be panned and routed over the text.
        m_embTextView->setReadOnly(true);
        m_embTextView->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        m_embTextView->setLineWrapMode(QPlainTextEdit::NoWrap);
        m_embTextView->setTabChangesFocus(true);
        // Monospace keeps the blocks of one column under each other on screen.
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        m_embTextView->setFont(font);
        m_embTextView->hide();
        // Page Up and Page Down at the ends of the job, where the page commands are off.
        m_embTextView->installEventFilter(this);
    }
    // The captions name the views for assistive technology as well as on screen.
    if (m_lbInkPage && m_inkImageView) m_lbInkPage->setBuddy(m_inkImageView);
    if (m_lbEmbPage && m_embImageView) m_lbEmbPage->setBuddy(m_embImageView);
    if (m_inkImageView && m_embImageView) setTabOrder(m_inkImageView, m_embImageView);
    if (m_embImageView && m_embTextView) setTabOrder(m_embImageView, m_embTextView);
    viewWillLayout();
}

void ViewController::viewWillLayout() {
    const ViewLayout layout = layoutViews(width(), height());
    const auto place = [this](QWidget* view, QLabel* caption, const Frame& frame) {
        const QRect r = toRect(frame.flipped(height()));
        if (view) view->setGeometry(r);
        // The caption sits in the 20-point strip above its view.
        if (caption) caption->setGeometry(r.x(), 0, r.width(), std::max(0, r.y()));
    };
    place(m_inkImageView, m_lbInkPage, layout.ink);
    place(m_embImageView, m_lbEmbPage, layout.emboss);
    if (m_embTextView) m_embTextView->setGeometry(toRect(layout.emboss.flipped(height())));
    showZoomLevel();
}

int64_t ViewController::pageCount() const {
    return m_document ? viewer::pageCount(m_document->m_embPages, m_document->m_inkPages) : 0;
}

// Only the pages shown are decoded (the document keeps the last few for paging back and forth).
void ViewController::viewDidAppear() {
    if (!m_document) return;
    if (!m_cursor.advance(pageCount())) return;
    const int64_t index = m_cursor.m_currentPage;
    const auto decodedIf = [index](SideImage what, const job::PageList& pages) {
        return what == SideImage::Hidden ? job::DecodedPage() : pages.decoded(size_t(index));
    };
    const SideImage emboss = embossSide(m_document->m_embPages, index), ink = inkSide(m_document->m_inkPages, index);
    const job::DecodedPage embossPage = decodedIf(emboss, m_document->m_embPages);
    const job::DecodedPage inkPage = decodedIf(ink, m_document->m_inkPages);
    showSide(Side::Emboss, emboss, embossPage.page);
    showSide(Side::Ink, ink, inkPage.page);
    showDecodeNote(QString::fromStdString(decodeNote(m_document->m_diagnostics, embossPage.notes, inkPage.notes)));
    showZoomLevel();
    emit pageShown(index, pageCount());
    // A focused page view says the page by its new name: the status line then only shows it.
    const QString sentence = pageSentence(index, pageCount());
    if (!pageViewHasFocus()) say(sentence);
    else if (widgets::StatusLine* line = widgets::StatusLine::of(this)) line->note(sentence);
}

bool ViewController::pageViewHasFocus() const {
    const QWidget* focus = window()->focusWidget();
    return focus && (focus == m_embImageView || focus == m_inkImageView || focus == m_embTextView);
}

void ViewController::focusPageView() {
    if (m_embTextView && !m_embTextView->isHidden()) m_embTextView->setFocus();
    else if (m_embImageView && !m_embImageView->isHidden()) m_embImageView->setFocus();
    else if (m_inkImageView && !m_inkImageView->isHidden()) m_inkImageView->setFocus();
    else setFocus();
}

void ViewController::say(const QString& sentence) { widgets::sayInWindow(this, sentence); }

// The note is a label of its own, reachable by Tab, and is also the page views' description, so a
// screen reader says it with the page.
void ViewController::showDecodeNote(const QString& note) {
    if (m_lbDecodeNote) {
        m_lbDecodeNote->setText(note);
        m_lbDecodeNote->setAccessibleName(note);
        m_lbDecodeNote->setVisible(!note.isEmpty());
    }
    for (QWidget* view :
         {static_cast<QWidget*>(m_inkImageView), static_cast<QWidget*>(m_embImageView), static_cast<QWidget*>(m_embTextView)})
        if (view) view->setAccessibleDescription(note);
}

// A page that could not be made (no memory) leaves its side empty; the note says why.
void ViewController::showSide(Side side, SideImage what, const job::PagePtr& page) {
    ClickableImageView* view = side == Side::Ink ? m_inkImageView : m_embImageView;
    QLabel* caption = side == Side::Ink ? m_lbInkPage : m_lbEmbPage;
    if (!view) return;
    const bool shown = what != SideImage::Hidden && page;
    if (shown && side == Side::Emboss) showEmbossImage(page);
    if (shown && side == Side::Ink) {
        // A page that yields no image leaves the view with the image it had.
        const QImage image = pageImage(*page);
        if (!image.isNull()) view->setImage(image, pageImageSize(*page), page);
    }
    if (side == Side::Emboss) {
        m_embShown = shown;
        updateEmbossView();
        return;
    }
    const QString text = pageCaption(side, m_cursor.m_currentPage, pageCount(), shown) +
                         (shown ? pageEnd(m_cursor.m_currentPage, pageCount()) : QString());
    if (caption) caption->setText(text);
    view->setAccessibleName(text);
    view->setVisible(shown);
}

void ViewController::showEmbossImage(const job::PagePtr& page) {
    // A page that yields no image leaves the view with the image it had.
    const QImage image = pageImage(*page, m_look);
    if (!image.isNull()) m_embImageView->setImage(image, pageImageSize(*page), page);
    m_embImageView->m_page = page;
    // Emboss images have a pixel per point, so the dot's pixels are its points at scale 1.
    m_embImageView->setMinimumScale(
        m_look == EmbossLook::HighContrast ? HighContrastDotPoints / smallestDotDiameter(*page, m_look) : 0.0);
}

void ViewController::setHighContrast(bool on) {
    const EmbossLook look = on ? EmbossLook::HighContrast : EmbossLook::Levels;
    if (look == m_look) return;
    m_look = look;
    if (!m_embImageView || !m_embImageView->m_page) return;
    showEmbossImage(m_embImageView->m_page);
    // The emboss page changes size on screen: say how large it is now.
    showZoomLevel();
    sayZoomLevel(size());
}

// Shows the emboss side as image or as text, and names both views and the caption for the page.
void ViewController::updateEmbossView() {
    if (!m_embImageView) return;
    const bool asText = m_brailleShown && m_embShown && m_embTextView && m_embImageView->m_page;
    const QString caption = pageCaption(Side::Emboss, m_cursor.m_currentPage, pageCount(), m_embShown);
    const QString end = m_embShown ? pageEnd(m_cursor.m_currentPage, pageCount()) : QString();
    const QString name = caption + end;
    const QString textName = tr("%1 as braille text").arg(caption) + end;
    if (asText && m_textPage != m_embImageView->m_page) {
        m_textPage = m_embImageView->m_page;
        QString text = QString::fromStdString(brailleText(*m_textPage));
        // The last line's newline would show as an empty line to pan to on a braille display.
        if (text.endsWith(u'\n')) text.chop(1);
        m_embTextView->setPlainText(text);
    }
    m_embImageView->setAccessibleName(name);
    if (m_embTextView) m_embTextView->setAccessibleName(textName);
    if (m_lbEmbPage) {
        // The caption names whichever view is shown, on screen and for assistive technology.
        m_lbEmbPage->setText(asText ? textName : name);
        m_lbEmbPage->setBuddy(asText ? static_cast<QWidget*>(m_embTextView) : m_embImageView);
    }
    m_embImageView->setVisible(m_embShown && !asText);
    if (m_embTextView) m_embTextView->setVisible(asText);
}

void ViewController::setBrailleTextShown(bool shown) {
    if (shown == m_brailleShown) return;
    QWidget* focused = window()->focusWidget();
    const bool textHadFocus = focused && focused == m_embTextView;
    m_brailleShown = shown;
    updateEmbossView();
    showZoomLevel();
    // The text is what the user asked to read, so it takes the focus; leaving it returns to the image.
    if (shown && m_embTextView && !m_embTextView->isHidden()) m_embTextView->setFocus();
    else if (!shown && textHadFocus && !m_embImageView->isHidden()) m_embImageView->setFocus();
}

bool ViewController::clickPageForward() {
    if (!m_cursor.requestForward(pageCount())) {
        say(noPageSentence(true, m_cursor.m_currentPage, pageCount()));
        return false;
    }
    viewDidAppear();
    return true;
}

bool ViewController::clickPageBackward() {
    if (!m_cursor.requestBackward()) {
        say(noPageSentence(false, m_cursor.m_currentPage, pageCount()));
        return false;
    }
    viewDidAppear();
    return true;
}

bool ViewController::printFile() {
    if (pageCount() < 1 || !m_buttonPrint) return false;
    m_buttonPrint->click();
    return true;
}

void ViewController::zoomIn() { zoom(ZoomInPercent); }
void ViewController::zoomOut() { zoom(ZoomOutPercent); }

void ViewController::zoom(int percent) {
    QWidget* top = window();
    const QRect frame = top->frameGeometry();
    const QRect client = top->geometry();
    Frame next = zoomFrame(Frame{double(frame.x()), double(frame.y()), double(frame.width()), double(frame.height())}, percent);
    // The title bar, menu and toolbar stay reachable: the frame stays on the window's screen.
    if (const QScreen* screen = top->screen()) {
        const QRect area = screen->availableGeometry();
        next = keepOnScreen(next, Frame{double(area.x()), double(area.y()), double(area.width()), double(area.height())});
    }
    const QRect nextFrame(int(std::lround(next.x)), int(std::lround(next.y)), int(std::lround(next.width)),
                          int(std::lround(next.height)));
    const bool windowGrows = nextFrame.width() > frame.width() || nextFrame.height() > frame.height();
    QSize contentSize = size();
    if (percent > 100 ? !windowGrows : m_pageZoom > 1) {
        setPageZoom(stepPageZoom(m_pageZoom, percent));
    } else {
        // The frame is what grows; the client area keeps the decoration's margins.
        const QRect nextClient = nextFrame.adjusted(client.x() - frame.x(), client.y() - frame.y(),
                                                    client.right() - frame.right(), client.bottom() - frame.bottom());
        top->setGeometry(nextClient);
        // A window manager may apply the size later: the level said is the one the new size gives.
        contentSize += nextClient.size() - client.size();
    }
    sayZoomLevel(contentSize);
}

void ViewController::setPageZoom(double zoom) {
    m_pageZoom = zoom;
    for (ClickableImageView* view : {m_inkImageView, m_embImageView})
        if (view) view->setZoom(zoom);
    showZoomLevel();
}

QString ViewController::zoomLevel(QSize contentSize) const {
    const ViewLayout layout = layoutViews(contentSize.width(), contentSize.height());
    const auto percent = [](const ClickableImageView* view, const Frame& frame) -> std::optional<int> {
        if (!view || view->isHidden() || view->image().isNull()) return std::nullopt;
        return int(std::lround(100 * view->scaleFor(toRect(frame).size())));
    };
    return QString::fromStdString(zoomLevelText(percent(m_inkImageView, layout.ink), percent(m_embImageView, layout.emboss)));
}

void ViewController::sayZoomLevel(QSize contentSize) {
    const QString level = zoomLevel(contentSize);
    if (!level.isEmpty()) say(level + u'.');
}

void ViewController::showZoomLevel() { emit zoomLevelChanged(zoomLevel(size()), m_pageZoom < MaxPageZoom); }

void ViewController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    viewDidAppear();
    if (!m_focusPlaced) {
        // Start on the emboss page (or the ink page) so arrow keys page at once and the page is announced.
        m_focusPlaced = true;
        focusPageView();
    }
}

void ViewController::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    viewWillLayout();
}

// Right and Left page (Left is swallowed on the first page too); Page Down and Page Up reach here
// only where the page commands are off, at the ends, and say so.
bool ViewController::pageByKey(int key) {
    if (key == Qt::Key_Right || key == Qt::Key_PageDown) clickPageForward();
    else if (key == Qt::Key_Left || key == Qt::Key_PageUp) clickPageBackward();
    else return false;
    return true;
}

void ViewController::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && pageByKey(event->key())) event->accept();
    else QWidget::keyPressEvent(event);
}

// The braille text keeps its arrows for the caret; only Page Up and Page Down page from it.
bool ViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_embTextView && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp)) return pageByKey(key->key());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace brelmont::viewer
