// Reading a queue's assignments as "lpoptions -p QUEUE" prints them.
#pragma once

#include <string>
#include <string_view>

namespace brelmont::printer {

// The value after `key` (such as "device-uri=") in "lpoptions -p QUEUE" output, empty when no word
// of the output begins with it. A value in single quotes is read up to the quote that ends the
// word (lpoptions quotes without escaping); any other up to the next blank.
std::string assignmentValue(std::string_view assignments, std::string_view key);

} // namespace brelmont::printer
