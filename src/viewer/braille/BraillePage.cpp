#include "viewer/braille/BraillePage.h"

#include <algorithm>

namespace brelmont::viewer {

namespace {

// The pattern bit of dot row `row` (0 to 3) in the left (0) or right (1) column.
uint8_t dotBit(int64_t row, int64_t column) {
    if (row == 3) return column ? 0x80 : 0x40;
    return uint8_t(1 << (row + 3 * column));
}

// The group (cell or line) and dot place of a position along an axis; group -1 off every dot place.
struct DotPlace {
    int64_t group = -1, dot = 0;
};

// Every dot place along an axis of `extent` positions, group g beginning at start(g). Laid out once
// a page, as the places of a physical spacing take more than a division to find.
template <class Start>
std::vector<DotPlace> dotPlaces(int64_t extent, int64_t dotPitch, int dots, bool oneGroup, const Start& start) {
    std::vector<DotPlace> places(size_t(extent), DotPlace{});
    for (int64_t group = 0; start(group) < extent; ++group) {
        for (int dot = 0; dot < dots; ++dot) {
            const int64_t at = start(group) + dot * dotPitch;
            if (at >= 0 && at < extent) places[size_t(at)] = {group, dot};
        }
        if (oneGroup) break;
    }
    return places;
}

} // namespace

BraillePage readBraillePage(const job::PageData& page) {
    BraillePage read{findCellGrid(page), {}};
    if (read.search.layout != PageLayout::Cells) return read;
    const CellGrid& g = read.search.grid;
    // A periodic grid of pitch 0 has one cell column (one line).
    const std::vector<DotPlace> columns =
        dotPlaces(page.m_width, g.dotPitchX, 2, !g.spacing && g.cellPitch == 0, [&g](int64_t i) { return g.cellX(i); });
    const std::vector<DotPlace> rows =
        dotPlaces(page.m_height, g.dotPitchY, g.dotRows, !g.spacing && g.linePitch == 0, [&g](int64_t l) { return g.lineY(l); });
    for (int64_t y = std::max<int64_t>(0, g.top); y < page.m_height; ++y) {
        const DotPlace line = rows[size_t(y)];
        if (line.group < 0) continue;
        const uint8_t* row = page.row(y);
        for (int64_t x = std::max<int64_t>(0, g.left); x < page.m_width; ++x) {
            if (!isDotValue(row[x]) || columns[size_t(x)].group < 0) continue;
            const DotPlace cell = columns[size_t(x)];
            if (read.lines.size() <= size_t(line.group)) read.lines.resize(size_t(line.group) + 1);
            BrailleLine& cells = read.lines[size_t(line.group)];
            if (cells.size() <= size_t(cell.group)) cells.resize(size_t(cell.group) + 1, 0);
            cells[size_t(cell.group)] |= dotBit(line.dot, cell.dot);
        }
    }
    return read;
}

} // namespace brelmont::viewer
