// The firmware update from the check to the file sent, as one small state machine that the window
// and the command line both drive: what the information text says, what the buttons offer, and
// which step may follow.
#pragma once

#include "common/Translatable.h"
#include "firmware/AttachedEmbosser.h"
#include "firmware/Catalogue.h"
#include "firmware/DeviceVersion.h"
#include "firmware/FirmwareSend.h"
#include "printer/PjlHelper.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::firmware {

enum class FirmwareState {
    Checking,   // finding the embosser, reading its version, fetching the catalogue
    NoDevice,   // no embosser of a known queue is attached
    NoUpdate,   // nothing to offer
    Offered,    // an update is offered: Update downloads it
    Received,   // the file is here: Update sends it
    NotReady,   // the embosser is not in update mode: the recovery instruction was shown
    Sending,    // the transport is at work
    Sent,       // the transport handed the file over
    SendFailed, // the transport failed: Update tries again
};

constexpr std::string_view DownloadRefusedMessage = BRELMONT_TRANSLATABLE("Brelmont", "Firmware could not be downloaded!");

class FirmwareUpdate {
public:
    FirmwareState state() const { return m_state; }
    const std::string& info() const { return m_info; }
    bool updateEnabled() const;
    std::string_view updateTitle() const; // "Download" until the file is here, then "Update"
    const std::optional<AttachedEmbosser>& embosser() const { return m_embosser; }
    int64_t model() const { return m_version.model; }
    const std::optional<CatalogueEntry>& entry() const { return m_entry; }
    const std::vector<uint8_t>& firmware() const { return m_firmware; }
    SendPlan plan() const { return sendPlan(m_version.model); }

    void noDevice();
    // The check's result: the version read and the catalogue (none when it could not be had).
    void checked(const AttachedEmbosser& embosser, const DeviceVersion& version,
                 const std::optional<FirmwareCatalogue>& catalogue);
    // The download came: kept when it is the entry's file (Received); else refused (Offered again).
    bool received(std::vector<uint8_t> firmware, const std::string& sha256);
    // Update pressed with the file, `deviceLine` being the embosser's listing line now: the
    // recovery instruction when it is not in update mode (NotReady), else empty (Sending).
    std::string_view startSending(const std::string& deviceLine);
    // How the transport ended.
    void sendFinished(const printer::ExchangeOutcome& outcome);

private:
    FirmwareState m_state = FirmwareState::Checking;
    std::string m_info;
    std::optional<AttachedEmbosser> m_embosser;
    DeviceVersion m_version;
    std::optional<CatalogueEntry> m_entry;
    std::vector<uint8_t> m_firmware;
};

} // namespace brelmont::firmware
