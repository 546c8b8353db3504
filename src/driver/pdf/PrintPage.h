// The sheets of one page of a print document: its braille text and tactile graphic on the emboss
// sheet (and continuation sheets where the braille runs over), and its ink page, on the emboss
// sheet or a sheet of its own as the print mode says.
#pragma once

#include "driver/braille/Translator.h"
#include "driver/options/DriverSettings.h"
#include "driver/output/SheetEmitter.h"
#include "driver/pdf/PatternFile.h"
#include "driver/pdf/PdfDocument.h"

#include <functional>

namespace brelmont::driver {

struct PrintLayout {
    const DriverSettings& settings;
    const PageFrame& frame;
    const Translator* translator = nullptr; // none: the text is drawn with the graphics
    const PatternSet* patterns = nullptr;
};

// Hands the sheets of page `index` (from 0) to `sink` in order; false as soon as `sink` refuses
// one. Throws std::runtime_error when the text cannot be translated.
bool printPageSheets(const PdfDocument& pdf, int index, const PrintLayout& layout, const std::function<bool(Sheet&&)>& sink);

// Ink resolution of the rendered sheet, from which the emboss positions are taken too.
constexpr int64_t RenderDpi = 300;

} // namespace brelmont::driver
