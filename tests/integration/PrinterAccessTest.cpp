// Queue discovery, the device listing and PJL exchanges against the private CUPS server whose
// queues lead to running embosser simulators.
#include "printer/DeviceUri.h"
#include "printer/ModelTable.h"
#include "printer/PjlHelper.h"
#include "printer/Printers.h"
#include "printer/RetryQuery.h"

#include "CupsSimFixture.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <thread>

using namespace brelmont::printer;
using brelmont::testing::EmbosserSim;
using brelmont::testing::QueueDefinition;
using brelmont::testing::ScopedEnv;
using brelmont::testing::ShellResult;

namespace {

const std::map<std::string, std::string> FamilyOf = {
    {"Quorrin", "fennick"},     {"Tessaline 30RT", "tessaline"},    {"Valdo Sheet", "valdo"},
    {"Merriden", "merriden"},   {"Merriden Color Ink", "merriden"}, {"Orvin 200", "orvin"},
    {"Orvin Color Ink", "ivra"}};

int64_t codeOf(const std::string& makeAndModel) { return modelCode("printer-make-and-model=" + makeAndModel); }

class PrinterAccess : public brelmont::testing::CupsSimFixture {
protected:
    static void SetUpTestSuite() {
        std::vector<Simulated> simulated;
        std::vector<QueueDefinition> others;
        for (const QueueDefinition& q : brelmont::testing::standardQueues())
            if (FamilyOf.count(q.makeAndModel)) simulated.push_back({FamilyOf.at(q.makeAndModel), q});
            else others.push_back(q);
        startSystem(simulated, others);
        if (!cups || !setupFailure.empty()) return;
        for (size_t i = 0; i < sims.size(); ++i) simulated[i].queue.deviceUri = sims[i]->uri();
        queues = others;
        for (const Simulated& s : simulated) queues.push_back(s.queue);
        // Only an embosser that is switched off is configured: the queues' embossers are found
        // unconfigured, by asking the queues' own addresses.
        variables.push_back(std::make_unique<ScopedEnv>("BRELMONT_DEVICES", "socket://127.0.0.1:9"));
    }
    static inline std::vector<QueueDefinition> queues;
};

TEST_F(PrinterAccess, DiscoveryListsTheMakersQueuesWithModelsAndConnections) {
    std::vector<std::string> expected; // in the scheduler's order
    std::istringstream lpstat(cups->run("lpstat -e").out);
    for (std::string name; std::getline(lpstat, name);)
        if (std::any_of(queues.begin(), queues.end(),
                        [&](const auto& q) { return q.name == name && codeOf(q.makeAndModel) > 0; }))
            expected.push_back(name);
    const std::vector<PrinterItem> items = Printers().items();
    ASSERT_EQ(items.size(), expected.size());
    ASSERT_EQ(items.size(), queues.size() - 1); // all but Acme's
    for (size_t i = 0; i < items.size(); ++i) {
        const PrinterItem& item = items[i];
        const QueueDefinition& q =
            *std::find_if(queues.begin(), queues.end(), [&](const auto& d) { return d.name == item.queue; });
        EXPECT_EQ(item.queue, expected[i]);
        EXPECT_EQ(item.name, q.info) << item.queue;
        EXPECT_EQ(item.deviceUri, q.deviceUri) << item.queue;
        EXPECT_EQ(item.model, codeOf(q.makeAndModel)) << item.queue;
        EXPECT_EQ(item.connected, FamilyOf.count(q.makeAndModel) == 1) << item.queue;
    }
}

// Two processes asking two devices at once: each request reaches only the device it was meant for.
TEST_F(PrinterAccess, ExchangesOfTwoProcessesNeverMeetAtTheWrongDevice) {
    EmbosserSim a("orvin"), b("orvin");
    const auto loop = [&](const EmbosserSim& s, const char* what) {
        return "for i in 1 2 3 4 5 6 7 8 9 10 11 12; do " + std::string(cliPath()) + " query " + s.uri() + " " + what +
               " >/dev/null || exit 1; done";
    };
    const ShellResult both =
        cups->run("(" + loop(a, "versions") + ") & first=$!; (" + loop(b, "status") + ") || exit 1; wait $first", 120);
    ASSERT_TRUE(both.ok()) << both.err;
    EXPECT_EQ(a.logCount("INFO STATUS"), 0);
    EXPECT_EQ(b.logCount("INFO VERSIONS"), 0);
    EXPECT_TRUE(std::filesystem::is_empty(PjlHelper::workDir())) << "work files left behind";
}

// A command told to end in the middle of an exchange stops its helper at once and leaves no work
// file; it ends by the signal it was sent, and the embosser hears nothing more from it.
TEST_F(PrinterAccess, ACommandEndedMidExchangeLeavesNothingBehind) {
    EmbosserSim slow("orvin", {"--delay", "8000"});
    for (const char* signal : {"TERM", "HUP", "INT"}) {
        SCOPED_TRACE(signal);
        const brelmont::testing::ScratchDir tmp("ended");
        const std::string work = (tmp.path() / ("brelmont-" + std::to_string(getuid()))).string();
        const ShellResult r = cups->run("TMPDIR=" + tmp.path().string() + " " + std::string(cliPath()) + " query " + slow.uri() +
                                            " status & pid=$!; sleep 1; ls -A " + work + " | wc -l; kill -" + signal +
                                            " $pid; wait $pid; echo \"ended $?\"; sleep 0.3; ls -A " + work +
                                            " | wc -l; pgrep -f '[p]jlhelper.*" + tmp.path().string() + "' | wc -l",
                                        30);
        std::istringstream lines(r.out);
        std::string before, ended, after, helpers;
        std::getline(lines, before), std::getline(lines, ended), std::getline(lines, after), std::getline(lines, helpers);
        EXPECT_EQ(before, "1") << r.out << r.err; // the request's work file while it was asked
        EXPECT_EQ(ended, std::string("ended ") + (*signal == 'T' ? "143" : *signal == 'H' ? "129" : "130"));
        EXPECT_EQ(after, "0");
        EXPECT_EQ(helpers, "0");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(slow.logCount("connection opened"), 3); // one each, none after
}

} // namespace
