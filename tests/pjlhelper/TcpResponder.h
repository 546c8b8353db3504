// A tiny TCP device on 127.0.0.1 for pjlhelper tests: each accepted connection is handed to a
// script that reads the request and writes our own reply bytes.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace brelmont::testing {

using std::chrono::milliseconds;

// One accepted connection, as the script sees it. Every wait ends when the responder stops.
class Peer {
public:
    Peer(int fd, int stopFd, std::function<void(std::string_view)> record);

    // Reads until the bytes received on this connection contain `marker`; false on timeout or close.
    bool readUntil(std::string_view marker, milliseconds timeout = milliseconds(5000));
    // Reads whatever arrives for this long (or until the client closes).
    void readFor(milliseconds duration);
    // Reads until the client closes the connection.
    void waitForClose(milliseconds timeout = milliseconds(20000));
    void write(std::string_view bytes);
    void pause(milliseconds duration);

    const std::string& received() const { return m_received; }

private:
    // One wait for data; false when the client closed, the time ran out or the responder stops.
    bool readSome(std::chrono::steady_clock::time_point deadline);

    int m_fd;
    int m_stopFd;
    bool m_closed = false;
    std::string m_received;
    std::function<void(std::string_view)> m_record;
};

class TcpResponder {
public:
    using Script = std::function<void(Peer&)>;

    explicit TcpResponder(Script script);
    ~TcpResponder();
    TcpResponder(const TcpResponder&) = delete;
    TcpResponder& operator=(const TcpResponder&) = delete;

    std::uint16_t port() const { return m_port; }
    std::string uri() const { return "socket://127.0.0.1:" + std::to_string(m_port); }

    // Stops accepting and waits for the running script; afterwards received() is final.
    void stop();

    // Every byte received, over all connections.
    std::string received() const;
    int connections() const;

private:
    void serve();

    Script m_script;
    int m_listenFd = -1;
    int m_stopPipe[2] = {-1, -1};
    std::uint16_t m_port = 0;
    mutable std::mutex m_mutex;
    std::string m_received;
    int m_connections = 0;
    std::thread m_thread;
};

// A port on 127.0.0.1 where nothing listens, so connecting is refused.
std::uint16_t closedPort();

} // namespace brelmont::testing
