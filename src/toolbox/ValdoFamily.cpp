// The Valdo and Merriden toolboxes: settings as words, paper sides in 720ths of an inch, the
// edge clearance in hundredths, media limits in variables named by the media kind, and a
// variable's value asked of the embosser itself.
#include "toolbox/ValdoFamily.h"

#include "common/ModelCodes.h"
#include "printer/ParameterValue.h"
#include "toolbox/CommonRules.h"
#include "toolbox/FamilyParts.h"
#include "toolbox/ToolboxModel.h"

#include <cmath>

namespace brelmont::toolbox {

namespace {

using printer::firstDecimal;
using printer::firstInteger;
using namespace parts;

constexpr int MediaKinds = 16;
constexpr int FirstCustomKind = 6; // from here on the limits can be edited and are written

// The variable-name stem of media kind k's limits.
std::string limitPrefix(int k) {
    static const char* const named[] = {"BRAILLEPAPER", "LIGHTBRAILLE", "COPYPAPER", "PREMIUMPAPER",
                                        "CARDSTOCK",    "SYNTHETIC",    "CUSTOM"};
    if (k >= 0 && k <= FirstCustomKind) return named[k];
    if (k > FirstCustomKind && k < MediaKinds) return "CUSTOM" + std::to_string(k + 1);
    return named[0];
}

// One limit field and the ending of its variable, for the numbered custom kinds and the others.
struct LimitField {
    std::string_view control;
    std::string_view ending;         // kinds 0 to 6
    std::string_view numberedEnding; // kinds 7 and above
};

constexpr LimitField FrontLimits[] = {{"m_tfFrontMin", "MEDIAMIN", "MEDIAMINF"}, {"m_tfFrontMax", "MEDIAMAX", "MEDIAMAXF"}};
constexpr LimitField BackLimits[] = {{"m_tfBackMin", "MEDIAMINB", "MEDIAMINB"}, {"m_tfBackMax", "MEDIAMAXB", "MEDIAMAXB"}};

std::string limitVariable(const LimitField& field, int kind) {
    return limitPrefix(kind) + std::string(kind > FirstCustomKind ? field.numberedEnding : field.ending);
}

// "cbMediaMediaType": the chosen kind's limits, on both sides where the window has a back.
void showMediaLimits(ToolboxModel& model, int kind) {
    if (kind < 0) return;
    ControlSet& controls = model.controlSet();
    for (const auto* side : {&FrontLimits, &BackLimits})
        for (const LimitField& field : *side) {
            controls.setText(field.control, std::to_string(firstInteger(model.getValue(limitVariable(field, kind)))));
            controls.setEditable(field.control, kind >= FirstCustomKind);
        }
}

// A limit field's row: the variable follows the media kind chosen; only custom kinds are written.
Setting limitRow(const LimitField& field) {
    Setting row{field.control, field.control, conv::whenIndexAtLeast("m_cbMediaMediaType", FirstCustomKind, conv::integerText())};
    row.conversion.alsoReads = {"m_cbMediaMediaType"};
    row.variableFor = [field](const ControlSet& controls) {
        const int kind = controls.index("m_cbMediaMediaType");
        return kind < FirstCustomKind ? std::string() : limitVariable(field, kind);
    };
    return row;
}

// A count: shown and written as a whole number, compared as one.
Conversion count() {
    Conversion c = conv::integerText();
    c.compare = Compare::Numeric;
    return c;
}

// BRAILLETABLE names a table by five characters ("EN_US"); anything else writes the default.
Conversion brailleTable() {
    Conversion c = conv::text();
    c.write = [](const ControlSet& controls, std::string_view control, std::string_view) -> std::optional<std::string> {
        std::string name = controls.text(control);
        return name.size() == 5 ? name : std::string("EN_US");
    };
    return c;
}

// SKEW: the device counts 1.8 steps per tenth around 250, which shows as 7.0.
Conversion skew() {
    return {
        [](std::string_view value, ControlSet& controls, std::string_view control) {
            const auto tenths = int64_t(std::trunc(double(firstInteger(value) - 250) / 1.8)) + 70;
            controls.setText(control, conv::unitsToInches(tenths, 10));
        },
        [](const ControlSet& controls, std::string_view control, std::string_view) -> std::optional<std::string> {
            return std::to_string(int64_t(std::trunc((firstDecimal(controls.text(control)) - 7) * 18)) + 250);
        },
        Compare::Text,
    };
}

// "cbGeneralPjlName": the chosen variable's value as the embosser itself gives it now.
printer::ExchangeOutcome askSelectedVariable(ToolboxModel& model, int index) {
    const std::vector<printer::PjlItem>& variables = model.list(ListId::Variables);
    if (index < 0 || size_t(index) >= variables.size()) return {};
    const printer::PjlExchange exchange = [&model](const std::string& request, const std::string&,
                                                   const printer::ExchangeBounds&) { return model.exchange(request); };
    const printer::ParameterValue asked =
        printer::askParameterValue("@PJL DINQUIRE " + variables[size_t(index)].key, "", exchange, {});
    model.controlSet().setText("m_tfPjlValue", asked.value);
    return asked.outcome;
}

FamilyDescription makeValdo(bool backLimits) {
    FamilyDescription f;
    f.modelCode = backLimits ? model::Merriden : model::Valdo;
    f.title = backLimits ? "Merriden Toolbox" : "Valdo Toolbox";
    f.queries = {{&printer::pjl::Variables, ListId::Variables},
                 {&printer::pjl::Versions, ListId::Versions},
                 {&printer::pjl::Status, ListId::Status}};
    f.lookupOrder = {ListId::Variables, ListId::Status, ListId::Versions};
    f.writableLists = {ListId::Variables};
    f.controls = parts::identityControls();
    parts::append(f.controls, parts::paperControls());
    parts::append(f.controls, {
                                  {"m_tfSTM8Version", K::TextField, false, ReadOnly},
                                  {"m_cbDuplex", K::ComboBox, Notifies, true, {}, 2},
                                  {"m_cbOutputFace", K::ComboBox, Notifies, true, {}, 2},
                                  {"m_cbBrailleForce", K::ComboBox, Notifies, true, {}, 3},
                                  {"m_tfTable", K::TextField, Notifies},
                                  {"m_cbSpacing", K::ComboBox, Notifies, true, {}, 6},
                                  {"m_cbGraphics", K::ComboBox, Notifies, true, {}, 2},
                                  {"m_ckAutoCr", K::CheckBox, Notifies},
                                  {"m_cbBrailleDots", K::ComboBox, Notifies, true, {}, 2},
                                  {"m_cbQuality", K::ComboBox, Notifies, true, {}, 3},
                                  {"m_tfLinesLength", K::TextField, Notifies},
                                  {"m_tfCharsWidth", K::TextField, Notifies},
                                  {"m_cbLegacyMediaType", K::ComboBox, Notifies, true, {}, MediaKinds},
                                  {"m_tfFrontMin", K::TextField, Notifies, ReadOnly},
                              });
    if (backLimits)
        parts::append(f.controls,
                      {{"m_tfBackMin", K::TextField, Notifies, ReadOnly}, {"m_tfBackMax", K::TextField, Notifies, ReadOnly}});
    parts::append(f.controls, {
                                  {"m_tfFrontMax", K::TextField, Notifies, ReadOnly},
                                  {"m_cbMediaMediaType", K::ComboBox, Notifies, true, {}, MediaKinds},
                              });
    parts::append(f.controls,
                  parts::textFields({"m_tfSkew", "m_tfHomePos", "m_tfTopOfForm", "m_tfEdgeClearance", "m_tfStepsPerInch"}));
    parts::append(f.controls, parts::networkControls());
    // Shown only, then the written settings in the order Apply writes them.
    f.settings = parts::identityRows("FWPRIMARY");
    f.settings.push_back({"FWSECONDARY", "m_tfSTM8Version", conv::shownText()});
    parts::append(
        f.settings,
        {
            {"PAPERWIDTH", "m_tfPaperWidth", conv::paperLength(720, "width")},
            {"PAPERLENGTH", "m_tfPaperHeight", conv::paperLength(720, "length")},
            {"TOPMARGIN", "m_tfTopMargin", conv::length(20)},
            {"LEFTMARGIN", "m_tfLeftMargin", conv::length(20)},
            {"RIGHTMARGIN", "m_tfRightMargin", conv::length(20)},
            {"EXTRALINESPACE", "m_tfExtraLineSpace", conv::length(20)},
            {"CHARSWIDTH", "m_tfCharsWidth", count()},
            {"LINESLENGTH", "m_tfLinesLength", count()},
            {"AUTOCR", "m_ckAutoCr", conv::check("ON", "OFF")},
            {"QUALITY", "m_cbQuality", conv::words({"DRAFT", "STANDARD", "BEST"}, 1, "STANDARD")},
            {"BRAILLEDOTS", "m_cbBrailleDots", conv::words({"6", "8"}, 0, "8")},
            {"GRAPHICS", "m_cbGraphics", conv::words({"OFF", "ON"}, 0, "ON")},
            {"SPACING", "m_cbSpacing",
             conv::words({"MARBURG", "LIBRARYOFCONGRESS", "USNATIONALLIBRARY", "MICROBRAILLE", "KOREAN", "JUMBOBRAILLE"}, 0,
                         "MARBURG")},
            {"BRAILLETABLE", "m_tfTable", brailleTable()},
            {"BRAILLEFORCE", "m_cbBrailleForce", conv::words({"HEAVY", "NORMAL", "LIGHT"}, 1, "NORMAL")},
            {"OUTPUTFACE", "m_cbOutputFace", conv::words({"0", "1"}, 0, "1")},
            {"DUPLEXMODE", "m_cbDuplex", conv::words({"SIMPLEX", "LONGEDGE"}, 1, "LONGEDGE")},
            // Before the load a kind no word names shows as plain custom.
            {"MEDIATYPE", "m_cbLegacyMediaType",
             conv::words({"BRAILLE", "LIGHTBRAILLE", "PLAIN", "PREMIUM", "CARDSTOCK", "CHINESE", "CUSTOM", "CUSTOM8", "CUSTOM9",
                          "CUSTOM10", "CUSTOM11", "CUSTOM12", "CUSTOM13", "CUSTOM14", "CUSTOM15", "CUSTOM16"},
                         FirstCustomKind, "CUSTOM")},
        });
    for (const LimitField& field : FrontLimits) f.settings.push_back(limitRow(field));
    if (backLimits)
        for (const LimitField& field : BackLimits) f.settings.push_back(limitRow(field));
    parts::append(f.settings, parts::networkRows());
    // The calibration page: this embosser's mechanics.
    parts::append(f.settings, parts::ownedByTheUnit({
                                  {"PAPSTEPSPERINCH", "m_tfStepsPerInch", conv::text()},
                                  {"HOMEPOS", "m_tfHomePos", conv::text()},
                                  {"PAPERSENSEPOS", "m_tfTopOfForm", conv::text()},
                                  {"SKEW", "m_tfSkew", skew()},
                                  {"EDGECLEARANCE", "m_tfEdgeClearance", conv::length(100)},
                              }));
    f.sensorLabels = {
        {"PAPER", "Paper Flag: ", ""},
        {"PICKUP", ", Pickup Flag: ", ""},
        {"HOME", ", Home Flag: ", ""},
        {"PANELBTNS", ", Panel: ", ""},
        {"BOARDTEMP", "\r\nBoard temperature: ", "\u00b0C"},
        {"SOLENOIDTEMP", ", Solenoid temperature: ", "\u00b0C"},
        {"CARRIAGETEMP", "\r\nCarriage temperature: ", "\u00b0C"},
    };
    f.comboActions = {
        {"m_cbPaperSize", rules::fillPaperSize}, // "cbLegacyPaperSize"
        {"m_cbMediaMediaType", showMediaLimits},
        {"m_cbPjlNames", nullptr, askSelectedVariable},
    };
    // The paper sides count 720ths of an inch, 36 to a twentieth.
    f.loadRules = parts::firstLoadRules("PAPERWIDTH", "PAPERLENGTH", 36);
    return f;
}

} // namespace

const FamilyDescription& valdoFamily() {
    static const FamilyDescription valdo = makeValdo(false);
    return valdo;
}

const FamilyDescription& merridenFamily() {
    static const FamilyDescription merriden = makeValdo(true);
    return merriden;
}

} // namespace brelmont::toolbox
