// Pages and jobs that benchmarks decode: braille-like emboss pages, text-like ink pages, made
// with the job writer.
#pragma once

#include "JobWriter.h"

#include <cstdint>

namespace brelmont::bench {

using testing::ByteVector;
using testing::JobWriter;

constexpr int64_t EmbossW = 170, EmbossH = 220; // Letter at 20 cells per inch
constexpr int64_t InkW = 850, InkH = 1100;      // Letter at 100 dpi
constexpr int64_t RgbW = 2550, RgbH = 3300;     // Letter at 300 dpi

// Braille-like clusters of dots at levels 1 to 7, about a quarter of the page dotted (EmbossW x EmbossH).
ByteVector embossCells(uint32_t seed);
// Text-like ink, cells 0 or 1 (InkW x InkH).
ByteVector inkCells(uint32_t seed);
// Row y of inkCells as the bits of a one-bit ink row.
ByteVector inkRowBits(const ByteVector& cells, int64_t y);

// The start of a job (universal exit, model, language) and its end.
JobWriter jobStart();
ByteVector jobEnd(JobWriter& job);

} // namespace brelmont::bench
