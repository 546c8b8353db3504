// brelmont-cli setup finds embossers announced over DNS-SD: a private Avahi daemon on its own
// D-Bus publishes _pdl-datastream._tcp services on the loopback interface for simulated embossers,
// and setup lists and adds them against the private CUPS server. Skipped only when the Avahi
// daemon (or cupsd) is not installed; every other set-up failure fails the test.
#include "Background.h"
#include "EmbosserSim.h"
#include "SetupFixture.h"
#include "printer/TextLines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

using brelmont::printer::shellWord;
using namespace brelmont::testing;
namespace fs = std::filesystem;
using ::testing::HasSubstr;

namespace {

// A private DNS-SD responder: a D-Bus system bus of its own (dbus-daemon with its own
// configuration and socket), an Avahi daemon on it in network and mount namespaces of its own
// (only a loopback interface; a fresh /run for its pid file), and services published there with
// avahi-publish. DBUS_SYSTEM_BUS_ADDRESS points this process and its children at the private bus
// while the object lives. Namespaces need root, as the test runs in CI.
class PrivateAvahi {
public:
    PrivateAvahi() = default;
    ~PrivateAvahi() { stop(); }
    PrivateAvahi(const PrivateAvahi&) = delete;
    PrivateAvahi& operator=(const PrivateAvahi&) = delete;

    // Whether avahi-daemon is installed. The other programs start() needs (avahi-publish,
    // dbus-daemon, unshare, ip) fail it, with the shell's word, when missing.
    static bool available() { return !program("avahi-daemon").empty(); }

    // Starts the bus and the daemon, whose host name is `hostName` (".local" is added). False,
    // with `error` saying why (the programs' own output included), when either does not start.
    //
    // The bus lets everyone own and call everything: it exists for this test only. The daemon runs
    // in a network namespace of its own, whose only interface is its loopback: nothing is announced
    // on a real network, daemons of tests running side by side never hear one another (on a shared
    // loopback they did, and renamed each other's hosts), and services resolve to 127.0.0.1, which
    // from this namespace is where the simulators listen. Its pid file lives in /run/avahi-daemon,
    // which the fresh /run of its mount namespace keeps apart from a daemon the machine may run.
    bool start(const std::string& hostName, std::string* error) {
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

        // The bus prints its address once it listens.
        if (!launch(program("dbus-daemon") + " --nofork --print-address --config-file=" + shellWord((dir / "bus.conf").string()),
                    "dbus", "unix:path=", error))
            return stop(), false;
        m_bus = std::make_unique<ScopedEnv>("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + (dir / "bus").string());

        const std::string daemon = program("avahi-daemon") + " --no-drop-root --no-chroot --no-rlimits --no-proc-title -f " +
                                   shellWord((dir / "avahi-daemon.conf").string());
        if (!launch(program("unshare") + " --mount --net --propagation private /bin/sh -c " +
                        shellWord(program("ip") + " link set lo up && mount -t tmpfs tmpfs /run && exec " + daemon),
                    "avahi", "Server startup complete", error))
            return stop(), false;
        return true;
    }

    // Publishes a _pdl-datastream._tcp service and waits until the daemon has established it.
    bool publish(const std::string& name, int port, const std::vector<std::string>& txt, std::string* error) {
        std::string command =
            program("avahi-publish") + " -s " + shellWord(name) + " _pdl-datastream._tcp " + std::to_string(port);
        for (const std::string& entry : txt) command += " " + shellWord(entry);
        return launch(command, "publish-" + std::to_string(m_pids.size()), "Established under name", error);
    }

    void stop() {
        for (auto pid = m_pids.rbegin(); pid != m_pids.rend(); ++pid) endProcess(*pid, std::chrono::seconds(3));
        m_pids.clear();
        m_bus.reset();
        m_dir.reset();
    }

private:
    static std::string program(const char* name) {
        for (const char* folder : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/"})
            if (::access((std::string(folder) + name).c_str(), X_OK) == 0) return std::string(folder) + name;
        return {};
    }

    // Starts `command` and waits until its output says `ready`.
    bool launch(const std::string& command, const std::string& name, const std::string& ready, std::string* error) {
        const fs::path log = m_dir->path() / (name + ".log");
        const int pid = launchLogged(command, log, error);
        if (pid > 0) m_pids.push_back(pid);
        if (pid > 0 && waitForLog(pid, log, ready, std::chrono::seconds(15))) return true;
        if (pid > 0) *error = name + " did not say \"" + ready + "\"; its output:\n" + fileText(log);
        return false;
    }

    std::unique_ptr<ScratchDir> m_dir;
    std::vector<int> m_pids; // started last first stopped
    std::unique_ptr<ScopedEnv> m_bus;
};

class SetupDnsSd : public SetupFixture {
protected:
    void SetUp() override {
        SetupFixture::SetUp();
        if (!PrivateAvahi::available()) GTEST_SKIP() << "avahi-daemon is not installed";
    }

    // The line of the listing whose address is `uri`; empty when there is none.
    static std::string lineFor(const std::string& listing, const std::string& uri) {
        for (const std::string& line : brelmont::printer::splitLines(listing))
            if (line.find("\t" + uri + "\t") != std::string::npos) return line;
        return {};
    }
};

} // namespace

// The announced embosser is asked for its device ID and listed as its model, named after the
// announced host; one of another maker is not even asked; --add makes the queue. (One that does
// not answer standing in with what its announcement says, and one with a queue not offered again,
// are the rules' tests; how printers lists a made queue is SetupThroughCups'.)
TEST_F(SetupDnsSd, AnnouncedEmbossersAreListedAndAdded) {
    EmbosserSim trac("valdo"), other("merriden");
    const std::string host = "brelmont-test";
    PrivateAvahi avahi;
    std::string error;
    ASSERT_TRUE(avahi.start(host, &error)) << error;
    const std::string tag = " in the hall";
    ASSERT_TRUE(avahi.publish("Brelmont Valdo Trac" + tag, trac.port(), {"usb_MFG=Brelmont", "usb_MDL=Valdo Trac"}, &error))
        << error;
    ASSERT_TRUE(avahi.publish("Acme LaserBlaster" + tag, other.port(), {"usb_MFG=Acme", "usb_MDL=LaserBlaster 9"}, &error))
        << error;

    const auto listed = cli("setup --dns-sd-seconds 5");
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const std::string ours = lineFor(listed.out, trac.uri());
    EXPECT_THAT(ours, HasSubstr("\tValdo Trac\t" + trac.uri() + "\tValdo_Trac_" + host + "\tdns-sd"));
    EXPECT_EQ(lineFor(listed.out, other.uri()), "") << listed.out;
    EXPECT_EQ(other.logCount("INFO ID"), 0) << "another maker's printer was asked";

    ASSERT_FALSE(ours.empty());
    const std::string number = ours.substr(0, ours.find('\t'));
    const auto added = cli("setup --dns-sd-seconds 5 --add " + number);
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "Valdo_Trac_" + host + "\n");
}
