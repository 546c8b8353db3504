#include "driver/pdf/PrintText.h"

#include <algorithm>
#include <cmath>

namespace brelmont::driver {

namespace {

struct TextLine {
    std::u32string text;
    double left = 0, top = 0, bottom = 0;
    double height() const { return bottom - top; }
};

// Words in reading order into lines: a word starts a line when it stands back to the left of the
// word before it or away from that line's height.
std::vector<TextLine> textLines(const std::vector<PdfWord>& words) {
    std::vector<TextLine> lines;
    const PdfWord* previous = nullptr;
    for (const PdfWord& word : words) {
        if (word.text.empty()) continue;
        const double middle = (word.top + word.bottom) / 2;
        const bool sameLine = previous && word.left >= previous->left && !lines.empty() && middle > lines.back().top &&
                              middle < lines.back().bottom;
        if (!sameLine) {
            lines.push_back({word.text, word.left, word.top, word.bottom});
        } else {
            TextLine& line = lines.back();
            const double gap = word.left - previous->right;
            if (previous->spaceAfter || gap > 0.15 * line.height()) line.text += U' ';
            line.text += word.text;
            line.top = std::min(line.top, word.top), line.bottom = std::max(line.bottom, word.bottom);
        }
        previous = &word;
    }
    return lines;
}

} // namespace

std::vector<TextBlock> textBlocks(const std::vector<PdfWord>& words) {
    std::vector<TextBlock> blocks;
    const TextLine* above = nullptr;
    const std::vector<TextLine> lines = textLines(words);
    for (const TextLine& line : lines) {
        const double height = std::max(1.0, line.height());
        const bool joins = above && !blocks.empty() && line.top >= above->top + 0.5 * height &&
                           line.top - above->bottom < 0.8 * height && std::abs(line.left - blocks.back().left) < 3 * height;
        if (joins) {
            blocks.back().text += U' ';
            blocks.back().text += line.text;
            blocks.back().left = std::min(blocks.back().left, line.left);
        } else {
            blocks.push_back({line.text, line.left, line.top});
        }
        above = &line;
    }
    return blocks;
}

std::vector<Cells> wrapCells(const Cells& cells, int64_t width) {
    std::vector<Cells> lines;
    const size_t room = size_t(std::max<int64_t>(1, width));
    size_t start = 0;
    while (start < cells.size() && cells[start] == 0) ++start;
    while (start < cells.size()) {
        if (cells.size() - start <= room) {
            lines.emplace_back(cells.begin() + long(start), cells.end());
            break;
        }
        const LineBreak at = breakLine(cells, start, room);
        lines.emplace_back(cells.begin() + long(start), cells.begin() + long(at.end));
        start = at.next;
    }
    return lines;
}

PlacedText placeText(const std::vector<TextBlock>& blocks, const TextArea& area,
                     const std::function<Cells(std::u32string_view)>& translate) {
    PlacedText placed;
    placed.pages.push_back({1, {}});
    // A block far to the right still gets room for a few words on each of its lines.
    const int64_t narrowest = std::min<int64_t>(area.cellsPerLine, 12);
    int64_t nextFree = 0; // the line below everything placed on the last page
    for (const TextBlock& block : blocks) {
        const Cells cells = translate(block.text);
        if (std::all_of(cells.begin(), cells.end(), [](uint8_t c) { return c == 0; })) continue;
        const int64_t column = std::clamp<int64_t>(area.columnAt(block.left), 0, area.cellsPerLine - narrowest);
        // On the page itself a block starts at its own line or below the braille above it; on a
        // continuation page it follows what came before.
        int64_t line = placed.pages.size() == 1 ? std::max(nextFree, area.lineAt(block.top)) : nextFree;
        for (Cells& cellsOfLine : wrapCells(cells, area.cellsPerLine - column)) {
            if (line >= area.linesPerPage) {
                placed.pages.push_back({int64_t(placed.pages.size()) + 1, {}});
                line = 0;
            }
            std::vector<Cells>& lines = placed.pages.back().lines;
            if (int64_t(lines.size()) <= line) lines.resize(size_t(line) + 1);
            lines[size_t(line)] = Cells(size_t(column), 0);
            lines[size_t(line)].insert(lines[size_t(line)].end(), cellsOfLine.begin(), cellsOfLine.end());
            ++line;
        }
        nextFree = line;
    }
    return placed;
}

} // namespace brelmont::driver
