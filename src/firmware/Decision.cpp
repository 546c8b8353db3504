#include "firmware/Decision.h"

namespace brelmont::firmware {

namespace {

std::string header(const std::string& printerName, const std::string& oldVersion) {
    return "Device " + printerName + "\nFirmware " + oldVersion + "\n\n";
}

} // namespace

std::string noUpdateMessage(const std::string& printerName, const std::string& oldVersion) {
    return header(printerName, oldVersion) + "No firmware update available for " + printerName + "\n";
}

Decision decide(const std::optional<FirmwareCatalogue>& catalogue, const std::string& printerName, const DeviceVersion& device) {
    // Without a catalogue nothing was checked: "no update" would not be the truth.
    if (!catalogue)
        return {false, header(printerName, device.version) + "Could not check for a firmware update for " + printerName + "\n",
                std::nullopt};
    Decision decision{false, noUpdateMessage(printerName, device.version), std::nullopt};
    const CatalogueEntry* entry = entryForModel(*catalogue, device.model);
    if (!entry) return decision;
    const bool newer = entry->version != device.version && device.version != "0.0.0";
    if (!newer && !device.override) return decision;
    decision.offered = true;
    decision.entry = *entry;
    decision.message = header(printerName, device.version) + "Firmware Update Version " + entry->version + " is available for " +
                       printerName + "\n";
    return decision;
}

} // namespace brelmont::firmware
