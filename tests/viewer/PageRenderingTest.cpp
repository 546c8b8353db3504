// Pictures of pages: geometry, colours, the y axis, clipping, and the stamped dots against the
// straightforward drawing.
#include "viewer/rendering/PageRendering.h"

#include "job/PageData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

using brelmont::job::PageData;
using brelmont::job::PagePtr;
namespace viewer = brelmont::viewer;

namespace {

constexpr QRgb White = 0xffffffff;

PagePtr makePage(int64_t w, int64_t h, int64_t kind) {
    PagePtr page = PageData::create(w, h, kind);
    EXPECT_TRUE(page);
    return page;
}

void setCell(const PagePtr& page, int64_t x, int64_t y, uint8_t v) { page->m_bytes[y * page->m_stride + x] = v; }

// Largest difference of any channel of any pixel; both images must have the same size.
int maxChannelDifference(const QImage& a, const QImage& b) {
    EXPECT_EQ(a.size(), b.size());
    if (a.size() != b.size()) return 256;
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int worst = 0;
    for (int y = 0; y < pa.height(); ++y) {
        const auto* la = reinterpret_cast<const QRgb*>(pa.constScanLine(y));
        const auto* lb = reinterpret_cast<const QRgb*>(pb.constScanLine(y));
        for (int x = 0; x < pa.width(); ++x)
            for (int shift = 0; shift < 32; shift += 8)
                worst = std::max(worst, std::abs(int((la[x] >> shift) & 0xff) - int((lb[x] >> shift) & 0xff)));
    }
    return worst;
}

// Smallest rectangle holding every pixel that is not white.
QRect inkedArea(const QImage& image) {
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != White) area |= QRect(x, y, 1, 1);
    return area;
}

bool allWhite(const QImage& image) { return !image.isNull() && inkedArea(image).isNull(); }

int grey(QRgb c) { return qRed(c); }

} // namespace

TEST(EmbossImage, Kind1DotSquareStartsAtTheSurfaceOrigin) {
    // The surface's y axis points up, so its origin is the image's bottom-left corner: the 4-pixel
    // square covers columns 0-3 and image rows 1-4; column 4 and row 0 are the white gap.
    const PagePtr page = makePage(1, 1, 1);
    setCell(page, 0, 0, 7);
    for (const QImage& image : {viewer::embossImage(*page), viewer::embossImageReference(*page)}) {
        ASSERT_EQ(image.size(), QSize(5, 5));
        EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(inkedArea(image), QRect(0, 1, 4, 4));
        for (int y = 2; y <= 3; ++y)
            for (int x = 1; x <= 2; ++x) EXPECT_EQ(image.pixel(x, y), 0xff000000) << x << "," << y;
        // Antialiased rim: the corners of the square are partly covered, symmetrically.
        const QRgb corner = image.pixel(0, 1);
        EXPECT_NE(corner, White);
        EXPECT_NE(corner, 0xff000000);
        for (const QPoint p : {QPoint(3, 1), QPoint(0, 4), QPoint(3, 4)}) EXPECT_LE(std::abs(grey(image.pixel(p)) - grey(corner)), 1);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x) {
                const QRgb c = image.pixel(x, y);
                EXPECT_EQ(qRed(c), qGreen(c));
                EXPECT_EQ(qRed(c), qBlue(c));
                EXPECT_EQ(qAlpha(c), 255);
            }
    }
    EXPECT_EQ(viewer::pageImageSize(*page), QSize(5, 5));
}

TEST(EmbossImage, GreyLevelsAndBlue) {
    const PagePtr page = makePage(8, 1, 1);
    const uint8_t values[8] = {1, 2, 3, 4, 5, 6, 7, 15};
    for (int x = 0; x < 8; ++x) setCell(page, x, 0, values[x]);
    const double levels[7] = {0.9, 0.84, 0.75, 0.63, 0.5, 0.31, 0.0};
    const QImage image = viewer::embossImage(*page);
    ASSERT_EQ(image.size(), QSize(40, 5));
    for (int x = 0; x < 7; ++x) {
        const QRgb c = image.pixel(5 * x + 1, 2); // fully inside the dot
        const int expected = int(std::lround(levels[x] * 255));
        EXPECT_LE(std::abs(qRed(c) - expected), 1) << "value " << x + 1;
        EXPECT_EQ(qRed(c), qGreen(c));
        EXPECT_EQ(qRed(c), qBlue(c));
        EXPECT_EQ(viewer::embossDotColour(x + 1)->rgb() & 0xffffff, c & 0xffffff);
    }
    EXPECT_EQ(image.pixel(36, 2), 0xff0000ff);
    EXPECT_EQ(image.pixel(37, 3), 0xff0000ff);
    EXPECT_EQ(maxChannelDifference(image, viewer::embossImageReference(*page)), 0);
}

TEST(EmbossImage, UndrawnValuesLeaveWhite) {
    for (const int64_t kind : {1, 2}) {
        const PagePtr page = makePage(16, 16, kind);
        int n = 0;
        for (int v = 8; v < 256; ++v) {
            if (v == 15) continue;
            setCell(page, n % 16, n / 16, uint8_t(v));
            ++n;
        }
        EXPECT_TRUE(allWhite(viewer::embossImage(*page))) << "kind " << kind;
        EXPECT_TRUE(allWhite(viewer::embossImageReference(*page))) << "kind " << kind;
        for (unsigned v : {0u, 8u, 14u, 16u, 255u, 1000u}) EXPECT_FALSE(viewer::embossDotColour(v)) << v;
    }
}

TEST(EmbossImage, RowZeroIsAtTheTop) {
    const PagePtr page = makePage(2, 3, 1);
    setCell(page, 1, 0, 7);
    EXPECT_EQ(inkedArea(viewer::embossImage(*page)), QRect(5, 1, 4, 4));
    setCell(page, 1, 0, 0);
    setCell(page, 0, 2, 7);
    EXPECT_EQ(inkedArea(viewer::embossImage(*page)), QRect(0, 11, 4, 4));

    // Kind 2: the 4.8-pixel square of cell (3, 5) spans columns 3 to 7.8 and rows 1.2 to 6.
    const PagePtr fine = makePage(10, 10, 2);
    setCell(fine, 3, 5, 7);
    EXPECT_EQ(inkedArea(viewer::embossImage(*fine)), QRect(3, 1, 5, 5));
    EXPECT_EQ(inkedArea(viewer::embossImageReference(*fine)), QRect(3, 1, 5, 5));
}

TEST(EmbossImage, Kind2DotAtTheRightEdgeIsClipped) {
    const PagePtr page = makePage(10, 10, 2);
    setCell(page, 9, 0, 7);
    const PagePtr wide = makePage(20, 10, 2);
    setCell(wide, 9, 0, 7);
    const QImage wideImage = viewer::embossImageReference(*wide);
    for (const QImage& image : {viewer::embossImage(*page), viewer::embossImageReference(*page)}) {
        ASSERT_EQ(image.size(), QSize(10, 10));
        EXPECT_EQ(inkedArea(image), QRect(9, 0, 1, 1));
        // Clipping only cuts: what stays inside is what a wider page shows there.
        EXPECT_LE(maxChannelDifference(image, wideImage.copy(0, 0, 10, 10)), 1);
    }
    EXPECT_EQ(inkedArea(wideImage), QRect(9, 0, 5, 1));
    EXPECT_EQ(viewer::pageImageSize(*page), QSize(10, 10));
}

TEST(EmbossImage, DotsAtEveryEdge) {
    for (const int64_t kind : {1, 2}) {
        const PagePtr page = makePage(7, 5, kind);
        for (int x = 0; x < 7; ++x) setCell(page, x, 0, uint8_t(1 + x)), setCell(page, x, 4, 15);
        for (int y = 0; y < 5; ++y) setCell(page, 0, y, 6), setCell(page, 6, y, 3);
        EXPECT_LE(maxChannelDifference(viewer::embossImage(*page), viewer::embossImageReference(*page)), 1) << kind;
    }
}

TEST(EmbossImage, LaterDotsPaintOverEarlierOnes) {
    // Kind 2 dots overlap; the last one drawn (right, then lower) wins where they meet.
    const PagePtr page = makePage(6, 6, 2);
    setCell(page, 1, 3, 7);
    setCell(page, 2, 3, 15);
    const QImage image = viewer::embossImage(*page);
    EXPECT_EQ(image.pixel(3, 1), 0xff0000ff);
    EXPECT_LE(maxChannelDifference(image, viewer::embossImageReference(*page)), 1);
}

TEST(EmbossImage, StampedMatchesStraightforwardDrawingOnRandomPages) {
    std::mt19937 rng(20240611);
    const QSize sizes[] = {{1, 1}, {2, 1}, {1, 3}, {3, 7}, {9, 2}, {17, 13}, {64, 50}, {101, 37}, {5, 130}};
    const uint8_t drawable[] = {1, 2, 3, 4, 5, 6, 7, 15};
    int worst[2] = {0, 0};
    for (const viewer::EmbossLook look : {viewer::EmbossLook::Levels, viewer::EmbossLook::HighContrast})
    for (const int64_t kind : {1, 2})
        for (const QSize size : sizes)
            for (int density : {5, 30, 100}) {
                for (int allValues = 0; allValues < 2; ++allValues) {
                    const PagePtr page = makePage(size.width(), size.height(), kind);
                    for (int y = 0; y < size.height(); ++y)
                        for (int x = 0; x < page->m_stride; ++x) { // spare bytes too: they must not be drawn
                            uint8_t v = 0;
                            if (int(rng() % 100) < density)
                                v = allValues ? uint8_t(rng()) : drawable[rng() % 8];
                            page->m_bytes[y * page->m_stride + x] = v;
                        }
                    const QImage fast = viewer::embossImage(*page, look), reference = viewer::embossImageReference(*page, look);
                    const int difference = maxChannelDifference(fast, reference);
                    EXPECT_LE(difference, 1) << "look " << int(look) << " kind " << kind << ' ' << size.width() << 'x' << size.height()
                                             << " density " << density << " all values " << allValues;
                    worst[kind - 1] = std::max(worst[kind - 1], difference);
                }
            }
    std::printf("largest channel difference: kind 1 %d, kind 2 %d\n", worst[0], worst[1]);
}

TEST(EmbossImage, StampedMatchesStraightforwardDrawingOnLargePages) {
    std::mt19937 rng(7);
    int worst = 0;
    for (const int64_t kind : {1, 2}) {
        const PagePtr page = makePage(kind == 1 ? 170 : 850, kind == 1 ? 220 : 1100, kind);
        for (int64_t i = 0; i < page->m_size; ++i) page->m_bytes[i] = rng() % 5 == 0 ? uint8_t(rng()) % 8 : 0;
        const int difference = maxChannelDifference(viewer::embossImage(*page), viewer::embossImageReference(*page));
        EXPECT_LE(difference, 1) << "kind " << kind;
        worst = std::max(worst, difference);
    }
    std::printf("largest channel difference on full pages: %d\n", worst);
}

// High contrast: every dot black, a lower level a smaller dot centred where the full one would be.
TEST(EmbossImage, HighContrastDotsAreBlackAndSizedByLevel) {
    const PagePtr page = makePage(3, 1, 1);
    setCell(page, 0, 0, 7);
    setCell(page, 1, 0, 1);
    setCell(page, 2, 0, 15);
    const QImage image = viewer::embossImage(*page, viewer::EmbossLook::HighContrast);
    const auto cellArea = [&](int x) { return inkedArea(image.copy(x * 5, 0, 5, 5)); };
    EXPECT_EQ(cellArea(0), QRect(0, 1, 4, 4));
    EXPECT_EQ(cellArea(2), QRect(0, 1, 4, 4));
    EXPECT_EQ(cellArea(1).center(), cellArea(0).center());
    const auto ink = [&](int cell) {
        int sum = 0;
        for (int y = 0; y < 5; ++y)
            for (int x = cell * 5; x < cell * 5 + 5; ++x) sum += 255 - qGray(image.pixel(x, y));
        return sum;
    };
    EXPECT_LT(ink(1), ink(0) / 2); // level 1 is about half as wide as level 7
    for (int x : {2, 12}) EXPECT_EQ(image.pixel(x, 3), 0xff000000) << x; // the full dots' middles
    // The small dot is darker than the default's light grey dot at its darkest.
    const auto darkest = [](const QImage& picture) {
        int grey = 255;
        for (int y = 0; y < 5; ++y)
            for (int x = 5; x < 10; ++x) grey = std::min(grey, qGray(picture.pixel(x, y)));
        return grey;
    };
    EXPECT_LT(darkest(image), 170);
    EXPECT_GT(darkest(viewer::embossImage(*page)), 220);
}

TEST(EmbossImage, EmptyPagesGiveNoImage) {
    for (const int64_t kind : {1, 2, 3, 4}) {
        for (const QSize size : {QSize(0, 5), QSize(5, 0), QSize(0, 0)}) {
            const PagePtr page = makePage(size.width(), size.height(), kind);
            EXPECT_TRUE(viewer::pageImage(*page).isNull());
            EXPECT_TRUE(viewer::embossImage(*page).isNull());
            EXPECT_TRUE(viewer::embossImageReference(*page).isNull());
            EXPECT_TRUE(viewer::inkDotImage(*page).isNull());
            EXPECT_TRUE(viewer::rgbImage(*page).isNull());
            EXPECT_FALSE(viewer::pageImageSize(*page).isValid());
        }
    }
}

TEST(InkDotImage, BlackDotsInTheirOwnPixels) {
    const PagePtr page = makePage(5, 3, 3);
    setCell(page, 0, 0, 1);
    setCell(page, 4, 0, 255);
    setCell(page, 2, 2, 7);
    const QImage image = viewer::inkDotImage(*page);
    ASSERT_EQ(image.size(), QSize(5, 3));
    EXPECT_EQ(viewer::pageImageSize(*page), QSize(5, 3));
    const QRgb dot = image.pixel(0, 0);
    EXPECT_LT(qRed(dot), 128); // a circle covers about 79 % of its pixel
    EXPECT_GT(qRed(dot), 0);
    EXPECT_EQ(qRed(dot), qGreen(dot));
    EXPECT_EQ(qRed(dot), qBlue(dot));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool inked = (x == 0 && y == 0) || (x == 4 && y == 0) || (x == 2 && y == 2);
            EXPECT_EQ(image.pixel(x, y), inked ? dot : White) << x << "," << y;
        }
    EXPECT_EQ(maxChannelDifference(image, viewer::inkDotImageReference(*page)), 0);
    EXPECT_EQ(maxChannelDifference(viewer::pageImage(*page), image), 0);
}

TEST(InkDotImage, MatchesStraightforwardDrawingOnRandomPages) {
    std::mt19937 rng(3);
    int worst = 0;
    for (const QSize size : {QSize(1, 1), QSize(3, 5), QSize(31, 17), QSize(200, 90)}) {
        const PagePtr page = makePage(size.width(), size.height(), 3);
        for (int64_t i = 0; i < page->m_size; ++i) page->m_bytes[i] = rng() % 3 == 0 ? uint8_t(rng()) : 0;
        worst = std::max(worst, maxChannelDifference(viewer::inkDotImage(*page), viewer::inkDotImageReference(*page)));
    }
    EXPECT_LE(worst, 1);
}

TEST(RgbImage, WrapsThePageBuffer) {
    const PagePtr page = makePage(5, 2, 4);
    ASSERT_EQ(page->m_stride, 16);
    uint8_t* px = page->m_bytes + page->m_stride + 3 * 2; // (2, 1)
    px[0] = 0x12, px[1] = 0x34, px[2] = 0x56;
    const QImage image = viewer::rgbImage(*page);
    ASSERT_EQ(image.size(), QSize(5, 2));
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    EXPECT_EQ(image.bytesPerLine(), 16);
    EXPECT_EQ(image.constBits(), page->m_bytes);
    EXPECT_EQ(image.pixel(2, 1), 0xff123456);
    EXPECT_EQ(image.pixel(0, 0), White);
    EXPECT_EQ(image.pixel(4, 1), White);
    EXPECT_EQ(viewer::pageImage(*page).constBits(), page->m_bytes);
    EXPECT_EQ(viewer::pageImageSize(*page), QSize(1, 0));
}

TEST(RgbImage, ShownAtAThirdOfItsPixelSize) {
    EXPECT_EQ(viewer::pageImageSize(*makePage(300, 300, 4)), QSize(100, 100));
    EXPECT_EQ(viewer::pageImageSize(*makePage(301, 300, 4)), QSize(100, 100));
    EXPECT_EQ(viewer::pageImageSize(*makePage(2550, 3302, 4)), QSize(850, 1100));
    const PagePtr page = makePage(301, 300, 4);
    EXPECT_EQ(viewer::rgbImage(*page).size(), QSize(301, 300));
}

TEST(PageImage, ChoosesByKind) {
    const PagePtr k1 = makePage(3, 2, 1), k2 = makePage(3, 2, 2), k3 = makePage(3, 2, 3);
    setCell(k1, 1, 1, 4);
    setCell(k2, 1, 1, 4);
    setCell(k3, 1, 1, 4);
    EXPECT_EQ(viewer::pageImage(*k1), viewer::embossImage(*k1));
    EXPECT_EQ(viewer::pageImage(*k1).size(), QSize(15, 10));
    EXPECT_EQ(viewer::pageImageSize(*k1), QSize(15, 10));
    EXPECT_EQ(viewer::pageImage(*k2), viewer::embossImage(*k2));
    EXPECT_EQ(viewer::pageImage(*k2).size(), QSize(3, 2));
    EXPECT_EQ(viewer::pageImageSize(*k2), QSize(3, 2));
    EXPECT_EQ(viewer::pageImage(*k3), viewer::inkDotImage(*k3));
}
