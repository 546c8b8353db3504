// socket://HOST[:PORT]: raw TCP to a network embosser.
#pragma once

#include "DeviceAddress.h"
#include "Transport.h"

#include <memory>

namespace brelmont::pjlhelper {

class TcpTransport final : public Transport {
public:
    // Connects to the first address of the host that answers before the deadline; throws
    // TransportError otherwise.
    static std::unique_ptr<TcpTransport> connect(const SocketAddress& address, Deadline deadline);

    ~TcpTransport() override;

    void send(std::span<const unsigned char> bytes, Milliseconds stallTimeout) override;
    ReceiveResult receive(std::span<unsigned char> buffer, Deadline deadline) override;
    bool flush(Milliseconds stallTimeout) override;
    void close() override;

private:
    explicit TcpTransport(int fd) : m_fd(fd) {}

    // Reads and drops what the device sent unasked; closing with unread bytes would reset the
    // connection and could cut off data still on its way to the device.
    bool discardIncoming();

    int m_fd;
};

} // namespace brelmont::pjlhelper
