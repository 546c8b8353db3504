#include "NetworkListing.h"

#include "DeviceAddress.h"
#include "DeviceId.h"
#include "TransportFactory.h"

#include <array>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace brelmont::pjlhelper {

namespace {

constexpr std::string_view InfoIdRequest = "\x1b%-12345X@PJL INFO ID\r\n";

// Answers of the asking threads. Shared, because a thread stuck in name resolution may outlive
// the listing, which does not wait for it past the budget.
struct Answers {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<std::string>> deviceIds;
    std::size_t pending = 0;
};

void askInBackground(std::shared_ptr<Answers> answers, std::size_t index, SocketAddress address, Deadline deadline) {
    std::string id;
    try {
        auto transport = openTransport(address, deadline);
        id = askDeviceId(*transport, deadline);
    } catch (const TransportError&) {
        // Unreachable devices are simply not attached.
    }
    std::lock_guard lock(answers->mutex);
    if (!id.empty()) answers->deviceIds[index] = std::move(id);
    --answers->pending;
    answers->changed.notify_all();
}

} // namespace

std::string askDeviceId(Transport& transport, Deadline deadline) {
    const auto left = std::chrono::ceil<Milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return {};
    try {
        transport.send({reinterpret_cast<const unsigned char*>(InfoIdRequest.data()), InfoIdRequest.size()}, left);
    } catch (const TransportError&) {
        return {};
    }
    std::string reply;
    std::array<unsigned char, 4096> buffer;
    while (reply.find('\f') == std::string::npos) {
        const ReceiveResult got = transport.receive(buffer, deadline);
        if (got.status != ReceiveStatus::Data) break;
        reply.append(reinterpret_cast<const char*>(buffer.data()), got.size);
    }
    return deviceIdFromInfoIdReply(reply);
}

std::vector<ListedDevice> listNetworkDevices(const std::vector<std::string>& uris, const Timeouts& timeouts) {
    const Deadline deadline = Clock::now() + timeouts.listing;
    auto answers = std::make_shared<Answers>();
    answers->deviceIds.resize(uris.size());

    for (std::size_t i = 0; i < uris.size(); ++i) {
        DeviceAddress address;
        try {
            address = parseDeviceAddress(uris[i]);
        } catch (const AddressError& e) {
            std::fprintf(stderr, "pjlhelper: skipping configured device %s: %s\n", uris[i].c_str(), e.what());
            continue;
        }
        const auto* socket = std::get_if<SocketAddress>(&address);
        if (!socket) {
            std::fprintf(stderr, "pjlhelper: skipping configured device %s: only socket:// devices are configured\n",
                         uris[i].c_str());
            continue;
        }
        {
            std::lock_guard lock(answers->mutex);
            ++answers->pending;
        }
        try {
            std::thread(askInBackground, answers, i, *socket, deadline).detach();
        } catch (const std::system_error&) {
            std::lock_guard lock(answers->mutex);
            --answers->pending;
        }
    }

    // A little grace past the budget for threads that are just finishing their reply.
    std::unique_lock lock(answers->mutex);
    answers->changed.wait_until(lock, deadline + Milliseconds(100), [&] { return answers->pending == 0; });

    std::vector<ListedDevice> listed;
    for (std::size_t i = 0; i < uris.size(); ++i)
        if (answers->deviceIds[i]) listed.push_back({uris[i], *answers->deviceIds[i], "network"});
    return listed;
}

} // namespace brelmont::pjlhelper
