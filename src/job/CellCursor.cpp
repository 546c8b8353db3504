#include "job/CellCursor.h"

#include <algorithm>
#include <cstring>

namespace brelmont::job {

CellCursor::CellCursor(PageData* page, int64_t width, int64_t height, Unit unit)
    : m_page(page && page->m_width == width ? page : nullptr),
      m_width(width),
      m_height(height),
      m_unit(unit) {}

void CellCursor::put(const uint8_t* bytes, int64_t n) {
    if (m_unit == Unit::Cell) copyCells(bytes, n);
    else expandBits(n, [bytes](int64_t i) { return bytes[i]; });
}

void CellCursor::putRepeated(uint8_t byte, int64_t n) {
    if (m_unit == Unit::Cell) fillCells(byte, n);
    else expandBits(n, [byte](int64_t) { return byte; });
}

void CellCursor::putPairs(uint8_t a, uint8_t b, int64_t count) {
    if (a == b) return putRepeated(a, 2 * count);
    const uint8_t pair[2] = {a, b};
    for (int64_t i = 0; i < count; ++i) put(pair, 2);
}

// The current row, or null when it lies outside the page.
uint8_t* CellCursor::rowStart() const { return m_page ? m_page->row(m_r) : nullptr; }

void CellCursor::advance(int64_t cells) {
    m_x += cells;
    if (m_x >= m_width) m_x = 0, ++m_r;
}

// A raster of no width has no cells: every cell ends a row.
void CellCursor::copyCells(const uint8_t* bytes, int64_t n) {
    if (m_width <= 0) {
        m_r += n;
        return;
    }
    while (n > 0) {
        const int64_t chunk = std::min(n, room());
        if (uint8_t* row = rowStart()) std::memcpy(row + m_x, bytes, size_t(chunk));
        bytes += chunk, n -= chunk;
        advance(chunk);
    }
}

void CellCursor::fillCells(uint8_t value, int64_t n) {
    if (m_width <= 0) {
        m_r += n;
        return;
    }
    while (n > 0) {
        const int64_t chunk = std::min(n, room());
        if (uint8_t* row = rowStart(); row && (value || m_overwrite)) std::memset(row + m_x, value, size_t(chunk));
        n -= chunk;
        advance(chunk);
    }
}

// Row by row: the bytes that fit whole, then one byte cut by the row end.
template <class ByteAt>
void CellCursor::expandBits(int64_t n, ByteAt byteAt) {
    if (m_width <= 0) {
        m_r += n;
        return;
    }
    int64_t k = 0;
    while (k < n) {
        uint8_t* row = rowStart();
        const int64_t whole = std::min(n - k, room() / 8);
        if (row)
            for (int64_t i = 0; i < whole; ++i)
                if (const uint8_t byte = byteAt(k + i); byte || m_overwrite) std::memcpy(row + m_x + 8 * i, &CellWords[byte], 8);
        k += whole;
        advance(8 * whole);
        if (k == n) break;
        if (room() >= 8) continue; // the whole bytes filled the row exactly
        const int64_t cut = room();
        if (const uint8_t byte = byteAt(k); row && (byte || m_overwrite)) std::memcpy(row + m_x, &CellWords[byte], size_t(cut));
        ++k;
        advance(cut);
    }
}

} // namespace brelmont::job
