#include "ProgramRun.h"

#include "printer/CommandRunner.h"
#include "printer/ShellQuote.h"

namespace brelmont::testing {

ProgramRun runProgram(const std::string& program, const std::string& args) {
    using printer::RunResult;
    const auto start = std::chrono::steady_clock::now();
    const RunResult r = printer::CommandRunner::execute("exec /bin/sh -c " + printer::shellSingleQuoted(program + " " + args),
                                                        {.captureErrors = true});
    return {r.status == RunResult::Status::Ended ? r.exitCode : -1, r.out, r.errors,
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)};
}

} // namespace brelmont::testing
