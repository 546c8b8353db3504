#include "toolbox/PaperSizes.h"

#include <string>

namespace brelmont::toolbox {

const std::vector<PaperSize>& paperSizes() {
    static const std::vector<PaperSize> sizes{
        {"Letter", 170, 220, "8.5", "11"},
        {"Tabloid", 220, 340, "11", "17"},
        {"Executive", 146, 210, "7.3", "10.5"},
        {"A5", 116, 166, "5.8", "8.3"},
        {"A4", 166, 234, "8.3", "11.7"},
        {"A3", 234, 330, "11.7", "16.5"},
        {"German Std Fanfold", 166, 240, "8.3", "12"},
        {"Tabloid Extra", 220, 360, "11", "18"},
        {"Legal 13", 170, 260, "8.5", "13"},
        {"Legal 13.5", 170, 270, "8.5", "13.5"},
        {"Legal", 170, 280, "8.5", "14"},
        {"B5 (JIS)", 144, 202, "7.2", "10.1"},
        {"8\" x 11\" (JIS)", 160, 220, "8", "11"},
        {"10\" x 11\" (JIS)", 200, 220, "10", "11"},
        {"11.5\" x 11\"", 230, 220, "11.5", "11"},
        {"12\" x 12\"", 240, 240, "12", "12"},
        {"11\" x 14\"", 220, 280, "11", "14"},
        {"Custom", 0, 0, "0", "0"},
    };
    return sizes;
}

std::vector<std::string> paperSizeNames() {
    std::vector<std::string> names;
    for (const PaperSize& size : paperSizes()) names.emplace_back(size.name);
    return names;
}

int paperSizeIndex(int64_t width, int64_t height) {
    const auto near = [](int64_t a, int64_t b) { return a - b <= 1 && b - a <= 1; };
    const std::vector<PaperSize>& sizes = paperSizes();
    for (size_t i = 0; i < sizes.size(); ++i)
        if (near(sizes[i].width, width) && near(sizes[i].height, height)) return int(i);
    return int(sizes.size()) - 1;
}

} // namespace brelmont::toolbox
