// Whether an update is offered, and the message that says so.
#pragma once

#include "firmware/Catalogue.h"
#include "firmware/DeviceVersion.h"

#include <optional>
#include <string>

namespace brelmont::firmware {

struct Decision {
    bool offered = false;
    std::string message;
    std::optional<CatalogueEntry> entry; // the file on offer
};

// "Device NAME\nFirmware VERSION\n\nNo firmware update available for NAME\n"
std::string noUpdateMessage(const std::string& printerName, const std::string& oldVersion);

// The first entry for the model is offered when its version text differs from a version that was
// read, or whatever it says when the version could not be read. Without a catalogue, no update.
Decision decide(const std::optional<FirmwareCatalogue>& catalogue, const std::string& printerName, const DeviceVersion& device);

} // namespace brelmont::firmware
