// Which network embossers the listing asks: USB devices announce themselves, network ones must
// be named.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::pjlhelper {

// BRELMONT_DEVICES (blank-separated addresses) when it is set, even to nothing; otherwise the
// devices file. A missing file names no devices.
std::vector<std::string> configuredDeviceUris();

// $XDG_CONFIG_HOME/brelmont/devices, or ~/.config/brelmont/devices.
std::filesystem::path devicesFilePath();

std::vector<std::string> splitAtBlanks(std::string_view text);

// One address a line; blank lines and lines starting with "#" are skipped.
std::vector<std::string> parseDevicesFile(std::string_view content);

} // namespace brelmont::pjlhelper
