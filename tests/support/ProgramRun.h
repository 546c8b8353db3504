// Runs a program as scripts run it, for tests: standard output, standard error and exit status.
#pragma once

#include <chrono>
#include <string>

namespace brelmont::testing {

struct ProgramRun {
    int status = -1; // the exit status (128 + N for signal N); -1 when it did not end on its own
    std::string out, err;
    std::chrono::milliseconds elapsed{0};
};

// Runs `program ARGS` through /bin/sh (arguments as written, quoted by the caller) with the
// product's command runner.
ProgramRun runProgram(const std::string& program, const std::string& args);

} // namespace brelmont::testing
