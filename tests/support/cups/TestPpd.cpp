#include "TestPpd.h"

#include <map>
#include <utility>

namespace brelmont::testing {

namespace {

// Width and height in points of the sizes the queues offer; anything else prints as Letter.
std::pair<int, int> paperPoints(const std::string& size) {
    static const std::map<std::string, std::pair<int, int>> sizes = {
        {"Letter", {612, 792}},    {"Legal", {612, 1008}}, {"A4", {595, 842}},
        {"A4Tractor", {595, 864}}, {"115X11", {828, 792}}, {"11X14", {792, 1008}},
    };
    auto it = sizes.find(size);
    return it == sizes.end() ? std::pair<int, int>{612, 792} : it->second;
}

} // namespace

std::string makeTestPpd(const TestPpdDescription& d) {
    driver::PpdDescription ppd;
    ppd.makeAndModel = d.makeAndModel;
    ppd.manufacturer = d.manufacturer;
    ppd.filters = {"application/vnd.cups-raw 0 -"};
    PpdOption pageSize{"PageSize", "Media Size", "Letter", {"Letter/US Letter", "A4"}};
    for (const auto& option : d.options)
        if (option.keyword == "PageSize") pageSize = option;
    for (const std::string& choice : pageSize.choices) {
        const auto [width, height] = paperPoints(choice.substr(0, choice.find('/')));
        ppd.paperSizes.push_back({choice, double(width), double(height)});
    }
    ppd.defaultPaperSize = pageSize.defaultChoice;
    ppd.customPageSize = d.customPageSize;
    ppd.customPageSizeFirst = d.customPageSizeFirst;
    for (const auto& option : d.options)
        if (option.keyword != "PageSize") ppd.options.push_back(option);
    return driver::makePpd(ppd);
}

std::vector<PpdOption> embosserOptions() {
    return {
        {"PageSize", "Media Size", "Letter", {"Letter/US Letter", "Legal", "A4", "A4Tractor", "115X11", "11X14"}},
        {"MediaType", "Media Type", "Default", {"Default", "Plain", "Label", "CustomMedia"}},
        {"EmbossQuality", "Emboss Quality", "Normal", {"Draft", "Normal", "High"}},
        {"DotQuality", "Dot Quality", "Standard", {"Standard", "Fine"}},
        {"InkQuality", "Ink Quality", "Normal", {"Draft", "Normal", "Best"}},
        {"Brailleforce", "Dot Height", "Medium", {"Low", "Medium", "High"}},
        {"BrailleSpacing", "Braille Spacing", "Congress", {"Congress", "National", "Microbraille", "Korean", "Jumbo"}},
        {"Duplex", "Double-Sided", "None", {"None", "DuplexNoTumble"}},
        {"ColorModel", "Color Mode", "Gray", {"Gray", "Color"}},
        {"OutputFace", "Output Face", "Up", {"Up", "Down"}},
        {"PrintMode", "Print Mode", "1", {"0", "1", "2", "3"}},
        {"PageOrientation", "Rotate Landscape", "No", {"Yes", "No"}},
        {"StandardText", "Emboss Standard Texts", "True", {"True", "False"}},
        {"InkDithering", "Dithering", "Diffusion", {"Diffusion", "Ordered", "Threshold"}},
        {"ThinLineIntensity", "Thin Line Intensity", "3", {"3", "1", "2", "4", "5", "6"}},
    };
}

} // namespace brelmont::testing
