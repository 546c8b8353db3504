// Reads simulator replies the way the system does: lines without "\r", a header on line 0, a
// count, and KEY=VALUE entries up to the next "@PJL" line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brelmont::testing {

struct ParsedReply {
    std::vector<std::string> lines;
    long long announced = 0; // first number in line 0
    int entries = 0;         // KEY=VALUE lines with both parts non-empty
    std::vector<std::pair<std::string, std::string>> items;
};

// Splits a stream of replies at their form feeds; a trailing part without one is kept as well.
std::vector<std::string> splitReplies(std::string_view bytes);
// Carriage returns and form feeds are dropped before the split, as the system does.
ParsedReply parseReply(std::string_view reply);
std::string valueOf(const ParsedReply& reply, std::string_view key);

} // namespace brelmont::testing
