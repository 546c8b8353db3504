// The ink page of a print page: the page rendered at 300 dpi, kept in colour or made grey, and a
// grey page dithered to black dots, which the ink module prints as they are.
#pragma once

#include "driver/ModelProfiles.h"
#include "driver/options/DriverSettings.h"
#include "driver/output/JobEncoder.h"
#include "driver/pdf/PdfDocument.h"

namespace brelmont::driver {

// `sheet` is the page at 300 dpi. A model that prints black dots only at 100 dpi gets every
// 3 x 3 pixels as one.
InkImage inkImage(const RgbImage& sheet, InkForm form, bool colour, Dithering dithering);

} // namespace brelmont::driver
