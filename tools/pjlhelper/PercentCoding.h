// Percent-escapes in device addresses, written the way CUPS writes them so that our addresses
// match a queue's device-uri byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace brelmont::pjlhelper {

// Escapes "%", blanks, control characters, bytes above 127 and every character of `reserved`
// as %XX with upper-case hex digits.
std::string percentEncode(std::string_view text, std::string_view reserved = {});

// Undoes %XX escapes; a "%" not followed by two hex digits stays as it is.
std::string percentDecode(std::string_view text);

} // namespace brelmont::pjlhelper
