// A toolbox family as data: its queries, lookups, controls, settings table and extra rules.
// The engine (ToolboxModel) runs every family; a family file only fills one of these.
#pragma once

#include "printer/PjlReplies.h"
#include "toolbox/Controls.h"
#include "toolbox/Conversions.h"

#include <cstdint>
#include <functional>
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
};

// One setting: the variable it shows and writes, its control and its conversion. The settings
// table is in Apply order; rows whose conversion cannot write are shown only.
struct Setting {
    std::string_view variable; // empty: the row shows something but is never written
    std::string_view control;
    Conversion conversion;
    // Null: always. Otherwise the row is shown and written only while this holds (a module fitted).
    bool (*present)(const ToolboxModel&) = nullptr;
};

// A key of the sensor reply and the text put around its value.
struct SensorLabel {
    std::string_view key;
    std::string_view label;  // appended before the value
    std::string_view suffix; // appended after it
};

// A combo box whose selection change does more than enable Apply.
struct ComboAction {
    std::string_view control;
    std::function<void(ToolboxModel&, int index)> run;
};

struct FamilyDescription {
    int64_t modelCode = 0;
    std::string_view title; // the window title after a successful load
    std::vector<LoadQuery> queries;
    std::vector<ListId> lookupOrder; // where getValue looks, first to last
    std::vector<ListId> writableLists = {ListId::Variables, ListId::Legacy}; // where setValue writes
    std::vector<ControlSpec> controls;
    std::vector<Setting> settings;
    std::vector<SensorLabel> sensorLabels;
    std::vector<ComboAction> comboActions;
    std::vector<std::string_view> protectedNames = {"MODEL", "SERIALNUMBER", "MACPHY"}; // never set singly
    // Load steps that no table row expresses (paper size choice, ink module, ...), run in order
    // after the settings rows are shown.
    std::vector<std::function<void(ToolboxModel&)>> loadRules;
};

} // namespace brelmont::toolbox
