#include "driver/pdf/InkPage.h"

#include <algorithm>

namespace brelmont::driver {

namespace {

// Luminance, 0 black to 255 white, of every `step` x `step` pixels.
std::vector<uint8_t> greyOf(const RgbImage& sheet, int64_t step, int64_t width, int64_t height) {
    std::vector<uint8_t> grey(size_t(width * height));
    for (int64_t y = 0; y < height; ++y)
        for (int64_t x = 0; x < width; ++x) {
            int sum = 0, count = 0;
            for (int64_t sy = y * step; sy < std::min(sheet.height, (y + 1) * step); ++sy)
                for (int64_t sx = x * step; sx < std::min(sheet.width, (x + 1) * step); ++sx, ++count) {
                    const uint8_t* p = sheet.at(sx, sy);
                    sum += (299 * p[0] + 587 * p[1] + 114 * p[2]) / 1000;
                }
            grey[size_t(y * width + x)] = uint8_t(count ? sum / count : 255);
        }
    return grey;
}

// 1 where a black dot goes.
std::vector<uint8_t> dithered(const std::vector<uint8_t>& grey, int64_t width, int64_t height, Dithering dithering) {
    std::vector<uint8_t> dots(grey.size(), 0);
    switch (dithering) {
    case Dithering::Threshold:
        for (size_t i = 0; i < grey.size(); ++i) dots[i] = grey[i] < 128;
        break;
    case Dithering::Ordered: {
        static constexpr uint8_t Bayer[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                                                {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                                                {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                                                {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
        for (int64_t y = 0; y < height; ++y)
            for (int64_t x = 0; x < width; ++x)
                dots[size_t(y * width + x)] = grey[size_t(y * width + x)] * 64 < (Bayer[y % 8][x % 8] * 2 + 1) * 128;
        break;
    }
    case Dithering::Diffusion: {
        // Floyd and Steinberg: each pixel's error goes on to the pixels right of it and below it.
        std::vector<int> here(size_t(width + 2), 0), below(size_t(width + 2), 0);
        for (int64_t y = 0; y < height; ++y) {
            std::swap(here, below);
            std::fill(below.begin(), below.end(), 0);
            for (int64_t x = 0; x < width; ++x) {
                const int value = grey[size_t(y * width + x)] + here[size_t(x + 1)] / 16;
                const bool dot = value < 128;
                dots[size_t(y * width + x)] = dot;
                const int error = value - (dot ? 0 : 255);
                here[size_t(x + 2)] += error * 7;
                below[size_t(x)] += error * 3;
                below[size_t(x + 1)] += error * 5;
                below[size_t(x + 2)] += error;
            }
        }
        break;
    }
    }
    return dots;
}

} // namespace

InkImage inkImage(const RgbImage& sheet, InkForm form, bool colour, Dithering dithering) {
    if (colour && form != InkForm::OneBit) return {sheet.width, sheet.height, 300, true, sheet.pixels};
    const int64_t step = form == InkForm::OneBit ? 3 : 1;
    const int64_t width = (sheet.width + step - 1) / step, height = (sheet.height + step - 1) / step;
    return {width, height, 300 / step, false, dithered(greyOf(sheet, step, width, height), width, height, dithering)};
}

} // namespace brelmont::driver
