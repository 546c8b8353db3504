#include "firmware/FirmwareUpdate.h"

#include "firmware/Decision.h"

namespace brelmont::firmware {

bool FirmwareUpdate::updateEnabled() const {
    switch (m_state) {
    case FirmwareState::Offered:
    case FirmwareState::Received:
    case FirmwareState::NotReady:
    case FirmwareState::SendFailed: return true;
    default: return false;
    }
}

std::string_view FirmwareUpdate::updateTitle() const { return m_firmware.empty() ? "Download" : "Update"; }

void FirmwareUpdate::noDevice() {
    m_state = FirmwareState::NoDevice;
    m_info = NoDeviceMessage;
}

void FirmwareUpdate::checked(const AttachedEmbosser& embosser, const DeviceVersion& version,
                             const std::optional<FirmwareCatalogue>& catalogue) {
    m_embosser = embosser;
    m_version = version;
    const Decision decision = decide(catalogue, embosser.printerName, version);
    m_info = decision.message;
    m_entry = decision.entry;
    m_state = decision.offered ? FirmwareState::Offered : FirmwareState::NoUpdate;
}

bool FirmwareUpdate::received(std::vector<uint8_t> firmware, const std::string& sha256) {
    if (m_state != FirmwareState::Offered || !m_entry || !downloadMatches(int64_t(firmware.size()), sha256, *m_entry))
        return false;
    m_firmware = std::move(firmware);
    m_info += "\nFirmware file has been received.\nClick on Update to continue the Embosser update.\n";
    m_state = FirmwareState::Received;
    return true;
}

std::string_view FirmwareUpdate::startSending(const std::string& deviceLine) {
    if (m_firmware.empty() || plan().transport == Transport::None) return {};
    if (const std::string_view alert = notReady(plan(), deviceLine); !alert.empty()) {
        m_state = FirmwareState::NotReady;
        return alert;
    }
    m_info += "\nSending firmware file to Embosser.\nDon't turn off the device until it has finished!";
    m_state = FirmwareState::Sending;
    return {};
}

void FirmwareUpdate::sendFinished(const printer::ExchangeOutcome& outcome) {
    if (outcome.ok()) {
        m_info += plan().transport == Transport::Queue ? "\nThe embosser's queue has taken the firmware file.\n"
                                                       : "\nThe firmware file has been sent to the embosser.\n";
        m_state = FirmwareState::Sent;
        return;
    }
    m_info += "\nThe firmware file was not sent: " + outcome.describe() + "\nClick on Update to try again.\n";
    m_state = FirmwareState::SendFailed;
}

} // namespace brelmont::firmware
