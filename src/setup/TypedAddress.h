// Addresses a person types for a network embosser: socket://HOST[:PORT], or HOST[:PORT] alone.
#pragma once

#include <string>
#include <string_view>

namespace brelmont::setup {

struct TypedAddress {
    std::string uri;   // socket://HOST:PORT, the port made explicit (9100 when none was typed)
    std::string host;  // as typed, without the brackets of an IPv6 address
    std::string error; // why the text is no address; empty when it is one

    bool ok() const { return error.empty(); }
};

// Reads a typed address. A host is a name of letters, digits, '.', '-' and '_', or an IPv4
// address, or an IPv6 address in brackets; the port is 1 to 65535. Nothing may follow but "/".
TypedAddress parseTypedAddress(std::string_view text);

// The host of a socket:// address (brackets of an IPv6 address removed); empty for any other.
std::string socketHost(std::string_view uri);

} // namespace brelmont::setup
