#include "ReferenceRendering.h"

#include "viewer/rendering/PageRendering.h"

#include <QPainter>
#include <QRectF>

#include <cmath>

namespace brelmont::bench {

QImage embossImageReference(const job::PageData& page) {
    // A kind 1 cell is 5 pixels with a 4-pixel dot, a kind 2 cell one pixel with a 4.8-pixel dot.
    const bool fine = page.m_kind == 2;
    const double scale = fine ? 1.0 : 5.0, diameter = fine ? 4.8 : 4.0;
    const QSize size = viewer::pageImageSize(page);
    if (!size.isValid()) return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(0xffffffffu);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int64_t y = 0; y < page.m_height; ++y) {
        // Row 0 at the top; each dot's square rises from the lower edge of its cell.
        const double bottom = double(image.height()) - std::trunc(double(page.m_height - 1 - y) * scale);
        for (int64_t x = 0; x < page.m_width; ++x) {
            const auto colour = viewer::embossDotColour(page.row(y)[x]);
            if (!colour) continue;
            painter.setBrush(*colour);
            painter.drawEllipse(QRectF(std::trunc(double(x) * scale), bottom - diameter, diameter, diameter));
        }
    }
    return image;
}

} // namespace brelmont::bench
