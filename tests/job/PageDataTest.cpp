#include "job/PageData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using brelmont::job::PageData;

TEST(PageData, StrideAndInitialFillByKind) {
    // Width, kind, stride; RGB pages start white, the others empty.
    const int64_t cases[][3] = {{5, 4, 16}, {7, 1, 8}, {9, 2, 12}, {8, 2, 8}, {7, 3, 8}, {4, 4, 12}, {0, 1, 0}};
    for (const auto& [width, kind, stride] : cases) {
        const auto page = PageData::create(width, 3, kind);
        ASSERT_TRUE(page) << width << " kind " << kind;
        EXPECT_EQ(page->m_stride, stride) << width << " kind " << kind;
        EXPECT_EQ(page->m_size, stride * 3);
        const uint8_t fill = kind == 4 ? 0xFF : 0;
        EXPECT_TRUE(std::all_of(page->m_bytes, page->m_bytes + page->m_size, [&](uint8_t b) { return b == fill; }));
    }
}

TEST(PageData, RefusesWhatCannotBeMade) {
    const int64_t huge = std::numeric_limits<int64_t>::max();
    const int64_t cases[][3] = {{10, 10, 0},  {10, 10, 5},  {-1, 10, 1},      {10, -1, 1},
                                {huge, 2, 1}, {2, huge, 4}, {huge / 3, 1, 4}, {16385, 32768, 1}}; // just over 512 MiB
    for (const auto& [w, h, kind] : cases) EXPECT_FALSE(PageData::create(w, h, kind)) << w << "x" << h << " kind " << kind;
    EXPECT_TRUE(PageData::create(16384, 32768, 1)); // exactly 512 MiB
}

TEST(PageData, AddressesClampToTheLastRowAndColumn) {
    const auto page = PageData::create(5, 4, 1);
    EXPECT_EQ(page->pixelAddress(0, 4), page->m_bytes + 3 * page->m_stride);
    EXPECT_EQ(page->pixelAddress(9, 1), page->m_bytes + 4 + page->m_stride);
    EXPECT_EQ(page->row(4), nullptr);
    EXPECT_EQ(page->row(-1), nullptr);
    EXPECT_EQ(PageData::create(0, 4, 1)->pixelAddress(0, 0), nullptr);
}
