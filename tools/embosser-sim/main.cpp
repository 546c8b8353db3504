// embosser-sim: a simulated embosser of one family that speaks PJL over raw TCP on 127.0.0.1, for
// tests and demonstrations (README.md). Connections are served concurrently, one thread each.
#include "Device.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <tuple>
#include <utility>

namespace brelmont::sim {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::string_view UniversalExit = "\x1b%-12345X";
constexpr size_t BinaryCommandSize = 16; // ESC 0x80 and 14 more bytes
constexpr size_t MaxLine = 64 * 1024;
constexpr size_t MaxKept = 64 * 1024 * 1024; // of one connection, for its job file
constexpr int PollMs = 100;
constexpr auto IdleLimit = std::chrono::seconds(30);

std::atomic<bool> g_stopping = false;
std::atomic<int> g_active = 0; // connections being served
int g_signalPipe[2] = {-1, -1};

// The fault options: each counts down over the query replies or connections it spoils.
struct Faults {
    std::mutex mutex;
    int endless = 0;           // query replies
    int drop = 0, unasked = 0; // connections
    int serve = 0;             // after this many connections the embosser is gone (0: never)
    int resetAfter = -1;       // connections served before every later one is reset unread
    int delayMs = 0;           // before every reply

    bool take(int& left) {
        std::lock_guard lock(mutex);
        return left > 0 ? (--left, true) : false;
    }
    // Whether the next connection is reset unread: every one after the first resetAfter.
    bool resetNext() {
        std::lock_guard lock(mutex);
        if (resetAfter > 0) return --resetAfter, false;
        return resetAfter == 0;
    }
} g_faults;

// The value of "KEY=" in a PJL line: a quoted text or a word.
std::string argument(std::string_view line, std::string_view key) {
    const size_t at = upper(line).find(upper(key) + "=");
    if (at == std::string::npos) return {};
    std::string_view rest = trim(line.substr(at + key.size() + 1));
    if (rest.starts_with('"')) return std::string(rest.substr(1, rest.find('"', 1) - 1));
    return std::string(rest.substr(0, rest.find(' ')));
}

void pause(int ms) {
    for (const auto until = Clock::now() + std::chrono::milliseconds(ms); Clock::now() < until && !g_stopping;)
        std::this_thread::sleep_for(std::min<Clock::duration>(until - Clock::now(), std::chrono::milliseconds(20)));
}

// One client connection: cuts its bytes into PJL lines, universal exits, binary commands, counted
// downloads and everything else (print jobs, firmware), which is data up to the next universal
// exit; bytes may arrive in any pieces. Replies go out as soon as their query is complete. It ends
// when the client closes (or half-closes), is quiet too long, a fault cuts it, or the simulator stops.
class Connection {
public:
    Connection(int fd, int id, Device& device) : m_fd(fd), m_id(id), m_device(device) {
        const timeval sendTimeout{5, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
    }

    // Ends our side first and lets the client read to the end, so that it sees an orderly close
    // rather than a reset that could swallow the last reply.
    ~Connection() {
        if (m_fd < 0) return;
        ::shutdown(m_fd, SHUT_WR);
        char buf[4096];
        for (const auto deadline = Clock::now() + std::chrono::seconds(1); Clock::now() < deadline && !g_stopping;) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, PollMs) > 0 && ::recv(m_fd, buf, sizeof buf, 0) <= 0) break;
        }
        ::close(m_fd);
    }

    void run() {
        // Dropped: closed in order, without a word; reset: closed with the request unread.
        if (g_faults.take(g_faults.drop)) return log(m_id, "connection dropped without a reply");
        if (g_faults.resetNext()) {
            // Closed with the client's bytes unread and no lingering: the client's side sees a reset.
            pollfd p{m_fd, POLLIN, 0};
            ::poll(&p, 1, 2000);
            const linger now{1, 0};
            ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
            log(m_id, "connection reset unread");
            ::close(std::exchange(m_fd, -1));
            return;
        }
        log(m_id, "connection opened");
        if (g_faults.take(g_faults.unasked)) {
            log(m_id, "fault: status report sent unasked");
            send("@PJL USTATUS DEVICE\r\nCODE=10001\r\n\f");
        }
        const std::string why = serve();
        if (m_data) std::fclose(m_data);
        // Every byte of a connection that brought data, the PJL lines around it too, so that a whole
        // job can be decoded.
        if (m_dataBytes > 0 && !m_jobPath.empty() && m_kept.size() <= MaxKept)
            std::ofstream(m_jobPath, std::ios::binary) << m_kept;
        else m_jobPath.clear();
        if (m_dataBytes > 0)
            log(m_id, std::to_string(m_dataBytes) + " bytes of data " +
                          (m_dataPath.empty() ? "received, no store" : "stored in " + m_dataPath.filename().string()) +
                          (m_jobPath.empty() ? "" : ", the whole connection in " + m_jobPath.filename().string()));
        log(m_id, "connection closed: " + why);
    }

private:
    enum class Mode { Command, Data, Download };

    // Reads until the connection ends; why it ended.
    std::string serve() {
        char buf[64 * 1024];
        for (auto lastActivity = Clock::now(); !m_ended;) {
            if (g_stopping) return "simulator stopping";
            pollfd p{m_fd, POLLIN, 0};
            const int r = ::poll(&p, 1, PollMs);
            if (r < 0 && errno != EINTR) return "poll failed";
            if (r == 0 && Clock::now() - lastActivity > IdleLimit) return "client quiet too long";
            const ssize_t n = r > 0 ? ::recv(m_fd, buf, sizeof buf, 0) : -1;
            if (n < 0 && r > 0 && errno != EINTR && errno != EAGAIN) return "connection reset";
            // The client sent its last byte: whatever is pending is decided now; a download cut short
            // is not stored, and the log says so.
            if (n == 0) {
                while (step(true)) {}
                if (m_mode == Mode::Download && !m_ended)
                    log(m_id, "download \"" + printable(m_downloadName) + "\" ended after " +
                                  std::to_string(m_downloadBytes.size()) + " bytes, not stored");
                break;
            }
            if (n < 0) continue;
            if (m_kept.size() <= MaxKept) m_kept.append(buf, size_t(n)); // beyond it, no job file is made
            m_buf.append(buf, size_t(n));
            while (step(false)) {}
            m_buf.erase(0, std::exchange(m_pos, 0));
            lastActivity = Clock::now();
        }
        return m_ended ? "connection ended" : "client closed";
    }

    // One decision on the bytes held; false when none can be made before more bytes come. What
    // starts nothing known begins data.
    bool step(bool atEnd) {
        const std::string_view rest = std::string_view(m_buf).substr(m_pos);
        if (m_mode == Mode::Download) {
            const size_t take = std::min(rest.size(), m_downloadLeft);
            m_downloadBytes.append(rest.substr(0, take));
            m_pos += take;
            m_downloadLeft -= take;
            if (m_downloadLeft > 0) return false;
            m_mode = Mode::Command;
            if (!m_ended) m_device.download(m_id, m_downloadName, m_downloadBytes);
            return true;
        }
        if (rest.empty()) return false;
        if (m_mode == Mode::Data) return stepData(rest, atEnd);
        if (std::string_view(" \t\r\n\f").find(rest[0]) != std::string_view::npos) return ++m_pos, true;
        if (rest[0] == '@') {
            if (rest.size() < 4 && !atEnd) return false;
            if (upper(rest.substr(0, 4)) == "@PJL") {
                const size_t end = std::min(rest.find('\n'), rest.size());
                if (end == rest.size() && !atEnd && rest.size() < MaxLine) return false;
                std::string line(rest.substr(0, end));
                m_pos += std::min(end + 1, rest.size());
                std::erase(line, '\r');
                pjlLine(line);
                return true;
            }
        } else if (rest[0] == '\x1b') {
            const size_t n = std::min(rest.size(), UniversalExit.size());
            if (rest.substr(0, n) == UniversalExit.substr(0, n)) { // a universal exit, or the start of one
                if (n == UniversalExit.size()) return m_pos += n, true;
                if (!atEnd) return false;
            } else if (m_device.family().binaryVersionRequest && rest.size() >= 2 && rest[1] == '\x80') {
                if (rest.size() < BinaryCommandSize && !atEnd) return false;
                if (rest.size() >= BinaryCommandSize) {
                    m_pos += BinaryCommandSize;
                    const auto reply = m_ended ? std::nullopt : m_device.binaryCommand(m_id, rest.substr(0, BinaryCommandSize));
                    if (reply) pause(g_faults.delayMs);
                    if (reply) send(*reply);
                    return true;
                }
            }
        }
        m_mode = Mode::Data;
        return true;
    }

    // Data runs up to the next universal exit; a tail that may begin one is held back.
    bool stepData(std::string_view rest, bool atEnd) {
        const size_t exit = rest.find(UniversalExit);
        size_t keep = 0;
        for (size_t k = std::min(rest.size(), UniversalExit.size() - 1); k > 0 && !atEnd && keep == 0; --k)
            if (rest.ends_with(UniversalExit.substr(0, k))) keep = k;
        const size_t length = exit == std::string_view::npos ? rest.size() - keep : exit;
        if (length > 0 && !m_ended) {
            if (m_dataBytes == 0) {
                std::tie(m_dataPath, m_jobPath) = m_device.newReceivedFiles();
                if (!m_dataPath.empty()) m_data = std::fopen(m_dataPath.c_str(), "wb");
            }
            m_dataBytes += length;
            if (m_data) std::fwrite(rest.data(), 1, length, m_data);
        }
        m_pos += length;
        if (exit == std::string_view::npos) return false;
        m_pos += UniversalExit.size();
        m_mode = Mode::Command;
        return true;
    }

    // A few PJL lines change how the bytes after them are read.
    void pjlLine(const std::string& line) {
        const auto reply = m_ended ? std::nullopt : m_device.pjlLine(m_id, line);
        const std::string_view command = trim(std::string_view(line).substr(4));
        const std::string word = upper(command.substr(0, command.find(' ')));
        if (word == "FSDOWNLOAD") {
            m_downloadName = argument(line, "NAME");
            m_downloadLeft = size_t(std::max(0LL, parseNumber(argument(line, "SIZE")).value_or(0)));
            m_downloadBytes.clear();
            m_mode = Mode::Download;
        } else if (word == "ENTER") {
            m_mode = Mode::Data;
        }
        if (!reply) return;
        pause(g_faults.delayMs);
        if (g_faults.take(g_faults.endless)) {
            log(m_id, "fault: endless reply");
            while (!m_ended && !g_stopping) send(std::string(64 * 1024, 'X'));
            m_ended = true;
            return;
        }
        std::string out =
            reply->header + (reply->counted ? " [" + std::to_string(reply->lines.size()) + " ENTRIES]" : "") + "\r\n";
        for (const std::string& l : reply->lines) out += l + "\r\n";
        send(out + "\f");
    }

    void send(std::string_view bytes) {
        while (!bytes.empty() && !m_ended) {
            const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) m_ended = true;
            else bytes.remove_prefix(size_t(n));
        }
    }

    int m_fd, m_id;
    Device& m_device;
    bool m_ended = false; // nothing more is read or written
    std::string m_buf;    // bytes not yet decided on, from m_pos
    size_t m_pos = 0;
    Mode m_mode = Mode::Command;
    std::string m_downloadName, m_downloadBytes;
    size_t m_downloadLeft = 0;
    FILE* m_data = nullptr;
    fs::path m_dataPath, m_jobPath;
    size_t m_dataBytes = 0;
    std::string m_kept; // every byte of the connection, for its job file
};

int listenOn(int port, const std::string& family) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(uint16_t(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        std::fprintf(stderr, "embosser-sim: cannot listen on 127.0.0.1:%d: %s\n", port, std::strerror(errno));
        std::exit(1);
    }
    log(0, family + " listening on 127.0.0.1:" + std::to_string(ntohs(addr.sin_port)));
    std::printf("listening %d\n", ntohs(addr.sin_port));
    std::fflush(stdout);
    return fd;
}

// Serves each connection on a thread of its own until SIGTERM or SIGINT, until the process that
// started it is gone (with exitWithParent), or until the last connection of --serve has ended.
void serve(int listener, Device& device, bool exitWithParent) {
    const pid_t parent = ::getppid();
    std::string why = "signal";
    for (int nextId = 1;; ++nextId) {
        pollfd fds[2] = {{listener, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
        const int r = ::poll(fds, 2, 200);
        if ((r < 0 && errno != EINTR) || fds[1].revents) break;
        if (exitWithParent && ::getppid() != parent) {
            why = "parent gone";
            break;
        }
        const int fd = r > 0 && (fds[0].revents & POLLIN) ? ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC) : -1;
        if (fd < 0) continue;
        ++g_active;
        std::thread([fd, nextId, &device] {
            Connection(fd, nextId, device).run();
            --g_active;
        }).detach();
        if (g_faults.serve > 0 && --g_faults.serve == 0) {
            // Switched off: no new connection is taken, the last one is served to its end.
            why = "served its last connection";
            ::close(std::exchange(listener, -1));
            while (g_active > 0 && fds[1].revents == 0 && ::poll(&fds[1], 1, 10) >= 0) {}
            break;
        }
    }
    // Connections notice within one poll interval; settings were saved as they changed.
    g_stopping = true;
    if (listener >= 0) ::close(listener);
    for (const auto deadline = Clock::now() + std::chrono::seconds(2); g_active > 0 && Clock::now() < deadline;)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    log(0, "stopped: " + why);
}

} // namespace
} // namespace brelmont::sim

using namespace brelmont::sim;

int main(int argc, char** argv) {
    std::string family, deviceId, state, store, jobs, logPath, error;
    int port = 0;
    bool exitWithParent = false;
    const std::map<std::string, std::string*> texts = {{"--family", &family}, {"--device-id", &deviceId}, {"--state", &state},
                                                       {"--store", &store},   {"--jobs", &jobs},          {"--log", &logPath}};
    const std::map<std::string, std::pair<int*, int>> numbers = {{"--port", {&port, 65535}},
                                                                 {"--delay", {&g_faults.delayMs, 600'000}},
                                                                 {"--drop", {&g_faults.drop, 1'000'000}},
                                                                 {"--endless", {&g_faults.endless, 1'000'000}},
                                                                 {"--serve", {&g_faults.serve, 1'000'000}},
                                                                 {"--unasked", {&g_faults.unasked, 1'000'000}},
                                                                 {"--reset-after", {&g_faults.resetAfter, 1'000'000}}};
    for (int i = 1; i < argc && error.empty(); ++i) {
        const std::string arg = argv[i];
        if (arg == "--exit-with-parent") exitWithParent = true;
        else if (i + 1 >= argc) error = "missing value after " + arg;
        else if (texts.count(arg)) *texts.at(arg) = argv[++i];
        else if (!numbers.count(arg)) error = "unknown option " + arg;
        else if (const auto n = parseNumber(argv[++i]); n && *n >= 0 && *n <= numbers.at(arg).second)
            *numbers.at(arg).first = int(*n);
        else error = "not a number from 0 to " + std::to_string(numbers.at(arg).second) + " after " + arg;
    }
    if (error.empty() && !findFamily(family)) error = "unknown family \"" + family + "\"";
    if (!error.empty()) {
        std::fprintf(stderr,
                     "embosser-sim: %s\nusage: embosser-sim --family %s [--port P] [--state FILE] [--store DIR] [--jobs DIR]\n"
                     "    [--log FILE] [--device-id TEXT] [--delay MS] [--drop N] [--endless N]\n"
                     "    [--serve N] [--unasked N] [--reset-after N] [--exit-with-parent]\n",
                     error.c_str(), familyNames().c_str());
        return 2;
    }
    if (!logPath.empty() && !(g_log = std::fopen(logPath.c_str(), "a"))) {
        std::fprintf(stderr, "embosser-sim: cannot open log %s\n", logPath.c_str());
        return 1;
    }
    Device device(*findFamily(family), deviceId, state, store, jobs);
    if (!device.start(&error)) {
        std::fprintf(stderr, "embosser-sim: %s\n", error.c_str());
        return 1;
    }
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return 1;
    struct sigaction sa {};
    sa.sa_handler = [](int) { [[maybe_unused]] auto n = ::write(g_signalPipe[1], "x", 1); };
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    serve(listenOn(port, family), device, exitWithParent);
    // Connection threads may still be winding down; nothing of theirs needs to be destroyed.
    std::fflush(nullptr);
    std::_Exit(0);
}
