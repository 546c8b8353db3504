// Queue discovery, the device listing and PJL exchanges against a private CUPS server whose
// queues lead to running embosser simulators.
#include "printer/CommandRunner.h"
#include "printer/DeviceUri.h"
#include "printer/ModelTable.h"
#include "printer/PjlHelper.h"
#include "printer/Printers.h"
#include "printer/RetryQuery.h"
#include "printer/ShellQuote.h"

#include "CupsServer.h"
#include "EmbosserSim.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <thread>

using namespace brelmont::printer;
using brelmont::testing::CupsServer;
using brelmont::testing::EmbosserSim;
using brelmont::testing::QueueDefinition;
using brelmont::testing::ShellResult;
namespace fs = std::filesystem;

namespace {

// The family simulated behind each connected make-and-model; two queues share the Merriden.
const std::map<std::string, std::string> FamilyOf = {
    {"Quorrin", "fennick"},   {"Tessaline 30RT", "tessaline"}, {"Valdo Sheet", "valdo"},         {"Merriden", "merriden"},
    {"Merriden Color Ink", "merriden"}, {"Orvin 200", "orvin"}, {"Orvin Color Ink", "ivra"},
};
const std::map<std::string, int64_t> CodeOfFamily = {{"fennick", 80803}, {"tessaline", 20802}, {"valdo", 121201},
                                                     {"merriden", 131201}, {"orvin", 221201},  {"ivra", 221203}};

class PrinterAccess : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!CupsServer::available()) return;
        cups = std::make_unique<CupsServer>();
        std::string error;
        ASSERT_TRUE(cups->start(&error)) << error;
        std::string devices;
        for (const auto& [family, code] : CodeOfFamily) {
            sims[family] = std::make_unique<EmbosserSim>(family);
            devices += sims[family]->uri() + " ";
        }
        devices += "socket://127.0.0.1:9"; // configured, but switched off
        queues = brelmont::testing::standardQueues([](const QueueDefinition& q) {
            const auto f = FamilyOf.find(q.makeAndModel);
            return f == FamilyOf.end() ? std::string() : sims[f->second]->uri();
        });
        ASSERT_TRUE(cups->addQueues(queues, &error)) << error;
        cups->applyEnvironment();
        // The exchanges' work files in a folder of this run's own: other tests run side by side.
        setenv("TMPDIR", cups->home().c_str(), 1);
        setenv("BRELMONT_DEVICES", devices.c_str(), 1);
        setenv("BRELMONT_RESOURCE_DIR", fs::path(BRELMONT_PJLHELPER).parent_path().c_str(), 1);
    }
    static void TearDownTestSuite() {
        sims.clear();
        cups.reset();
        unsetenv("BRELMONT_DEVICES");
        unsetenv("BRELMONT_RESOURCE_DIR");
        unsetenv("TMPDIR");
    }
    void SetUp() override {
        if (!cups) GTEST_SKIP() << "cupsd is not installed";
    }

    static inline std::unique_ptr<CupsServer> cups;
    static inline std::map<std::string, std::unique_ptr<EmbosserSim>> sims;
    static inline std::vector<QueueDefinition> queues;
};

} // namespace

TEST_F(PrinterAccess, DiscoveryListsTheMakersQueuesWithModelsAndConnections) {
    const std::vector<PrinterItem> items = Printers().items();
    std::vector<std::string> expectedQueues;
    for (const std::string& name : cups->queueNames()) {
        const auto q = std::find_if(queues.begin(), queues.end(), [&](const QueueDefinition& d) { return d.name == name; });
        ASSERT_NE(q, queues.end()) << name;
        if (modelCode("printer-make-and-model=" + q->makeAndModel) > 0) expectedQueues.push_back(name);
    }
    ASSERT_EQ(items.size(), expectedQueues.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const PrinterItem& item = items[i];
        const QueueDefinition& q = *std::find_if(queues.begin(), queues.end(), [&](const QueueDefinition& d) { return d.name == item.queue; });
        EXPECT_EQ(item.queue, expectedQueues[i]);
        EXPECT_EQ(item.name, q.info) << item.queue;
        EXPECT_EQ(item.deviceUri, q.deviceUri) << item.queue;
        EXPECT_EQ(item.model, modelCode("printer-make-and-model=" + q.makeAndModel)) << item.queue;
        EXPECT_EQ(item.connected, FamilyOf.count(q.makeAndModel) == 1) << item.queue;
        EXPECT_NE(q.manufacturer, "Acme");
    }
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const PrinterItem& p) { return p.connected; }), 7);
}

TEST_F(PrinterAccess, EachFamilyIsFoundAttachedAndAnswers) {
    for (const auto& [family, code] : CodeOfFamily) {
        const std::string line = Printers::findAttachedDevice(code);
        EXPECT_TRUE(lineNamesDevice(line, sims[family]->uri())) << family << ": " << line;
        for (const PjlQuery* query : {&pjl::Variables, &pjl::Versions, &pjl::Status, &pjl::Sensors}) {
            const QueryResult result = askWithRetry(*query, sims[family]->uri(), PjlHelper::exchange);
            EXPECT_EQ(result.sends, 1) << family << " " << query->name;
            ASSERT_TRUE(result.items) << family << " " << query->name;
            EXPECT_FALSE(result.items->empty()) << family << " " << query->name;
        }
    }
    EXPECT_EQ(Printers::findAttachedDevice(161705), "");
}

TEST_F(PrinterAccess, SettingsWrittenByPjlStayWithTheDevice) {
    EmbosserSim& orvin = *sims["orvin"];
    EXPECT_TRUE(PjlHelper::exchange(pjl::applyRequest({{"TOPMARGIN", "7"}}), orvin.uri()).ok());
    orvin.restart();
    const QueryResult result = askWithRetry(pjl::Variables, orvin.uri(), PjlHelper::exchange);
    ASSERT_TRUE(result.items);
    const auto top = std::find_if(result.items->begin(), result.items->end(), [](const PjlItem& i) { return i.key == "TOPMARGIN"; });
    ASSERT_NE(top, result.items->end());
    EXPECT_EQ(top->value, "7");
}

TEST_F(PrinterAccess, RawPrintingReachesTheDeviceUnchanged) {
    std::vector<char> bytes(70000);
    std::mt19937 random(3);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i < 256 ? i : random());
    const fs::path file = cups->folder() / "job with blank.bin";
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));

    EmbosserSim& valdo = *sims["valdo"];
    ASSERT_TRUE(CommandRunner::run("lpr -h -l -P Valdo_Sheet " + shellDoubleQuoted(file.string())));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::vector<char> received;
    while (received.size() < bytes.size() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (const auto& entry : fs::directory_iterator(valdo.storePath()))
            if (entry.path().filename().string().starts_with("received-")) {
                std::ifstream in(entry.path(), std::ios::binary);
                received.assign(std::istreambuf_iterator<char>(in), {});
            }
    }
    EXPECT_TRUE(received == bytes) << "received " << received.size() << " of " << bytes.size() << " bytes";
}

// Refused replies and dropped connections are asked again; a device that cannot be reached, is
// silent, or talks without end is not, and says which it was.
TEST_F(PrinterAccess, TheRetryRuleRecoversOrGivesUpCleanly) {
    setenv("BRELMONT_PJL_REPLY_TIMEOUT_MS", "1500", 1);
    struct Case { std::vector<std::string> faults; int sends; bool accepted; bool entries; ExchangeStatus outcome; };
    const Case cases[] = {
        {{"--garble", "3"}, 4, true, true, ExchangeStatus::Done},
        {{"--garble", "12"}, 10, false, false, ExchangeStatus::NotUnderstood},
        {{"--drop", "2"}, 3, true, true, ExchangeStatus::Done},
        {{"--wrong-count", "1"}, 1, true, false, ExchangeStatus::Done},
        {{"--delay", "60000"}, 1, false, false, ExchangeStatus::NoReply},
        {{"--endless", "1"}, 1, false, false, ExchangeStatus::Failed},
        {{"--serve", "1", "--drop", "1"}, 2, false, false, ExchangeStatus::NotAttached},
    };
    for (const Case& c : cases) {
        EmbosserSim sim("orvin", c.faults);
        const auto start = std::chrono::steady_clock::now();
        const QueryResult result = askWithRetry(pjl::Versions, sim.uri(), PjlHelper::exchange);
        EXPECT_EQ(result.sends, c.sends) << c.faults[0];
        EXPECT_EQ(result.items.has_value(), c.accepted) << c.faults[0];
        EXPECT_EQ(result.items && !result.items->empty(), c.entries) << c.faults[0];
        EXPECT_EQ(result.outcome.status, c.outcome) << c.faults[0] << ": " << result.outcome.describe();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << c.faults[0];
    }
    unsetenv("BRELMONT_PJL_REPLY_TIMEOUT_MS");
}

// Two processes asking two devices at once: each request reaches only the device it was meant for.
TEST_F(PrinterAccess, ExchangesOfTwoProcessesNeverMeetAtTheWrongDevice) {
    EmbosserSim a("orvin"), b("orvin");
    const std::string cli = shellSingleQuoted(BRELMONT_CLI);
    const auto loop = [&](const EmbosserSim& sim, const char* what) {
        return "for i in 1 2 3 4 5 6 7 8 9 10 11 12; do " + cli + " query " + sim.uri() + " " + what + " >/dev/null || exit 1; done";
    };
    const ShellResult both = cups->run("(" + loop(a, "versions") + ") & first=$!; (" + loop(b, "status") +
                                       ") || exit 1; wait $first", 120);
    ASSERT_TRUE(both.ok()) << both.err;
    EXPECT_EQ(a.logText().find("INFO STATUS"), std::string::npos);
    EXPECT_EQ(b.logText().find("INFO VERSIONS"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(PjlHelper::workDir())) << "work files left behind";
}

// A queue's network embosser is found without any configuration, also when it answers late.
TEST_F(PrinterAccess, AQueuesSlowNetworkEmbosserIsFoundUnconfigured) {
    EmbosserSim slow("valdo", {"--delay", "3000"});
    ASSERT_TRUE(cups->addQueue("Slow_Valdo", "Valdo Sheet", slow.uri(), "Valdo by the window"));
    const std::string configured = getenv("BRELMONT_DEVICES");
    unsetenv("BRELMONT_DEVICES");
    setenv("XDG_CONFIG_HOME", cups->folder().c_str(), 1); // no devices file there
    const std::vector<PrinterItem> items = Printers().items();
    setenv("BRELMONT_DEVICES", configured.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    cups->removeQueue("Slow_Valdo");
    const auto found = std::find_if(items.begin(), items.end(), [](const PrinterItem& p) { return p.queue == "Slow_Valdo"; });
    ASSERT_NE(found, items.end());
    EXPECT_TRUE(found->connected);
    const auto orvin = std::find_if(items.begin(), items.end(), [](const PrinterItem& p) { return p.queue == "Orvin_200"; });
    ASSERT_NE(orvin, items.end());
    EXPECT_TRUE(orvin->connected);
}

TEST_F(PrinterAccess, CommandLineTools) {
    const std::string cli = shellSingleQuoted(BRELMONT_CLI);
    const auto printers = CommandRunner::run(cli + " printers");
    ASSERT_TRUE(printers);
    EXPECT_NE(printers->find("Orvin_200\tBrelmont Orvin 200\t221201\tOrvin\t" + sims["orvin"]->uri() + "\tconnected\n"),
              std::string::npos)
        << *printers;
    EXPECT_EQ(printers->find("Acme"), std::string::npos);

    const auto devices = CommandRunner::run(cli + " devices");
    ASSERT_TRUE(devices);
    EXPECT_EQ(std::count(devices->begin(), devices->end(), '\n'), 6) << *devices;

    const auto versions = CommandRunner::run(cli + " query " + sims["fennick"]->uri() + " versions");
    ASSERT_TRUE(versions);
    EXPECT_NE(versions->find("FIRMWARE="), std::string::npos) << *versions;
}
