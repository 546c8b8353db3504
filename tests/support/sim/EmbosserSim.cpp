#include "EmbosserSim.h"

#include "Background.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace brelmont::testing {

using printer::shellWord;

// The folder goes with the object, also when the constructor throws.
EmbosserSim::EmbosserSim(std::string family, std::vector<std::string> extraArgs)
    : m_family(std::move(family)),
      m_extraArgs(std::move(extraArgs)) {
    start(0);
}

EmbosserSim::~EmbosserSim() { stop(); }

std::string EmbosserSim::uri() const { return "socket://127.0.0.1:" + std::to_string(m_port); }

std::string EmbosserSim::logText() const { return fileText(logPath()); }

int EmbosserSim::logCount(const std::string& text) const {
    const std::string log = logText();
    int n = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
}

// The simulator says "listening PORT" on standard output once it accepts connections; it ends
// with this process by itself (--exit-with-parent).
void EmbosserSim::start(uint16_t port) {
    const std::filesystem::path announced = m_dir.path() / "announced";
    std::string command = shellWord(BRELMONT_EMBOSSER_SIM_PATH) + " --family " + shellWord(m_family) + " --port " +
                          std::to_string(port) + " --exit-with-parent";
    for (const auto& [option, path] :
         {std::pair{"--state", statePath()}, {"--store", storePath()}, {"--jobs", jobsPath()}, {"--log", logPath()}})
        command += std::string(" ") + option + " " + shellWord(path.string());
    for (const std::string& a : m_extraArgs) command += " " + shellWord(a);
    std::string error;
    m_pid = launchLogged(command, announced, &error, false);
    int listening = 0;
    if (m_pid > 0 && waitForLog(m_pid, announced, "\n", std::chrono::seconds(5)))
        std::sscanf(fileText(announced).c_str(), "listening %d", &listening);
    if (listening <= 0 || listening > 65535) {
        stop();
        throw std::runtime_error("embosser-sim did not announce its port (" + error + fileText(announced) + ")");
    }
    m_port = static_cast<uint16_t>(listening);
}

std::string EmbosserSim::receivedData(size_t size) const {
    std::string data;
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);;) {
        std::vector<std::filesystem::path> files;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(storePath(), ec))
            if (entry.path().filename().string().starts_with("received-")) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        data.clear();
        for (const auto& file : files) data += fileText(file);
        if (data.size() >= size || std::chrono::steady_clock::now() > deadline) return data;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void EmbosserSim::restart() {
    stop();
    start(m_port);
}

void EmbosserSim::reset(const std::string& state) {
    stop();
    for (const auto& path : {statePath(), logPath(), storePath(), jobsPath()}) std::filesystem::remove_all(path);
    if (!state.empty()) std::ofstream(statePath()) << state;
    start(m_port);
}

void EmbosserSim::stop() { endProcess(std::exchange(m_pid, -1), std::chrono::seconds(3)); }

} // namespace brelmont::testing
