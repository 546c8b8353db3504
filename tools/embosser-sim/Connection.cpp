#include "Connection.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace brelmont::sim {

namespace {
using Clock = std::chrono::steady_clock;
constexpr int PollMs = 100;
constexpr int DrainMs = 1000;
// Bytes held for a job file before any data came (queries, downloads); beyond it none is made.
constexpr size_t MaxHead = 16 * 1024 * 1024;
} // namespace

Connection::Connection(int fd, int id, ConnectionContext context) : m_fd(fd), m_id(id), m_ctx(context) {
    timeval sendTimeout{5, 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
}

Connection::~Connection() { close(); }

void Connection::run() {
    if (m_ctx.faults.nextConnectionDropped()) {
        m_ctx.log.write(m_id, "connection dropped without a reply");
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    if (m_ctx.faults.nextConnectionReset()) {
        // Closed with the client's bytes unread and no lingering: the client's side sees a reset.
        pollfd p{m_fd, POLLIN, 0};
        ::poll(&p, 1, 2000);
        const linger now{1, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
        m_ctx.log.write(m_id, "connection reset unread");
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_ctx.log.write(m_id, "connection opened");
    if (m_ctx.faults.nextConnectionUnasked()) {
        m_ctx.log.write(m_id, "fault: status report sent unasked");
        send("@PJL USTATUS DEVICE\r\nCODE=10001\r\n\f");
    }
    StreamParser parser(*this, m_ctx.device.family().binaryVersionRequest);
    char buf[64 * 1024];
    auto lastActivity = Clock::now();
    const char* why = "client closed";
    while (!m_ended) {
        if (m_ctx.stopping) {
            why = "simulator stopping";
            break;
        }
        pollfd p{m_fd, POLLIN, 0};
        const int r = ::poll(&p, 1, PollMs);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            why = "poll failed";
            break;
        }
        if (r == 0) {
            if (Clock::now() - lastActivity > std::chrono::milliseconds(m_ctx.idleMs)) {
                why = "client quiet too long";
                break;
            }
            continue;
        }
        const ssize_t n = ::recv(m_fd, buf, sizeof buf, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n < 0) {
            why = "connection reset";
            break;
        }
        if (n == 0) {
            parser.finish();
            break;
        }
        record(std::string_view(buf, static_cast<size_t>(n)));
        parser.feed(std::string_view(buf, static_cast<size_t>(n)));
        lastActivity = Clock::now();
    }
    if (m_ended) why = "reply cut short, connection ended";
    for (FILE** file : {&m_data, &m_job})
        if (*file) {
            std::fclose(*file);
            *file = nullptr;
        }
    if (m_dataBytes > 0)
        m_ctx.log.write(m_id, std::to_string(m_dataBytes) + " bytes of data " +
                                  (m_dataPath.empty() ? "received, no store" : "stored in " + m_dataPath.filename().string()) +
                                  (m_jobPath.empty() ? "" : ", the whole connection in " + m_jobPath.filename().string()));
    m_ctx.log.write(m_id, std::string("connection closed: ") + why);
    close();
}

// Ends our side first and lets the client read to the end, so that it sees an orderly close
// rather than a reset that could swallow the last reply.
void Connection::close() {
    if (m_fd < 0) return;
    ::shutdown(m_fd, SHUT_WR);
    const auto deadline = Clock::now() + std::chrono::milliseconds(DrainMs);
    char buf[4096];
    while (Clock::now() < deadline && !m_ctx.stopping) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, PollMs) <= 0) continue;
        if (::recv(m_fd, buf, sizeof buf, 0) <= 0) break;
    }
    ::close(m_fd);
    m_fd = -1;
}

void Connection::record(std::string_view bytes) {
    if (m_job) {
        std::fwrite(bytes.data(), 1, bytes.size(), m_job);
    } else if (m_recording) {
        m_head.append(bytes);
        if (m_head.size() > MaxHead) {
            m_recording = false;
            m_head = std::string();
        }
    }
}

void Connection::send(std::string_view bytes) {
    while (!bytes.empty() && !m_ended) {
        const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_ended = true;
            return;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

void Connection::pause(int ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until && !m_ctx.stopping)
        std::this_thread::sleep_for(std::min<Clock::duration>(until - Clock::now(), std::chrono::milliseconds(20)));
}

void Connection::pjlLine(std::string_view line) {
    if (m_ended) return;
    const auto reply = m_ctx.device.pjlLine(m_id, line);
    if (!reply) return;
    const ReplyFaults faults = m_ctx.faults.nextReply();
    if (faults.garble || faults.wrongCount || faults.shortReply || faults.endless)
        m_ctx.log.write(m_id, std::string("fault:") + (faults.garble ? " garbled header" : "") +
                                  (faults.wrongCount ? " wrong count" : "") + (faults.shortReply ? " short reply" : "") +
                                  (faults.endless ? " endless reply" : ""));
    pause(m_ctx.faults.delayMs());
    if (faults.endless) {
        const std::string chunk(64 * 1024, 'X');
        while (!m_ended && !m_ctx.stopping) send(chunk);
        m_ended = true;
        return;
    }
    send(render(*reply, faults));
    if (faults.shortReply) m_ended = true;
}

void Connection::printerCommand(std::string_view text) {
    if (!m_ended) m_ctx.device.printerCommand(m_id, text);
}

void Connection::binaryCommand(std::string_view bytes) {
    if (m_ended) return;
    if (const auto reply = m_ctx.device.binaryCommand(m_id, bytes)) {
        pause(m_ctx.faults.delayMs());
        send(*reply);
    }
}

void Connection::data(std::string_view bytes) {
    if (m_ended) return;
    if (m_dataBytes == 0) {
        const Device::ReceivedFiles files = m_ctx.device.newReceivedFiles();
        m_dataPath = files.data;
        if (!m_dataPath.empty()) m_data = std::fopen(m_dataPath.c_str(), "wb");
        // The chunk these bytes came in was recorded before it was parsed, so the head is whole.
        if (m_recording && !files.job.empty() && (m_job = std::fopen(files.job.c_str(), "wb"))) {
            m_jobPath = files.job;
            std::fwrite(m_head.data(), 1, m_head.size(), m_job);
        }
        m_recording = false;
        m_head = std::string();
    }
    m_dataBytes += bytes.size();
    if (m_data) std::fwrite(bytes.data(), 1, bytes.size(), m_data);
}

void Connection::download(std::string_view name, std::string_view bytes, bool complete) {
    if (!m_ended) m_ctx.device.download(m_id, name, bytes, complete);
}

} // namespace brelmont::sim
