#include "PjlReplyCount.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace brelmont::pjlhelper {

namespace {

constexpr std::string_view UniversalExit = "\x1b%-12345X";
constexpr std::string_view StatusHeader = "@PJL USTATUS";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Drops blanks and universal exit sequences from the front.
std::string_view skipLeadIn(std::string_view text) {
    for (;;) {
        if (!text.empty() && isBlank(text.front())) {
            text.remove_prefix(1);
        } else if (text.starts_with(UniversalExit)) {
            text.remove_prefix(UniversalExit.size());
        } else {
            return text;
        }
    }
}

bool asksForReply(std::string_view line) {
    line = skipLeadIn(line);
    if (!line.starts_with("@PJL")) return false;
    line.remove_prefix(4);
    if (line.empty() || (line.front() != ' ' && line.front() != '\t')) return false;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);

    std::string word;
    while (!line.empty() && std::isalpha(static_cast<unsigned char>(line.front()))) {
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(line.front())));
        line.remove_prefix(1);
    }
    static constexpr std::array<std::string_view, 3> Queries = {"INFO", "DINQUIRE", "INQUIRE"};
    return std::find(Queries.begin(), Queries.end(), word) != Queries.end();
}

} // namespace

std::size_t expectedReplyCount(std::string_view request) {
    std::size_t count = 0;
    while (!request.empty()) {
        const auto lineEnd = request.find('\n');
        if (asksForReply(request.substr(0, lineEnd))) ++count;
        request = lineEnd == std::string_view::npos ? std::string_view() : request.substr(lineEnd + 1);
    }
    return count;
}

void ReplyCounter::add(std::string_view bytes) {
    static const std::size_t HeadSize = UniversalExit.size() + StatusHeader.size() + 16;
    for (char c : bytes) {
        if (c == '\f') {
            if (!skipLeadIn(m_head).starts_with(StatusHeader)) ++m_finished;
            m_head.clear();
        } else if (m_head.size() < HeadSize) {
            m_head += c;
        }
    }
}

} // namespace brelmont::pjlhelper
