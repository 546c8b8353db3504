// Programs a test runs beside itself (simulators, schedulers, daemons): started through the
// product's command runner with their output in a log file, watched through that file, and ended
// for sure.
#pragma once

#include "printer/CommandRunner.h"
#include "printer/ShellQuote.h"

#include "FileText.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

namespace brelmont::testing {

// Starts the command line `command` with its standard output and error in `log`. With `tied`,
// setpriv ends it when this process dies without stopping it. The pid (the shell execs the
// program), or -1 with `error` saying why. The log starts empty, so that a reader never takes an
// earlier run's lines for this one's.
inline int launchLogged(const std::string& command, const std::filesystem::path& log, std::string* error, bool tied = true) {
    const std::string pidFile = log.string() + ".pid";
    const bool setpriv = tied && ::access("/usr/bin/setpriv", X_OK) == 0;
    std::filesystem::remove(pidFile);
    std::filesystem::remove(log);
    if (!printer::CommandRunner::launch("echo $$ >" + printer::shellWord(pidFile) + "; exec " +
                                            (setpriv ? "/usr/bin/setpriv --pdeathsig TERM -- " : "") + command + " >" +
                                            printer::shellWord(log.string()) + " 2>&1",
                                        error))
        return -1;
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
         std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(std::chrono::milliseconds(5)))
        if (const int pid = std::atoi(fileText(pidFile).c_str()); pid > 0) return pid;
    *error = command + ": did not start";
    return -1;
}

// Whether `text` shows in the log within `limit`; false at once when the program has ended without it.
inline bool waitForLog(int pid, const std::filesystem::path& log, const std::string& text, std::chrono::milliseconds limit) {
    for (const auto deadline = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < deadline;
         std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
        const bool ended = ::kill(pid, 0) != 0;
        if (fileText(log).find(text) != std::string::npos) return true;
        if (ended) break;
    }
    return false;
}

// SIGTERM, then SIGKILL when it has not ended within `grace`.
inline void endProcess(int pid, std::chrono::milliseconds grace) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    for (const auto deadline = std::chrono::steady_clock::now() + grace; std::chrono::steady_clock::now() < deadline;
         std::this_thread::sleep_for(std::chrono::milliseconds(5)))
        if (::kill(pid, 0) != 0) return;
    ::kill(pid, SIGKILL);
}

} // namespace brelmont::testing
