// brelmont-cli setup: the embossers that have no print queue yet, and making their queues.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

// Exit 0 when the search ran (and the queues asked for were made), 1 when a typed address is no
// embosser of ours, the printing system could not be asked or a queue was not made, 2 for a
// wrong command line or an embosser number not offered.
int runSetup(const std::vector<std::string>& args);

} // namespace brelmont::cli
