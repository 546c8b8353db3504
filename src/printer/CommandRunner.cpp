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

constexpr std::size_t MaxErrorBytes = 64 * 1024;

// A spawned shell whose standard output goes to `outFd` and standard error to `errFd` (below 0:
// the program's own); standard input reads nothing. The shell leads a process group of its own,
// so it can be stopped with everything it started. Returns the child's pid, or -1 with `error` set.
pid_t spawnShell(const std::string& command, int outFd, int errFd, std::string* error) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0) posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    if (errFd >= 0) posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The commands start with no signal blocked and the default handling, whatever this program
    // does with its own.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
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

int reap(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}

int exitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// Joins the running command to its stop signals for as long as it runs.
class Membership {
public:
    Membership(pid_t group, StopSignal* own) : m_group(group), m_own(own) {
        m_entered = StopSignal::program().enter(group);
        if (m_entered && m_own && !m_own->enter(group)) {
            StopSignal::program().leave(group);
            m_entered = false;
        }
    }
    ~Membership() {
        if (!m_entered) return;
        StopSignal::program().leave(m_group);
        if (m_own) m_own->leave(m_group);
    }
    bool entered() const { return m_entered; }

private:
    pid_t m_group;
    StopSignal* m_own;
    bool m_entered = false;
};

bool isStopped(const StopSignal* own) { return StopSignal::program().stopped() || (own && own->stopped()); }

} // namespace

std::string RunResult::failure() const {
    std::string_view text(errors);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.remove_suffix(1);
    const std::size_t lineStart = text.find_last_of('\n');
    const std::string_view last = lineStart == std::string_view::npos ? text : text.substr(lineStart + 1);
    if (!last.empty()) return std::string(last);
    if (!reason.empty()) return reason;
    if (status == Status::Ended) return "ended with status " + std::to_string(exitCode);
    return "did not run";
}

const char* CommandRunner::shell() {
    static const char* const path = access("/bin/zsh", X_OK) == 0 ? "/bin/zsh" : "/bin/sh";
    return path;
}

RunResult CommandRunner::execute(const std::string& command, const RunOptions& options) {
    RunResult result;
    StopSignal* own = options.stop.get();
    if (isStopped(own)) {
        result.status = RunResult::Status::Stopped;
        result.reason = "stopped before it started";
        return result;
    }
    int out[2] = {-1, -1}, err[2] = {-1, -1};
    if (pipe2(out, O_CLOEXEC) != 0 || (options.captureErrors && pipe2(err, O_CLOEXEC) != 0)) {
        result.reason = std::string("pipe: ") + std::strerror(errno);
        for (int fd : {out[0], out[1]})
            if (fd >= 0) close(fd);
        return result;
    }
    const pid_t pid = spawnShell(command, out[1], err[1], &result.reason);
    close(out[1]);
    if (err[1] >= 0) close(err[1]);
    if (pid < 0) {
        close(out[0]);
        if (err[0] >= 0) close(err[0]);
        return result;
    }
    const Membership member(pid, own);
    if (!member.entered()) kill(-pid, SIGKILL);

    const auto end = std::chrono::steady_clock::now() + options.limit;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = err[0] >= 0 ? 2 : 1;
    result.status = RunResult::Status::Ended;
    char buffer[65536];
    while (fds[0].fd >= 0 && member.entered()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.status = RunResult::Status::TimedOut;
            result.reason = "stopped after " + std::to_string(options.limit.count()) + " ms without an end";
            break;
        }
        const int polled = poll(fds, nfds_t(open), int(std::min<int64_t>(left.count(), 1000)));
        if (polled < 0 && errno != EINTR) break;
        for (int i = 0; i < open && polled > 0; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0 && i == 0) result.out.append(buffer, std::size_t(n));
            if (n > 0 && i == 1)
                result.errors.append(buffer,
                                     std::min(std::size_t(n), MaxErrorBytes - std::min(MaxErrorBytes, result.errors.size())));
            if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
                close(fds[i].fd);
                fds[i].fd = -1; // poll skips negative descriptors
            }
        }
        if (result.out.size() > options.maxOutput) {
            result.status = RunResult::Status::TooMuchOutput;
            result.reason = "more than " + std::to_string(options.maxOutput) + " bytes of output";
            result.out.resize(options.maxOutput);
            break;
        }
        if (isStopped(own)) break;
    }
    if (isStopped(own) || !member.entered()) {
        result.status = RunResult::Status::Stopped;
        result.reason = "stopped";
    }
    for (const pollfd& p : fds)
        if (p.fd >= 0) close(p.fd);
    // A command that closed its output but goes on running is waited for within the same limits.
    int status = 0;
    while (result.status == RunResult::Status::Ended) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            result.exitCode = exitCodeOf(status);
            return result;
        }
        if (done < 0 && errno != EINTR) break;
        if (isStopped(own)) {
            result.status = RunResult::Status::Stopped;
            result.reason = "stopped";
        } else if (std::chrono::steady_clock::now() >= end) {
            result.status = RunResult::Status::TimedOut;
            result.reason = "stopped after " + std::to_string(options.limit.count()) + " ms without an end";
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    kill(-pid, SIGKILL);
    reap(pid);
    return result;
}

std::optional<std::string> CommandRunner::run(const std::string& command, std::string* error, std::chrono::milliseconds limit) {
    RunResult result = execute(command, {.limit = limit});
    if (result.status != RunResult::Status::Ended) {
        if (error) *error = result.reason + ": " + command;
        return std::nullopt;
    }
    return std::move(result.out);
}

std::optional<std::vector<uint8_t>> CommandRunner::runForData(const std::string& command, std::string* error,
                                                              std::chrono::milliseconds limit) {
    const std::optional<std::string> out = run(command, error, limit);
    if (!out) return std::nullopt;
    return std::vector<uint8_t>(out->begin(), out->end());
}

bool CommandRunner::launch(const std::string& command, std::string* error) {
    if (StopSignal::program().stopped()) {
        if (error) *error = "the program is quitting";
        return false;
    }
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devNull < 0) {
        if (error) *error = std::string("/dev/null: ") + std::strerror(errno);
        return false;
    }
    const pid_t pid = spawnShell(command, devNull, -1, error);
    close(devNull);
    if (pid < 0) return false;
    std::thread([pid] { reap(pid); }).detach();
    return true;
}

} // namespace brelmont::printer
