#include "job/CellCursor.h"

#include <algorithm>
#include <cstring>

namespace brelmont::job {

const std::array<uint8_t, 8>& bitCells(uint8_t byte) {
    static const auto table = [] {
        std::array<std::array<uint8_t, 8>, 256> t{};
        for (int b = 0; b < 256; ++b)
            for (int i = 0; i < 8; ++i) t[size_t(b)][size_t(i)] = uint8_t((b >> i) & 1);
        return t;
    }();
    return table[byte];
}

CellCursor::CellCursor(PageData* page, int64_t width, int64_t height)
    : m_page(page), m_width(width), m_height(height) {}

// Where the next cell goes, or null when it falls outside the page.
uint8_t* CellCursor::at() const {
    uint8_t* row = m_page ? m_page->row(m_r) : nullptr;
    return row && m_x < m_page->m_width ? row + m_x : nullptr;
}

void CellCursor::advance(int64_t cells) {
    m_x += cells;
    if (m_x >= m_width) m_x = 0, ++m_r;
}

// A raster of no width has no cells: every cell ends a row.
void CellCursor::copyCells(const uint8_t* bytes, int64_t n) {
    if (m_width <= 0) { m_r += n; return; }
    while (n > 0) {
        const int64_t chunk = std::min(n, room());
        if (uint8_t* p = at()) std::memcpy(p, bytes, size_t(chunk));
        bytes += chunk, n -= chunk;
        advance(chunk);
    }
}

void CellCursor::fillCells(uint8_t value, int64_t n) {
    if (m_width <= 0) { m_r += n; return; }
    while (n > 0) {
        const int64_t chunk = std::min(n, room());
        if (uint8_t* p = at()) std::memset(p, value, size_t(chunk));
        n -= chunk;
        advance(chunk);
    }
}

void CellCursor::repeatPair(uint8_t a, uint8_t b, int64_t count) {
    if (a == b) return fillCells(a, 2 * count);
    const uint8_t pair[2] = {a, b};
    for (int64_t i = 0; i < count; ++i) copyCells(pair, 2);
}

void CellCursor::bitsAsCells(uint8_t byte) {
    if (m_width <= 0) { ++m_r; return; }
    const int64_t cells = std::min<int64_t>(8, room());
    if (uint8_t* p = at()) std::memcpy(p, bitCells(byte).data(), size_t(cells));
    advance(cells);
}

} // namespace brelmont::job
