#include "TcpResponder.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace brelmont::testing {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(left);
}

// A listening socket on 127.0.0.1 at a free port.
int listenOnLoopback(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

Peer::Peer(int fd, int stopFd, std::function<void(std::string_view)> record)
    : m_fd(fd), m_stopFd(stopFd), m_record(std::move(record)) {}

bool Peer::readSome(Clock::time_point deadline) {
    if (m_closed) return false;
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
    const int n = ::poll(fds, 2, millisecondsUntil(deadline));
    // Bytes already here are read even when stopping, so received() holds all that was sent.
    if (n <= 0 || !(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) return false;
    char buffer[4096];
    const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, 0);
    if (got <= 0) {
        m_closed = true;
        return false;
    }
    m_received.append(buffer, static_cast<std::size_t>(got));
    m_record(std::string_view(buffer, static_cast<std::size_t>(got)));
    return true;
}

bool Peer::readUntil(std::string_view marker, milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (m_received.find(marker) == std::string::npos)
        if (!readSome(deadline)) return false;
    return true;
}

void Peer::readFor(milliseconds duration) {
    const auto deadline = Clock::now() + duration;
    while (readSome(deadline)) {
    }
}

void Peer::waitForClose(milliseconds timeout) { readFor(timeout); }

void Peer::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void Peer::pause(milliseconds duration) {
    pollfd stop{m_stopFd, POLLIN, 0};
    ::poll(&stop, 1, static_cast<int>(duration.count()));
}

TcpResponder::TcpResponder(Script script) : m_script(std::move(script)) {
    m_listenFd = listenOnLoopback(m_port);
    if (::pipe2(m_stopPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    m_thread = std::thread([this] { serve(); });
}

TcpResponder::~TcpResponder() {
    stop();
    ::close(m_stopPipe[0]);
    ::close(m_stopPipe[1]);
}

void TcpResponder::stop() {
    if (!m_thread.joinable()) return;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_stopPipe[1], &byte, 1);
    m_thread.join();
    ::close(m_listenFd);
    m_listenFd = -1;
}

void TcpResponder::serve() {
    for (;;) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
        if (fds[1].revents & POLLIN) return;
        if (!(fds[0].revents & POLLIN)) continue;
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        {
            std::lock_guard lock(m_mutex);
            ++m_connections;
        }
        Peer peer(fd, m_stopPipe[0], [this](std::string_view bytes) {
            std::lock_guard lock(m_mutex);
            m_received += bytes;
        });
        m_script(peer);
        ::close(fd);
    }
}

std::string TcpResponder::received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

int TcpResponder::connections() const {
    std::lock_guard lock(m_mutex);
    return m_connections;
}

std::uint16_t closedPort() {
    std::uint16_t port = 0;
    ::close(listenOnLoopback(port));
    return port;
}

} // namespace brelmont::testing
