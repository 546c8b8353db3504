// The named paper sizes every toolbox's paper size list offers.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace brelmont::toolbox {

struct PaperSize {
    std::string_view name;
    int64_t width;              // twentieths of an inch
    int64_t height;             // twentieths of an inch
    std::string_view widthText; // as the change handler shows it, before the inch sign
    std::string_view heightText;
};

// The 18 rows, the last one "Custom".
const std::vector<PaperSize>& paperSizes();
// The item texts of the paper size combo box.
std::vector<std::string> paperSizeNames();
// The first row whose width and height each lie within 1 of the given ones; the last row when none does.
int paperSizeIndex(int64_t width, int64_t height);

} // namespace brelmont::toolbox
