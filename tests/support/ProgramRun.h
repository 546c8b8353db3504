// Runs a program as scripts run it, for tests: standard output, standard error and exit status.
#pragma once

#include <filesystem>
#include <string>

namespace brelmont::testing {

struct ProgramRun {
    int status = -1; // the exit status (128 + N for signal N); -1 when it did not end on its own
    std::string out, err;
};

// Runs `program ARGS` through /bin/sh (arguments as written, quoted by the caller) with the
// product's command runner. `scratch` is no longer needed and kept for the callers.
ProgramRun runProgram(const std::string& program, const std::string& args, const std::filesystem::path& scratch = {});

} // namespace brelmont::testing
