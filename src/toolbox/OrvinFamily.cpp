// The Orvin toolbox: which control shows which variable, and how each is written back.
#include "toolbox/OrvinFamily.h"

#include "common/ModelCodes.h"
#include "toolbox/CommonRules.h"
#include "toolbox/FamilyParts.h"
#include "toolbox/ToolboxModel.h"

namespace brelmont::toolbox {

namespace {

using printer::firstInteger;
using namespace parts;

// The ink module is fitted unless its firmware version reads 0.
bool inkModuleFitted(const ToolboxModel& model) { return firstInteger(model.getValue("SIAFW")) != 0; }

// Without an ink module its tab goes; with one, the health and fill state of both cartridges.
void showInkModule(ToolboxModel& model) {
    if (!inkModuleFitted(model)) {
        model.removeTab(5);
        return;
    }
    for (const std::string c : {"0", "1"}) {
        const std::string health = model.getValue("INKHEALTH" + c);
        model.controlSet().setText("m_lbHealth" + c, health == "4095" ? "OK" : health == "0" ? "Missing" : "Damaged");
        model.controlSet().setText("m_lbFillState" + c, health == "0" ? "0 %" : model.getValue("INKLEVEL" + c) + " %");
    }
}

// "cbMediaMediaType": the limits of the chosen media kind; only the custom pair can be edited.
void showMediaKind(ToolboxModel& model, int index) {
    static const char* const prefixes[] = {"BRAILLEPAPER", "LIGHTBRAILLE", "COPYPAPER", "PREMIUMPAPER", "CARDSTOCK"};
    if (index < 0) return;
    const bool custom = index >= int(std::size(prefixes));
    const std::string prefix = custom ? "CUSTOM" : prefixes[index];
    rules::showMediaLimits(model, prefix + "MEDIAMIN", prefix + "MEDIAMAX", custom);
}

FamilyDescription makeOrvin() {
    FamilyDescription f = parts::fourListFamily(model::Orvin, "Orvin Toolbox", printer::pjl::Variables,
                                                {ListId::Variables, ListId::Versions, ListId::Legacy, ListId::Status});
    parts::append(f.controls, {
                                  {"m_cbDuplex", K::ComboBox, Notifies, true, {}, 2},
                                  {"m_cbBrailleForce", K::ComboBox, Notifies, true, {}, 3},
                                  {"m_tfTable", K::TextField, Notifies},
                                  {"m_cbGraphics", K::ComboBox, Notifies, true, {}, 2},
                                  {"m_ckAutoCr", K::CheckBox, Notifies},
                                  {"m_cbBrailleDots", K::ComboBox, Notifies, true, {}, 2},
                                  {"m_cbQuality", K::ComboBox, Notifies, true, {}, 3},
                                  {"m_cbLegacyMediaType", K::ComboBox, Notifies, true, {}, 6},
                                  {"m_lbInkFW", K::Label},
                                  {"m_lbInkSN", K::Label},
                                  {"m_tfFrontMin", K::TextField, false, ReadOnly},
                                  {"m_tfFrontMax", K::TextField, false, ReadOnly},
                                  {"m_cbMediaMediaType", K::ComboBox, Notifies, true, {}, 6},
                                  {"m_lbFillState1", K::Label},
                                  {"m_lbFillState0", K::Label},
                                  {"m_lbHealth1", K::Label},
                                  {"m_lbHealth0", K::Label},
                                  {"m_tfInkLeft", K::TextField, Notifies},
                                  {"m_tfInkSkew", K::TextField, Notifies},
                                  {"m_tfInkTop", K::TextField, Notifies},
                                  {"m_tfInkCartSpace", K::TextField, Notifies},
                                  {"m_ckTunes", K::CheckBox, Notifies},
                                  {"m_ckTearOff", K::CheckBox, Notifies},
                                  {"m_ckPrimaryCarriage", K::CheckBox, Notifies},
                              });
    parts::append(f.controls, parts::networkControls());
    // Shown only, then the 26 written settings in the order Apply writes them.
    f.settings = parts::identityRows("FWPRIMARY");
    parts::append(f.settings, {
                                  {"SIAFW", "m_lbInkFW", conv::shownText(), inkModuleFitted},
                                  {"SIASN", "m_lbInkSN", conv::shownText(), inkModuleFitted},
                              });
    parts::append(f.settings, parts::paperRowsInTwentieths());
    parts::append(f.settings,
                  {
                      {"EXTRALINESPACE", "m_tfExtraLineSpace", conv::length(20)},
                      {"AUTOCR", "m_ckAutoCr", conv::check("ON", "OFF")},
                      {"QUALITY", "m_cbQuality", conv::words({"DRAFT", "STANDARD", "BEST"}, 1, "STANDARD")},
                      {"BRAILLEDOTS", "m_cbBrailleDots", conv::words({"6", "8"}, 0, "8")},
                      {"GRAPHICS", "m_cbGraphics", conv::words({"OFF", "ON"}, 0, "ON")},
                      {"TABLE", "m_tfTable", conv::offsetNumber(1, 0, 6, "1")},
                      {"BRAILLEFORCE", "m_cbBrailleForce", conv::words({"HEAVY", "NORMAL", "LIGHT"}, 1, "NORMAL")},
                      {"DUPLEXMODE", "m_cbDuplex", conv::words({"SIMPLEX", "LONGEDGE"}, 1, "LONGEDGE")},
                      {"MEDIATYPE", "m_cbLegacyMediaType",
                       conv::words({"BRAILLE", "LIGHTBRAILLE", "PLAIN", "PREMIUM", "CARDSTOCK"}, 5, "CUSTOM")},
                      {"CUSTOMMEDIAMIN", "m_tfFrontMin", conv::whenIndexAtLeast("m_cbMediaMediaType", 5, conv::integerText())},
                      {"CUSTOMMEDIAMAX", "m_tfFrontMax", conv::whenIndexAtLeast("m_cbMediaMediaType", 5, conv::integerText())},
                  });
    parts::append(f.settings, parts::networkRows());
    parts::append(f.settings, {
                                  {"FLAGS", "m_ckTunes", conv::flagBits({"m_ckTunes", "m_ckTearOff"})},
                                  {"PRIMARYCARRIAGE", "m_ckPrimaryCarriage", conv::checkOne()},
                              });
    // The ink module's alignment to this embosser's braille.
    parts::append(f.settings, parts::ownedByTheUnit({
                                  {"INKLEFTMARGIN", "m_tfInkLeft", conv::text(), inkModuleFitted},
                                  {"INKSKEW", "m_tfInkSkew", conv::text(), inkModuleFitted},
                                  {"INKCARTSPACE", "m_tfInkCartSpace", conv::text(), inkModuleFitted},
                                  {"INKTOPMARGIN", "m_tfInkTop", conv::text(), inkModuleFitted},
                              }));
    f.inkCartridges = {{"1", "m_lbHealth0", "m_lbFillState0"}, {"2", "m_lbHealth1", "m_lbFillState1"}};
    f.sensorLabels = {
        {"PAPER0", "\r\nFront Paper Flag: ", ""},
        {"PAPER1", ", Back Paper Flag: ", ""},
        {"HOME0", "\r\nBottom Home Flag: ", ""},
        {"HOME1", ", Top Home Flag: ", ""},
        // On a line of its own: run on, it read "Top Home Flag: 1Front Alignment Sensor: ...".
        {"MPSEN0", "\r\nFront Alignment Sensor: ", ""},
        {"MPSEN1", ", Back Alignment Sensor: ", ""},
        {"TEMP0", "\r\nCarriage Temperature: ", "\u00b0C"},
        {"TEMP1", ", Carriage Temperature: ", "\u00b0C"},
        {"VSUPPLY", "\r\nSupply Voltage: ", ""},
        {"HOUSING", ", Housing: ", ""},
        {"SIASEN", ", TintBridge: ", ""},
    };
    f.comboActions = parts::paperAndVariableActions();
    f.comboActions.push_back({"m_cbMediaMediaType", showMediaKind});
    f.loadRules = parts::firstLoadRules("FORMWIDTH", "FORMHEIGHT");
    f.loadRules.push_back(showInkModule);
    return f;
}

} // namespace

const FamilyDescription& orvinFamily() {
    static const FamilyDescription orvin = makeOrvin();
    return orvin;
}

// The same window for the colour model; only the model code that picks the queue differs.
const FamilyDescription& ivraFamily() {
    static const FamilyDescription ivra = [] {
        FamilyDescription f = makeOrvin();
        f.modelCode = model::OrvinColorTintBridge;
        return f;
    }();
    return ivra;
}

} // namespace brelmont::toolbox
