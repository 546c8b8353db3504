// One variable's value asked by name ("@PJL DINQUIRE NAME"): the request, the reading of the
// reply, and the asking with its attempts.
#pragma once

#include "printer/PjlReplies.h"
#include "printer/RetryQuery.h"

#include <optional>
#include <string>
#include <string_view>

namespace brelmont::printer {

// Keeps the characters a value may show: 0x20 to 0x3B, "A" to "_" and "a" to "~". Line ends,
// other control characters, "<=>?@", the grave accent and anything beyond ASCII are dropped.
std::string keepValueCharacters(std::string_view text);

// The line after the first reply line that contains `question`, filtered; none when no line
// contains it, or when that line is the last (the reply carries no value then).
std::optional<std::string> readParameterValue(const ReplyLines& reply, std::string_view question);

struct ParameterValue {
    std::string value;       // empty when no reply held it
    ExchangeOutcome outcome; // Done when a reply held the value, or the failure that ended the asking
};

// Sends UEL + question + "\n" until a reply holds the value, up to MaxSends sends. A device that
// cannot be reached, or work cancelled or out of time, ends the asking at once.
ParameterValue askParameterValue(const std::string& question, const std::string& device, const PjlExchange& exchange,
                                 const ExchangeBounds& bounds);

} // namespace brelmont::printer
