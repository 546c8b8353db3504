// Knowing when a PJL reply is complete: each request that asks for information is answered by
// one reply ending in a form feed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brelmont::pjlhelper {

// The number of lines in the request that expect a reply: "@PJL INFO …", "@PJL DINQUIRE …" and
// "@PJL INQUIRE …", also right after a universal exit sequence.
std::size_t expectedReplyCount(std::string_view request);

// Counts the replies finished so far in the bytes received. Unsolicited status messages
// ("@PJL USTATUS …", switched on by "USTATUS TIMED") also end in a form feed but answer no
// request, so they are not counted.
class ReplyCounter {
public:
    void add(std::string_view bytes);
    std::size_t finished() const { return m_finished; }

private:
    std::string m_head; // the start of the reply now arriving, enough to recognise a status message
    std::size_t m_finished = 0;
};

} // namespace brelmont::pjlhelper
