// What only the command runner does: exit codes, the time limit, Cancel and the output cap, each
// of which ends the command's whole process group. (Its launch without waiting has no caller.)
#include "printer/CommandRunner.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace brelmont::printer;
using namespace std::chrono_literals;
using Status = RunResult::Status;
namespace fs = std::filesystem;

TEST(CommandRunner, HowACommandEnds) {
    const brelmont::testing::ScratchDir scratch("runner");
    const std::string outlived = " (sleep 1; touch " + (scratch.path() / "outlived").string() + ") & ";
    // clang-format off
    struct Case { const char* name; std::string command; RunOptions options; bool cancel; Status status; int exitCode; std::string out; };
    const Case cases[] = {
        {"bytes as they are", "printf 'a\\r\\n\\303\\377\\000'; echo e >&2", {}, false, Status::Ended, 0, std::string("a\r\n\xc3\xff\0", 6)},
        {"exit status", "echo x; exit 3", {}, false, Status::Ended, 3, "x\n"},
        {"signal", "kill -9 $$", {}, false, Status::Ended, 137, ""},
        {"no input", "cat; echo done", {}, false, Status::Ended, 0, "done\n"},
        {"time limit", outlived + "echo started", {.limit = 300ms, .stop = {}}, false, Status::TimedOut, -1, "started\n"},
        {"output cap", "head -c 99999 /dev/zero;" + outlived + "sleep 30", {.limit = 2min, .stop = {}, .maxOutput = 10}, false, Status::TooMuchOutput, -1, std::string(10, 0)},
        {"cancel", outlived + "sleep 30", {}, true, Status::Stopped, -1, ""},
    };
    // clang-format on
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        if (c.cancel) c.options.stop = std::make_shared<StopSignal>();
        std::thread cancel([&] {
            if (c.cancel) std::this_thread::sleep_for(300ms), c.options.stop->stop();
        });
        const auto start = std::chrono::steady_clock::now();
        const RunResult result = CommandRunner::execute(c.command, c.options);
        cancel.join();
        EXPECT_EQ(result.status, c.status) << result.reason;
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.out, c.out);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    }
    EXPECT_FALSE(CommandRunner::run("sleep 30", nullptr, 300ms));
    std::this_thread::sleep_for(1500ms);
    EXPECT_FALSE(fs::exists(scratch.path() / "outlived")) << "a command's own child outlived its end";
}

// Quitting ends every command at once, and none starts afterwards (in a child process: the
// program's stop is for good).
TEST(CommandRunnerDeathTest, QuittingEndsEveryCommandAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::thread worker([] { CommandRunner::execute("sleep 30"); });
            std::this_thread::sleep_for(200ms);
            const auto start = std::chrono::steady_clock::now();
            StopSignal::program().stop();
            worker.join();
            const bool refused = CommandRunner::execute("true").status == Status::Stopped;
            std::exit(std::chrono::steady_clock::now() - start < 1s && refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
