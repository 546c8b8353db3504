// The Tessaline toolbox end to end: a queue of the private CUPS server leads to a simulated
// Tessaline, the device helper carries the PJL and the table download, and brelmont-cli drives it.
#include "printer/PjlHelper.h"
#include "toolbox/BrailleConversionData.h"
#include "toolbox/TableFolder.h"
#include "toolbox/TessalineFamily.h"
#include "toolbox/ToolboxModel.h"

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "ShownControls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

using namespace brelmont::toolbox;
using brelmont::printer::PjlHelper;
using brelmont::testing::CupsServer;
using brelmont::testing::EmbosserSim;
using brelmont::testing::ScratchDir;
using brelmont::testing::ShellResult;
using brelmont::testing::shownControls;
namespace fs = std::filesystem;

namespace {

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class TessalineToolboxSim : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!CupsServer::available()) return;
        scratch = std::make_unique<ScratchDir>("tessaline-sim");
        tmpdir.emplace("TMPDIR", scratch->path().string());
        cups = std::make_unique<CupsServer>();
        std::string error;
        ASSERT_TRUE(cups->start(&error)) << error;
        tessaline = std::make_unique<EmbosserSim>("tessaline");
        ASSERT_TRUE(cups->addQueue("Tessaline_30RT", "Tessaline 30RT", tessaline->uri(), "Tessaline in the lab"));
        ASSERT_TRUE(cups->addQueue("Orvin_200", "Orvin 200", "socket://127.0.0.1:9", "Orvin switched off"));
        cups->applyEnvironment();
        resources.emplace("BRELMONT_RESOURCE_DIR", fs::path(BRELMONT_PJLHELPER).parent_path().string());
    }
    static void TearDownTestSuite() {
        tessaline.reset();
        cups.reset();
        resources.reset();
        tmpdir.reset();
        scratch.reset();
    }
    void SetUp() override {
        if (!cups) GTEST_SKIP() << "cupsd is not installed";
        tessaline->reset();
    }

    static ShellResult cli(const std::string& args) { return cups->run(std::string(BRELMONT_CLI) + " toolbox " + args); }
    static std::unique_ptr<ToolboxModel> loaded() {
        auto model = std::make_unique<ToolboxModel>(tessalineFamily(), PjlHelper::exchange, PjlHelper::exchangeData);
        EXPECT_TRUE(model->load());
        return model;
    }
    static fs::path storedTable() { return tessaline->storePath() / "BRAILLETABLE0"; }

    static inline std::unique_ptr<ScratchDir> scratch;
    static inline std::unique_ptr<CupsServer> cups;
    static inline std::unique_ptr<EmbosserSim> tessaline;
    static inline std::optional<brelmont::testing::ScopedEnv> tmpdir, resources;
};

TEST_F(TessalineToolboxSim, TheLoadShowsEachSettingInItsControl) {
    tessaline->reset("family=tessaline\n[VARIABLES]\nTABLE=0\nFORMWIDTH=171\nFORMHEIGHT=219\nMEDIATYPE=11\n"
                     "BRAILLEDOTS=8\nGRAPHICS=1\nBRAILLEFORCE=2\nAUTOCR=0\nSKEW=4\n");
    const ShellResult run = cli("show");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto shown = shownControls(run.out);
    EXPECT_EQ(shown.size(), tessalineFamily().controls.size());
    const std::map<std::string, std::string> expected = {
        {"m_tfPrinterName", "Tessaline in the lab"}, {"m_tfFirmwareVersion", "4.2.3"}, {"m_cbPaperSize", "0"},
        {"m_tfPaperWidth", "8.55\""},                {"m_tfLeftMargin", "0.5\""},     {"m_cbTable", "18"},
        {"m_bnInstallTable", "enabled"},             {"m_cbLegacyMediaType", "3"},    {"m_cbBrailleDots", "1"},
        {"m_cbGraphics", "1"},                       {"m_cbBrailleForce", "2"},       {"m_ckAutoCr", "false"},
        {"m_tfPrintSkew", "4"},                      {"m_tfStatus", "CODE=10001\\r\\nDISPLAY=READY\\r\\nONLINE=TRUE\\r\\nPAGECOUNT=5120\\r\\n"},
    };
    for (const auto& [name, value] : expected) EXPECT_EQ(shown.at(name), value) << name;
    EXPECT_EQ(tessaline->logCount("@PJL USTATUS TIMED=1"), 1); // right before the variables, once
    EXPECT_EQ(tessaline->logCount("@PJL DEFAULT"), 0);

    // The custom limits are one variable, 5130 = 20 × 256 + 10; only they can be edited.
    const auto model = loaded();
    model->setIndex("m_cbMediaMediaType", 6);
    EXPECT_EQ(model->control("m_tfFrontMax")->text + "/" + model->control("m_tfFrontMin")->text, "20/10");
    EXPECT_TRUE(model->control("m_tfFrontMin")->editable);
    model->setIndex("m_cbMediaMediaType", 0);
    EXPECT_EQ(model->control("m_tfFrontMax")->text, "180");
    EXPECT_FALSE(model->control("m_tfFrontMax")->editable);
}

TEST_F(TessalineToolboxSim, ApplySendsTheChangedLinesInTableOrderAndTheyStay) {
    const auto factory = shownControls(cli("show").out); // TABLE 1 is the embosser's first table
    EXPECT_EQ(factory.at("m_cbTable") + factory.at("m_bnInstallTable"), "0disabled");
    const ShellResult run = cli("apply m_tfPrintSkew=3 m_cbTable=18 m_cbMediaMediaType=6 m_tfFrontMax=30 "
                                "m_cbLegacyMediaType=6 m_ckAutoCr=false m_cbPaperSize=0 m_tfLeftMargin=0.5");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "@PJL DEFAULT FORMWIDTH=170\n@PJL DEFAULT FORMHEIGHT=220\n@PJL DEFAULT AUTOCR=0\n"
                       "@PJL DEFAULT TABLE=0\n@PJL DEFAULT MEDIATYPE=30\n@PJL DEFAULT CUSTOMMEDIA=7690\n"
                       "@PJL DEFAULT SKEW=3\n@PJL SERVICE UPDATE\n");
    tessaline->restart();
    const auto shown = shownControls(cli("show").out);
    EXPECT_EQ(shown.at("m_cbTable") + shown.at("m_bnInstallTable") + shown.at("m_cbLegacyMediaType"), "18enabled6");
    EXPECT_EQ(cli("apply m_cbTable=18 m_tfPrintSkew=3").out, "nothing to send\n");

    // A limit past one byte would change the other limit too: refused with the reason.
    const ShellResult spilling = cli("apply m_cbMediaMediaType=6 m_tfFrontMin=300");
    EXPECT_EQ(spilling.out, "nothing to send\n");
    EXPECT_EQ(spilling.err, "brelmont-cli: toolbox: The custom media limits were not written: each must be a whole "
                            "number from 0 to 255.\n");
    EXPECT_EQ(tessaline->logCount("@PJL DEFAULT"), 7);
}

TEST_F(TessalineToolboxSim, TheSetterSendsWholeNumbersAndTheSensorsAreRead) {
    const auto model = loaded();
    const auto& names = model->control("m_cbPjlNames")->items;
    model->setIndex("m_cbPjlNames", int(std::find(names.begin(), names.end(), "SKEW") - names.begin()));
    model->setText("m_tfPjlValue", "7.9 steps");
    const WriteResult set = model->setSelectedVariable();
    EXPECT_EQ(set.request, "\x1b%-12345X@PJL DEFAULT SKEW=7\n@PJL SERVICE UPDATE\n");
    EXPECT_EQ(tessaline->logCount("@PJL DEFAULT SKEW=7 | changed"), 1);
    ASSERT_TRUE(model->readSensors().ok());
    EXPECT_EQ(model->control("m_tfSensors")->text, "Home Flag: 1, Gap flag: 0, Paper present: 1,\r\nOut of paper "
                                                   "sensor: 0, Panel buttons: 0,\r\nTemperature: 34\u00b0C");
}

// The download is the request byte for byte, 76 bytes of PJL then the 256 cells, which the
// embosser keeps; the slot becomes the table in use.
TEST_F(TessalineToolboxSim, ATableReachesTheEmbosserAsItsExactRequest) {
    BrailleConversionData file;
    ASSERT_EQ(file.readFile(installedTableFolder() / "computer-braille-8-dot.txt"), BrailleConversionData::Done);
    const auto model = loaded();
    const WriteResult sent = model->installTable(file.table());
    ASSERT_TRUE(sent.outcome.ok()) << sent.outcome.describe();
    const std::string cells(file.table().begin(), file.table().end());
    EXPECT_EQ(sent.request, "\x1b%-12345X@PJL DEFAULT TABLE=0\n@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE0\"\n" + cells);
    EXPECT_EQ(fileText(storedTable()), cells);
    EXPECT_EQ(tessaline->logCount("@PJL DEFAULT TABLE=0 | changed"), 1);
    EXPECT_EQ(tessaline->logCount("bytes of data"), 0); // nothing beside the request
    EXPECT_EQ(model->getValue("TABLE"), "0");
    EXPECT_EQ(shownControls(cli("show").out).at("m_cbTable"), "18");
}

TEST_F(TessalineToolboxSim, TheCommandSendsTablesAndRefusesWhatIsNotOne) {
    const fs::path comments = scratch->path() / "comments.txt", wrong = scratch->path() / "wrong.txt";
    std::ofstream(comments) << "# a table of nothing\n";
    std::ofstream(wrong) << "65 [1]\n# the next line names no character\n300 [12]\n";
    const ShellResult zeros = cli("table " + comments.string());
    ASSERT_EQ(zeros.exitCode, 0) << zeros.err;
    std::string hex = "@PJL DEFAULT TABLE=0\n@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE0\"\n";
    for (int line = 0; line < 16; ++line) hex += "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n";
    EXPECT_EQ(zeros.out, hex);
    EXPECT_EQ(fileText(storedTable()), std::string(256, '\0'));

    const std::string refused = "brelmont-cli: toolbox table: ";
    const struct { std::string args; int status; std::string err; } cases[] = {
        {"table " + wrong.string(), 1, refused + wrong.string() + ": line 3: the character code 300 is above 255; nothing was sent\n"},
        {"table --slot 1 " + comments.string(), 2, refused + "this embosser has table slot 0 only\n"},
        {"table --queue Orvin_200 " + comments.string(), 2, refused + "Orvin_200: this embosser takes no braille tables\n"},
    };
    for (const auto& c : cases) {
        const ShellResult run = cli(c.args);
        EXPECT_EQ(run.exitCode, c.status) << c.args;
        EXPECT_EQ(run.err, c.err);
    }
    EXPECT_EQ(tessaline->logCount("FSDOWNLOAD"), 1); // none of them reached the embosser
}

} // namespace
