// Braille-ready files (BRF): North American ASCII braille, one character per six-dot cell, taken
// line for line as they are, untranslated. Form feeds start a page.
#pragma once

#include "driver/input/Blocks.h"

#include <cstdio>
#include <optional>

namespace brelmont::driver {

// The cell of an ASCII braille character; lower-case letters count as their capitals, as braille
// editors write them either way. None for anything else.
std::optional<uint8_t> brfCell(unsigned char c);

// Reads the whole document once: a character outside ASCII braille (the line is named) or a
// document without a single raised dot is refused.
InputProblem checkBrf(std::FILE* file);

// Each line as a Line block of cells, each form feed as a page break.
void readBrf(std::FILE* file, const BlockSink& sink);

} // namespace brelmont::driver
