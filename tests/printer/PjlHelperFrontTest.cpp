// The device helper's front, with a stand-in helper that reports the arguments it received.
#include "printer/HelperProtocol.h"
#include "printer/PjlHelper.h"

#include "ScopedEnv.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace brelmont::printer;
using brelmont::testing::ScopedEnv;
namespace fs = std::filesystem;

namespace {

class PjlHelperFront : public ::testing::Test {
protected:
    void helper(const std::string& body) {
        std::ofstream(scratch.path() / "pjlhelper") << "#!/bin/sh\n" << body;
        fs::permissions(scratch.path() / "pjlhelper", fs::perms::owner_all);
    }
    brelmont::testing::ScratchDir scratch{"pjlfront"};
    const ScopedEnv tmp{"TMPDIR", scratch.path().string()};
    const ScopedEnv resources{"BRELMONT_RESOURCE_DIR", scratch.path().string()};
};

} // namespace

// Each exchange has a work file of its own, gone when the exchange ends. (Data and the listing
// through the real helper, byte for byte: ToolboxFamiliesSim's tables and PrinterAccess.)
TEST_F(PjlHelperFront, ExchangeSendsTheRequestThroughAWorkFileOfItsOwn) {
    helper("printf '[%s]' \"$@\"; echo; cat \"$6\"\n");
    const ExchangeResult result = PjlHelper::exchange("\x1b%-12345X@PJL INFO ID\r\n\f", "socket://a:1");
    ASSERT_TRUE(result.ok()) << result.describe();
    ASSERT_EQ(result.reply.size(), 3u);
    const std::string work = (PjlHelper::workDir() / "pjl-").string();
    EXPECT_TRUE(result.reply[0].starts_with("[1][1][1][1][1][" + work)) << result.reply[0];
    EXPECT_TRUE(result.reply[0].ends_with("][socket://a:1]"));
    EXPECT_EQ(result.reply[1], "\x1b%-12345X@PJL INFO ID"); // carriage return and form feed gone
    EXPECT_EQ(result.reply[2], "");
    EXPECT_TRUE(fs::is_empty(PjlHelper::workDir()));
    EXPECT_TRUE(PjlHelper::exchange("", "socket://a:1").reply[0].starts_with("[0]")); // nothing to send: only listen

    const std::string file = (scratch.path() / "firm ware.bin").string();
    std::ofstream(file) << "firmware";
    ASSERT_TRUE(PjlHelper::sendFile("file://" + file, "socket://a:1").ok());

    struct stat st {};
    ASSERT_EQ(lstat(PjlHelper::workDir().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    const ScopedEnv notAFolder("TMPDIR", file);
    EXPECT_EQ(PjlHelper::exchange("x", "socket://a:1").status, ExchangeStatus::Failed);
}

// The helper's exit status tells the kind of failure, its last message line the reason; a helper
// that does not end is stopped at the deadline, or at once by Cancel.
TEST_F(PjlHelperFront, FailuresDeadlineAndCancel) {
    using S = ExchangeStatus;
    for (const auto& [exitCode, status] :
         {std::pair{3, S::NotAttached}, {4, S::NoReply}, {5, S::Dropped}, {6, S::Failed}, {1, S::Failed}}) {
        helper("echo partial\necho 'pjlhelper: why' >&2\nexit " + std::to_string(exitCode) + "\n");
        const ExchangeResult result = PjlHelper::exchange("x", "socket://a:1");
        EXPECT_EQ(result.status, status) << exitCode;
        EXPECT_EQ(result.reason, "pjlhelper: why");
    }
    helper("sleep 30\n");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PjlHelper::exchange("x", "d", {start + std::chrono::milliseconds(300), {}}).status, ExchangeStatus::NoReply);
    auto stop = std::make_shared<StopSignal>();
    std::thread cancel([stop] { std::this_thread::sleep_for(std::chrono::milliseconds(300)), stop->stop(); });
    EXPECT_EQ(PjlHelper::exchange("x", "d", {std::nullopt, stop}).status, ExchangeStatus::Cancelled);
    cancel.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // The front holds no more than a reply may have, whatever the helper does.
    helper("head -c 100000000 /dev/zero\nsleep 30\n");
    const ExchangeResult endless = PjlHelper::exchange("x", "socket://a:1");
    EXPECT_EQ(endless.status, ExchangeStatus::Failed);
    EXPECT_EQ(endless.reason, "the reply passed " + std::to_string(brelmont::printer::helper::MaxReplyBytes) + " bytes");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}
