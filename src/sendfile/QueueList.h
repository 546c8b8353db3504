// The queues the send windows offer: the entries each window shows, and which it selects at first.
#pragma once

#include "printer/Printers.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::sendfile {

using printer::PrinterItem;

// The queue name at a list index; none for no selection or an index past the list.
std::optional<std::string> queueAt(const std::vector<PrinterItem>& printers, int index);

// What a combo box shows, and the entry selected at first (-1: none, the list is empty).
struct QueueListing {
    std::vector<std::string> m_entries;
    int m_selected = -1;
};

// The send-file window: display names, a queue without one shown by its make-and-model; the last
// queue of any known model (code 1 or more) is selected, else the first.
QueueListing sendFileListing(const std::vector<PrinterItem>& printers);

// The send-job sheet: display names as they are; the last queue whose model is the one the job was
// made for is selected, else none.
QueueListing sendJobListing(const std::vector<PrinterItem>& printers, int64_t printerType);

} // namespace brelmont::sendfile
