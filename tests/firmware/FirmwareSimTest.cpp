// The firmware update end to end: simulated embossers of every family behind the private CUPS
// server, a local HTTPS server with its own certificate authority, and brelmont-cli as a script
// drives it.
#include "firmware/DeviceVersion.h"

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "HttpsServer.h"
#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <thread>

using namespace brelmont::firmware;
using brelmont::testing::CupsServer;
using brelmont::testing::EmbosserSim;
using brelmont::testing::HttpsServer;
using brelmont::testing::ShellResult;
namespace fs = std::filesystem;

namespace {

// A firmware file: bytes no embosser takes for a command.
std::string firmwareFile(size_t size) {
    std::mt19937 random(size);
    std::string bytes = "BRFW";
    while (bytes.size() < size) bytes += char('A' + random() % 26);
    return bytes;
}

std::string entry(const std::string& version, const std::string& url, int64_t model, size_t size, const std::string& sha256 = {}) {
    return R"({"version":")" + version + R"(","url":")" + url + R"(","ext":"bin","model":)" + std::to_string(model) +
           R"(,"size":)" + std::to_string(size) + (sha256.empty() ? "" : R"(,"sha256":")" + sha256 + "\"") + "}";
}

class FirmwareSim : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!CupsServer::available()) return;
        cups = std::make_unique<CupsServer>();
        std::string error;
        ASSERT_TRUE(cups->start(&error)) << error;
        https = std::make_unique<HttpsServer>();
        // One queue per family, and three embossers already in update mode.
        const std::vector<std::tuple<std::string, std::string, std::string, std::vector<std::string>>> embossers = {
            {"Orvin_200", "Orvin 200", "orvin", {}},
            {"Orvin_Color_Ink", "Orvin Color Ink", "ivra", {}},
            {"Tessaline_30RT", "Tessaline 30RT", "tessaline", {}},
            {"Quorrin", "Quorrin", "fennick", {}},
            {"Valdo_Sheet", "Valdo Sheet", "valdo", {}},
            {"Merriden", "Merriden", "merriden", {}},
            {"Orvin_Ready", "Orvin 200", "orvin", {"--device-id", "MFG:Brelmont;MDL:Karro Orvin;S:00204010;F:1;"}},
            {"Quorrin_Ready", "Quorrin", "fennick", {"--device-id", "MFG:Brelmont;MDL:Quorrin;S:02041100;F:1;"}},
            {"Tessaline_Ready", "Tessaline 30RT", "tessaline", {"--device-id", "MFG:Brelmont;MDL:Tessaline 30RT;S:04020000;"}},
            {"Orvin_Seven", "Orvin 200", "orvin", {"--device-id", "MFG:Brelmont;MDL:Karro Orvin;S:00207010;"}},
            {"Quorrin_Plain", "Quorrin", "fennick", {"--device-id", "MFG:Brelmont;MDL:Quorrin;"}},
        };
        for (const auto& [queue, makeAndModel, family, args] : embossers) {
            sims[queue] = std::make_unique<EmbosserSim>(family, args);
            ASSERT_TRUE(cups->addQueue(queue, makeAndModel, sims[queue]->uri(), "Brelmont " + queue, {}, &error)) << error;
        }
        cups->applyEnvironment();
        setenv("BRELMONT_DEVICES", "", 1);
        setenv("BRELMONT_RESOURCE_DIR", fs::path(BRELMONT_PJLHELPER).parent_path().c_str(), 1);
        setenv("BRELMONT_UPDATE_ROOT", https->url("autoupdate/AI/").c_str(), 1);
        setenv("BRELMONT_CA_FILE", https->caFile().c_str(), 1);
    }
    static void TearDownTestSuite() {
        sims.clear();
        https.reset();
        cups.reset();
    }
    void SetUp() override {
        if (!cups) GTEST_SKIP() << "cupsd is not installed";
    }

    static ShellResult cli(const std::string& args) { return cups->run(std::string(BRELMONT_CLI) + " firmware " + args, 60); }
    // Offers `file` for the model in the catalogue, under the name given.
    static void offer(const std::string& name, int64_t model, const std::string& file, const std::string& version = "9.9.9",
                      size_t announcedSize = 0, const std::string& sha256 = {}) {
        https->serve("files/" + name, file);
        https->serve("autoupdate/AI/firmware.json",
                     R"({"fw":[)" + entry(version, https->url("files/" + name), model, announcedSize ? announcedSize : file.size(), sha256) + "]}");
    }
    // What the embosser received as data, waiting a little for `expected` bytes on their way
    // through the scheduler (0: what is there now).
    static std::string received(const EmbosserSim& sim, size_t expected = 0) {
        std::string data;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (bool first = true; first || (data.size() < expected && std::chrono::steady_clock::now() < end); first = false) {
            if (!first) std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!fs::exists(sim.storePath())) continue;
            for (const auto& f : fs::directory_iterator(sim.storePath()))
                if (f.path().filename().string().starts_with("received-")) {
                    std::ifstream in(f.path(), std::ios::binary);
                    data.assign(std::istreambuf_iterator<char>(in), {});
                }
        }
        return data;
    }

    static inline std::unique_ptr<CupsServer> cups;
    static inline std::unique_ptr<HttpsServer> https;
    static inline std::map<std::string, std::unique_ptr<EmbosserSim>> sims;
};

} // namespace

TEST_F(FirmwareSim, EachFamilysVersionIsReadItsOwnWay) {
    struct Case { const char* queue; const char* version; bool override; int64_t model; };
    const Case cases[] = {
        {"Orvin_200", "1.4.2", false, 221201},     // from the device line
        {"Orvin_Seven", "1.7.2", false, 221203},   // which says it is an Ivra
        {"Orvin_Color_Ink", "1.4.2", false, 221203},
        {"Tessaline_30RT", "4.2.3", false, 20802},
        {"Tessaline_Ready", "0.0.0", true, 20802}, // cannot tell its version
        {"Quorrin", "2.4.17", false, 80803},       // the binary request
        {"Quorrin_Plain", "0.0.0", true, 80803},
        {"Valdo_Sheet", "2.3.1", false, 121201},
        {"Merriden", "2.3.1", false, 131201},
    };
    const brelmont::printer::Printers printers;
    for (const Case& c : cases) {
        const auto embosser = findEmbosser(printers.items(), printers.deviceListing(), std::string(c.queue));
        ASSERT_TRUE(embosser) << c.queue;
        const DeviceVersion version = readDeviceVersion(*embosser, systemChannels(nullptr));
        EXPECT_EQ(version.version, c.version) << c.queue;
        EXPECT_EQ(version.override, c.override) << c.queue;
        EXPECT_EQ(version.model, c.model) << c.queue;
    }
    EXPECT_EQ(sims["Quorrin"]->logText().find("version request") != std::string::npos, true);
}

TEST_F(FirmwareSim, TheCheckTellsOfferNoneAndFailures) {
    offer("valdo.bin", 121201, firmwareFile(100), "2.3.2");
    const ShellResult offered = cli("check --queue Valdo_Sheet");
    EXPECT_EQ(offered.exitCode, 0) << offered.err;
    EXPECT_EQ(offered.out, "Device Brelmont Valdo_Sheet\nFirmware 2.3.1\n\nFirmware Update Version 2.3.2 is available for "
                           "Brelmont Valdo_Sheet\n");

    offer("valdo.bin", 121201, firmwareFile(100), "2.3.1");
    const ShellResult none = cli("check --queue Valdo_Sheet");
    EXPECT_EQ(none.exitCode, 3) << none.err;
    EXPECT_EQ(none.out, "Device Brelmont Valdo_Sheet\nFirmware 2.3.1\n\nNo firmware update available for Brelmont Valdo_Sheet\n");

    // A server that never answers ends the check within its time limit; a certificate of another
    // authority is refused.
    const auto start = std::chrono::steady_clock::now();
    const ShellResult silent = cups->run("BRELMONT_HTTPS_TIMEOUT_MS=1500 BRELMONT_UPDATE_ROOT=" + https->url("silent/") + " " +
                                         BRELMONT_CLI + " firmware check --queue Valdo_Sheet");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_EQ(silent.exitCode, 1);
    EXPECT_EQ(silent.out, none.out);
    const ShellResult stranger =
        cups->run("BRELMONT_CA_FILE=" + https->strangerCaFile().string() + " " + BRELMONT_CLI + " firmware check --queue Valdo_Sheet");
    EXPECT_EQ(stranger.exitCode, 1);
    EXPECT_NE(stranger.err.find(https->url("autoupdate/AI/firmware.json")), std::string::npos) << stranger.err;
}

// The queue transport delivers the file through the scheduler's raw path, the direct one through
// the device helper; both byte for byte, and only to the embosser that was checked.
TEST_F(FirmwareSim, TheFileReachesTheEmbosserByItsFamilysTransport) {
    struct Case { const char* queue; int64_t model; size_t size; };
    for (const Case& c : {Case{"Valdo_Sheet", 121201, 70000}, Case{"Orvin_Ready", 221201, 50000}, Case{"Quorrin_Ready", 80803, 3000},
                          Case{"Tessaline_Ready", 20802, 4000}}) {
        const std::string file = firmwareFile(c.size);
        offer(std::string(c.queue) + ".bin", c.model, file, "9.9.9", 0,
              QCryptographicHash::hash(QByteArray::fromStdString(file), QCryptographicHash::Sha256).toHex().toStdString());
        const ShellResult run = cli(std::string("update --yes --queue ") + c.queue);
        EXPECT_EQ(run.exitCode, 0) << c.queue << ": " << run.err;
        EXPECT_NE(run.out.find("\nSending firmware file to Embosser.\nDon't turn off the device until it has finished!\n"),
                  std::string::npos)
            << run.out;
        EXPECT_TRUE(received(*sims[c.queue], file.size()) == file) << c.queue;
    }
    EXPECT_EQ(received(*sims["Orvin_200"]), ""); // the other Orvin got nothing
}

TEST_F(FirmwareSim, AWrongFileOrAnEmbosserNotInUpdateModeSendsNothing) {
    const std::string file = firmwareFile(1000);
    offer("short.bin", 121201, file, "9.9.9", file.size() + 1); // one byte short of its size
    const ShellResult shortFile = cli("update --yes --queue Valdo_Sheet");
    EXPECT_EQ(shortFile.exitCode, 1);
    EXPECT_EQ(shortFile.err, "Firmware could not be downloaded!\n");
    offer("forged.bin", 121201, file, "9.9.9", 0, std::string(64, '0'));
    EXPECT_EQ(cli("update --yes --queue Valdo_Sheet").err, "Firmware could not be downloaded!\n");

    struct Case { const char* queue; int64_t model; const char* alert; };
    for (const Case& c : {Case{"Tessaline_30RT", 20802, "all 4 buttons"}, Case{"Quorrin", 80803, "Wait the for red"},
                          Case{"Orvin_200", 221201, "Wait for the red"}}) {
        offer("fw.bin", c.model, file);
        const ShellResult run = cli(std::string("update --yes --queue ") + c.queue);
        EXPECT_EQ(run.exitCode, 4) << c.queue;
        EXPECT_TRUE(run.err.starts_with("Firmware could not be installed!")) << run.err;
        EXPECT_NE(run.err.find(c.alert), std::string::npos) << run.err;
        EXPECT_EQ(received(*sims[c.queue]), "") << c.queue;
    }
    EXPECT_EQ(received(*sims["Valdo_Sheet"]), "");
}
