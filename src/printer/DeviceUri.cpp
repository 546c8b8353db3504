#include "printer/DeviceUri.h"

#include <algorithm>
#include <cctype>

namespace brelmont::printer {

std::string normalizedDeviceUri(std::string_view uri) {
    const std::size_t colon = uri.find("://");
    if (colon == std::string_view::npos) return std::string(uri);
    std::string scheme(uri.substr(0, colon));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    std::string_view rest = uri.substr(colon + 3);
    if (scheme != "socket") return scheme + "://" + std::string(rest);
    const std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
    const std::string_view authority = rest.substr(0, authorityEnd);
    // An IPv6 host stands in brackets; a port follows the last colon outside them.
    const std::size_t bracket = authority.rfind(']');
    const std::size_t portColon = authority.rfind(':');
    const bool hasPort = portColon != std::string_view::npos && (bracket == std::string_view::npos || portColon > bracket) &&
                         (bracket != std::string_view::npos || authority.find(':') == portColon);
    std::string out = scheme + "://" + std::string(authority);
    if (!hasPort && !authority.empty()) out += ":" + std::to_string(DefaultSocketPort);
    return out + std::string(rest.substr(authorityEnd));
}

bool sameDevice(std::string_view a, std::string_view b) {
    return !a.empty() && !b.empty() && normalizedDeviceUri(a) == normalizedDeviceUri(b);
}

// "socket://host:910" must not be taken for "socket://host:9100", nor "?serial=12" for "?serial=123".
bool lineNamesDevice(std::string_view line, std::string_view deviceUri) {
    if (deviceUri.empty()) return false;
    const auto delimiter = [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; };
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && delimiter(line[at])) ++at;
        std::size_t end = at;
        while (end < line.size() && !delimiter(line[end])) ++end;
        if (end > at && sameDevice(line.substr(at, end - at), deviceUri)) return true;
        at = end;
    }
    return false;
}

} // namespace brelmont::printer
