#include "driver/ppd/ModelPpd.h"

#include <string>

namespace brelmont::driver {

namespace {

// Braille stays off the sheet's edges: half an inch all round.
constexpr double Margin = 36;

const std::vector<PpdPaperSize> SheetSizes = {
    {"Letter/US Letter", 612, 792}, {"Legal/US Legal", 612, 1008}, {"A4", 595, 842}, {"11x14/11 x 14 in", 792, 1008}};
const std::vector<PpdPaperSize> TractorSizes = {{"115X11/11.5 x 11 in", 828, 792},
                                                {"11x14/11 x 14 in", 792, 1008},
                                                {"A4Tractor/German Std Fanfold", 595, 864},
                                                {"Letter/US Letter", 612, 792},
                                                {"A4", 595, 842}};

// A table's text as a PPD choice text: Latin-1 (the files' encoding), no ":" or quotes, which
// would end it early, at most 80 bytes.
std::string choiceText(const std::string& utf8) {
    std::string text;
    for (size_t i = 0; i < utf8.size() && text.size() < 80; ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) text += (c == ':' || c == '"' || c < 0x20) ? ' ' : char(c);
        else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) text += char(((c & 0x03) << 6) | (utf8[++i] & 0x3F));
        else if (c >= 0xC0) text += '?';
    }
    return text;
}

PpdOption brailleTableOption(const std::vector<BrailleTable>& tables) {
    PpdOption option{"BrailleTable", "Braille Table", std::string(DefaultBrailleTable), {}};
    bool hasDefault = false;
    for (const BrailleTable& table : tables) {
        option.choices.push_back(table.name + "/" + choiceText(table.text));
        hasDefault = hasDefault || table.name == DefaultBrailleTable;
    }
    if (!hasDefault)
        option.choices.insert(option.choices.begin(),
                              std::string(DefaultBrailleTable) + "/English, unified, uncontracted (6 dots)");
    return option;
}

} // namespace

PpdDescription modelPpd(const ModelProfile& p, const std::vector<BrailleTable>& tables) {
    PpdDescription d;
    d.makeAndModel = std::string(p.makeAndModel);
    d.fileName = std::string(p.fileName) + ".ppd";
    const std::string filter = FilterProgram;
    // PDF straight from applications, and the PDF the printing system makes of images and other
    // documents.
    d.filters = {"text/plain 0 " + filter, "application/vnd.cups-brf 0 " + filter, "application/pdf 0 " + filter,
                 "application/vnd.cups-pdf 0 " + filter, "application/vnd.cups-raw 0 -"};
    d.manualCopies = true;
    d.paperSizes = p.tractor ? TractorSizes : SheetSizes;
    d.defaultPaperSize = p.tractor ? "115X11" : "Letter";
    d.margin = Margin;
    d.customPageSize = true;
    d.minCustom = 144; // two inches: room for a few cells and lines
    d.maxCustomWidth = 1224;
    d.maxCustomHeight = 1224;

    d.options.push_back({"MediaType", "Media Type", "Default", {"Default", "Plain", "Label", "CustomMedia"}});
    d.options.push_back({"EmbossQuality", "Emboss Quality", "Normal", {"Draft", "Normal", "High"}});
    if (p.dotQuality) d.options.push_back({"DotQuality", "Dot Quality", "Standard", {"Standard", "Fine"}});
    d.options.push_back({"Brailleforce", "Dot Height", "Medium", {"Low", "Medium", "High"}});
    d.options.push_back(
        {"BrailleSpacing", "Braille Spacing", "Congress", {"Congress", "National", "Microbraille", "Korean", "Jumbo"}});
    d.options.push_back(brailleTableOption(tables));
    d.options.push_back(
        {"BraillePageNumbers", "Braille Page Numbers", "ForText", {"ForText/On for text, off for braille files", "On", "Off"}});
    if (p.duplex) d.options.push_back({"Duplex", "Double-Sided", "None", {"None/Off", "DuplexNoTumble/Interpoint"}});
    if (p.outputFace) d.options.push_back({"OutputFace", "Output Face", "Up", {"Up", "Down"}});
    if (p.ink != InkForm::None) {
        d.options.push_back(
            {"PrintMode", "Print Mode", "1", {"0/Emboss and print", "1/Emboss only", "2/Print only", "3/Two in one"}});
        if (p.ink != InkForm::OneBit) d.options.push_back({"ColorModel", "Color Mode", "Gray", {"Gray/Grayscale", "Color"}});
        d.options.push_back({"InkQuality", "Ink Quality", "Normal", {"Draft", "Normal", "Best"}});
        d.options.push_back({"InkDithering", "Dithering", "Diffusion", {"Diffusion", "Ordered", "Threshold"}});
    }
    d.options.push_back({"PageOrientation", "Rotate Landscape", "No", {"Yes", "No"}});
    d.options.push_back({"StandardText", "Emboss Standard Texts", "True", {"True", "False"}});
    d.options.push_back({"ThinLineIntensity", "Thin Line Intensity", "3", {"1", "2", "3", "4", "5", "6"}});
    return d;
}

} // namespace brelmont::driver
