#include "UsbLibusb.h"

#include "UsbUri.h"

#include <array>

namespace brelmont::pjlhelper::usb {

namespace {

constexpr std::uint8_t PrinterClass = 7;
constexpr std::uint8_t PrinterSubclass = 1;
constexpr std::uint8_t RequestGetDeviceId = 0;
constexpr unsigned ControlTimeoutMs = 1000;
constexpr std::uint8_t ClassRequestToInterface = static_cast<std::uint8_t>(LIBUSB_ENDPOINT_IN) |
                                                 static_cast<std::uint8_t>(LIBUSB_REQUEST_TYPE_CLASS) |
                                                 static_cast<std::uint8_t>(LIBUSB_RECIPIENT_INTERFACE);

// Higher is better: bidirectional (2), unidirectional (1), IEEE 1284.4 (3).
int protocolRank(std::uint8_t protocol) {
    switch (protocol) {
    case 2: return 3;
    case 1: return 2;
    case 3: return 1;
    default: return 0;
    }
}

// The interface setting's bulk endpoints; no OUT endpoint means nothing can be sent.
std::optional<PrinterInterface> endpointsOf(const libusb_interface_descriptor& setting) {
    PrinterInterface found;
    bool haveOut = false;
    for (int e = 0; e < setting.bNumEndpoints; ++e) {
        const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
        if ((endpoint.bmAttributes & 3) != LIBUSB_TRANSFER_TYPE_BULK) continue;
        if (endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN) {
            if (!found.endpointIn) {
                found.endpointIn = endpoint.bEndpointAddress;
                if (endpoint.wMaxPacketSize > 0) found.inPacketSize = endpoint.wMaxPacketSize;
            }
        } else if (!haveOut) {
            found.endpointOut = endpoint.bEndpointAddress;
            haveOut = true;
        }
    }
    if (!haveOut) return std::nullopt;
    found.interfaceNumber = setting.bInterfaceNumber;
    found.altSetting = setting.bAlternateSetting;
    return found;
}

// The device ID text, its two-byte length prefix removed. Some devices send the length
// little-endian, some count it wrongly; what came is trusted over a length that cannot be right.
std::string readDeviceId(libusb_device_handle* handle, const PrinterInterface& interface) {
    std::array<unsigned char, 2048> buffer{};
    const int got = libusb_control_transfer(handle, ClassRequestToInterface, RequestGetDeviceId, interface.configIndex,
                                            static_cast<std::uint16_t>((interface.interfaceNumber << 8) | interface.altSetting),
                                            buffer.data(), static_cast<std::uint16_t>(buffer.size()), ControlTimeoutMs);
    if (got <= 2) return {};
    int length = (buffer[0] << 8) | buffer[1];
    if (length < 2 || length > got) length = (buffer[1] << 8) | buffer[0];
    if (length < 2 || length > got) length = got;
    std::string id(reinterpret_cast<const char*>(buffer.data()) + 2, static_cast<std::size_t>(length - 2));
    while (!id.empty() && (id.back() == '\0' || id.back() == '\r' || id.back() == '\n')) id.pop_back();
    return id;
}

std::string descriptorSerial(libusb_device* device, libusb_device_handle* handle) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != 0 || descriptor.iSerialNumber == 0) return {};
    std::array<unsigned char, 256> text{};
    const int n =
        libusb_get_string_descriptor_ascii(handle, descriptor.iSerialNumber, text.data(), static_cast<int>(text.size()));
    return n > 0 ? std::string(reinterpret_cast<const char*>(text.data()), static_cast<std::size_t>(n)) : std::string();
}

} // namespace

Session::Session() {
    libusb_context* context = nullptr;
    if (const int rc = libusb_init(&context); rc != 0) {
        m_failure = libusb_error_name(rc);
        return;
    }
    m_context = context;
    libusb_set_option(m_context, LIBUSB_OPTION_LOG_LEVEL, LIBUSB_LOG_LEVEL_NONE);
    const ssize_t count = libusb_get_device_list(m_context, &m_devices);
    m_count = count > 0 ? static_cast<std::size_t>(count) : 0;
}

Session::~Session() {
    if (m_devices) libusb_free_device_list(m_devices, 1);
    if (m_context) libusb_exit(m_context);
}

std::optional<PrinterInterface> findPrinterInterface(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != 0) return std::nullopt;

    // Only the active configuration counts: switching another device's configuration to reach
    // a printer would disturb whatever else uses it.
    int activeValue = -1;
    if (libusb_config_descriptor* active = nullptr; libusb_get_active_config_descriptor(device, &active) == 0) {
        activeValue = active->bConfigurationValue;
        libusb_free_config_descriptor(active);
    }

    std::optional<PrinterInterface> best;
    int bestRank = 0;
    for (std::uint8_t c = 0; c < descriptor.bNumConfigurations; ++c) {
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_config_descriptor(device, c, &config) != 0) continue;
        if (activeValue >= 0 && config->bConfigurationValue != activeValue) {
            libusb_free_config_descriptor(config);
            continue;
        }
        for (int i = 0; i < config->bNumInterfaces; ++i) {
            const libusb_interface& interface = config->interface[i];
            for (int a = 0; a < interface.num_altsetting; ++a) {
                const libusb_interface_descriptor& setting = interface.altsetting[a];
                if (setting.bInterfaceClass != PrinterClass || setting.bInterfaceSubClass != PrinterSubclass) continue;
                const int rank = protocolRank(setting.bInterfaceProtocol);
                if (rank <= bestRank) continue;
                if (auto found = endpointsOf(setting)) {
                    found->configIndex = c;
                    found->configValue = config->bConfigurationValue;
                    best = found;
                    bestRank = rank;
                }
            }
        }
        libusb_free_config_descriptor(config);
    }
    return best;
}

std::optional<OpenedPrinter> openPrinter(libusb_device* device) {
    const auto interface = findPrinterInterface(device);
    if (!interface) return std::nullopt;

    OpenedPrinter printer;
    printer.interface = *interface;
    if (libusb_open(device, &printer.handle) != 0) return std::nullopt;
    libusb_set_auto_detach_kernel_driver(printer.handle, 1);
    printer.claimed = libusb_claim_interface(printer.handle, interface->interfaceNumber) == 0;
    if (printer.claimed && interface->altSetting != 0)
        libusb_set_interface_alt_setting(printer.handle, interface->interfaceNumber, interface->altSetting);

    printer.deviceId = readDeviceId(printer.handle, *interface);
    if (printer.deviceId.empty()) {
        closePrinter(printer);
        return std::nullopt;
    }
    printer.identity = usbIdentityOf(printer.deviceId, descriptorSerial(device, printer.handle), interface->interfaceNumber);
    return printer;
}

void closePrinter(OpenedPrinter& printer) {
    if (!printer.handle) return;
    if (printer.claimed) libusb_release_interface(printer.handle, printer.interface.interfaceNumber);
    libusb_close(printer.handle);
    printer.handle = nullptr;
    printer.claimed = false;
}

} // namespace brelmont::pjlhelper::usb
