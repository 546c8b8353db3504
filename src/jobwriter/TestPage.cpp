#include "TestPage.h"

#include "BrailleText.h"
#include "common/ModelCodes.h"
#include "driver/geometry/CellPlaces.h"

#include <algorithm>
#include <string>
#include <vector>

namespace brelmont::testing {

namespace {

constexpr int64_t Margin = 50;       // half an inch all round
constexpr uint8_t NumberSign = 0x3C; // dots 3-4-5-6

// How a job names each model the decoder knows by name: a PJL model text or a configuration text.
struct ModelNaming {
    int64_t model;
    std::string_view pjlModel;
    std::string_view configuration;
};
constexpr ModelNaming Namings[] = {
    {model::Merriden, "Merriden", {}},
    {model::MerridenTintBridge, "MerriColorTintBridge", {}},
    {model::OrvinColorTintBridge, "OrvinColorTintBridge", {}},
    {model::Valdo, "Valdo", {}},
    {model::Tessaline, "Tessaline 30RT", {}},
    {model::Orvin, {}, "PrinterType=Norrel"},
    {model::TalmoreTintBridge, {}, "Option=SIA"},
};

constexpr int64_t InkModels[] = {model::OrvinTintBridge, model::OrvinColorTintBridge, model::MerridenTintBridge,
                                 model::TalmoreTintBridge, model::VeskInk};

const ModelNaming* namingOf(int64_t code) {
    for (const ModelNaming& n : Namings)
        if (n.model == code) return &n;
    return nullptr;
}

// The cells of one dot height: the alphabet, then the digits behind their number sign. A word
// goes on the next line when it does not fit, and is cut only when it fills a line on its own.
std::vector<std::vector<uint8_t>> alphabetLines(int64_t cellsPerLine) {
    std::vector<uint8_t> letters, digits{NumberSign};
    for (char c = 'a'; c <= 'z'; ++c) letters.push_back(brailleDots(c));
    for (char c : std::string_view("abcdefghij")) digits.push_back(brailleDots(c)); // 1 to 9, then 0
    std::vector<std::vector<uint8_t>> lines(1);
    for (const auto& word : {letters, digits}) {
        std::vector<uint8_t>& line = lines.back();
        if (!line.empty() && int64_t(line.size() + 1 + word.size()) > cellsPerLine) lines.emplace_back();
        else if (!line.empty()) line.push_back(0);
        for (uint8_t cell : word) {
            if (int64_t(lines.back().size()) == cellsPerLine) lines.emplace_back();
            lines.back().push_back(cell);
        }
    }
    return lines;
}

// The cells of the spacing as the driver places them on its raster of 100 positions per inch.
driver::CellPlaces placesOf(std::string_view spacingName) {
    return driver::CellPlaces(driver::physicalSpacing(spacingName), 100, 6);
}

// Sets the dots of a six-dot cell (bit 0 = dot 1 ... bit 5 = dot 6), its dot 1 at (x, y).
void placeCell(ByteVector& cells, int64_t x, int64_t y, uint8_t dots, int64_t dotStep, uint8_t level) {
    for (int d = 0; d < 6; ++d) {
        const int64_t dx = x + (d / 3) * dotStep, dy = y + (d % 3) * dotStep;
        if ((dots & (1 << d)) && dx < TestPageWidth && dy < TestPageHeight) cells[size_t(dy * TestPageWidth + dx)] = level;
    }
}

// The raster row just below the last braille line.
int64_t rowBelowBraille(const driver::CellPlaces& places) {
    const int64_t cellsPerLine = places.cellsWithin(TestPageWidth - 2 * Margin);
    const int64_t lines = int64_t(alphabetLines(cellsPerLine).size()) * (HighestDotLevel - LowestDotLevel + 1);
    return std::min(Margin + places.lineY(lines), TestPageHeight - Margin);
}

} // namespace

bool printsInk(int64_t code) { return std::find(std::begin(InkModels), std::end(InkModels), code) != std::end(InkModels); }

ByteVector testPageCells(std::string_view spacingName) {
    const driver::CellPlaces places = placesOf(spacingName);
    ByteVector cells(size_t(TestPageWidth * TestPageHeight), 0);
    const int64_t cellsPerLine = places.cellsWithin(TestPageWidth - 2 * Margin);
    int64_t lineNumber = 0;
    for (uint8_t level = LowestDotLevel; level <= HighestDotLevel; ++level)
        for (const std::vector<uint8_t>& line : alphabetLines(cellsPerLine)) {
            const int64_t y = Margin + places.lineY(lineNumber++);
            for (size_t i = 0; i < line.size(); ++i)
                placeCell(cells, Margin + places.cellX(int64_t(i)), y, line[i], places.dotStep(), level);
        }
    return cells;
}

ByteVector makeTestPage(int64_t model, std::string_view spacingName) {
    const ModelNaming* naming = namingOf(model);
    std::string jobLine = "@PJL JOB NAME=\"Test page\"";
    if (naming && !naming->pjlModel.empty()) jobLine += " MODEL=\"" + std::string(naming->pjlModel) + "\"";

    JobWriter job;
    job.universalExit()
        .pjl(jobLine)
        .pjl("@PJL ENTER LANGUAGE=TCL")
        .text(
            "\x1b"
            "E");
    if (naming && !naming->configuration.empty()) job.configurationText(naming->configuration);
    job.unit(100).embossRaster(testPageCells(spacingName), TestPageWidth, TestPageHeight);

    if (printsInk(model)) {
        // A line of ink, a tenth of an inch thick, across the sheet below the braille.
        const ByteVector line(size_t((TestPageWidth + 7) / 8), 0xFF);
        job.rasterSize(TestPageWidth, TestPageHeight).startRaster(2).skipRows(rowBelowBraille(placesOf(spacingName)));
        for (int i = 0; i < 10; ++i) job.row(line);
        job.endRaster();
    }
    job.text(
           "\x1b"
           "E")
        .universalExit()
        .pjl("@PJL EOJ");
    return job.data();
}

} // namespace brelmont::testing
