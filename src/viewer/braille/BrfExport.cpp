#include "viewer/braille/BrfExport.h"

#include <string_view>

namespace brelmont::viewer {

namespace {

// The characters of the cells 0 to 63 in order of their dot bits.
constexpr std::string_view AsciiBraille = " A1B'K2L@CIF/MSP\"E3H9O6R^DJG>NTQ,*5<-U8V.%[$+X!&;:4\\0Z7(_?W]#Y)=";

} // namespace

char brfCharacter(uint8_t dots) { return AsciiBraille[dots & 0x3F]; }

std::string brfPage(const std::vector<BrailleLine>& lines) {
    std::string text;
    for (const BrailleLine& line : lines) {
        for (uint8_t cell : line) text += brfCharacter(cell);
        text += "\r\n";
    }
    return text;
}

BrfExport exportBrf(const job::PageList& embossPages) {
    BrfExport out;
    for (size_t i = 0; i < embossPages.size(); ++i) {
        const std::string page = "Emboss page " + std::to_string(i + 1);
        const job::DecodedPage decoded = embossPages.decodeUncached(i);
        if (!decoded.page) {
            out.failure = page + " could not be made.";
            return out;
        }
        const BraillePage read = readBraillePage(*decoded.page);
        if (read.search.layout == PageLayout::Graphic) {
            out.leftOut.push_back(page + " is a tactile graphic, not braille cells; it was left out.");
            continue;
        }
        if (read.search.grid.dotRows == 4) {
            out.leftOut.push_back(page + " has 8-dot cells, which BRF cannot hold; it was left out.");
            continue;
        }
        if (out.pagesWritten++ > 0) out.text += '\f';
        out.text += brfPage(read.lines);
    }
    return out;
}

} // namespace brelmont::viewer
