#include "sendfile/SendOperation.h"

#include "printer/CommandRunner.h"
#include "printer/ShellQuote.h"
#include "sendfile/LocalPath.h"

namespace brelmont::sendfile {

namespace {

// The shell's statuses for a command it could not run.
constexpr int ShellCannotExecute = 126;
constexpr int ShellNotFound = 127;

} // namespace

std::string sendCommand(std::string_view path, std::string_view queue) {
    std::string local = localPath(path);
    if (local.starts_with('-')) local.insert(0, "./");
    return "lpr -h -l -P " + printer::shellWord(queue) + " " + printer::shellDoubleQuoted(local);
}

SendOutcome send(std::string_view path, std::string_view queue, std::chrono::milliseconds limit,
                 const printer::SharedStop& stop) {
    using Status = SendOutcome::Status;
    using Run = printer::RunResult::Status;
    const printer::RunResult run =
        printer::CommandRunner::execute(sendCommand(path, queue), {.limit = limit, .stop = stop, .captureErrors = true});
    switch (run.status) {
    case Run::NotStarted: return {Status::NotStarted, run.failure()};
    case Run::Stopped: return {Status::Cancelled, "the send was cancelled"};
    case Run::TimedOut:
        return {Status::TimedOut, "lpr had not handed the job over after " + std::to_string(limit.count() / 1000) + " s"};
    case Run::TooMuchOutput: return {Status::Refused, run.reason};
    case Run::Ended: break;
    }
    if (run.exitCode == 0) return {Status::Queued, {}};
    if (run.exitCode == ShellNotFound || run.exitCode == ShellCannotExecute)
        return {Status::NotStarted, "lpr could not be started: " + run.failure()};
    return {Status::Refused, run.failure()};
}

} // namespace brelmont::sendfile
