// Runs a program as scripts run it, for tests: standard output, standard error and exit status.
#pragma once

#include "printer/CommandRunner.h"
#include "printer/ShellQuote.h"

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
inline ProgramRun runProgram(const std::string& program, const std::string& args) {
    using printer::RunResult;
    const auto start = std::chrono::steady_clock::now();
    const RunResult r = printer::CommandRunner::execute("exec /bin/sh -c " + printer::shellSingleQuoted(program + " " + args),
                                                        {.captureErrors = true});
    return {r.status == RunResult::Status::Ended ? r.exitCode : -1, r.out, r.errors,
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)};
}

} // namespace brelmont::testing
