// The Valdo and Merriden toolboxes end to end: queues of the private CUPS server lead to the
// simulated embossers, the device helper carries the PJL, and brelmont-cli drives the toolbox.
#include "toolbox/ValdoFamily.h"

#include "ShownControls.h"
#include "ToolboxSimFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

using namespace brelmont::toolbox;
using brelmont::testing::EmbosserSim;
using brelmont::testing::ShellResult;
using brelmont::testing::shownControls;
namespace fs = std::filesystem;

namespace {

class ValdoToolboxSim : public brelmont::testing::ToolboxSimFixture {
protected:
    static void SetUpTestSuite() {
        startSims({{"valdo", {"Valdo_Trac", "Valdo Trac", "", "Valdo by the door"}},
                   {"merriden", {"Merriden", "Merriden", "", "Merriden upstairs"}}});
    }
    static EmbosserSim& valdo() { return *sims[0]; }
    static EmbosserSim& merriden() { return *sims[1]; }
};

TEST_F(ValdoToolboxSim, TheLoadShowsEachSettingInItsControl) {
    const std::string state = "\n[VARIABLES]\nSKEW=268\nEDGECLEARANCE=29\nMEDIATYPE=CUSTOM9\nQUALITY=BEST\n"
                              "SPACING=KOREAN\nDHCP=OFF\nBRAILLEFORCE=LIGHT\nDUPLEXMODE=SIMPLEX\nOUTPUTFACE=1\n"
                              "GRAPHICS=ON\nBRAILLEDOTS=8\nAUTOCR=OFF\nLEFTMARGIN=30\nCHARSWIDTH=40\n";
    valdo().reset("family=valdo" + state);
    merriden().reset("family=merriden" + state + "PAPERWIDTH=5976\nPAPERLENGTH=8424\n"); // A4
    const std::map<std::string, std::string> common = {
        {"m_tfPaperHeight", "11.0\""}, {"m_tfSkew", "8.0"},          {"m_tfEdgeClearance", "0.29\""},
        {"m_cbLegacyMediaType", "8"},  {"m_cbQuality", "2"},         {"m_cbSpacing", "4"},
        {"m_ckDHCP", "false"},         {"m_cbBrailleForce", "2"},    {"m_cbDuplex", "0"},
        {"m_cbOutputFace", "1"},       {"m_cbGraphics", "1"},        {"m_cbBrailleDots", "1"},
        {"m_ckAutoCr", "false"},       {"m_tfLeftMargin", "1.5\""},  {"m_tfCharsWidth", "40"},
        {"m_tfTable", "EN_US"},        {"m_tfSTM8Version", "1.1.4"}, {"m_tfFirmwareVersion", "2.3.1"},
        {"m_tfTopOfForm", "236"},      {"m_tfStepsPerInch", "1440"}, {"m_tfHomePos", "112"},
        {"m_cbMediaMediaType", "-1"},  {"m_tfFrontMin", ""},
    };
    const struct {
        const char* queue;
        const FamilyDescription& family;
        std::map<std::string, std::string> own;
    } cases[] = {
        {"Valdo_Trac", valdoFamily(), {{"m_tfPrinterName", "Valdo by the door"}, {"m_cbPaperSize", "0"}, {"m_tfPaperWidth", "8.5\""}}},
        {"Merriden", merridenFamily(),
         {{"m_tfPrinterName", "Merriden upstairs"}, {"m_cbPaperSize", "4"}, {"m_tfPaperWidth", "8.3\""}, {"m_tfPaperHeight", "11.7\""}}},
    };
    for (const auto& c : cases) {
        const ShellResult run = cli(c.queue, "show");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const auto shown = shownControls(run.out);
        EXPECT_EQ(shown.size(), c.family.controls.size()) << c.queue;
        std::map<std::string, std::string> expected = c.own;
        expected.insert(common.begin(), common.end());
        for (const auto& [name, value] : expected) EXPECT_EQ(shown.at(name), value) << c.queue << " " << name;
    }
    EXPECT_EQ(merriden().logCount("@PJL INFO LEGACY") + valdo().logCount("@PJL INFO LEGACY"), 0);

    // A media kind shows its limits; the numbered custom kinds keep theirs in the F variables, and
    // only custom kinds can be edited.
    const auto model = loaded(merridenFamily());
    const struct { int kind; const char* limits; bool editable; } kinds[] = {
        {0, "120/180 120/180", false}, {3, "90/120 90/120", false}, {6, "100/160 100/160", true}, {8, "100/160 100/160", true},
    };
    for (const auto& k : kinds) {
        model->setIndex("m_cbMediaMediaType", k.kind);
        auto text = [&](const char* name) { return model->control(name)->text; };
        EXPECT_EQ(text("m_tfFrontMin") + "/" + text("m_tfFrontMax") + " " + text("m_tfBackMin") + "/" + text("m_tfBackMax"), k.limits);
        for (const char* field : {"m_tfFrontMin", "m_tfFrontMax", "m_tfBackMin", "m_tfBackMax"})
            EXPECT_EQ(model->control(field)->editable, k.editable) << k.kind << field;
    }
    EXPECT_EQ(merriden().logCount("@PJL DINQUIRE"), 0); // the limits come from the loaded lists
}

// Each family's changes go out as exactly the changed lines, in the settings' order, stay on the
// embosser through a restart, and are not written again.
TEST_F(ValdoToolboxSim, ApplySendsTheChangedLinesInOrderAndTheyStay) {
    valdo().reset("family=valdo\n[VARIABLES]\nPAPERWIDTH=5976\nPAPERLENGTH=8424\nSKEW=268\nSPACING=KOREAN\n");
    const struct {
        const char* queue;
        EmbosserSim* target;
        std::string args;
        std::string sent;
        std::map<std::string, std::string> after;
    } cases[] = {
        {"Valdo_Trac", &valdo(),
         "m_tfTable=EN_U m_cbMediaMediaType=7 m_tfFrontMin=90 m_tfFrontMax=170 m_cbSpacing=0 m_tfSkew=7.0 "
         "m_cbPaperSize=0 m_tfEdgeClearance=0.3 m_ckDHCP=false m_cbLegacyMediaType=15",
         "@PJL DEFAULT PAPERWIDTH=6120\n@PJL DEFAULT PAPERLENGTH=7920\n@PJL DEFAULT SPACING=MARBURG\n"
         "@PJL DEFAULT MEDIATYPE=CUSTOM16\n@PJL DEFAULT CUSTOM8MEDIAMINF=90\n@PJL DEFAULT CUSTOM8MEDIAMAXF=170\n"
         "@PJL DEFAULT DHCP=OFF\n@PJL DEFAULT SKEW=250\n@PJL DEFAULT EDGECLEARANCE=30\n@PJL SERVICE UPDATE\n",
         {{"m_cbPaperSize", "0"}, {"m_tfSkew", "7.0"}, {"m_cbSpacing", "0"}, {"m_cbLegacyMediaType", "15"}, {"m_tfEdgeClearance", "0.3\""}}},
        {"Merriden", &merriden(),
         "m_cbMediaMediaType=8 m_tfFrontMin=95 m_tfFrontMax=175 m_tfBackMin=96 m_tfBackMax=176 m_tfTable=DE_DEX "
         "m_cbQuality=0",
         "@PJL DEFAULT QUALITY=DRAFT\n@PJL DEFAULT CUSTOM9MEDIAMINF=95\n@PJL DEFAULT CUSTOM9MEDIAMAXF=175\n"
         "@PJL DEFAULT CUSTOM9MEDIAMINB=96\n@PJL DEFAULT CUSTOM9MEDIAMAXB=176\n@PJL SERVICE UPDATE\n",
         {{"m_cbQuality", "0"}, {"m_tfTable", "EN_US"}}},
    };
    for (const auto& c : cases) {
        const ShellResult run = cli(c.queue, "apply " + c.args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, c.sent) << c.queue;
        c.target->restart();
        const auto shown = shownControls(cli(c.queue, "show").out);
        for (const auto& [name, value] : c.after) EXPECT_EQ(shown.at(name), value) << c.queue << " " << name;
        EXPECT_EQ(cli(c.queue, "apply " + c.args).out, "nothing to send\n") << c.queue;
    }
    // The numbered kind's limits came back from the embosser after its restart.
    const auto model = loaded(merridenFamily());
    model->setIndex("m_cbMediaMediaType", 8);
    EXPECT_EQ(model->control("m_tfBackMax")->text, "176");

    // Below the custom kinds the limits are neither edited nor written.
    const ShellResult fixed = cli("Merriden", "apply m_cbMediaMediaType=3 m_tfBackMin=10");
    EXPECT_EQ(fixed.exitCode, 2);
    EXPECT_EQ(cli("Merriden", "apply m_cbMediaMediaType=3").out, "nothing to send\n");
    EXPECT_EQ(merriden().logCount("@PJL DEFAULT"), 5);
}

// The value of a chosen variable is asked of the embosser and shown filtered; the setter quotes
// a value with a blank; the sensor labels are the family's.
TEST_F(ValdoToolboxSim, AVariableIsAskedSetAndTheSensorsRead) {
    valdo().reset("family=valdo\n[VARIABLES]\nGATEWAY=<10.0.0.1>\n");
    const auto model = loaded(valdoFamily());
    const auto& names = model->control("m_cbPjlNames")->items;
    const int gateway = int(std::find(names.begin(), names.end(), "GATEWAY") - names.begin());
    const ChangeResult asked = model->setIndex("m_cbPjlNames", gateway);
    EXPECT_TRUE(asked.outcome.ok()) << asked.outcome.describe();
    EXPECT_EQ(model->control("m_tfPjlValue")->text, "10.0.0.1");
    EXPECT_EQ(valdo().logCount("@PJL DINQUIRE GATEWAY"), 1);

    model->setText("m_tfPjlValue", "10.0.0.2 lab");
    EXPECT_EQ(model->setSelectedVariable().request, "\x1b%-12345X@PJL DEFAULT GATEWAY=\"10.0.0.2 lab\"\n");
    EXPECT_EQ(valdo().logCount("changed"), 1);

    ASSERT_TRUE(model->readSensors().ok());
    EXPECT_EQ(model->control("m_tfSensors")->text, "Paper Flag: 1, Pickup Flag: 0, Home Flag: 1, Panel: 0\r\nBoard "
                                                   "temperature: 36\u00b0C, Solenoid temperature: 41\u00b0C\r\n"
                                                   "Carriage temperature: 33\u00b0C");
}

} // namespace
