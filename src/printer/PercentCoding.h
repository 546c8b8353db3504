// Percent-escapes in device addresses and file URLs. Device addresses are written the way CUPS
// writes them, so that ours match a queue's device-uri byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace brelmont::printer {

// Escapes "%", blanks, control characters, bytes above 127 and every character of `reserved`
// as %XX with upper-case hex digits.
std::string percentEncode(std::string_view text, std::string_view reserved = {});

// Undoes %XX escapes; a "%" not followed by two hex digits, and "%00" (no name or address
// holds a NUL byte), stay as they are.
std::string percentDecode(std::string_view text);

} // namespace brelmont::printer
