#include "TcpTransport.h"

#include <cerrno>
#include <cstring>
#include <linux/sockios.h>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace brelmont::pjlhelper {

namespace {

// Milliseconds left until the deadline, rounded up so that poll never wakes just before it.
int millisecondsUntil(Deadline deadline) {
    const auto left = std::chrono::ceil<Milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return 0;
    return left > 1000000 ? 1000000 : static_cast<int>(left);
}

// Waits for `events` on fd; false when the deadline passed first.
bool waitFor(int fd, short events, Deadline deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, millisecondsUntil(deadline));
        if (n > 0) return true;
        if (n == 0) return false;
        if (errno != EINTR) return true; // let the following call report the error
    }
}

// One connection attempt to one resolved address; returns the socket or -1 with why set.
int connectOne(const addrinfo& ai, Deadline deadline, std::string& why) {
    const int fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    if (::connect(fd, ai.ai_addr, ai.ai_addrlen) == 0) return fd;
    if (errno != EINPROGRESS) {
        why = std::strerror(errno);
        ::close(fd);
        return -1;
    }
    if (!waitFor(fd, POLLOUT, deadline)) {
        why = "no answer in time";
        ::close(fd);
        return -1;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    if (error != 0) {
        why = std::strerror(error);
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::unique_ptr<TcpTransport> TcpTransport::connect(const SocketAddress& address, Deadline deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(address.port);
    if (const int rc = ::getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found); rc != 0)
        throw TransportError("cannot resolve " + address.host + ": " + ::gai_strerror(rc));

    std::string why = "no address";
    int fd = -1;
    for (addrinfo* ai = found; ai && fd < 0; ai = ai->ai_next) fd = connectOne(*ai, deadline, why);
    ::freeaddrinfo(found);
    if (fd < 0) throw TransportError(why);
    return std::unique_ptr<TcpTransport>(new TcpTransport(fd));
}

TcpTransport::~TcpTransport() { close(); }

void TcpTransport::send(std::span<const unsigned char> bytes, Milliseconds stallTimeout) {
    if (m_fd < 0) throw TransportError("connection already closed");
    while (!bytes.empty()) {
        const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(m_fd, POLLOUT, Clock::now() + stallTimeout))
                throw TransportError("the device took no data for " + std::to_string(stallTimeout.count()) + " ms");
        } else {
            throw TransportError(n < 0 ? std::strerror(errno) : "connection closed");
        }
    }
}

ReceiveResult TcpTransport::receive(std::span<unsigned char> buffer, Deadline deadline) {
    if (m_fd < 0) return {ReceiveStatus::Closed, 0};
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer.data(), buffer.size(), 0);
        if (n > 0) return {ReceiveStatus::Data, static_cast<std::size_t>(n)};
        if (n == 0) return {ReceiveStatus::Closed, 0};
        if (errno == EINTR) continue;
        // A device that closes with our bytes unread resets the connection: not a normal end.
        if (errno != EAGAIN && errno != EWOULDBLOCK) return {ReceiveStatus::Reset, 0};
        if (!waitFor(m_fd, POLLIN, deadline)) return {ReceiveStatus::TimedOut, 0};
    }
}

bool TcpTransport::discardIncoming() {
    unsigned char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n > 0) continue;
        if (n < 0 && errno == EINTR) continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK); // false once the device closed
    }
}

bool TcpTransport::flush(Milliseconds stallTimeout) {
    if (m_fd < 0) return true;
    // The send queue holds what the device has not yet acknowledged.
    int previous = -1;
    Deadline giveUp = Clock::now() + stallTimeout;
    for (;;) {
        int pending = 0;
        if (::ioctl(m_fd, SIOCOUTQ, &pending) != 0 || pending == 0) return true;
        if (previous < 0 || pending < previous) giveUp = Clock::now() + stallTimeout;
        previous = pending;
        if (Clock::now() >= giveUp || !discardIncoming()) return false;
        pollfd p{m_fd, POLLIN, 0};
        ::poll(&p, 1, 20);
    }
}

void TcpTransport::close() {
    if (m_fd < 0) return;
    discardIncoming();
    ::close(m_fd);
    m_fd = -1;
}

} // namespace brelmont::pjlhelper
