// Carrying a request to a device and its reply back, independent of the wire.
#pragma once

#include "Timeouts.h"
#include "Transport.h"

#include <string>
#include <string_view>

namespace brelmont::pjlhelper {

// Sends the request. Throws Failure.
void sendRequest(Transport& transport, std::string_view request, const Timeouts& timeouts);

// Reads the reply to a request that asks for `expectedReplies` PJL replies. The reply is complete
// after that many form feeds, when the device has been quiet for timeouts.quiet after its last
// byte, when it closes the connection, or when timeouts.reply has passed. Before the first byte,
// a device that owes replies gets the whole timeouts.reply; one that owes none only timeouts.quiet.
// Throws Failure when replies were expected and nothing came.
std::string readReply(Transport& transport, std::size_t expectedReplies, const Timeouts& timeouts);

} // namespace brelmont::pjlhelper
