// Braille lines onto pages: paragraphs wrapped at blanks, lines of a braille file cut where they are
// longer than the page, page breaks, and the braille page number in the top right corner. One page
// is held at a time.
#pragma once

#include "driver/input/Blocks.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace brelmont::driver {

struct ComposedPage {
    int64_t number = 0;       // from 1, in the document
    std::vector<Cells> lines; // at most linesPerPage, each at most cellsPerLine cells
};

struct PageShape {
    int64_t cellsPerLine = 0;
    int64_t linesPerPage = 0;
    bool pageNumbers = false;
    // The cells of a page number; used when pageNumbers is on.
    std::function<Cells(int64_t)> numberCells;
};

// Where a line of `room` cells that starts at `start` ends: at the last blank that fits (the blanks
// there dropped), or, when no word fits whole, after `room` cells. `next` is where the following
// line starts, past the blanks.
struct LineBreak {
    size_t end = 0, next = 0;
};
LineBreak breakLine(const Cells& cells, size_t start, size_t room);

class PageComposer {
public:
    using PageSink = std::function<void(ComposedPage&&)>;
    using Warning = std::function<void(const std::string&)>;

    PageComposer(PageShape shape, PageSink sink, Warning warn);

    void add(Block&& block);
    // Hands over the last page, if it holds anything.
    void finish();

private:
    int64_t capacity() const; // of the line being filled
    void placeLine(Cells&& cells);
    void flushPage();
    void wrap(bool whole);

    PageShape m_shape;
    PageSink m_sink;
    Warning m_warn;
    ComposedPage m_page;
    bool m_pageOpen = false;    // a page break opened the page: it is handed over even when blank
    Cells m_paragraph;          // cells of a paragraph whose end has not come yet
    bool m_cuttingLine = false; // the rest of a braille file line that was cut
};

} // namespace brelmont::driver
