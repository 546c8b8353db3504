#include "DeviceId.h"

#include <algorithm>
#include <cctype>

namespace brelmont::pjlhelper {

namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalNoCase(text.substr(0, prefix.size()), prefix);
}

std::string_view trimmed(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

} // namespace

std::string deviceIdField(std::string_view deviceId, std::initializer_list<std::string_view> keys) {
    for (std::string_view key : keys) {
        std::string_view rest = deviceId;
        while (!rest.empty()) {
            const auto semicolon = rest.find(';');
            const std::string_view field = rest.substr(0, semicolon);
            rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
            const auto colon = field.find(':');
            if (colon != std::string_view::npos && equalNoCase(trimmed(field.substr(0, colon)), key))
                return std::string(trimmed(field.substr(colon + 1)));
        }
    }
    return {};
}

MakeAndModel makeAndModelOf(std::string_view deviceId) {
    MakeAndModel result;
    result.make = deviceIdField(deviceId, {"MANUFACTURER", "MFG"});
    result.model = deviceIdField(deviceId, {"MODEL", "MDL"});

    if (result.make.empty()) {
        // No maker field: CUPS takes the model's first word as the make.
        const auto blank = result.model.find(' ');
        result.make = blank == std::string::npos || result.model.empty() ? "Unknown" : result.model.substr(0, blank);
    } else if (startsWithNoCase(result.make, "Hewlett-Packard")) {
        result.make = "HP";
    } else if (startsWithNoCase(result.make, "Lexmark International")) {
        result.make = "Lexmark";
    }

    if (result.model.empty()) {
        result.model = "Unknown";
    } else if (startsWithNoCase(result.model, result.make) && result.model.size() > result.make.size() &&
               result.model[result.make.size()] == ' ') {
        result.model = std::string(trimmed(std::string_view(result.model).substr(result.make.size())));
    }
    return result;
}

std::string deviceIdFromInfoIdReply(std::string_view reply) {
    reply = reply.substr(0, reply.find('\f'));

    // The answer is the line after the echoed command. Without the echo this is no PJL device
    // (a web server or a proxy answering on the port, say) and it is not listed.
    const auto echo = reply.find("@PJL INFO ID");
    if (echo == std::string_view::npos) return {};
    const auto echoEnd = reply.find('\n', echo);
    std::string_view rest = echoEnd == std::string_view::npos ? std::string_view() : reply.substr(echoEnd + 1);
    std::string answer;
    while (!rest.empty() && answer.empty()) {
        const auto lineEnd = rest.find('\n');
        const std::string_view line = trimmed(rest.substr(0, lineEnd));
        rest = lineEnd == std::string_view::npos ? std::string_view() : rest.substr(lineEnd + 1);
        if (line.starts_with("@PJL") || line.starts_with("\x1b")) continue;
        for (char c : line)
            if (c != '"') answer += c;
        answer = std::string(trimmed(answer));
    }

    if (answer.empty() || answer.find("MFG:") != std::string::npos) return answer;
    return "MFG:Brelmont;MDL:" + answer + ";";
}

} // namespace brelmont::pjlhelper
