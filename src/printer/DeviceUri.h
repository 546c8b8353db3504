// Device addresses compared as devices: "socket://host" and "socket://host:9100" are one embosser.
#pragma once

#include <string>
#include <string_view>

namespace brelmont::printer {

constexpr int DefaultSocketPort = 9100;

// The address with a lower-case scheme and, for socket:// addresses without one, the default port
// made explicit; any other address is returned as it is.
std::string normalizedDeviceUri(std::string_view uri);

// Whether two addresses name the same device.
bool sameDevice(std::string_view a, std::string_view b);

// Whether a device-listing line names the address as a whole blank- or quote-delimited word,
// compared as devices.
bool lineNamesDevice(std::string_view line, std::string_view deviceUri);

} // namespace brelmont::printer
