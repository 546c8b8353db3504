// An emboss page as text of Unicode braille patterns, for braille displays and screen readers.
#pragma once

#include "job/PageData.h"
#include "viewer/braille/BraillePage.h"

#include <string>
#include <vector>

namespace brelmont::viewer {

// The first line of the text of a page whose dots form no braille cells.
inline constexpr const char* GraphicNotice =
    "This page is a tactile graphic, not braille cells: its dots follow, 2 by 4 raster positions to a pattern.";

// UTF-8 text, every line ending in "\n". A page of braille cells gives one pattern (U+2800 to
// U+28FF) per cell and one line per braille line (readBraillePage). A graphic gives GraphicNotice,
// then its dot map (dotMapText). A blank page, or a page that is not an emboss page, gives "".
std::string brailleText(const job::PageData& page);

// The patterns of lines of cells, one text line each.
std::string patternText(const std::vector<BrailleLine>& lines);

// One pattern for each block of 2 columns x 4 rows of raster positions, a line of patterns for
// each band of 4 rows: what a graphic looks like on a braille display.
std::string dotMapText(const job::PageData& page);

} // namespace brelmont::viewer
