// Subcommands that decode a job: info and dump.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

int runInfo(const std::vector<std::string>& args);
int runDump(const std::vector<std::string>& args);

} // namespace brelmont::cli
