#include "sendfile/QueueList.h"

#include <functional>

namespace brelmont::sendfile {

namespace {

int64_t modelAt(const QueueChoices& choices, size_t i) {
    return i < choices.m_modelNumbers.size() ? choices.m_modelNumbers[i] : 0;
}

// The last index whose model passes `wanted`, else 0; -1 for an empty list.
int preselection(const QueueChoices& choices, size_t count, const std::function<bool(int64_t)>& wanted) {
    if (count == 0) return -1;
    int selected = 0;
    for (size_t i = 0; i < count; ++i)
        if (wanted(modelAt(choices, i))) selected = int(i);
    return selected;
}

} // namespace

QueueChoices QueueChoices::from(const printer::Printers& printers) {
    return {printers.m_queues, printers.m_printerNames, printers.m_makeAndModel, printers.m_modelNumbers};
}

QueueChoices QueueChoices::discover() { return from(printer::Printers()); }

std::optional<std::string> QueueChoices::queueAt(int index) const {
    if (index < 0 || size_t(index) >= m_queues.size()) return std::nullopt;
    return m_queues[size_t(index)];
}

QueueListing sendFileListing(const QueueChoices& choices) {
    QueueListing listing;
    for (size_t i = 0; i < choices.m_printerNames.size(); ++i) {
        const std::string& name = choices.m_printerNames[i];
        const bool fallBack = name.empty() && i < choices.m_makeAndModel.size();
        listing.m_entries.push_back(fallBack ? choices.m_makeAndModel[i] : name);
    }
    listing.m_selected = preselection(choices, listing.m_entries.size(), [](int64_t model) { return model >= 1; });
    return listing;
}

QueueListing sendJobListing(const QueueChoices& choices, int64_t printerType) {
    QueueListing listing;
    listing.m_entries = choices.m_printerNames;
    listing.m_selected =
        preselection(choices, listing.m_entries.size(), [printerType](int64_t model) { return model == printerType; });
    return listing;
}

} // namespace brelmont::sendfile
