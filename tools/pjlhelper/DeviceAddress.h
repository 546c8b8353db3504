// The device addresses pjlhelper understands: socket://HOST[:PORT] and usb://MAKE/MODEL?serial=…
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace brelmont::pjlhelper {

inline constexpr std::uint16_t DefaultRawPort = 9100;

struct SocketAddress {
    std::string host; // without the brackets of an IPv6 literal
    std::uint16_t port = DefaultRawPort;
};

// The parts of a usb:// address, escapes undone. Empty serial or interface -1 when absent.
struct UsbAddress {
    std::string make;
    std::string model;
    std::string serial;
    int interfaceNumber = -1;
};

using DeviceAddress = std::variant<SocketAddress, UsbAddress>;

// A malformed address or an unknown scheme; what() says why.
class AddressError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Parses a device address as a CUPS queue's device-uri holds it. Throws AddressError.
DeviceAddress parseDeviceAddress(std::string_view uri);

} // namespace brelmont::pjlhelper
