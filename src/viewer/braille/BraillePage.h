// An emboss page read as braille: its lines of cells, each cell the set of its raised dots.
#pragma once

#include "viewer/braille/CellGrid.h"

#include <cstdint>
#include <vector>

namespace brelmont::viewer {

// Bit 0 is dot 1 ... bit 5 dot 6 (dots 1-2-3 down the left column, 4-5-6 down the right), bit 6
// dot 7 and bit 7 dot 8 (the fourth row, left and right): the order of the Unicode patterns.
using BrailleLine = std::vector<uint8_t>;

struct BraillePage {
    GridSearch search;
    // For a page of cells: one entry per line of the grid from the first line that holds a dot to
    // the last, each from the first cell column that holds a dot on the page, trailing blank
    // cells left off. Empty for blank pages and graphics.
    std::vector<BrailleLine> lines;
};

BraillePage readBraillePage(const job::PageData& page);

} // namespace brelmont::viewer
