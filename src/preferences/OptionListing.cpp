#include "preferences/OptionListing.h"

#include <algorithm>
#include <charconv>

namespace brelmont::preferences {

namespace {

bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The punctuation of the ASCII range (Unicode's P categories): trimmed from the starred choice.
// Symbols such as "$", "+", "<", "=", "|" and "~" are not punctuation and stay.
bool isPunctuation(char c) { return std::string_view("!\"#%&'()*,-./:;?@[\\]_{}").find(c) != std::string_view::npos; }

std::string_view trimPunctuation(std::string_view text) {
    while (!text.empty() && isPunctuation(text.front())) text.remove_prefix(1);
    while (!text.empty() && isPunctuation(text.back())) text.remove_suffix(1);
    return text;
}

// The pieces between separators, empty ones dropped.
std::vector<std::string_view> splitDroppingEmpty(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    size_t from = 0;
    while (from <= text.size()) {
        size_t to = text.find(separator, from);
        if (to == std::string_view::npos) to = text.size();
        if (to > from) pieces.push_back(text.substr(from, to - from));
        from = to + 1;
    }
    return pieces;
}

// The pieces between separators, empty ones kept: "a  b" has three.
std::vector<std::string_view> splitKeepingEmpty(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    size_t from = 0;
    for (;;) {
        const size_t to = text.find(separator, from);
        if (to == std::string_view::npos) {
            pieces.push_back(text.substr(from));
            return pieces;
        }
        pieces.push_back(text.substr(from, to - from));
        from = to + 1;
    }
}

std::optional<PrintOption> parseListingLine(std::string_view line) {
    if (line.find(':') == std::string_view::npos) return std::nullopt;
    const std::vector<std::string_view> pieces = splitDroppingEmpty(line, ':');
    if (pieces.empty()) return std::nullopt;
    const std::string_view head = pieces[0];
    const size_t slash = head.find('/');
    if (slash == std::string_view::npos) return std::nullopt;

    // The label is the part between the first and a second "/", if any.
    PrintOption option;
    option.key = std::string(head.substr(0, slash));
    std::string_view label = head.substr(slash + 1);
    label = label.substr(0, label.find('/'));
    option.label = std::string(trimWhiteSpace(label));

    // A line whose choices are missing altogether yields an option without values.
    const std::string_view choices = pieces.size() > 1 ? trimWhiteSpace(pieces[1]) : std::string_view();
    if (!choices.empty())
        for (std::string_view value : splitKeepingEmpty(choices, ' ')) option.values.emplace_back(value);

    for (size_t i = 0; i < option.values.size(); ++i) {
        if (option.values[i].empty() || option.values[i][0] != '*') continue;
        option.values[i] = std::string(trimPunctuation(option.values[i]));
        option.selected = static_cast<int64_t>(i);
        break;
    }
    return option;
}

// An application option: one value, selected.
PrintOption single(std::string key, std::string label, std::string value) {
    return PrintOption{{std::move(value)}, std::move(label), std::move(key), 0};
}

std::string integerText(std::string_view assigned) {
    return std::to_string(parseDecimalInteger(trimWhiteSpace(assigned)).value_or(0));
}

} // namespace

std::string_view trimWhiteSpace(std::string_view text) {
    while (!text.empty() && isWhiteSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isWhiteSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<int64_t> parseDecimalInteger(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const bool negative = text.front() == '-';
    std::string_view digits = text.front() == '+' || negative ? text.substr(1) : text;
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') return std::nullopt;
    // from_chars takes the sign itself only as "-"; "+" was removed above.
    std::string buffer = negative ? "-" + std::string(digits) : std::string(digits);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (error != std::errc() || end != buffer.data() + buffer.size()) return std::nullopt;
    return value;
}

std::vector<PrintOption> parseOptionListing(std::string_view listing) {
    std::vector<PrintOption> options;
    for (std::string_view line : splitDroppingEmpty(listing, '\n'))
        if (std::optional<PrintOption> option = parseListingLine(line)) options.push_back(std::move(*option));
    return options;
}

std::vector<PrintOption> applicationOptions(std::string_view assignments) {
    const std::string collate = assignmentValue(assignments, "collate=");
    const std::string preview = assignmentValue(assignments, "karro-preview=");
    const std::string media = assignmentValue(assignments, "media=");
    const std::string contrast = assignmentValue(assignments, "karro-contrast=");
    const std::string brightness = assignmentValue(assignments, "karro-brightness=");
    const std::string patternFile = assignmentValue(assignments, "karro-patternfile=");
    const std::string outputPath = assignmentValue(assignments, "karro-outputpath=");

    std::vector<PrintOption> options;
    options.push_back(single("collate", "Collate", collate.empty() ? "true" : std::string(trimWhiteSpace(collate))));
    options.push_back(single("karro-preview", "Preview", preview.empty() ? "false" : std::string(trimWhiteSpace(preview))));
    if (media.starts_with("Custom.")) options.push_back(single("media", "media", std::string(trimWhiteSpace(media))));
    options.push_back(single("karro-contrast", "Contrast", integerText(contrast)));
    options.push_back(single("karro-brightness", "Brightness", integerText(brightness)));
    options.push_back(single("karro-patternfile", "Pattern File", std::string(trimWhiteSpace(patternFile))));
    // The output path is used exactly as extracted.
    options.push_back(single("karro-outputpath", "OutputPath", outputPath));
    return options;
}

std::vector<PrintOption> buildOptionList(std::string_view listing, std::string_view assignments) {
    std::vector<PrintOption> options = parseOptionListing(listing);
    for (PrintOption& option : applicationOptions(assignments)) options.push_back(std::move(option));
    return options;
}

PrintOption findOption(const std::vector<PrintOption>& options, std::string_view key) {
    for (const PrintOption& option : options)
        if (option.key == key) return option;
    return {};
}

} // namespace brelmont::preferences
