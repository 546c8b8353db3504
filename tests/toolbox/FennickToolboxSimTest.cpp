// The Quorrin toolbox end to end: a queue of the private CUPS server leads to a simulated Quorrin
// whose settings are NVRAM bytes; the device helper carries the PJL and brelmont-cli drives it.
#include "toolbox/FennickFamily.h"
#include "toolbox/ToolboxModel.h"

#include "ShownControls.h"
#include "ToolboxSimFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

using namespace brelmont::toolbox;
using brelmont::testing::ShellResult;
using brelmont::testing::shownControls;
namespace fs = std::filesystem;

namespace {

// A saved simulator state whose parameter line holds these bytes (byte 0 as given, else 0x80) and
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

class FennickToolboxSim : public brelmont::testing::ToolboxSimFixture {
protected:
    static void SetUpTestSuite() { startSim("fennick", {"Quorrin", "Quorrin", "", "Quorrin by the window"}); }
    static std::unique_ptr<ToolboxModel> loaded() { return ToolboxSimFixture::loaded(fennickFamily()); }
};

TEST_F(FennickToolboxSim, TheLoadNamesTheBytesAndBuildsTheWideValues) {
    // Width 170 and length 220 twentieths: Letter; ink offset 1 × 256 + 44.
    sim->reset(nvramState({{68, 0x0A}, {76, 170}, {90, 0}, {75, 220}, {74, 0}, {56, 44}, {57, 1}, {73, 8},
                               {80, 7}, {81, 2}, {70, 1}, {78, 10}, {91, 5}, {87, 20}, {69, 32}, {45, 128}, {33, 90}, {37, 120}},
                              "[STATUS]\nPENERRORK=40038\nPENERRORCMY=40020\n"));
    const ShellResult run = cli("show");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto shown = shownControls(run.out);
    EXPECT_EQ(shown.size(), fennickFamily().controls.size());
    const std::map<std::string, std::string> expected = {
        {"m_tfPrinterName", "Quorrin by the window"}, {"m_tfFirmwareVersion", "2.4.17"}, {"m_cbTable", "0"},
        {"m_bnInstallTable", "enabled"},              {"m_tfPaperWidth", "8.5\""},      {"m_tfPaperHeight", "11.0\""},
        {"m_cbPaperSize", "0"},                       {"m_tfHPHorizOffset", "300"},     {"m_tfHPVertOffset", "20"},
        {"m_tfVertAlign", "128"},                     {"m_cbBrailleDots", "1"},         {"m_cbLegacyMediaType", "4"},
        {"m_cbBrailleForce", "2"},                    {"m_ckAutoCr", "true"},           {"m_tfLeftMargin", "0.5\""},
        {"m_tfCharsWidth", "32"},                     {"m_tfDryTime", "5"},             {"m_lbBlackFill", "71 %"},
        {"m_lbColorFill", "58 %"},                    {"m_lbBlackHealth", "Cartridge near end of life"},
        {"m_lbColorHealth", "Wrong cartridge type"},
    };
    for (const auto& [name, value] : expected) EXPECT_EQ(shown.at(name), value) << name;
    EXPECT_EQ(sim->logCount("@PJL USTATUS TIMED=1"), 1);
    EXPECT_EQ(sim->logCount("@PJL DEFAULT"), 0);

    const auto model = loaded();
    EXPECT_EQ(model->title(), "Quorrin Toolbox");
    model->setIndex("m_cbMediaMediaType", 1);
    EXPECT_EQ(model->control("m_tfFrontMin")->text + "/" + model->control("m_tfFrontMax")->text, "90/120");
    EXPECT_FALSE(model->control("m_tfFrontMin")->editable);

    // A line not marked valid is asked for again, and the window still opens without settings.
    sim->reset(nvramState({{0, 0x7F}, {76, 170}}));
    const ShellResult invalid = cli("show");
    ASSERT_EQ(invalid.exitCode, 0) << invalid.err;
    EXPECT_EQ(sim->logCount("@PJL DINQUIRE NVPARMS"), 10);
    EXPECT_EQ(shownControls(invalid.out).at("m_tfPaperWidth"), "0.0\"");
    EXPECT_EQ(cli("apply m_tfPaperWidth=9").out, "nothing to send\n");
}

// Only what changed is written, by byte number, wide values as their two bytes; the embosser
// keeps it across a restart.
TEST_F(FennickToolboxSim, ApplySendsTheChangedBytesAndTheyStay) {
    const ShellResult width = cli("apply m_tfPaperWidth=14");
    ASSERT_EQ(width.exitCode, 0) << width.err;
    EXPECT_EQ(width.out, "@PJL DEFAULT NVRAM76=24\n@PJL DEFAULT NVRAM90=1\n@PJL SERVICE UPDATE\n"); // 280 = 256 + 24
    EXPECT_EQ(sim->logCount("PAPERWIDTH"), 0);

    const ShellResult run = cli("apply m_tfHPHorizOffset=600 m_cbTable=3 m_cbMediaMediaType=4 m_tfFrontMin=90 "
                                "m_ckAutoCr=false m_cbLegacyMediaType=2 m_tfTopMargin=0.5");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "@PJL DEFAULT NVRAM79=10\n@PJL DEFAULT NVRAM70=0\n@PJL DEFAULT NVRAM68=3\n"
                       "@PJL DEFAULT NVRAM80=2\n@PJL DEFAULT NVRAM61=90\n@PJL DEFAULT NVRAM56=88\n"
                       "@PJL DEFAULT NVRAM57=2\n@PJL SERVICE UPDATE\n");
    sim->restart();
    const auto shown = shownControls(cli("show").out);
    EXPECT_EQ(shown.at("m_tfPaperWidth") + shown.at("m_tfHPHorizOffset") + shown.at("m_cbTable"), "14.0\"6003");
    EXPECT_EQ(cli("apply m_tfPaperWidth=14 m_cbTable=3").out, "nothing to send\n");

    // A value its byte cannot hold is refused with the reason, not cut short.
    const ShellResult tooWide = cli("apply m_tfLeftMargin=13");
    EXPECT_EQ(tooWide.out, "nothing to send\n");
    EXPECT_EQ(tooWide.err, "brelmont-cli: toolbox: The left margin was not written: the embosser keeps at most 12.75\".\n");
    EXPECT_EQ(sim->logCount("@PJL DEFAULT"), 9);
}

TEST_F(FennickToolboxSim, AParameterIsAskedForAndSetByItsByteNumber) {
    const auto model = loaded();
    sim->reset(nvramState({{68, 5}})); // changed behind the window's back: the value shown is asked for
    const auto& names = model->control("m_cbPjlNames")->items;
    ASSERT_TRUE(model->setIndex("m_cbPjlNames", int(std::find(names.begin(), names.end(), "TABLE") - names.begin())).outcome.ok());
    EXPECT_EQ(model->control("m_tfPjlValue")->text, "5");
    EXPECT_EQ(sim->logCount("@PJL DINQUIRE NVRAM68 | answered"), 1);

    model->setText("m_tfPjlValue", "2 tables");
    EXPECT_EQ(model->setSelectedVariable().request, "\x1b%-12345X@PJL DEFAULT NVRAM68 2\n@PJL SERVICE UPDATE\n");
    EXPECT_EQ(sim->logCount("@PJL DEFAULT NVRAM68 2 | changed"), 1);
    ASSERT_TRUE(model->readSensors().ok());
    EXPECT_EQ(model->control("m_tfSensors")->text, "Home Flag: 1, Paper Flag: 1,\r\nMounted Paper Sensor: 87, Power supply: "
                                                   "34.2,\r\nOut of paper sensor: 0, Housing open: 0, Duplexer: 1");
}

// A table goes into the slot named, or else the slot in use, and the slot is then in use.
TEST_F(FennickToolboxSim, ATableGoesIntoTheChosenSlot) {
    const fs::path file = scratch->path() / "a.txt";
    std::ofstream(file) << "65 [1]\n";
    const ShellResult run = cli("table --slot 3 " + file.string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("00 ")), "@PJL DEFAULT TABLE=3\n@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE3\"\n");
    EXPECT_TRUE(fs::exists(sim->storePath() / "BRAILLETABLE3"));
    EXPECT_EQ(shownControls(cli("show").out).at("m_cbTable"), "3");

    sim->reset(nvramState({{68, 6}}));
    ASSERT_EQ(cli("table " + file.string()).exitCode, 0);
    EXPECT_TRUE(fs::exists(sim->storePath() / "BRAILLETABLE6"));
    const ShellResult refused = cli("table --slot 7 " + file.string());
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, "brelmont-cli: toolbox table: this embosser has table slots 0 to 6 only\n");
}

} // namespace
