// Where the braille cells of an emboss page lie, found from the dots alone: the dot pitch inside a
// cell, the cell pitch along a line, the line pitch, and whether cells have 6 or 8 dots.
#pragma once

#include "job/PageData.h"

#include <cstdint>
#include <vector>

namespace brelmont::viewer {

// Positions are raster cells of the page (columns x, rows y), counted from its top left.
struct CellGrid {
    int64_t left = 0;      // column of the left dots of the first cell that holds a dot
    int64_t top = 0;       // row of the top dots of the first line that holds a dot
    int64_t dotPitchX = 0; // from a cell's left dots to its right dots
    int64_t dotPitchY = 0; // from one dot row of a cell to the next
    int64_t cellPitch = 0; // from one cell of a line to the next; 0 when the page has one cell column
    int64_t linePitch = 0; // from one line to the next; 0 when the page has one line
    int dotRows = 3;       // 3 for 6-dot cells, 4 for 8-dot cells

    bool operator==(const CellGrid&) const = default;
    int dotsPerCell() const { return 2 * dotRows; }
};

enum class PageLayout {
    Blank,   // no dot at all
    Cells,   // every dot lies on one grid of braille cells
    Graphic, // the dots form no grid of braille cells: a tactile graphic, or graphics mixed with text
};

struct GridSearch {
    PageLayout layout = PageLayout::Blank;
    CellGrid grid; // set for Cells
};

// A position is a dot when the renderer draws it: levels 1 to 7, and 15.
bool isDotValue(uint8_t value);

// Finds the grid of an emboss page. Along each axis the dots fall in groups: 2 columns a cell,
// 3 or 4 rows a line. The dot pitch is the smallest gap between dotted columns (rows). Of the
// group pitches, longer than a whole group, for which every dotted column (row) falls on a dot
// place of some group, the one is taken that puts the first dot place (the top row, the left
// column) of the most groups on a dot: nearly every braille cell has dots there. Cells of 8 dots
// are taken where they fit better than cells of 6 (a line with dots 7 or 8 in few cells fits
// 6-dot lines of another pitch or origin too), 6 where both fit as well. The gaps between groups must be wider than the dot
// pitch, as they are in every braille spacing; evenly spaced dots (graphics, textures) therefore fit no grid.
GridSearch findCellGrid(const job::PageData& page);

} // namespace brelmont::viewer
