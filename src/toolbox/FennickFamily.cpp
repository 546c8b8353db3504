// The Quorrin toolbox: settings kept as single bytes of the embosser's NVRAM, read as one line of
// hexadecimal pairs, named by the parameter table and written back by byte number.
#include "toolbox/FennickFamily.h"

#include "common/ModelCodes.h"
#include "toolbox/CommonRules.h"
#include "toolbox/FamilyParts.h"
#include "toolbox/ToolboxModel.h"

#include <algorithm>

namespace brelmont::toolbox {

namespace {

using printer::firstInteger;
using printer::PjlItem;
using K = ControlKind;

constexpr bool Notifies = true;
constexpr bool ReadOnly = false;

// A value the device keeps in two bytes of the line, low and high, shown in `unit` per count.
struct Composite {
    std::string_view name;
    std::string_view low;
    std::string_view high;
    int64_t unit;
};
// The paper sides count twentieths of an inch in the line and 720ths in the window.
constexpr Composite Composites[] = {
    {"HPHORIZOFFSET", "HPHORIZOFFSETL", "HPHORIZOFFSETM", 1},
    {"PAPERLENGTH", "FORMLENGTHL", "FORMLENGTHM", 36},
    {"PAPERWIDTH", "FORMWIDTHL", "FORMWIDTHM", 36},
};
constexpr int64_t LargestByte = 255;
constexpr int64_t LargestPair = 65535;

// m_cbTable: the embosser's table slots 0 to 6; the one chosen is in use, and takes downloads.
constexpr int TableSlotCount = 7;
constexpr int CustomMediaItem = 4;

// Every row's parameter and byte number, in the embosser's order; lookups take the first row of a name.
const std::vector<printer::NvramItem>& parameterTable() {
    static const std::vector<printer::NvramItem> table = {
        {"SENPULLUP", 22},
        {"SOLVREF", 23},
        {"SOL0", 24},
        {"SOL1", 25},
        {"SOL2", 26},
        {"SOL3", 27},
        {"SOL4", 28},
        {"SOL5", 29},
        {"SOL6", 30},
        {"SOL7", 31},
        {"BRAILLEPAPERMEDIAMIN", 32},
        {"BRAILLEPAPERMEDIAMAX", 36},
        {"LIGHTBRAILLEMEDIAMIN", 33},
        {"LIGHTBRAILLEMEDIAMAX", 37},
        {"COPYPAPERMEDIAMIN", 34},
        {"COPYPAPERMEDIAMAX", 38},
        {"CARDSTOCKMEDIAMIN", 35},
        {"CARDSTOCKMEDIAMAX", 39},
        {"BASEFORCE", 40},
        {"VERTAMP", 41},
        {"VERTSIGMA", 42},
        {"VERTMAX", 43},
        {"VERTMIN", 44},
        {"VERTOFFSET", 45},
        {"HORIZAMP", 46},
        {"HORIZSIGMA", 47},
        {"HORIZMAX", 48},
        {"VAGROFFSET", 49},
        {"HORIZOFFSET", 50},
        {"TOPOFFSET", 55},
        {"HPHORIZOFFSETL", 56},
        {"HPHORIZOFFSETM", 57},
        {"PRINTSKEW", 59},
        {"CUSTOMMEDIAMAX", 60},
        {"CUSTOMMEDIAMIN", 61},
        {"ALIGNPOS", 62},
        {"HOMEPOS", 63},
        {"MIDDLEPOS", 64},
        {"TEARDISTANCE", 65},
        {"MPSENTHRES", 66},
        {"HOMEFLAG", 67},
        {"TABLE", 68},
        {"CHARSWIDTH", 69},
        {"AUTOCR", 70},
        {"GRAPHICS", 71},
        {"LINESLENGTH", 72},
        {"BRAILLEDOTS", 73},
        {"FORMLENGTHM", 74},
        {"FORMLENGTHL", 75},
        {"FORMWIDTHL", 76},
        {"EXTRALINESPACE", 77},
        {"LEFTMARGIN", 78},
        {"TOPMARGIN", 79},
        {"MEDIATYPE", 80},
        {"BRAILLEFORCE", 81},
        {"HPVERTOFFSET", 87},
        {"FORMWIDTHM", 90},
        {"DRYTIME", 91},
    };
    return table;
}

std::optional<int64_t> byteNumber(std::string_view name) {
    const auto& table = parameterTable();
    const auto row = std::find_if(table.begin(), table.end(), [&](const printer::NvramItem& r) { return r.key == name; });
    return row == table.end() ? std::nullopt : std::optional<int64_t>(row->index);
}

// The parameter line, named by the table: the reply is taken only when its line is valid.
std::optional<std::vector<PjlItem>> readParameters(const printer::ReplyLines& reply) {
    return printer::readNvramParameters(reply, printer::pjl::NvParms, parameterTable());
}

// The values wider than a byte, built from their two bytes. Without a parameter line there is
// nothing to build them from, and nothing to write them into.
void buildComposites(ToolboxModel& model) {
    if (model.list(ListId::Variables).empty()) return;
    for (const Composite& c : Composites) {
        const int64_t count = firstInteger(model.getValue(c.high)) * 256 + firstInteger(model.getValue(c.low));
        model.addValue(ListId::Variables, std::string(c.name), std::to_string(count * c.unit));
    }
}

// A changed value goes out as itself and, when it is a composite, as its two bytes.
std::vector<PjlItem> nvramPairs(std::string_view variable, const std::string& text) {
    std::vector<PjlItem> pairs{{std::string(variable), text}};
    for (const Composite& c : Composites)
        if (c.name == variable) {
            const int64_t count = firstInteger(text) / c.unit;
            pairs.push_back({std::string(c.low), std::to_string(count % 256)});
            pairs.push_back({std::string(c.high), std::to_string(count / 256)});
        }
    return pairs;
}

// By byte number; the composites themselves have none and are left out.
std::string nvramRequest(const std::vector<PjlItem>& queued) {
    std::string request(printer::pjl::UniversalExit);
    for (const PjlItem& item : queued)
        if (const auto number = byteNumber(item.key))
            request += "@PJL DEFAULT NVRAM" + std::to_string(*number) + "=" + item.value + "\n";
    return request + "@PJL SERVICE UPDATE\n";
}

// A value past what its bytes hold would be cut short by the embosser, or refused without a word.
Conversion fitting(Conversion inner, int64_t largest, std::string what, std::string largestText) {
    Conversion fits = inner;
    fits.refuse = [inner, largest, what, largestText](const ControlSet& controls, std::string_view control) -> std::string {
        if (inner.refuse)
            if (std::string why = inner.refuse(controls, control); !why.empty()) return why;
        const std::optional<std::string> text = inner.write(controls, control, "");
        if (!text || firstInteger(*text) <= largest) return {};
        return "The " + what + " was not written: the embosser keeps at most " + largestText + ".";
    };
    return fits;
}

Conversion byteLength(std::string what) { return fitting(conv::length(20), LargestByte, std::move(what), "12.75\""); }
Conversion byteNumberField(std::string what) { return fitting(conv::integerText(), LargestByte, std::move(what), "255"); }
Conversion paperSide(std::string side) {
    return fitting(conv::paperLength(720, side), (LargestPair + 1) * 36 - 1, "paper " + side, "3276.75\"");
}

// Slots 1 to 6 are shown as themselves; anything else as slot 0.
Conversion tableSlot() {
    return {
        [](std::string_view value, ControlSet& controls, std::string_view control) {
            const int64_t n = firstInteger(value);
            controls.setIndex(control, n >= 1 && n < TableSlotCount ? int(n) : 0);
        },
        [](const ControlSet& controls, std::string_view control, std::string_view) -> std::optional<std::string> {
            const int i = controls.index(control);
            if (i < 0 || i >= TableSlotCount) return std::nullopt;
            return std::to_string(i);
        },
        Compare::Text,
    };
}

// "cbMediaMediaType": the limits of the chosen media kind; only the custom pair can be edited.
void showMediaKind(ToolboxModel& model, int index) {
    static const char* const prefixes[] = {"BRAILLEPAPER", "LIGHTBRAILLE", "COPYPAPER", "CARDSTOCK"};
    if (index < 0) return;
    const bool custom = index >= CustomMediaItem;
    const std::string prefix = custom ? "CUSTOM" : prefixes[index];
    rules::showMediaLimits(model, prefix + "MEDIAMIN", prefix + "MEDIAMAX", custom);
}

// Only the characters a parameter value is made of: no control characters, "<" to "@", "`".
std::string printableValue(std::string_view line) {
    std::string kept;
    for (const char c : line) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u >= 0x20 && u <= 0x3B) || (u >= 0x41 && u <= 0x5F) || (u >= 0x61 && u <= 0x7E)) kept += c;
    }
    return kept;
}

// "cbGeneralPjlName": the embosser's current value of the chosen parameter, by its byte number. A
// value built from two bytes has no number of its own and shows as loaded.
printer::ExchangeOutcome askParameter(ToolboxModel& model, int index) {
    const std::vector<PjlItem>& variables = model.list(ListId::Variables);
    if (index < 0 || size_t(index) >= variables.size()) return {};
    const std::string name = variables[size_t(index)].key;
    const std::optional<int64_t> number = byteNumber(name);
    if (!number) {
        rules::showSelectedVariable(model, index);
        return {};
    }
    const std::string query = "@PJL DINQUIRE NVRAM" + std::to_string(*number);
    const printer::ExchangeResult reply = model.exchange(std::string(printer::pjl::UniversalExit) + query + "\n");
    if (!reply.ok()) return reply;
    const auto asked = std::find_if(reply.reply.begin(), reply.reply.end(),
                                    [&](const std::string& line) { return line.find(query) != std::string::npos; });
    if (asked == reply.reply.end() || asked + 1 == reply.reply.end()) {
        model.controlSet().setText("m_tfPjlValue", "");
        return {printer::ExchangeStatus::NotUnderstood, "the reply held no value of " + name};
    }
    model.controlSet().setText("m_tfPjlValue", printableValue(*(asked + 1)));
    return {};
}

std::string penHealth(std::string_view code) {
    if (code == "10001") return "Good";
    if (code == "40020") return "Wrong cartridge type";
    if (code == "40038") return "Cartridge near end of life";
    return "Cartridge failure";
}

void showInkUnit(ToolboxModel& model) {
    ControlSet& controls = model.controlSet();
    controls.setText("m_lbBlackFill", model.getValue("INKLEVELK") + " %");
    controls.setText("m_lbColorFill", model.getValue("INKLEVELCMY") + " %");
    controls.setText("m_lbBlackHealth", penHealth(model.getValue("PENERRORK")));
    controls.setText("m_lbColorHealth", penHealth(model.getValue("PENERRORCMY")));
}

// Every slot takes downloads, whichever table is in use.
void enableTableInstall(ToolboxModel& model) { model.controlSet().setEnabled("m_bnInstallTable", true); }

std::vector<ControlSpec> fennickControls() {
    std::vector<ControlSpec> controls = parts::identityControls();
    parts::append(controls, parts::paperControls());
    std::erase_if(controls, [](const ControlSpec& c) { return c.name == "m_tfRightMargin"; }); // no right margin
    parts::append(controls, {
                                {"m_tfCharsWidth", K::TextField, Notifies},
                                {"m_tfLinesLength", K::TextField, Notifies},
                                {"m_cbBrailleDots", K::ComboBox, Notifies, true, {}, 2},
                                {"m_cbTable", K::ComboBox, Notifies, true, {}, TableSlotCount},
                                {"m_bnInstallTable", K::Button},
                                {"m_cbBrailleForce", K::ComboBox, Notifies, true, {}, 3},
                                {"m_cbGraphics", K::ComboBox, Notifies, true, {}, 2},
                                {"m_ckAutoCr", K::CheckBox, Notifies},
                                {"m_cbLegacyMediaType", K::ComboBox, Notifies, true, {}, CustomMediaItem + 1},
                                {"m_cbMediaMediaType", K::ComboBox, Notifies, true, {}, CustomMediaItem + 1},
                                {"m_tfFrontMin", K::TextField, Notifies, ReadOnly},
                                {"m_tfFrontMax", K::TextField, Notifies, ReadOnly},
                                {"m_lbBlackFill", K::Label},
                                {"m_lbBlackHealth", K::Label},
                                {"m_lbColorFill", K::Label},
                                {"m_lbColorHealth", K::Label},
                            });
    parts::append(controls, parts::fieldsThatNotify({"m_tfHPVertOffset", "m_tfHorizAlign", "m_tfVertAlign", "m_tfHPHorizOffset",
                                                     "m_tfPrintSkew", "m_tfDryTime"}));
    return controls;
}

} // namespace

static FamilyDescription makeFennick() {
    FamilyDescription f;
    f.modelCode = model::Quorrin;
    f.title = "Quorrin Toolbox";
    // Without a parameter line the window still shows versions and status.
    f.queries = {{&printer::pjl::NvParms, ListId::Variables, readParameters, false},
                 {&printer::pjl::Versions, ListId::Versions},
                 {&printer::pjl::Status, ListId::Status}};
    f.lookupOrder = {ListId::Variables, ListId::Status, ListId::Versions};
    f.writableLists = {ListId::Variables};
    f.controls = fennickControls();
    f.settings = parts::identityRows("FIRMWARE");
    parts::append(f.settings,
                  {
                      {"PAPERWIDTH", "m_tfPaperWidth", paperSide("width")},
                      {"PAPERLENGTH", "m_tfPaperHeight", paperSide("height")},
                      {"TOPMARGIN", "m_tfTopMargin", byteLength("top margin")},
                      {"LEFTMARGIN", "m_tfLeftMargin", byteLength("left margin")},
                      {"EXTRALINESPACE", "m_tfExtraLineSpace", byteLength("extra line space")},
                      {"CHARSWIDTH", "m_tfCharsWidth", byteNumberField("characters per line")},
                      {"LINESLENGTH", "m_tfLinesLength", byteNumberField("lines per page")},
                      {"AUTOCR", "m_ckAutoCr", conv::check("1", "0")},
                      {"BRAILLEDOTS", "m_cbBrailleDots", conv::words({"6", "8"}, 0, "8")},
                      {"GRAPHICS", "m_cbGraphics", conv::words({"0", "1"}, 0, "1")},
                      {"TABLE", "m_cbTable", tableSlot()},
                      {"BRAILLEFORCE", "m_cbBrailleForce", conv::words({"0", "1", "2"}, 1, "1")},
                      {"MEDIATYPE", "m_cbLegacyMediaType", conv::words({"0", "1", "2", "3", "4"}, CustomMediaItem, "4")},
                      {"CUSTOMMEDIAMIN", "m_tfFrontMin",
                       conv::whenIndexAtLeast("m_cbMediaMediaType", CustomMediaItem, byteNumberField("lower media limit"))},
                      {"CUSTOMMEDIAMAX", "m_tfFrontMax",
                       conv::whenIndexAtLeast("m_cbMediaMediaType", CustomMediaItem, byteNumberField("upper media limit"))},
                  });
    // The alignment of this embosser's ink and braille.
    parts::append(f.settings, parts::ownedByTheUnit({
                                  {"HPVERTOFFSET", "m_tfHPVertOffset", byteNumberField("ink vertical offset")},
                                  {"HORIZOFFSET", "m_tfHorizAlign", byteNumberField("horizontal alignment")},
                                  {"VERTOFFSET", "m_tfVertAlign", byteNumberField("vertical alignment")},
                                  {"PRINTSKEW", "m_tfPrintSkew", byteNumberField("print skew")},
                                  {"HPHORIZOFFSET", "m_tfHPHorizOffset",
                                   fitting(conv::integerText(), LargestPair, "ink horizontal offset", "65535")},
                              }));
    f.settings.push_back({"DRYTIME", "m_tfDryTime", byteNumberField("drying time")});
    f.inkCartridges = {{"black", "m_lbBlackHealth", "m_lbBlackFill"}, {"colour", "m_lbColorHealth", "m_lbColorFill"}};
    f.sensorLabels = {
        {"HOME", "Home Flag: ", ""},
        {"PAPER", ", Paper Flag: ", ""},
        {"MPSEN", ",\r\nMounted Paper Sensor: ", ""},
        {"LV34", ", Power supply: ", ""},
        {"OOPS", ",\r\nOut of paper sensor: ", ""},
        {"HOUSING", ", Housing open: ", ""},
        {"DUPLEXER", ", Duplexer: ", ""},
    };
    f.comboActions = {
        {"m_cbPaperSize", rules::fillPaperSize}, {"m_cbPjlNames", nullptr, askParameter}, {"m_cbMediaMediaType", showMediaKind}};
    f.beforeFill = {buildComposites};
    f.loadRules = parts::firstLoadRules("PAPERWIDTH", "PAPERLENGTH", 36);
    f.loadRules.push_back(showInkUnit);
    f.loadRules.push_back(enableTableInstall);
    f.setter = [](const ToolboxModel&, std::string_view name, std::string_view value) -> std::optional<std::string> {
        const std::optional<int64_t> number = byteNumber(name);
        if (!number) return std::nullopt;
        return std::string(printer::pjl::UniversalExit) + "@PJL DEFAULT NVRAM" + std::to_string(*number) + " " +
               std::to_string(firstInteger(value)) + "\n@PJL SERVICE UPDATE\n";
    };
    // A byte holds a whole number from 0 to 255; anything else would be cut short by the embosser.
    f.setterRefusal = [](std::string_view value) -> std::string {
        const bool digits = std::any_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        const int64_t number = firstInteger(value);
        if (digits && value.find('-') == std::string_view::npos && number <= 255) return {};
        return "the embosser keeps a whole number from 0 to 255 there, not \"" + std::string(value) + "\".";
    };
    f.applyBuilder = {nvramPairs, nvramRequest};
    f.tableSlots = {TableSlotCount, [](const ToolboxModel& model) {
                        const ControlState* table = model.control("m_cbTable");
                        return table ? table->index : -1;
                    }};
    return f;
}

const FamilyDescription& fennickFamily() {
    static const FamilyDescription description = makeFennick();
    return description;
}

} // namespace brelmont::toolbox
