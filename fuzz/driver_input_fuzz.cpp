// Documents as the driver's filter reads them, braille files and UTF-8 text (with one fixed table),
// laid out on pages of any shape. A document the check takes is read without fault; every page
// keeps to its shape, pages are numbered from 1 on, a numbered page ends its first line with the
// number (where it fits beside a cell of text), and no raised dot of the document is lost unless a
// warning said a line was cut.
// Input: byte 0 (bit 0 braille file, bit 1 page numbers, the rest lines per page), byte 1 (cells
// per line), then the document.
#include "driver/braille/Translator.h"
#include "driver/input/BrfInput.h"
#include "driver/input/TextInput.h"
#include "driver/layout/PageComposer.h"

#include "FuzzCheck.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace brelmont::driver;

int64_t dotted(const Cells& cells) {
    return std::count_if(cells.begin(), cells.end(), [](uint8_t c) { return c != 0; });
}

// The filter's number for braille files: the number sign, then the letters a to j.
Cells numberCells(int64_t n) {
    Cells cells{*brfCell('#')};
    for (const char digit : std::to_string(n)) cells.push_back(*brfCell(static_cast<unsigned char>("JABCDEFGHI"[digit - '0'])));
    return cells;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static std::string error;
    static const std::unique_ptr<Translator> translator = Translator::open("en-ueb-g1.ctb", &error);
    check(translator != nullptr);
    const bool brf = data[0] & 1;
    const PageShape shape{3 + data[1] % 38, 1 + (data[0] >> 2) % 32, bool(data[0] & 2), numberCells};
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(fmemopen(const_cast<uint8_t*>(data + 2), size - 2, "rb"), std::fclose);
    if (!file) return 0;
    if (brf ? checkBrf(file.get()) : checkText(file.get())) return 0;
    std::rewind(file.get());

    int64_t pages = 0, pageDots = 0, blockDots = 0, warnings = 0;
    PageComposer composer(
        shape,
        [&](ComposedPage&& page) {
            check(page.number == ++pages);
            check(int64_t(page.lines.size()) <= shape.linesPerPage);
            for (const Cells& line : page.lines) check(int64_t(line.size()) <= shape.cellsPerLine), pageDots += dotted(line);
            // A number too long for a narrow page is left off.
            if (const Cells number = numberCells(page.number);
                shape.pageNumbers && int64_t(number.size()) + 2 <= shape.cellsPerLine) {
                check(!page.lines.empty() && std::equal(number.rbegin(), number.rend(), page.lines.front().rbegin()));
                pageDots -= dotted(number);
            }
        },
        [&](const std::string&) { ++warnings; });
    const BlockSink sink = [&](Block&& block) {
        blockDots += dotted(block.cells);
        composer.add(std::move(block));
    };
    if (brf) readBrf(file.get(), sink);
    else readText(file.get(), *translator, sink);
    composer.finish();
    check(pages > 0 || blockDots == 0);
    if (warnings == 0) check(pageDots == blockDots);
    return 0;
}
