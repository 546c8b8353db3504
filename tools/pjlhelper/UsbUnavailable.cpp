// Stand-in used when the build found no libusb: USB printers are never listed nor reached.
#include "UsbPrinters.h"

namespace brelmont::pjlhelper {

std::vector<ListedDevice> listUsbPrinters() { return {}; }

std::unique_ptr<Transport> openUsbPrinter(const UsbAddress&) {
    throw TransportError("this pjlhelper was built without USB support");
}

} // namespace brelmont::pjlhelper
