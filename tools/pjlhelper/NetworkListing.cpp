#include "NetworkListing.h"

#include "DeviceAddress.h"
#include "DeviceId.h"
#include "TransportFactory.h"

#include "printer/DeviceUri.h"

#include <algorithm>
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
// An identity is one short line; a device that talks on past this is not an embosser.
constexpr std::size_t MaxIdReplyBytes = 16 * 1024;

// Answers of the asking threads. Shared, because a thread stuck in name resolution may outlive
// the listing, which does not wait for it past the deadline.
struct Answers {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<std::string>> deviceIds;
    std::size_t pending = 0; // threads still at work
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

// The addresses in order, each device once ("socket://host" and "socket://host:9100" are one).
std::vector<std::string> distinctDevices(const std::vector<std::string>& uris) {
    std::vector<std::string> distinct;
    for (const std::string& uri : uris)
        if (std::none_of(distinct.begin(), distinct.end(),
                         [&](const std::string& known) { return printer::sameDevice(known, uri); }))
            distinct.push_back(uri);
    return distinct;
}

} // namespace

std::string askDeviceId(Transport& transport, Deadline deadline) {
    const auto left = std::chrono::ceil<Milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return {};
    try {
        transport.send({reinterpret_cast<const unsigned char*>(InfoIdRequest.data()), InfoIdRequest.size()}, left);
    } catch (const TransportError&) { return {}; }
    std::string reply;
    std::array<unsigned char, 4096> buffer;
    while (reply.find('\f') == std::string::npos && reply.size() <= MaxIdReplyBytes) {
        const ReceiveResult got = transport.receive(buffer, deadline);
        if (got.status != ReceiveStatus::Data) break;
        reply.append(reinterpret_cast<const char*>(buffer.data()), got.size);
    }
    return reply.size() > MaxIdReplyBytes ? std::string() : deviceIdFromInfoIdReply(reply);
}

std::vector<ListedDevice> listNetworkDevices(const std::vector<std::string>& given, const Timeouts& timeouts) {
    const std::vector<std::string> uris = distinctDevices(given);
    const Deadline deadline = Clock::now() + timeouts.listing;
    auto answers = std::make_shared<Answers>();
    answers->deviceIds.resize(uris.size());

    for (std::size_t i = 0; i < uris.size(); ++i) {
        DeviceAddress address;
        try {
            address = parseDeviceAddress(uris[i]);
        } catch (const AddressError& e) {
            std::fprintf(stderr, "pjlhelper: skipping device %s: %s\n", uris[i].c_str(), e.what());
            continue;
        }
        const auto* socket = std::get_if<SocketAddress>(&address);
        if (!socket) {
            std::fprintf(stderr, "pjlhelper: skipping device %s: only socket:// devices are asked over the network\n",
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

    // Until every device answered, and never past the deadline (with a little grace for threads
    // just handing in their answer).
    std::unique_lock lock(answers->mutex);
    answers->changed.wait_until(lock, deadline + Milliseconds(20), [&] { return answers->pending == 0; });

    std::vector<ListedDevice> listed;
    for (std::size_t i = 0; i < uris.size(); ++i)
        if (answers->deviceIds[i]) listed.push_back({uris[i], *answers->deviceIds[i], "network"});
    return listed;
}

} // namespace brelmont::pjlhelper
