// brelmont-cli send against a stand-in lpr: the file's path as lpr gets it, and the exit statuses
// for a file that cannot be read, a job lpr refuses, and an lpr that cannot be started.
#include "CupsServer.h"
#include "ProgramRun.h"
#include "ScratchDir.h"
#include "StandInLpr.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using brelmont::testing::runProgram;
using brelmont::testing::ScratchDir;
using brelmont::testing::shellQuote;
using brelmont::testing::StandInLpr;
namespace fs = std::filesystem;

namespace {

brelmont::testing::ProgramRun send(const fs::path& folder, const std::string& file, const std::string& queue) {
    return runProgram("cd " + shellQuote(folder.string()) + " && " + BRELMONT_CLI,
                      "send " + shellQuote(file) + " " + shellQuote(queue));
}

} // namespace

TEST(SendCli, LprGetsTheFilesAbsoluteLocalPath) {
    const ScratchDir scratch("sendcli");
    const StandInLpr lpr(scratch.path());
    const fs::path folder = scratch.path() / "jobs dir";
    fs::create_directories(folder);
    std::ofstream(folder / "a b#%.prn") << "x";
    std::ofstream(folder / "-rf") << "x";
    struct Case {
        std::string given, expected;
    };
    const Case cases[] = {
        {(folder / "a b#%.prn").string(), (folder / "a b#%.prn").string()},
        {"a b#%.prn", (folder / "a b#%.prn").string()},
        {"file://" + folder.string() + "/a%20b%23%25.prn", (folder / "a b#%.prn").string()},
        {"-rf", (folder / "-rf").string()},
    };
    for (const Case& c : cases) {
        lpr.forget();
        const auto run = send(folder, c.given, "Orvin_200");
        EXPECT_EQ(run.status, 0) << c.given << ": " << run.err;
        EXPECT_EQ(lpr.arguments(), StandInLpr::lprArguments("Orvin_200", c.expected)) << c.given;
    }
}

TEST(SendCli, RefusedInputAndFailuresHaveTheirExitStatus) {
    const ScratchDir scratch("sendcli");
    const fs::path file = scratch.path() / "job.prn";
    std::ofstream(file) << "x";
    struct Case {
        const char* what;
        std::string file, queue;
        int lprStatus;
        bool lprOnPath;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"missing file", (scratch.path() / "missing.prn").string(), "Q", 0, true, 2,
         "brelmont-cli: send: " + (scratch.path() / "missing.prn").string() + ": No such file or directory\n"},
        {"a folder", scratch.path().string(), "Q", 0, true, 2,
         "brelmont-cli: send: " + scratch.path().string() + ": is a folder\n"},
        {"no queue", file.string(), "", 0, true, 2, "usage: brelmont-cli send FILE QUEUE\n"},
        {"no lpr", file.string(), "Q", 0, false, 1, "lpr\n"},
    };
    for (const Case& c : cases) {
        const ScratchDir own("sendcli");
        const StandInLpr lpr(own.path(), c.lprStatus);
        if (!c.lprOnPath) setenv("PATH", (own.path() / "tmp").c_str(), 1); // a folder without lpr
        const auto run = send(scratch.path(), c.file, c.queue);
        EXPECT_EQ(run.status, c.status) << c.what;
        EXPECT_TRUE(run.err.ends_with(c.message)) << c.what << ": " << run.err;
        EXPECT_EQ(lpr.ran(), c.lprStatus != 0) << c.what;
    }
}
