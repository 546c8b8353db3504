// Command output split into lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brelmont::printer {

// Split at every "\n"; a text ending in "\n" gives a last empty line.
inline std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1)
        lines.emplace_back(text.substr(start, end - start));
    lines.emplace_back(text.substr(start));
    return lines;
}

} // namespace brelmont::printer
