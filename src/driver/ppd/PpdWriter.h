// Printer description (PPD) files: the text CUPS reads to know a queue's options, sizes and filters.
#pragma once

#include <string>
#include <vector>

namespace brelmont::driver {

// A pick-one option. A choice may be written "Name/Text"; the text only shows in user interfaces.
struct PpdOption {
    std::string keyword;
    std::string text;
    std::string defaultChoice;
    std::vector<std::string> choices;
};

// A named paper size in points; the imageable area keeps `margin` points from every edge.
struct PpdPaperSize {
    std::string name; // "Name/Text" as for choices
    double width = 0, height = 0;
};

struct PpdDescription {
    // Becomes *NickName and *ModelName; the scheduler reports *NickName as the queue's
    // printer-make-and-model.
    std::string makeAndModel;
    std::string manufacturer = "Brelmont";
    std::string fileName = "brelmont.ppd"; // *PCFileName
    std::vector<std::string> filters;      // each a *cupsFilter value: "type cost program"
    bool manualCopies = false;             // the filter makes the copies itself
    std::vector<PpdPaperSize> paperSizes;  // PageSize, PageRegion, ImageableArea, PaperDimension
    std::string defaultPaperSize;
    double margin = 0; // points, every edge
    // Custom sizes, which "lpoptions -l" lists as a last PageSize choice "Custom.WIDTHxHEIGHT".
    bool customPageSize = false;
    double minCustom = 36, maxCustomWidth = 1224, maxCustomHeight = 3600; // points
    std::vector<PpdOption> options;                                       // after the page size, in this order
};

// The whole file text.
std::string makePpd(const PpdDescription& description);

} // namespace brelmont::driver
