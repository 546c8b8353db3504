// brelmont-cli setup against the private CUPS server, with simulated embossers that have no queue
// yet: what is listed for typed addresses, the queues made and found again, what is said about
// addresses that are not offered and about what setup lacks, and refused command lines. Which
// model a device is and what lpadmin's end means are pinned by the rules' own tests.
#include "EmbosserSim.h"
#include "SetupFixture.h"
#include "printer/Assignments.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

using brelmont::testing::EmbosserSim;
using brelmont::testing::SetupFixture;
namespace fs = std::filesystem;
using ::testing::HasSubstr;

namespace {

class SetupThroughCups : public SetupFixture {
protected:
    static void SetUpTestSuite() {
        SetupFixture::SetUpTestSuite();
        if (!cups || !setupFailure.empty()) return;
        trac = std::make_unique<EmbosserSim>("valdo"); // names itself "MDL:Valdo Trac"
        fenwa = std::make_unique<EmbosserSim>(
            "merriden", std::vector<std::string>{"--device-id", "MFG:Brelmont;MDL:Fenwa;CMD:PJL;CLS:PRINTER;"});
        acme = std::make_unique<EmbosserSim>("merriden",
                                             std::vector<std::string>{"--device-id", "MFG:Acme;MDL:LaserBlaster 9;CMD:PJL;"});
    }
    static void TearDownTestSuite() {
        trac.reset(), fenwa.reset(), acme.reset();
        SetupFixture::TearDownTestSuite();
    }

    static std::string setup(const std::string& args) { return "setup --dns-sd-seconds 0 " + args; }
    static std::string queues() { return cups->run("lpstat -e").out; }
    static std::string assignment(const std::string& queue, const std::string& key) {
        return brelmont::printer::assignmentValue(cups->run("lpoptions -p " + queue).out, key + "=");
    }

    static inline std::unique_ptr<EmbosserSim> trac, fenwa, acme;
};

} // namespace

// Typed addresses are listed as their models, named clear of the queues there are; --add makes the
// one asked for and --add-all the rest, each a queue of its model that brelmont-cli printers finds
// connected; an embosser with a queue is not offered again (however its address is written: the
// rules' test).
TEST_F(SetupThroughCups, TypedAddressesAreListedMadeQueuesAndThenKnown) {
    ASSERT_TRUE(cups->addQueue({"Fenwa_127_0_0_1", "Fenwa", "socket://127.0.0.1:9", "elsewhere"}));
    const std::string args = "--address " + trac->uri() + " --address " + fenwa->uri();
    const auto listed = cli(setup(args));
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "1\tValdo Trac\t" + trac->uri() + "\tValdo_Trac_127_0_0_1\ttyped\n2\tFenwa\t" + fenwa->uri() +
                              "\tFenwa_127_0_0_1_2\ttyped\n");
    const auto added = cli(setup(args + " --add 2"));
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "Fenwa_127_0_0_1_2\n");
    const auto rest = cli(setup(args + " --add-all"));
    ASSERT_EQ(rest.exitCode, 0) << rest.err;
    EXPECT_EQ(rest.out, "Valdo_Trac_127_0_0_1\n");
    EXPECT_EQ(assignment("Fenwa_127_0_0_1_2", "printer-make-and-model"), "Fenwa");
    EXPECT_EQ(assignment("Valdo_Trac_127_0_0_1", "printer-make-and-model"), "Valdo Trac"); // its -D and -L: the rules' test

    const auto printers = cli("printers");
    EXPECT_THAT(printers.out, HasSubstr("Valdo_Trac_127_0_0_1\tBrelmont Valdo Trac (127.0.0.1)\t121201\tValdo Trac\t" +
                                        trac->uri() + "\tconnected\n"));
    for (const char* queue : {"Valdo_Trac_127_0_0_1", "Fenwa_127_0_0_1_2", "Fenwa_127_0_0_1"})
        EXPECT_TRUE(cups->removeQueue(queue));
}

// A typed address where nothing answers (a device that takes the connection but stays silent holds
// the search a few seconds, not the helper's usual quarter of a minute), or where another maker's
// printer answers, is a failure, and with --add nothing is made.
TEST_F(SetupThroughCups, TypedAddressesNotOfferedAreSaidAndNothingIsMade) {
    EmbosserSim silent("merriden", {"--delay", "20000"});
    const auto began = std::chrono::steady_clock::now();
    const auto listed = cli(setup("--address " + silent.uri() + " --address " + acme->uri() + " --address " + fenwa->uri()));
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(8));
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_EQ(listed.out, "1\tFenwa\t" + fenwa->uri() + "\tFenwa_127_0_0_1\ttyped\n");
    EXPECT_THAT(listed.err, HasSubstr("brelmont-cli: setup: ")); // the notes' words are the rules' test

    const auto add = cli(setup("--address socket://127.0.0.1:9 --address " + fenwa->uri() + " --add 1"));
    EXPECT_EQ(add.exitCode, 1);
    EXPECT_EQ(add.out, "");
    EXPECT_THAT(add.err, HasSubstr("no queue was made"));
    EXPECT_EQ(queues(), "");
}

// What setup needs and does not find is a failure said plainly, rather than every address not
// answering, and no queue is made: no scheduler to check names with, no device helper to ask the
// devices, lpadmin refusing for lack of rights (a stand-in first on PATH), the model's PPD missing.
TEST_F(SetupThroughCups, WhatSetupLacksIsAFailureSaidPlainly) {
    const fs::path bin = scratch->path() / "stand-in";
    fs::create_directories(bin);
    std::ofstream(bin / "lpadmin") << "#!/bin/sh\necho 'lpadmin: Forbidden' >&2\nexit 1\n";
    fs::permissions(bin / "lpadmin", fs::perms::owner_all);
    const std::pair<std::string, const char*> rows[] = {
        {"CUPS_SERVER=127.0.0.1:9",
         "brelmont-cli: setup: the printing system does not answer (lpstat: scheduler is not running)"},
        {"BRELMONT_RESOURCE_DIR=" + (scratch->path() / "no-helper").string(),
         "brelmont-cli: setup: the device helper could not list the devices ("},
        {"PATH=" + bin.string() + ":$PATH", "sudo usermod -aG lpadmin "},
        {"BRELMONT_PPD_DIR=" + (scratch->path() / "no-ppds").string(), "no-ppds/brelmont-fenwa.ppd is missing"},
    };
    for (const auto& [environment, said] : rows) {
        const auto run = cups->run(environment + " " + cliPath() + " " + setup("--address " + fenwa->uri() + " --add 1"));
        EXPECT_EQ(run.exitCode, 1) << environment;
        EXPECT_EQ(run.out, "") << environment;
        EXPECT_THAT(run.err, HasSubstr(said));
    }
    EXPECT_EQ(queues(), "");
}

TEST_F(SetupThroughCups, WrongCommandLinesAreRefused) {
    for (const std::string args : {"--address ipp://hall", "--address", "--address 'socket://hall;reboot'", "--add 0",
                                   "--add 1 --add-all", "--dns-sd-seconds 61", "list"}) {
        const auto run = cli("setup " + args);
        EXPECT_EQ(run.exitCode, 2) << args << ": " << run.err;
        EXPECT_THAT(run.err, HasSubstr("usage: brelmont-cli setup"));
    }
    const auto beyond = cli(setup("--address " + fenwa->uri() + " --add 2"));
    EXPECT_EQ(beyond.exitCode, 2);
    EXPECT_THAT(beyond.err, HasSubstr("there is no embosser 2 (1 was found)"));
    EXPECT_EQ(queues(), "");
}
