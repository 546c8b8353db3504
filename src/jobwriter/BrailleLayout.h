// Where the dots of braille cells stand on an emboss raster of 100 cells per inch, for each
// braille spacing a queue offers (its "BrailleSpacing" choices). Pitches are in raster cells
// (0.254 mm). Further layouts (eight-dot cells, other rasters) belong here too.
#pragma once

#include "JobWriter.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace brelmont::testing {

struct SpacingPitches {
    std::string_view name; // the queue option's value ("Congress", "Jumbo", ...)
    int64_t dotPitch;      // from a dot to the next one in its cell, across and down
    int64_t cellPitch;     // from a cell to the next one on its line
    int64_t linePitch;     // from a braille line to the next one
};

// Every spacing; the first stands in for a name that is not listed.
std::span<const SpacingPitches> brailleSpacings();
const SpacingPitches& brailleSpacing(std::string_view name);

// Sets the dots of a six-dot cell (bit 0 = dot 1 ... bit 5 = dot 6) to `level`, its dot 1 at
// (x, y) of a width x height raster; dots off the raster are left out.
void placeCell(ByteVector& cells, int64_t width, int64_t height, int64_t x, int64_t y, uint8_t dots,
               const SpacingPitches& spacing, uint8_t level);

} // namespace brelmont::testing
