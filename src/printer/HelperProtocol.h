// What the device helper and its callers agree on beyond its command lines: how its exit status
// tells one failure from another, and how large a reply may grow.
#pragma once

#include <cstddef>

namespace brelmont::printer::helper {

// Exit statuses of pjlhelper.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1; // anything not below (the message says what)
constexpr int ExitBadArguments = 2;
constexpr int ExitUnreachable = 3; // the device could not be opened or connected to
constexpr int ExitNoReply = 4;     // the device sent nothing within the reply time
constexpr int ExitDropped = 5;     // the device ended the connection without a reply
constexpr int ExitTooLarge = 6;    // the reply passed MaxReplyBytes

// A reply larger than this is no reply of an embosser: the exchange fails instead of growing.
constexpr std::size_t MaxReplyBytes = 1024 * 1024;

// The listing's option naming further network addresses to ask, after the configured ones.
constexpr const char* ProbeOption = "--probe";

} // namespace brelmont::printer::helper
