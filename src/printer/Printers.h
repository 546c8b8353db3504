// The print queues that lead to the maker's embossers, their model codes, and which are attached.
#pragma once

#include "printer/SchedulerQueues.h"
#include "printer/StopSignal.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brelmont::printer {

struct PrinterItem {
    std::string deviceUri;
    std::string queue;
    std::string name; // the queue's human-readable name
    int64_t model = 0;
    bool connected = false;
    std::string makeAndModel; // shown where a queue has no name of its own
};

class Printers {
public:
    // Discovers the queues (one request to the scheduler), then runs the device listing once, with
    // the network addresses of the maker's queues asked beside the configured ones.
    // A stopped `stop` ends the commands at once (the list then holds what was found so far).
    explicit Printers(const SharedStop& stop = {});
    // The same for the named queues only: only they are asked for, and only their addresses probed.
    // A name that is not a queue of the maker's embossers is left out.
    Printers(const std::vector<std::string>& queues, const SharedStop& stop);
    // A list made elsewhere (tests, or a caller that already has one).
    explicit Printers(std::vector<PrinterItem> items, std::vector<std::string> listing = {});

    const std::vector<PrinterItem>& items() const& { return m_printers; }
    // A list made for one use ("for (auto& p : Printers().items())") hands its items over whole.
    std::vector<PrinterItem> items() && { return std::move(m_printers); }
    bool empty() const { return m_printers.empty(); }
    // The device listing the discovery saw.
    const std::vector<std::string>& deviceListing() const& { return m_listing; }
    std::vector<std::string> deviceListing() && { return std::move(m_listing); }

    // The socket:// addresses of the queues, each once: the network embossers worth asking.
    static std::vector<std::string> networkAddresses(const std::vector<PrinterItem>& items);

private:
    void discover(const std::vector<SchedulerQueue>& queues, const SharedStop& stop);

    std::vector<PrinterItem> m_printers;
    std::vector<std::string> m_listing;
};

} // namespace brelmont::printer
