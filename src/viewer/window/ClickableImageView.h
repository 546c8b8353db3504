// One page image, centred in the view and as large as fits, or larger when zoomed past the
// window or when its dots need a least size on screen: then the view scrolls (Up, Down,
// Shift+Left, Shift+Right, the wheel). Focusable, so a keyboard or screen-reader user lands on
// the page and hears its name; keys it does not use go to the viewer behind it.
#pragma once

#include "job/PageData.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPixmap>

namespace brelmont::viewer {

class ClickableImageView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ClickableImageView(QWidget* parent = nullptr);

    // `pointSize` is the size the page is meant to have; it sets the proportions of what is shown.
    // `source` is kept as long as the image, which may read the page's buffer in place.
    void setImage(const QImage& image, QSize pointSize, job::PagePtr source = {});
    const QImage& image() const { return m_image; }

    // How many times larger than fitting the page is shown (1 fits it in the view); the part of
    // the page at the view's centre stays there.
    void setZoom(double zoom);
    // The least size on screen of one point of the page, however small the view.
    void setMinimumScale(double scale);

    // Points on screen per point of the page, for a view of `viewSize` (0 with no image).
    double scaleFor(QSize viewSize) const;
    double scale() const { return scaleFor(size()); }
    // Where the page lies in the viewport, scrolled; larger than the viewport when zoomed.
    QRect displayRect() const;

    QSize sizeHint() const override { return {200, 260}; }

    // The emboss page whose image this view shows (unset on the ink side).
    job::PagePtr m_page;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QSize contentSize() const;
    // Scroll ranges for the current size: none while the page fits the whole view.
    void updateScrollBars();

    QImage m_image;
    job::PagePtr m_source;
    QSize m_pointSize;
    double m_zoom = 1.0;
    double m_minimumScale = 0.0;
    QPixmap m_scaled; // the whole image at its display size, while that is small enough to keep
};

} // namespace brelmont::viewer
