#include "firmware/AttachedEmbosser.h"

#include "printer/DeviceUri.h"

namespace brelmont::firmware {

std::optional<AttachedEmbosser> findEmbosser(const std::vector<printer::PrinterItem>& printers,
                                             const std::vector<std::string>& listing, const std::optional<std::string>& queue) {
    // The listing ends with an empty line: a single line holds no device.
    if (listing.size() < 2) return std::nullopt;
    for (const printer::PrinterItem& p : printers) {
        if (!p.connected || (queue && p.queue != *queue)) continue;
        const std::vector<std::string> candidates = queue ? listing : std::vector<std::string>{listing.front()};
        for (const std::string& line : candidates)
            if (printer::lineNamesDevice(line, p.deviceUri)) return AttachedEmbosser{p.model, p.name, p.queue, p.deviceUri, line};
    }
    return std::nullopt;
}

std::string deviceLineNow(const AttachedEmbosser& embosser, const printer::SharedStop& stop) {
    for (const std::string& line : printer::Printers(stop).deviceListing())
        if (printer::lineNamesDevice(line, embosser.deviceUri)) return line;
    return {};
}

} // namespace brelmont::firmware
