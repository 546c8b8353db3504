// The one way the program starts another program: a command line run by the shell, with its
// standard output collected.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::printer {

class CommandRunner {
public:
    // A command that has not closed its output by then is stopped: a printing system or device
    // that never answers must not hold a window for ever.
    static constexpr std::chrono::milliseconds TimeLimit{std::chrono::minutes(2)};

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

    // Runs the command with this program's own standard output and error and waits at most
    // `limit` for it to end. A command still running then goes on by itself and is reaped later.
    struct Waited {
        enum class Outcome { NotStarted, Ended, StillRunning } outcome = Outcome::NotStarted;
        int status = 0; // the wait status, when it ended
    };
    static Waited runAndWait(const std::string& command, std::chrono::milliseconds limit, std::string* error = nullptr);

    // The shell that runs command lines: /bin/zsh, or /bin/sh where zsh is absent.
    static const char* shell();
};

} // namespace brelmont::printer
