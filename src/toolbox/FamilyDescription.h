// A toolbox family as data: its queries, lookups, controls, settings table and extra rules.
// The engine (ToolboxModel) runs every family; a family file only fills one of these.
#pragma once

#include "printer/PjlHelper.h"
#include "printer/PjlReplies.h"
#include "printer/RetryQuery.h"
#include "toolbox/Controls.h"
#include "toolbox/Conversions.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::toolbox {

class ToolboxModel;

// The four reply lists of a toolbox.
enum class ListId { Variables, Versions, Status, Legacy };

// One query of the load sequence and the list its reply fills.
struct LoadQuery {
    const printer::PjlQuery* query;
    ListId list;
    printer::ReplyParser parse = nullptr; // null: an INFO list with its entry count
    bool required = true;                 // false: the load goes on when the list stays empty
};

// One setting: the variable it shows and writes, its control and its conversion. The settings
// table is in Apply order; rows whose conversion cannot write are shown only.
struct Setting {
    std::string_view variable; // empty: the row shows something but is never written
    std::string_view control;
    Conversion conversion;
    // Null: always. Otherwise the row is shown and written only while this holds (a module fitted).
    bool (*present)(const ToolboxModel&) = nullptr;
    // Null: the row writes `variable`. Otherwise the variable's name depends on the controls (the
    // limits of the media kind chosen); an empty name writes nothing at present.
    std::function<std::string(const ControlSet&)> variableFor = nullptr;
    // False for what belongs to this one embosser (its network address, its calibration): a
    // settings profile, which sets a room of embossers alike, leaves it out.
    bool inProfiles = true;
};

// A key of the sensor reply and the text put around its value.
struct SensorLabel {
    std::string_view key;
    std::string_view label;  // appended before the value
    std::string_view suffix; // appended after it
};

// One ink cartridge's state as the window shows it, in two labels.
struct InkCartridge {
    std::string_view name; // "1", "black", ...
    std::string_view health;
    std::string_view fill;
};

// A combo box whose selection change does more than enable Apply. `run` works on the lists and
// controls alone; `ask` talks to the device (a window runs it off its thread) and says how that went.
struct ComboAction {
    std::string_view control;
    std::function<void(ToolboxModel&, int index)> run;
    std::function<printer::ExchangeOutcome(ToolboxModel&, int index)> ask = nullptr;
};

// The single-variable setter's request for a variable name and the value field's text; none
// when the family sends nothing for that name.
using SetterRequest =
    std::function<std::optional<std::string>(const ToolboxModel&, std::string_view name, std::string_view value)>;

// How Apply turns the settings that changed into one request. Null members keep the plain form:
// one pair per setting, each sent as "@PJL DEFAULT KEY=VALUE", then "@PJL SERVICE UPDATE".
struct ApplyBuilder {
    // The pairs queued for one changed setting (a value the device keeps in two bytes is two).
    std::function<std::vector<printer::PjlItem>(std::string_view variable, const std::string& text)> pairs = nullptr;
    // The request that carries the queued pairs.
    std::function<std::string(const std::vector<printer::PjlItem>& queued)> request = nullptr;
};

// Braille table downloads: how many table slots the embosser has (0: it takes no tables), and
// the slot a download goes to when none is named (null: slot 0).
struct TableSlots {
    int count = 0;
    std::function<int(const ToolboxModel&)> chosen = nullptr;
};

struct FamilyDescription {
    int64_t modelCode = 0;
    std::string_view title; // the window title after a successful load
    std::vector<LoadQuery> queries;
    std::vector<ListId> lookupOrder;                                         // where getValue looks, first to last
    std::vector<ListId> writableLists = {ListId::Variables, ListId::Legacy}; // where setValue writes
    std::vector<ControlSpec> controls;
    std::vector<Setting> settings;
    std::vector<SensorLabel> sensorLabels;
    std::vector<InkCartridge> inkCartridges; // shown once the load has filled their labels
    std::vector<ComboAction> comboActions;
    std::vector<std::string_view> protectedNames = {"MODEL", "SERIALNUMBER", "MACPHY"}; // never set singly
    // One variable as the user typed it, a value with a blank in double quotes.
    SetterRequest setter = [](const ToolboxModel&, std::string_view name, std::string_view value) -> std::optional<std::string> {
        return printer::pjl::setRequest(name, value);
    };
    // Why the setter must not send this typed value (the person is told); null or empty: it may.
    std::function<std::string(std::string_view value)> setterRefusal = nullptr;
    TableSlots tableSlots;
    ApplyBuilder applyBuilder;
    // Load steps run after the replies are read and before any control is filled (values built
    // from several entries are added to the lists here).
    std::vector<std::function<void(ToolboxModel&)>> beforeFill;
    // Load steps that no table row expresses (paper size choice, ink module, ...), run in order
    // after the settings rows are shown.
    std::vector<std::function<void(ToolboxModel&)>> loadRules;
};

} // namespace brelmont::toolbox
