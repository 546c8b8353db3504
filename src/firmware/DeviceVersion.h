// The firmware version an embosser reports, read the way its family tells it.
#pragma once

#include "firmware/AttachedEmbosser.h"
#include "printer/PjlHelper.h"
#include "printer/RetryQuery.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace brelmont::firmware {

// Bytes to a device and its reply bytes (PjlHelper::exchangeData in the program).
using DataExchange = std::function<printer::DataExchangeResult(const std::vector<uint8_t>& data, const std::string& device,
                                                               const printer::ExchangeBounds& bounds)>;

struct DeviceChannels {
    printer::PjlExchange pjl;
    DataExchange data;
    printer::ExchangeBounds bounds;
};

struct DeviceVersion {
    std::string version = "0.0.0"; // "0.0.0" when none was read
    // The version could not be read: any catalogue entry for the model is offered.
    bool override = false;
    // The model the update is for: an Orvin whose device line says so is an Ivra.
    int64_t model = 0;
    // Set when the user or the program stopped the reading: nothing more is decided.
    bool cancelled = false;
};

// The fixed request that asks a Fennick for its firmware version.
extern const std::vector<uint8_t> FennickVersionRequest;

// The version of the embosser's family, asking it at most ten times where a request is repeated.
DeviceVersion readDeviceVersion(const AttachedEmbosser& embosser, const DeviceChannels& channels);

// The exchanges of the program (PjlHelper), bounded by `timeLimit` and stopped by `stop`.
DeviceChannels systemChannels(const printer::SharedStop& stop, std::chrono::milliseconds timeLimit = std::chrono::seconds(30));

// The attached embosser, from the queue list and device listing made now, and its version.
struct EmbosserCheck {
    std::optional<AttachedEmbosser> embosser;
    DeviceVersion version;
};
EmbosserCheck checkEmbosser(const std::optional<std::string>& queue, const DeviceChannels& channels);

// The Orvin's version from the ";S:" field of its device line; none without the field.
std::optional<DeviceVersion> orvinVersionFromDeviceLine(const std::string& deviceLine);

} // namespace brelmont::firmware
