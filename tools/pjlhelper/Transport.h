// The one small interface through which pjlhelper reaches a device, whatever the wire.
#pragma once

#include <chrono>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>

namespace brelmont::pjlhelper {

using Clock = std::chrono::steady_clock;
using Deadline = Clock::time_point;
using Milliseconds = std::chrono::milliseconds;

// Opening or sending failed; what() says why, in words fit for "pjlhelper: what failed: why".
class TransportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ReceiveStatus {
    Data,     // size bytes arrived
    TimedOut, // nothing arrived before the deadline
    Closed,   // the device ended the connection (or vanished); nothing more will come
    Reset,    // the connection broke (reset by the device): what was sent may never have arrived
};

struct ReceiveResult {
    ReceiveStatus status = ReceiveStatus::TimedOut;
    std::size_t size = 0;
};

// An open connection to one device. Opening is done by the transport's own factory
// (openTransport), so a Transport always starts connected.
class Transport {
public:
    virtual ~Transport() = default;

    // Sends every byte, or throws TransportError. A device that takes no more data for
    // stallTimeout is a failure; a slow but steady one (a firmware file) is not.
    virtual void send(std::span<const unsigned char> bytes, Milliseconds stallTimeout) = 0;

    // Waits until some bytes arrive, the device closes, or the deadline passes. Never throws:
    // a broken connection reads as Reset.
    virtual ReceiveResult receive(std::span<unsigned char> buffer, Deadline deadline) = 0;

    // Waits until the device has taken everything sent, so that ending the connection loses
    // nothing; gives up when it takes nothing more for stallTimeout. Bytes still arriving are
    // dropped, so it comes after any reply has been read. False when data was left behind.
    virtual bool flush(Milliseconds stallTimeout) = 0;

    // Ends the connection; also done by the destructor.
    virtual void close() = 0;
};

} // namespace brelmont::pjlhelper
