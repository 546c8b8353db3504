// Parsing the device addresses that queues and the devices file hold.
#include "DeviceAddress.h"

#include <gtest/gtest.h>

using namespace brelmont::pjlhelper;

namespace {

SocketAddress socketOf(std::string_view uri) { return std::get<SocketAddress>(parseDeviceAddress(uri)); }
UsbAddress usbOf(std::string_view uri) { return std::get<UsbAddress>(parseDeviceAddress(uri)); }

} // namespace

TEST(PjlhelperDeviceAddress, SocketWithoutPortUsesRawPort9100) {
    const SocketAddress a = socketOf("socket://embosser.local");
    EXPECT_EQ(a.host, "embosser.local");
    EXPECT_EQ(a.port, 9100);
}

TEST(PjlhelperDeviceAddress, SocketWithPort) {
    const SocketAddress a = socketOf("socket://192.168.1.20:9101");
    EXPECT_EQ(a.host, "192.168.1.20");
    EXPECT_EQ(a.port, 9101);
}

TEST(PjlhelperDeviceAddress, SocketIgnoresTrailingPathAndOptions) {
    EXPECT_EQ(socketOf("socket://10.0.0.5/").port, 9100);
    const SocketAddress a = socketOf("socket://10.0.0.5:9102/?contimeout=30");
    EXPECT_EQ(a.host, "10.0.0.5");
    EXPECT_EQ(a.port, 9102);
}

TEST(PjlhelperDeviceAddress, SocketWithBracketedIpv6) {
    const SocketAddress a = socketOf("socket://[fe80::1]:9105");
    EXPECT_EQ(a.host, "fe80::1");
    EXPECT_EQ(a.port, 9105);
    EXPECT_EQ(socketOf("socket://[::1]").port, 9100);
}

TEST(PjlhelperDeviceAddress, SchemeIsCaseInsensitive) { EXPECT_EQ(socketOf("SOCKET://host").host, "host"); }

TEST(PjlhelperDeviceAddress, BadPortsAndMissingHostAreRefused) {
    EXPECT_THROW(parseDeviceAddress("socket://host:0"), AddressError);
    EXPECT_THROW(parseDeviceAddress("socket://host:65536"), AddressError);
    EXPECT_THROW(parseDeviceAddress("socket://host:91x"), AddressError);
    EXPECT_THROW(parseDeviceAddress("socket://host:"), AddressError);
    EXPECT_THROW(parseDeviceAddress("socket://"), AddressError);
    EXPECT_THROW(parseDeviceAddress("socket://:9100"), AddressError);
}

TEST(PjlhelperDeviceAddress, UnknownSchemeIsRefused) {
    EXPECT_THROW(parseDeviceAddress("ipp://host/printers/x"), AddressError);
    EXPECT_THROW(parseDeviceAddress("no address"), AddressError);
    EXPECT_THROW(parseDeviceAddress(""), AddressError);
}

TEST(PjlhelperDeviceAddress, UsbPartsComeWithEscapesUndone) {
    const UsbAddress a = usbOf("usb://Brelmont/Orvin%20Color%20TintBridge?serial=AB%2012");
    EXPECT_EQ(a.make, "Brelmont");
    EXPECT_EQ(a.model, "Orvin Color TintBridge");
    EXPECT_EQ(a.serial, "AB 12");
    EXPECT_EQ(a.interfaceNumber, -1);
}

TEST(PjlhelperDeviceAddress, UsbWithInterfaceAndWithoutSerial) {
    const UsbAddress a = usbOf("usb://Brelmont/Valdo?interface=1");
    EXPECT_EQ(a.serial, "");
    EXPECT_EQ(a.interfaceNumber, 1);
    EXPECT_EQ(usbOf("usb://Brelmont/Valdo?serial=9&interface=0").interfaceNumber, 0);
    EXPECT_EQ(usbOf("usb://Brelmont/Valdo").model, "Valdo");
}

TEST(PjlhelperDeviceAddress, UsbWithoutModelIsRefused) {
    EXPECT_THROW(parseDeviceAddress("usb://Brelmont"), AddressError);
    EXPECT_THROW(parseDeviceAddress("usb:///Valdo"), AddressError);
}
