// A rendered print page as dots: darker is higher, at the levels the embosser raises; lines too
// thin to darken a whole position keep a dot of their own level; areas of one colour take the
// textures of a pattern file, so that neighbouring colours feel different.
#pragma once

#include "driver/pdf/PatternFile.h"
#include "driver/pdf/PdfDocument.h"

#include <cstdint>
#include <vector>

namespace brelmont::driver {

struct GraphicsStyle {
    uint8_t topLevel = 5;  // the level of black
    uint8_t thinLevel = 3; // the level of a line thinner than a position
    int contrast = 0;      // -100 to 100: stretches (or flattens) the grey scale about its middle
    int brightness = 0;    // -100 to 100: lightens (or darkens) every grey
    const PatternSet* patterns = nullptr;
};

// `sheet` holds `scale` x `scale` pixels for each of the width x height emboss positions; the
// levels, row by row.
std::vector<uint8_t> tactileGraphic(const RgbImage& sheet, int64_t scale, int64_t width, int64_t height,
                                    const GraphicsStyle& style);

// Makes the pixels of a rectangle white (pixel coordinates, clipped to the image).
void whiten(RgbImage& image, double left, double top, double right, double bottom);

} // namespace brelmont::driver
