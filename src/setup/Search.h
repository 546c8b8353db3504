// Looking for embossers that have no queue yet: the print queues there are, the device listing's
// USB and configured devices, DNS-SD announcements and typed addresses, each asked for its device
// ID through the device helper.
#pragma once

#include "printer/StopSignal.h"
#include "setup/Candidates.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::setup {

struct SearchRequest {
    std::vector<std::string> typed;        // socket:// addresses (parseTypedAddress)
    bool listed = true;                    // the listing's USB and configured devices
    std::chrono::milliseconds dnsSd{2000}; // how long to look for DNS-SD announcements; 0: not at all
};

struct SearchResult {
    std::vector<FoundDevice> found; // USB, typed, configured, then DNS-SD (by name)
    std::vector<Note> notes;        // what could not be looked at (no Avahi daemon, ...)
};

// Browses DNS-SD, then runs the device listing once, asking the typed and announced addresses
// beside the configured ones. Typed and announced addresses that did not answer are in the
// result with no device ID.
SearchResult lookForDevices(const SearchRequest& request, const printer::SharedStop& stop = {});

// Every print queue with its device address ("lpstat -e", then "lpoptions -p" for each); none,
// with `error` saying why, when the printing system could not be asked.
std::optional<std::vector<ExistingQueue>> currentQueues(std::string* error = nullptr, const printer::SharedStop& stop = {});

// All of it: the queues, the devices, the candidates. A printing system that cannot be asked is a
// problem note (names could not be checked), and no candidate is offered.
Discovery discover(const SearchRequest& request, const printer::SharedStop& stop = {});

} // namespace brelmont::setup
