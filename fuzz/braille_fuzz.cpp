// Emboss pages of any content read as braille. A page read as cells must give back exactly its
// dots when its cells are laid out again on the grid found; the text and the BRF of any page are
// made without fault. Input: width - 1, height - 1, then the cells row by row (missing ones 0).
#include "viewer/braille/BrailleText.h"
#include "viewer/braille/BrfExport.h"

#include "FuzzCheck.h"

#include <cstdlib>
#include <set>
#include <utility>

namespace {

using namespace brelmont;

// Where each raised dot of each cell lies on the page.
std::set<std::pair<int64_t, int64_t>> dotsOfCells(const viewer::BraillePage& read) {
    const viewer::CellGrid& g = read.search.grid;
    std::set<std::pair<int64_t, int64_t>> dots;
    for (size_t line = 0; line < read.lines.size(); ++line)
        for (size_t cell = 0; cell < read.lines[line].size(); ++cell)
            for (int d = 0; d < 8; ++d) {
                if (!(read.lines[line][cell] & (1 << d))) continue;
                const int64_t column = d < 6 ? d / 3 : d - 6, row = d < 6 ? d % 3 : 3;
                check(row < g.dotRows);
                dots.emplace(g.cellX(int64_t(cell)) + column * g.dotPitchX, g.lineY(int64_t(line)) + row * g.dotPitchY);
            }
    return dots;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int64_t width = 1 + data[0] % 96, height = 1 + data[1] % 96;
    const job::PagePtr page = job::PageData::create(width, height, 2);
    std::set<std::pair<int64_t, int64_t>> dots;
    for (int64_t y = 0; y < height; ++y)
        for (int64_t x = 0; x < width; ++x) {
            const size_t at = 2 + size_t(y * width + x);
            page->row(y)[x] = at < size ? data[at] : 0;
            if (viewer::isDotValue(page->row(y)[x])) dots.emplace(x, y);
        }
    const viewer::BraillePage read = viewer::readBraillePage(*page);
    check((read.search.layout == viewer::PageLayout::Blank) == dots.empty());
    if (read.search.layout == viewer::PageLayout::Cells) {
        check(dotsOfCells(read) == dots);
        for (const viewer::BrailleLine& line : read.lines) check(line.empty() || line.back() != 0);
    }
    (void)viewer::brailleText(*page);
    (void)viewer::brfPage(read.lines);
    return 0;
}
