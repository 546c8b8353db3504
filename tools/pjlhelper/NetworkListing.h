// The network part of the device listing: configured embossers that answer "@PJL INFO ID".
#pragma once

#include "ListingLine.h"
#include "Timeouts.h"
#include "Transport.h"

#include <string>
#include <vector>

namespace brelmont::pjlhelper {

// Asks every device at once, so that one switched-off embosser costs no more than the budget
// timeouts.listing in all. Returns those that answered in time, in the order given, each under
// its address exactly as given. Addresses other than socket:// are skipped with a note on stderr.
std::vector<ListedDevice> listNetworkDevices(const std::vector<std::string>& uris, const Timeouts& timeouts);

// Asks an open device for its device ID; empty when it gives none before the deadline.
std::string askDeviceId(Transport& transport, Deadline deadline);

} // namespace brelmont::pjlhelper
