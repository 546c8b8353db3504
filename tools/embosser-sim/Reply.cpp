#include "Reply.h"

namespace brelmont::sim {

Reply Reply::list(std::string header, const EntryList& entries) {
    Reply r{std::move(header), {}, true};
    for (const Entry& e : entries) {
        // Texts with blanks travel in double quotes, as the devices send them.
        const bool quote = e.value.find(' ') != std::string::npos;
        r.lines.push_back(e.key + "=" + (quote ? "\"" + e.value + "\"" : e.value));
    }
    return r;
}

Reply Reply::value(std::string header, std::string value) { return Reply{std::move(header), {std::move(value)}, false}; }

std::string render(const Reply& reply, const ReplyFaults& faults) {
    std::string header = reply.header;
    std::vector<std::string> lines = reply.lines;
    if (faults.wrongCount && !reply.counted && !lines.empty()) lines.pop_back();
    if (reply.counted) {
        const size_t announced = lines.size() + (faults.wrongCount ? 1 : 0);
        header += " [" + std::to_string(announced) + " ENTRIES]";
    }
    if (faults.garble && header.rfind("@PJL", 0) == 0) header.replace(0, 4, "@JPL");

    std::string out = header + "\r\n";
    for (const std::string& line : lines) out += line + "\r\n";
    if (faults.shortReply) return out.substr(0, std::max<size_t>(1, out.size() / 2));
    return out + "\f";
}

} // namespace brelmont::sim
