#include "printer/ShellQuote.h"

#include <algorithm>

namespace brelmont::printer {

namespace {

bool isPlainWordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("_-.,/:@%+=").find(c) != std::string_view::npos;
}

// Inside double quotes a shell still expands $, ` and \ (and ! in some shells).
bool isPlainInDoubleQuotes(char c) { return std::string_view("\"$`\\!").find(c) == std::string_view::npos; }

} // namespace

std::string shellSingleQuoted(std::string_view value) {
    std::string out = "'";
    for (char c : value) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

std::string shellWord(std::string_view value) {
    if (!value.empty() && std::all_of(value.begin(), value.end(), isPlainWordCharacter)) return std::string(value);
    return shellSingleQuoted(value);
}

std::string shellDoubleQuoted(std::string_view value) {
    if (std::all_of(value.begin(), value.end(), isPlainInDoubleQuotes)) return "\"" + std::string(value) + "\"";
    return shellSingleQuoted(value);
}

} // namespace brelmont::printer
