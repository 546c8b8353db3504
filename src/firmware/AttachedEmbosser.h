// Which embosser the firmware update is for: the queue whose device is in the device listing.
#pragma once

#include "common/Translatable.h"
#include "printer/Printers.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::firmware {

struct AttachedEmbosser {
    int64_t model = 0;
    std::string printerName; // the queue's display name
    std::string queue;
    std::string deviceUri;  // the address of exchanges with it
    std::string deviceLine; // its line of the device listing (its device ID fields)
};

// The message when no embosser is found: in words (an address scheme told the person nothing).
constexpr const char* NoDeviceMessage =
    BRELMONT_TRANSLATABLE("Brelmont", "No embosser is attached. Connect one, switch it on, and try again.");

// With no queue named: the first line of the listing is the embosser's, and the first connected
// queue whose address that line names is its queue. With a queue named: that queue, when a line
// of the listing names its address. None when there is no such queue.
std::optional<AttachedEmbosser> findEmbosser(const std::vector<printer::PrinterItem>& printers,
                                             const std::vector<std::string>& listing,
                                             const std::optional<std::string>& queue = std::nullopt);

// The embosser's listing line now (after a power cycle into update mode it reads differently): the
// line that names its address, from a listing made now; empty when no line does.
std::string deviceLineNow(const AttachedEmbosser& embosser, const printer::SharedStop& stop = {});

} // namespace brelmont::firmware
