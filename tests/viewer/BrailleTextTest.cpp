#include "viewer/braille/BrailleText.h"

#include <gtest/gtest.h>

#include <cstring>

using brelmont::job::PageData;
using brelmont::viewer::brailleText;

namespace {

// The UTF-8 text of one pattern with the given dot bits.
std::string pattern(uint8_t bits) {
    return {char(0xE2), char(0xA0 | (bits >> 6)), char(0x80 | (bits & 0x3F))};
}

} // namespace

TEST(BrailleText, OnePatternPerBlockOfTwoColumnsAndFourRows) {
    // 3 x 5 cells: blocks of 2 x 4, the last column and row in blocks of their own.
    const auto page = PageData::create(3, 5, 1);
    const uint8_t cells[5][3] = {{7, 0, 1}, {0, 15, 0}, {8, 0, 0}, {2, 3, 0}, {0, 0, 16}};
    for (int y = 0; y < 5; ++y) std::memcpy(page->row(y), cells[y], 3);
    // Block (0,0): dot 1 (7), dot 5 (15), not 8 (value 8 is not drawn), dots 7 and 8 (2 and 3).
    // Block (1,0): dot 1 (1). Block (0,1): nothing. Block (1,1): nothing (16 is not drawn).
    EXPECT_EQ(brailleText(*page), pattern(0x01 | 0x10 | 0x40 | 0x80) + pattern(0x01) + "\n" + pattern(0) + pattern(0) + "\n");
}

TEST(BrailleText, EveryDrawnValueIsADotAndOnlyEmbossPagesHaveText) {
    for (int value = 0; value < 256; ++value) {
        const auto page = PageData::create(1, 1, 2);
        page->row(0)[0] = uint8_t(value);
        const bool drawn = (value >= 1 && value <= 7) || value == 15;
        EXPECT_EQ(brailleText(*page), pattern(drawn ? 0x01 : 0) + "\n") << value;
    }
    EXPECT_EQ(brailleText(*PageData::create(4, 4, 3)), "");
    EXPECT_EQ(brailleText(*PageData::create(0, 0, 1)), "");
}
