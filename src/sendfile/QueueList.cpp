#include "sendfile/QueueList.h"

#include <functional>

namespace brelmont::sendfile {

namespace {

// The last index whose model passes `wanted`, else `fallback`; -1 for an empty list.
int preselection(const std::vector<PrinterItem>& printers, const std::function<bool(int64_t)>& wanted, int fallback) {
    if (printers.empty()) return -1;
    int selected = fallback;
    for (size_t i = 0; i < printers.size(); ++i)
        if (wanted(printers[i].model)) selected = int(i);
    return selected;
}

} // namespace

std::optional<std::string> queueAt(const std::vector<PrinterItem>& printers, int index) {
    if (index < 0 || size_t(index) >= printers.size()) return std::nullopt;
    return printers[size_t(index)].queue;
}

QueueListing sendFileListing(const std::vector<PrinterItem>& printers) {
    QueueListing listing;
    for (const PrinterItem& p : printers) listing.m_entries.push_back(p.name.empty() ? p.makeAndModel : p.name);
    listing.m_selected = preselection(
        printers, [](int64_t model) { return model >= 1; }, 0);
    return listing;
}

QueueListing sendJobListing(const std::vector<PrinterItem>& printers, int64_t printerType) {
    QueueListing listing;
    for (const PrinterItem& p : printers) listing.m_entries.push_back(p.name);
    // No queue of the job's model: none is chosen for the user, so a job made for one embosser
    // does not go to another by a press of Enter.
    listing.m_selected = preselection(
        printers, [printerType](int64_t model) { return model == printerType; }, -1);
    return listing;
}

} // namespace brelmont::sendfile
