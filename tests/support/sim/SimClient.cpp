#include "SimClient.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace brelmont::testing {

namespace {
using Clock = std::chrono::steady_clock;

int millisLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<long long>(left, 0));
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) {
                          return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
                      });
}
} // namespace

int countQueries(std::string_view request)
{
    int n = 0;
    size_t pos = 0;
    while (pos < request.size()) {
        size_t end = request.find('\n', pos);
        if (end == std::string_view::npos)
            end = request.size();
        std::string_view line = request.substr(pos, end - pos);
        if (const size_t at = line.find("@PJL"); at != std::string_view::npos) {
            line.remove_prefix(at + 4);
            while (!line.empty() && line.front() == ' ')
                line.remove_prefix(1);
            for (std::string_view word : {"INFO ", "DINQUIRE ", "INQUIRE ", "ECHO"})
                if (startsWithNoCase(line, word))
                    ++n;
        }
        pos = end + 1;
    }
    return n;
}

std::string exchange(uint16_t port, std::string_view request, int timeoutMs)
{
    ExchangeOptions options;
    options.timeoutMs = timeoutMs;
    return exchange(port, request, options);
}

std::string exchange(uint16_t port, std::string_view request, const ExchangeOptions& options)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(options.timeoutMs);
    const int expected = options.formFeeds >= 0 ? options.formFeeds : countQueries(request);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return {};
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return {};
    }

    // The reply may start while we are still sending; a simulator that drops us ends both.
    std::string reply;
    int formFeeds = 0;
    bool sendDone = false;
    bool peerClosed = false;
    while (!peerClosed && Clock::now() < deadline) {
        if (!sendDone && request.empty()) {
            if (options.halfClose)
                ::shutdown(fd, SHUT_WR);
            sendDone = true;
        }
        if (sendDone && expected > 0 && formFeeds >= expected)
            break;
        pollfd p{fd, static_cast<short>(POLLIN | (sendDone ? 0 : POLLOUT)), 0};
        const int r = ::poll(&p, 1, std::max(1, millisLeft(deadline)));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        if (p.revents & (POLLIN | POLLHUP | POLLERR)) {
            char buf[65536];
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) {
                peerClosed = true;
                break;
            }
            reply.append(buf, static_cast<size_t>(n));
            formFeeds += static_cast<int>(std::count(buf, buf + n, '\f'));
        } else if (p.revents & POLLOUT) {
            const ssize_t n = ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
            if (n < 0 && errno != EINTR && errno != EAGAIN) {
                sendDone = true; // the simulator went away; read what it left
                continue;
            }
            if (n > 0)
                request.remove_prefix(static_cast<size_t>(n));
        }
    }
    ::close(fd);
    return reply;
}

} // namespace brelmont::testing
