#include "EmbosserSim.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace brelmont::testing {

namespace {
using Clock = std::chrono::steady_clock;
constexpr auto StartTimeout = std::chrono::seconds(5);
constexpr auto StopTimeout = std::chrono::seconds(3);

std::filesystem::path makeTempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "embosser-sim-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error(std::string("mkdtemp: ") + std::strerror(errno));
    return pattern;
}

// Reads one line from the pipe, or gives up at the deadline.
std::string readLine(int fd, Clock::time_point deadline)
{
    std::string line;
    while (Clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(std::max<long long>(left, 1)));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        char c;
        const ssize_t n = ::read(fd, &c, 1);
        if (n <= 0)
            break;
        if (c == '\n')
            return line;
        line += c;
    }
    return line;
}
} // namespace

std::filesystem::path EmbosserSim::defaultExecutable()
{
    if (const char* env = std::getenv("BRELMONT_EMBOSSER_SIM"))
        return env;
    return BRELMONT_EMBOSSER_SIM_PATH;
}

EmbosserSim::EmbosserSim(std::string family, std::vector<std::string> extraArgs, std::filesystem::path executable)
    : m_family(std::move(family))
    , m_extraArgs(std::move(extraArgs))
    , m_executable(std::move(executable))
    , m_dir(makeTempDir())
{
    try {
        start(0);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
        throw;
    }
}

EmbosserSim::~EmbosserSim()
{
    stop();
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

std::string EmbosserSim::uri() const
{
    return "socket://127.0.0.1:" + std::to_string(m_port);
}

std::string EmbosserSim::logText() const
{
    std::ifstream file(logPath());
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

int EmbosserSim::logCount(const std::string& text) const
{
    const std::string log = logText();
    int n = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++n;
    return n;
}

void EmbosserSim::start(uint16_t port)
{
    std::vector<std::string> args = {m_executable.string(), "--family", m_family,
                                     "--port", std::to_string(port),
                                     "--state", statePath().string(),
                                     "--store", storePath().string(),
                                     "--log", logPath().string(),
                                     "--exit-with-parent"};
    args.insert(args.end(), m_extraArgs.begin(), m_extraArgs.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        throw std::runtime_error("cannot start " + m_executable.string() + ": " + std::strerror(rc));
    }
    m_pid = pid;

    const std::string line = readLine(out[0], Clock::now() + StartTimeout);
    ::close(out[0]);
    int announced = 0;
    if (std::sscanf(line.c_str(), "listening %d", &announced) != 1 || announced <= 0 || announced > 65535) {
        stop();
        throw std::runtime_error("embosser-sim did not announce its port (got \"" + line + "\")");
    }
    m_port = static_cast<uint16_t>(announced);
}

void EmbosserSim::restart()
{
    const uint16_t port = m_port;
    stop();
    start(port);
}

void EmbosserSim::reset(const std::string& state)
{
    const uint16_t port = m_port;
    stop();
    std::filesystem::remove(statePath());
    std::filesystem::remove(logPath());
    std::filesystem::remove_all(storePath());
    if (!state.empty())
        std::ofstream(statePath()) << state;
    start(port);
}

int EmbosserSim::stop()
{
    if (m_pid <= 0)
        return -1;
    const pid_t pid = m_pid;
    m_pid = -1;
    ::kill(pid, SIGTERM);
    int status = 0;
    const auto deadline = Clock::now() + StopTimeout;
    while (Clock::now() < deadline) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (r < 0 && errno != EINTR)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return -1;
}

} // namespace brelmont::testing
