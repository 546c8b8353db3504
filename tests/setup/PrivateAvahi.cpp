#include "PrivateAvahi.h"

#include "printer/CommandRunner.h"
#include "printer/ShellQuote.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <initializer_list>
#include <thread>
#include <unistd.h>

namespace brelmont::testing {

namespace fs = std::filesystem;
using printer::shellWord;
using Clock = std::chrono::steady_clock;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string program(const char* name) {
    for (const char* folder : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/"})
        if (::access((std::string(folder) + name).c_str(), X_OK) == 0) return std::string(folder) + name;
    return {};
}

bool alive(int pid) { return pid > 0 && ::kill(pid, 0) == 0; }

} // namespace

namespace {

// The programs named that are not installed, comma-separated.
std::string absent(std::initializer_list<const char*> names) {
    std::string missing;
    for (const char* name : names)
        if (program(name).empty()) missing += (missing.empty() ? "" : ", ") + std::string(name);
    return missing;
}

} // namespace

bool PrivateAvahi::available() { return !program("avahi-daemon").empty(); }

std::string PrivateAvahi::busAddress() const { return m_dir ? "unix:path=" + (m_dir->path() / "bus").string() : ""; }

// Started through the product's command runner, the shell's pid being the program's after exec;
// setpriv ends the program with this test process, should the test die without stopping it.
bool PrivateAvahi::launch(const std::string& command, const std::string& name, std::string* error) {
    const fs::path pidFile = m_dir->path() / (name + ".pid"), log = m_dir->path() / (name + ".log");
    const std::string setpriv = ::access("/usr/bin/setpriv", X_OK) == 0 ? "/usr/bin/setpriv --pdeathsig TERM -- " : "";
    if (!printer::CommandRunner::launch("echo $$ >" + shellWord(pidFile.string()) + "; exec " + setpriv + command + " >" +
                                            shellWord(log.string()) + " 2>&1",
                                        error))
        return false;
    for (const auto deadline = Clock::now() + std::chrono::seconds(5); Clock::now() < deadline;) {
        if (const int pid = std::atoi(readFile(pidFile).c_str()); pid > 0) {
            m_pids.push_back(pid);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    *error = name + " did not start";
    return false;
}

bool PrivateAvahi::waitFor(const std::string& name, const std::string& text, std::string* error) {
    const fs::path log = m_dir->path() / (name + ".log");
    for (const auto deadline = Clock::now() + std::chrono::seconds(15); Clock::now() < deadline;) {
        if (readFile(log).find(text) != std::string::npos) return true;
        if (!alive(m_pids.back())) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    *error = name + " did not say \"" + text + "\"; its output:\n" + readFile(log);
    return false;
}

/*
 * The bus lets everyone own and call everything: it exists for this test only. The daemon runs in
 * a network namespace of its own, whose only interface is its loopback: nothing is announced on a
 * real network, daemons of tests running side by side never hear one another (on a shared
 * loopback they did, and renamed each other's hosts), and services resolve to 127.0.0.1, which
 * from this namespace is where the simulators listen. Its pid file lives in /run/avahi-daemon,
 * which the fresh /run of its mount namespace keeps apart from a daemon the machine may run.
 */
bool PrivateAvahi::start(const std::string& hostName, std::string* error) {
    if (const std::string missing = absent({"avahi-daemon", "avahi-publish", "dbus-daemon", "unshare", "ip"}); !missing.empty())
        return *error = "not installed: " + missing, false;
    m_dir = std::make_unique<ScratchDir>("avahi");
    const fs::path dir = m_dir->path();
    std::ofstream(dir / "bus.conf")
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n  <type>system</type>\n  <listen>unix:path="
        << (dir / "bus").string()
        << "</listen>\n  <auth>EXTERNAL</auth>\n  <policy context=\"default\">\n    <allow user=\"*\"/>\n"
           "    <allow own=\"*\"/>\n    <allow send_destination=\"*\"/>\n    <allow receive_sender=\"*\"/>\n"
           "  </policy>\n</busconfig>\n";
    std::ofstream(dir / "avahi-daemon.conf") << "[server]\nhost-name=" << hostName
                                             << "\nuse-ipv4=yes\nuse-ipv6=no\nallow-interfaces=lo\nenable-dbus=yes\n"
                                                "ratelimit-interval-usec=1000000\nratelimit-burst=1000\n"
                                                "[wide-area]\nenable-wide-area=no\n"
                                                "[publish]\npublish-hinfo=no\npublish-workstation=no\n";

    if (!launch(program("dbus-daemon") + " --nofork --config-file=" + shellWord((dir / "bus.conf").string()), "dbus", error))
        return stop(), false;
    for (const auto deadline = Clock::now() + std::chrono::seconds(10); !fs::exists(dir / "bus");) {
        if (Clock::now() > deadline || !alive(m_pids.back())) {
            *error = "dbus-daemon did not listen on " + (dir / "bus").string() + ": " + readFile(dir / "dbus.log");
            return stop(), false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_bus = std::make_unique<ScopedEnv>("DBUS_SYSTEM_BUS_ADDRESS", busAddress());

    const std::string daemon = program("avahi-daemon") + " --no-drop-root --no-chroot --no-rlimits --no-proc-title -f " +
                               shellWord((dir / "avahi-daemon.conf").string());
    if (!launch(program("unshare") + " --mount --net --propagation private /bin/sh -c " +
                    shellWord(program("ip") + " link set lo up && mount -t tmpfs tmpfs /run && exec " + daemon),
                "avahi", error) ||
        !waitFor("avahi", "Server startup complete", error))
        return stop(), false;
    return true;
}

bool PrivateAvahi::publish(const std::string& name, int port, const std::vector<std::string>& txt, std::string* error) {
    std::string command = program("avahi-publish") + " -s " + shellWord(name) + " _pdl-datastream._tcp " + std::to_string(port);
    for (const std::string& entry : txt) command += " " + shellWord(entry);
    const std::string log = "publish-" + std::to_string(m_pids.size());
    return launch(command, log, error) && waitFor(log, "Established under name", error);
}

void PrivateAvahi::stop() {
    for (auto pid = m_pids.rbegin(); pid != m_pids.rend(); ++pid) {
        ::kill(*pid, SIGTERM);
        const auto deadline = Clock::now() + std::chrono::seconds(3);
        while (alive(*pid) && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (alive(*pid)) ::kill(*pid, SIGKILL);
    }
    m_pids.clear();
    m_bus.reset();
    m_dir.reset();
}

} // namespace brelmont::testing
