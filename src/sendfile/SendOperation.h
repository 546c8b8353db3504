// The send operation both send windows and the command line end in: the file goes unchanged (raw,
// no banner page) to a print queue through lpr, and the caller learns whether the queue took it.
#pragma once

#include "printer/StopSignal.h"

#include <chrono>
#include <string>
#include <string_view>

namespace brelmont::sendfile {

// "lpr -h -l -P QUEUE "PATH"": a "file://" URL stands for its local path. Queue and path are quoted
// only where they need it, so each arrives as one literal argument; a relative path that would read
// as an option gets a leading "./".
std::string sendCommand(std::string_view path, std::string_view queue);

struct SendOutcome {
    enum class Status {
        Queued,     // lpr ended with status 0: the job is with the printing system
        NotStarted, // the shell, or lpr itself, could not be started
        Refused,    // lpr ended with another status; `detail` holds its own message
        TimedOut,   // lpr had not ended within the limit and was stopped
        Cancelled,  // the user stopped it
    };
    Status status = Status::NotStarted; // nothing counts as sent until lpr said so
    std::string detail;

    bool queued() const { return status == Status::Queued; }
};

// Runs sendCommand(path, queue) and waits for lpr to hand the job over, at most `limit` (a
// scheduler that does not answer must not hold the caller for ever).
SendOutcome send(std::string_view path, std::string_view queue, std::chrono::milliseconds limit = std::chrono::minutes(2),
                 const printer::SharedStop& stop = {});

} // namespace brelmont::sendfile
