#include "printer/CommandRunner.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

using brelmont::printer::CommandRunner;
namespace fs = std::filesystem;

TEST(CommandRunner, OutputComesBackUnchanged) {
    struct Case { std::string command, output; };
    const Case cases[] = {
        {"true", ""},
        {"echo hello >&2", ""}, // standard error is not collected
        {"printf 'no newline'", "no newline"},
        {"printf 'a\\r\\nb\\r\\n'", "a\r\nb\r\n"},
        {"printf '\\303\\251\\377'", "\xc3\xa9\xff"},
        {"exit 3", ""}, // the exit status plays no part
    };
    for (const Case& c : cases) {
        const auto out = CommandRunner::run(c.command);
        ASSERT_TRUE(out) << c.command;
        EXPECT_EQ(*out, c.output) << c.command;
    }
}

TEST(CommandRunner, DataComesBackAsBytes) {
    const auto out = CommandRunner::runForData("printf '\\000\\001\\377'; head -c 100000 /dev/zero");
    ASSERT_TRUE(out);
    ASSERT_EQ(out->size(), 100003u);
    EXPECT_EQ((*out)[0], 0);
    EXPECT_EQ((*out)[1], 1);
    EXPECT_EQ((*out)[2], 0xFF);
}

TEST(CommandRunner, TheChildReadsNothingFromOurInput) {
    const auto out = CommandRunner::run("cat; echo done");
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, "done\n");
}

TEST(CommandRunner, ACommandThatNeverEndsIsStoppedWithEverythingItStarted) {
    const brelmont::testing::ScratchDir scratch("limit");
    const fs::path mark = scratch.path() / "still-running";
    // The shell ends at once but leaves a child holding the output open; both must go.
    for (const std::string& command : {std::string("sleep 30"), "(sleep 2; touch " + mark.string() + ") & echo started"}) {
        std::string error;
        const auto out = CommandRunner::run(command, &error, std::chrono::milliseconds(300));
        EXPECT_FALSE(out) << command;
        EXPECT_NE(error.find("stopped after"), std::string::npos) << error;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_FALSE(fs::exists(mark)) << "the command's own child outlived the limit";
}

namespace {

// Zombie children of this process (state Z in /proc/PID/stat with our pid as parent).
int zombieChildren() {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        const size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int ppid = 0;
        if (std::sscanf(line.c_str() + close + 2, "%c %d", &state, &ppid) == 2 && state == 'Z' && ppid == getpid()) ++count;
    }
    return count;
}

bool waitFor(const fs::path& file, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!fs::exists(file) && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return fs::exists(file);
}

} // namespace

TEST(CommandRunner, LaunchReturnsAtOnceAndReapsTheChild) {
    const brelmont::testing::ScratchDir scratch("launch");
    const fs::path& dir = scratch.path();
    const auto start = std::chrono::steady_clock::now();
    // A chatty child: several megabytes on standard output that nobody reads, then a mark.
    ASSERT_TRUE(CommandRunner::launch("sleep 0.3; head -c 5000000 /dev/zero; touch " + (dir / "done").string()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
    EXPECT_FALSE(fs::exists(dir / "done"));
    ASSERT_TRUE(waitFor(dir / "done", std::chrono::seconds(10)));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(zombieChildren(), 0);
}

// Quitting ends every command still at work at once, and none starts afterwards. (In a child
// process of its own: the program's stop is for good.)
TEST(CommandRunnerDeathTest, QuittingEndsEveryCommandAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::thread worker([] { CommandRunner::execute("sleep 30"); });
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const auto start = std::chrono::steady_clock::now();
            brelmont::printer::StopSignal::program().stop();
            worker.join();
            const bool prompt = std::chrono::steady_clock::now() - start < std::chrono::seconds(1);
            const bool refused = CommandRunner::execute("true").status == brelmont::printer::RunResult::Status::Stopped;
            std::exit(prompt && refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
