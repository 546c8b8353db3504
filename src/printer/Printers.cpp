#include "printer/Printers.h"

#include "printer/DeviceUri.h"
#include "printer/ModelTable.h"
#include "printer/PjlHelper.h"
#include "printer/SchedulerQueues.h"

#include <algorithm>

namespace brelmont::printer {

Printers::Printers(const SharedStop& stop) { discover(readSchedulerQueues(stop), stop); }

Printers::Printers(const std::vector<std::string>& queues, const SharedStop& stop) {
    discover(readSchedulerQueues(queues, stop), stop);
}

void Printers::discover(const std::vector<SchedulerQueue>& queues, const SharedStop& stop) {
    for (const SchedulerQueue& queue : queues) {
        const int64_t code = modelCode("printer-make-and-model=" + queue.makeAndModel);
        if (code < 1) continue;
        m_printers.push_back({queue.deviceUri, queue.name, queue.info, code, false, queue.makeAndModel});
    }
    m_listing = PjlHelper::deviceListing(networkAddresses(m_printers), stop);
    for (PrinterItem& item : m_printers)
        item.connected = std::any_of(m_listing.begin(), m_listing.end(),
                                     [&](const std::string& line) { return lineNamesDevice(line, item.deviceUri); });
}

Printers::Printers(std::vector<PrinterItem> items, std::vector<std::string> listing)
    : m_printers(std::move(items)),
      m_listing(std::move(listing)) {}

std::vector<std::string> Printers::networkAddresses(const std::vector<PrinterItem>& items) {
    std::vector<std::string> addresses;
    for (const PrinterItem& item : items) {
        if (normalizedDeviceUri(item.deviceUri).rfind("socket://", 0) != 0) continue;
        if (std::none_of(addresses.begin(), addresses.end(),
                         [&](const std::string& known) { return sameDevice(known, item.deviceUri); }))
            addresses.push_back(item.deviceUri);
    }
    return addresses;
}

} // namespace brelmont::printer
