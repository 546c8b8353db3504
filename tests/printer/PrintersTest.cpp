#include "printer/DeviceUri.h"
#include "printer/Printers.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using brelmont::printer::Printers;
using brelmont::printer::lineNamesDevice;

// Listing lines name devices as whole words; "socket://host" and "socket://host:9100" are one device.
TEST(Printers, ListingLinesNameDevicesAsWholeAddresses) {
    const std::string line = "direct socket://host:9100 \"Brelmont Orvin\" \"x\" \"MFG:Brelmont;MDL:Karro Orvin;\" \"\"";
    const std::string usb = "direct usb://Brelmont/Karro%20Orvin?serial=123 \"B\" \"B\" \"MFG:Brelmont;\" \"\"";
    struct Case { const std::string& line; std::string uri; bool named; };
    const Case cases[] = {
        {line, "socket://host:9100", true},
        {line, "socket://host", true},
        {line, "SOCKET://host", true},
        {line, "socket://host:910", false},
        {line, "socket://hos", false},
        {line, "", false},
        {usb, "usb://Brelmont/Karro%20Orvin?serial=123", true},
        {usb, "usb://Brelmont/Karro%20Orvin?serial=12", false},
        {"socket://a:1", "socket://a:1", true},
        {"\"socket://a:1\"", "socket://a:1", true},
        {"xsocket://a:1 socket://a:1", "socket://a:1", true},
        {"socket://[::1]", "socket://[::1]:9100", true},
        {"socket://[::1]:9101", "socket://[::1]:9100", false},
    };
    for (const Case& c : cases) EXPECT_EQ(lineNamesDevice(c.line, c.uri), c.named) << c.uri << " in " << c.line;
}

// Discovery with stand-in tools that record their arguments: a hostile queue name reaches
// lpoptions as one literal argument, and the device listing runs once even with no queues, asked
// for the queues' network addresses.
TEST(Printers, DiscoveryPassesQueueNamesLiterally) {
    namespace fs = std::filesystem;
    const brelmont::testing::ScratchDir scratch("tools");
    const fs::path& dir = scratch.path();
    const auto tool = [&](const std::string& name, const std::string& body) {
        std::ofstream(dir / name) << "#!/bin/sh\n" << body;
        fs::permissions(dir / name, fs::perms::owner_all);
    };
    tool("lpstat", "cat \"$BRELMONT_TEST_QUEUES\"\n");
    tool("lpoptions", "printf '[%s]' \"$@\" >> \"$BRELMONT_TEST_LOG\"; echo >> \"$BRELMONT_TEST_LOG\"\n"
                      "echo \"device-uri=socket://h:1 printer-make-and-model='Orvin 200' printer-info=x\"\n");
    tool("pjlhelper", "printf 'listed' >> \"$BRELMONT_TEST_LOG\"; printf '[%s]' \"$@\" >> \"$BRELMONT_TEST_LOG\"; echo >> \"$BRELMONT_TEST_LOG\"\n"
                      "echo 'direct socket://h:1 \"a\" \"b\" \"\" \"\"'\n");
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", (dir.string() + ":" + oldPath).c_str(), 1);
    setenv("BRELMONT_RESOURCE_DIR", dir.c_str(), 1);
    setenv("BRELMONT_TEST_LOG", (dir / "log").c_str(), 1);
    setenv("BRELMONT_TEST_QUEUES", (dir / "queues").c_str(), 1);
    const auto log = [&] {
        std::ifstream in(dir / "log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    };

    std::ofstream(dir / "queues") << "plain\nevil;touch " << (dir / "pwned").string() << "\n$(id) `id`\n\n";
    const auto items = Printers().items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1].queue, "evil;touch " + (dir / "pwned").string());
    EXPECT_TRUE(items[2].connected);
    EXPECT_EQ(log(), "[-p][plain]\n[-p][evil;touch " + (dir / "pwned").string() + "]\n[-p][$(id) `id`]\nlisted[--probe][socket://h:1]\n");
    EXPECT_FALSE(fs::exists(dir / "pwned"));

    fs::remove(dir / "log");
    std::ofstream(dir / "queues", std::ios::trunc).close();
    EXPECT_TRUE(Printers().items().empty());
    EXPECT_EQ(log(), "listed[]\n"); // no queue: no address to ask

    setenv("PATH", oldPath.c_str(), 1);
    unsetenv("BRELMONT_RESOURCE_DIR");
    unsetenv("BRELMONT_TEST_LOG");
    unsetenv("BRELMONT_TEST_QUEUES");
}
