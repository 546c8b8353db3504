// A room of embossers set up by script: a settings profile taken from one embosser and applied to
// every one of its family, and the status of the whole room, against simulated embossers behind
// the private CUPS server.
#include "toolbox/OrvinFamily.h"
#include "toolbox/SettingsProfile.h"

#include "CupsSimFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using brelmont::testing::ShellResult;
namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const char* const Orvins[] = {"Orvin_A", "Orvin_B", "Orvin_C", "Orvin_D"};

// The profile's controls as "brelmont-cli toolbox show" printed them.
std::map<std::string, std::string> profileControls(const std::string& shown) {
    std::map<std::string, std::string> all, kept;
    std::istringstream lines(shown);
    for (std::string line; std::getline(lines, line);)
        if (const size_t eq = line.find('='); eq != std::string::npos) all[line.substr(0, eq)] = line.substr(eq + 1);
    for (std::string_view control : brelmont::toolbox::profileControls(brelmont::toolbox::orvinFamily()))
        kept[std::string(control)] = all[std::string(control)];
    return kept;
}

class RoomSim : public brelmont::testing::CupsSimFixture {
protected:
    static void SetUpTestSuite() {
        std::vector<Simulated> room;
        for (const char* queue : Orvins) room.push_back({"orvin", {queue, "Orvin 200", "", std::string(queue) + " in room 3"}});
        room.push_back({"tessaline", {"Tessaline_30RT", "Tessaline 30RT", "", "Tessaline in the lab"}});
        room.push_back({"fennick", {"Quorrin", "Quorrin", "", "Quorrin by the window"}});
        // A model without a toolbox: it is only asked for its status.
        room.push_back({"orvin", {"Pim", "Pim", "", "Pim in the annex"}});
        startSystem(std::move(room));
    }
    static std::string show(const char* queue) { return cli(std::string("toolbox show --queue ") + queue).out; }
    static int writes(size_t sim) { return sims[sim]->logCount("@PJL DEFAULT"); }

    fs::path profile = scratch->path() / "room3.json";
};

// Orvin_A's settings reach B, C and D, and only what differs is written; network settings stay each
// embosser's own. A dry run writes nothing; an embosser switched off is reported while the others
// still get the profile.
TEST_F(RoomSim, AProfileSetsEveryEmbosserOfItsFamilyAlike) {
    sims[0]->reset(
        "family=orvin\n[VARIABLES]\nTOPMARGIN=20\nAUTOCR=OFF\nQUALITY=BEST\nFORMWIDTH=166\nFORMHEIGHT=234\n"
        "FLAGS=3\nDHCP=ON\nIPADDRESS=10.0.0.5\n");
    const ShellResult exported = cli("toolbox export --queue Orvin_A");
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    std::ofstream(profile) << exported.out;
    EXPECT_THAT(exported.out, HasSubstr("\"family\": 221201"));
    EXPECT_THAT(exported.out, Not(HasSubstr("m_tfIpAddr")));

    const ShellResult dry = cli("toolbox import --all-of-model 221201 --dry-run " + profile.string());
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_THAT(dry.out,
                HasSubstr("Orvin_A: nothing to write\nOrvin_B: 6 settings would be written\n@PJL DEFAULT FORMWIDTH=166\n"));
    for (size_t i = 0; i < sims.size(); ++i) EXPECT_EQ(writes(i), 0) << i;

    const ShellResult applied = cli("toolbox import --all-of-model 221201 " + profile.string());
    EXPECT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_EQ(applied.out,
              "Orvin_A: nothing to write\nOrvin_B: 6 settings written\nOrvin_C: 6 settings written\n"
              "Orvin_D: 6 settings written\n");
    const auto source = profileControls(show("Orvin_A"));
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(profileControls(show(Orvins[i])), source) << Orvins[i];
        EXPECT_EQ(writes(i), 6) << Orvins[i];
    }
    EXPECT_EQ(writes(0), 0);
    EXPECT_NE(show("Orvin_B").find("m_tfIpAddr=192.168.1.120\n"), std::string::npos);

    for (size_t i = 1; i < 4; ++i) sims[i]->reset();
    sims[3]->stop();
    const ShellResult partly = cli("toolbox import --all-of-model 221201 " + profile.string());
    EXPECT_EQ(partly.exitCode, 1);
    EXPECT_EQ(partly.out,
              "Orvin_A: nothing to write\nOrvin_B: 6 settings written\nOrvin_C: 6 settings written\n"
              "Orvin_D: failed: not attached\n");
    EXPECT_EQ(profileControls(show("Orvin_C")), source);
}

// A profile for another family, or a file that is no profile, is refused before anything is
// written; a setting the family does not have is named and skipped.
TEST_F(RoomSim, WhatIsNoProfileForTheEmbosserIsRefused) {
    const ShellResult exported = cli("toolbox export --queue Tessaline_30RT");
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    std::ofstream(profile) << exported.out;
    const fs::path large = scratch->path() / "large.json", odd = scratch->path() / "odd.json";
    std::ofstream(large) << "{\"family\": 221201, \"settings\": {}, \"pad\": \"" << std::string(1 << 20, 'x') << "\"}";
    std::ofstream(odd) << R"({"family": 221201, "settings": {"m_cbQuality": 2, "m_tfRetired": "1"}})";
    // clang-format off
    const struct { std::string args; int status; std::string err; } rows[] = {
        {"--queue Orvin_A " + profile.string(), 2, "Orvin_A: the profile is for the Tessaline 30RT family (20802); nothing was written\n"},
        {"--all-of-model 221201 " + profile.string(), 2,
         "the profile is for the Tessaline 30RT family (20802), not for the Orvin family (221201); nothing was written\n"},
        {large.string(), 2, large.string() + ": larger than a profile can be (1048576 bytes)\n"},
        {"--queue Orvin_A " + (scratch->path() / "none.json").string(), 2, "none.json: cannot be read\n"},
        {"--queue Orvin_A " + odd.string(), 0, odd.string() + ": m_tfRetired: no such setting in a profile of this family; skipped\n"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const ShellResult run = cli("toolbox import " + row.args);
        EXPECT_EQ(run.exitCode, row.status) << row.args << ": " << run.err;
        EXPECT_TRUE(run.err.ends_with(row.err)) << run.err;
    }
    EXPECT_EQ(writes(0), 1); // the quality of the last row only
    for (size_t i = 1; i < sims.size(); ++i) EXPECT_EQ(writes(i), 0) << i;
}

// Every queue is listed with what its embosser says; one switched off is listed as not answering,
// never as ready. (The JSON form and each family's fields are left to the eye.)
TEST_F(RoomSim, TheStatusSaysWhichEmbosserDoesNotAnswer) {
    sims[1]->stop();
    const ShellResult run = cli("status");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("Orvin_A\tOrvin 200\t1.4.2\tREADY (10001 ready)\tink 1: OK 82 %, 2: OK 64 %\n"));
    EXPECT_THAT(run.out, HasSubstr("\nPim\tPim\t")); // a model without a toolbox, only asked for its status
    EXPECT_THAT(run.out, HasSubstr("Orvin_B\tOrvin\t-\tnot answering\tthe embosser is not attached or not switched on"));
    for (size_t i = 0; i < sims.size(); ++i) EXPECT_EQ(writes(i), 0) << i;
}

} // namespace
