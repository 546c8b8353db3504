// brelmont-cli toolbox table: a braille table file downloaded into an embosser's table slot.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

// The arguments after "toolbox table": [--queue QUEUE] [--slot N] FILE.
int runToolboxTable(const std::vector<std::string>& args);

} // namespace brelmont::cli
