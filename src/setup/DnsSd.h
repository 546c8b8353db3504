// Network embossers announced over DNS-SD (multicast DNS on the local network), found through the
// Avahi daemon: browse for a service type, resolve each service, all within a time limit.
#pragma once

#include "printer/StopSignal.h"

#include <chrono>
#include <string>
#include <vector>

namespace brelmont::setup {

// Raw port printers: where embossers announce their PJL port.
constexpr const char* RawPrinterService = "_pdl-datastream._tcp";

struct Announcement {
    std::string name;    // the service's name ("Brelmont Merriden Hall")
    std::string host;    // the announced host name ("hall.local")
    std::string address; // numeric, IPv4 where the device has one
    int port = 0;
    std::vector<std::string> txt; // "key=value"

    // socket://ADDRESS:PORT (an IPv6 address in brackets).
    std::string uri() const;
};

struct BrowseOutcome {
    std::vector<Announcement> found; // each service once
    std::string problem;             // why nothing could be looked for; empty when the browse ran
};

// Browses for `serviceType` and resolves what is found, until every service is resolved after the
// daemon has said it has found all it knows for now, or `limit` has passed, or `stop` is stopped.
// A service announced on several interfaces or for both IP versions is kept once, IPv4 first;
// link-local IPv6 addresses (which need an interface to be reached) are left out.
BrowseOutcome browseDnsSd(const std::string& serviceType, std::chrono::milliseconds limit, const printer::SharedStop& stop = {});

// Whether this program was built with DNS-SD (Avahi's client library).
bool dnsSdBuiltIn();

} // namespace brelmont::setup
