// The options subcommand: a queue's option list as the preferences window builds it.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

int runOptions(const std::vector<std::string>& args);

} // namespace brelmont::cli
