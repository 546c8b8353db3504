#include "ReplyShape.h"

#include <cctype>

namespace brelmont::testing {

std::vector<std::string> splitReplies(std::string_view bytes)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t ff = bytes.find('\f', pos);
        if (ff == std::string_view::npos) {
            out.emplace_back(bytes.substr(pos));
            break;
        }
        out.emplace_back(bytes.substr(pos, ff - pos));
        pos = ff + 1;
    }
    return out;
}

ParsedReply parseReply(std::string_view reply)
{
    ParsedReply r;
    std::string line;
    for (char c : reply) {
        if (c == '\r' || c == '\f')
            continue;
        if (c == '\n') {
            r.lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        r.lines.push_back(line);
    if (r.lines.empty())
        return r;

    const std::string& header = r.lines[0];
    size_t i = 0;
    while (i < header.size() && !std::isdigit(static_cast<unsigned char>(header[i])))
        ++i;
    while (i < header.size() && std::isdigit(static_cast<unsigned char>(header[i])))
        r.announced = r.announced * 10 + (header[i++] - '0');

    for (size_t n = 1; n < r.lines.size() && r.lines[n].find("@PJL") == std::string::npos; ++n) {
        const std::string& l = r.lines[n];
        const size_t eq = l.find('=');
        if (eq == std::string::npos || eq == 0 || eq + 1 == l.size())
            continue;
        std::string value;
        for (char c : l.substr(eq + 1))
            if (c != '"')
                value += c;
        if (value.empty())
            continue;
        r.items.emplace_back(l.substr(0, eq), value);
        ++r.entries;
    }
    return r;
}

std::string valueOf(const ParsedReply& reply, std::string_view key)
{
    for (const auto& [k, v] : reply.items)
        if (k == key)
            return v;
    return {};
}

} // namespace brelmont::testing
