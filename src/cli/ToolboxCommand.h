// brelmont-cli toolbox: the settings of an attached embosser, shown and changed as in its toolbox window.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

int runToolbox(const std::vector<std::string>& args);

} // namespace brelmont::cli
