// The Orvin and Ivra toolboxes end to end: queues of the private CUPS server lead to simulated
// embossers, the device helper carries the PJL, and brelmont-cli drives it as a script would.
#include "printer/PjlHelper.h"
#include "printer/Printers.h"
#include "toolbox/OrvinFamily.h"
#include "toolbox/ToolboxModel.h"

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "ShownControls.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

using namespace brelmont::printer;
using namespace brelmont::toolbox;
using brelmont::testing::CupsServer;
using brelmont::testing::EmbosserSim;
using brelmont::testing::QueueDefinition;
using brelmont::testing::ScratchDir;
using brelmont::testing::ShellResult;
using brelmont::testing::shownControls;
using brelmont::printer::ExchangeStatus;
namespace fs = std::filesystem;

namespace {

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class OrvinToolboxSim : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!CupsServer::available()) return;
        scratch = std::make_unique<ScratchDir>("toolbox-sim");
        tmpdir.emplace("TMPDIR", scratch->path().string());
        cups = std::make_unique<CupsServer>();
        std::string error;
        ASSERT_TRUE(cups->start(&error)) << error;
        orvin = std::make_unique<EmbosserSim>("orvin");
        ivra = std::make_unique<EmbosserSim>("ivra");
        // Two queues of the Orvin's model code lead to the same embosser.
        const std::map<std::string, std::string> uris = {
            {"Orvin 200", orvin->uri()}, {"Talmore 100", orvin->uri()}, {"Orvin Color Ink", ivra->uri()}};
        queues = brelmont::testing::standardQueues([&](const QueueDefinition& q) {
            const auto found = uris.find(q.makeAndModel);
            return found == uris.end() ? std::string() : found->second;
        });
        ASSERT_TRUE(cups->addQueues(queues, &error)) << error;
        cups->applyEnvironment();
        attached = orvin->uri() + " " + ivra->uri();
        setenv("BRELMONT_RESOURCE_DIR", fs::path(BRELMONT_PJLHELPER).parent_path().c_str(), 1);
    }
    static void TearDownTestSuite() {
        orvin.reset();
        ivra.reset();
        cups.reset();
        scratch.reset();
        tmpdir.reset();
        unsetenv("BRELMONT_DEVICES");
        unsetenv("BRELMONT_RESOURCE_DIR");
    }
    void SetUp() override {
        if (!cups) GTEST_SKIP() << "cupsd is not installed";
        setenv("BRELMONT_DEVICES", attached.c_str(), 1);
        // Every test starts from the factory state with an empty log.
        for (EmbosserSim* sim : {orvin.get(), ivra.get()}) sim->reset();
    }

    static ShellResult cli(const std::string& args) { return cups->run(std::string(BRELMONT_CLI) + " toolbox " + args); }
    static std::string firstQueueOfModel(int64_t model) {
        for (const PrinterItem& p : Printers().items())
            if (p.model == model && p.connected) return p.name;
        return "";
    }

    static inline std::unique_ptr<ScratchDir> scratch;
    static inline std::unique_ptr<CupsServer> cups;
    static inline std::unique_ptr<EmbosserSim> orvin, ivra;
    static inline std::vector<QueueDefinition> queues;
    static inline std::string attached;
    static inline std::optional<brelmont::testing::ScopedEnv> tmpdir;
};

TEST_F(OrvinToolboxSim, ShowFillsEveryControlFromTheFirstAttachedOrvin) {
    const ShellResult run = cli("show");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto shown = shownControls(run.out);
    EXPECT_EQ(shown.size(), orvinFamily().controls.size());
    const std::map<std::string, std::string> expected = {
        {"m_tfPrinterName", firstQueueOfModel(221201)},
        {"m_tfModelNumber", "Orvin 200"}, {"m_tfFirmwareVersion", "1.4.2"}, {"m_tfSerialNumber", "ORV2207A0142"},
        {"m_tfIpAddr", "192.168.1.120"}, {"m_tfSubnet", "255.255.255.0"}, {"m_tfGateway", "192.168.1.1"},
        {"m_ckDHCP", "false"},          {"m_cbPaperSize", "0"},            {"m_tfPaperWidth", "8.5\""},
        {"m_tfPaperHeight", "11.0\""},  {"m_tfTopMargin", "0.5\""},        {"m_tfLeftMargin", "0.5\""},
        {"m_tfRightMargin", "0.5\""},   {"m_tfExtraLineSpace", "0.0\""},   {"m_cbLegacyMediaType", "0"},
        {"m_cbGraphics", "0"},          {"m_cbQuality", "1"},              {"m_cbBrailleDots", "0"},
        {"m_ckAutoCr", "true"},         {"m_tfTable", "1"},                {"m_cbBrailleForce", "1"},
        {"m_cbDuplex", "1"},            {"m_ckTunes", "true"},             {"m_ckTearOff", "false"},
        {"m_ckPrimaryCarriage", "true"}, {"m_lbInkFW", "2.1.0"},           {"m_lbInkSN", "SIA1904B0311"},
        {"m_tfInkTop", "12"},           {"m_tfInkLeft", "8"},              {"m_tfInkSkew", "0"},
        {"m_tfInkCartSpace", "540"},    {"m_lbHealth0", "OK"},             {"m_lbHealth1", "OK"},
        {"m_lbFillState0", "82 %"},     {"m_lbFillState1", "64 %"},        {"m_cbMediaMediaType", "-1"},
        {"m_tfFrontMin", ""},           {"m_tfFrontMax", ""},              {"m_cbPjlNames", "-1"},
        {"m_tfPjlValue", ""},           {"m_tfSensors", ""},
        {"m_tfStatus", "CODE=10001\\r\\nDISPLAY=READY\\r\\nONLINE=TRUE\\r\\nPAGECOUNT=1843\\r\\nINKHEALTH0=4095\\r\\n"
                       "INKHEALTH1=4095\\r\\nINKLEVEL0=82\\r\\nINKLEVEL1=64\\r\\n"},
    };
    for (const auto& [name, value] : expected) EXPECT_EQ(shown.at(name), value) << name;
    EXPECT_EQ(count(orvin->logText(), "@PJL DEFAULT"), 0);
    EXPECT_EQ(count(ivra->logText(), "@PJL INFO VARIABLES"), 0);
}

TEST_F(OrvinToolboxSim, ApplySendsTheChangedSettingsInTableOrderAndTheyStay) {
    const ShellResult run = cli("apply m_tfTable=3 m_ckDHCP=true m_cbPaperSize=4 m_cbMediaMediaType=5 m_tfFrontMax=170 "
                                "m_tfLeftMargin=0.5 m_ckTearOff=true");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "@PJL DEFAULT FORMWIDTH=166\n@PJL DEFAULT FORMHEIGHT=234\n@PJL DEFAULT TABLE=2\n"
                       "@PJL DEFAULT CUSTOMMEDIAMAX=170\n@PJL DEFAULT DHCP=ON\n@PJL DEFAULT FLAGS=3\n@PJL SERVICE UPDATE\n");
    EXPECT_EQ(count(orvin->logText(), "@PJL DEFAULT"), 6);

    orvin->restart();
    const auto shown = shownControls(cli("show").out);
    EXPECT_EQ(shown.at("m_cbPaperSize"), "4");
    EXPECT_EQ(shown.at("m_tfPaperWidth"), "8.3\"");
    EXPECT_EQ(shown.at("m_tfTable"), "3");
    EXPECT_EQ(shown.at("m_ckDHCP"), "true");
    EXPECT_EQ(shown.at("m_ckTearOff"), "true");
    const ShellResult again = cli("apply m_tfTable=3 m_cbPaperSize=4 m_ckDHCP=true");
    EXPECT_EQ(again.out, "nothing to send\n");
    EXPECT_EQ(count(orvin->logText(), "@PJL DEFAULT"), 6);
}

TEST_F(OrvinToolboxSim, TheIvraQueueIsLoadedByName) {
    const ShellResult run = cli("apply --queue Orvin_Color_Ink m_cbQuality=2 m_tfGateway=10.9.9.9");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "@PJL DEFAULT QUALITY=BEST\n@PJL DEFAULT GATEWAY=10.9.9.9\n@PJL SERVICE UPDATE\n");
    EXPECT_EQ(count(ivra->logText(), "@PJL DEFAULT"), 2);
    EXPECT_EQ(count(orvin->logText(), "@PJL INFO VARIABLES"), 0);
    EXPECT_EQ(shownControls(cli("show --queue Orvin_Color_Ink").out).at("m_tfGateway"), "10.9.9.9");
}

TEST_F(OrvinToolboxSim, RefusedInputSendsNothing) {
    struct Case { const char* args; int status; };
    const Case cases[] = {
        {"apply m_tfNoSuchField=1", 2},          {"apply m_ckDHCP=yes", 2},         {"apply m_cbPaperSize=18", 2},
        {"apply m_cbQuality=two", 2},          {"apply m_cbQuality=3", 2},            {"apply m_lbHealth0=OK", 2},       {"apply m_tfStatus=x", 2},
        {"apply m_tfFrontMin=5", 2},             {"apply 'm_tfGateway=1.2.3.4\n@PJL DEFAULT SERIALNUMBER=X'", 2},
        {"show extra", 2},                       {"frobnicate", 2},                 {"show --queue No_Such_Queue", 2},
        {"show --queue Kym", 2},
    };
    for (const Case& c : cases) {
        const ShellResult run = cli(c.args);
        EXPECT_EQ(run.exitCode, c.status) << c.args << ": " << run.err;
        EXPECT_FALSE(run.err.empty()) << c.args;
    }
    EXPECT_EQ(count(orvin->logText(), "@PJL DEFAULT"), 0);
}

// The device listing's own identity query would take the first spoilt reply, so these speak to
// the simulator directly, as a queue that is known to be attached.
TEST_F(OrvinToolboxSim, SpoiltRepliesAndDroppedConnectionsAreAskedAgain) {
    for (const std::vector<std::string>& faults : {std::vector<std::string>{"--garble", "2"}, {"--drop", "2"}}) {
        EmbosserSim spoilt("ivra", faults);
        ToolboxModel model(ivraFamily(), PjlHelper::exchange);
        ASSERT_TRUE(model.load({PrinterItem{spoilt.uri(), "Ivra_Spoilt", "Spoilt Ivra", 221203, true, {}}})) << faults[0];
        EXPECT_EQ(model.control("m_tfPrinterName")->text, "Spoilt Ivra");
        EXPECT_EQ(model.control("m_tfModelNumber")->text, "Orvin 200");
        EXPECT_EQ(count(spoilt.logText(), "@PJL INFO VARIABLES"), faults[0] == "--garble" ? 3 : 1) << faults[0];
        EXPECT_EQ(count(spoilt.logText(), "@PJL INFO LEGACY"), 1);
    }
}

// A switched-on embosser that never answers ends the load within the deadline, with the
// failure and why, and without asking past its first query.
TEST_F(OrvinToolboxSim, ASilentEmbosserEndsTheLoadWithinTheDeadline) {
    const brelmont::testing::ScopedEnv deadline("BRELMONT_TOOLBOX_DEADLINE_MS", "2000");
    const brelmont::testing::ScopedEnv replyTime("BRELMONT_PJL_REPLY_TIMEOUT_MS", "20000");
    EmbosserSim silent("orvin", {"--delay", "60000"});
    ToolboxModel model(orvinFamily(), PjlHelper::exchange);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(model.load({PrinterItem{silent.uri(), "Orvin_Silent", "Silent Orvin", 221201, true, {}}}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(model.loadFailure().status, ExchangeStatus::NoReply) << model.loadFailure().describe();
    EXPECT_EQ(count(silent.logText(), "@PJL INFO VERSIONS"), 0);
}

// A slow embosser keeps a script waiting: it is told so once, and the load goes on to the end.
TEST_F(OrvinToolboxSim, AScriptKeptWaitingIsToldOnce) {
    EmbosserSim slow("orvin", {"--delay", "700"});
    ASSERT_TRUE(cups->addQueue("Orvin_Slow", "Orvin 200", slow.uri(), "Slow Orvin"));
    const ShellResult run = cli("show --queue Orvin_Slow");
    cups->removeQueue("Orvin_Slow");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "Waiting for the embosser at " + slow.uri() + "\u2026\n");
}

// Two scripts configuring two embossers at once: every line reaches the embosser it was meant for.
TEST_F(OrvinToolboxSim, TwoProcessesApplyingAtOnceNeverCrossTheirWrites) {
    const std::string cli = std::string(BRELMONT_CLI) + " toolbox apply --queue ";
    const auto rounds = [&](const std::string& queue, const std::string& change) {
        return "for v in 1 2 3 4 5 6; do " + cli + queue + " " + change + " >/dev/null || exit 1; done";
    };
    const ShellResult both = cups->run("(" + rounds("Orvin_200", "m_tfTopMargin=$v") + ") & first=$!; (" +
                                       rounds("Orvin_Color_Ink", "m_tfInkSkew=$v") + ") || exit 1; wait $first", 180);
    ASSERT_TRUE(both.ok()) << both.err;
    EXPECT_EQ(count(orvin->logText(), "@PJL DEFAULT TOPMARGIN"), 6);
    EXPECT_EQ(count(orvin->logText(), "INKSKEW="), 0);
    EXPECT_EQ(count(ivra->logText(), "@PJL DEFAULT INKSKEW"), 6);
    EXPECT_EQ(count(ivra->logText(), "TOPMARGIN="), 0);
}

// Settings the user did not touch stay on the embosser byte for byte, even those the window
// cannot show; an embosser switched off before Apply makes the script fail with the reason.
TEST_F(OrvinToolboxSim, UntouchedValuesStayAndAFailedWriteIsReported) {
    orvin->reset("family=orvin\n[VARIABLES]\nTABLE=9\nDUPLEXMODE=SHORTEDGE\nAUTOCR=ON\n");
    const ShellResult run = cli("apply --queue Orvin_200 m_ckAutoCr=false");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "@PJL DEFAULT AUTOCR=OFF\n@PJL SERVICE UPDATE\n");
    const std::string state = [&] {
        std::ifstream in(orvin->statePath());
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    EXPECT_NE(state.find("TABLE=9\n"), std::string::npos) << state;
    EXPECT_NE(state.find("DUPLEXMODE=SHORTEDGE\n"), std::string::npos) << state;

    // The listing and the four queries are the last connections it takes.
    EmbosserSim leaving("orvin", {"--serve", "5"});
    ASSERT_TRUE(cups->addQueue("Orvin_Leaving", "Orvin 200", leaving.uri(), "Leaving Orvin"));
    const ShellResult failed = cli("apply --queue Orvin_Leaving m_tfTopMargin=2");
    cups->removeQueue("Orvin_Leaving");
    EXPECT_EQ(failed.exitCode, 1) << failed.out;
    EXPECT_EQ(failed.err, "brelmont-cli: toolbox apply: the settings were not written: the embosser is not attached or "
                          "not switched on (pjlhelper: connecting to " + leaving.uri() + ": Connection refused)\n");
    EXPECT_EQ(failed.out, "");
}

TEST_F(OrvinToolboxSim, AFailedLoadWritesNothing) {
    EmbosserSim miscounting("orvin", {"--wrong-count", "1"});
    ToolboxModel model(orvinFamily(), PjlHelper::exchange);
    EXPECT_FALSE(model.load({PrinterItem{miscounting.uri(), "Orvin_Miscount", "Miscounting Orvin", 221201, true, {}}}));
    EXPECT_TRUE(model.mustDismiss());
    model.setText("m_tfTopMargin", "2\"");
    EXPECT_EQ(model.ok().request, std::nullopt);
    EXPECT_EQ(count(miscounting.logText(), "@PJL INFO VARIABLES"), 1); // an entry list, if a wrong one
    EXPECT_EQ(count(miscounting.logText(), "@PJL DEFAULT"), 0);

    // The queue's embosser is switched off.
    orvin->stop();
    const ShellResult detached = cli("apply --queue Orvin_200 m_tfTable=5");
    EXPECT_EQ(detached.exitCode, 1);
    EXPECT_TRUE(detached.err.starts_with("Failed to retrieve the settings from the embosser. Please try again.\n"))
        << detached.err;

    ToolboxModel detachedModel(orvinFamily(), PjlHelper::exchange);
    EXPECT_FALSE(detachedModel.load());
    EXPECT_TRUE(detachedModel.mustDismiss());

    ivra->stop();
    const ShellResult none = cli("show");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, "There is no Brelmont embosser attached to the system.\n");
    orvin->restart();
    ivra->restart();
    EXPECT_EQ(count(orvin->logText() + ivra->logText(), "@PJL INFO VARIABLES"), 0);
    EXPECT_EQ(count(orvin->logText() + ivra->logText(), "@PJL DEFAULT"), 0);
}

TEST_F(OrvinToolboxSim, SensorsSetterAndFillStateResetThroughTheEngine) {
    ToolboxModel model(orvinFamily(), PjlHelper::exchange);
    ASSERT_TRUE(model.load());
    EXPECT_EQ(model.printer()->deviceUri, orvin->uri());

    ASSERT_TRUE(model.readSensors().ok());
    EXPECT_EQ(model.control("m_tfSensors")->text,
              "\r\nFront Paper Flag: 1, Back Paper Flag: 0\r\nBottom Home Flag: 1, Top Home Flag: 1"
              "Front Alignment Sensor: 412, Back Alignment Sensor: 398\r\nCarriage Temperature: 31\u00b0C, "
              "Carriage Temperature: 30\u00b0C\r\nSupply Voltage: 24.1, Housing: CLOSED, TintBridge: 1");

    const auto& names = model.control("m_cbPjlNames")->items;
    const auto index = [&](const std::string& name) { return int(std::find(names.begin(), names.end(), name) - names.begin()); };
    model.setIndex("m_cbPjlNames", index("SERIALNUMBER"));
    model.controlSet().setText("m_tfPjlValue", "FAKE");
    EXPECT_EQ(model.setSelectedVariable().request, std::nullopt);
    model.setIndex("m_cbPjlNames", index("GATEWAY"));
    EXPECT_EQ(model.control("m_tfPjlValue")->text, "192.168.1.1");
    model.setText("m_tfPjlValue", "10.0.0.1");
    ASSERT_TRUE(model.setSelectedVariable().outcome.ok());

    ASSERT_TRUE(model.resetFillState(1).outcome.ok());
    orvin->restart();
    const auto shown = shownControls(cli("show").out);
    EXPECT_EQ(shown.at("m_tfGateway"), "10.0.0.1");
    EXPECT_EQ(shown.at("m_tfSerialNumber"), "ORV2207A0142");
    EXPECT_EQ(shown.at("m_lbFillState1"), "100 %");
    EXPECT_EQ(shown.at("m_lbFillState0"), "82 %");
    EXPECT_EQ(count(orvin->logText(), "@PJL DEFAULT"), 1);
    EXPECT_EQ(count(orvin->logText(), "\\e%Pinkjet.clearnozzlecount 1; | fill-state reset 1"), 1);
}

TEST_F(OrvinToolboxSim, AnEmbosserWithoutInkModuleLosesTheInkTab) {
    orvin->reset("family=orvin\n[VERSIONS]\nSIAFW=0\n");
    ToolboxModel model(orvinFamily(), PjlHelper::exchange);
    ASSERT_TRUE(model.load());
    EXPECT_EQ(model.removedTabs(), std::vector<int>{5});
    const auto shown = shownControls(cli("show").out);
    EXPECT_EQ(shown.at("m_lbInkFW"), "");
    EXPECT_EQ(shown.at("m_tfInkTop"), "");
    EXPECT_EQ(cli("apply m_tfTopMargin=1").out, "@PJL DEFAULT TOPMARGIN=20\n@PJL SERVICE UPDATE\n");
}

} // namespace
