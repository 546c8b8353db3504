// Six-dot braille text laid out on emboss pages, for test jobs and the sample job.
#pragma once

#include "JobWriter.h"

#include <string_view>
#include <vector>

namespace brelmont::testing {

// The dots (bit 0 = dot 1 ... bit 5 = dot 6) of a lower-case letter, digit-free text character.
uint8_t brailleDots(char c);

// Pages of width x height cells at 20 cells per inch, text word-wrapped into braille cells
// (dot pitch 2 cells, cell pitch 5, line pitch 8, margins of 10), dots of the given level.
std::vector<ByteVector> braillePages(std::string_view text, int64_t width, int64_t height, uint8_t level);

} // namespace brelmont::testing
