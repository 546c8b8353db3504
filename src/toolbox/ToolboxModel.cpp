#include "toolbox/ToolboxModel.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace brelmont::toolbox {

using printer::firstInteger;
using printer::PjlItem;
using printer::PrinterItem;

std::chrono::milliseconds operationTimeLimit() {
    const char* text = std::getenv("BRELMONT_TOOLBOX_DEADLINE_MS");
    long long ms = 0;
    if (text && *text) {
        const auto [end, ec] = std::from_chars(text, text + std::strlen(text), ms);
        if (ec == std::errc() && *end == '\0' && ms > 0) return std::chrono::milliseconds(ms);
    }
    return std::chrono::seconds(30);
}

ToolboxModel::ToolboxModel(const FamilyDescription& family, printer::PjlExchange exchange, printer::DataExchange data)
    : m_family(family),
      m_exchange(std::move(exchange)),
      m_dataExchange(std::move(data)),
      m_controls(family.controls) {}

const std::vector<PjlItem>& ToolboxModel::list(ListId id) const {
    switch (id) {
    case ListId::Variables: return m_variables;
    case ListId::Versions: return m_versions;
    case ListId::Status: return m_status;
    case ListId::Legacy: return m_legacy;
    }
    return m_variables;
}

std::vector<PjlItem>& ToolboxModel::mutableList(ListId id) {
    return const_cast<std::vector<PjlItem>&>(std::as_const(*this).list(id));
}

std::string ToolboxModel::getValue(std::string_view key) const {
    for (ListId id : m_family.lookupOrder)
        for (const PjlItem& item : list(id))
            if (item.key == key) return item.value;
    return {};
}

std::string ToolboxModel::setValue(std::string_view key, std::string_view value) {
    for (ListId id : m_family.writableLists)
        for (PjlItem& item : mutableList(id))
            if (item.key == key) {
                item.value = std::string(value);
                return item.key;
            }
    return {};
}

void ToolboxModel::addValue(ListId id, std::string key, std::string value) {
    mutableList(id).push_back({std::move(key), std::move(value)});
}

printer::ExchangeBounds ToolboxModel::operationBounds() const {
    return {std::chrono::steady_clock::now() + operationTimeLimit(), m_stop};
}

namespace {

template <class Result>
Result notAttached() {
    Result none;
    none.status = printer::ExchangeStatus::NotAttached;
    none.reason = "no attached queue of this model";
    return none;
}

} // namespace

printer::ExchangeResult ToolboxModel::exchange(const std::string& request) {
    if (!m_printer || !m_exchange) return notAttached<printer::ExchangeResult>();
    return m_exchange(request, m_printer->deviceUri, operationBounds());
}

printer::DataExchangeResult ToolboxModel::exchangeData(const std::vector<uint8_t>& data) {
    if (!m_printer || !m_dataExchange) return notAttached<printer::DataExchangeResult>();
    return m_dataExchange(data, m_printer->deviceUri, operationBounds());
}

bool ToolboxModel::load(const LoadProgress& progress) { return load(printer::Printers(m_stop).items(), progress); }

// The first connected queue of the family, the queries with their retries, then the controls.
// A required query that yields no list fails the load: the ones after it are not asked.
bool ToolboxModel::load(const std::vector<PrinterItem>& printers, const LoadProgress& progress) {
    m_bDismiss = true; // until the load has succeeded
    const auto chosen = std::find_if(printers.begin(), printers.end(),
                                     [&](const PrinterItem& p) { return p.model == m_family.modelCode && p.connected; });
    if (chosen == printers.end()) {
        m_loadFailure = {printer::ExchangeStatus::NotAttached, "no attached queue of this model"};
        return false;
    }
    m_printer = *chosen;
    const printer::ExchangeBounds bounds = operationBounds();
    int number = 0;
    for (const LoadQuery& q : m_family.queries) {
        if (progress) progress({q.query->name, ++number, int(m_family.queries.size())});
        const printer::QueryResult result = printer::askWithRetry(*q.query, m_printer->deviceUri, m_exchange, bounds, q.parse);
        mutableList(q.list) = result.items.value_or(std::vector<PjlItem>{});
        if (list(q.list).empty() && q.required) {
            m_loadFailure = result.outcome.ok() ? printer::ExchangeOutcome{printer::ExchangeStatus::NotUnderstood,
                                                                           "the entries of the " + std::string(q.query->name) +
                                                                               " reply did not match their count"}
                                                : result.outcome;
            return false;
        }
    }
    for (const auto& step : m_family.beforeFill) step(*this);
    fillControls();
    m_loaded = m_controls;
    m_bInit = true;
    m_bDismiss = false;
    return true;
}

void ToolboxModel::fillControls() {
    for (const Setting& row : m_family.settings) {
        if (!row.conversion.show || (row.present && !row.present(*this))) continue;
        row.conversion.show(row.variable.empty() ? std::string() : getValue(row.variable), m_controls, row.control);
    }
    for (const auto& rule : m_family.loadRules) rule(*this);
}

std::string ToolboxModel::title() const { return m_bInit ? std::string(m_family.title) : std::string(); }

// A change the user made: Apply follows once the controls hold device values, for controls that
// report their changes and for any other whose value now differs from the one loaded (an edit
// Apply would not take would be lost); then the combo box's own action, if it has one.
ChangeResult ToolboxModel::userChange(ControlState* state) {
    ChangeResult result;
    result.known = true;
    if (m_bInit && (state->notifies || changedSinceLoad(state->name))) m_applyEnabled = true;
    if (state->kind == ControlKind::ComboBox) {
        const std::vector<ControlState> before = m_controls.all();
        for (const ComboAction& action : m_family.comboActions) {
            if (action.control != state->name) continue;
            if (action.run) action.run(*this, state->index);
            if (action.ask) result.outcome = action.ask(*this, state->index);
        }
        const std::vector<ControlState>& after = m_controls.all();
        for (size_t i = 0; i < after.size(); ++i)
            if (after[i].name != state->name && !sameState(before[i], after[i])) result.changed.push_back(after[i].name);
    }
    result.applyEnabled = m_applyEnabled;
    return result;
}

namespace {

bool userCanEdit(const ControlState* state, ControlKind kind) {
    return state && state->kind == kind && state->enabled && (kind != ControlKind::TextField || state->editable);
}

// Control characters would end a PJL line early and start another of the user's making.
bool hasControlCharacters(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

} // namespace

bool ToolboxModel::sameState(const ControlState& a, const ControlState& b) {
    return a.text == b.text && a.index == b.index && a.checked == b.checked && a.enabled == b.enabled &&
           a.editable == b.editable && a.items == b.items;
}

// A change the engine does not take: nothing changes.
ChangeResult ToolboxModel::refused() const {
    ChangeResult result;
    result.applyEnabled = m_applyEnabled;
    return result;
}

ChangeResult ToolboxModel::setText(std::string_view control, std::string text) {
    ControlState* state = m_controls.find(control);
    if (!userCanEdit(state, ControlKind::TextField) || hasControlCharacters(text)) return refused();
    state->text = std::move(text);
    state->assigned = true;
    return userChange(state);
}

ChangeResult ToolboxModel::setIndex(std::string_view control, int index) {
    ControlState* state = m_controls.find(control);
    const bool inRange = state && index >= -1 && index < (state->itemsFromEngine ? int(state->items.size()) : state->layoutItems);
    if (!userCanEdit(state, ControlKind::ComboBox) || !inRange) return refused();
    state->index = index;
    state->assigned = true;
    return userChange(state);
}

ChangeResult ToolboxModel::setChecked(std::string_view control, bool checked) {
    ControlState* state = m_controls.find(control);
    if (!userCanEdit(state, ControlKind::CheckBox)) return refused();
    state->checked = checked;
    state->assigned = true;
    return userChange(state);
}

bool ToolboxModel::talksToDevice(std::string_view control) const {
    return std::any_of(m_family.comboActions.begin(), m_family.comboActions.end(),
                       [&](const ComboAction& action) { return action.control == control && action.ask; });
}

bool ToolboxModel::changedSinceLoad(std::string_view control) const {
    const ControlState* now = m_controls.find(control);
    const ControlState* loaded = m_loaded.find(control);
    return now && loaded && (now->text != loaded->text || now->index != loaded->index || now->checked != loaded->checked);
}

bool ToolboxModel::rowChanged(const Setting& row) const {
    return changedSinceLoad(row.control) || std::any_of(row.conversion.alsoReads.begin(), row.conversion.alsoReads.end(),
                                                        [&](const std::string& control) { return changedSinceLoad(control); });
}

WriteResult ToolboxModel::write(std::string request) {
    WriteResult result;
    result.outcome = exchange(request);
    result.request = std::move(request);
    return result;
}

// Every setting whose control the user changed, and which now stands for something other than the
// device's value, is sent in one request. A control the user left alone is never written, whatever
// the device holds: a value the window cannot show stays on the device as it is.
WriteResult ToolboxModel::apply() {
    WriteResult result;
    if (!m_bInit) {
        m_applyEnabled = false;
        return result;
    }
    for (const Setting& row : m_family.settings) {
        if (!row.conversion.write || (row.present && !row.present(*this))) continue;
        const std::string variable = row.variableFor ? row.variableFor(m_controls) : std::string(row.variable);
        if (variable.empty() || !rowChanged(row)) continue;
        const std::string device = getValue(variable);
        const std::optional<std::string> text = row.conversion.write(m_controls, row.control, device);
        if (!text) continue;
        // A value the row refuses is never written, whatever the device holds.
        if (row.conversion.refuse) {
            if (std::string why = row.conversion.refuse(m_controls, row.control); !why.empty()) {
                result.notes.push_back(std::move(why));
                continue;
            }
        }
        const bool differs =
            row.conversion.compare == Compare::Numeric ? firstInteger(device) != firstInteger(*text) : device != *text;
        if (!differs) continue;
        // A variable the device does not have would go out as a line without a name: the change
        // is not written, and the person is told.
        if (std::none_of(m_family.writableLists.begin(), m_family.writableLists.end(), [&](ListId id) {
                const auto& items = list(id);
                return std::any_of(items.begin(), items.end(), [&](const PjlItem& i) { return i.key == variable; });
            })) {
            result.notes.push_back("The embosser does not report " + variable + "; " + std::string(row.control) +
                                   " was not written.");
            continue;
        }
        if (m_family.applyBuilder.pairs) {
            std::vector<PjlItem> pairs = m_family.applyBuilder.pairs(variable, *text);
            m_update.insert(m_update.end(), pairs.begin(), pairs.end());
        } else {
            m_update.push_back({variable, *text});
        }
    }
    if (!m_update.empty()) {
        std::vector<std::string> notes = std::move(result.notes);
        result =
            write(m_family.applyBuilder.request ? m_family.applyBuilder.request(m_update) : printer::pjl::applyRequest(m_update));
        result.notes = std::move(notes);
        if (result.outcome.ok())
            for (const PjlItem& item : m_update) setValue(item.key, item.value);
    }
    m_update.clear();
    // What did not reach the device is still the user's change, waiting to be applied.
    m_applyEnabled = result.failed();
    if (!result.failed()) m_loaded = m_controls;
    return result;
}

WriteResult ToolboxModel::ok() {
    WriteResult result;
    if (m_applyEnabled) result = apply();
    if (!result.failed()) m_bDismiss = true;
    return result;
}

WriteResult ToolboxModel::setSelectedVariable() {
    const int index = m_controls.index("m_cbPjlNames");
    if (!m_printer || index < 0 || size_t(index) >= m_variables.size()) return {};
    const std::string& name = m_variables[size_t(index)].key;
    const auto& refused = m_family.protectedNames;
    if (std::find(refused.begin(), refused.end(), name) != refused.end())
        return {.notes = {name + " was not set: it is the embosser's own and cannot be changed."}};
    const std::string value = m_controls.text("m_tfPjlValue");
    if (hasControlCharacters(value))
        return {.notes = {name + " was not set: a value cannot hold a line break or another control character."}};
    std::optional<std::string> request = m_family.setter(*this, name, value);
    return request ? write(std::move(*request)) : WriteResult{};
}

WriteResult ToolboxModel::installTable(const BrailleTable& table, std::optional<int> slot) {
    WriteResult result;
    if (!m_bInit) return result; // a toolbox whose load failed writes nothing
    const TableSlots& slots = m_family.tableSlots;
    if (slots.count == 0) {
        result.notes.push_back("This embosser takes no braille tables.");
        return result;
    }
    const int chosen = slot ? *slot : slots.chosen ? slots.chosen(*this) : 0;
    if (chosen < 0 || chosen >= slots.count) {
        result.notes.push_back("This embosser has no braille table slot " + std::to_string(chosen) + ".");
        return result;
    }
    const std::vector<uint8_t> request = printer::pjl::tableDownloadRequest(chosen, table);
    result.outcome = exchangeData(request);
    result.request = std::string(request.begin(), request.end());
    if (result.outcome.ok()) setValue("TABLE", std::to_string(chosen));
    return result;
}

printer::ExchangeOutcome ToolboxModel::readSensors() {
    if (!m_printer) return {printer::ExchangeStatus::NotAttached, "no attached queue of this model"};
    const printer::QueryResult result =
        printer::askWithRetry(printer::pjl::Sensors, m_printer->deviceUri, m_exchange, operationBounds());
    if (!result.items) return result.outcome;
    std::string text;
    for (const PjlItem& item : *result.items)
        for (const SensorLabel& label : m_family.sensorLabels)
            if (label.key == item.key) {
                text += std::string(label.label) + item.value + std::string(label.suffix);
                break;
            }
    m_controls.setText("m_tfSensors", std::move(text));
    return {};
}

WriteResult ToolboxModel::resetFillState(int tag) { return write(printer::pjl::clearNozzleCountRequest(tag == 1 ? 1 : 0)); }

} // namespace brelmont::toolbox
