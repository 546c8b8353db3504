// brelmont-cli setup against the private CUPS server, with simulated embossers that have no queue
// yet: what is listed for typed addresses, the queues made and found again, what is said about
// addresses that are not offered, refused command lines, and lpadmin's refusals through a stand-in.
#include "EmbosserSim.h"
#include "SetupFixture.h"
#include "printer/Assignments.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

using brelmont::testing::EmbosserSim;
using brelmont::testing::ScopedEnv;
using brelmont::testing::SetupFixture;
namespace fs = std::filesystem;

namespace {

class SetupThroughCups : public SetupFixture {
protected:
    static void SetUpTestSuite() {
        SetupFixture::SetUpTestSuite();
        if (!cups || !setupFailure.empty()) return;
        const auto start = [](const char* family, std::vector<std::string> options = {}) {
            embossers.push_back(std::make_unique<EmbosserSim>(family, std::move(options)));
            return embossers.back().get();
        };
        trac = start("valdo"); // names itself "MDL:Valdo Trac"
        sheet = start("valdo", {"--device-id", "MFG:Brelmont;MDL:Valdo;CMD:PJL;CLS:PRINTER;DES:Brelmont Valdo;"});
        talmore = start("orvin", {"--device-id", "MFG:Brelmont;MDL:Karro Talmore;CMD:PJL;CLS:PRINTER;S:00204010;"});
        fenwa = start("merriden", {"--device-id", "MFG:Brelmont;MDL:Fenwa;CMD:PJL;CLS:PRINTER;DES:Brelmont Fenwa;"});
        acme = start("merriden", {"--device-id", "MFG:Acme;MDL:LaserBlaster 9;CMD:PJL;"});
    }
    static void TearDownTestSuite() {
        embossers.clear();
        SetupFixture::TearDownTestSuite();
    }

    static std::string setup(const std::string& args) { return "setup --dns-sd-seconds 0 " + args; }
    static std::string queues() { return cups->run("lpstat -e").out; }
    static std::string assignment(const std::string& queue, const std::string& key) {
        return brelmont::printer::assignmentValue(cups->run("lpoptions -p " + queue).out, key + "=");
    }

    static inline std::vector<std::unique_ptr<EmbosserSim>> embossers;
    static inline EmbosserSim *trac = nullptr, *sheet = nullptr, *talmore = nullptr, *fenwa = nullptr, *acme = nullptr;
};

// A stand-in lpadmin first on PATH that says `message` and ends with status 1.
struct StandInLpadmin {
    StandInLpadmin(const fs::path& folder, const std::string& message)
        : path("PATH", (folder / "bin").string() + ":" + std::getenv("PATH")) {
        fs::create_directories(folder / "bin");
        std::ofstream(folder / "bin" / "lpadmin") << "#!/bin/sh\necho '" << message << "' >&2\nexit 1\n";
        fs::permissions(folder / "bin" / "lpadmin", fs::perms::owner_all);
    }
    ScopedEnv path;
};

} // namespace

// The typed address is listed as its model, made a queue that brelmont-cli printers finds as that
// model and connected, and is not offered again.
TEST_F(SetupThroughCups, ATypedAddressIsListedMadeAQueueAndThenKnown) {
    const std::string address = trac->uri();
    const auto listed = cli(setup("--address " + address));
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "1\tValdo Trac\t" + address + "\tValdo_Trac_127_0_0_1\ttyped\n");

    const auto added = cli(setup("--address " + address + " --add 1"));
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "Valdo_Trac_127_0_0_1\n");
    EXPECT_EQ(assignment("Valdo_Trac_127_0_0_1", "printer-make-and-model"), "Valdo Trac");
    EXPECT_EQ(assignment("Valdo_Trac_127_0_0_1", "printer-info"), "Brelmont Valdo Trac (127.0.0.1)");
    EXPECT_EQ(assignment("Valdo_Trac_127_0_0_1", "printer-location"), "127.0.0.1");

    const auto printers = cli("printers");
    ASSERT_EQ(printers.exitCode, 0) << printers.err;
    EXPECT_EQ(printers.out,
              "Valdo_Trac_127_0_0_1\tBrelmont Valdo Trac (127.0.0.1)\t121201\tValdo Trac\t" + address + "\tconnected\n");

    // The same embosser, however its address is written, is known now.
    for (const std::string& again : {address, "127.0.0.1:" + std::to_string(trac->port())}) {
        const auto second = cli(setup("--address " + again));
        EXPECT_EQ(second.exitCode, 0) << second.err;
        EXPECT_EQ(second.out, "");
        EXPECT_NE(second.err.find("already has the queue Valdo_Trac_127_0_0_1"), std::string::npos) << second.err;
    }
    EXPECT_TRUE(cups->removeQueue("Valdo_Trac_127_0_0_1"));
}

// Where several profiles share a model code, the device ID's model text decides; --add-all makes
// every queue, each of the profile's PPD, and names never clash with a queue there is.
TEST_F(SetupThroughCups, SharedCodeModelsAreToldApartAndEveryQueueIsMade) {
    ASSERT_TRUE(cups->addQueue("Fenwa_127_0_0_1", "Fenwa", "socket://127.0.0.1:9", "elsewhere"));
    const std::string args =
        "--address " + talmore->uri() + " --address " + fenwa->uri() + " --address " + trac->uri() + " --address " + sheet->uri();
    const auto listed = cli(setup(args));
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "1\tTalmore 100\t" + talmore->uri() + "\tTalmore_100_127_0_0_1\ttyped\n" + //
                              "2\tFenwa\t" + fenwa->uri() + "\tFenwa_127_0_0_1_2\ttyped\n" +         //
                              "3\tValdo Trac\t" + trac->uri() + "\tValdo_Trac_127_0_0_1\ttyped\n" +  //
                              "4\tValdo Sheet\t" + sheet->uri() + "\tValdo_Sheet_127_0_0_1\ttyped\n");

    const auto added = cli(setup(args + " --add-all"));
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "Talmore_100_127_0_0_1\nFenwa_127_0_0_1_2\nValdo_Trac_127_0_0_1\nValdo_Sheet_127_0_0_1\n");
    for (const auto& [queue, model] : {std::pair{"Talmore_100_127_0_0_1", "Talmore 100"},
                                       {"Fenwa_127_0_0_1_2", "Fenwa"},
                                       {"Valdo_Trac_127_0_0_1", "Valdo Trac"},
                                       {"Valdo_Sheet_127_0_0_1", "Valdo Sheet"}}) {
        EXPECT_EQ(assignment(queue, "printer-make-and-model"), model) << queue;
        EXPECT_TRUE(cups->removeQueue(queue));
    }
    EXPECT_TRUE(cups->removeQueue("Fenwa_127_0_0_1"));
}

// A typed address where nothing answers, or where another maker's printer answers, is a failure
// said plainly, and with --add nothing is made.
TEST_F(SetupThroughCups, TypedAddressesNotOfferedAreSaidAndNothingIsMade) {
    const auto listed = cli(setup("--address socket://127.0.0.1:9 --address " + acme->uri() + " --address " + fenwa->uri()));
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_EQ(listed.out, "1\tFenwa\t" + fenwa->uri() + "\tFenwa_127_0_0_1\ttyped\n");
    EXPECT_NE(listed.err.find("brelmont-cli: setup: no embosser answered at socket://127.0.0.1:9\n"), std::string::npos)
        << listed.err;
    EXPECT_NE(listed.err.find("brelmont-cli: setup: " + acme->uri() +
                              " is not a Brelmont embosser (its device ID: MFG:Acme;MDL:LaserBlaster 9;CMD:PJL;)\n"),
              std::string::npos)
        << listed.err;

    const auto add = cli(setup("--address socket://127.0.0.1:9 --address " + fenwa->uri() + " --add 1"));
    EXPECT_EQ(add.exitCode, 1);
    EXPECT_EQ(add.out, "");
    EXPECT_NE(add.err.find("no queue was made"), std::string::npos) << add.err;
    EXPECT_EQ(queues(), "");
}

// A device that takes the connection but does not answer in time holds the search a few seconds,
// not the helper's usual quarter of a minute.
TEST_F(SetupThroughCups, ASilentDeviceIsGivenUpSoon) {
    EmbosserSim slow("merriden", {"--delay", "20000"});
    const auto began = std::chrono::steady_clock::now();
    const auto run = cli(setup("--address " + slow.uri()));
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(8));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no embosser answered at " + slow.uri()), std::string::npos) << run.err;
}

// With no queue for an embosser, doctor points at setup.
TEST_F(SetupThroughCups, DoctorPointsAtSetup) {
    const auto run = cli("doctor");
    EXPECT_NE(run.out.find("problem: Brelmont queues: no print queue leads to a Brelmont embosser; fix: run brelmont-cli setup"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Embosser \u25B8 Add Embosser\u2026"), std::string::npos) << run.out;
}

// Without a scheduler no name can be checked: nothing is offered, and that is a failure.
TEST_F(SetupThroughCups, NoSchedulerIsAFailure) {
    const auto run = cups->run("CUPS_SERVER=127.0.0.1:9 " + std::string(cliPath()) + " " + setup("--address " + fenwa->uri()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("brelmont-cli: setup: the printing system does not answer (lpstat: scheduler is not running)"),
              std::string::npos)
        << run.err;
}

// Without the device helper no device can be asked: said, rather than every address not answering.
TEST_F(SetupThroughCups, NoHelperIsAFailure) {
    const ScopedEnv helper("BRELMONT_RESOURCE_DIR", (scratch->path() / "no-helper").string());
    const auto run = cli(setup("--address " + fenwa->uri()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("brelmont-cli: setup: the device helper could not list the devices ("), std::string::npos) << run.err;
}

TEST_F(SetupThroughCups, WrongCommandLinesAreRefused) {
    for (const std::string args :
         {"--address ipp://hall", "--address", "--address 'socket://hall;reboot'", "--add 0", "--add x", "--add 1 --add-all",
          "--add-all --add 1", "--add 1 --add 2", "--dns-sd-seconds -1", "--dns-sd-seconds 61", "--dns-sd-seconds x", "list"}) {
        const auto run = cli("setup " + args);
        EXPECT_EQ(run.exitCode, 2) << args << ": " << run.err;
        EXPECT_NE(run.err.find("usage: brelmont-cli setup"), std::string::npos) << args;
    }
    const auto beyond = cli(setup("--address " + fenwa->uri() + " --add 2"));
    EXPECT_EQ(beyond.exitCode, 2);
    EXPECT_NE(beyond.err.find("there is no embosser 2 (1 was found)"), std::string::npos) << beyond.err;
    EXPECT_EQ(queues(), "");
}

// lpadmin's refusal for lack of rights names the group to join; other failures quote lpadmin; the
// queue is never said to be made.
TEST_F(SetupThroughCups, LpadminRefusalsAreSaidTruthfully) {
    const std::pair<const char*, const char*> rows[] = {
        {"lpadmin: Forbidden", "sudo usermod -aG lpadmin "},
        {"lpadmin: Unable to copy PPD file.", "The queue Fenwa_127_0_0_1 was not made: lpadmin: Unable to copy PPD file."},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& [message, said] = rows[i];
        const StandInLpadmin lpadmin(scratch->path() / ("stand-in-" + std::to_string(i)), message);
        const auto run = cli(setup("--address " + fenwa->uri() + " --add 1"));
        EXPECT_EQ(run.exitCode, 1) << message;
        EXPECT_EQ(run.out, "") << message;
        EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
    }
    EXPECT_EQ(queues(), "");

    const ScopedEnv ppds("BRELMONT_PPD_DIR", (scratch->path() / "no-ppds").string());
    const auto run = cli(setup("--address " + fenwa->uri() + " --add 1"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no-ppds/brelmont-fenwa.ppd is missing"), std::string::npos) << run.err;
    EXPECT_EQ(queues(), "");
}
