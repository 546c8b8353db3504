// Pictures of pages: geometry, which values draw, the y axis, clipping, ink dots and RGB.
#include "viewer/rendering/PageRendering.h"

#include "job/PageData.h"

#include <gtest/gtest.h>

using brelmont::job::PageData;
using brelmont::job::PagePtr;
namespace viewer = brelmont::viewer;

namespace {

constexpr QRgb White = 0xffffffff;

PagePtr makePage(int64_t w, int64_t h, int64_t kind, std::initializer_list<std::array<int, 3>> cells = {}) {
    PagePtr page = PageData::create(w, h, kind);
    for (const auto& [x, y, v] : cells) page->row(y)[x] = uint8_t(v);
    return page;
}

// Smallest rectangle holding every pixel that is not white.
QRect inkedArea(const QImage& image) {
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != White) area |= QRect(x, y, 1, 1);
    return area;
}

} // namespace

TEST(EmbossImage, DotPlacement) {
    // The 4-pixel kind 1 square rises from its cell's bottom edge; a kind 2 square of 4.8 pixels
    // reaches into the cells above and to the right, and is clipped at the page's edge.
    // clang-format off
    const struct { const char* what; int64_t kind, w, h, x, y; QSize size; QRect area; } cases[] = {
        {"kind 1, row 0 at the top", 1, 2, 3, 1, 0, {10, 15}, {5, 1, 4, 4}},
        {"kind 2", 2, 10, 10, 3, 5, {10, 10}, {3, 1, 5, 5}},
        {"kind 2 at the right edge", 2, 10, 10, 9, 0, {10, 10}, {9, 0, 1, 1}},
    };
    // clang-format on
    for (const auto& c : cases) {
        const PagePtr page = makePage(c.w, c.h, c.kind, {{int(c.x), int(c.y), 7}});
        const QImage image = viewer::embossImage(*page);
        EXPECT_EQ(image.size(), c.size) << c.what;
        EXPECT_EQ(viewer::pageImageSize(*page), c.size) << c.what;
        EXPECT_EQ(inkedArea(image), c.area) << c.what;
    }
}

// Every dot value draws (in which colour is the picture's look, not pinned); no other value does.
TEST(EmbossImage, OnlyDotValuesAreDrawn) {
    for (const int v : {1, 2, 3, 4, 5, 6, 7, 15})
        EXPECT_NE(inkedArea(viewer::embossImage(*makePage(1, 1, 1, {{0, 0, v}}))), QRect()) << v;
    for (const int64_t kind : {1, 2}) {
        const PagePtr undrawn = makePage(16, 16, kind);
        for (int v = 8, n = 0; v < 256; ++v)
            if (v != 15) undrawn->row(n / 16)[n % 16] = uint8_t(v), ++n;
        EXPECT_EQ(inkedArea(viewer::embossImage(*undrawn)), QRect()) << "kind " << kind;
    }
}

TEST(PageImage, InkDotsAndRgb) {
    const PagePtr dots = makePage(5, 3, 3, {{0, 0, 1}, {4, 0, 255}, {2, 2, 7}});
    const QImage ink = viewer::pageImage(*dots);
    ASSERT_EQ(ink.size(), QSize(5, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(ink.pixel(x, y) != White, dots->row(y)[x] != 0) << x << "," << y;

    const PagePtr rgb = makePage(301, 2, 4);
    uint8_t* px = rgb->row(1) + 3 * 2;
    px[0] = 0x12, px[1] = 0x34, px[2] = 0x56;
    const QImage wrapped = viewer::pageImage(*rgb);
    EXPECT_EQ(wrapped.size(), QSize(301, 2));
    EXPECT_EQ(wrapped.pixel(2, 1), 0xff123456);
    EXPECT_EQ(viewer::pageImageSize(*rgb), QSize(100, 0)); // shown at a third
}
