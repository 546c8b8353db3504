// One page image, shown whole and proportionally, centred in the view. Focusable, so a keyboard
// or screen-reader user lands on the page and hears its name; keys it does not use go to the
// viewer behind it.
#pragma once

#include "job/PageData.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace brelmont::viewer {

class ClickableImageView : public QWidget {
    Q_OBJECT

public:
    explicit ClickableImageView(QWidget* parent = nullptr);

    // `pointSize` is the size the page is meant to have; it sets the proportions of what is shown.
    // `source` is kept as long as the image, which may read the page's buffer in place.
    void setImage(const QImage& image, QSize pointSize, job::PagePtr source = {});
    const QImage& image() const { return m_image; }
    QSize imagePointSize() const { return m_pointSize; }

    // Where the image lies inside the view: as large as fits, proportions kept, centred.
    QRect displayRect() const;
    static QRect fitRect(QSize content, QRect bounds);

    QSize sizeHint() const override { return {200, 260}; }

    // The emboss page whose image this view shows (unset on the ink side).
    job::PagePtr m_page;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_image;
    job::PagePtr m_source;
    QSize m_pointSize;
    QPixmap m_scaled; // the image at its display size, made once per image and size
};

} // namespace brelmont::viewer
