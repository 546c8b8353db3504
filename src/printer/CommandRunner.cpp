#include "printer/CommandRunner.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace brelmont::printer {

namespace {

// A spawned shell whose standard output goes to `outFd` (below 0: the program's own); standard input reads nothing, standard
// error is the program's own. Returns the child's pid, or -1 with `error` set.
pid_t spawnShell(const std::string& command, int outFd, std::string* error) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0) posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    const char* sh = CommandRunner::shell();
    char* const argv[] = {const_cast<char*>(sh), const_cast<char*>("-c"), const_cast<char*>(command.c_str()), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, sh, &actions, nullptr, argv, environ);
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

// Runs the command and appends its standard output to `out`.
template <class Buffer>
bool runInto(const std::string& command, Buffer& out, std::string* error) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        if (error) *error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    const pid_t pid = spawnShell(command, fds[1], error);
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0) out.insert(out.end(), buffer, buffer + n);
        else if (n == 0 || errno != EINTR) break;
    }
    close(fds[0]);
    reap(pid);
    return true;
}

} // namespace

const char* CommandRunner::shell() {
    static const char* const path = access("/bin/zsh", X_OK) == 0 ? "/bin/zsh" : "/bin/sh";
    return path;
}

std::optional<std::string> CommandRunner::run(const std::string& command, std::string* error) {
    std::string out;
    if (!runInto(command, out, error)) return std::nullopt;
    return out;
}

std::optional<std::vector<uint8_t>> CommandRunner::runForData(const std::string& command, std::string* error) {
    std::vector<uint8_t> out;
    if (!runInto(command, out, error)) return std::nullopt;
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
