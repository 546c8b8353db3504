#include "firmware/DeviceVersion.h"

#include "common/ModelCodes.h"

#include <algorithm>
#include <cctype>

namespace brelmont::firmware {

namespace {

constexpr int MaxAttempts = 10;

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Where ";S:" ends in the line, compared without regard to case; npos without it.
size_t afterStatusField(const std::string& line) {
    const size_t at = lowerCase(line).find(";s:");
    return at == std::string::npos ? at : at + 3;
}

// The rest of the first reply line that begins with `key`, carriage returns and double quotes
// removed first; none when no line does.
std::optional<std::string> replyValue(const printer::ReplyLines& reply, const std::string& key) {
    for (std::string line : reply) {
        std::erase(line, '\r');
        std::erase(line, '"');
        if (line.starts_with(key)) return line.substr(key.size());
    }
    return std::nullopt;
}

// Asks until a reply holds the key; a device that cannot be reached is not asked again.
DeviceVersion askVersion(const AttachedEmbosser& embosser, const DeviceChannels& channels, std::string_view request,
                         const std::string& key, const std::string& skipWhenLineHas = {}) {
    DeviceVersion result{.model = embosser.model};
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        if (!skipWhenLineHas.empty() && embosser.deviceLine.find(skipWhenLineHas) != std::string::npos) break;
        const printer::ExchangeResult reply = channels.pjl(std::string(request), embosser.deviceUri, channels.bounds);
        if (reply.status == printer::ExchangeStatus::Cancelled) return {.model = embosser.model, .cancelled = true};
        if (const auto version = replyValue(reply.reply, key)) {
            result.version = *version;
            return result;
        }
        if (!reply.ok() && reply.status != printer::ExchangeStatus::Dropped) break;
    }
    result.override = true;
    return result;
}

DeviceVersion askFennick(const AttachedEmbosser& embosser, const DeviceChannels& channels) {
    DeviceVersion result{.model = embosser.model};
    if (afterStatusField(embosser.deviceLine) != std::string::npos) {
        for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
            const printer::DataExchangeResult reply = channels.data(FennickVersionRequest, embosser.deviceUri, channels.bounds);
            if (reply.status == printer::ExchangeStatus::Cancelled) return {.model = embosser.model, .cancelled = true};
            const std::vector<uint8_t>& r = reply.reply;
            if (r.size() == 16 && r[0] == 0x1B && r[1] == 0x80) {
                result.version = std::to_string(r[6]) + "." + std::to_string(r[8]) + "." + std::to_string(r[10]);
                return result;
            }
            if (!reply.ok() && reply.status != printer::ExchangeStatus::Dropped) break;
        }
    }
    result.override = true;
    return result;
}

} // namespace

const std::vector<uint8_t> FennickVersionRequest = {0x1B, 0x80, 0x34, 0x00, 0x01, 0x00, 0x00, 0x00,
                                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD1, 0x00};

// Three numbers from the digit pairs after ";S:" (skipping two characters), each the first digit
// plus 16 times the second; the version reads them backwards. A second number of 7 is an Ivra.
std::optional<DeviceVersion> orvinVersionFromDeviceLine(const std::string& deviceLine) {
    const size_t c = afterStatusField(deviceLine);
    if (c == std::string::npos) return std::nullopt;
    const auto digit = [&](size_t at) {
        const char ch = at < deviceLine.size() ? deviceLine[at] : '0';
        return ch >= '0' && ch <= '9' ? ch - '0' : 0;
    };
    int numbers[3];
    for (int i = 0; i < 3; ++i) numbers[i] = digit(c + 2 + 2 * size_t(i)) + 16 * digit(c + 3 + 2 * size_t(i));
    DeviceVersion result;
    result.version = std::to_string(numbers[2]) + "." + std::to_string(numbers[1]) + "." + std::to_string(numbers[0]);
    result.model = numbers[1] == 7 ? model::OrvinColorTintBridge : model::Orvin;
    return result;
}

DeviceChannels systemChannels(const printer::SharedStop& stop, std::chrono::milliseconds timeLimit) {
    return {
        &printer::PjlHelper::exchange, &printer::PjlHelper::exchangeData, {std::chrono::steady_clock::now() + timeLimit, stop}};
}

EmbosserCheck checkEmbosser(const std::optional<std::string>& queue, const DeviceChannels& channels) {
    const printer::Printers printers(channels.bounds.stop);
    EmbosserCheck check;
    check.embosser = findEmbosser(printers.items(), printers.deviceListing(), queue);
    if (check.embosser) check.version = readDeviceVersion(*check.embosser, channels);
    return check;
}

DeviceVersion readDeviceVersion(const AttachedEmbosser& embosser, const DeviceChannels& channels) {
    const std::string_view legacy = printer::pjl::Legacy.request;
    const std::string_view versions = printer::pjl::Versions.request;
    switch (embosser.model) {
    case model::Tessaline: return askVersion(embosser, channels, legacy, "FIRMWARE=", ";S:04020000");
    case model::Quorrin: return askFennick(embosser, channels);
    case model::Valdo:
    case model::Merriden: return askVersion(embosser, channels, versions, "FWPRIMARY=");
    case model::OrvinColorTintBridge: return askVersion(embosser, channels, versions, "FIRMWARE=");
    case model::Orvin: {
        if (auto version = orvinVersionFromDeviceLine(embosser.deviceLine)) return *version;
        return {.override = true, .model = embosser.model};
    }
    default: return {.model = embosser.model};
    }
}

} // namespace brelmont::firmware
