#include "BrailleLayouts.h"

#include "BrailleText.h"

#include <cctype>
#include <stdexcept>

namespace brelmont::testing {

namespace {

struct Spacing {
    std::string_view name;
    int64_t dotPitch, cellPitch, linePitch; // 6-dot, at 100 positions per inch
};

// Close to the published dimensions of each spacing, each set a little different from the others.
constexpr Spacing Spacings[] = {
    {"Congress", 9, 24, 40}, {"National", 10, 25, 40}, {"Microbraille", 8, 21, 34}, {"Korean", 10, 24, 38}, {"Jumbo", 12, 30, 50},
};

} // namespace

std::string_view spacingName(BrailleSpacing spacing) { return Spacings[int(spacing)].name; }

BrailleLayout brailleLayout(BrailleSpacing spacing, int dots) {
    const Spacing& s = Spacings[int(spacing)];
    BrailleLayout layout;
    layout.dotPitch = s.dotPitch;
    layout.cellPitch = s.cellPitch;
    layout.dotRows = dots == 8 ? 4 : 3;
    layout.linePitch = s.linePitch + (dots == 8 ? s.dotPitch : 0);
    layout.margin = 30;
    layout.width = 2 * layout.margin + 24 * layout.cellPitch;
    layout.height = 2 * layout.margin + 8 * layout.linePitch;
    return layout;
}

std::vector<BrailleCellPage> brailleCellsOf(std::string_view text, int dots) {
    std::vector<BrailleCellPage> pages(1, BrailleCellPage(1));
    for (char c : text) {
        if (c == '\f') pages.emplace_back(1);
        else if (c == '\n') pages.back().emplace_back();
        else if (c != '\r') {
            uint8_t cell = brailleDots(c);
            if (dots == 8 && std::isupper(static_cast<unsigned char>(c))) cell |= 0x40;
            if (c >= '0' && c <= '9') cell = brailleDots(char('a' + (c == '0' ? 9 : c - '1'))) | (dots == 8 ? 0x80 : 0);
            pages.back().back().push_back(cell);
        }
    }
    return pages;
}

std::vector<ByteVector> layOutBraille(const std::vector<BrailleCellPage>& pages, const BrailleLayout& layout, uint8_t level) {
    std::vector<ByteVector> rasters;
    const int64_t width = layout.width;
    for (const BrailleCellPage& page : pages) {
        ByteVector cells(size_t(width * layout.height), 0);
        for (size_t l = 0; l < page.size(); ++l)
            for (size_t i = 0; i < page[l].size(); ++i) {
                const int64_t x0 = layout.margin + int64_t(i) * layout.cellPitch,
                              y0 = layout.margin + int64_t(l) * layout.linePitch;
                if (x0 + layout.dotPitch >= width || y0 + (layout.dotRows - 1) * layout.dotPitch >= layout.height)
                    throw std::invalid_argument("braille text larger than its page");
                for (int d = 0; d < 8; ++d) {
                    if (!(page[l][i] & (1 << d))) continue;
                    const int64_t column = d < 6 ? d / 3 : d - 6, row = d < 6 ? d % 3 : 3;
                    cells[size_t((y0 + row * layout.dotPitch) * width + x0 + column * layout.dotPitch)] = level;
                }
            }
        rasters.push_back(std::move(cells));
    }
    return rasters;
}

ByteVector brailleJob(const std::vector<ByteVector>& pages, const BrailleLayout& layout) {
    JobWriter job;
    job.universalExit().pjl("@PJL JOB NAME=\"braille\" MODEL=\"Merriden\"").unit(layout.positionsPerInch);
    for (const ByteVector& page : pages) job.embossRaster(page, layout.width, layout.height);
    job.universalExit();
    return job.data();
}

} // namespace brelmont::testing
