#include "setup/TypedAddress.h"

#include "printer/DeviceUri.h"

#include <algorithm>
#include <cctype>

namespace brelmont::setup {

namespace {

bool hostNameCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_'; }

bool ipv6Character(char c) { return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.'; }

TypedAddress refused(std::string why) { return {{}, {}, std::move(why)}; }

} // namespace

TypedAddress parseTypedAddress(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    if (text.empty()) return refused("no address was given");
    const std::string given(text);

    if (const std::size_t scheme = text.find("://"); scheme != std::string_view::npos) {
        std::string name(text.substr(0, scheme));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (name != "socket") return refused(given + " is not a socket:// address (socket://HOST or socket://HOST:PORT)");
        text.remove_prefix(scheme + 3);
    }
    if (text.ends_with('/')) text.remove_suffix(1);

    std::string host;
    std::string_view rest;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return refused(given + ": the IPv6 address has no closing ']'");
        host = std::string(text.substr(1, close - 1));
        if (host.empty() || host.find(':') == std::string::npos || !std::all_of(host.begin(), host.end(), ipv6Character))
            return refused(given + ": '" + host + "' is not an IPv6 address");
        rest = text.substr(close + 1);
    } else {
        const std::size_t colon = text.find(':');
        host = std::string(text.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon);
        if (host.empty()) return refused(given + " names no host");
        if (!std::all_of(host.begin(), host.end(), hostNameCharacter))
            return refused(given + ": a host name holds only letters, digits, '.', '-' and '_'");
    }

    int port = printer::DefaultSocketPort;
    if (!rest.empty()) {
        const std::string_view digits = rest.substr(1);
        if (rest.front() != ':' || digits.empty() || digits.size() > 5 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            return refused(given + ": after the host only :PORT may follow");
        port = std::stoi(std::string(digits));
        if (port < 1 || port > 65535) return refused(given + ": the port must lie between 1 and 65535");
    }
    const std::string bracketed = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return {"socket://" + bracketed + ":" + std::to_string(port), host, {}};
}

std::string socketHost(std::string_view uri) {
    const std::string normal = printer::normalizedDeviceUri(uri);
    if (!normal.starts_with("socket://")) return {};
    std::string_view authority = std::string_view(normal).substr(9);
    authority = authority.substr(0, std::min(authority.find_first_of("/?#"), authority.size()));
    if (authority.starts_with('[')) return std::string(authority.substr(1, authority.find(']') - 1));
    return std::string(authority.substr(0, authority.rfind(':')));
}

} // namespace brelmont::setup
