#include "EmbosserSim.h"

#include "printer/CommandRunner.h"
#include "printer/ShellQuote.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>
#include <utility>

namespace brelmont::testing {

namespace {

using printer::shellWord;
using Clock = std::chrono::steady_clock;

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

EmbosserSim::EmbosserSim(std::string family, std::vector<std::string> extraArgs)
    : m_family(std::move(family)),
      m_extraArgs(std::move(extraArgs)) {
    std::string pattern = (std::filesystem::temp_directory_path() / "embosser-sim-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
    m_dir = pattern;
    try {
        start(0);
    } catch (...) {
        std::filesystem::remove_all(m_dir);
        throw;
    }
}

EmbosserSim::~EmbosserSim() {
    stop();
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

std::string EmbosserSim::uri() const { return "socket://127.0.0.1:" + std::to_string(m_port); }

std::string EmbosserSim::logText() const { return readFile(logPath()); }

int EmbosserSim::logCount(const std::string& text) const {
    const std::string log = logText();
    int n = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
}

// Started through the product's command runner; the shell's pid is the simulator's after exec, and
// the simulator says "listening PORT" once it accepts connections.
void EmbosserSim::start(uint16_t port) {
    const std::filesystem::path pidFile = m_dir / "pid", announced = m_dir / "announced";
    std::filesystem::remove(announced);
    std::string command = "echo $$ >" + shellWord(pidFile.string()) + "; exec " + shellWord(BRELMONT_EMBOSSER_SIM_PATH) +
                          " --family " + shellWord(m_family) + " --port " + std::to_string(port) + " --exit-with-parent";
    for (const auto& [option, path] :
         {std::pair{"--state", statePath()}, {"--store", storePath()}, {"--jobs", jobsPath()}, {"--log", logPath()}})
        command += std::string(" ") + option + " " + shellWord(path.string());
    for (const std::string& a : m_extraArgs) command += " " + shellWord(a);
    std::string error;
    if (!printer::CommandRunner::launch(command + " >" + shellWord(announced.string()), &error))
        throw std::runtime_error("cannot start the simulator: " + error);
    int listening = 0;
    for (const auto deadline = Clock::now() + std::chrono::seconds(5); Clock::now() < deadline && listening <= 0;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        m_pid = std::atoi(readFile(pidFile).c_str());
        std::sscanf(readFile(announced).c_str(), "listening %d", &listening);
    }
    if (listening <= 0 || listening > 65535) {
        stop();
        throw std::runtime_error("embosser-sim did not announce its port (got \"" + readFile(announced) + "\")");
    }
    m_port = static_cast<uint16_t>(listening);
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

int EmbosserSim::stop() {
    if (m_pid <= 0) return -1;
    const pid_t pid = std::exchange(m_pid, -1);
    ::kill(pid, SIGTERM);
    for (const auto deadline = Clock::now() + std::chrono::seconds(3); Clock::now() < deadline;) {
        if (::kill(pid, 0) != 0) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid, SIGKILL);
    return -1;
}

} // namespace brelmont::testing
