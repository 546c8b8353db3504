// An emboss page as text of Unicode braille patterns, for braille displays and screen readers.
#pragma once

#include "job/PageData.h"

#include <string>

namespace brelmont::viewer {

// UTF-8 text, one braille pattern (U+2800 to U+28FF) for each block of 2 columns x 4 rows of
// raster positions, a line of patterns for each band of 4 rows, every line ending in "\n". A
// position is a dot when its value is drawn (1 to 7, and 15). Empty for pages that are not emboss pages.
std::string brailleText(const job::PageData& page);

} // namespace brelmont::viewer
