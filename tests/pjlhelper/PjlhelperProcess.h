// Runs the real pjlhelper binary as the application does, with its own environment.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::testing {

struct ProcessResult {
    int exitCode = -1; // -1 when it did not exit normally
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{0};
};

// Variables to set (a value) or remove (nullopt) in the inherited environment.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

// Runs pjlhelper with the arguments; a run longer than 30 s is killed and reported as such.
ProcessResult runPjlhelper(const std::vector<std::string>& arguments, const EnvironmentChanges& changes = {});

} // namespace brelmont::testing
