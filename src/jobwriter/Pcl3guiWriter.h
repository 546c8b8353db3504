// Encodes PCL3GUI blocks: the job's own framing, mode 10 colour rows and mode 9 black planes.
#pragma once

#include "JobWriter.h"

#include <cstdint>

namespace brelmont::testing {

struct Rgb {
    uint8_t r = 0xFF, g = 0xFF, b = 0xFF;
    bool operator==(const Rgb&) const = default;
};

// How the mode 10 encoder may code a pixel in the data.
enum class PixelForm { Best, ThreeByteOnly };

// Encodes one mode 10 row against its seed row (both `pixels` long), using runs and literals
// with every source (new, west, north-east, cached) and, with Best, the 2-byte delta form where
// it codes the pixel exactly. Blue loses its lowest bit where a pixel is coded in 3 bytes.
ByteVector encodeMode10Row(const Rgb* row, const Rgb* seed, int64_t pixels, PixelForm form = PixelForm::Best);
// What a decoder makes of a row coded by encodeMode10Row: the row with the blue bits it loses.
void mode10Decoded(const Rgb* row, const Rgb* seed, int64_t pixels, Rgb* out, PixelForm form = PixelForm::Best);

// Encodes one mode 9 row (one bit per pixel, most significant bit first) against its seed row.
ByteVector encodeMode9Row(const ByteVector& row, const ByteVector& seed);

// The block as this program's jobs frame it: unit 600, raster size at 600 (twice the page),
// resolution 300, a configure-raster-data block, then rows and the raster end.
class Pcl3guiWriter {
public:
    enum class Planes { Colour, BlackAndColour, BlackOnly };

    // The page is pageWidth x pageHeight at 300 dpi; rows are sent at twice that.
    Pcl3guiWriter(int64_t pageWidth, int64_t pageHeight, Planes planes);

    // One transmitted colour row (2 x pageWidth pixels), coded against the previous one.
    Pcl3guiWriter& colourRow(const Rgb* pixels, PixelForm form = PixelForm::Best);
    // One transmitted black row (bits), sent as the plane before the colour row, or alone.
    Pcl3guiWriter& blackPlane(const ByteVector& bits);
    Pcl3guiWriter& skipRows(int64_t n);
    Pcl3guiWriter& raw(const ByteVector& bytes);
    ByteVector finish(); // ends the raster and the language

    int64_t rowPixels() const { return m_rowPixels; }

private:
    JobWriter m_out;
    Planes m_planes;
    int64_t m_rowPixels;
    std::vector<Rgb> m_seed;
    ByteVector m_blackSeed;
};

} // namespace brelmont::testing
