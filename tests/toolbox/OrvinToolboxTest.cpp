// The engine running the Orvin description against a scripted device: what each device value
// shows, what each change writes, and when the engine writes nothing.
#include "ScriptedEmbosser.h"

#include "toolbox/OrvinFamily.h"
#include "toolbox/ToolboxModel.h"

#include <gtest/gtest.h>

using namespace brelmont::toolbox;
using brelmont::printer::ExchangeStatus;
using brelmont::printer::PrinterItem;
using brelmont::testing::ScriptedEmbosser;

namespace {

const std::string UEL = "\x1b%-12345X";

// A control's state as one text: a choice its index, a box true or false, others their text.
std::string shown(const ControlState& c) {
    if (c.kind == ControlKind::ComboBox) return std::to_string(c.index);
    if (c.kind == ControlKind::CheckBox) return c.checked ? "true" : "false";
    return c.text;
}

// One device value: the query's list, the key and the value ("" key: the factory lists).
struct DeviceValue {
    const char* list = nullptr;
    const char* key = nullptr;
    const char* value = nullptr;
};

class OrvinToolbox : public ::testing::Test {
protected:
    ToolboxModel& loaded(const std::vector<DeviceValue>& values = {}) {
        device = ScriptedEmbosser();
        for (const DeviceValue& v : values) device.set(v.list, v.key, v.value);
        model = std::make_unique<ToolboxModel>(orvinFamily(), device.exchange());
        EXPECT_TRUE(model->load({ScriptedEmbosser::queue()}));
        return *model;
    }
    std::string text(const std::string& control) const { return model->control(control)->text; }
    // A change as the window hands it over: a choice's index, a box's state, a field's text.
    ChangeResult change(const std::string& control, const std::string& value) {
        const ControlKind kind = model->control(control) ? model->control(control)->kind : ControlKind::TextField;
        if (kind == ControlKind::ComboBox) return model->setIndex(control, std::stoi(value));
        if (kind == ControlKind::CheckBox) return model->setChecked(control, value == "true");
        return model->setText(control, value);
    }
    // The "@PJL DEFAULT" lines Apply sends, as one text; "" when it sends nothing.
    std::string applied() {
        const auto sent = model->apply().request;
        if (!sent) return "";
        const std::string end = "@PJL SERVICE UPDATE\n";
        EXPECT_TRUE(sent->starts_with(UEL) && sent->ends_with(end)) << *sent;
        EXPECT_EQ(device.writes().back(), *sent);
        return sent->substr(UEL.size(), sent->size() - UEL.size() - end.size());
    }

    ScriptedEmbosser device;
    std::unique_ptr<ToolboxModel> model;
};

TEST_F(OrvinToolbox, EachDeviceValueShowsInItsControl) {
    // clang-format off
    const struct { DeviceValue value; const char* control; std::string shown; } rows[] = {
        {{}, "m_tfIpAddr", "10.1.2.3"}, {{}, "m_tfRightMargin", "0.15\""}, {{}, "m_tfInkCartSpace", "530"}, {{}, "m_tfFrontMin", ""},
        {{}, "m_tfStatus", "CODE=10001 (ready)\r\nDISPLAY=\"READY TO EMBOSS\"\r\nINKHEALTH0=4095\r\nINKHEALTH1=4095\r\nINKLEVEL0=71\r\nINKLEVEL1=33\r\n"},
        {{}, "m_cbLegacyMediaType", "2"}, {{}, "m_cbGraphics", "1"}, {{}, "m_cbPjlNames", "-1"}, {{}, "m_ckPrimaryCarriage", "true"},
        // The paper size is the first row within one of the device's size.
        {{"variables", "FORMWIDTH", "171"}, "m_cbPaperSize", "0"}, {{"variables", "FORMWIDTH", "172"}, "m_cbPaperSize", "17"},
        {{"variables", "FORMWIDTH", "160"}, "m_cbPaperSize", "12"}, {{"variables", "FORMHEIGHT", "219"}, "m_cbPaperSize", "0"},
        // Device words select their items (the legacy list's too), others the default.
        {{"variables", "QUALITY", "DRAFT"}, "m_cbQuality", "0"}, {{"variables", "QUALITY", "FINE"}, "m_cbQuality", "1"},
        {{"legacy", "MEDIATYPE", "CARDSTOCK"}, "m_cbLegacyMediaType", "4"},
        // Table numbers show one higher within their range.
        {{"variables", "TABLE", "0"}, "m_tfTable", "1"}, {{"variables", "TABLE", "6"}, "m_tfTable", "7"}, {{"variables", "TABLE", "7"}, "m_tfTable", "1"},
        // The flags' two low bits.
        {{"variables", "FLAGS", "13"}, "m_ckTunes", "true"}, {{"variables", "FLAGS", "14"}, "m_ckTearOff", "true"},
        // Cartridge health and fill state.
        {{"status", "INKHEALTH1", "0"}, "m_lbHealth1", "Missing"}, {{"status", "INKHEALTH1", "0"}, "m_lbFillState1", "0 %"},
        {{"status", "INKHEALTH1", "4096"}, "m_lbHealth1", "Damaged"}, {{"status", "INKHEALTH1", "4095"}, "m_lbFillState1", "33 %"},
    };
    // clang-format on
    for (const auto& row : rows) {
        loaded(row.value.key ? std::vector{row.value} : std::vector<DeviceValue>{});
        EXPECT_EQ(shown(*model->control(row.control)), row.shown)
            << row.control << " " << (row.value.value ? row.value.value : "");
    }
    loaded();
    EXPECT_EQ(model->control("m_cbPjlNames")->items.size(), device.list("variables").size());
    EXPECT_TRUE(model->removedTabs().empty());
    EXPECT_FALSE(model->applyEnabled());
    EXPECT_TRUE(device.writes().empty());
}

TEST_F(OrvinToolbox, EachChangeWritesItsLine) {
    // clang-format off
    const struct { std::vector<DeviceValue> device; std::vector<std::pair<const char*, const char*>> changes; std::string sent; } rows[] = {
        // Lengths are read as decimal inches and truncated; 0.26" is 5.2 and still 5.
        {{}, {{"m_tfTopMargin", "8.26\""}}, "TOPMARGIN=165"}, {{}, {{"m_tfTopMargin", "8.3"}}, "TOPMARGIN=166"},
        {{}, {{"m_tfTopMargin", ".35\""}}, "TOPMARGIN=7"},    {{}, {{"m_tfTopMargin", "abc"}}, "TOPMARGIN=0"},
        {{}, {{"m_tfTopMargin", "9 inches"}}, "TOPMARGIN=180"}, {{}, {{"m_tfTopMargin", "1e99"}}, "TOPMARGIN=20"},
        {{}, {{"m_tfTopMargin", "0.26\""}}, ""}, {{}, {{"m_tfRightMargin", "0.5\""}, {"m_tfRightMargin", "0.15\""}}, ""},
        // Table entries below one or above seven write zero.
        {{{"variables", "TABLE", "3"}}, {{"m_tfTable", "4"}}, ""}, {{{"variables", "TABLE", "3"}}, {{"m_tfTable", "5"}}, "TABLE=4"},
        {{{"variables", "TABLE", "3"}}, {{"m_tfTable", "9"}}, "TABLE=0"}, {{{"variables", "TABLE", "3"}}, {{"m_tfTable", "0"}}, "TABLE=0"},
        {{{"variables", "TABLE", "0"}}, {{"m_tfTable", "x"}}, ""},
        // The flags keep their other bits.
        {{{"variables", "FLAGS", "12"}}, {{"m_ckTunes", "true"}, {"m_ckTearOff", "true"}}, "FLAGS=15"},
        {{{"variables", "FLAGS", "15"}}, {{"m_ckTunes", "false"}}, "FLAGS=14"},
        {{{"variables", "FLAGS", "1"}}, {{"m_ckTunes", "false"}}, "FLAGS=0"},
        // Choices and boxes write their words; a value with blanks goes out unquoted.
        {{}, {{"m_cbQuality", "0"}}, "QUALITY=DRAFT"},            {{}, {{"m_cbBrailleDots", "0"}}, "BRAILLEDOTS=6"},
        {{}, {{"m_cbGraphics", "0"}}, "GRAPHICS=OFF"},            {{}, {{"m_cbBrailleForce", "0"}}, "BRAILLEFORCE=HEAVY"},
        {{}, {{"m_cbDuplex", "1"}}, "DUPLEXMODE=LONGEDGE"},       {{}, {{"m_cbLegacyMediaType", "0"}}, "MEDIATYPE=BRAILLE"},
        {{}, {{"m_cbLegacyMediaType", "5"}}, "MEDIATYPE=CUSTOM"}, {{}, {{"m_ckAutoCr", "true"}}, "AUTOCR=ON"},
        {{}, {{"m_ckPrimaryCarriage", "false"}}, "PRIMARYCARRIAGE=0"}, {{}, {{"m_tfGateway", "two words"}}, "GATEWAY=two words"},
        // The custom media pair is written only while its kind is chosen.
        {{}, {{"m_cbMediaMediaType", "5"}, {"m_tfFrontMax", "200"}, {"m_cbMediaMediaType", "0"}}, ""},
        // A device value the window cannot show stays as it is.
        {{{"variables", "TABLE", "9"}, {"variables", "DUPLEXMODE", "SHORTEDGE"}}, {{"m_ckAutoCr", "true"}}, "AUTOCR=ON"},
    };
    // clang-format on
    for (const auto& row : rows) {
        loaded(row.device);
        for (const auto& [control, value] : row.changes) change(control, value);
        EXPECT_EQ(applied(), row.sent.empty() ? "" : "@PJL DEFAULT " + row.sent + "\n") << row.changes.front().second;
    }
}

// A refused change is not a change: the control keeps its state and Apply stays disabled.
TEST_F(OrvinToolbox, RefusedChangesAlterNothing) {
    loaded();
    const std::string names = std::to_string(device.list("variables").size());
    // clang-format off
    const std::pair<const char*, std::string> rows[] = {
        {"m_tfStatus", "x"}, {"m_lbHealth0", "x"}, {"m_tfNoSuchField", "x"}, {"m_cbPaperSize", "18"}, {"m_cbQuality", "3"},
        {"m_cbPjlNames", names}, {"m_tfGateway", "1.2.3.4\n@PJL DEFAULT SERIALNUMBER=X"}, {"m_tfPjlValue", "a\rb"},
    };
    // clang-format on
    for (const auto& [control, value] : rows) {
        const ControlState before = model->control(control) ? *model->control(control) : ControlState{};
        EXPECT_FALSE(change(control, value).known) << control;
        if (model->control(control)) { EXPECT_EQ(shown(*model->control(control)), shown(before)) << control; }
    }
    EXPECT_FALSE(model->setChecked("m_tfTable", true).known);
    EXPECT_FALSE(model->applyEnabled());

    ToolboxModel fresh(orvinFamily(), device.exchange());
    EXPECT_FALSE(fresh.setText("m_tfPaperWidth", "9\"").applyEnabled); // before the load
    EXPECT_FALSE(fresh.setIndex("m_cbPjlNames", 0).known);
    // Choosing which limits to show, or typing back the embosser's own value, leaves nothing to apply.
    EXPECT_FALSE(change("m_cbMediaMediaType", "5").applyEnabled);
    EXPECT_FALSE(change("m_tfGateway", "10.1.0.1").applyEnabled);
    const ChangeResult minimum = change("m_tfFrontMin", "99");
    EXPECT_TRUE(minimum.known);
    EXPECT_TRUE(minimum.applyEnabled); // no change notice, but the value differs from the one loaded
    EXPECT_TRUE(change("m_ckTearOff", "true").applyEnabled);
    EXPECT_EQ(applied(), "@PJL DEFAULT CUSTOMMEDIAMIN=99\n@PJL DEFAULT FLAGS=14\n");
}

TEST_F(OrvinToolbox, CustomPaperAndMediaKinds) {
    loaded();
    const ChangeResult paper = change("m_cbPaperSize", "11");
    EXPECT_EQ(paper.changed, (std::vector<std::string>{"m_tfPaperHeight", "m_tfPaperWidth"}));
    EXPECT_EQ(text("m_tfPaperWidth") + " " + text("m_tfPaperHeight"), "7.2\" 10.1\"");
    EXPECT_TRUE(change("m_cbPaperSize", "-1").changed.empty());
    // A custom size nobody measured writes no 0 x 0, and says so.
    loaded();
    change("m_cbPaperSize", "17");
    const WriteResult custom = model->apply();
    EXPECT_EQ(custom.request, std::nullopt);
    EXPECT_EQ(custom.notes.size(), 2u);
    EXPECT_EQ(model->getValue("FORMWIDTH"), "170");

    // A built-in media kind shows its limits and keeps them; a custom kind's are written
    // (EachChangeWritesItsLine, RefusedChangesAlterNothing).
    EXPECT_FALSE(change("m_cbMediaMediaType", "4").changed.empty());
    EXPECT_EQ(text("m_tfFrontMin") + "/" + text("m_tfFrontMax"), "161/249");
    EXPECT_FALSE(change("m_tfFrontMax", "200").known);
}

// The setter writes one variable, then the controls show what the embosser holds.
TEST_F(OrvinToolbox, TheSetterWritesOneVariableAndRefusesIdentities) {
    // clang-format off
    const struct { int index; const char* value; std::optional<std::string> request; } rows[] = {
        {6, "two words", UEL + "@PJL DEFAULT GATEWAY=\"two words\"\n"},
        {0, "Orvin 300", std::nullopt}, // MODEL
        {1, "X", std::nullopt},         // SERIALNUMBER
        {2, "X", std::nullopt},         // MACPHY
        {-1, "X", std::nullopt},        // nothing chosen
        {6, "a\n@PJL DEFAULT SERIALNUMBER=X", std::nullopt},
    };
    // clang-format on
    for (const auto& row : rows) {
        loaded();
        change("m_cbPjlNames", std::to_string(row.index));
        model->controlSet().setText("m_tfPjlValue", row.value); // typed, as a window would hand it over
        EXPECT_EQ(model->setSelectedVariable().request, row.request) << row.index << " " << row.value;
        EXPECT_EQ(device.writes(), row.request ? std::vector<std::string>{*row.request} : std::vector<std::string>{});
        // Read back after a write: the control shows what the embosser now holds.
        EXPECT_EQ(text("m_tfGateway"), row.request ? "two words" : "10.1.0.1");
    }
}

TEST_F(OrvinToolbox, SensorsAndTheFillStateReset) {
    loaded();
    device.refuse("sensors", 10);
    model->controlSet().setText("m_tfSensors", "old");
    EXPECT_EQ(model->readSensors().status, ExchangeStatus::NotUnderstood);
    EXPECT_EQ(text("m_tfSensors"), "old");
    for (const auto& [tag, cartridge] : {std::pair{0, "0;"}, {1, "1;"}, {7, "0;"}}) {
        EXPECT_EQ(model->resetFillState(tag).request, UEL + "\x1b%Pinkjet.clearnozzlecount " + cartridge);
        EXPECT_EQ(device.writes().back(), UEL + "\x1b%Pinkjet.clearnozzlecount " + cartridge);
    }
}

TEST_F(OrvinToolbox, WithoutAnInkModuleItsTabGoesAndItsEmptyFieldsAreNotWritten) {
    loaded({{"versions", "SIAFW", "0"}});
    EXPECT_EQ(model->removedTabs(), std::vector<int>{5});
    // The empty ink fields are not written over the device's values.
    change("m_tfTopMargin", "0.5\"");
    EXPECT_EQ(applied(), "@PJL DEFAULT TOPMARGIN=10\n");
}

TEST_F(OrvinToolbox, ARefusedReplyIsAskedAgainAndAnEmptyListFailsTheLoad) {
    // The load stops at the failing query: those after it are not asked; nothing is written.
    // clang-format off
    const struct { const char* query; bool miscount; int refusals; size_t sends; } rows[] = {
        {"variables", false, 10, 10}, {"legacy", false, 10, 13}, {"status", true, 0, 3}, {"versions", true, 0, 2}};
    for (const auto& row : rows) {
        ScriptedEmbosser fresh;
        if (row.miscount) fresh.miscount(row.query);
        fresh.refuse(row.query, row.refusals);
        ToolboxModel m(orvinFamily(), fresh.exchange());
        EXPECT_FALSE(m.load({ScriptedEmbosser::queue()})) << row.query;
        EXPECT_TRUE(m.mustDismiss());
        EXPECT_FALSE(m.initialised());
        EXPECT_EQ(fresh.requests().size(), row.sends) << row.query;
        EXPECT_FALSE(m.control("m_tfModelNumber")->assigned);
        m.setText("m_tfPaperWidth", "1\"");
        EXPECT_EQ(m.ok().request, std::nullopt);
        EXPECT_TRUE(fresh.writes().empty());
    }
}

TEST_F(OrvinToolbox, TheFirstConnectedQueueOfTheModelIsUsed) {
    const PrinterItem ivra = ScriptedEmbosser::queue(221203, "Ivra");
    PrinterItem unplugged = ScriptedEmbosser::queue(221201, "Unplugged");
    unplugged.connected = false;
    ToolboxModel m(orvinFamily(), device.exchange());
    ASSERT_TRUE(m.load({ivra, unplugged, ScriptedEmbosser::queue(221201, "First"), ScriptedEmbosser::queue(221201, "Second")}));
    EXPECT_EQ(m.control("m_tfPrinterName")->text, "First");
    ToolboxModel none(orvinFamily(), device.exchange());
    EXPECT_FALSE(none.load({ivra, unplugged}));
    EXPECT_TRUE(none.mustDismiss());
    EXPECT_EQ(device.requests().size(), 4u);
}

// A write that did not reach the device leaves nothing marked as written: Apply stays enabled,
// OK keeps the window, the next Apply sends it again. (OK with nothing to apply is the window's test.)
TEST_F(OrvinToolbox, OkAndAWriteThatFailed) {
    loaded();
    change("m_tfTopMargin", "1\"");
    device.fail(ExchangeStatus::NotAttached);
    const WriteResult failed = model->ok();
    EXPECT_EQ(failed.outcome.status, ExchangeStatus::NotAttached);
    EXPECT_FALSE(model->mustDismiss());
    EXPECT_TRUE(model->applyEnabled());
    EXPECT_EQ(model->getValue("TOPMARGIN"), "5");
    EXPECT_EQ(model->ok().request, UEL + "@PJL DEFAULT TOPMARGIN=20\n@PJL SERVICE UPDATE\n");
    EXPECT_TRUE(model->mustDismiss());
    EXPECT_EQ(model->getValue("TOPMARGIN"), "20");
    change("m_tfTopMargin", "0.25\""); // back to what was loaded, but no longer what the device has
    EXPECT_EQ(applied(), "@PJL DEFAULT TOPMARGIN=5\n");
}

// Written means read back: a value the embosser did not take is said, and its control shows the
// kept value; one it cannot be asked about afterwards is said too.
TEST_F(OrvinToolbox, ApplyReadsBackWhatItWrote) {
    loaded();
    device.keep("TOPMARGIN");
    change("m_tfTopMargin", "1\"");
    change("m_tfLeftMargin", "1\"");
    const WriteResult kept = model->apply();
    EXPECT_EQ(kept.notes, std::vector<std::string>{"The embosser kept 0.25\" for TOPMARGIN (1\" did not take)."});
    EXPECT_EQ(text("m_tfTopMargin"), "0.25\"");
    EXPECT_EQ(text("m_tfLeftMargin"), "1\"");
    EXPECT_FALSE(model->applyEnabled());

    change("m_tfLeftMargin", "0.5\"");
    device.refuse("variables", 10);
    const WriteResult unasked = model->apply();
    ASSERT_EQ(unasked.notes.size(), 1u);
    EXPECT_TRUE(unasked.notes[0].starts_with("The settings were sent, but the embosser could not be asked")) << unasked.notes[0];
    EXPECT_EQ(model->getValue("LEFTMARGIN"), "10");
}

// How lengths look is pinned by the shown values above; here the largest a device could report.
TEST(ToolboxConversions, LengthsShowAsTheShortestDecimalAndReadBackAsTheSameNumber) {
    EXPECT_EQ(conv::unitsToInches(4000000000000000000, 20), "200000000000000000.0");
    // 0.29" in hundredths is 28.999999999999996 in binary before truncation.
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

// clang-format on