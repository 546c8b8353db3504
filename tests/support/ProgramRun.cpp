#include "ProgramRun.h"

#include "printer/CommandRunner.h"
#include "printer/ShellQuote.h"

namespace brelmont::testing {

ProgramRun runProgram(const std::string& program, const std::string& args) {
    using printer::RunResult;
    const RunResult r = printer::CommandRunner::execute("exec /bin/sh -c " + printer::shellSingleQuoted(program + " " + args),
                                                        {.captureErrors = true});
    return {r.status == RunResult::Status::Ended ? r.exitCode : -1, r.out, r.errors};
}

} // namespace brelmont::testing
