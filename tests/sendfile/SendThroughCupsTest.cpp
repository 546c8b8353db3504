// The whole way through the private CUPS server: brelmont-cli send and the test page deliver their
// bytes unchanged (raw, no banner) to simulated embossers. The send-job step runs the same lpr
// command (pinned against a stand-in lpr), so it is not repeated here.
#include "CupsSimFixture.h"
#include "TestPage.h"
#include "common/ModelCodes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

using brelmont::testing::embosserOptions;
using brelmont::testing::EmbosserSim;
namespace fs = std::filesystem;
using ::testing::HasSubstr;

namespace {

class SendThroughCups : public brelmont::testing::CupsSimFixture {
protected:
    static void SetUpTestSuite() {
        startSystem({{"valdo", {"Valdo_Sheet", "Valdo Sheet", "", "Valdo in the hall"}},
                     {"valdo", {"Valdo_Trac", "Valdo Trac", "", "Valdo", embosserOptions()}}});
    }
};

TEST_F(SendThroughCups, TheCommandLineToolDeliversAFileUnchangedOrSaysWhyNot) {
    std::string bytes(50000, '\0');
    std::mt19937 random(7);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i < 256 ? i : random());
    const fs::path file = scratch->path() / "job.bin";
    std::ofstream(file, std::ios::binary) << bytes;

    const auto run = cli("send " + file.string() + " Valdo_Sheet");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string received = sim->receivedData(bytes.size());
    EXPECT_TRUE(received == bytes) << "received " << received.size() << " of " << bytes.size() << " bytes";

    const auto refused = cli("send " + file.string() + " No_Such_Queue");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "brelmont-cli: send: lpr: Error - The printer or class does not exist.\n"); // lpr's own reason
}

// The test page is made for the queue's model in the spacing the queue is set to (what it holds for
// each model and spacing is the test page's own test).
TEST_F(SendThroughCups, TheTestPageReachesTheEmbosserInTheQueuesSpacing) {
    cups->run("lpoptions -p Valdo_Trac -o BrailleSpacing=Jumbo");
    const auto run = cli("testpage Valdo_Trac");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr(" in Jumbo braille spacing"));
    const brelmont::testing::ByteVector page = brelmont::testing::makeTestPage(brelmont::model::Valdo, "Jumbo");
    const std::string job(page.begin(), page.end()), enter = "@PJL ENTER LANGUAGE=TCL\r\n";
    const size_t start = job.find(enter) + enter.size(), end = job.rfind("\x1b%-12345X");
    const std::string data = job.substr(start, end - start), received = sims[1]->receivedData(data.size());
    EXPECT_TRUE(received == data) << "received " << received.size() << " of " << data.size() << " bytes";
    EXPECT_EQ(sims[1]->logCount("@PJL JOB NAME=\"Test page\" MODEL=\"Valdo\""), 1);

    const auto refused = cli("testpage No_Such_Queue");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_THAT(refused.err, HasSubstr("is not a queue of a Brelmont embosser"));
}

} // namespace
