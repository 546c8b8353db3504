// The whole way through a private CUPS server: brelmont-cli send, and the send-job step of a
// decoded document, deliver their bytes unchanged (raw, no banner) to a simulated embosser.
#include "sendfile/SendJob.h"

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "JobWriter.h"
#include "ProgramRun.h"
#include "ScratchDir.h"
#include "TestPage.h"
#include "common/ModelCodes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

using namespace brelmont::sendfile;
using brelmont::testing::CupsServer;
using brelmont::testing::EmbosserSim;
using brelmont::testing::ScratchDir;
namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What the simulator stored as print data, once at least `size` bytes are there (bounded wait).
std::string receivedData(const EmbosserSim& sim, size_t size) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::string received;
    while (received.size() < size && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        received.clear();
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(sim.storePath(), ec))
            if (entry.path().filename().string().starts_with("received-")) received += readAll(entry.path());
    }
    return received;
}

class SendThroughCups : public ::testing::Test {
protected:
    void SetUp() override {
        if (!CupsServer::available()) GTEST_SKIP() << "cupsd is not installed";
        cups = std::make_unique<CupsServer>();
        std::string error;
        ASSERT_TRUE(cups->start(&error)) << error;
        sim = std::make_unique<EmbosserSim>("valdo");
        ASSERT_TRUE(cups->addQueue(Queue, "Valdo Sheet", sim->uri(), "Valdo in the hall", {}, &error)) << error;
        cups->applyEnvironment();
        savedTmp = std::getenv("TMPDIR") ? std::optional<std::string>(std::getenv("TMPDIR")) : std::nullopt;
        fs::create_directories(scratch.path() / "tmp");
        setenv("TMPDIR", (scratch.path() / "tmp").c_str(), 1);
    }
    void TearDown() override {
        if (savedTmp) setenv("TMPDIR", savedTmp->c_str(), 1);
        else unsetenv("TMPDIR");
        sim.reset();
        cups.reset();
    }

    static constexpr const char* Queue = "Valdo_Sheet";
    ScratchDir scratch{"sendcups"};
    std::unique_ptr<CupsServer> cups;
    std::unique_ptr<EmbosserSim> sim;
    std::optional<std::string> savedTmp;
};

} // namespace

TEST_F(SendThroughCups, TheCommandLineToolDeliversAFileUnchanged) {
    std::string bytes(50000, '\0');
    std::mt19937 random(7);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i < 256 ? i : random());
    const fs::path file = scratch.path() / "job 100% #1 é.bin";
    std::ofstream(file, std::ios::binary) << bytes;

    const auto run = brelmont::testing::runProgram(BRELMONT_CLI, "send " + brelmont::testing::shellQuote(file.string()) + " " + Queue,
                                                   scratch.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string received = receivedData(*sim, bytes.size());
    EXPECT_TRUE(received == bytes) << "received " << received.size() << " of " << bytes.size() << " bytes";
}

TEST_F(SendThroughCups, TheSendJobStepDeliversTheDecodedJobsBytes) {
    // PJL lines first (the device takes them as commands), then the raster data it stores.
    brelmont::testing::JobWriter header;
    header.pjl("@PJL JOB NAME=\"hall\" MODEL=\"Valdo\"");
    brelmont::testing::JobWriter job = header;
    for (uint8_t v = 1; v <= 3; ++v) job.embossRaster(brelmont::testing::ByteVector(64 * 4, v), 64, 4);
    brelmont::job::Document document;
    std::ostringstream diagnostics;
    ASSERT_FALSE(document.readFromData(job.data(), brelmont::job::Document::TypeKprn, "/jobs/hall.kprn", diagnostics));
    ASSERT_EQ(document.m_embPages.size(), 3u);

    const SendJobResult result = sendJob(document, Queue);
    ASSERT_EQ(result.status, SendJobStatus::Sent) << result.detail;
    const std::string data(job.data().begin() + long(header.data().size()), job.data().end());
    const std::string received = receivedData(*sim, data.size());
    EXPECT_TRUE(received == data) << "received " << received.size() << " of " << data.size() << " bytes";
    EXPECT_NE(sim->logText().find("@PJL JOB NAME=\"hall\" MODEL=\"Valdo\""), std::string::npos) << sim->logText();
}

TEST_F(SendThroughCups, TheCommandLineToolReportsAQueueThatLprRefuses) {
    const fs::path file = scratch.path() / "job.bin";
    std::ofstream(file) << "x";
    const auto run = brelmont::testing::runProgram(BRELMONT_CLI, "send " + file.string() + " No_Such_Queue", scratch.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "brelmont-cli: send: lpr: Error - The printer or class does not exist.\n"); // lpr's own reason
}

// The test page goes the same way: made for the queue's model in the spacing the queue is set to,
// it reaches the embosser byte for byte; the embosser takes the PJL lines as commands.
TEST_F(SendThroughCups, TheTestPageReachesTheEmbosserInTheQueuesSpacing) {
    std::string error;
    EmbosserSim inkSim("orvin");
    ASSERT_TRUE(cups->addQueue("Orvin_Color_Ink", "Orvin Color Ink", inkSim.uri(), "Orvin in the lab",
                               brelmont::testing::embosserOptions(), &error)) << error;
    ASSERT_TRUE(cups->addQueue("Valdo_Trac", "Valdo Trac", sim->uri(), "Valdo", brelmont::testing::embosserOptions(), &error))
        << error;
    struct Case {
        const char* queue;
        const char* spacing;
        int64_t model;
        const EmbosserSim* embosser;
    };
    for (const Case& c : {Case{"Valdo_Trac", "Jumbo", brelmont::model::Valdo, sim.get()},
                          Case{"Orvin_Color_Ink", "Congress", brelmont::model::OrvinColorTintBridge, &inkSim}}) {
        SCOPED_TRACE(c.queue);
        cups->run(std::string("lpoptions -p ") + c.queue + " -o BrailleSpacing=" + c.spacing);
        const auto run = brelmont::testing::runProgram(BRELMONT_CLI, std::string("testpage ") + c.queue, scratch.path());
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(std::string(" in ") + c.spacing + " braille spacing"), std::string::npos) << run.out;

        const brelmont::testing::ByteVector page = brelmont::testing::makeTestPage(c.model, c.spacing);
        const std::string job(page.begin(), page.end());
        const std::string enter = "@PJL ENTER LANGUAGE=TCL\r\n";
        const size_t start = job.find(enter) + enter.size(), end = job.rfind("\x1b%-12345X");
        const std::string data = job.substr(start, end - start);
        const std::string received = receivedData(*c.embosser, data.size());
        EXPECT_TRUE(received == data) << "received " << received.size() << " of " << data.size() << " bytes";
    }
    EXPECT_NE(inkSim.logText().find("@PJL JOB NAME=\"Test page\" MODEL=\"OrvinColorTintBridge\""), std::string::npos);

    const auto refused = brelmont::testing::runProgram(BRELMONT_CLI, "testpage No_Such_Queue", scratch.path());
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("is not a queue of a Brelmont embosser"), std::string::npos) << refused.err;
}
