// Printer-class USB devices: the listing and the connection for exchanges.
#pragma once

#include "DeviceAddress.h"
#include "ListingLine.h"
#include "Transport.h"

#include <memory>
#include <vector>

namespace brelmont::pjlhelper {

// Every attached printer-class device that gives its device ID. Nothing when USB cannot be used
// at all (no libusb, no /dev/bus/usb in a container).
std::vector<ListedDevice> listUsbPrinters();

// Finds the printer the address names and claims its printer interface (taking it from the
// kernel's printer driver for as long as the transport lives). Throws TransportError.
std::unique_ptr<Transport> openUsbPrinter(const UsbAddress& address);

} // namespace brelmont::pjlhelper
