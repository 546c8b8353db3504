#include "printer/Assignments.h"

#include <algorithm>

namespace brelmont::printer {

// lpoptions prints "name=value" words separated by blanks and puts a value in single quotes,
// as it stands and without escapes, only when it holds a blank. So a quoted value ends at the
// first quote that ends a word; when what it encloses holds no blank, the quotes belong to the
// value. Only whole names at the start of a word match, so a value that holds "collate=false"
// never reads as the collate option.
std::string assignmentValue(std::string_view text, std::string_view key) {
    if (key.empty()) return {};
    const auto endsWord = [&](size_t at) { return at >= text.size() || text[at] == ' ' || text[at] == '\n' || text[at] == '\r'; };
    // The value starting at `from`; `end` is set to the position after it.
    const auto valueAt = [&](size_t from, size_t* end) -> std::string_view {
        if (from < text.size() && text[from] == '\'') {
            bool blank = false;
            for (size_t close = from + 1; close < text.size(); ++close) {
                if (text[close] == '\'' && endsWord(close + 1)) {
                    if (!blank) break; // the quotes are part of a value without blanks
                    *end = close + 1;
                    return text.substr(from + 1, close - from - 1);
                }
                blank = blank || text[close] == ' ' || text[close] == '\t';
            }
        }
        size_t to = text.find(' ', std::min(from, text.size()));
        if (to == std::string_view::npos) to = text.size();
        *end = to;
        return text.substr(std::min(from, text.size()), to - std::min(from, text.size()));
    };
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ' || text[at] == '\n' || text[at] == '\r' || text[at] == '\t') {
            ++at;
            continue;
        }
        size_t end = at;
        if (text.substr(at).starts_with(key)) return std::string(valueAt(at + key.size(), &end));
        // Skip this word: its name, then its value if it has one.
        while (end < text.size() && text[end] != '=' && text[end] != ' ') ++end;
        if (end < text.size() && text[end] == '=') valueAt(end + 1, &end);
        at = std::max(end, at + 1);
    }
    return {};
}

} // namespace brelmont::printer
