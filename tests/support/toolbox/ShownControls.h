// The controls "brelmont-cli toolbox show" printed, by name.
#pragma once

#include <map>
#include <string>

namespace brelmont::testing {

inline std::map<std::string, std::string> shownControls(const std::string& out) {
    std::map<std::string, std::string> controls;
    size_t start = 0;
    while (start < out.size()) {
        const size_t end = out.find('\n', start);
        const std::string line = out.substr(start, end - start);
        const size_t eq = line.find('=');
        if (eq != std::string::npos) controls[line.substr(0, eq)] = line.substr(eq + 1);
        start = end == std::string::npos ? out.size() : end + 1;
    }
    return controls;
}

} // namespace brelmont::testing
