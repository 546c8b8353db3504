#include "BrailleText.h"

#include "BrailleLayouts.h"

#include <cctype>
#include <string>

namespace brelmont::testing {

uint8_t brailleDots(char c) {
    // Letters a to j; k to t add dot 3; u, v, x, y, z add dots 3 and 6; w stands apart.
    static constexpr uint8_t firstTen[10] = {0x01, 0x03, 0x09, 0x19, 0x11, 0x0B, 0x1B, 0x13, 0x0A, 0x1A};
    c = char(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'j') return firstTen[c - 'a'];
    if (c >= 'k' && c <= 't') return firstTen[c - 'k'] | 0x04;
    if (c == 'w') return 0x3A;
    if (c >= 'u' && c <= 'z') return firstTen[c == 'u' ? 0 : c == 'v' ? 1 : c == 'x' ? 2 : c == 'y' ? 3 : 4] | 0x24;
    switch (c) {
    case ',': return 0x02;
    case '.': return 0x32;
    case ';': return 0x06;
    case '\'': return 0x04;
    case '-': return 0x24;
    default: return 0;
    }
}

std::vector<ByteVector> braillePages(std::string_view text, int64_t width, int64_t height, uint8_t level) {
    constexpr int64_t margin = 10, cellPitch = 5, linePitch = 8, dotPitch = 2;
    const int64_t perLine = (width - 2 * margin) / cellPitch;
    const int64_t perPage = (height - 2 * margin) / linePitch;

    // Word-wrap into lines.
    std::vector<std::string> lines(1);
    std::string word;
    const auto placeWord = [&] {
        if (word.empty()) return;
        std::string& line = lines.back();
        if (!line.empty() && int64_t(line.size() + 1 + word.size()) > perLine) lines.emplace_back();
        if (!lines.back().empty()) lines.back() += ' ';
        lines.back() += word;
        word.clear();
    };
    for (char c : text) {
        if (c == ' ' || c == '\n') placeWord();
        else word += c;
    }
    placeWord();

    std::vector<BrailleCellPage> pages;
    for (size_t first = 0; first < lines.size(); first += size_t(perPage)) {
        BrailleCellPage& page = pages.emplace_back();
        for (size_t l = first; l < lines.size() && l < first + size_t(perPage); ++l) {
            BrailleCells& cells = page.emplace_back();
            for (char c : lines[l]) cells.push_back(brailleDots(c));
        }
    }
    const BrailleLayout layout{20, dotPitch, cellPitch, linePitch, 3, margin, width, height};
    return layOutBraille(pages, layout, level);
}

} // namespace brelmont::testing
