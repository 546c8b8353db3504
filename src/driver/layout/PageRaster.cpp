#include "driver/layout/PageRaster.h"

namespace brelmont::driver {

namespace {

// Row and column of each dot in its cell: dots 1-2-3 down the left, 4-5-6 down the right, 7 and 8
// below them.
constexpr int DotRow[8] = {0, 1, 2, 0, 1, 2, 3, 3};
constexpr int DotColumn[8] = {0, 0, 0, 1, 1, 1, 0, 1};

} // namespace

int64_t interpointShift(const PageFrame& frame) { return frame.places.rounded(frame.places.lineMicrons() / 2); }

std::vector<uint8_t> rasterOver(std::vector<uint8_t> raster, const ComposedPage& page, const PageFrame& frame,
                                int64_t shiftDown) {
    const bool clear = !raster.empty();
    if (!clear) raster.assign(size_t(frame.width * frame.height), 0);
    const int64_t step = frame.places.dotStep();
    const int dots = frame.places.dotRows() * 2;
    const auto put = [&](int64_t x, int64_t y, uint8_t value) {
        if (x >= 0 && y >= 0 && x < frame.width && y < frame.height) raster[size_t(y * frame.width + x)] = value;
    };
    // Every cell's place is cleared before any dot is raised: neighbouring places overlap where
    // the cells stand close.
    for (const bool clearing : {true, false}) {
        if (clearing && !clear) continue;
        for (size_t l = 0; l < page.lines.size(); ++l) {
            const int64_t y0 = frame.top + shiftDown + frame.places.lineY(int64_t(l));
            for (size_t i = 0; i < page.lines[l].size(); ++i) {
                const uint8_t cell = page.lines[l][i];
                if (cell == 0) continue;
                const int64_t x0 = frame.left + frame.places.cellX(int64_t(i));
                if (clearing) {
                    for (int64_t y = y0 - step; y <= y0 + frame.places.dotRows() * step; ++y)
                        for (int64_t x = x0 - step; x <= x0 + 2 * step; ++x) put(x, y, 0);
                    continue;
                }
                for (int d = 0; d < dots; ++d)
                    if (cell & (1 << d)) put(x0 + DotColumn[d] * step, y0 + DotRow[d] * step, frame.level);
            }
        }
    }
    return raster;
}

std::vector<uint8_t> rasterOf(const ComposedPage& page, const PageFrame& frame, int64_t shiftDown) {
    return rasterOver({}, page, frame, shiftDown);
}

} // namespace brelmont::driver
