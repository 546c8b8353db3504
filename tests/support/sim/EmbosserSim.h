// Runs one embosser-sim process for a test: a temporary folder of its own for state, store and
// log, the port it listens on, restart with the same state, and a stop that never leaves the
// process behind.
#pragma once

#include "ScratchDir.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace brelmont::testing {

class EmbosserSim {
public:
    // `family` as for --family; `extraArgs` are further options (faults, --device-id, ...).
    // Throws std::runtime_error when the simulator does not announce its port in time.
    explicit EmbosserSim(std::string family, std::vector<std::string> extraArgs = {});
    ~EmbosserSim();
    EmbosserSim(const EmbosserSim&) = delete;
    EmbosserSim& operator=(const EmbosserSim&) = delete;

    uint16_t port() const { return m_port; }
    std::string uri() const; // "socket://127.0.0.1:PORT"

    std::filesystem::path statePath() const { return m_dir.path() / "state.txt"; }
    std::filesystem::path storePath() const { return m_dir.path() / "store"; }
    // Every byte of each connection that brought data, as job-NNN.prn: whole jobs to decode.
    std::filesystem::path jobsPath() const { return m_dir.path() / "jobs"; }
    std::filesystem::path logPath() const { return m_dir.path() / "sim.log"; }
    std::string logText() const;
    // How many times the log holds `text`.
    int logCount(const std::string& text) const;
    // The print data received so far (the store's received-NNN.bin files in turn), waiting up to
    // 30 s for at least `size` bytes.
    std::string receivedData(size_t size = 0) const;

    // Stops and starts again on the same port, with the same options and state file.
    void restart();
    // The same from the factory state, or from `state` as its saved state, with an empty log, store
    // and jobs folder.
    void reset(const std::string& state = "");
    // SIGTERM, a short wait, then SIGKILL.
    void stop();

private:
    void start(uint16_t port);

    std::string m_family;
    std::vector<std::string> m_extraArgs;
    ScratchDir m_dir{"sim"};
    pid_t m_pid = -1;
    uint16_t m_port = 0;
};

} // namespace brelmont::testing
