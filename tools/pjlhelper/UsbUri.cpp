#include "UsbUri.h"

#include "DeviceId.h"
#include "printer/PercentCoding.h"

#include <algorithm>
#include <cctype>

namespace brelmont::pjlhelper {

using printer::percentEncode;

namespace {

// Characters CUPS escapes in the host part of an address, besides blanks, controls and "%".
constexpr std::string_view HostReserved = "\"#/:<>?@[\\]^`{|}";

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

UsbAddress usbIdentityOf(std::string_view deviceId, std::string_view descriptorSerial, int interfaceNumber) {
    const MakeAndModel names = makeAndModelOf(deviceId);
    UsbAddress identity;
    identity.make = names.make;
    identity.model = names.model;
    identity.serial = deviceIdField(deviceId, {"SERIALNUMBER", "SERN", "SN"});
    if (identity.serial.empty()) identity.serial = std::string(descriptorSerial);
    identity.interfaceNumber = interfaceNumber;
    return identity;
}

std::string usbDeviceUri(const UsbAddress& identity) {
    std::string uri = "usb://" + percentEncode(identity.make, HostReserved) + "/" + percentEncode(identity.model);
    const bool otherInterface = identity.interfaceNumber > 0;
    if (!identity.serial.empty()) {
        uri += "?serial=" + percentEncode(identity.serial);
        if (otherInterface) uri += "&interface=" + std::to_string(identity.interfaceNumber);
    } else if (otherInterface) {
        uri += "?interface=" + std::to_string(identity.interfaceNumber);
    }
    return uri;
}

bool usbAddressMatches(const UsbAddress& asked, const UsbAddress& identity) {
    if (!equalNoCase(asked.make, identity.make) || !equalNoCase(asked.model, identity.model)) return false;
    if (!asked.serial.empty() && asked.serial != identity.serial) return false;
    if (asked.interfaceNumber >= 0 && asked.interfaceNumber != identity.interfaceNumber) return false;
    return true;
}

} // namespace brelmont::pjlhelper
