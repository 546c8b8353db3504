#include "driver/input/BrfInput.h"

#include "driver/input/LineReader.h"
#include "viewer/braille/BrfExport.h"

#include <array>

namespace brelmont::driver {

namespace {

constexpr uint8_t NoCell = 0xFF;

// The cell of each ASCII character: the inverse of the companion's BRF export, so a file it writes
// is read back as the same cells; lower-case letters and the four characters after them count as
// the upper-case ones.
const std::array<uint8_t, 128>& cellOfCharacter() {
    static const std::array<uint8_t, 128> cells = [] {
        std::array<uint8_t, 128> table;
        table.fill(NoCell);
        for (uint8_t dots = 0; dots < 64; ++dots) {
            const auto c = static_cast<unsigned char>(viewer::brfCharacter(dots));
            table[c] = dots;
            if (c >= 0x40 && c <= 0x5E) table[c + 0x20] = dots;
        }
        return table;
    }();
    return cells;
}

// A line longer than this is taken in pieces; each piece is cut to the page anyway.
constexpr size_t PieceBytes = 4096;

} // namespace

std::optional<uint8_t> brfCell(unsigned char c) {
    if (c >= 128 || cellOfCharacter()[c] == NoCell) return std::nullopt;
    return cellOfCharacter()[c];
}

InputProblem checkBrf(std::FILE* file) {
    int64_t line = 1;
    bool dots = false;
    for (int c = getc_unlocked(file); c != EOF; c = getc_unlocked(file)) {
        if (c == '\n') ++line;
        else if (c == '\r' || c == '\f' || c == 0x1A) continue; // 0x1A: the end-of-file mark of old editors
        else if (const std::optional<uint8_t> cell = brfCell(static_cast<unsigned char>(c))) dots = dots || *cell != 0;
        else
            return {line, "line " + std::to_string(line) + " holds the byte " + std::to_string(c) +
                              ", which is not ASCII braille (a BRF file holds only the characters 32 to 126)"};
    }
    if (!dots) return {0, "nothing to emboss: the braille file holds no raised dot"};
    return {};
}

void readBrf(std::FILE* file, const BlockSink& sink) {
    LineReader lines(file, PieceBytes);
    std::string piece;
    bool complete = true, pageBroken = false;
    Cells cells;
    while (lines.next(piece, complete)) {
        for (const char c : piece) {
            if (c == '\f') {
                if (!cells.empty()) sink(Block{Block::Kind::Line, std::move(cells), lines.lineNumber()});
                cells.clear();
                sink(Block{Block::Kind::PageBreak, {}, lines.lineNumber()});
                pageBroken = true;
            } else if (const std::optional<uint8_t> cell = brfCell(static_cast<unsigned char>(c))) {
                cells.push_back(*cell);
            }
        }
        if (complete) {
            // A form feed that ends its line leaves no empty line at the top of the new page.
            if (!(pageBroken && cells.empty())) sink(Block{Block::Kind::Line, std::move(cells), lines.lineNumber(), false});
            cells.clear();
            pageBroken = false;
        } else if (cells.size() >= PieceBytes) {
            sink(Block{Block::Kind::Line, std::move(cells), lines.lineNumber(), true});
            cells.clear();
        }
    }
}

} // namespace brelmont::driver
