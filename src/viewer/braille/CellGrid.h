// Where the braille cells of an emboss page lie, found from the dots alone: the dot pitch inside a
// cell, where each cell of a line and each line stands, and whether cells have 6 or 8 dots.
#pragma once

#include "driver/geometry/CellPlaces.h"
#include "job/PageData.h"

#include <cstdint>
#include <vector>

namespace brelmont::viewer {

// Positions are raster cells of the page (columns x, rows y), counted from its top left. A grid is
// periodic (a cell every cellPitch, a line every linePitch), or stands at the places of a physical
// spacing (driver::CellPlaces), where each cell and line is rounded to the raster on its own and
// the steps between them alternate.
struct CellGrid {
    int64_t left = 0;      // column of the left dots of the first cell that holds a dot
    int64_t top = 0;       // row of the top dots of the first line that holds a dot
    int64_t dotPitchX = 0; // from a cell's left dots to its right dots
    int64_t dotPitchY = 0; // from one dot row of a cell to the next
    // From one cell of a line to the next (one line to the next); 0 when the page has one cell column
    // (line). At a physical spacing, the pitch rounded to whole positions: cellX and lineY give the places.
    int64_t cellPitch = 0;
    int64_t linePitch = 0;
    int dotRows = 3; // 3 for 6-dot cells, 4 for 8-dot cells
    // Set for a grid at a physical spacing, at the page's resolution. The cell at `left` is cell
    // firstCell of the laid out line, the line at `top` line firstLine of the laid out page: the
    // rounding of the places further on depends on it.
    const driver::PhysicalSpacing* spacing = nullptr;
    int64_t positionsPerInch = 0;
    int64_t firstCell = 0, firstLine = 0;

    bool operator==(const CellGrid&) const = default;
    int dotsPerCell() const { return 2 * dotRows; }
    // Column of the left dots of cell i, row of the top dots of line l, counted from the cell at
    // `left` and the line at `top`.
    int64_t cellX(int64_t i) const;
    int64_t lineY(int64_t l) const;
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

// Emboss rasters of kind 1 have 20 positions per inch, those of kind 2 have 100.
int64_t positionsPerInch(const job::PageData& page);

// Finds the grid of an emboss page. Along each axis the dots fall in groups: 2 columns a cell,
// 3 or 4 rows a line. Two searches are made. The periodic one: the dot pitch is the smallest gap
// between dotted columns (rows); of the group pitches, longer than a whole group, for which every
// dotted column (row) falls on a dot place of some group, the one is taken that puts the first dot
// place (the top row, the left column) of the most groups on a dot: nearly every braille cell has
// dots there. Cells of 8 dots are taken where they fit better than cells of 6 (a line with dots 7
// or 8 in few cells fits 6-dot lines of another pitch or origin too), 6 where both fit as well. The
// gaps between groups must be wider than the dot pitch, as they are in every braille spacing;
// evenly spaced dots (graphics, textures) therefore fit no periodic grid. The physical one tries
// the places of every physical spacing, 6 and 8 dots, at the page's resolution: at 20 positions per
// inch the gap between two cells can be as narrow as the dot pitch, and no periodic grid fits. Of
// the two the grid whose lines fit better is taken, then the one whose cells do, the periodic one
// when both fit as well.
GridSearch findCellGrid(const job::PageData& page);

} // namespace brelmont::viewer
