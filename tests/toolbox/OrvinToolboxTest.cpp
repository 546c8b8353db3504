// The engine running the Orvin description against a scripted device.
#include "ScriptedEmbosser.h"

#include "toolbox/Families.h"
#include "toolbox/OrvinFamily.h"
#include "toolbox/ToolboxModel.h"

#include <gtest/gtest.h>

#include <functional>

using namespace brelmont::toolbox;
using brelmont::printer::PrinterItem;
using brelmont::testing::ScriptedEmbosser;

namespace {

const std::string UEL = "\x1b%-12345X";
const std::string InfoVariables = UEL + "@PJL INFO VARIABLES\n";

class OrvinToolbox : public ::testing::Test {
protected:
    ToolboxModel& loaded() {
        model = std::make_unique<ToolboxModel>(orvinFamily(), device.exchange());
        EXPECT_TRUE(model->load({ScriptedEmbosser::queue()}));
        return *model;
    }
    std::string text(const std::string& control) const { return model->control(control)->text; }
    int index(const std::string& control) const { return model->control(control)->index; }
    bool checked(const std::string& control) const { return model->control(control)->checked; }
    // The "@PJL DEFAULT" lines Apply sends, as one text; "" when it sends nothing.
    std::string applied() {
        const auto sent = model->apply().request;
        if (!sent) return "";
        EXPECT_TRUE(sent->starts_with(UEL) && sent->ends_with("@PJL SERVICE UPDATE\n")) << *sent;
        EXPECT_EQ(device.writes().back(), *sent);
        return sent->substr(UEL.size(), sent->size() - UEL.size() - std::string("@PJL SERVICE UPDATE\n").size());
    }

    ScriptedEmbosser device;
    std::unique_ptr<ToolboxModel> model;
};

TEST_F(OrvinToolbox, LoadShowsEachVariableInItsControl) {
    loaded();
    struct Shown { const char* control; std::string text; };
    const Shown texts[] = {
        {"m_tfPrinterName", "Orvin in the lab"}, {"m_tfModelNumber", "Orvin 200"}, {"m_tfFirmwareVersion", "3.0.1"},
        {"m_tfSerialNumber", "LAB-0007"},         {"m_tfIpAddr", "10.1.2.3"},       {"m_tfSubnet", "255.255.0.0"},
        {"m_tfGateway", "10.1.0.1"},              {"m_tfPaperWidth", "8.5\""},      {"m_tfPaperHeight", "11.0\""},
        {"m_tfTopMargin", "0.25\""},              {"m_tfLeftMargin", "0.75\""},     {"m_tfRightMargin", "0.15\""},
        {"m_tfExtraLineSpace", "0.0\""},          {"m_tfTable", "4"},               {"m_lbInkFW", "2.2.0"},
        {"m_lbInkSN", "SIA-77"},                  {"m_tfInkTop", "14"},             {"m_tfInkLeft", "6"},
        {"m_tfInkSkew", "2"},                     {"m_tfInkCartSpace", "530"},      {"m_lbHealth0", "OK"},
        {"m_lbFillState0", "71 %"},               {"m_lbFillState1", "33 %"},       {"m_tfFrontMin", ""},
        {"m_tfFrontMax", ""},                     {"m_tfPjlValue", ""},
        {"m_tfStatus", "CODE=10001\r\nDISPLAY=\"READY TO EMBOSS\"\r\nINKHEALTH0=4095\r\nINKHEALTH1=4095\r\n"
                       "INKLEVEL0=71\r\nINKLEVEL1=33\r\n"},
    };
    for (const Shown& s : texts) EXPECT_EQ(text(s.control), s.text) << s.control;
    struct Selected { const char* control; int index; };
    const Selected indices[] = {{"m_cbPaperSize", 0},   {"m_cbLegacyMediaType", 2}, {"m_cbGraphics", 1},
                                {"m_cbQuality", 2},     {"m_cbBrailleDots", 1},     {"m_cbBrailleForce", 2},
                                {"m_cbDuplex", 0},      {"m_cbMediaMediaType", -1}, {"m_cbPjlNames", -1}};
    for (const Selected& s : indices) EXPECT_EQ(index(s.control), s.index) << s.control;
    struct Checked { const char* control; bool on; };
    const Checked boxes[] = {{"m_ckDHCP", false},   {"m_ckAutoCr", false},           {"m_ckTunes", false},
                             {"m_ckTearOff", false}, {"m_ckPrimaryCarriage", true}};
    for (const Checked& c : boxes) EXPECT_EQ(checked(c.control), c.on) << c.control;

    EXPECT_EQ(model->control("m_cbPaperSize")->items.size(), 18u);
    EXPECT_EQ(model->control("m_cbPaperSize")->items[12], "8\" x 11\" (JIS)");
    const auto& names = model->control("m_cbPjlNames")->items;
    ASSERT_EQ(names.size(), device.list("variables").size());
    EXPECT_EQ(names.front(), "MODEL");
    EXPECT_EQ(names.back(), "INKCARTSPACE");
    EXPECT_FALSE(model->control("m_tfFrontMin")->editable);
    EXPECT_EQ(model->title(), "Orvin Toolbox");
    EXPECT_TRUE(model->removedTabs().empty());
    EXPECT_TRUE(model->initialised());
    EXPECT_FALSE(model->applyEnabled());
    EXPECT_TRUE(device.writes().empty());
}

TEST_F(OrvinToolbox, ThePaperSizeIsTheFirstRowWithinOneOfTheDevicesSize) {
    struct Case { const char* width; const char* height; int index; };
    const Case cases[] = {{"171", "219", 0}, {"169", "221", 0}, {"172", "220", 17}, {"160", "220", 12},
                          {"100", "100", 17}, {"165", "235", 4}, {"240", "239", 15}, {"0", "0", 17}};
    for (const Case& c : cases) {
        device.set("variables", "FORMWIDTH", c.width);
        device.set("variables", "FORMHEIGHT", c.height);
        loaded();
        EXPECT_EQ(index("m_cbPaperSize"), c.index) << c.width << " x " << c.height;
    }
}

TEST_F(OrvinToolbox, DeviceWordsSelectTheirItemsAndOthersTheDefault) {
    struct Case { const char* variable; const char* list; const char* value; const char* control; int index; };
    const Case cases[] = {
        {"QUALITY", "variables", "DRAFT", "m_cbQuality", 0},          {"QUALITY", "variables", "FINE", "m_cbQuality", 1},
        {"BRAILLEDOTS", "variables", "6", "m_cbBrailleDots", 0},      {"BRAILLEDOTS", "variables", "9", "m_cbBrailleDots", 0},
        {"GRAPHICS", "variables", "OFF", "m_cbGraphics", 0},          {"BRAILLEFORCE", "variables", "HEAVY", "m_cbBrailleForce", 0},
        {"BRAILLEFORCE", "variables", "MEDIUM", "m_cbBrailleForce", 1}, {"DUPLEXMODE", "variables", "SHORTEDGE", "m_cbDuplex", 1},
        {"MEDIATYPE", "legacy", "CARDSTOCK", "m_cbLegacyMediaType", 4}, {"MEDIATYPE", "legacy", "CUSTOM", "m_cbLegacyMediaType", 5},
        {"MEDIATYPE", "legacy", "VELLUM", "m_cbLegacyMediaType", 5},
    };
    for (const Case& c : cases) {
        ScriptedEmbosser fresh;
        fresh.set(c.list, c.variable, c.value);
        ToolboxModel m(orvinFamily(), fresh.exchange());
        ASSERT_TRUE(m.load({ScriptedEmbosser::queue()}));
        EXPECT_EQ(m.control(c.control)->index, c.index) << c.variable << "=" << c.value;
    }
}

TEST_F(OrvinToolbox, TableNumbersShowOneHigherWithinTheirRange) {
    struct Case { const char* device; const char* shown; };
    for (const Case& c : {Case{"0", "1"}, Case{"3", "4"}, Case{"6", "7"}, Case{"7", "1"}, Case{"12", "1"}, Case{"n/a", "1"}}) {
        device.set("variables", "TABLE", c.device);
        loaded();
        EXPECT_EQ(text("m_tfTable"), c.shown) << c.device;
    }
}

TEST_F(OrvinToolbox, FlagsShowTheirTwoLowBits) {
    struct Case { const char* flags; bool tunes; bool tearOff; };
    for (const Case& c : {Case{"12", false, false}, Case{"13", true, false}, Case{"14", false, true}, Case{"3", true, true}}) {
        device.set("variables", "FLAGS", c.flags);
        loaded();
        EXPECT_EQ(checked("m_ckTunes"), c.tunes) << c.flags;
        EXPECT_EQ(checked("m_ckTearOff"), c.tearOff) << c.flags;
    }
}

TEST_F(OrvinToolbox, CartridgeHealthAndFillState) {
    struct Case { const char* health; const char* level; const char* shownHealth; const char* shownFill; };
    const Case cases[] = {{"4095", "82", "OK", "82 %"}, {"0", "50", "Missing", "0 %"}, {"17", "40", "Damaged", "40 %"},
                          {"4096", "9", "Damaged", "9 %"}};
    for (const Case& c : cases) {
        device.set("status", "INKHEALTH1", c.health);
        device.set("status", "INKLEVEL1", c.level);
        loaded();
        EXPECT_EQ(text("m_lbHealth1"), c.shownHealth) << c.health;
        EXPECT_EQ(text("m_lbFillState1"), c.shownFill) << c.health;
        EXPECT_EQ(text("m_lbHealth0"), "OK");
    }
}

TEST_F(OrvinToolbox, WithoutAnInkModuleItsTabGoesAndItsControlsStayAsLaidOut) {
    device.set("versions", "SIAFW", "0");
    loaded();
    EXPECT_EQ(model->removedTabs(), std::vector<int>{5});
    for (const char* name : {"m_lbInkFW", "m_lbInkSN", "m_lbHealth0", "m_lbFillState1", "m_tfInkTop", "m_tfInkCartSpace"}) {
        EXPECT_FALSE(model->control(name)->assigned) << name;
        EXPECT_EQ(text(name), "") << name;
    }
    // The empty ink fields are not written over the device's values.
    model->setText("m_tfTopMargin", "0.5\"");
    EXPECT_EQ(applied(), "@PJL DEFAULT TOPMARGIN=10\n");
}

TEST_F(OrvinToolbox, LengthsAreReadAsDecimalInchesAndTruncated) {
    struct Case { const char* typed; const char* sent; };
    const Case cases[] = {{"8.25\"", "165"}, {"8.26\"", "165"}, {"8.3", "166"}, {"11.7\"", "234"},
                          {".35\"", "7"},    {"abc", "0"},      {"9 inches", "180"}, {"1e99", "20"}};
    for (const Case& c : cases) {
        loaded();
        model->setText("m_tfTopMargin", c.typed);
        EXPECT_EQ(applied(), std::string("@PJL DEFAULT TOPMARGIN=") + c.sent + "\n") << c.typed;
    }
    loaded();
    model->setText("m_tfTopMargin", "0.26\""); // 5.2 is still 5
    EXPECT_EQ(applied(), "");
}

TEST_F(OrvinToolbox, TableEntriesBelowOneOrAboveSevenWriteZero) {
    struct Case { const char* device; const char* typed; const char* sent; };
    const Case cases[] = {{"3", "4", ""}, {"3", "5", "@PJL DEFAULT TABLE=4\n"}, {"3", "9", "@PJL DEFAULT TABLE=0\n"},
                          {"3", "0", "@PJL DEFAULT TABLE=0\n"}, {"0", "9", ""}, {"0", "x", ""}, {"3", "7", "@PJL DEFAULT TABLE=6\n"}};
    for (const Case& c : cases) {
        device.set("variables", "TABLE", c.device);
        loaded();
        model->setText("m_tfTable", c.typed);
        EXPECT_EQ(applied(), c.sent) << c.device << " / " << c.typed;
    }
}

TEST_F(OrvinToolbox, FlagsKeepTheirOtherBits) {
    struct Case { const char* device; bool tunes; bool tearOff; const char* sent; };
    const Case cases[] = {{"12", true, true, "@PJL DEFAULT FLAGS=15\n"}, {"12", false, false, ""},
                          {"15", false, true, "@PJL DEFAULT FLAGS=14\n"}, {"13", true, false, ""},
                          {"1", false, false, "@PJL DEFAULT FLAGS=0\n"}};
    for (const Case& c : cases) {
        device.set("variables", "FLAGS", c.device);
        loaded();
        model->setChecked("m_ckTunes", c.tunes);
        model->setChecked("m_ckTearOff", c.tearOff);
        EXPECT_EQ(applied(), c.sent) << c.device;
    }
}

TEST_F(OrvinToolbox, ChoicesAndBoxesWriteTheirWords) {
    struct Case { const char* control; int index; const char* sent; };
    const Case cases[] = {
        {"m_cbQuality", 0, "QUALITY=DRAFT"},           {"m_cbQuality", 1, "QUALITY=STANDARD"},
        {"m_cbBrailleDots", 0, "BRAILLEDOTS=6"},        {"m_cbGraphics", 0, "GRAPHICS=OFF"},
        {"m_cbBrailleForce", 0, "BRAILLEFORCE=HEAVY"},  {"m_cbBrailleForce", 1, "BRAILLEFORCE=NORMAL"},
        {"m_cbDuplex", 1, "DUPLEXMODE=LONGEDGE"},       {"m_cbLegacyMediaType", 0, "MEDIATYPE=BRAILLE"},
        {"m_cbLegacyMediaType", 4, "MEDIATYPE=CARDSTOCK"}, {"m_cbLegacyMediaType", 5, "MEDIATYPE=CUSTOM"},
    };
    for (const Case& c : cases) {
        loaded();
        model->setIndex(c.control, c.index);
        EXPECT_EQ(applied(), std::string("@PJL DEFAULT ") + c.sent + "\n") << c.control << " " << c.index;
    }
    struct Box { const char* control; bool on; const char* sent; };
    for (const Box& b : {Box{"m_ckAutoCr", true, "AUTOCR=ON"}, Box{"m_ckDHCP", true, "DHCP=ON"},
                         Box{"m_ckPrimaryCarriage", false, "PRIMARYCARRIAGE=0"}}) {
        loaded();
        model->setChecked(b.control, b.on);
        EXPECT_EQ(applied(), std::string("@PJL DEFAULT ") + b.sent + "\n") << b.control;
    }
}

TEST_F(OrvinToolbox, ApplySendsOnlyWhatDiffersInTableOrder) {
    loaded();
    EXPECT_EQ(applied(), ""); // straight after loading
    EXPECT_FALSE(model->applyEnabled());

    model->setText("m_tfInkTop", "15");
    model->setText("m_tfGateway", "10.1.0.254");
    model->setIndex("m_cbQuality", 0);
    model->setText("m_tfLeftMargin", "1.0\"");
    model->setText("m_tfRightMargin", "0.5\"");
    model->setText("m_tfRightMargin", "0.15\""); // changed back
    model->setChecked("m_ckAutoCr", true);
    EXPECT_TRUE(model->applyEnabled());
    EXPECT_EQ(applied(), "@PJL DEFAULT LEFTMARGIN=20\n@PJL DEFAULT AUTOCR=ON\n@PJL DEFAULT QUALITY=DRAFT\n"
                         "@PJL DEFAULT GATEWAY=10.1.0.254\n@PJL DEFAULT INKTOPMARGIN=15\n");
    EXPECT_FALSE(model->applyEnabled());
    // The lists now hold what was written, so a second Apply has nothing to send.
    EXPECT_EQ(model->getValue("LEFTMARGIN"), "20");
    model->setText("m_tfLeftMargin", "1.0\"");
    EXPECT_EQ(applied(), "");
    EXPECT_EQ(device.writes().size(), 1u);
}

TEST_F(OrvinToolbox, ValuesWithBlanksGoOutUnquotedThroughApply) {
    loaded();
    model->setText("m_tfGateway", "two words");
    EXPECT_EQ(applied(), "@PJL DEFAULT GATEWAY=two words\n");
}

// A refused change is not a change: the control keeps its state and Apply stays disabled.
TEST_F(OrvinToolbox, RefusedChangesAlterNothing) {
    loaded();
    const int names = int(device.list("variables").size());
    struct Case { const char* what; std::function<ChangeResult(ToolboxModel&)> change; const char* control; };
    const Case cases[] = {
        {"read-only field", [](ToolboxModel& m) { return m.setText("m_tfStatus", "x"); }, "m_tfStatus"},
        {"label", [](ToolboxModel& m) { return m.setText("m_lbHealth0", "x"); }, "m_lbHealth0"},
        {"unknown field", [](ToolboxModel& m) { return m.setText("m_tfNoSuchField", "x"); }, nullptr},
        {"text field checked", [](ToolboxModel& m) { return m.setChecked("m_tfTable", true); }, "m_tfTable"},
        {"paper size past the list", [](ToolboxModel& m) { return m.setIndex("m_cbPaperSize", 18); }, "m_cbPaperSize"},
        {"quality past the layout's three", [](ToolboxModel& m) { return m.setIndex("m_cbQuality", 3); }, "m_cbQuality"},
        {"name past the list", [names](ToolboxModel& m) { return m.setIndex("m_cbPjlNames", names); }, "m_cbPjlNames"},
        {"line feed typed", [](ToolboxModel& m) { return m.setText("m_tfGateway", "1.2.3.4\n@PJL DEFAULT SERIALNUMBER=X"); },
         "m_tfGateway"},
        {"carriage return typed", [](ToolboxModel& m) { return m.setText("m_tfPjlValue", "a\rb"); }, "m_tfPjlValue"},
    };
    for (const Case& c : cases) {
        const ControlState before = c.control ? *model->control(c.control) : ControlState{};
        EXPECT_FALSE(c.change(*model).known) << c.what;
        if (!c.control) continue;
        const ControlState& after = *model->control(c.control);
        EXPECT_TRUE(after.text == before.text && after.index == before.index && after.checked == before.checked) << c.what;
    }
    EXPECT_EQ(text("m_tfGateway"), "10.1.0.1");
    EXPECT_FALSE(model->applyEnabled());
}

TEST_F(OrvinToolbox, ApplyFollowsOnlyReportedChangesAfterLoading) {
    ToolboxModel fresh(orvinFamily(), device.exchange());
    EXPECT_FALSE(fresh.setText("m_tfPaperWidth", "9\"").applyEnabled); // before the load
    EXPECT_FALSE(fresh.setIndex("m_cbPjlNames", 0).known); // no names before the load
    loaded();
    model->setIndex("m_cbMediaMediaType", 5);
    model->apply(); // the media kind itself enabled Apply; nothing differed
    const ChangeResult minimum = model->setText("m_tfFrontMin", "99");
    EXPECT_TRUE(minimum.known);
    EXPECT_FALSE(minimum.applyEnabled); // the limits report no changes
    EXPECT_TRUE(model->setChecked("m_ckTearOff", true).applyEnabled);
    EXPECT_EQ(applied(), "@PJL DEFAULT CUSTOMMEDIAMIN=99\n@PJL DEFAULT FLAGS=14\n");
}

TEST_F(OrvinToolbox, PaperSizeChoiceFillsWidthAndHeight) {
    loaded();
    const ChangeResult result = model->setIndex("m_cbPaperSize", 11);
    EXPECT_TRUE(result.applyEnabled);
    EXPECT_EQ(result.changed, (std::vector<std::string>{"m_tfPaperHeight", "m_tfPaperWidth"}));
    EXPECT_EQ(text("m_tfPaperWidth"), "7.2\"");
    EXPECT_EQ(text("m_tfPaperHeight"), "10.1\"");
    EXPECT_EQ(applied(), "@PJL DEFAULT FORMWIDTH=144\n@PJL DEFAULT FORMHEIGHT=202\n");
    model->setIndex("m_cbPaperSize", 17);
    EXPECT_EQ(text("m_tfPaperWidth"), "0\"");
    EXPECT_EQ(applied(), ""); // a custom size nobody measured writes no 0 x 0
    EXPECT_TRUE(model->setIndex("m_cbPaperSize", -1).changed.empty());
}

TEST_F(OrvinToolbox, MediaKindShowsItsLimitsAndOnlyCustomIsEditableAndWritten) {
    struct Case { int index; const char* min; const char* max; bool editable; };
    const Case cases[] = {{0, "121", "181", false}, {1, "91", "119", false}, {2, "61", "89", false},
                          {3, "92", "118", false},  {4, "161", "249", false}, {5, "101", "159", true}};
    loaded();
    for (const Case& c : cases) {
        const ChangeResult result = model->setIndex("m_cbMediaMediaType", c.index);
        EXPECT_EQ(text("m_tfFrontMin"), c.min) << c.index;
        EXPECT_EQ(text("m_tfFrontMax"), c.max) << c.index;
        EXPECT_EQ(model->control("m_tfFrontMax")->editable, c.editable) << c.index;
        EXPECT_EQ(model->setText("m_tfFrontMax", "200").known, c.editable) << c.index;
        EXPECT_FALSE(result.changed.empty());
    }
    EXPECT_EQ(applied(), "@PJL DEFAULT CUSTOMMEDIAMAX=200\n");
    model->setIndex("m_cbMediaMediaType", 0);
    EXPECT_EQ(applied(), ""); // the custom pair is written only while custom is chosen
}

TEST_F(OrvinToolbox, ChoosingAVariableNameShowsItsValue) {
    loaded();
    model->setIndex("m_cbPjlNames", 4);
    EXPECT_EQ(text("m_tfPjlValue"), "10.1.2.3");
    EXPECT_TRUE(model->applyEnabled());
}

TEST_F(OrvinToolbox, TheSetterWritesOneVariableAndRefusesIdentities) {
    struct Case { int index; const char* value; std::optional<std::string> request; };
    const Case cases[] = {
        {6, "10.1.0.9", UEL + "@PJL DEFAULT GATEWAY=10.1.0.9\n"},
        {6, "two words", UEL + "@PJL DEFAULT GATEWAY=\"two words\"\n"},
        {0, "Orvin 300", std::nullopt}, // MODEL
        {1, "X", std::nullopt},          // SERIALNUMBER
        {2, "X", std::nullopt},          // MACPHY
        {-1, "X", std::nullopt},         // nothing chosen
        {6, "a\n@PJL DEFAULT SERIALNUMBER=X", std::nullopt},
    };
    for (const Case& c : cases) {
        ScriptedEmbosser fresh;
        ToolboxModel m(orvinFamily(), fresh.exchange());
        ASSERT_TRUE(m.load({ScriptedEmbosser::queue()}));
        m.setIndex("m_cbPjlNames", c.index);
        m.controlSet().setText("m_tfPjlValue", c.value); // typed, as a window would hand it over
        EXPECT_EQ(m.setSelectedVariable().request, c.request) << c.index << " " << c.value;
        EXPECT_EQ(fresh.writes(), c.request ? std::vector<std::string>{*c.request} : std::vector<std::string>{});
        EXPECT_EQ(m.getValue("GATEWAY"), "10.1.0.1"); // the lists stay as loaded
    }
}

TEST_F(OrvinToolbox, SensorsFollowTheReplyOrder) {
    loaded();
    model->controlSet().setText("m_tfSensors", "old");
    EXPECT_TRUE(model->readSensors().ok());
    EXPECT_EQ(text("m_tfSensors"), "\r\nCarriage Temperature: 29\u00b0C\r\nFront Paper Flag: 1, Housing: OPEN, Back Paper Flag: 0");

    device.refuse("sensors", 10);
    model->controlSet().setText("m_tfSensors", "old");
    EXPECT_EQ(model->readSensors().status, brelmont::printer::ExchangeStatus::NotUnderstood);
    EXPECT_EQ(text("m_tfSensors"), "old");
    EXPECT_EQ(device.sent(UEL + "@PJL INFO SENSORS\n"), 11);
}

TEST_F(OrvinToolbox, FillStateResetNamesTheCartridgeOfTheTag) {
    loaded();
    struct Case { int tag; const char* request; };
    for (const Case& c : {Case{0, "0;"}, Case{1, "1;"}, Case{7, "0;"}}) {
        const std::string expected = UEL + "\x1b%Pinkjet.clearnozzlecount " + c.request;
        EXPECT_EQ(model->resetFillState(c.tag).request, expected);
        EXPECT_EQ(device.writes().back(), expected);
    }
}

TEST_F(OrvinToolbox, ARefusedReplyIsAskedAgainUpToTenTimes) {
    device.refuse("variables", 2);
    loaded();
    EXPECT_EQ(device.sent(InfoVariables), 3);
    EXPECT_EQ(text("m_tfModelNumber"), "Orvin 200");
    EXPECT_EQ(device.requests().size(), 6u); // 3 + versions, status, legacy
}

TEST_F(OrvinToolbox, ALoadWithAnEmptyListFailsAndWritesNothing) {
    struct Case { const char* query; bool miscount; int refusals; int sends; };
    // The load stops at the failing query: those after it are not asked.
    const Case cases[] = {{"variables", false, 10, 10}, {"legacy", false, 10, 13}, {"status", true, 0, 3}, {"versions", true, 0, 2}};
    for (const Case& c : cases) {
        ScriptedEmbosser fresh;
        if (c.miscount) fresh.miscount(c.query);
        fresh.refuse(c.query, c.refusals);
        ToolboxModel m(orvinFamily(), fresh.exchange());
        EXPECT_FALSE(m.load({ScriptedEmbosser::queue()})) << c.query;
        EXPECT_TRUE(m.mustDismiss());
        EXPECT_FALSE(m.initialised());
        EXPECT_EQ(m.title(), "");
        EXPECT_EQ(fresh.requests().size(), size_t(c.sends)) << c.query;
        EXPECT_FALSE(m.control("m_tfModelNumber")->assigned);
        m.setText("m_tfPaperWidth", "1\"");
        EXPECT_EQ(m.apply().request, std::nullopt);
        EXPECT_EQ(m.ok().request, std::nullopt);
        EXPECT_TRUE(fresh.writes().empty());
    }
}

TEST_F(OrvinToolbox, TheFirstConnectedQueueOfTheModelIsUsed) {
    const PrinterItem ivra = ScriptedEmbosser::queue(221203, "Ivra");
    PrinterItem unplugged = ScriptedEmbosser::queue(221201, "Unplugged");
    unplugged.connected = false;
    const PrinterItem first = ScriptedEmbosser::queue(221201, "First");
    const PrinterItem second = ScriptedEmbosser::queue(221201, "Second");
    ToolboxModel m(orvinFamily(), device.exchange());
    ASSERT_TRUE(m.load({ivra, unplugged, first, second}));
    EXPECT_EQ(m.printer()->name, "First");
    EXPECT_EQ(m.control("m_tfPrinterName")->text, "First");

    ScriptedEmbosser untouched;
    ToolboxModel none(orvinFamily(), untouched.exchange());
    EXPECT_FALSE(none.load({ivra, unplugged}));
    EXPECT_TRUE(none.mustDismiss());
    EXPECT_TRUE(untouched.requests().empty());
}

TEST_F(OrvinToolbox, IvraIsTheSameWindowForItsOwnModel) {
    ToolboxModel m(ivraFamily(), device.exchange());
    EXPECT_FALSE(m.load({ScriptedEmbosser::queue(221201)}));
    ToolboxModel ivra(ivraFamily(), device.exchange());
    ASSERT_TRUE(ivra.load({ScriptedEmbosser::queue(221201), ScriptedEmbosser::queue(221203, "Colour")}));
    EXPECT_EQ(ivra.title(), "Orvin Toolbox");
    EXPECT_EQ(ivra.control("m_tfPrinterName")->text, "Colour");
    EXPECT_EQ(ivra.controls().size(), ToolboxModel(orvinFamily(), {}).controls().size());
}

TEST_F(OrvinToolbox, OkAppliesOnlyWhenApplyIsEnabled) {
    loaded();
    model->setText("m_tfTopMargin", "1\"");
    EXPECT_EQ(model->ok().request, UEL + "@PJL DEFAULT TOPMARGIN=20\n@PJL SERVICE UPDATE\n");
    EXPECT_TRUE(model->mustDismiss());
    loaded();
    model->setText("m_tfFrontMin", "1"); // not editable, and would not enable Apply
    EXPECT_EQ(model->ok().request, std::nullopt);
}

// A write that did not reach the device leaves nothing marked as written: Apply stays enabled,
// OK keeps the window, and the next Apply sends the same request again.
TEST_F(OrvinToolbox, AWriteThatFailedStaysTheUsersChange) {
    loaded();
    model->setText("m_tfTopMargin", "1\"");
    device.fail(brelmont::printer::ExchangeStatus::NotAttached);
    const WriteResult failed = model->ok();
    EXPECT_TRUE(failed.failed());
    EXPECT_EQ(failed.outcome.status, brelmont::printer::ExchangeStatus::NotAttached);
    EXPECT_FALSE(model->mustDismiss());
    EXPECT_TRUE(model->applyEnabled());
    EXPECT_EQ(model->getValue("TOPMARGIN"), "5");
    EXPECT_EQ(applied(), "@PJL DEFAULT TOPMARGIN=20\n");
    EXPECT_EQ(model->getValue("TOPMARGIN"), "20");
    EXPECT_FALSE(model->applyEnabled());
}

// Only controls the user changed are written: a device value the window cannot show (TABLE 9,
// DUPLEXMODE SHORTEDGE) stays as it is; a custom paper size nobody measured writes no 0 x 0.
TEST_F(OrvinToolbox, OnlyWhatTheUserChangedIsWritten) {
    device.set("variables", "TABLE", "9");
    device.set("variables", "DUPLEXMODE", "SHORTEDGE");
    loaded();
    model->setChecked("m_ckAutoCr", !checked("m_ckAutoCr"));
    EXPECT_EQ(applied(), std::string("@PJL DEFAULT AUTOCR=") + (checked("m_ckAutoCr") ? "ON" : "OFF") + "\n");

    model->setIndex("m_cbPaperSize", 17); // Custom
    const WriteResult custom = model->apply();
    EXPECT_EQ(custom.request, std::nullopt);
    EXPECT_EQ(custom.notes.size(), 2u);
    EXPECT_EQ(model->getValue("FORMWIDTH"), "170");
}

TEST(ToolboxFamilies, TheChoiceOrderAndWhichFamiliesHaveDescriptions) {
    struct Row { int64_t code; const char* window; const char* controller; bool described; };
    const Row rows[] = {
        {80803, "fennickToolboxWindowController", "FennickToolboxViewController", false},
        {20802, "tessalineToolboxWindowController", "TessalineToolboxViewController", true},
        {121201, "valdoToolboxWindowController", "ValdoToolboxViewController", false},
        {131201, "merridenToolboxWindowController", "MerridenToolboxViewController", false},
        {221201, "orvinToolboxWindowController", "OrvinToolboxViewController", true},
        {221203, "ivraToolboxWindowController", "IvraToolboxViewController", true},
    };
    const auto& families = toolboxFamilies();
    ASSERT_EQ(families.size(), std::size(rows));
    for (size_t i = 0; i < families.size(); ++i) {
        EXPECT_EQ(families[i].modelCode, rows[i].code);
        EXPECT_EQ(families[i].windowIdentifier, rows[i].window);
        EXPECT_EQ(families[i].controllerName, rows[i].controller);
        EXPECT_EQ(families[i].description != nullptr, rows[i].described) << rows[i].window;
        if (families[i].description) {
            EXPECT_EQ(families[i].description->modelCode, rows[i].code);
        }
        EXPECT_EQ(familyForModel(rows[i].code), &families[i]);
    }
    EXPECT_EQ(familyForModel(221202), nullptr);
    // A Fennick and an Orvin attached: the Fennick comes first.
    const auto fennickAndOrvin = [](int64_t code) { return code == 221201 || code == 80803; };
    EXPECT_EQ(chooseToolbox(fennickAndOrvin)->modelCode, 80803);
    EXPECT_EQ(chooseToolbox([](int64_t code) { return code == 221203; })->modelCode, 221203);
    EXPECT_EQ(chooseToolbox([](int64_t) { return false; }), nullptr);
}

TEST(ToolboxConversions, LengthsShowAsTheShortestDecimalWithAFraction) {
    struct Case { int64_t value; const char* text; };
    for (const Case& c : {Case{170, "8.5"}, Case{220, "11.0"}, Case{165, "8.25"}, Case{0, "0.0"}, Case{3, "0.15"},
                          Case{1, "0.05"}, Case{4000000000000000000, "200000000000000000.0"}})
        EXPECT_EQ(conv::unitsToInches(c.value, 20), c.text) << c.value;
}

// A length shown and read back unchanged is the device's number again, so Apply leaves it alone
// (0.29" in hundredths is 28.999999999999996 in binary before truncation).
TEST(ToolboxConversions, AShownLengthReadsBackAsTheSameNumber) {
    for (const int divisor : {20, 100, 720}) {
        ControlSet controls({{"m_tfLength", ControlKind::TextField}});
        const Conversion length = conv::length(divisor);
        int wrong = 0;
        for (int64_t units = 0; units <= 20000; ++units) {
            length.show(std::to_string(units), controls, "m_tfLength");
            if (*length.write(controls, "m_tfLength", "") != std::to_string(units)) ++wrong;
        }
        EXPECT_EQ(wrong, 0) << "1/" << divisor << " inch";
    }
}

} // namespace
