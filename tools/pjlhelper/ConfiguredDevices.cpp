#include "ConfiguredDevices.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace brelmont::pjlhelper {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

} // namespace

std::vector<std::string> splitAtBlanks(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i > start) words.emplace_back(text.substr(start, i - start));
    }
    return words;
}

std::vector<std::string> parseDevicesFile(std::string_view content) {
    std::vector<std::string> uris;
    while (!content.empty()) {
        const auto lineEnd = content.find('\n');
        const std::string_view line = trimmed(content.substr(0, lineEnd));
        content = lineEnd == std::string_view::npos ? std::string_view() : content.substr(lineEnd + 1);
        if (!line.empty() && !line.starts_with('#')) uris.emplace_back(line);
    }
    return uris;
}

std::filesystem::path devicesFilePath() {
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return base / "brelmont" / "devices";
}

std::vector<std::string> configuredDeviceUris() {
    if (const char* listed = std::getenv("BRELMONT_DEVICES")) return splitAtBlanks(listed);
    const std::filesystem::path path = devicesFilePath();
    if (path.empty()) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseDevicesFile(content);
}

} // namespace brelmont::pjlhelper
