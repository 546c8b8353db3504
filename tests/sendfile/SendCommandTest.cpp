// The send operation's command line, run through a stand-in lpr that records its arguments.
// (Quoting itself is the shell quoting helper's, tested there.)
#include "sendfile/SendOperation.h"

#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "StandInLpr.h"

#include <gtest/gtest.h>

using namespace brelmont::sendfile;
using brelmont::testing::StandInLpr;

TEST(SendCommand, LprGetsTheQueueAndTheLocalPath) {
    EXPECT_EQ(sendCommand("file:///Users/me/my%20job.prn", "Orvin_200"), "lpr -h -l -P Orvin_200 \"/Users/me/my job.prn\"");
    const brelmont::testing::ScratchDir scratch("send");
    const StandInLpr lpr(scratch.path());
    for (const auto& [queue, path, expected] : {std::tuple{"-x", "-rf", "./-rf"}, // never taken for an option
                                                {"a b", "file:///jobs/a%20b%25", "/jobs/a b%"}}) {
        const SendOutcome outcome = send(path, queue, std::chrono::seconds(20));
        EXPECT_EQ(outcome.status, SendOutcome::Status::Queued) << outcome.detail;
        EXPECT_EQ(lpr.arguments(), StandInLpr::lprArguments(queue, expected)) << path;
    }
}

TEST(SendCommand, WaitingTellsWhetherLprRanAndTookTheJob) {
    const brelmont::testing::ScratchDir scratch("send");
    {
        const StandInLpr refusing(scratch.path(), 3);
        const SendOutcome outcome = send("/jobs/a", "Q", std::chrono::seconds(20));
        EXPECT_EQ(outcome.status, SendOutcome::Status::Refused);
        EXPECT_EQ(outcome.detail, "lpr: Destination \"q\" is not accepting jobs."); // lpr's own reason
    }
    const brelmont::testing::ScopedEnv noLpr("PATH", scratch.path().string());
    const SendOutcome missing = send("/jobs/a", "Q", std::chrono::seconds(20));
    EXPECT_EQ(missing.status, SendOutcome::Status::NotStarted);
    EXPECT_TRUE(missing.detail.starts_with("lpr could not be started: ")) << missing.detail;
}
