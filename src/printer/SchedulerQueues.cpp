#include "printer/SchedulerQueues.h"

#include <cups/cups.h>

#include <cerrno>
#include <chrono>
#include <cstring>
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
};

int keepWaiting(http_t*, void* data) {
    const auto* wait = static_cast<const Wait*>(data);
    return !(wait->stop && wait->stop->stopped()) && Clock::now() < wait->deadline;
}

struct Connection {
    Wait wait;
    std::unique_ptr<http_t, decltype(&httpClose)> http{nullptr, &httpClose};
    std::string error;
};

void connect(Connection& c) {
    c.wait.deadline = Clock::now() + ReadLimit;
    if (c.wait.stop && c.wait.stop->stopped()) {
        c.error = "the work was stopped";
        return;
    }
    // The server named now (CUPS_SERVER, client.conf), not the one this thread asked first.
    cupsSetServer(nullptr);
    int cancel = 0;
    c.http.reset(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, ConnectMs, &cancel));
    if (!c.http) {
        c.error = std::string("the printing system does not answer (") + cupsServer() + ": " + std::strerror(errno) + ")";
        return;
    }
    httpSetTimeout(c.http.get(), PollSeconds, keepWaiting, &c.wait);
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

// Why a request the scheduler answered gave nothing; empty when it simply has no queue.
std::string requestError(const Connection& c) {
    if (c.wait.stop && c.wait.stop->stopped()) return "the work was stopped";
    const ipp_status_t status = cupsLastError();
    if (status <= IPP_STATUS_OK_EVENTS_COMPLETE || status == IPP_STATUS_ERROR_NOT_FOUND) return {};
    return std::string("the print queues could not be read (") + cupsLastErrorString() + ")";
}

} // namespace

SchedulerQueues readSchedulerQueues(const SharedStop& stop) {
    Connection c{{stop, {}}, {nullptr, &httpClose}, {}};
    connect(c);
    if (!c.http) return {{}, c.error};
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(c.http.get(), &dests);
    SchedulerQueues result;
    for (int i = 0; i < count; ++i) result.queues.push_back(queueOf(dests[i]));
    cupsFreeDests(count, dests);
    if (count == 0) result.error = requestError(c);
    return result;
}

SchedulerQueues readSchedulerQueues(const std::vector<std::string>& names, const SharedStop& stop) {
    Connection c{{stop, {}}, {nullptr, &httpClose}, {}};
    connect(c);
    if (!c.http) return {{}, c.error};
    SchedulerQueues result;
    for (const std::string& full : names) {
        const std::size_t slash = full.find('/');
        const std::string name = full.substr(0, slash);
        const std::string instance = slash == std::string::npos ? std::string() : full.substr(slash + 1);
        if (name.empty()) continue;
        cups_dest_t* dest = cupsGetNamedDest(c.http.get(), name.c_str(), instance.empty() ? nullptr : instance.c_str());
        if (dest) {
            result.queues.push_back(queueOf(*dest));
            cupsFreeDests(1, dest);
        } else if (std::string why = requestError(c); !why.empty()) {
            result.error = std::move(why);
            break;
        }
    }
    return result;
}

} // namespace brelmont::printer
