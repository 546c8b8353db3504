#include "DeviceAddress.h"

#include "printer/PercentCoding.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace brelmont::pjlhelper {

using printer::percentDecode;

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

unsigned parseNumber(std::string_view text, unsigned min, unsigned max, const char* what, std::string_view uri) {
    unsigned value = 0;
    auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || stop != text.data() + text.size() || value < min || value > max)
        throw AddressError(std::string("bad ") + what + " \"" + std::string(text) + "\" in " + std::string(uri));
    return value;
}

std::uint16_t parsePort(std::string_view text, std::string_view uri) {
    return static_cast<std::uint16_t>(parseNumber(text, 1, 65535, "port", uri));
}

// socket://[user@]HOST[:PORT][/…][?…]; CUPS queues often carry a trailing "/" or options.
SocketAddress parseSocket(std::string_view rest, std::string_view uri) {
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);

    SocketAddress address;
    std::string_view host = authority;
    if (authority.starts_with('[')) {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) throw AddressError("unclosed \"[\" in " + std::string(uri));
        host = authority.substr(1, close - 1);
        std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after[0] != ':') throw AddressError("unexpected text after \"]\" in " + std::string(uri));
            address.port = parsePort(after.substr(1), uri);
        }
    } else if (std::count(authority.begin(), authority.end(), ':') == 1) {
        const auto colon = authority.find(':');
        host = authority.substr(0, colon);
        address.port = parsePort(authority.substr(colon + 1), uri);
    }
    address.host = percentDecode(host);
    if (address.host.empty()) throw AddressError("no host in " + std::string(uri));
    return address;
}

// usb://MAKE/MODEL[?serial=SERIAL][&interface=N]
UsbAddress parseUsb(std::string_view rest, std::string_view uri) {
    const auto slash = rest.find('/');
    if (slash == std::string_view::npos) throw AddressError("no model in " + std::string(uri));
    UsbAddress address;
    address.make = percentDecode(rest.substr(0, slash));
    std::string_view path = rest.substr(slash + 1);
    const auto question = path.find('?');
    address.model = percentDecode(path.substr(0, question));
    if (address.make.empty() || address.model.empty()) throw AddressError("no make or model in " + std::string(uri));

    std::string_view query = question == std::string_view::npos ? std::string_view() : path.substr(question + 1);
    while (!query.empty()) {
        const auto amp = query.find('&');
        const std::string_view field = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (field.starts_with("serial=")) {
            address.serial = percentDecode(field.substr(7));
        } else if (field.starts_with("interface=")) {
            address.interfaceNumber = static_cast<int>(parseNumber(field.substr(10), 0, 255, "interface", uri));
        }
    }
    return address;
}

} // namespace

DeviceAddress parseDeviceAddress(std::string_view uri) {
    if (startsWithNoCase(uri, "socket://")) return parseSocket(uri.substr(9), uri);
    if (startsWithNoCase(uri, "usb://")) return parseUsb(uri.substr(6), uri);
    const auto colon = uri.find(':');
    if (colon == std::string_view::npos || colon == 0) throw AddressError("not a device address: \"" + std::string(uri) + "\"");
    throw AddressError("unknown scheme \"" + std::string(uri.substr(0, colon)) + "\"");
}

} // namespace brelmont::pjlhelper
