// brelmont-cli firmware: the firmware update of the attached embosser, for scripts.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

int runFirmware(const std::vector<std::string>& args);

} // namespace brelmont::cli
