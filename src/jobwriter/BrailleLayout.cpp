#include "BrailleLayout.h"

#include <array>

namespace brelmont::testing {

namespace {

// Published dot, cell and line distances of each standard, rounded to the raster.
constexpr std::array<SpacingPitches, 5> Spacings{{
    {"Congress", 9, 24, 40},     // 2.3 mm, 6.1 mm, 10.2 mm
    {"National", 9, 25, 40},     // 2.3 mm, 6.4 mm, 10.2 mm
    {"Microbraille", 8, 21, 39}, // 2.0 mm, 5.3 mm, 9.9 mm
    {"Korean", 9, 23, 42},       // 2.3 mm, 5.8 mm, 10.7 mm
    {"Jumbo", 12, 35, 55},       // 3.0 mm, 8.9 mm, 14.0 mm
}};

} // namespace

std::span<const SpacingPitches> brailleSpacings() { return Spacings; }

const SpacingPitches& brailleSpacing(std::string_view name) {
    for (const SpacingPitches& spacing : Spacings)
        if (spacing.name == name) return spacing;
    return Spacings.front();
}

void placeCell(ByteVector& cells, int64_t width, int64_t height, int64_t x, int64_t y, uint8_t dots,
               const SpacingPitches& spacing, uint8_t level) {
    for (int d = 0; d < 6; ++d) {
        if (!(dots & (1 << d))) continue;
        const int64_t dx = x + (d / 3) * spacing.dotPitch, dy = y + (d % 3) * spacing.dotPitch;
        if (dx >= 0 && dy >= 0 && dx < width && dy < height) cells[size_t(dy * width + dx)] = level;
    }
}

} // namespace brelmont::testing
