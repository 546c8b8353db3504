// brelmont-cli setup finds embossers announced over DNS-SD: a private Avahi daemon on its own
// D-Bus publishes _pdl-datastream._tcp services on the loopback interface for simulated embossers,
// and setup lists and adds them against the private CUPS server. Skipped only when the Avahi
// daemon (or cupsd) is not installed; every other set-up failure fails the test.
#include "EmbosserSim.h"
#include "PrivateAvahi.h"
#include "SetupFixture.h"
#include "printer/TextLines.h"

#include <gtest/gtest.h>

using brelmont::testing::EmbosserSim;
using brelmont::testing::PrivateAvahi;
using brelmont::testing::ScopedEnv;
using brelmont::testing::SetupFixture;

namespace {

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
// announced host; one of another maker is not even asked; one that does not answer stands in with
// what its announcement says; --add makes the queue.
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
    ASSERT_TRUE(avahi.publish("Brelmont Fenwa" + tag, 9, {"usb_MFG=Brelmont", "usb_MDL=Fenwa"}, &error)) << error;

    const auto listed = cli("setup --dns-sd-seconds 5");
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const std::string ours = lineFor(listed.out, trac.uri());
    EXPECT_NE(ours.find("\tValdo Trac\t" + trac.uri() + "\tValdo_Trac_" + host + "\tdns-sd"), std::string::npos)
        << listed.out << listed.err;
    EXPECT_EQ(lineFor(listed.out, other.uri()), "") << listed.out;
    EXPECT_EQ(other.logCount("INFO ID"), 0) << "another maker's printer was asked";
    EXPECT_NE(lineFor(listed.out, "socket://127.0.0.1:9").find("\tFenwa\tsocket://127.0.0.1:9\tFenwa_" + host + "\tdns-sd"),
              std::string::npos)
        << listed.out;
    EXPECT_NE(listed.err.find("(announced as \"Brelmont Fenwa" + tag + "\") did not answer"), std::string::npos) << listed.err;

    ASSERT_FALSE(ours.empty());
    const std::string number = ours.substr(0, ours.find('\t'));
    const auto added = cli("setup --dns-sd-seconds 5 --add " + number);
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "Valdo_Trac_" + host + "\n");
    const auto printers = cli("printers");
    EXPECT_NE(printers.out.find("Valdo_Trac_" + host + "\tBrelmont Valdo Trac (" + host + ")\t121201\tValdo Trac\t" + trac.uri() +
                                "\tconnected\n"),
              std::string::npos)
        << printers.out;
    EXPECT_EQ(lineFor(cli("setup --dns-sd-seconds 5").out, trac.uri()), "");
}

// Without an Avahi daemon the search goes on without DNS-SD, and says so.
TEST_F(SetupDnsSd, NoDaemonIsSaidAndTheRestGoesOn) {
    EmbosserSim fenwa("merriden", {"--device-id", "MFG:Brelmont;MDL:Fenwa;"});
    const ScopedEnv bus("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + (scratch->path() / "no-bus").string());
    const auto run = cli("setup --dns-sd-seconds 2 --address " + fenwa.uri());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "1\tFenwa\t" + fenwa.uri() + "\tFenwa_127_0_0_1\ttyped\n");
    EXPECT_NE(run.err.find("brelmont-cli: setup: DNS-SD: the Avahi daemon cannot be reached"), std::string::npos) << run.err;
}
