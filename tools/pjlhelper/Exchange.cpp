#include "Exchange.h"

#include "Failure.h"
#include "PjlReplyCount.h"

#include <algorithm>
#include <array>

namespace brelmont::pjlhelper {

void sendRequest(Transport& transport, std::string_view request, const Timeouts& timeouts) {
    try {
        transport.send({reinterpret_cast<const unsigned char*>(request.data()), request.size()}, timeouts.sendStall);
    } catch (const TransportError& e) { throw Failure("sending the request", e.what()); }
}

std::string readReply(Transport& transport, std::size_t expectedReplies, const Timeouts& timeouts) {
    const Deadline start = Clock::now();
    const Deadline last = start + timeouts.reply;
    Deadline quietEnd = start + (expectedReplies > 0 ? timeouts.reply : timeouts.quiet);

    std::string reply;
    ReplyCounter counter;
    std::array<unsigned char, 16 * 1024> buffer;
    ReceiveStatus ended = ReceiveStatus::TimedOut;
    while (expectedReplies == 0 || counter.finished() < expectedReplies) {
        const ReceiveResult got = transport.receive(buffer, std::min(last, quietEnd));
        if (got.status != ReceiveStatus::Data) {
            ended = got.status;
            break;
        }
        const std::string_view bytes(reinterpret_cast<const char*>(buffer.data()), got.size);
        if (reply.size() + bytes.size() > printer::helper::MaxReplyBytes)
            throw Failure("reading the reply", "the reply passed " + std::to_string(printer::helper::MaxReplyBytes) + " bytes",
                          printer::helper::ExitTooLarge);
        reply += bytes;
        counter.add(bytes);
        quietEnd = Clock::now() + timeouts.quiet;
    }

    if (reply.empty() && ended == ReceiveStatus::Reset)
        throw Failure("after sending the request", "the device reset the connection; the request may not have arrived",
                      printer::helper::ExitDropped);
    if (reply.empty() && expectedReplies > 0) {
        if (ended == ReceiveStatus::Closed)
            throw Failure("reading the reply", "the device closed the connection without replying", printer::helper::ExitDropped);
        throw Failure("reading the reply", "no reply within " + std::to_string(timeouts.reply.count()) + " ms",
                      printer::helper::ExitNoReply);
    }
    return reply;
}

} // namespace brelmont::pjlhelper
