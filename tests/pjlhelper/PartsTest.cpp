// pjlhelper's parts: device addresses, usb:// addresses formed from device IDs, device IDs and
// listing lines and reply counting. (Where the devices file is found is left to the listing's
// environment and file rows.)
#include "DeviceAddress.h"
#include "DeviceId.h"
#include "ListingLine.h"
#include "PjlReplyCount.h"
#include "UsbUri.h"

#include <gtest/gtest.h>

using namespace brelmont::pjlhelper;

TEST(PjlhelperParts, DeviceAddresses) {
    // clang-format off
    const struct { const char* uri; std::string host; int port; } sockets[] = {
        {"socket://embosser.local", "embosser.local", 9100}, {"socket://192.168.1.20:9101", "192.168.1.20", 9101},
        {"socket://10.0.0.5/", "10.0.0.5", 9100},           {"socket://10.0.0.5:9102/?contimeout=30", "10.0.0.5", 9102},
        {"socket://[fe80::1]:9105", "fe80::1", 9105},       {"socket://[::1]", "::1", 9100},
        {"SOCKET://host", "host", 9100},
    };
    // clang-format on
    for (const auto& s : sockets) {
        const auto a = std::get<SocketAddress>(parseDeviceAddress(s.uri));
        EXPECT_EQ(a.host + ":" + std::to_string(a.port), s.host + ":" + std::to_string(s.port)) << s.uri;
    }
    // clang-format off
    const struct { const char* uri; std::string make, model, serial; int interface; } usbs[] = {
        {"usb://Brelmont/Orvin%20Color%20TintBridge?serial=AB%2012", "Brelmont", "Orvin Color TintBridge", "AB 12", -1},
        {"usb://Brelmont/Valdo?interface=1", "Brelmont", "Valdo", "", 1},
        {"usb://Brelmont/Valdo?serial=9&interface=0", "Brelmont", "Valdo", "9", 0},
    };
    // clang-format on
    for (const auto& u : usbs) {
        const auto a = std::get<UsbAddress>(parseDeviceAddress(u.uri));
        EXPECT_EQ(a.make + "|" + a.model + "|" + a.serial + "|" + std::to_string(a.interfaceNumber),
                  u.make + "|" + u.model + "|" + u.serial + "|" + std::to_string(u.interface))
            << u.uri;
    }
    for (const char* bad : {"socket://host:0", "socket://host:65536", "socket://host:91x", "socket://host:", "socket://",
                            "socket://:9100", "ipp://host/printers/x", "no address", "", "usb://Brelmont", "usb:///Valdo"})
        EXPECT_THROW(parseDeviceAddress(bad), AddressError) << bad;
}

// usb:// addresses formed from a printer's device ID the way CUPS forms a queue's device-uri.
TEST(PjlhelperParts, UsbAddressesFromDeviceIds) {
    // clang-format off
    const struct { const char* id; const char* descriptorSerial; int interface; const char* uri; } rows[] = {
        {"MFG:Brelmont;MDL:Orvin 200;CMD:PJL;SN:B1-0042;", "descriptor", 0, "usb://Brelmont/Orvin%20200?serial=B1-0042"},
        {"MFG:Brelmont;MDL:Valdo Trac;", "VT 77", 0, "usb://Brelmont/Valdo%20Trac?serial=VT%2077"},
        {"MFG:Brelmont;MDL:Quorrin;", "", 0, "usb://Brelmont/Quorrin"},
        {"MANUFACTURER:Brelmont;MODEL:Kym;SERN:77;", "", 0, "usb://Brelmont/Kym?serial=77"},
        {"MFG:Brelmont;MDL:Brelmont Merriden;SN:1;", "", 0, "usb://Brelmont/Merriden?serial=1"},
        {"MFG:Brelmont;MDL:Pim;SN:3;", "", 1, "usb://Brelmont/Pim?serial=3&interface=1"},
        {"MFG:A/B Works;MDL:X;", "", 0, "usb://A%2FB%20Works/X"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const UsbAddress identity = usbIdentityOf(row.id, row.descriptorSerial, row.interface);
        EXPECT_EQ(usbDeviceUri(identity), row.uri) << row.id;
        EXPECT_TRUE(usbAddressMatches(std::get<UsbAddress>(parseDeviceAddress(usbDeviceUri(identity))), identity)) << row.id;
    }
    const UsbAddress valdo = usbIdentityOf("MFG:Brelmont;MDL:Valdo;SN:1;", "", 0);
    for (const auto& [uri, matches] : {std::pair{"usb://Brelmont/Valdo?serial=2", false},
                                       {"usb://brelmont/VALDO", true},
                                       {"usb://Brelmont/Valdo%20Trac", false}})
        EXPECT_EQ(usbAddressMatches(std::get<UsbAddress>(parseDeviceAddress(uri)), valdo), matches) << uri;
}

TEST(PjlhelperParts, DeviceIdsAndListingLines) {
    // (Device ID fields are read through the usb:// rows above and the listing's device IDs.)
    EXPECT_EQ(makeAndModelOf("MFG:Brelmont;MDL:Karro Orvin 40;").model, "Karro Orvin 40");
    EXPECT_EQ(makeAndModelOf("MDL:Brelmont Valdo;").make, "Brelmont");
    // clang-format off
    const std::pair<const char*, const char*> replies[] = {
        // A quoted model or whole ID as the simulators reply: PjlhelperListing.
        {"@PJL INFO ID\nTessaline 30RT\n\f", "MFG:Brelmont;MDL:Tessaline 30RT;"},
        {"\x1b%-12345X@PJL INFO ID\r\n\"Quorrin\"\r\n\f", "MFG:Brelmont;MDL:Quorrin;"},
        {"", ""}, {"@PJL INFO ID\r\n\f", ""}, {"@PJL INFO ID\r\n\"\"\r\n\f", ""}, {"HTTP/1.1 400 Bad Request\r\n\r\n", ""},
    };
    // clang-format on
    for (const auto& [reply, deviceId] : replies) EXPECT_EQ(deviceIdFromInfoIdReply(reply), deviceId) << reply;
    EXPECT_EQ(
        listingLine({"usb://Brelmont/X", "MFG:Brelmont;MDL:X \"2\";", "USB"}),
        "direct usb://Brelmont/X \"Brelmont X \\\"2\\\"\" \"Brelmont X \\\"2\\\" USB\" \"MFG:Brelmont;MDL:X \\\"2\\\";\" \"\"");
}

TEST(PjlhelperParts, RepliesAskedForAndCounted) {
    // clang-format off
    const std::pair<const char*, size_t> requests[] = {
        {"\x1b%-12345X@PJL INFO STATUS\n", 1}, {"\x1b%-12345X@PJL INFO VARIABLES\n@PJL INFO VERSIONS\r\n", 2},
        {"\x1b%-12345X@PJL USTATUS TIMED=1\n@PJL DINQUIRE NVPARMS\n", 1}, {"@PJL INQUIRE COPIES\n@pjl info id\n", 1},
        {"", 0}, {"\x1b%-12345X@PJL DEFAULT PAPER=A4\n@PJL SERVICE UPDATE\n", 0},
        {"\x1b%-12345X\x1b%Pinkjet.clearnozzlecount 1;", 0}, {"@PJL INFORMATION\n@PJLINFO ID\n", 0},
    };
    // clang-format on
    for (const auto& [request, count] : requests) EXPECT_EQ(expectedReplyCount(request), count) << request;
    // Form feeds across chunks; an unsolicited status report does not count.
    ReplyCounter counter;
    // clang-format off
    const std::pair<const char*, size_t> chunks[] = {
        {"@PJL USTATUS TIMED\r\nCODE=10001\r\n\f", 0}, {"@PJL INFO VARIABLES [1 ENTRIES]\r\nA=1\r", 0},
        {"\n\f@PJL INFO VER", 1}, {"SIONS [1 ENTRIES]\r\nV=2\r\n\f", 2}};
    // clang-format on
    for (const auto& [chunk, finished] : chunks) {
        counter.add(chunk);
        EXPECT_EQ(counter.finished(), finished) << chunk;
    }
}
