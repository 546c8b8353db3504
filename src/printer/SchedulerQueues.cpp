#include "printer/SchedulerQueues.h"

#include <cups/cups.h>

#include <chrono>
#include <memory>

namespace brelmont::printer {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int ConnectMs = 5000;
constexpr auto ReadLimit = std::chrono::seconds(30); // a scheduler busy with many jobs still answers within it
constexpr double PollSeconds = 0.25;                 // how often a wait looks at the stop signal

struct Wait {
    SharedStop stop;
    Clock::time_point deadline;
    bool stopped() const { return stop && stop->stopped(); }
};

int keepWaiting(http_t*, void* data) {
    const auto* wait = static_cast<const Wait*>(data);
    return !wait->stopped() && Clock::now() < wait->deadline;
}

using Connection = std::unique_ptr<http_t, decltype(&httpClose)>;

// A connection to the server named now (CUPS_SERVER, client.conf), not the one this thread asked
// first; none when it does not answer or the work was stopped. Its waits end at `wait`.
Connection connect(Wait& wait) {
    Connection http(nullptr, &httpClose);
    if (wait.stopped()) return http;
    cupsSetServer(nullptr);
    http.reset(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, ConnectMs, nullptr));
    if (http) httpSetTimeout(http.get(), PollSeconds, keepWaiting, &wait);
    return http;
}

std::string optionOf(const cups_dest_t& dest, const char* name) {
    const char* value = cupsGetOption(name, dest.num_options, dest.options);
    return value ? value : "";
}

SchedulerQueue queueOf(const cups_dest_t& dest) {
    std::string name = dest.name;
    if (dest.instance) name += std::string("/") + dest.instance;
    return {name, optionOf(dest, "device-uri"), optionOf(dest, "printer-make-and-model"), optionOf(dest, "printer-info")};
}

} // namespace

std::vector<SchedulerQueue> readSchedulerQueues(const SharedStop& stop) {
    Wait wait{stop, Clock::now() + ReadLimit};
    const Connection http = connect(wait);
    if (!http) return {};
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http.get(), &dests);
    std::vector<SchedulerQueue> queues;
    for (int i = 0; i < count; ++i) queues.push_back(queueOf(dests[i]));
    cupsFreeDests(count, dests);
    return queues;
}

std::vector<SchedulerQueue> readSchedulerQueues(const std::vector<std::string>& names, const SharedStop& stop) {
    Wait wait{stop, Clock::now() + ReadLimit};
    const Connection http = connect(wait);
    std::vector<SchedulerQueue> queues;
    for (const std::string& full : names) {
        if (!http || wait.stopped()) break;
        const std::size_t slash = full.find('/');
        const std::string name = full.substr(0, slash);
        const std::string instance = slash == std::string::npos ? std::string() : full.substr(slash + 1);
        if (name.empty()) continue;
        if (cups_dest_t* dest = cupsGetNamedDest(http.get(), name.c_str(), instance.empty() ? nullptr : instance.c_str())) {
            queues.push_back(queueOf(*dest));
            cupsFreeDests(1, dest);
        }
    }
    return queues;
}

} // namespace brelmont::printer
