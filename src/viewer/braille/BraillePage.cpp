#include "viewer/braille/BraillePage.h"

#include <algorithm>
#include <utility>

namespace brelmont::viewer {

namespace {

// The pattern bit of dot row `row` (0 to 3) in the left (0) or right (1) column.
uint8_t dotBit(int64_t row, int64_t column) {
    if (row == 3) return column ? 0x80 : 0x40;
    return uint8_t(1 << (row + 3 * column));
}

// Which group (cell or line) a distance from the grid's origin falls in, and which dot place of it.
// A group pitch of 0 means one group.
std::pair<int64_t, int64_t> groupAndDot(int64_t distance, int64_t groupPitch, int64_t dotPitch) {
    if (groupPitch == 0) return {0, distance / dotPitch};
    return {distance / groupPitch, distance % groupPitch / dotPitch};
}

} // namespace

BraillePage readBraillePage(const job::PageData& page) {
    BraillePage read{findCellGrid(page), {}};
    if (read.search.layout != PageLayout::Cells) return read;
    const CellGrid& g = read.search.grid;
    for (int64_t y = std::max<int64_t>(0, g.top); y < page.m_height; ++y) {
        const uint8_t* row = page.row(y);
        const auto [line, dotRow] = groupAndDot(y - g.top, g.linePitch, g.dotPitchY);
        for (int64_t x = std::max<int64_t>(0, g.left); x < page.m_width; ++x) {
            if (!isDotValue(row[x])) continue;
            const auto [cell, dotColumn] = groupAndDot(x - g.left, g.cellPitch, g.dotPitchX);
            if (read.lines.size() <= size_t(line)) read.lines.resize(size_t(line) + 1);
            BrailleLine& cells = read.lines[size_t(line)];
            if (cells.size() <= size_t(cell)) cells.resize(size_t(cell) + 1, 0);
            cells[size_t(cell)] |= dotBit(dotRow, dotColumn);
        }
    }
    return read;
}

} // namespace brelmont::viewer
