// What the USB listing and the USB transport share: libusb sessions, finding the printer
// interface of a device and asking it for its device ID.
#pragma once

#include "DeviceAddress.h"

#include <libusb.h>

#include <cstdint>
#include <optional>
#include <string>

namespace brelmont::pjlhelper::usb {

// A libusb context with its device list; both released on destruction.
class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool ok() const { return m_context != nullptr; }
    const char* failure() const { return m_failure; }
    libusb_context* context() const { return m_context; }
    libusb_device** begin() const { return m_devices; }
    libusb_device** end() const { return m_devices + m_count; }

private:
    libusb_context* m_context = nullptr;
    libusb_device** m_devices = nullptr;
    std::size_t m_count = 0;
    const char* m_failure = "";
};

// The best printer-class interface of a device: bidirectional before unidirectional before
// IEEE 1284.4, as only the first gives both a bulk OUT and a bulk IN endpoint for PJL.
struct PrinterInterface {
    std::uint8_t configIndex = 0;
    std::uint8_t configValue = 0;
    std::uint8_t interfaceNumber = 0;
    std::uint8_t altSetting = 0;
    std::uint8_t endpointOut = 0;
    std::optional<std::uint8_t> endpointIn;
    std::uint16_t inPacketSize = 64;
};

std::optional<PrinterInterface> findPrinterInterface(libusb_device* device);

// An opened printer: its handle, the interface claimed, and what it calls itself.
struct OpenedPrinter {
    libusb_device_handle* handle = nullptr;
    PrinterInterface interface;
    bool claimed = false;
    std::string deviceId;
    UsbAddress identity; // make, model, serial and interface as its address names them
};

// Opens the device, claims its printer interface (detaching the kernel driver meanwhile) and
// reads its device ID by the printer class request GET_DEVICE_ID. Nothing when any step fails.
std::optional<OpenedPrinter> openPrinter(libusb_device* device);

// Releases the interface (the kernel driver comes back) and closes the handle.
void closePrinter(OpenedPrinter& printer);

} // namespace brelmont::pjlhelper::usb
