// The network part of the device listing: configured embossers that answer "@PJL INFO ID".
#pragma once

#include "ListingLine.h"
#include "Timeouts.h"
#include "Transport.h"

#include <string>
#include <vector>

namespace brelmont::pjlhelper {

// Asks every device at once, each with timeouts.listing from the start to take the connection and
// name itself, so that switched-off or silent devices cost no more than that in all (the long
// reply time is for exchanges; one that cannot name itself by then is not listed).
// Returns those that answered, in the order given, each device once under its address exactly as
// first given. Addresses other than socket:// are skipped with a note on stderr.
std::vector<ListedDevice> listNetworkDevices(const std::vector<std::string>& uris, const Timeouts& timeouts);

// Asks an open device for its device ID; empty when it gives none before the deadline.
std::string askDeviceId(Transport& transport, Deadline deadline);

} // namespace brelmont::pjlhelper
