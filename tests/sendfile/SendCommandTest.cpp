// The send operation's command line, run through a stand-in lpr that records its arguments: plain
// values give the usual line byte for byte, and any other queue name or path arrives as one
// literal argument, never read by the shell.
#include "sendfile/SendOperation.h"

#include "ScratchDir.h"
#include "StandInLpr.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace brelmont::sendfile;
using brelmont::testing::ScratchDir;
using brelmont::testing::StandInLpr;
namespace fs = std::filesystem;

TEST(SendCommand, PlainValuesGiveTheUsualLine) {
    EXPECT_EQ(sendCommand("/Users/me/job.prn", "Orvin_200"), "lpr -h -l -P Orvin_200 \"/Users/me/job.prn\"");
    EXPECT_EQ(sendCommand("file:///Users/me/job.prn", "Orvin_200"), "lpr -h -l -P Orvin_200 \"/Users/me/job.prn\"");
    EXPECT_EQ(sendCommand("/Users/me/my job.prn", "Q"), "lpr -h -l -P Q \"/Users/me/my job.prn\"");
}

TEST(SendCommand, EveryQueueAndPathArrivesAsOneLiteralArgument) {
    const ScratchDir scratch("send");
    const StandInLpr lpr(scratch.path());
    const std::string trap = (scratch.path() / "pwned").string();
    struct Case { std::string queue, path, expectedPath; };
    const Case cases[] = {
        {"Orvin_200", "/jobs/job.prn", "/jobs/job.prn"},
        {"a b", "/jobs/my job.prn", "/jobs/my job.prn"},
        {"q;touch " + trap, "/jobs/a\";touch " + trap + ";\".prn", "/jobs/a\";touch " + trap + ";\".prn"},
        {"$(touch " + trap + ")", "/jobs/$(touch " + trap + ")", "/jobs/$(touch " + trap + ")"},
        {"`touch " + trap + "`", "/jobs/`touch " + trap + "`", "/jobs/`touch " + trap + "`"},
        {"it's", "/jobs/it's \\ !x $HOME", "/jobs/it's \\ !x $HOME"},
        {"-x", "/jobs/line\nbreak", "/jobs/line\nbreak"},
        {"Q", "-rf", "./-rf"}, // a path is never taken for an option
        {"Q", "file:///jobs/a%20b%25%23%C3%A9", "/jobs/a b%#é"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        lpr.forget();
        const SendOutcome outcome = send(c.path, c.queue, std::chrono::seconds(20));
        EXPECT_EQ(outcome.status, SendOutcome::Status::Queued) << c.queue << " " << c.path << ": " << outcome.detail;
        EXPECT_EQ(lpr.arguments(), StandInLpr::lprArguments(c.queue, c.expectedPath)) << c.queue << " " << c.path;
    }
    EXPECT_FALSE(fs::exists(trap));
}

TEST(SendCommand, WaitingTellsWhetherLprRanAndTookTheJob) {
    const ScratchDir scratch("send");
    {
        const StandInLpr refusing(scratch.path() / "refusing", 3);
        const SendOutcome outcome = send("/jobs/a", "Q", std::chrono::seconds(20));
        EXPECT_EQ(outcome.status, SendOutcome::Status::Refused);
        EXPECT_EQ(outcome.detail, "lpr: Destination \"q\" is not accepting jobs."); // lpr's own reason
    }
    const fs::path empty = scratch.path() / "empty";
    fs::create_directories(empty);
    const std::string path = std::getenv("PATH");
    setenv("PATH", empty.c_str(), 1);
    const SendOutcome missing = send("/jobs/a", "Q", std::chrono::seconds(20));
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(missing.status, SendOutcome::Status::NotStarted);
    EXPECT_TRUE(missing.detail.starts_with("lpr could not be started: ")) << missing.detail;
}
