#include "viewer/window/ClickableImageView.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <cmath>

namespace brelmont::viewer {

namespace {

constexpr int Margin = 2; // room for the focus frame around the page
// The page scaled whole is kept while it has at most this many pixels (16 MiB); a page zoomed
// larger is scaled part by part as it is painted.
constexpr qint64 ScaledPixelLimit = 4 * 1024 * 1024;
constexpr int ScrollStep = 20;

// A page view is a picture to assistive technology, not an anonymous pane.
class ImageViewAccessible : public QAccessibleWidget {
public:
    explicit ImageViewAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Graphic) {}
};

QAccessibleInterface* imageViewFactory(const QString& className, QObject* object) {
    if (object && object->isWidgetType() && className == QLatin1String(ClickableImageView::staticMetaObject.className()))
        return new ImageViewAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

// Where content of `length` starts in a viewport of `room`: centred when it fits, else scrolled.
int placeAlong(int length, int room, int scrolled) {
    return length + 2 * Margin <= room ? (room - length) / 2 : Margin - scrolled;
}

// The part of the page at the viewport's centre, 0 to 1 along each axis.
QPointF centreOf(const QRect& page, const QRect& port) {
    if (page.isEmpty()) return {0.5, 0.5};
    return {std::clamp(double(port.center().x() - page.x()) / page.width(), 0.0, 1.0),
            std::clamp(double(port.center().y() - page.y()) / page.height(), 0.0, 1.0)};
}

} // namespace

ClickableImageView::ClickableImageView(QWidget* parent) : QAbstractScrollArea(parent) {
    static const bool factoryInstalled = (QAccessible::installFactory(imageViewFactory), true);
    (void)factoryInstalled;
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(ScrollStep);
    verticalScrollBar()->setSingleStep(ScrollStep);
}

void ClickableImageView::setImage(const QImage& image, QSize pointSize, job::PagePtr source) {
    m_image = image;
    m_source = std::move(source);
    m_pointSize = pointSize.isValid() && !pointSize.isEmpty() ? pointSize : image.size();
    m_scaled = QPixmap();
    updateScrollBars();
    viewport()->update();
}

void ClickableImageView::setZoom(double zoom) {
    const QPointF centre = centreOf(displayRect(), viewport()->rect());
    m_zoom = zoom;
    m_scaled = QPixmap();
    updateScrollBars();
    // The part of the page that was in the middle stays there.
    const QRect page = displayRect();
    const QRect port = viewport()->rect();
    horizontalScrollBar()->setValue(int(std::lround(centre.x() * page.width())) + Margin - port.width() / 2);
    verticalScrollBar()->setValue(int(std::lround(centre.y() * page.height())) + Margin - port.height() / 2);
    viewport()->update();
}

void ClickableImageView::setMinimumScale(double scale) {
    m_minimumScale = scale;
    setZoom(m_zoom);
}

double ClickableImageView::scaleFor(QSize viewSize) const {
    if (m_image.isNull() || m_pointSize.isEmpty()) return 0;
    const QSize room = viewSize - QSize(2 * Margin, 2 * Margin);
    const double fit =
        room.isEmpty() ? 0 : std::min(double(room.width()) / m_pointSize.width(), double(room.height()) / m_pointSize.height());
    return std::max(fit * m_zoom, m_minimumScale);
}

QSize ClickableImageView::contentSize() const {
    const double s = scale();
    return {int(std::lround(m_pointSize.width() * s)), int(std::lround(m_pointSize.height() * s))};
}

QRect ClickableImageView::displayRect() const {
    const QSize content = contentSize();
    if (content.isEmpty()) return {};
    const QSize port = viewport()->size();
    return {placeAlong(content.width(), port.width(), horizontalScrollBar()->value()),
            placeAlong(content.height(), port.height(), verticalScrollBar()->value()), content.width(), content.height()};
}

// A page that fits the whole view needs no scroll bars, even where they are shown now.
void ClickableImageView::updateScrollBars() {
    const QSize content = contentSize() + QSize(2 * Margin, 2 * Margin);
    const bool fits = content.width() <= width() && content.height() <= height();
    const QSize port = viewport()->size();
    horizontalScrollBar()->setRange(0, fits ? 0 : std::max(0, content.width() - port.width()));
    verticalScrollBar()->setRange(0, fits ? 0 : std::max(0, content.height() - port.height()));
    horizontalScrollBar()->setPageStep(port.width());
    verticalScrollBar()->setPageStep(port.height());
}

void ClickableImageView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().window());
    const QRect target = displayRect();
    if (!target.isEmpty()) {
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = target.size() * ratio;
        if (qint64(pixels.width()) * pixels.height() <= ScaledPixelLimit) {
            if (m_scaled.size() != pixels) {
                m_scaled = QPixmap::fromImage(m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
                m_scaled.setDevicePixelRatio(ratio);
            }
            painter.drawPixmap(target.topLeft(), m_scaled);
        } else {
            m_scaled = QPixmap();
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(target), m_image);
        }
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = viewport()->rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

// Called for the view's and the viewport's resizes alike.
void ClickableImageView::resizeEvent(QResizeEvent* event) {
    m_scaled = QPixmap();
    updateScrollBars();
    QAbstractScrollArea::resizeEvent(event);
}

// Up and Down scroll, and Shift+Left and Shift+Right, while the page is larger than the view; the
// plain arrows and Page Up and Down stay with the viewer, which pages with them.
void ClickableImageView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    QScrollBar* bar = nullptr;
    bool forward = false;
    if (modifiers == Qt::NoModifier && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        bar = verticalScrollBar();
        forward = event->key() == Qt::Key_Down;
    } else if (modifiers == Qt::ShiftModifier && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        bar = horizontalScrollBar();
        forward = event->key() == Qt::Key_Right;
    }
    if (!bar || bar->maximum() == 0) {
        event->ignore();
        return;
    }
    bar->triggerAction(forward ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
    event->accept();
}

} // namespace brelmont::viewer
