// Plain UTF-8 text, translated into braille line by line with the queue's table. Form feeds start
// a page. The document is read in pieces, so memory stays flat however long it is.
#pragma once

#include "driver/braille/Translator.h"
#include "driver/input/Blocks.h"

#include <cstdio>

namespace brelmont::driver {

// Reads the whole document once: a document that is not text (invalid UTF-8, control bytes other
// than tab, line ends and form feeds) or holds nothing but blanks is refused. `file` is read from
// where it stands.
InputProblem checkText(std::FILE* file);

// Each line as a paragraph of cells (long lines in several continuing pieces), each form feed as
// a page break. The document must have passed checkText.
void readText(std::FILE* file, const Translator& translator, const BlockSink& sink);

} // namespace brelmont::driver
