// The test page: one sheet with the braille alphabet and the digits at every dot height, in the
// cells of the queue's braille spacing (the places the driver gives them), and a line of ink on models that print ink.
#pragma once

#include "JobWriter.h"

#include <cstdint>
#include <string_view>

namespace brelmont::testing {

// The emboss raster of the test page: 100 cells per inch, Letter.
constexpr int64_t TestPageWidth = 850, TestPageHeight = 1100;
constexpr uint8_t LowestDotLevel = 1, HighestDotLevel = 7;

// The whole job for a model code, its braille in `spacing` (a "BrailleSpacing" value; an unknown
// one gives the first listed). The job names the model wherever the job language can.
ByteVector makeTestPage(int64_t model, std::string_view spacing);

// The emboss raster alone (width x height cells, row by row).
ByteVector testPageCells(std::string_view spacing);

// Whether the model has an ink module, so the test page carries an ink line.
bool printsInk(int64_t model);

} // namespace brelmont::testing
