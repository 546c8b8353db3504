// Every family's toolbox end to end: queues of the private CUPS server lead to simulated
// embossers, the device helper carries the PJL, and brelmont-cli drives it as a script would.
// (The Orvin Color Ink has the Orvin's description under its own model code.)
#include "printer/PjlHelper.h"
#include "toolbox/BrailleConversionData.h"
#include "toolbox/FennickFamily.h"
#include "toolbox/OrvinFamily.h"
#include "toolbox/TableFolder.h"
#include "toolbox/TessalineFamily.h"
#include "toolbox/ToolboxModel.h"
#include "toolbox/ValdoFamily.h"

#include "CupsSimFixture.h"
#include "FileText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace brelmont::toolbox;
using brelmont::printer::ExchangeStatus;
using brelmont::printer::PjlHelper;
using brelmont::printer::PrinterItem;
using brelmont::testing::EmbosserSim;
using brelmont::testing::fileText;
using brelmont::testing::ScopedEnv;
using brelmont::testing::ShellResult;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;
namespace fs = std::filesystem;

namespace {

enum Sim { Orvin, Valdo, Merriden, Tessaline, Fennick };
const char* const QueueOf[] = {"Orvin_200", "Valdo_Trac", "Merriden", "Tessaline_30RT", "Quorrin"};
const FamilyDescription& familyOf(Sim s) {
    const FamilyDescription* families[] = {&orvinFamily(), &valdoFamily(), &merridenFamily(), &tessalineFamily(),
                                           &fennickFamily()};
    return *families[s];
}

// The controls "brelmont-cli toolbox show" printed, by name.
std::map<std::string, std::string> shownControls(const std::string& out) {
    std::map<std::string, std::string> controls;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (const size_t eq = line.find('='); eq != std::string::npos) controls[line.substr(0, eq)] = line.substr(eq + 1);
    return controls;
}

// A saved Quorrin state whose parameter line holds these bytes (byte 0 as given, else 0x80) and
// zeros elsewhere, with further state sections after it.
std::string nvramState(std::map<int, int> bytes, const std::string& more = "") {
    bytes.try_emplace(0, 0x80);
    std::string hex;
    for (int i = 0; i < 128; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", bytes.count(i) ? bytes[i] : 0);
        hex += pair;
    }
    return "family=fennick\n[NVRAM]\n" + hex + "\n" + more;
}

class ToolboxFamiliesSim : public brelmont::testing::CupsSimFixture {
protected:
    static void SetUpTestSuite() {
        startSystem({{"orvin", {"Orvin_200", "Orvin 200", "", "Orvin in the hall"}},
                     {"valdo", {"Valdo_Trac", "Valdo Trac", "", "Valdo by the door"}},
                     {"merriden", {"Merriden", "Merriden", "", "Merriden upstairs"}},
                     {"tessaline", {"Tessaline_30RT", "Tessaline 30RT", "", "Tessaline in the lab"}},
                     {"fennick", {"Quorrin", "Quorrin", "", "Quorrin by the window"}}});
    }
    static EmbosserSim& device(Sim s) { return *sims[s]; }
    static ShellResult toolbox(Sim s, const std::string& args) { return cli("toolbox " + args + " --queue " + QueueOf[s]); }
    static std::map<std::string, std::string> shown(Sim s) { return shownControls(toolbox(s, "show").out); }
    static std::unique_ptr<ToolboxModel> loaded(Sim s) {
        auto model = std::make_unique<ToolboxModel>(familyOf(s), PjlHelper::exchange, PjlHelper::exchangeData);
        EXPECT_TRUE(model->load());
        return model;
    }
};

TEST_F(ToolboxFamiliesSim, TheLoadShowsEachSettingInItsControl) {
    // clang-format off
    const struct { Sim sim; std::string state; std::map<std::string, std::string> expected; } rows[] = {
        // The Orvin's settings and status are the engine's tests against a scripted Orvin. One control
        // of each kind of conversion per family: a choice by word or number, a length, a box, a text.
        // (The Merriden is the Valdo's description with back limits: its lines are Apply's test.)
        {Valdo, "family=valdo\n[VARIABLES]\nSKEW=268\nEDGECLEARANCE=29\nMEDIATYPE=CUSTOM9\nSPACING=KOREAN\nAUTOCR=OFF\nLEFTMARGIN=30\n"
                "PAPERWIDTH=5976\nPAPERLENGTH=8424\n",
         {{"m_tfPrinterName", "Valdo by the door"}, {"m_cbPaperSize", "4"}, {"m_tfPaperWidth", "8.3\""}, {"m_tfPaperHeight", "11.7\""},
          {"m_tfSkew", "8.0"}, {"m_tfEdgeClearance", "0.29\""}, {"m_cbLegacyMediaType", "8"}, {"m_cbSpacing", "4"}, {"m_ckAutoCr", "false"},
          {"m_tfLeftMargin", "1.5\""}, {"m_tfTable", "EN_US"}, {"m_tfSTM8Version", "1.1.4"}, {"m_tfStepsPerInch", "1440"}}},
        {Tessaline, "family=tessaline\n[VARIABLES]\nTABLE=0\nFORMWIDTH=171\nFORMHEIGHT=219\nMEDIATYPE=11\nAUTOCR=0\nSKEW=4\n",
         {{"m_tfFirmwareVersion", "4.2.3"}, {"m_cbPaperSize", "0"}, {"m_tfPaperWidth", "8.55\""}, {"m_cbTable", "18"},
          {"m_bnInstallTable", "enabled"}, {"m_cbLegacyMediaType", "3"}, {"m_ckAutoCr", "false"}, {"m_tfPrintSkew", "4"}}},
        // Width 170 and length 220 twentieths: Letter; ink offset 1 × 256 + 44.
        {Fennick, nvramState({{68, 0x0A}, {76, 170}, {90, 0}, {75, 220}, {74, 0}, {56, 44}, {57, 1}, {80, 7}, {70, 1}, {78, 10},
                              {91, 5}, {33, 90}, {37, 120}},
                             "[STATUS]\nPENERRORK=40038\nPENERRORCMY=40020\n"),
         {{"m_tfPrinterName", "Quorrin by the window"}, {"m_tfFirmwareVersion", "2.4.17"}, {"m_cbTable", "0"},
          {"m_tfPaperWidth", "8.5\""}, {"m_tfPaperHeight", "11.0\""}, {"m_tfHPHorizOffset", "300"}, {"m_cbLegacyMediaType", "4"},
          {"m_ckAutoCr", "true"}, {"m_tfLeftMargin", "0.5\""}, {"m_tfDryTime", "5"}, {"m_lbBlackFill", "71 %"},
          {"m_lbColorFill", "58 %"}, {"m_lbBlackHealth", "Cartridge near end of life"}, {"m_lbColorHealth", "Wrong cartridge type"}}},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(QueueOf[row.sim]);
        if (!row.state.empty()) device(row.sim).reset(row.state);
        const ShellResult run = toolbox(row.sim, "show");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const auto controls = shownControls(run.out);
        EXPECT_EQ(controls.size(), familyOf(row.sim).controls.size());
        for (const auto& [name, value] : row.expected) EXPECT_EQ(controls.at(name), value) << name;
        EXPECT_EQ(device(row.sim).logCount("@PJL DEFAULT"), 0);
    }
    EXPECT_EQ(device(Tessaline).logCount("@PJL USTATUS TIMED=1"), 1); // right before the variables, once
    EXPECT_EQ(device(Valdo).logCount("@PJL INFO LEGACY"), 0);
    // Without a queue named, the first family with an attached embosser.
    EXPECT_EQ(shownControls(cli("toolbox show").out).at("m_tfPrinterName"), "Quorrin by the window");

    // A Quorrin line not marked valid is asked for again, and the window still opens, its settings
    // shut: they cannot be changed.
    device(Fennick).reset(nvramState({{0, 0x7F}, {76, 170}}));
    EXPECT_EQ(shown(Fennick).at("m_tfPaperWidth"), "0.0\"");
    EXPECT_EQ(device(Fennick).logCount("@PJL DINQUIRE NVPARMS"), 10);
    const ShellResult shut = toolbox(Fennick, "apply m_tfPaperWidth=9");
    EXPECT_EQ(shut.exitCode, 2);
    EXPECT_THAT(shut.err, AllOf(HasSubstr("The embosser's settings could not be read, so they cannot be changed here."),
                                HasSubstr("m_tfPaperWidth: cannot take the value")));
}

// Each family's changes go out as exactly the changed lines, in the settings' order; read back by
// the next run they are what was asked, so nothing is sent again. (That the embosser keeps them is
// the simulator's part.)
TEST_F(ToolboxFamiliesSim, ApplySendsTheChangedLinesInOrderAndTheyStay) {
    // clang-format off
    const struct { Sim sim; std::string state, args, sent; } rows[] = {
        // The Orvin's lines are the engine's tests against a scripted Orvin.
        {Valdo, "family=valdo\n[VARIABLES]\nPAPERWIDTH=5976\nPAPERLENGTH=8424\nSKEW=268\nSPACING=KOREAN\n",
         "m_tfTable=EN_U m_cbMediaMediaType=7 m_tfFrontMin=90 m_tfFrontMax=170 m_cbSpacing=0 m_tfSkew=7.5 m_cbPaperSize=0 "
         "m_tfEdgeClearance=0.3 m_ckDHCP=false m_cbLegacyMediaType=15",
         "@PJL DEFAULT PAPERWIDTH=6120\n@PJL DEFAULT PAPERLENGTH=7920\n@PJL DEFAULT SPACING=MARBURG\n@PJL DEFAULT MEDIATYPE=CUSTOM16\n"
         "@PJL DEFAULT CUSTOM8MEDIAMINF=90\n@PJL DEFAULT CUSTOM8MEDIAMAXF=170\n@PJL DEFAULT DHCP=OFF\n@PJL DEFAULT SKEW=259\n"
         "@PJL DEFAULT EDGECLEARANCE=30\n@PJL SERVICE UPDATE\n"},
        {Merriden, "", "m_cbMediaMediaType=8 m_tfFrontMin=95 m_tfFrontMax=175 m_tfBackMin=96 m_tfBackMax=176 m_tfTable=DE_DEX m_cbQuality=0",
         "@PJL DEFAULT QUALITY=DRAFT\n@PJL DEFAULT CUSTOM9MEDIAMINF=95\n@PJL DEFAULT CUSTOM9MEDIAMAXF=175\n"
         "@PJL DEFAULT CUSTOM9MEDIAMINB=96\n@PJL DEFAULT CUSTOM9MEDIAMAXB=176\n@PJL SERVICE UPDATE\n"},
        {Tessaline, "", "m_tfPrintSkew=3 m_cbTable=18 m_cbMediaMediaType=6 m_tfFrontMax=30 m_cbLegacyMediaType=6 m_ckAutoCr=false "
                        "m_cbPaperSize=0 m_tfLeftMargin=0.5",
         "@PJL DEFAULT FORMWIDTH=170\n@PJL DEFAULT FORMHEIGHT=220\n@PJL DEFAULT AUTOCR=0\n@PJL DEFAULT TABLE=0\n"
         "@PJL DEFAULT MEDIATYPE=30\n@PJL DEFAULT CUSTOMMEDIA=7690\n@PJL DEFAULT SKEW=3\n@PJL SERVICE UPDATE\n"},
        // Built-in table items 0 to 17 are the embosser's tables 1 to 18.
        {Tessaline, "", "m_cbTable=6", "@PJL DEFAULT TABLE=7\n@PJL SERVICE UPDATE\n"},
        // The skew leans either way: its sign goes out with it.
        {Tessaline, "", "m_tfPrintSkew=-5", "@PJL DEFAULT SKEW=-5\n@PJL SERVICE UPDATE\n"},
        // A wide value goes out as its two bytes: 255 fills the low one.
        {Fennick, "", "m_tfPaperWidth=12.75", "@PJL DEFAULT NVRAM76=255\n@PJL DEFAULT NVRAM90=0\n@PJL SERVICE UPDATE\n"},
        {Fennick, "", "m_tfHPHorizOffset=600 m_cbTable=3 m_cbMediaMediaType=4 m_tfFrontMin=90 m_ckAutoCr=false m_cbLegacyMediaType=2 m_tfTopMargin=0.5",
         "@PJL DEFAULT NVRAM79=10\n@PJL DEFAULT NVRAM70=0\n@PJL DEFAULT NVRAM68=3\n@PJL DEFAULT NVRAM80=2\n@PJL DEFAULT NVRAM61=90\n"
         "@PJL DEFAULT NVRAM56=88\n@PJL DEFAULT NVRAM57=2\n@PJL SERVICE UPDATE\n"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args);
        device(row.sim).reset(row.state);
        const ShellResult run = toolbox(row.sim, "apply " + row.args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, row.sent);
        EXPECT_EQ(toolbox(row.sim, "apply " + row.args).out, "nothing to send\n");
    }
}

// Input that names no setting, a value a setting cannot hold or a table that is not one: refused
// with the reason, and nothing reaches any embosser.
TEST_F(ToolboxFamiliesSim, RefusedInputSendsNothing) {
    const fs::path comments = scratch->path() / "comments.txt", wrong = scratch->path() / "wrong.txt";
    std::ofstream(comments) << "# a table of nothing\n";
    std::ofstream(wrong) << "65 [1]\n# the next line names no character\n300 [12]\n";
    const std::string table = "brelmont-cli: toolbox table: ";
    // clang-format off
    const struct { Sim sim; std::string args; int status; std::string err; } rows[] = {
        {Orvin, "apply m_tfNoSuchField=1", 2, ""}, {Orvin, "apply m_ckDHCP=yes", 2, ""}, {Orvin, "apply m_tfFrontMin=5", 2, ""}, {Orvin, "frobnicate", 2, ""},
        {Merriden, "apply m_cbMediaMediaType=3 m_tfBackMin=10", 2, ""},
        {Orvin, "apply m_tfLeftMargin=-0.5", 1, "brelmont-cli: toolbox: The value \"-0.5\" was not written: this setting takes no number below 0.\n"},
        {Fennick, "apply m_tfLeftMargin=13", 1, "brelmont-cli: toolbox: The left margin was not written: the embosser keeps at most 12.75\".\n"},
        {Tessaline, "apply m_cbMediaMediaType=6 m_tfFrontMin=300", 1,
        "brelmont-cli: toolbox: The custom media limits were not written: each must be a whole number from 0 to 255.\n"},
        {Tessaline, "table " + wrong.string(), 1, table + wrong.string() + ": line 3: the character code 300 is above 255; nothing was sent\n"},
        {Tessaline, "table --slot 1 " + comments.string(), 2, table + "this embosser has table slot 0 only\n"},
        {Orvin, "table " + comments.string(), 2, table + "Orvin_200: this embosser takes no braille tables\n"},
        {Fennick, "table --slot 7 " + comments.string(), 2, table + "this embosser has table slots 0 to 6 only\n"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const ShellResult run = toolbox(row.sim, row.args);
        EXPECT_EQ(run.exitCode, row.status) << row.args << ": " << run.err;
        if (row.err.empty()) EXPECT_FALSE(run.err.empty()) << row.args;
        else EXPECT_EQ(run.err, row.err) << row.args;
    }
    EXPECT_EQ(cli("toolbox show --queue No_Such_Queue").exitCode, 2);
    for (const auto& sim : sims) EXPECT_EQ(sim->logCount("@PJL DEFAULT") + sim->logCount("FSDOWNLOAD"), 0);
}

// The value of a chosen variable is asked of the embosser (it may have changed since the load) and
// shown filtered; the setter writes that one variable in the family's form; the sensors are read
// with the family's labels (one label each here; the Orvin's whole text is the screen reader test's).
TEST_F(ToolboxFamiliesSim, AVariableIsAskedAndSetAndTheSensorsRead) {
    // clang-format off
    const struct { Sim sim; std::string state; const char* variable; const char* asked; const char* typed; std::string request; const char* sensor; } rows[] = {
        {Valdo, "family=valdo\n[VARIABLES]\nGATEWAY=<10.0.0.1>\n", "GATEWAY", "10.0.0.1", "10.0.0.2 lab",
         "\x1b%-12345X@PJL DEFAULT GATEWAY=\"10.0.0.2 lab\"\n", "Solenoid temperature: 41\u00b0C"},
        {Tessaline, "", "SKEW", nullptr, "7.9 steps", "\x1b%-12345X@PJL DEFAULT SKEW=7\n@PJL SERVICE UPDATE\n", "Gap flag: 0, Paper present: 1"},
        {Fennick, nvramState({{68, 5}}), "TABLE", "5", "2 tables", "\x1b%-12345X@PJL DEFAULT NVRAM68 2\n@PJL SERVICE UPDATE\n",
         "Mounted Paper Sensor: 87, Power supply: 34.2"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(QueueOf[row.sim]);
        const auto model = loaded(row.sim);
        if (!row.state.empty()) device(row.sim).reset(row.state); // behind the window's back
        const auto& names = model->control("m_cbPjlNames")->items;
        const ChangeResult chosen =
            model->setIndex("m_cbPjlNames", int(std::find(names.begin(), names.end(), row.variable) - names.begin()));
        EXPECT_TRUE(chosen.outcome.ok()) << chosen.outcome.describe();
        if (row.asked) { EXPECT_EQ(model->control("m_tfPjlValue")->text, row.asked); }
        model->setText("m_tfPjlValue", row.typed);
        EXPECT_EQ(model->setSelectedVariable().request, row.request);
        EXPECT_EQ(device(row.sim).logCount(" | changed"), 1);
        ASSERT_TRUE(model->readSensors().ok());
        EXPECT_THAT(model->control("m_tfSensors")->text, HasSubstr(row.sensor));
    }
    // A Quorrin parameter is one byte: a value it cannot hold is refused before anything is sent.
    const auto quorrin = loaded(Fennick);
    const int written = device(Fennick).logCount("@PJL DEFAULT");
    quorrin->setIndex("m_cbPjlNames", 0);
    for (const char* typed : {"256", "-5", "none"}) {
        quorrin->setText("m_tfPjlValue", typed);
        const WriteResult refused = quorrin->setSelectedVariable();
        EXPECT_EQ(refused.request, std::nullopt) << typed;
        ASSERT_EQ(refused.notes.size(), 1u) << typed;
        EXPECT_THAT(refused.notes[0], HasSubstr("from 0 to 255"));
    }
    EXPECT_EQ(device(Fennick).logCount("@PJL DEFAULT"), written);
}

// A table goes into the slot named, or else the slot in use, byte for byte as its request, and the
// slot is then in use.
TEST_F(ToolboxFamiliesSim, ATableReachesTheEmbosserAsItsExactRequest) {
    BrailleConversionData file;
    ASSERT_EQ(file.readFile(installedTableFolder() / "computer-braille-8-dot.txt"), BrailleConversionData::Done);
    const auto model = loaded(Tessaline);
    const WriteResult sent = model->installTable(file.table());
    ASSERT_TRUE(sent.outcome.ok()) << sent.outcome.describe();
    const std::string cells(file.table().begin(), file.table().end());
    EXPECT_EQ(sent.request, "\x1b%-12345X@PJL DEFAULT TABLE=0\n@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE0\"\n" + cells);
    EXPECT_EQ(fileText(device(Tessaline).storePath() / "BRAILLETABLE0"), cells);
    EXPECT_EQ(device(Tessaline).logCount("bytes of data"), 0); // nothing beside the request
    EXPECT_EQ(shown(Tessaline).at("m_cbTable"), "18");

    const fs::path a = scratch->path() / "a.txt";
    std::ofstream(a) << "65 [1]\n";
    const ShellResult slot = toolbox(Fennick, "table --slot 3 " + a.string());
    ASSERT_EQ(slot.exitCode, 0) << slot.err;
    EXPECT_EQ(slot.out.substr(0, slot.out.find("00 ")),
              "@PJL DEFAULT TABLE=3\n@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE3\"\n");
    EXPECT_EQ(fileText(device(Fennick).storePath() / "BRAILLETABLE3"), std::string(65, '\0') + '\x01' + std::string(190, '\0'));
    EXPECT_EQ(shown(Fennick).at("m_cbTable"), "3");
    device(Fennick).reset(nvramState({{68, 6}}));
    ASSERT_EQ(toolbox(Fennick, "table " + a.string()).exitCode, 0);
    EXPECT_TRUE(fs::exists(device(Fennick).storePath() / "BRAILLETABLE6"));
}

// An embosser that stays silent ends the load within the deadline; one switched off before Apply,
// or at all, makes the script fail with the reason.
TEST_F(ToolboxFamiliesSim, SilentSlowAndSwitchedOffEmbossers) {
    {
        const ScopedEnv deadline("BRELMONT_TOOLBOX_DEADLINE_MS", "2000"), replyTime("BRELMONT_PJL_REPLY_TIMEOUT_MS", "20000");
        EmbosserSim silent("orvin", {"--delay", "60000"});
        ToolboxModel model(orvinFamily(), PjlHelper::exchange);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(model.load({PrinterItem{silent.uri(), "Orvin_Silent", "Silent Orvin", 221201, true, {}}}));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(model.loadFailure().status, ExchangeStatus::NoReply) << model.loadFailure().describe();
        EXPECT_EQ(silent.logCount("@PJL INFO VERSIONS"), 0);
        // The deadline is the whole load's: three answers of 0.8 s each do not fit in 2 s.
        EmbosserSim slowValdo("valdo", {"--delay", "800"});
        ToolboxModel valdo(valdoFamily(), PjlHelper::exchange);
        EXPECT_FALSE(valdo.load({PrinterItem{slowValdo.uri(), "Valdo_Slow", "Slow Valdo", 121201, true, {}}}));
        EXPECT_EQ(valdo.loadFailure().status, ExchangeStatus::NoReply) << valdo.loadFailure().describe();
    }
    EmbosserSim leaving("orvin", {"--serve", "5"}); // the listing and the four queries are the last it takes
    ASSERT_TRUE(cups->addQueue({"Orvin_Leaving", "Orvin 200", leaving.uri(), "Leaving Orvin"}));
    const ShellResult failed = cli("toolbox apply --queue Orvin_Leaving m_tfTopMargin=2");
    cups->removeQueue("Orvin_Leaving");
    EXPECT_EQ(failed.exitCode, 1) << failed.out;
    EXPECT_THAT(failed.err, StartsWith("brelmont-cli: toolbox apply: the settings were not written: the embosser is not"));

    device(Orvin).stop();
    const ShellResult detached = toolbox(Orvin, "apply m_tfTable=5");
    EXPECT_EQ(detached.exitCode, 1);
    EXPECT_THAT(detached.err, StartsWith("Failed to retrieve the settings from the embosser. Please try again.\n"));
    for (const auto& sim : sims) sim->stop();
    const ShellResult none = cli("toolbox show");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, "There is no Brelmont embosser attached to the system.\n");
}

} // namespace
