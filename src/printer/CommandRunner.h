// The one way the program starts another program: a command line run by the shell, with its
// standard output collected.
#pragma once

#include "printer/StopSignal.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::printer {

// How one command may run.
struct RunOptions {
    // A command that has not closed its output by then is stopped: a printing system or device
    // that never answers must not hold a window for ever.
    std::chrono::milliseconds limit = std::chrono::minutes(2);       // as CommandRunner::TimeLimit
    SharedStop stop = {};                                            // Cancel: ends the command at once
    std::size_t maxOutput = std::numeric_limits<std::size_t>::max(); // more ends the command
    bool captureErrors = false; // collect standard error (else it goes to this program's own)
};

// How a command ended and what it wrote.
struct RunResult {
    enum class Status {
        Ended,         // it closed its output and ended; exitCode says how
        NotStarted,    // the shell could not be started (or the work was stopped before)
        TimedOut,      // stopped at the time limit
        Stopped,       // stopped by its stop signal or the program quitting
        TooMuchOutput, // stopped when its output passed the limit
    };
    Status status = Status::NotStarted;
    int exitCode = -1; // for Ended: the exit status, or 128 + the signal that ended it
    std::string out;
    std::string errors; // standard error, when captured (its first 64 KiB)
    std::string reason; // why it did not end on its own

    bool succeeded() const { return status == Status::Ended && exitCode == 0; }
    // What went wrong in one line: the command's own last error line, else the reason.
    std::string failure() const;
};

class CommandRunner {
public:
    static constexpr std::chrono::milliseconds TimeLimit = std::chrono::minutes(2);

    // Runs the command line through the shell in a process group of its own and waits until it
    // has closed its output and ended, or one of the options stops it.
    static RunResult execute(const std::string& command, const RunOptions& options = {});

    // The command's whole standard output, bytes passed through as they are; none when the shell
    // could not be started or the command was stopped at `limit` (`error` then says why). The
    // exit status plays no part.
    static std::optional<std::string> run(const std::string& command, std::string* error = nullptr,
                                          std::chrono::milliseconds limit = TimeLimit);
    static std::optional<std::vector<uint8_t>> runForData(const std::string& command, std::string* error = nullptr,
                                                          std::chrono::milliseconds limit = TimeLimit);

    // Starts the command and returns at once. Its output goes nowhere, so a chatty command never
    // blocks on a pipe nobody reads, and it is reaped when it ends.
    static bool launch(const std::string& command, std::string* error = nullptr);

    // The shell that runs command lines: /bin/zsh, or /bin/sh where zsh is absent.
    static const char* shell();
};

} // namespace brelmont::printer
