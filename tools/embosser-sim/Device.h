// The simulated embosser itself: answers PJL queries from its state, applies DEFAULT settings
// and saves them, stores downloads, and logs every request. One Device serves all connections;
// its calls are serialised.
#pragma once

#include "DeviceState.h"
#include "Family.h"
#include "Reply.h"
#include "RequestLog.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace brelmont::sim {

struct DeviceConfig {
    std::string deviceId;            // empty: the family's own
    std::filesystem::path statePath; // empty: settings live only as long as the process
    std::filesystem::path storeDir;  // empty: data and downloads are counted, not kept
    std::filesystem::path jobsDir;   // empty: whole connections are not kept
};

class Device {
public:
    Device(const FamilyTable& family, DeviceConfig config, RequestLog& log);

    // Loads the saved state and prepares the store folder.
    bool start(std::string* error);

    const FamilyTable& family() const { return m_family; }

    // Each request; a query returns the reply to send at once.
    std::optional<Reply> pjlLine(int connection, std::string_view line);
    void printerCommand(int connection, std::string_view text);
    std::optional<std::string> binaryCommand(int connection, std::string_view bytes);
    void download(int connection, std::string_view name, std::string_view bytes, bool complete);

    // Fresh files for one connection that carried data: "received-NNN.bin" in the store for the
    // data alone, "job-NNN.prn" in the jobs folder for every byte of the connection (its PJL job
    // lines name the model); each empty without its folder.
    struct ReceivedFiles {
        std::filesystem::path data, job;
    };
    ReceivedFiles newReceivedFiles();

private:
    std::optional<Reply> info(std::string_view what);
    Reply inquire(std::string_view word, std::string_view name);
    std::string setDefault(std::string_view assignment);
    std::string saveAfter(DeviceState::SetResult result);

    const FamilyTable& m_family;
    DeviceConfig m_config;
    RequestLog& m_log;
    std::mutex m_mutex;
    DeviceState m_state;
    int m_nextReceived = 1;
};

} // namespace brelmont::sim
