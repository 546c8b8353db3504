#include "driver/ppd/PpdWriter.h"

#include <functional>
#include <sstream>
#include <utility>

namespace brelmont::driver {

namespace {

// "Name/Text" → name and text; a bare name is its own text.
std::pair<std::string, std::string> splitChoice(const std::string& choice) {
    auto slash = choice.find('/');
    if (slash == std::string::npos) return {choice, choice};
    return {choice.substr(0, slash), choice.substr(slash + 1)};
}

// A number of points as PPD files write them: whole where it is whole.
std::string points(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
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
void writeCustomPageSize(std::ostringstream& out, const PpdDescription& d) {
    out << "*HWMargins: " << points(d.margin) << " " << points(d.margin) << " " << points(d.margin) << " " << points(d.margin)
        << "\n*VariablePaperSize: True\n*MaxMediaWidth: \"" << points(d.maxCustomWidth) << "\"\n*MaxMediaHeight: \""
        << points(d.maxCustomHeight) << "\"\n"
        << "*CustomPageSize True: \"pop pop pop <</PageSize[5 -2 roll]/ImagingBBox null>>setpagedevice\"\n"
        << "*ParamCustomPageSize Width: 1 points " << points(d.minCustom) << " " << points(d.maxCustomWidth) << "\n"
        << "*ParamCustomPageSize Height: 2 points " << points(d.minCustom) << " " << points(d.maxCustomHeight) << "\n"
        << "*ParamCustomPageSize WidthOffset: 3 points 0 0\n"
        << "*ParamCustomPageSize HeightOffset: 4 points 0 0\n"
        << "*ParamCustomPageSize Orientation: 5 int 0 0\n";
}

// PageSize and the three keywords that must agree with it (PageRegion, ImageableArea,
// PaperDimension), with an invocation that names the size in points.
void writePageSizes(std::ostringstream& out, const PpdDescription& d) {
    PpdOption option{"PageSize", "Media Size", d.defaultPaperSize, {}};
    for (const PpdPaperSize& size : d.paperSizes) option.choices.push_back(size.name);
    const auto sizeOf = [&](const std::string& name) -> const PpdPaperSize& {
        for (const PpdPaperSize& size : d.paperSizes)
            if (splitChoice(size.name).first == name) return size;
        return d.paperSizes.front();
    };
    const auto sizeCode = [&](const std::string& name) {
        const PpdPaperSize& size = sizeOf(name);
        return "<</PageSize[" + points(size.width) + " " + points(size.height) + "]/ImagingBBox null>>setpagedevice";
    };
    writeOption(out, "PageSize", option, 10, sizeCode);
    writeOption(out, "PageRegion", option, 10, sizeCode);
    out << "*DefaultImageableArea: " << d.defaultPaperSize << "\n*DefaultPaperDimension: " << d.defaultPaperSize << "\n";
    for (const PpdPaperSize& size : d.paperSizes) {
        auto [name, text] = splitChoice(size.name);
        out << "*ImageableArea " << name << "/" << text << ": \"" << points(d.margin) << " " << points(d.margin) << " "
            << points(size.width - d.margin) << " " << points(size.height - d.margin) << "\"\n"
            << "*PaperDimension " << name << "/" << text << ": \"" << points(size.width) << " " << points(size.height) << "\"\n";
    }
}

} // namespace

std::string makePpd(const PpdDescription& d) {
    std::ostringstream out;
    out << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
        << "*LanguageEncoding: ISOLatin1\n*PCFileName: \"" << d.fileName << "\"\n"
        << "*Manufacturer: \"" << d.manufacturer << "\"\n*Product: \"(" << d.makeAndModel << ")\"\n"
        << "*ModelName: \"" << d.makeAndModel << "\"\n"
        << "*ShortNickName: \"" << d.makeAndModel.substr(0, 31) << "\"\n"
        << "*NickName: \"" << d.makeAndModel << "\"\n"
        << "*PSVersion: \"(3010.000) 0\"\n*ColorDevice: False\n*DefaultColorSpace: Gray\n*cupsVersion: 2.4\n"
        // Keeps the socket backend from asking the embosser for SNMP supplies, a 4 s wait per job.
        << "*cupsSNMPSupplies: False\n";
    if (d.manualCopies) out << "*cupsManualCopies: True\n";
    for (const std::string& filter : d.filters) out << "*cupsFilter: \"" << filter << "\"\n";

    writePageSizes(out, d);
    if (d.customPageSize) writeCustomPageSize(out, d);

    int order = 20;
    for (const PpdOption& option : d.options)
        writeOption(out, option.keyword, option, order++, [](const std::string&) { return ""; });
    return out.str();
}

} // namespace brelmont::driver
