#include "job/PageData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using brelmont::job::PageData;

TEST(PageData, StrideAndInitialFillByKind) {
    struct Case { int64_t width, kind, stride; uint8_t fill; };
    const Case cases[] = {
        {5, 4, 16, 0xFF}, {7, 1, 8, 0}, {7, 2, 8, 0}, {9, 2, 12, 0}, {8, 1, 8, 0}, {8, 2, 8, 0},
        {8, 3, 8, 0}, {7, 3, 8, 0}, {4, 4, 12, 0xFF}, {0, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "width " << c.width << " kind " << c.kind);
        const auto page = PageData::create(c.width, 3, c.kind);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->m_stride, c.stride);
        EXPECT_EQ(page->m_size, c.stride * 3);
        EXPECT_TRUE(std::all_of(page->m_bytes, page->m_bytes + page->m_size, [&](uint8_t b) { return b == c.fill; }));
    }
}

TEST(PageData, RefusesWhatCannotBeMade) {
    const int64_t huge = std::numeric_limits<int64_t>::max();
    struct Case { int64_t width, height, kind; };
    const Case cases[] = {
        {10, 10, 0}, {10, 10, 5}, {-1, 10, 1}, {10, -1, 1}, {huge, 2, 1}, {2, huge, 4}, {huge / 3, 1, 4},
        {65536, 65536, 1},  // 4 GiB
        {16385, 32768, 1},  // just over 512 MiB
    };
    for (const Case& c : cases) EXPECT_FALSE(PageData::create(c.width, c.height, c.kind)) << c.width << "x" << c.height << " kind " << c.kind;
    EXPECT_TRUE(PageData::create(16384, 32768, 1)); // exactly 512 MiB
}

TEST(PageData, AddressesClampToTheLastRowAndColumn) {
    const auto page = PageData::create(5, 4, 1);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->pixelAddress(0, 4), page->m_bytes + 3 * page->m_stride);
    EXPECT_EQ(page->pixelAddress(9, 1), page->m_bytes + 4 + page->m_stride);
    EXPECT_EQ(page->pixelAddress(2, 2), page->m_bytes + 2 + 2 * page->m_stride);
    EXPECT_EQ(page->row(4), nullptr);
    EXPECT_EQ(page->row(-1), nullptr);
    EXPECT_EQ(page->row(3), page->m_bytes + 3 * page->m_stride);

    const auto empty = PageData::create(0, 4, 1);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->pixelAddress(0, 0), nullptr);
}
