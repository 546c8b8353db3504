#include "driver/pdf/PrintPage.h"

#include "driver/pdf/InkPage.h"
#include "driver/pdf/PrintText.h"
#include "driver/pdf/TactileGraphics.h"

#include <algorithm>
#include <cmath>

namespace brelmont::driver {

namespace {

constexpr double MicronsPerPoint = 25400.0 / 72.0;

bool embosses(PrintMode mode) { return mode != PrintMode::PrintOnly; }
bool prints(PrintMode mode) { return mode != PrintMode::EmbossOnly; }

// A white ink page of the same size: the ink side of a continuation sheet printed two in one.
std::shared_ptr<const InkImage> blankLike(const InkImage& ink) {
    return std::make_shared<InkImage>(
        InkImage{ink.width, ink.height, ink.dpi, ink.rgb, std::vector<uint8_t>(ink.pixels.size(), ink.rgb ? 0xFF : 0)});
}

} // namespace

bool printPageSheets(const PdfDocument& pdf, int index, const PrintLayout& layout, const std::function<bool(Sheet&&)>& sink) {
    const DriverSettings& s = layout.settings;
    const PageFrame& frame = layout.frame;
    const PrintMode mode = s.profile->ink == InkForm::None ? PrintMode::EmbossOnly : s.printMode;

    // The page fills the sheet as far as it can without changing its shape, from the top left.
    const PdfDocument::Size page = pdf.pageSize(index);
    const double fit = std::min(s.paperWidth / page.width, s.paperHeight / page.height);
    const double pixelsPerPoint = fit * RenderDpi / 72.0;
    RgbImage sheet = pdf.render(index, pixelsPerPoint, std::llround(s.paperWidth * RenderDpi / 72.0),
                                std::llround(s.paperHeight * RenderDpi / 72.0));

    std::shared_ptr<const InkImage> ink;
    if (prints(mode)) ink = std::make_shared<InkImage>(inkImage(sheet, s.profile->ink, s.colour, s.dithering));
    if (!embosses(mode)) return sink(Sheet{{}, {}, ink, false});

    PlacedText text;
    text.pages.push_back({1, {}});
    if (layout.translator) {
        const std::vector<PdfWord> words = pdf.words(index);
        // The words become braille: their print leaves the graphic.
        for (const PdfWord& w : words)
            whiten(sheet, w.left * pixelsPerPoint - 1, w.top * pixelsPerPoint - 1, w.right * pixelsPerPoint + 1,
                   w.bottom * pixelsPerPoint + 1);
        const CellPlaces& places = frame.places;
        const double areaTop = s.paperHeight - s.top;
        const TextArea area{
            frame.cellsPerLine(), frame.linesPerPage(0),
            [&](double x) { return int64_t(std::floor((x * fit - s.left) * MicronsPerPoint / double(places.cellMicrons()))); },
            [&](double y) {
                return std::max<int64_t>(0, std::llround((y * fit - areaTop) * MicronsPerPoint / double(places.lineMicrons())));
            }};
        text = placeText(textBlocks(words), area, [&](std::u32string_view block) { return layout.translator->translate(block); });
    }

    const int64_t scale = RenderDpi / frame.places.positionsPerInch();
    const GraphicsStyle style{frame.level, uint8_t(std::min<int>(s.thinLineLevel, frame.level)), s.contrast, s.brightness,
                              layout.patterns};
    std::vector<uint8_t> graphic = tactileGraphic(sheet, scale, frame.width, frame.height, style);
    sheet = {};

    const bool together = mode == PrintMode::TwoInOne;
    for (size_t i = 0; i < text.pages.size(); ++i) {
        Sheet emboss{std::move(text.pages[i]), i == 0 ? std::move(graphic) : std::vector<uint8_t>{}, nullptr, true};
        if (together && ink) emboss.ink = i == 0 ? ink : blankLike(*ink);
        if (!sink(std::move(emboss))) return false;
    }
    return together || !ink || sink(Sheet{{}, {}, ink, false});
}

} // namespace brelmont::driver
