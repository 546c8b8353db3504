#include "printer/Printers.h"

#include <gtest/gtest.h>

using brelmont::printer::Printers;

TEST(Printers, OptionValue) {
    const std::string options =
        "copies=1 device-uri=socket://127.0.0.1:9101 printer-info='Room 4 embosser' "
        "printer-make-and-model='Orvin 200' printer-location= job-sheets=none,none\nlast=x";
    struct Case { std::string key, value; };
    const Case cases[] = {
        {"device-uri=", "socket://127.0.0.1:9101"},
        {"printer-info=", "Room 4 embosser"},
        {"printer-make-and-model=", "Orvin 200"},
        {"printer-location=", ""},
        {"job-sheets=", "none,none\nlast=x"}, // line feeds do not end a value
        {"absent=", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Printers::optionValue(options, c.key), c.value) << c.key;
    // A mismatch restarts the match without trying that character again.
    EXPECT_EQ(Printers::optionValue("aab=1", "ab="), "");
    EXPECT_EQ(Printers::optionValue("xab=1 ab=2", "ab="), "1");
    EXPECT_EQ(Printers::optionValue("k='unterminated", "k="), "unterminated");
    EXPECT_EQ(Printers::optionValue("k=", "k="), "");
}

TEST(Printers, ListingLinesNameDevicesAsWholeWords) {
    const std::string line = "direct socket://host:9100 \"Brelmont Orvin\" \"x\" \"MFG:Brelmont;MDL:Karro Orvin;\" \"\"";
    const std::string usb = "direct usb://Brelmont/Karro%20Orvin?serial=123 \"B\" \"B\" \"MFG:Brelmont;\" \"\"";
    struct Case { const std::string& line; std::string uri; bool named; };
    const Case cases[] = {
        {line, "socket://host:9100", true},
        {line, "socket://host:910", false},
        {line, "socket://host", false},
        {line, "", false},
        {usb, "usb://Brelmont/Karro%20Orvin?serial=123", true},
        {usb, "usb://Brelmont/Karro%20Orvin?serial=12", false},
        {"socket://a:1", "socket://a:1", true},
        {"\"socket://a:1\"", "socket://a:1", true},
        {"xsocket://a:1 socket://a:1", "socket://a:1", true},
    };
    for (const Case& c : cases) EXPECT_EQ(Printers::lineNamesDevice(c.line, c.uri), c.named) << c.uri << " in " << c.line;
}
