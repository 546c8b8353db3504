// Braille laid out on emboss pages in each spacing that the queue options offer ("Congress" to
// "Jumbo"), as 6-dot or 8-dot cells, for tests and the sample job.
#pragma once

#include "JobWriter.h"

#include <string_view>
#include <vector>

namespace brelmont::testing {

enum class BrailleSpacing { Congress, National, Microbraille, Korean, Jumbo };
inline constexpr BrailleSpacing AllBrailleSpacings[] = {BrailleSpacing::Congress, BrailleSpacing::National,
                                                        BrailleSpacing::Microbraille, BrailleSpacing::Korean,
                                                        BrailleSpacing::Jumbo};

// The option value that names the spacing ("Congress", "National", ...).
std::string_view spacingName(BrailleSpacing spacing);

// Pitches in raster positions at `positionsPerInch`, and the page: the first cell's dot 1 lies
// `margin` positions from the top and left edges.
struct BrailleLayout {
    int64_t positionsPerInch = 100;
    int64_t dotPitch = 0, cellPitch = 0, linePitch = 0;
    int dotRows = 3; // 3 for 6-dot cells, 4 for 8-dot cells
    int64_t margin = 0;
    int64_t width = 0, height = 0;
};

// The spacing at 100 positions per inch, pages of 24 cells by 8 lines with margins; `dots` is 6
// or 8 (an 8-dot line is a dot pitch taller).
BrailleLayout brailleLayout(BrailleSpacing spacing, int dots);

// Cells: bit 0 = dot 1 ... bit 5 = dot 6, bit 6 = dot 7, bit 7 = dot 8.
using BrailleCells = std::vector<uint8_t>;
using BrailleCellPage = std::vector<BrailleCells>; // its lines

// Text as cells: pages end at form feeds, lines at line feeds (a CR before one is dropped).
// Letters and the punctuation of brailleDots(), a digit as the letter a to j; in 8-dot form
// (`dots` 8) a capital letter adds dot 7 and a digit dot 8.
std::vector<BrailleCellPage> brailleCellsOf(std::string_view text, int dots);

// The raster of each page: width x height positions, each raised dot of the given level. Throws
// std::invalid_argument for a cell that does not fit on the page.
std::vector<ByteVector> layOutBraille(const std::vector<BrailleCellPage>& pages, const BrailleLayout& layout, uint8_t level);

// A job naming a model with the pages as emboss rasters at the layout's resolution.
ByteVector brailleJob(const std::vector<ByteVector>& pages, const BrailleLayout& layout);

} // namespace brelmont::testing
