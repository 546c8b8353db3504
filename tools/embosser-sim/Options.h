// The command line of embosser-sim.
#pragma once

#include "Faults.h"

#include <filesystem>
#include <optional>
#include <string>

namespace brelmont::sim {

struct Options {
    std::string family;
    int port = 0; // 0: any free port
    std::filesystem::path state;
    std::filesystem::path store;
    std::filesystem::path jobs;
    std::filesystem::path log;
    std::string deviceId;
    FaultPlan faults;
    int idleMs = 30000;
    bool exitWithParent = false;
    bool help = false;
};

// None when the command line is wrong; `error` then says why.
std::optional<Options> parseOptions(int argc, char** argv, std::string* error);
std::string usage();

} // namespace brelmont::sim
