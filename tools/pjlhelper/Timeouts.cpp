#include "Timeouts.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace brelmont::pjlhelper {

namespace {

// Replaces value by the variable's number of milliseconds; anything but digits keeps the default.
void overrideFromEnvironment(Milliseconds& value, const char* name) {
    const char* text = std::getenv(name);
    if (!text || !*text) return;
    long long ms = 0;
    const char* end = text + std::strlen(text);
    auto [stop, error] = std::from_chars(text, end, ms);
    if (error == std::errc() && stop == end && ms >= 0) value = Milliseconds(ms);
}

} // namespace

Timeouts Timeouts::fromEnvironment() {
    Timeouts t;
    overrideFromEnvironment(t.connect, "BRELMONT_PJL_CONNECT_TIMEOUT_MS");
    overrideFromEnvironment(t.sendStall, "BRELMONT_PJL_SEND_TIMEOUT_MS");
    overrideFromEnvironment(t.reply, "BRELMONT_PJL_REPLY_TIMEOUT_MS");
    overrideFromEnvironment(t.quiet, "BRELMONT_PJL_QUIET_MS");
    overrideFromEnvironment(t.listing, "BRELMONT_PJL_LIST_TIMEOUT_MS");
    return t;
}

} // namespace brelmont::pjlhelper
