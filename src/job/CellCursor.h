// Writes the cells of a binary raster block left to right, wrapping at the end of each row.
#pragma once

#include "job/PageData.h"

#include <array>
#include <cstdint>

namespace brelmont::job {

// The eight cells of one byte of a one-bit raster, bit 0 first, each cell 0 or 1.
const std::array<uint8_t, 8>& bitCells(uint8_t byte);

class CellCursor {
public:
    // `page` may be null (a raster whose page could not be made): the cursor then only counts.
    CellCursor(PageData* page, int64_t width, int64_t height);

    int64_t row() const { return m_r; }
    bool pastLastRow() const { return m_r >= m_height; }
    void nextLine(int64_t rows) { m_r += rows, m_x = 0; }

    // Bytes one per cell.
    void copyCells(const uint8_t* bytes, int64_t n);
    void fillCells(uint8_t value, int64_t n);
    // The pair a, b, count times.
    void repeatPair(uint8_t a, uint8_t b, int64_t count);
    // One byte of a one-bit raster as up to eight cells; bits of a byte that reaches the end of
    // the row are dropped and the next byte starts the next row.
    void bitsAsCells(uint8_t byte);

private:
    // Cells left in the current row.
    int64_t room() const { return m_width - m_x; }
    uint8_t* at() const;
    void advance(int64_t cells);

    PageData* m_page;
    int64_t m_width, m_height;
    int64_t m_r = 0, m_x = 0;
};

} // namespace brelmont::job
