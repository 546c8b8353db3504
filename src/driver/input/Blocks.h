// What the readers of a document hand to the page layout: lines of braille cells and page breaks.
#pragma once

#include "driver/braille/Cells.h"

#include <cstdint>
#include <functional>
#include <string>

namespace brelmont::driver {

struct Block {
    enum class Kind {
        Paragraph, // cells to wrap at blanks over as many lines as they need
        Line,      // one line of cells as it stands: cut where it is longer than the page
        PageBreak, // the next cells start a page
    };
    Kind kind = Kind::Paragraph;
    Cells cells;
    int64_t sourceLine = 0; // the document's line, from 1, for messages
    // A paragraph that goes on in the next block: a line too long to translate at once.
    bool continues = false;
};

using BlockSink = std::function<void(Block&&)>;

// Why a document cannot be embossed, with the line that shows it (0 for the whole document).
struct InputProblem {
    int64_t line = 0;
    std::string message;
    explicit operator bool() const { return !message.empty(); }
};

} // namespace brelmont::driver
