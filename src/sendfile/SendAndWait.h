// The send operation for scripts: the same command line, but the caller learns whether lpr ran
// and took the job, within a time limit.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace brelmont::sendfile {

struct SendOutcome {
    enum class Status {
        Queued,       // lpr ended with status 0: the job is with the printing system
        NotStarted,   // the shell, or lpr itself, could not be started
        Refused,      // lpr ended with another status (it has said why on standard error)
        StillRunning, // lpr had not ended within the limit; it is left running
    };
    Status status = Status::Queued;
    std::string detail;
};

// Runs sendCommand(path, queue) with this program's standard output and error, and waits at most
// `limit` for it to end.
SendOutcome sendAndWait(std::string_view path, std::string_view queue, std::chrono::milliseconds limit);

} // namespace brelmont::sendfile
