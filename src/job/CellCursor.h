// Writes the cells of a binary raster block left to right, wrapping at the end of each row.
#pragma once

#include "job/PageData.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace brelmont::job {

// The eight cells (0 or 1, bit 0 first) of each byte value, as a 64-bit word in memory order.
inline constexpr std::array<uint64_t, 256> CellWords = [] {
    std::array<uint64_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        for (int i = 0; i < 8; ++i) {
            const int shift = std::endian::native == std::endian::little ? 8 * i : 8 * (7 - i);
            t[size_t(b)] |= uint64_t((b >> i) & 1) << shift;
        }
    return t;
}();

// Sets cells[i] to 1 where bit i of `byte` is set, for the first n <= 8 cells.
inline void orBitCells(uint8_t* cells, uint8_t byte, int64_t n) {
    if (n == 8) {
        uint64_t current;
        std::memcpy(&current, cells, 8);
        current |= CellWords[byte];
        std::memcpy(cells, &current, 8);
        return;
    }
    for (int64_t i = 0; i < n; ++i) cells[i] |= uint8_t((byte >> i) & 1);
}

// The page is made for the block and starts zeroed, so while the cursor only moves forward zero
// cells need no writing. A next-line of 0 rows returns to the start of the same row: from then on
// every cell is written, zeros included, since it may replace one written before.
class CellCursor {
public:
    // What one data byte is: one cell (emboss), or eight one-bit cells, bit 0 first (ink). The
    // bits of a byte that reaches the end of a row are dropped and the next byte starts a row.
    enum class Unit { Cell, Bits };

    // `page` may be null (a raster whose page could not be made): the cursor then only counts.
    CellCursor(PageData* page, int64_t width, int64_t height, Unit unit);

    bool pastLastRow() const { return m_r >= m_height; }
    void nextLine(int64_t rows) {
        if (rows == 0) m_overwrite = true;
        m_r += rows, m_x = 0;
    }

    void put(const uint8_t* bytes, int64_t n);
    void putRepeated(uint8_t byte, int64_t n);
    void putPairs(uint8_t a, uint8_t b, int64_t count); // a, b, a, b, ... count pairs

private:
    void copyCells(const uint8_t* bytes, int64_t n);
    void fillCells(uint8_t value, int64_t n);
    template <class ByteAt>
    void expandBits(int64_t n, ByteAt byteAt);
    int64_t room() const { return m_width - m_x; } // cells left in the current row
    uint8_t* rowStart() const;
    void advance(int64_t cells);

    PageData* m_page;
    int64_t m_width, m_height;
    Unit m_unit;
    int64_t m_r = 0, m_x = 0;
    bool m_overwrite = false;
};

} // namespace brelmont::job
