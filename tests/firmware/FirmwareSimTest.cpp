// The firmware update end to end: simulated embossers of every family behind the private CUPS
// server, a local HTTPS server with its own certificate authority, and brelmont-cli as a script
// drives it.
#include "firmware/DeviceVersion.h"

#include "CupsSimFixture.h"
#include "HttpsServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCryptographicHash>

#include <filesystem>
#include <memory>

using namespace brelmont::firmware;
using namespace brelmont::testing;
using ::testing::HasSubstr;

namespace {

// A firmware file: bytes no embosser takes for a command.
std::string firmwareFile(size_t size) {
    std::string bytes = "BRFW";
    while (bytes.size() < size) bytes += char('A' + bytes.size() * 7 % 26);
    return bytes;
}

// One queue per family, and embossers already in update mode or with odd device lines.
// clang-format off
const std::vector<std::tuple<std::string, std::string, std::string, std::string>> Queues{
    {"Orvin_200", "Orvin 200", "orvin", ""}, {"Orvin_Color_Ink", "Orvin Color Ink", "ivra", ""},
    {"Tessaline_30RT", "Tessaline 30RT", "tessaline", ""}, {"Quorrin", "Quorrin", "fennick", ""},
    {"Valdo_Sheet", "Valdo Sheet", "valdo", ""}, {"Merriden", "Merriden", "merriden", ""},
    {"Orvin_Ready", "Orvin 200", "orvin", "MFG:Brelmont;MDL:Karro Orvin;S:00204010;F:1;"},
    {"Tessaline_Ready", "Tessaline 30RT", "tessaline", "MFG:Brelmont;MDL:Tessaline 30RT;S:04020000;"},
    {"Quorrin_Plain", "Quorrin", "fennick", "MFG:Brelmont;MDL:Quorrin;"}};
// clang-format on

class FirmwareSim : public CupsSimFixture {
protected:
    static void SetUpTestSuite() {
        std::vector<Simulated> simulated;
        for (const auto& [queue, makeAndModel, family, deviceId] : Queues)
            simulated.push_back(
                {family,
                 {queue, makeAndModel, "", "Brelmont " + queue},
                 deviceId.empty() ? std::vector<std::string>{} : std::vector<std::string>{"--device-id", deviceId}});
        startSystem(simulated);
        if (!cups || !setupFailure.empty()) return;
        https = std::make_unique<HttpsServer>();
        variables.push_back(std::make_unique<ScopedEnv>("BRELMONT_DEVICES", ""));
        variables.push_back(std::make_unique<ScopedEnv>("BRELMONT_UPDATE_ROOT", https->url("autoupdate/AI/")));
        variables.push_back(std::make_unique<ScopedEnv>("BRELMONT_CA_FILE", https->caFile().string()));
    }
    static void TearDownTestSuite() { https.reset(), CupsSimFixture::TearDownTestSuite(); }

    static ShellResult firmware(const std::string& args) { return cli("firmware " + args); }
    static EmbosserSim& simOf(const std::string& queue) {
        size_t i = 0;
        while (std::get<0>(Queues[i]) != queue) ++i;
        return *sims[i];
    }
    // The catalogue offers the file at `url` for the model, announced with `size` bytes.
    static void catalogue(int64_t model, const std::string& url, int64_t size, const std::string& version = "9.9.9",
                          const std::string& digest = {}) {
        https->serve("autoupdate/AI/firmware.json", R"({"fw":[{"version":")" + version + R"(","url":")" + url +
                                                        R"(","ext":"bin","model":)" + std::to_string(model) + R"(,"size":)" +
                                                        std::to_string(size) +
                                                        (digest.empty() ? "" : R"(,"sha256":")" + digest + "\"") + "}]}");
    }
    static void offer(int64_t model, const std::string& file, const std::string& version = "9.9.9",
                      const std::string& digest = {}) {
        https->serve("files/fw.bin", file);
        catalogue(model, https->url("files/fw.bin"), int64_t(file.size()), version, digest);
    }
    static inline std::unique_ptr<HttpsServer> https;
};

} // namespace

TEST_F(FirmwareSim, EachFamilysVersionIsReadItsOwnWay) {
    // clang-format off
    for (const auto& [queue, version, override, model] : {
             std::tuple{"Orvin_200", "1.4.2", false, 221201}, {"Orvin_Color_Ink", "1.4.2", false, 221203},
             {"Tessaline_30RT", "4.2.3", false, 20802}, {"Tessaline_Ready", "0.0.0", true, 20802},
             {"Quorrin", "2.4.17", false, 80803}, // the binary request
             {"Quorrin_Plain", "0.0.0", true, 80803}, {"Valdo_Sheet", "2.3.1", false, 121201}, {"Merriden", "2.3.1", false, 131201}}) {
        // clang-format on
        const brelmont::printer::Printers printers;
        const auto embosser = findEmbosser(printers.items(), printers.deviceListing(), std::string(queue));
        ASSERT_TRUE(embosser) << queue;
        const DeviceVersion read = readDeviceVersion(*embosser, systemChannels(nullptr));
        EXPECT_EQ(std::tuple(read.version, read.override, read.model), std::tuple(version, override, model)) << queue;
    }
}

TEST_F(FirmwareSim, TheCheckTellsOfferNoneAndFailures) {
    offer(121201, firmwareFile(100), "2.3.2");
    const ShellResult offered = firmware("check --queue Valdo_Sheet");
    EXPECT_EQ(offered.exitCode, 0) << offered.err;
    offer(121201, firmwareFile(100), "2.3.1");
    EXPECT_EQ(firmware("check --queue Valdo_Sheet").exitCode, 3);

    // A server that never answers ends the check within its time limit; a certificate of another
    // authority is refused.
    const auto start = std::chrono::steady_clock::now();
    const ShellResult silent = cups->run("BRELMONT_HTTPS_TIMEOUT_MS=1500 BRELMONT_UPDATE_ROOT=" + https->url("silent/") + " " +
                                         cliPath() + " firmware check --queue Valdo_Sheet");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_EQ(silent.exitCode, 1);
    const ShellResult stranger = cups->run("BRELMONT_CA_FILE=" + https->strangerCaFile().string() + " " + cliPath() +
                                           " firmware check --queue Valdo_Sheet");
    EXPECT_EQ(stranger.exitCode, 1);
    EXPECT_THAT(stranger.err, HasSubstr(https->url("autoupdate/AI/firmware.json")));
}

// Hostile servers: a file that announces an endless size, one that never ends, and a catalogue
// that drips a byte at a time all end as failures with the reason, in bounded memory and time.
TEST_F(FirmwareSim, HostileServersAreCutOffBySizeAndDeadline) {
    // The deadline is the whole request's: 64 MiB through TLS takes a while under the sanitizers.
    // clang-format off
    const struct { const char* what; std::string url, command; int64_t size; int deadlineSeconds; const char* reason; } rows[] = {
        {"an endless size announced", https->url("endless/9007199254740992/fw.bin"), "update --yes", 1000, 60,
         "the server announced 9007199254740992 bytes, more than the 1000 expected"},
        {"an endless body", https->url("endless/x/fw.bin"), "update --yes", 67108864, 60, "more than the 67108864 bytes expected"},
        {"a dripping catalogue", "", "check", 0, 2, "the server did not finish within 2 s"},
    };
    // clang-format on
    // The catalogue: 1 MiB is taken, a byte more is not.
    const std::string json =
        R"({"fw":[{"version":"2.3.2","url":")" + https->url("files/fw.bin") + R"(","ext":"bin","model":121201,"size":100}]})";
    https->serve("autoupdate/AI/firmware.json", json + std::string(1024 * 1024 - json.size(), ' '));
    EXPECT_EQ(firmware("check --queue Valdo_Sheet").exitCode, 0);
    https->serve("autoupdate/AI/firmware.json", json + std::string(1024 * 1024 + 1 - json.size(), ' '));
    const ShellResult tooLong = firmware("check --queue Valdo_Sheet");
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_THAT(tooLong.err, HasSubstr("announced 1048577 bytes, more than the 1048576 expected"));

    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::string root;
        if (row.url.empty()) root = "BRELMONT_UPDATE_ROOT=" + https->url("drip/") + " ";
        else catalogue(121201, row.url, row.size);
        const auto start = std::chrono::steady_clock::now();
        const ShellResult run =
            cups->run(root + "BRELMONT_HTTPS_DEADLINE_MS=" + std::to_string(row.deadlineSeconds * 1000) +
                          " /usr/bin/time -f 'peak %M' " + cliPath() + " firmware " + row.command + " --queue Valdo_Sheet",
                      90);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(row.deadlineSeconds + 10));
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_THAT(run.err, HasSubstr(row.reason));
        const size_t peak = run.err.rfind("peak ");
        ASSERT_NE(peak, std::string::npos) << run.err;
        EXPECT_LT(std::atol(run.err.c_str() + peak + 5), 256 * 1024) << "KiB"; // 64 MiB of file, the program, the sanitizers
        EXPECT_EQ(simOf("Valdo_Sheet").receivedData(), "");
    }
}

// The queue transport delivers the file through the scheduler's raw path, the direct one through
// the device helper; both byte for byte, and only to the embosser that was checked. A wrong file,
// or an embosser not in update mode, gets nothing (which family needs what, what makes a file
// wrong and the alert's words are the rules' own tests).
TEST_F(FirmwareSim, TheFileReachesOnlyTheCheckedEmbosserInUpdateMode) {
    // clang-format off
    for (const auto& [queue, model, size] : {std::tuple{"Valdo_Sheet", 121201, 70000}, {"Orvin_Ready", 221201, 50000}}) {
        // clang-format on
        const std::string file = firmwareFile(size_t(size));
        offer(model, file, "9.9.9",
              QCryptographicHash::hash(QByteArray::fromStdString(file), QCryptographicHash::Sha256).toHex().toStdString());
        const ShellResult run = firmware(std::string("update --yes --queue ") + queue);
        EXPECT_EQ(run.exitCode, 0) << queue << ": " << run.err;
        EXPECT_THAT(run.out,
                    HasSubstr("\nSending firmware file to Embosser.\nDon't turn off the device until it has finished!\n"));
        EXPECT_TRUE(simOf(queue).receivedData(file.size()) == file) << queue;
    }
    const std::string file = firmwareFile(1000);
    offer(131201, file, "9.9.9", std::string(64, '0'));
    EXPECT_EQ(firmware("update --yes --queue Merriden").err, "Firmware could not be downloaded!\n");
    for (const auto& [queue, model] : {std::pair{"Tessaline_30RT", 20802}, {"Orvin_200", 221201}}) {
        offer(model, file);
        EXPECT_EQ(firmware(std::string("update --yes --queue ") + queue).exitCode, 4) << queue;
        EXPECT_EQ(simOf(queue).receivedData(), "") << queue;
    }
    EXPECT_EQ(simOf("Merriden").receivedData(), "");
}
