#include "TestPpd.h"

#include <functional>
#include <map>
#include <sstream>
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

// "Name/Text" → name and text; a bare name is its own text.
std::pair<std::string, std::string> splitChoice(const std::string& choice) {
    auto slash = choice.find('/');
    if (slash == std::string::npos) return {choice, choice};
    return {choice.substr(0, slash), choice.substr(slash + 1)};
}

// A pick-one option; `invocation` gives each choice's code ("" when none).
void writeOption(std::ostringstream& out, const std::string& keyword, const PpdOption& option, int order,
                 const std::function<std::string(const std::string&)>& invocation) {
    out << "*OpenUI *" << keyword << "/" << option.text << ": PickOne\n"
        << "*OrderDependency: " << order << " AnySetup *" << keyword << "\n"
        << "*Default" << keyword << ": " << option.defaultChoice << "\n";
    for (const auto& choice : option.choices) {
        auto [name, text] = splitChoice(choice);
        out << "*" << keyword << " " << name << "/" << text << ": \"" << invocation(name) << "\"\n";
    }
    out << "*CloseUI: *" << keyword << "\n";
}

// The custom size declaration: its margins, limits and the five parameters.
void writeCustomPageSize(std::ostringstream& out) {
    out << "*HWMargins: 0 0 0 0\n*VariablePaperSize: True\n*MaxMediaWidth: \"1224\"\n*MaxMediaHeight: \"3600\"\n"
        << "*CustomPageSize True: \"pop pop pop <</PageSize[5 -2 roll]/ImagingBBox null>>setpagedevice\"\n"
        << "*ParamCustomPageSize Width: 1 points 36 1224\n"
        << "*ParamCustomPageSize Height: 2 points 36 3600\n"
        << "*ParamCustomPageSize WidthOffset: 3 points 0 0\n"
        << "*ParamCustomPageSize HeightOffset: 4 points 0 0\n"
        << "*ParamCustomPageSize Orientation: 5 int 0 0\n";
}

// PageSize and the three keywords that must agree with it (PageRegion, ImageableArea,
// PaperDimension), with an invocation that names the size in points.
void writePageSize(std::ostringstream& out, const PpdOption& option) {
    const auto sizeCode = [](const std::string& name) {
        auto [w, h] = paperPoints(name);
        return "<</PageSize[" + std::to_string(w) + " " + std::to_string(h) + "]/ImagingBBox null>>setpagedevice";
    };
    for (const char* keyword : {"PageSize", "PageRegion"}) writeOption(out, keyword, option, 10, sizeCode);
    out << "*DefaultImageableArea: " << option.defaultChoice << "\n*DefaultPaperDimension: " << option.defaultChoice << "\n";
    for (const auto& choice : option.choices) {
        auto [name, text] = splitChoice(choice);
        auto [w, h] = paperPoints(name);
        out << "*ImageableArea " << name << "/" << text << ": \"0 0 " << w << " " << h << "\"\n"
            << "*PaperDimension " << name << "/" << text << ": \"" << w << " " << h << "\"\n";
    }
}

} // namespace

std::string makeTestPpd(const TestPpdDescription& d) {
    std::ostringstream out;
    out << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
        << "*Manufacturer: \"" << d.manufacturer << "\"\n"
        << "*ModelName: \"" << d.makeAndModel << "\"\n"
        << "*ShortNickName: \"" << d.makeAndModel.substr(0, 31) << "\"\n"
        << "*NickName: \"" << d.makeAndModel << "\"\n"
        << "*ColorDevice: False\n*DefaultColorSpace: Gray\n*cupsVersion: 2.4\n"
        << "*cupsFilter: \"application/vnd.cups-raw 0 -\"\n"
        // Keeps the socket backend from asking 127.0.0.1 for SNMP supplies, a 4 s wait per job.
        << "*cupsSNMPSupplies: False\n";

    PpdOption pageSize{"PageSize", "Media Size", "Letter", {"Letter/US Letter", "A4"}};
    for (const auto& option : d.options)
        if (option.keyword == "PageSize") pageSize = option;
    if (d.customPageSize && d.customPageSizeFirst) writeCustomPageSize(out);
    writePageSize(out, pageSize);
    if (d.customPageSize && !d.customPageSizeFirst) writeCustomPageSize(out);

    int order = 20;
    for (const auto& option : d.options)
        if (option.keyword != "PageSize")
            writeOption(out, option.keyword, option, order++, [](const std::string&) { return ""; });
    return out.str();
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
