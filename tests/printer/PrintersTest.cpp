#include "printer/Printers.h"
#include "printer/DeviceUri.h"

#include <gtest/gtest.h>

using brelmont::printer::lineNamesDevice;
using brelmont::printer::PrinterItem;
using brelmont::printer::Printers;

// Listing lines name devices as whole words; "socket://host" and "socket://host:9100" are one device.
TEST(Printers, ListingLinesNameDevicesAsWholeAddresses) {
    const std::string line = "direct socket://host:9100 \"Brelmont Orvin\" \"x\" \"MFG:Brelmont;MDL:Karro Orvin;\" \"\"";
    const std::string usb = "direct usb://Brelmont/Karro%20Orvin?serial=123 \"B\" \"B\" \"MFG:Brelmont;\" \"\"";
    struct Case {
        const std::string& line;
        std::string uri;
        bool named;
    };
    // clang-format off
    const Case cases[] = {
        {line, "socket://host:9100", true}, {line, "socket://host", true}, {line, "SOCKET://host", true},
        {line, "socket://host:910", false}, {line, "socket://hos", false}, {line, "", false},
        {usb, "usb://Brelmont/Karro%20Orvin?serial=123", true}, {usb, "usb://Brelmont/Karro%20Orvin?serial=12", false},
        {"\"socket://a:1\"", "socket://a:1", true}, {"xsocket://a:1 socket://a:1", "socket://a:1", true},
        {"socket://[::1]", "socket://[::1]:9100", true}, {"socket://[::1]:9101", "socket://[::1]:9100", false},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(lineNamesDevice(c.line, c.uri), c.named) << c.uri << " in " << c.line;

    // Queues that write one embosser's address differently are one embosser to probe.
    std::vector<PrinterItem> items;
    for (const char* uri : {"socket://h", "socket://h:9100", "SOCKET://h:9100", "socket://h:910", "usb://B/O", "socket://g"})
        items.push_back(PrinterItem{uri, "q", "q", 221201, true, {}});
    EXPECT_EQ(Printers::networkAddresses(items), (std::vector<std::string>{"socket://h", "socket://h:910", "socket://g"}));
}
