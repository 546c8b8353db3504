#include "viewer/braille/BrailleText.h"

namespace brelmont::viewer {

namespace {

// The pattern bit of each position in a block: dots 1-2-3-7 down the left column, 4-5-6-8 down the right.
constexpr uint8_t DotBit[4][2] = {{0x01, 0x08}, {0x02, 0x10}, {0x04, 0x20}, {0x40, 0x80}};

void appendPattern(std::string& text, uint8_t bits) {
    text += char(0xE2);
    text += char(0xA0 | (bits >> 6));
    text += char(0x80 | (bits & 0x3F));
}

} // namespace

std::string patternText(const std::vector<BrailleLine>& lines) {
    std::string text;
    for (const BrailleLine& line : lines) {
        for (uint8_t cell : line) appendPattern(text, cell);
        text += '\n';
    }
    return text;
}

std::string dotMapText(const job::PageData& page) {
    if (!job::PageData::isEmbossKind(page.m_kind)) return {};
    std::string text;
    for (int64_t top = 0; top < page.m_height; top += 4) {
        for (int64_t left = 0; left < page.m_width; left += 2) {
            uint8_t bits = 0;
            for (int64_t dy = 0; dy < 4 && top + dy < page.m_height; ++dy) {
                const uint8_t* row = page.row(top + dy);
                for (int64_t dx = 0; dx < 2 && left + dx < page.m_width; ++dx)
                    if (isDotValue(row[left + dx])) bits |= DotBit[dy][dx];
            }
            appendPattern(text, bits);
        }
        text += '\n';
    }
    return text;
}

std::string brailleText(const job::PageData& page) {
    const BraillePage read = readBraillePage(page);
    switch (read.search.layout) {
    case PageLayout::Cells: return patternText(read.lines);
    case PageLayout::Graphic: return std::string(GraphicNotice) + "\n" + dotMapText(page);
    case PageLayout::Blank: break;
    }
    return {};
}

} // namespace brelmont::viewer
