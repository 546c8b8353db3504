#include "printer/CommandRunner.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace brelmont::printer {

namespace {

// A spawned shell whose standard output goes to `outFd` (below 0: the program's own); standard input
// reads nothing, standard error is the program's own. With `ownGroup` the shell leads a process
// group of its own, so it can be stopped with everything it started. Returns the child's pid, or
// -1 with `error` set.
pid_t spawnShell(const std::string& command, int outFd, std::string* error, bool ownGroup = false) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0) posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (ownGroup) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    const char* sh = CommandRunner::shell();
    char* const argv[] = {const_cast<char*>(sh), const_cast<char*>("-c"), const_cast<char*>(command.c_str()), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, sh, &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        if (error) *error = std::string(sh) + ": " + std::strerror(rc);
        return -1;
    }
    return pid;
}

void reap(pid_t pid) {
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Runs the command and appends its standard output to `out`, stopping it at `limit`.
template <class Buffer>
bool runInto(const std::string& command, Buffer& out, std::string* error, std::chrono::milliseconds limit) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        if (error) *error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    const pid_t pid = spawnShell(command, fds[1], error, true);
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return false;
    }
    const auto end = std::chrono::steady_clock::now() + limit;
    bool finished = false;
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd ready{fds[0], POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(std::min<int64_t>(left.count(), 60000)));
        if (polled < 0 && errno != EINTR) break;
        if (polled <= 0) continue;
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0) out.insert(out.end(), buffer, buffer + n);
        else if (n == 0 || errno != EINTR) {
            finished = true;
            break;
        }
    }
    close(fds[0]);
    if (!finished) {
        kill(-pid, SIGKILL);
        if (error) *error = "stopped after " + std::to_string(limit.count() / 1000) + " s without an end: " + command;
    }
    reap(pid);
    return finished;
}

} // namespace

const char* CommandRunner::shell() {
    static const char* const path = access("/bin/zsh", X_OK) == 0 ? "/bin/zsh" : "/bin/sh";
    return path;
}

std::optional<std::string> CommandRunner::run(const std::string& command, std::string* error,
                                              std::chrono::milliseconds limit) {
    std::string out;
    if (!runInto(command, out, error, limit)) return std::nullopt;
    return out;
}

std::optional<std::vector<uint8_t>> CommandRunner::runForData(const std::string& command, std::string* error,
                                                             std::chrono::milliseconds limit) {
    std::vector<uint8_t> out;
    if (!runInto(command, out, error, limit)) return std::nullopt;
    return out;
}

bool CommandRunner::launch(const std::string& command, std::string* error) {
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devNull < 0) {
        if (error) *error = std::string("/dev/null: ") + std::strerror(errno);
        return false;
    }
    const pid_t pid = spawnShell(command, devNull, error);
    close(devNull);
    if (pid < 0) return false;
    std::thread(reap, pid).detach();
    return true;
}

CommandRunner::Waited CommandRunner::runAndWait(const std::string& command, std::chrono::milliseconds limit,
                                               std::string* error) {
    const pid_t pid = spawnShell(command, -1, error);
    if (pid < 0) return {};
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return {Waited::Outcome::Ended, status};
        if (done < 0 && errno != EINTR) {
            if (error) *error = std::string("waitpid: ") + std::strerror(errno);
            return {};
        }
        if (std::chrono::steady_clock::now() >= end) {
            std::thread(reap, pid).detach();
            return {Waited::Outcome::StillRunning, 0};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace brelmont::printer
