// usb:// addresses formed from a printer's device ID the way CUPS forms a queue's device-uri.
#include "DeviceAddress.h"
#include "UsbUri.h"

#include <gtest/gtest.h>

using namespace brelmont::pjlhelper;

TEST(PjlhelperUsbUri, BlanksAreEscapedAndSerialComesFromTheDeviceId) {
    const UsbAddress identity = usbIdentityOf("MFG:Brelmont;MDL:Orvin 200;CMD:PJL;SN:B1-0042;", "descriptor", 0);
    EXPECT_EQ(usbDeviceUri(identity), "usb://Brelmont/Orvin%20200?serial=B1-0042");
}

TEST(PjlhelperUsbUri, SerialFallsBackToTheUsbDescriptor) {
    const UsbAddress identity = usbIdentityOf("MFG:Brelmont;MDL:Valdo Trac;", "VT 77", 0);
    EXPECT_EQ(usbDeviceUri(identity), "usb://Brelmont/Valdo%20Trac?serial=VT%2077");
}

TEST(PjlhelperUsbUri, NoSerialAtAll) {
    EXPECT_EQ(usbDeviceUri(usbIdentityOf("MFG:Brelmont;MDL:Quorrin;", "", 0)), "usb://Brelmont/Quorrin");
}

TEST(PjlhelperUsbUri, LongFieldNamesAndOtherSerialKeys) {
    const UsbAddress identity = usbIdentityOf("MANUFACTURER:Brelmont;MODEL:Kym;SERN:77;", "", 0);
    EXPECT_EQ(usbDeviceUri(identity), "usb://Brelmont/Kym?serial=77");
    EXPECT_EQ(usbDeviceUri(usbIdentityOf("MFG:Brelmont;MDL:Kym;SERIALNUMBER:5;", "", 0)),
              "usb://Brelmont/Kym?serial=5");
}

TEST(PjlhelperUsbUri, MakeRepeatedAtTheStartOfTheModelIsDropped) {
    EXPECT_EQ(usbDeviceUri(usbIdentityOf("MFG:Brelmont;MDL:Brelmont Merriden;SN:1;", "", 0)),
              "usb://Brelmont/Merriden?serial=1");
}

TEST(PjlhelperUsbUri, LongMakerNamesAreShortened) {
    EXPECT_EQ(usbDeviceUri(usbIdentityOf("MFG:Hewlett-Packard;MDL:HP LaserJet 4;", "", 0)),
              "usb://HP/LaserJet%204");
}

TEST(PjlhelperUsbUri, PrinterInterfaceOtherThanZeroIsNamed) {
    EXPECT_EQ(usbDeviceUri(usbIdentityOf("MFG:Brelmont;MDL:Pim;SN:3;", "", 1)),
              "usb://Brelmont/Pim?serial=3&interface=1");
    EXPECT_EQ(usbDeviceUri(usbIdentityOf("MFG:Brelmont;MDL:Pim;", "", 2)), "usb://Brelmont/Pim?interface=2");
}

TEST(PjlhelperUsbUri, ReservedCharactersInTheMakeAreEscaped) {
    EXPECT_EQ(usbDeviceUri(usbIdentityOf("MFG:A/B Works;MDL:X;", "", 0)), "usb://A%2FB%20Works/X");
}

TEST(PjlhelperUsbUri, FormedAddressParsesBackAndMatches) {
    const UsbAddress identity = usbIdentityOf("MFG:Brelmont;MDL:Orvin Color TintBridge;SN:Z 9;", "", 0);
    const auto asked = std::get<UsbAddress>(parseDeviceAddress(usbDeviceUri(identity)));
    EXPECT_TRUE(usbAddressMatches(asked, identity));
}

TEST(PjlhelperUsbUri, MatchingNeedsTheSameSerialWhenOneIsAsked) {
    const UsbAddress identity = usbIdentityOf("MFG:Brelmont;MDL:Valdo;SN:1;", "", 0);
    EXPECT_FALSE(usbAddressMatches(std::get<UsbAddress>(parseDeviceAddress("usb://Brelmont/Valdo?serial=2")), identity));
    EXPECT_TRUE(usbAddressMatches(std::get<UsbAddress>(parseDeviceAddress("usb://brelmont/VALDO")), identity));
    EXPECT_FALSE(usbAddressMatches(std::get<UsbAddress>(parseDeviceAddress("usb://Brelmont/Valdo%20Trac")), identity));
}
