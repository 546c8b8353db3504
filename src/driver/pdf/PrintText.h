// The text of a print page as braille: the page's words gathered into blocks in reading order,
// each translated whole and set in cells where the block stands on the page, moved down where
// the larger braille of a block before it already stands, and carried onto continuation pages
// where the page runs out. Nothing of the text is lost.
#pragma once

#include "driver/braille/Cells.h"
#include "driver/layout/PageComposer.h"
#include "driver/pdf/PdfDocument.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace brelmont::driver {

class CellPlaces;

// Words that run on from one another, and where the run starts on the page (points).
struct TextBlock {
    std::u32string text;
    double left = 0, top = 0;
};

// The words gathered into lines and lines into blocks: a line joins the block above it when it
// follows closely below and starts near the block's left edge.
std::vector<TextBlock> textBlocks(const std::vector<PdfWord>& words);

// Where the braille of a page goes: the first page's lines and those of its continuation pages.
// A line of a page is its cells from column 0 (leading blank cells place it).
struct PlacedText {
    std::vector<ComposedPage> pages; // at least one
};

struct TextArea {
    int64_t cellsPerLine = 0, linesPerPage = 0;
    // A place on the page in points, from the top left corner of the area, as a cell column
    // and a line.
    std::function<int64_t(double)> columnAt, lineAt;
};

// Throws std::runtime_error when a block cannot be translated.
PlacedText placeText(const std::vector<TextBlock>& blocks, const TextArea& area,
                     const std::function<Cells(std::u32string_view)>& translate);

// A paragraph's cells broken into lines of at most `width` cells, at the last blank that fits;
// the blanks at a break are dropped and a word longer than a line is cut.
std::vector<Cells> wrapCells(const Cells& cells, int64_t width);

} // namespace brelmont::driver
