// Runs a program as scripts run it, for tests: standard output, standard error and exit status.
#pragma once

#include <filesystem>
#include <string>

namespace brelmont::testing {

struct ProgramRun {
    int status = -1; // the exit status; -1 when the program did not end normally
    std::string out, err;
};

// Runs `program ARGS` through /bin/sh (arguments as written, quoted by the caller); standard
// error goes through a file in `scratch`.
ProgramRun runProgram(const std::string& program, const std::string& args, const std::filesystem::path& scratch);

} // namespace brelmont::testing
