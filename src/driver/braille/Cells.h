// Braille cells as the driver carries them: bit 0 = dot 1 ... bit 5 = dot 6, bit 6 = dot 7,
// bit 7 = dot 8; 0 is a blank cell.
#pragma once

#include <cstdint>
#include <vector>

namespace brelmont::driver {

using Cells = std::vector<uint8_t>;

} // namespace brelmont::driver
