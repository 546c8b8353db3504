// brelmont-cli testpage QUEUE: prints the test page on one of the maker's queues.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

int runTestPage(const std::vector<std::string>& args);

} // namespace brelmont::cli
