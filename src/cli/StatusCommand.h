// brelmont-cli status: every embosser of the room with its model, firmware, state and ink.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

int runStatus(const std::vector<std::string>& args);

} // namespace brelmont::cli
