#include "driver/layout/PageComposer.h"

#include <algorithm>

namespace brelmont::driver {

namespace {

// A page's number, or none where it would leave no cell of text beside it on a narrow page: a
// number that took the whole first line would overwrite the text placed there.
Cells numberOf(const PageShape& shape, int64_t page) {
    if (!shape.pageNumbers) return {};
    Cells number = shape.numberCells(page);
    if (int64_t(number.size()) + 2 > shape.cellsPerLine) number.clear();
    return number;
}

} // namespace

LineBreak breakLine(const Cells& cells, size_t start, size_t room) {
    size_t end = start + room;
    while (end > start && cells[end] != 0) --end; // the blank after the last word that fits
    size_t next = end;
    while (end > start && cells[end - 1] == 0) --end;
    // No word fits whole (one word longer than the line, maybe after an indent): it is cut.
    if (end == start) end = next = start + room;
    while (next < cells.size() && cells[next] == 0) ++next;
    return {end, next};
}

PageComposer::PageComposer(PageShape shape, PageSink sink, Warning warn)
    : m_shape(std::move(shape)),
      m_sink(std::move(sink)),
      m_warn(std::move(warn)) {
    m_page.number = 1;
}

int64_t PageComposer::capacity() const {
    // The first line of a page (this one's, or the next one's when this one is full) leaves room
    // for the page number and a blank before it.
    const bool full = int64_t(m_page.lines.size()) >= m_shape.linesPerPage;
    if (!m_shape.pageNumbers || !(m_page.lines.empty() || full)) return m_shape.cellsPerLine;
    const Cells number = numberOf(m_shape, full ? m_page.number + 1 : m_page.number);
    return number.empty() ? m_shape.cellsPerLine : m_shape.cellsPerLine - int64_t(number.size()) - 1;
}

void PageComposer::flushPage() {
    if (const Cells number = numberOf(m_shape, m_page.number); !number.empty()) {
        if (m_page.lines.empty()) m_page.lines.emplace_back();
        Cells& first = m_page.lines.front();
        const size_t at = size_t(std::max<int64_t>(0, m_shape.cellsPerLine - int64_t(number.size())));
        if (first.size() < at) first.resize(at, 0);
        first.resize(at);
        first.insert(first.end(), number.begin(), number.end());
    }
    const int64_t next = m_page.number + 1;
    m_sink(std::move(m_page));
    m_page = ComposedPage{next, {}};
    m_pageOpen = false;
}

void PageComposer::placeLine(Cells&& cells) {
    if (int64_t(m_page.lines.size()) >= m_shape.linesPerPage) flushPage();
    m_page.lines.push_back(std::move(cells));
}

// Lines of the paragraph: each ends at the last blank that fits, the blanks at a break are dropped,
// and a word longer than a line is cut. With `whole` the rest becomes the last line; otherwise it
// waits for the paragraph's next piece.
void PageComposer::wrap(bool whole) {
    size_t start = 0;
    while (int64_t(m_paragraph.size() - start) > capacity() || (whole && start < m_paragraph.size())) {
        const size_t room = size_t(capacity());
        if (m_paragraph.size() - start <= room) {
            placeLine(Cells(m_paragraph.begin() + long(start), m_paragraph.end()));
            start = m_paragraph.size();
            break;
        }
        const LineBreak at = breakLine(m_paragraph, start, room);
        placeLine(Cells(m_paragraph.begin() + long(start), m_paragraph.begin() + long(at.end)));
        start = at.next;
    }
    m_paragraph.erase(m_paragraph.begin(), m_paragraph.begin() + long(start));
}

void PageComposer::add(Block&& block) {
    switch (block.kind) {
    case Block::Kind::PageBreak:
        if (!m_paragraph.empty()) wrap(true);
        if (!m_page.lines.empty() || m_pageOpen) flushPage();
        m_pageOpen = true;
        return;
    case Block::Kind::Line: {
        if (m_cuttingLine) {
            m_cuttingLine = block.continues;
            return;
        }
        const int64_t room = capacity();
        if (int64_t(block.cells.size()) > room) {
            m_warn("line " + std::to_string(block.sourceLine) + " is longer than the page (" + std::to_string(room) +
                   " cells) and was cut");
            block.cells.resize(size_t(room));
            m_cuttingLine = block.continues;
        }
        placeLine(std::move(block.cells));
        return;
    }
    case Block::Kind::Paragraph:
        if (!m_paragraph.empty() && m_paragraph.back() != 0 && !block.cells.empty()) m_paragraph.push_back(0);
        m_paragraph.insert(m_paragraph.end(), block.cells.begin(), block.cells.end());
        if (block.continues) {
            wrap(false);
        } else if (m_paragraph.empty()) {
            placeLine({});
        } else {
            wrap(true);
        }
        return;
    }
}

void PageComposer::finish() {
    if (!m_paragraph.empty()) wrap(true);
    if (!m_page.lines.empty()) flushPage();
}

} // namespace brelmont::driver
