#include "viewer/window/ClickableImageView.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace brelmont::viewer {

namespace {

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

} // namespace

ClickableImageView::ClickableImageView(QWidget* parent) : QWidget(parent) {
    static const bool factoryInstalled = (QAccessible::installFactory(imageViewFactory), true);
    (void)factoryInstalled;
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClickableImageView::setImage(const QImage& image, QSize pointSize, job::PagePtr source) {
    m_image = image;
    m_source = std::move(source);
    m_pointSize = pointSize.isValid() && !pointSize.isEmpty() ? pointSize : image.size();
    m_scaled = QPixmap();
    update();
}

QRect ClickableImageView::fitRect(QSize content, QRect bounds) {
    if (content.isEmpty() || bounds.isEmpty()) return {};
    const QSize fitted = content.scaled(bounds.size(), Qt::KeepAspectRatio);
    return QRect(bounds.x() + (bounds.width() - fitted.width()) / 2, bounds.y() + (bounds.height() - fitted.height()) / 2,
                 fitted.width(), fitted.height());
}

QRect ClickableImageView::displayRect() const {
    if (m_image.isNull()) return {};
    return fitRect(m_pointSize, rect().adjusted(2, 2, -2, -2));
}

void ClickableImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRect target = displayRect();
    if (!target.isEmpty()) {
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = target.size() * ratio;
        if (m_scaled.size() != pixels) {
            m_scaled = QPixmap::fromImage(m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            m_scaled.setDevicePixelRatio(ratio);
        }
        painter.drawPixmap(target.topLeft(), m_scaled);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void ClickableImageView::resizeEvent(QResizeEvent* event) {
    m_scaled = QPixmap();
    QWidget::resizeEvent(event);
}

void ClickableImageView::mouseReleaseEvent(QMouseEvent* event) { QWidget::mouseReleaseEvent(event); }

} // namespace brelmont::viewer
