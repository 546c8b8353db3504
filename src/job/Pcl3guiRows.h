// Row decoders of PCL3GUI compression modes 10 (24-bit RGB) and 9 (one-bit black plane).
// Both decode in place over the seed row: what a row does not replace keeps the seed's value.
#pragma once

#include "job/JobStream.h"

#include <cstdint>

namespace brelmont::job {

// Result codes: 0 decoded, -2 the row's bytes ended inside a command.
// `row` holds `pixels` RGB pixels (3 bytes each); source pixels outside it read as white and
// writes outside it are dropped. Sets `changed` when any pixel was written.
int64_t decodeMode10Row(Bytes data, uint8_t* row, int64_t pixels, bool& changed);

// `row` holds `length` bytes of one bit per pixel, most significant bit leftmost.
int64_t decodeMode9Row(Bytes data, uint8_t* row, int64_t length);

} // namespace brelmont::job
