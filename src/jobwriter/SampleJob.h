// The built-in sample job: braille text pages, a tactile graphic and a colour ink page.
#pragma once

#include "JobWriter.h"

namespace brelmont::testing {

ByteVector makeSampleJob();

// Parts of the sample that tests and benchmarks use on their own.
ByteVector tactileGraphicCells(int64_t width, int64_t height);      // 100 dpi, several dot levels
ByteVector colourChartBlock(int64_t pageWidth, int64_t pageHeight); // a PCL3GUI block at 300 dpi

} // namespace brelmont::testing
