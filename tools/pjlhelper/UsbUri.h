// usb:// device addresses, formed exactly as the CUPS usb backend forms them so that a listing
// line contains the device-uri of the queue that leads to the same embosser.
#pragma once

#include "DeviceAddress.h"

#include <string>
#include <string_view>

namespace brelmont::pjlhelper {

// Make, model and serial of a USB printer as its address names them (escapes undone).
// The serial comes from the device ID (SERIALNUMBER, SERN or SN), else from the USB descriptor.
UsbAddress usbIdentityOf(std::string_view deviceId, std::string_view descriptorSerial, int interfaceNumber);

// usb://MAKE/MODEL?serial=SERIAL, with "interface=N" added for a printer interface other than 0.
std::string usbDeviceUri(const UsbAddress& identity);

// Whether a printer with this identity is the one an address asks for. Make and model compare
// without regard to case; the serial and interface only when the address names them.
bool usbAddressMatches(const UsbAddress& asked, const UsbAddress& identity);

} // namespace brelmont::pjlhelper
