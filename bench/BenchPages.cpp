#include "BenchPages.h"

#include <random>

namespace brelmont::bench {

// Braille-like clusters: 2 x 3 dot cells at a pitch of one cell, a cell every 3 columns and a
// line every 4 rows, half the dots set, so about a quarter of the page carries a dot. A word
// shares one level from 1 to 7 and some dots differ from it, as mixed-force pages do.
ByteVector embossCells(uint32_t seed) {
    std::mt19937 rng(seed);
    ByteVector cells(size_t(EmbossW * EmbossH), 0);
    for (int64_t y = 2; y + 3 <= EmbossH - 2; y += 4) {
        uint8_t level = 1;
        int wordLeft = 0;
        for (int64_t x = 2; x + 2 <= EmbossW - 2; x += 3) {
            if (wordLeft == 0) {
                wordLeft = 2 + int(rng() % 8);
                level = uint8_t(1 + rng() % 7);
                if (rng() % 6 == 0) continue; // a space between words
            }
            --wordLeft;
            const uint32_t dots = rng();
            for (int d = 0; d < 6; ++d)
                if (dots >> d & 1) {
                    const uint8_t v = (dots >> (8 + d) & 7) == 0 ? uint8_t(1 + rng() % 7) : level;
                    cells[size_t((y + d % 3) * EmbossW + x + d / 3)] = v;
                }
        }
    }
    return cells;
}

// Text-like ink: lines of glyphs, each glyph a few horizontal strokes and a stem, with margins.
ByteVector inkCells(uint32_t seed) {
    std::mt19937 rng(seed);
    ByteVector cells(size_t(InkW * InkH), 0);
    const auto set = [&](int64_t x, int64_t y) { cells[size_t(y * InkW + x)] = 1; };
    for (int64_t top = 80; top + 14 <= InkH - 80; top += 22) {
        int64_t x = 80;
        const int64_t lineEnd = InkW - 80 - int64_t(rng() % 200);
        while (x + 10 < lineEnd) {
            const int letters = 2 + int(rng() % 8);
            for (int l = 0; l < letters && x + 10 < lineEnd; ++l) {
                const int64_t w = 5 + int64_t(rng() % 4);
                const uint32_t strokes = rng();
                for (int s = 0; s < 4; ++s) // strokes at the top, middle, baseline and x-height
                    if (strokes >> s & 1) {
                        const int64_t sy = top + (s == 0 ? 0 : s == 1 ? 6 : s == 2 ? 12 : 3);
                        for (int64_t dy = 0; dy < 2; ++dy)
                            for (int64_t dx = 0; dx < w; ++dx) set(x + dx, sy + dy);
                    }
                const int64_t stem = strokes >> 8 & 1 ? x : x + w - 2;
                for (int64_t dy = 0; dy < 14; ++dy) set(stem, top + dy), set(stem + 1, top + dy);
                x += w + 2;
            }
            x += 6; // the space between words
        }
    }
    return cells;
}

ByteVector inkRowBits(const ByteVector& cells, int64_t y) {
    ByteVector bits(size_t((InkW + 7) / 8), 0);
    for (int64_t x = 0; x < InkW; ++x)
        if (cells[size_t(y * InkW + x)]) bits[size_t(x / 8)] |= uint8_t(1 << (x % 8));
    return bits;
}

JobWriter jobStart() {
    JobWriter job;
    job.universalExit().pjl("@PJL SET MODEL=\"Valdo\"").pjl("@PJL ENTER LANGUAGE=TCL").text("\x1b" "E");
    return job;
}

ByteVector jobEnd(JobWriter& job) { return job.text("\x1b" "E").universalExit().pjl("@PJL EOJ").data(); }

} // namespace brelmont::bench
