// Subcommands that reach the printing system and the embossers: printers, devices, query.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

int runPrinters(const std::vector<std::string>& args);
int runDevices(const std::vector<std::string>& args);
int runQuery(const std::vector<std::string>& args);

} // namespace brelmont::cli
