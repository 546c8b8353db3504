// The USB part of the device listing.
#include "UsbLibusb.h"
#include "UsbPrinters.h"
#include "UsbUri.h"

namespace brelmont::pjlhelper {

std::vector<ListedDevice> listUsbPrinters() {
    std::vector<ListedDevice> listed;
    usb::Session session;
    if (!session.ok()) return listed;
    for (libusb_device* device : session) {
        auto printer = usb::openPrinter(device);
        if (!printer) continue;
        listed.push_back({usbDeviceUri(printer->identity), printer->deviceId, "USB"});
        usb::closePrinter(*printer);
    }
    return listed;
}

} // namespace brelmont::pjlhelper
