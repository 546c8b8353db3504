#include "printer/Printers.h"
#include "printer/DeviceUri.h"

#include "ScopedEnv.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using brelmont::printer::lineNamesDevice;
using brelmont::printer::PrinterItem;
using brelmont::printer::Printers;
using brelmont::testing::ScopedEnv;
namespace fs = std::filesystem;

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

// Discovery with stand-in tools that record their arguments: each queue is asked for its
// assignments, and the device listing runs once, asked for the queues' network addresses.
TEST(Printers, DiscoveryAsksEachQueueAndProbesTheirAddresses) {
    const brelmont::testing::ScratchDir scratch("tools");
    const fs::path& dir = scratch.path();
    const fs::path log = dir / "log";
    for (const auto& [name, body] : {std::pair{"lpstat", "cat " + (dir / "queues").string()},
                                     {"lpoptions", "echo \"device-uri=socket://h:1 printer-make-and-model='Orvin 200'\""},
                                     {"pjlhelper", "echo 'direct socket://h:1 \"a\" \"b\" \"\" \"\"'"}}) {
        std::ofstream(dir / name) << "#!/bin/sh\nprintf '%s' " << name << " >> " << log << "; printf '[%s]' \"$@\" >> " << log
                                  << "; echo >> " << log << "\n"
                                  << body << "\n";
        fs::permissions(dir / name, fs::perms::owner_all);
    }
    const ScopedEnv path("PATH", dir.string() + ":" + std::getenv("PATH"));
    const ScopedEnv resources("BRELMONT_RESOURCE_DIR", dir.string());
    const auto logged = [&] {
        std::ifstream in(log);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };

    std::ofstream(dir / "queues") << "plain\nOrvin 200\n\n";
    const auto items = brelmont::printer::Printers().items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].queue, "Orvin 200");
    EXPECT_EQ(items[1].model, 221201);
    EXPECT_TRUE(items[1].connected);
    EXPECT_EQ(logged(), "lpstat[-e]\nlpoptions[-p][plain]\nlpoptions[-p][Orvin 200]\npjlhelper[--probe][socket://h:1]\n");

    // Asked for one queue, discovery looks at that one only.
    fs::remove(log);
    const auto one = brelmont::printer::Printers({"Orvin 200"}, {}).items();
    ASSERT_EQ(one.size(), 1u);
    EXPECT_TRUE(one[0].connected);
    EXPECT_EQ(logged(), "lpoptions[-p][Orvin 200]\npjlhelper[--probe][socket://h:1]\n");

    fs::remove(log);
    std::ofstream(dir / "queues", std::ios::trunc).close();
    EXPECT_TRUE(brelmont::printer::Printers().items().empty());
    EXPECT_EQ(logged(), "lpstat[-e]\npjlhelper[]\n"); // no queue: no address to ask
}
