// The command lines that run the device helper, checked with a stand-in helper that reports the
// arguments it received: every value must arrive as one literal argument.
#include "printer/PjlHelper.h"

#include "ScopedEnv.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace brelmont::printer;
namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class PjlHelperFront : public ::testing::Test {
protected:
    void SetUp() override {
        // A temporary folder of the test's own, so tests running side by side never share the
        // work files, and in it a resource folder whose name itself needs quoting.
        tmpdir.emplace("TMPDIR", scratch.path().string());
        resources = scratch.path() / "brelmont res' $x";
        fs::create_directories(resources);
        log = resources / "log";
        std::ofstream script(resources / "pjlhelper");
        script << "#!/bin/sh\n"
                  "if [ $# -eq 0 ]; then printf 'direct socket://a:1 \"B O\" \"B O\" \"MFG:Brelmont;MDL:Karro Orvin;\" \"\"\\n'; exit 0; fi\n"
                  "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done | tee \"$BRELMONT_TEST_LOG\"\n"
                  "cat \"$6\"\n";
        script.close();
        fs::permissions(resources / "pjlhelper", fs::perms::owner_all);
        setenv("BRELMONT_RESOURCE_DIR", resources.c_str(), 1);
        setenv("BRELMONT_TEST_LOG", log.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("BRELMONT_RESOURCE_DIR");
        unsetenv("BRELMONT_TEST_LOG");
        tmpdir.reset();
    }
    brelmont::testing::ScratchDir scratch{"pjlfront"};
    std::optional<brelmont::testing::ScopedEnv> tmpdir;
    fs::path resources, log;
};

const std::string HostileDevices[] = {"socket://127.0.0.1:9100", "usb://Brelmont/Karro Orvin?serial=1", "socket://h\";touch x;\"",
                                      "socket://$(id)", "usb://a'b", "line\nbreak"};

} // namespace

// Each exchange has a work file of its own, gone when the exchange ends.
TEST_F(PjlHelperFront, ExchangeSendsTheRequestThroughAWorkFileOfItsOwn) {
    for (const std::string& device : HostileDevices) {
        const ExchangeResult result = PjlHelper::exchange("\x1b%-12345X@PJL INFO ID\r\n\f", device);
        ASSERT_TRUE(result.ok()) << result.describe();
        const std::string logged = readAll(log);
        const std::string prefix = "[1]\n[1]\n[1]\n[1]\n[1]\n[" + (PjlHelper::workDir() / "pjl-").string();
        EXPECT_EQ(logged.substr(0, prefix.size()), prefix) << device;
        EXPECT_TRUE(logged.ends_with("]\n[" + device + "]\n")) << device;
        if (device.find('\n') == std::string::npos) {
            ASSERT_EQ(result.reply.size(), 9u) << device;
            EXPECT_EQ(result.reply[7], "\x1b%-12345X@PJL INFO ID");
        }
        EXPECT_TRUE(fs::is_empty(PjlHelper::workDir())) << device;
    }
    const ExchangeResult empty = PjlHelper::exchange("", "socket://a:1");
    ASSERT_GE(empty.reply.size(), 1u);
    EXPECT_EQ(empty.reply[0], "[0]"); // nothing to send: the helper only listens
}

TEST_F(PjlHelperFront, AWorkFileThatCannotBeWrittenSendsNothing) {
    std::ofstream(scratch.path() / "not a folder") << "x";
    const brelmont::testing::ScopedEnv tmp("TMPDIR", (scratch.path() / "not a folder").string());
    const ExchangeResult result = PjlHelper::exchange("new request", "socket://a:1");
    EXPECT_EQ(result.status, ExchangeStatus::Failed);
    EXPECT_FALSE(fs::exists(log)); // the helper never ran
}

// The helper's exit status tells the kind of failure; its last message line is the reason.
TEST_F(PjlHelperFront, FailuresAreToldApartWithTheHelpersReason) {
    struct Case { int exitCode; ExchangeStatus status; };
    for (const Case& c : {Case{3, ExchangeStatus::NotAttached}, Case{4, ExchangeStatus::NoReply},
                          Case{5, ExchangeStatus::Dropped}, Case{6, ExchangeStatus::Failed}, Case{1, ExchangeStatus::Failed}}) {
        std::ofstream(resources / "pjlhelper") << "#!/bin/sh\necho partial\necho 'pjlhelper: step: why " << c.exitCode
                                               << "' >&2\nexit " << c.exitCode << "\n";
        const ExchangeResult result = PjlHelper::exchange("x", "socket://a:1");
        EXPECT_EQ(result.status, c.status) << c.exitCode;
        EXPECT_EQ(result.reason, "pjlhelper: step: why " + std::to_string(c.exitCode));
    }
}

// A helper that does not end is stopped at the work's deadline, or at once by Cancel, with
// whatever it started.
TEST_F(PjlHelperFront, DeadlineAndCancelEndTheHelper) {
    std::ofstream(resources / "pjlhelper") << "#!/bin/sh\nsleep 30 && touch \"$BRELMONT_TEST_LOG\"\n";
    const auto start = std::chrono::steady_clock::now();
    const ExchangeResult late =
        PjlHelper::exchange("x", "socket://a:1", {std::chrono::steady_clock::now() + std::chrono::milliseconds(300), {}});
    EXPECT_EQ(late.status, ExchangeStatus::NoReply);

    auto stop = std::make_shared<StopSignal>();
    std::thread cancel([stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop->stop();
    });
    const ExchangeResult cancelled = PjlHelper::exchange("x", "socket://a:1", {std::nullopt, stop});
    cancel.join();
    EXPECT_EQ(cancelled.status, ExchangeStatus::Cancelled) << cancelled.describe();
    EXPECT_EQ(PjlHelper::exchange("x", "socket://a:1", {std::nullopt, stop}).status, ExchangeStatus::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(PjlHelperFront, DataExchangeReturnsBytesAsTheyCame) {
    std::vector<uint8_t> data(256);
    for (int i = 0; i < 256; ++i) data[size_t(i)] = uint8_t(i);
    const std::vector<uint8_t> out = PjlHelper::exchangeData(data, "socket://a:1").reply;
    ASSERT_GE(out.size(), data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.end() - 256));
}

TEST_F(PjlHelperFront, SendFileRunsTheHelperOnTheLocalPathToItsEnd) {
    const std::string path = (resources / "firm ware$1.bin").string();
    std::ofstream(path) << "firmware";
    ASSERT_TRUE(PjlHelper::sendFile("file://" + path, "socket://a:1").ok());
    EXPECT_EQ(readAll(log), "[1]\n[0]\n[1]\n[1]\n[1]\n[" + path + "]\n[socket://a:1]\n");
}

TEST_F(PjlHelperFront, ListingAndWorkFolder) {
    const auto lines = PjlHelper::deviceListing();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "");
    EXPECT_NE(lines[0].find("MDL:Karro Orvin;"), std::string::npos);

    const fs::path dir = PjlHelper::workDir();
    struct stat st {};
    ASSERT_EQ(lstat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, getuid());

    setenv("BRELMONT_RESOURCE_DIR", "/nonexistent", 1);
    EXPECT_TRUE(PjlHelper::deviceListing().size() <= 1); // the shell runs, the tool is missing: no devices
}

TEST(ReplyLines, CarriageReturnsAndFormFeedsGo) {
    EXPECT_EQ(replyLines("@PJL INFO ID\r\n\"X\"\r\n\f"), (ReplyLines{"@PJL INFO ID", "\"X\"", ""}));
    EXPECT_EQ(replyLines(""), (ReplyLines{""}));
}
