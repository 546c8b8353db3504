#include "Server.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace brelmont::sim {

namespace {
int g_signalPipe[2] = {-1, -1};
std::atomic<bool> g_signalled = false;

void onSignal(int) {
    const char byte = 1;
    g_signalled = true;
    [[maybe_unused]] auto n = ::write(g_signalPipe[1], &byte, 1);
}

bool installSignals() {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

int listenOn(int port, std::string* error) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = std::strerror(errno);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
        *error = std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

int boundPort(int fd) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
}
} // namespace

int runServer(const ServerConfig& config, Device& device, Faults& faults, RequestLog& log) {
    std::string error;
    if (!installSignals()) {
        std::fprintf(stderr, "embosser-sim: cannot set up signals: %s\n", std::strerror(errno));
        return 1;
    }
    int listener = listenOn(config.port, &error);
    if (listener < 0) {
        std::fprintf(stderr, "embosser-sim: cannot listen on 127.0.0.1:%d: %s\n", config.port, error.c_str());
        return 1;
    }
    const int port = boundPort(listener);
    log.write(0, device.family().name + " listening on 127.0.0.1:" + std::to_string(port));
    std::printf("listening %d\n", port);
    std::fflush(stdout);

    std::atomic<bool> stopping = false;
    std::atomic<int> active = 0;
    const pid_t parent = ::getppid();
    int nextId = 1;
    const char* why = "signal";
    while (true) {
        pollfd fds[2] = {{listener, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
        const int r = ::poll(fds, 2, 200);
        if (r < 0 && errno != EINTR) break;
        if (fds[1].revents) break;
        if (config.exitWithParent && ::getppid() != parent) {
            why = "parent gone";
            break;
        }
        if (r <= 0 || !(fds[0].revents & POLLIN)) continue;
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++active;
        const bool last = faults.connectionsLeft() == 0;
        std::thread([fd, id = nextId++, &device, &faults, &log, &stopping, &active, idle = config.idleMs] {
            Connection(fd, id, {device, faults, log, stopping, idle}).run();
            --active;
        }).detach();
        if (last) {
            // Switched off: no new connection is taken, the last one is served to its end.
            why = "served its last connection";
            ::close(listener);
            listener = -1;
            while (active > 0 && !g_signalled) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            break;
        }
    }

    // Connections notice the flag within one poll interval; settings were saved as they changed.
    stopping = true;
    if (listener >= 0) ::close(listener);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (active > 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    log.write(0, std::string("stopped: ") + why);
    return 0;
}

} // namespace brelmont::sim
