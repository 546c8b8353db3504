// The Tessaline toolbox: which control shows which variable, and how each is written back.
#include "toolbox/TessalineFamily.h"

#include "common/ModelCodes.h"
#include "toolbox/CommonRules.h"
#include "toolbox/FamilyParts.h"
#include "toolbox/ToolboxModel.h"

#include <algorithm>

namespace brelmont::toolbox {

namespace {

using printer::firstInteger;
using namespace parts;

// m_cbTable: the embosser's tables 1 to 18 are items 0 to 17; item 18 is the user's table,
// number 0, which the install button downloads.
constexpr int BuiltInTables = 18;
constexpr int UserTableItem = BuiltInTables;

Conversion tableChoice() {
    return {
        [](std::string_view value, ControlSet& controls, std::string_view control) {
            const int64_t n = firstInteger(value);
            controls.setIndex(control, n >= 1 && n <= BuiltInTables ? int(n - 1) : UserTableItem);
        },
        [](const ControlSet& controls, std::string_view control, std::string_view) -> std::optional<std::string> {
            const int i = controls.index(control);
            return std::to_string(i >= 0 && i < BuiltInTables ? i + 1 : 0);
        },
        Compare::Text,
    };
}

// "cbBrailleTable": the install button serves the user's table only.
void enableTableInstall(ToolboxModel& model, int index) {
    model.controlSet().setEnabled("m_bnInstallTable", index >= UserTableItem);
}

void enableTableInstallOnLoad(ToolboxModel& model) { enableTableInstall(model, model.controlSet().index("m_cbTable")); }

// The media limits of m_cbMediaMediaType's items, each one variable holding upper × 256 + lower.
constexpr const char* MediaLimitVariables[] = {"BRAILLEMEDIA", "LIGHTBRAILLEMEDIA", "PLAINMEDIA", "CARDSTOCKMEDIA",
                                               "PREMIUMMEDIA", "SYNTHETICMEDIA",    "CUSTOMMEDIA"};
constexpr int CustomMediaItem = 6;

// "cbMediaMediaType": the two limits of the chosen kind; only the custom pair can be edited.
void showMediaLimits(ToolboxModel& model, int index) {
    if (index < 0) return;
    const int64_t v = firstInteger(model.getValue(MediaLimitVariables[std::min(index, CustomMediaItem)]));
    ControlSet& controls = model.controlSet();
    controls.setText("m_tfFrontMax", std::to_string(v / 256 % 256));
    controls.setText("m_tfFrontMin", std::to_string(v % 256));
    controls.setEditable("m_tfFrontMin", index >= CustomMediaItem);
    controls.setEditable("m_tfFrontMax", index >= CustomMediaItem);
}

// CUSTOMMEDIA from the two limit fields. A limit above one byte would spill into the other, so
// such a pair is refused instead.
Conversion packedLimits() {
    Conversion packed{
        nullptr,
        [](const ControlSet& controls, std::string_view, std::string_view) -> std::optional<std::string> {
            if (controls.index("m_cbMediaMediaType") < CustomMediaItem) return std::nullopt;
            const int64_t lower = firstInteger(controls.text("m_tfFrontMin"));
            const int64_t upper = firstInteger(controls.text("m_tfFrontMax"));
            return std::to_string(std::min<int64_t>(upper, 256) * 256 + std::min<int64_t>(lower, 256));
        },
        Compare::Text,
        {"m_tfFrontMax"},
    };
    packed.refuse = [](const ControlSet& controls, std::string_view) -> std::string {
        if (firstInteger(controls.text("m_tfFrontMin")) <= 255 && firstInteger(controls.text("m_tfFrontMax")) <= 255) return {};
        return "The custom media limits were not written: each must be a whole number from 0 to 255.";
    };
    return packed;
}

// SKEW: the device's text as it is, written back as a whole number with its sign (the skew
// leans either way).
Conversion skew() {
    Conversion c = conv::text();
    c.write = [](const ControlSet& controls, std::string_view control, std::string_view) -> std::optional<std::string> {
        const std::string typed = controls.text(control);
        const size_t start = typed.find_first_not_of(" \t");
        const bool negative =
            start != std::string::npos && (typed.compare(start, 1, "-") == 0 || typed.compare(start, 3, "\u2212") == 0);
        const int64_t n = firstInteger(typed);
        return std::to_string(negative && n > 0 ? -n : n);
    };
    return c;
}

FamilyDescription makeTessaline() {
    FamilyDescription f = parts::fourListFamily(model::Tessaline, "Tessaline Toolbox", printer::pjl::VariablesWithStatus,
                                                {ListId::Variables, ListId::Status, ListId::Versions, ListId::Legacy});
    parts::append(f.controls, {
                                  {"m_cbTable", K::ComboBox, Notifies, true, {}, BuiltInTables + 1},
                                  {"m_bnInstallTable", K::Button},
                                  {"m_cbBrailleForce", K::ComboBox, Notifies, true, {}, 3},
                                  {"m_cbGraphics", K::ComboBox, Notifies, true, {}, 2},
                                  {"m_ckAutoCr", K::CheckBox, Notifies},
                                  {"m_cbBrailleDots", K::ComboBox, Notifies, true, {}, 2},
                                  {"m_cbLegacyMediaType", K::ComboBox, Notifies, true, {}, 7},
                                  {"m_cbMediaMediaType", K::ComboBox, Notifies, true, {}, CustomMediaItem + 1},
                                  {"m_tfFrontMin", K::TextField, Notifies, ReadOnly},
                                  {"m_tfFrontMax", K::TextField, Notifies, ReadOnly},
                                  {"m_tfPrintSkew", K::TextField, Notifies},
                              });
    // Shown only, then the written settings in the order Apply writes them.
    f.settings = parts::identityRows("FIRMWARE");
    parts::append(f.settings, parts::paperRowsInTwentieths());
    parts::append(f.settings, {
                                  {"LINESPACING", "m_tfExtraLineSpace", conv::length(20)},
                                  {"AUTOCR", "m_ckAutoCr", conv::check("1", "0")},
                                  {"BRAILLEDOTS", "m_cbBrailleDots", conv::words({"6", "8"}, 0, "8")},
                                  {"GRAPHICS", "m_cbGraphics", conv::words({"0", "1"}, 0, "1")},
                                  {"TABLE", "m_cbTable", tableChoice()},
                                  {"BRAILLEFORCE", "m_cbBrailleForce", conv::words({"0", "1", "2"}, 1, "1")},
                                  {"MEDIATYPE", "m_cbLegacyMediaType", conv::words({"12", "13", "2", "11", "3", "15"}, 6, "30")},
                                  {"CUSTOMMEDIA", "m_tfFrontMin", packedLimits()},
                              });
    parts::append(f.settings, parts::ownedByTheUnit({{"SKEW", "m_tfPrintSkew", skew()}})); // this embosser's alignment
    f.sensorLabels = {
        {"HOMEFLAG", "Home Flag: ", ""},    {"GAPFLAG", ", Gap flag: ", ""},
        {"PAPER", ", Paper present: ", ""}, {"PAPERFLAG", ",\r\nOut of paper sensor: ", ""},
        {"PANEL", ", Panel buttons: ", ""}, {"SOLTEMPERATURE0", ",\r\nTemperature: ", "\u00b0C"},
    };
    f.comboActions = parts::paperAndVariableActions(); // the paper size's is "cbLegacyPaperSize"
    parts::append(f.comboActions,
                  {{"m_cbMediaMediaType", showMediaLimits}, {"m_cbTable", enableTableInstall}}); // "cbBrailleTable"
    f.loadRules = parts::firstLoadRules("FORMWIDTH", "FORMHEIGHT");
    f.loadRules.push_back(enableTableInstallOnLoad);
    // Whole numbers only, and the embosser keeps them at once.
    f.setter = [](const ToolboxModel&, std::string_view name, std::string_view value) -> std::optional<std::string> {
        return printer::pjl::setAndUpdateRequest(name, firstInteger(value));
    };
    f.tableSlots = {1, nullptr}; // the user's table is slot 0
    return f;
}

} // namespace

const FamilyDescription& tessalineFamily() {
    static const FamilyDescription tessaline = makeTessaline();
    return tessaline;
}

} // namespace brelmont::toolbox
