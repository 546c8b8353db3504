// PackBits expansion (TIFF PackBits, PCL compression mode 2).
#pragma once

#include "job/JobStream.h"

#include <cstdint>

namespace brelmont::job {

// While the output is within its capacity, each control is written whole and short ones as 16-byte
// blocks, so `out` must hold capacity + UnpackSlack bytes; the bytes after those made may be
// overwritten.
constexpr int64_t UnpackSlack = 128;

// Expands n input bytes, of which those past `in` read as 0xFF (a job cut short), into
// out[0, capacity). Returns the number of bytes the input makes, including any that did not fit.
// A repeat whose byte lies past the n input bytes makes nothing; a cut literal makes what it has.
int64_t unpackBits(uint8_t* out, int64_t capacity, Bytes in, int64_t n);

} // namespace brelmont::job
