// Small text helpers shared by the simulator's parts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brelmont::sim {

std::string upper(std::string_view text);
bool iequals(std::string_view a, std::string_view b);
bool istartsWith(std::string_view text, std::string_view prefix);
std::string_view trim(std::string_view text);

// A whole decimal number, or none when the text holds anything else.
std::optional<long long> parseNumber(std::string_view text);

// Bytes made readable for one log line: ESC as \e, other control bytes as \xNN.
std::string printable(std::string_view bytes, size_t limit = 200);

} // namespace brelmont::sim
