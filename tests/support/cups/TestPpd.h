// Printer description files for the queues of the private CUPS server, written by the driver's
// PPD writer: made here, never copied from a driver, so every test knows exactly what the printing
// system was told.
#pragma once

#include "driver/ppd/PpdWriter.h"

#include <string>
#include <vector>

namespace brelmont::testing {

// One pick-one option as "lpoptions -p Q -l" lists it: "Keyword/Text: *Default Other …".
using driver::PpdOption;

struct TestPpdDescription {
    // Becomes *NickName and *ModelName; the scheduler reports *NickName as the queue's
    // printer-make-and-model (checked in the tests: *ModelName alone does not show).
    std::string makeAndModel;
    std::string manufacturer = "Brelmont";
    // A "PageSize" entry gets its PageRegion, ImageableArea and PaperDimension companions;
    // without one, a PageSize of Letter and A4 is added, as every valid description has one.
    std::vector<PpdOption> options;
    // Adds custom sizes, which "lpoptions -l" lists as a last PageSize choice "Custom.WIDTHxHEIGHT".
    bool customPageSize = false;
    // Declares the custom sizes before the PageSize choices; the scheduler then lists
    // "Custom.WIDTHxHEIGHT" as the FIRST PageSize choice.
    bool customPageSizeFirst = false;
};

// The whole file text. The queue takes only raw data ("*cupsFilter: application/vnd.cups-raw 0 -"),
// so no filter runs and "lpr -l" bytes reach the backend unchanged.
std::string makeTestPpd(const TestPpdDescription& description);

// The options an embosser queue offers the preferences window (PageSize, MediaType, the quality
// and braille settings, Duplex, ColorModel, OutputFace, PrintMode, …); pair with customPageSize.
std::vector<PpdOption> embosserOptions();

} // namespace brelmont::testing
