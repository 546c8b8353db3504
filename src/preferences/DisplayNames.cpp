#include "preferences/DisplayNames.h"

#include <array>
#include <utility>

namespace brelmont::preferences {

namespace {

struct NamedValue {
    std::string_view key;
    std::string_view value; // lower case where the comparison ignores case
    std::string_view shown;
};

// Page sizes and media types are compared in lower case, braille spacings exactly.
constexpr std::array<NamedValue, 12> CaseFoldedNames = {{
    {"PageSize", "115x11", "11.5 x 11 in"},
    {"PageSize", "115x115", "11.5 x 11 in (Office 2010)"},
    {"PageSize", "11x14", "11 x 14 in"},
    {"PageSize", "a4tractor", "German Std Fanfold"},
    {"PageSize", "1378x11", "13 7/8 x 11 in"},
    {"PageSize", "16x22", "16 x 22 in"},
    {"PageSize", "16x50", "16 x 50 in"},
    {"PageSize", "auto", "Automatic Select"},
    {"MediaType", "_custom", "Custom Media Type"},
    {"MediaType", "custom", "Custom Media Type"},
    {"MediaType", "custommedia", "Custom Media Type"},
    {"MediaType", "default", "Printer Setting"},
}};

constexpr std::array<NamedValue, 5> ExactNames = {{
    {"BrailleSpacing", "Congress", "American Library of Congress"},
    {"BrailleSpacing", "National", "National Library Service for the Blind"},
    {"BrailleSpacing", "Microbraille", "Japanese Standard (Microbraille)"},
    {"BrailleSpacing", "Korean", "Korean Standard"},
    {"BrailleSpacing", "Jumbo", "Jumbobraille"},
}};

} // namespace

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::string displayName(std::string_view key, std::string_view value) {
    const std::string lower = lowerCase(value);
    for (const NamedValue& name : CaseFoldedNames)
        if (name.key == key && name.value == lower) return std::string(name.shown);
    for (const NamedValue& name : ExactNames)
        if (name.key == key && name.value == value) return std::string(name.shown);

    if (key == "PageSize" && lower.starts_with("custom.")) return "Custom Size";
    // The driver's numbered media types 8 to 16.
    if (key == "MediaType" && lower.starts_with("custommedia")) {
        const std::string number = lower.substr(std::string_view("custommedia").size());
        for (int n = 8; n <= 16; ++n)
            if (number == std::to_string(n)) return "Custom Defined " + number;
    }
    return std::string(value);
}

} // namespace brelmont::preferences
