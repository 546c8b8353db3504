// A composed page as an emboss raster: each cell's dots at the places of the queue's braille
// spacing, one byte per raster position, the dot level where a dot is raised.
#pragma once

#include "driver/geometry/CellPlaces.h"
#include "driver/layout/PageComposer.h"

#include <cstdint>
#include <vector>

namespace brelmont::driver {

struct PageFrame {
    int64_t width = 0, height = 0; // raster positions of the sheet
    int64_t left = 0, top = 0;     // where the first cell's dot 1 stands
    int64_t right = 0, bottom = 0; // the imageable area ends before these
    CellPlaces places;
    uint8_t level = 5;

    // Cells per line and lines per page that fit in the imageable area; `shiftDown` positions
    // lower for the back of an interpoint sheet.
    int64_t cellsPerLine() const { return places.cellsWithin(right - left); }
    int64_t linesPerPage(int64_t shiftDown) const { return places.linesWithin(bottom - top - shiftDown); }
};

// Back pages of interpoint sheets stand half a line lower, so their dots fall between the lines of
// the front.
int64_t interpointShift(const PageFrame& frame);

// The raster, row by row (width x height bytes), with the page's lines `shiftDown` positions lower.
std::vector<uint8_t> rasterOf(const ComposedPage& page, const PageFrame& frame, int64_t shiftDown);
// The same over a tactile graphic (a raster of the same size, or empty): around each cell of
// braille the graphic gives way, so that the braille reads clean.
std::vector<uint8_t> rasterOver(std::vector<uint8_t> graphic, const ComposedPage& page, const PageFrame& frame,
                                int64_t shiftDown);

} // namespace brelmont::driver
