// One option of a print queue as the preferences window shows it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brelmont::preferences {

struct PrintOption {
    std::vector<std::string> values; // the choices in the order the printing system lists them
    std::string label;               // the human-readable name
    std::string key;                 // the keyword used on command lines
    int64_t selected = -1;           // index into values of the current choice; -1 when none

    bool operator==(const PrintOption&) const = default;
};

} // namespace brelmont::preferences
