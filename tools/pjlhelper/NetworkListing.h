// The network part of the device listing: configured embossers that answer "@PJL INFO ID".
#pragma once

#include "ListingLine.h"
#include "Timeouts.h"
#include "Transport.h"

#include <string>
#include <vector>

namespace brelmont::pjlhelper {

// Asks every device at once, so that switched-off embossers cost no more than the budget
// timeouts.listing in all; a device that takes the connection has timeouts.reply to answer.
// Returns those that answered, in the order given, each device once under its address exactly as
// first given. Addresses other than socket:// are skipped with a note on stderr.
std::vector<ListedDevice> listNetworkDevices(const std::vector<std::string>& uris, const Timeouts& timeouts);

// Asks an open device for its device ID; empty when it gives none before the deadline.
std::string askDeviceId(Transport& transport, Deadline deadline);

} // namespace brelmont::pjlhelper
