#include "firmware/FirmwareSend.h"

#include "common/ModelCodes.h"
#include "common/Translatable.h"
#include "printer/WorkFile.h"
#include "sendfile/SendOperation.h"

#include <chrono>

namespace brelmont::firmware {

namespace {

constexpr std::string_view UpdateModeA = BRELMONT_TRANSLATABLE(
    "Brelmont",
    "Firmware could not be installed!Power cycle the embosser while holding down all 4 buttons on the operator panel.\n"
    "Wait for the Tear Off lights go on, and alternate blinking Online and Paper Out.\nThen press Update to continue.");
constexpr std::string_view UpdateModeB = BRELMONT_TRANSLATABLE(
    "Brelmont",
    "Firmware could not be installed!Power cycle the embosser while holding down all 3 buttons on the operator panel.\n"
    "Wait the for red Warning light goes on,\nthen press Update to continue.");
constexpr std::string_view UpdateModeC = BRELMONT_TRANSLATABLE(
    "Brelmont",
    "Firmware could not be installed!Power cycle the embosser while holding down all 3 buttons on the operator panel.\n"
    "Wait for the red Warning light goes on,\nthen press Update to continue.");

// A firmware file takes its time: the helper's own stall limits end a device that stops taking it.
constexpr std::chrono::minutes SendLimit{15};

} // namespace

SendPlan sendPlan(int64_t code) {
    switch (code) {
    case model::Tessaline: return {Transport::Queue, ";S:04020000", UpdateModeA};
    case model::Quorrin: return {Transport::Direct, ";F:", UpdateModeB};
    case model::Orvin: return {Transport::Direct, ";F:", UpdateModeC};
    case model::Valdo:
    case model::Merriden:
    case model::OrvinColorTintBridge: return {Transport::Queue, {}, {}};
    default: return {};
    }
}

std::string_view notReady(const SendPlan& plan, const std::string& deviceLine) {
    if (plan.precondition.empty() || deviceLine.find(plan.precondition) != std::string::npos) return {};
    return plan.notReadyAlert;
}

std::string directAddress(const std::string& deviceLine) {
    const size_t first = deviceLine.find(' ');
    if (first == std::string::npos) return {};
    const size_t end = deviceLine.find(' ', first + 1);
    return deviceLine.substr(first + 1, end == std::string::npos ? std::string::npos : end - first - 1);
}

printer::ExchangeOutcome sendFirmware(const std::vector<uint8_t>& firmware, const SendPlan& plan,
                                      const AttachedEmbosser& embosser, const printer::SharedStop& stop) {
    using printer::ExchangeStatus;
    if (plan.transport == Transport::None) return {ExchangeStatus::Failed, "this embosser has no firmware transport"};
    const printer::WorkFile file("fw", firmware.data(), firmware.size());
    if (!file.error().empty()) return {ExchangeStatus::Failed, file.error()};
    if (plan.transport == Transport::Direct)
        return printer::PjlHelper::sendFile(file.path().string(), directAddress(embosser.deviceLine),
                                            {std::chrono::steady_clock::now() + SendLimit, stop});
    const sendfile::SendOutcome sent = sendfile::send(file.path().string(), embosser.queue, SendLimit, stop);
    switch (sent.status) {
    case sendfile::SendOutcome::Status::Queued: return {};
    case sendfile::SendOutcome::Status::Cancelled: return {ExchangeStatus::Cancelled, sent.detail};
    default: return {ExchangeStatus::Failed, sent.detail};
    }
}

} // namespace brelmont::firmware
