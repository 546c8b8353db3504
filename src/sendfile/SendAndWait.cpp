#include "sendfile/SendAndWait.h"

#include "printer/CommandRunner.h"
#include "sendfile/SendOperation.h"

#include <sys/wait.h>

namespace brelmont::sendfile {

namespace {

// The shell's statuses for a command it could not run.
constexpr int ShellCannotExecute = 126;
constexpr int ShellNotFound = 127;

SendOutcome outcomeOf(int status) {
    using Status = SendOutcome::Status;
    if (WIFSIGNALED(status)) return {Status::Refused, "lpr was ended by signal " + std::to_string(WTERMSIG(status))};
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code == 0) return {};
    if (code == ShellNotFound || code == ShellCannotExecute)
        return {Status::NotStarted, "lpr could not be started (status " + std::to_string(code) + ")"};
    return {Status::Refused, "lpr ended with status " + std::to_string(code)};
}

} // namespace

SendOutcome sendAndWait(std::string_view path, std::string_view queue, std::chrono::milliseconds limit) {
    // lpr hands the job to the scheduler and ends; a scheduler that does not answer must not hold
    // the caller for ever.
    std::string error;
    const auto waited = printer::CommandRunner::runAndWait(sendCommand(path, queue), limit, &error);
    using Outcome = printer::CommandRunner::Waited::Outcome;
    switch (waited.outcome) {
    case Outcome::Ended: return outcomeOf(waited.status);
    case Outcome::StillRunning:
        return {SendOutcome::Status::StillRunning,
                "lpr had not ended after " + std::to_string(limit.count() / 1000) + " s; it goes on by itself"};
    case Outcome::NotStarted: break;
    }
    return {SendOutcome::Status::NotStarted, error};
}

} // namespace brelmont::sendfile
