// PDF bytes as the driver's filter meets them: opened, refused with a reason or read page by page
// (words gathered into blocks and placed as braille, the page rendered small and turned into dots).
// Placed braille keeps to the page's width, and every word's cells arrive somewhere.
#include "driver/pdf/PdfDocument.h"
#include "driver/pdf/PrintText.h"
#include "driver/pdf/TactileGraphics.h"

#include "FuzzCheck.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using namespace brelmont::driver;

// One cell per character (dot 1 for all but blanks): layout is what is fuzzed, not translation.
Cells cellsOf(std::u32string_view text) {
    Cells cells;
    for (const char32_t c : text) cells.push_back(c == U' ' ? 0 : 1);
    return cells;
}

} // namespace

// Fontconfig keeps the fonts poppler looked up for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = memfd_create("pdf", MFD_CLOEXEC);
    if (fd < 0 || ::write(fd, data, size) != ssize_t(size)) {
        if (fd >= 0) ::close(fd);
        return 0;
    }
    std::string error;
    const auto pdf = PdfDocument::open("/proc/self/fd/" + std::to_string(fd), &error);
    check(pdf || !error.empty());
    for (int page = 0; pdf && page < std::min(pdf->pages(), 2); ++page) {
        const std::vector<TextBlock> blocks = textBlocks(pdf->words(page));
        const TextArea area{30, 20, [](double x) { return int64_t(x / 18); }, [](double y) { return int64_t(y / 28); }};
        int64_t given = 0, placed = 0;
        for (const TextBlock& block : blocks) {
            const Cells cells = cellsOf(block.text);
            given += std::count(cells.begin(), cells.end(), 1);
        }
        for (const ComposedPage& sheet : placeText(blocks, area, cellsOf).pages) {
            check(int64_t(sheet.lines.size()) <= area.linesPerPage);
            for (const Cells& line : sheet.lines) {
                check(int64_t(line.size()) <= area.cellsPerLine);
                placed += std::count(line.begin(), line.end(), 1);
            }
        }
        check(placed == given);
        const RgbImage image = pdf->render(page, 0.1, 64, 80);
        check(image.pixels.size() == 64 * 80 * 3);
        const std::vector<uint8_t> dots = tactileGraphic(image, 2, 32, 40, {});
        check(std::all_of(dots.begin(), dots.end(), [](uint8_t level) { return level <= 5; }));
    }
    ::close(fd);
    return 0;
}
