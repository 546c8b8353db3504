// brelmont-cli toolbox export and import: an embosser's settings as a profile file, and a profile
// applied to one embosser or to every one of a family, as its toolbox window's Apply would.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

int runToolboxExport(const std::vector<std::string>& args);
int runToolboxImport(const std::vector<std::string>& args);

} // namespace brelmont::cli
