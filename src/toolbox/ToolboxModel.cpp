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
    disableUnreported();
}

bool ToolboxModel::reported(std::string_view variable) const {
    return std::any_of(m_family.writableLists.begin(), m_family.writableLists.end(), [&](ListId id) {
        const auto& items = list(id);
        return std::any_of(items.begin(), items.end(), [&](const PjlItem& i) { return i.key == variable; });
    });
}

// A setting the embosser did not report could be neither shown nor written: its control is
// disabled, and the person is told which, or that no setting could be read at all.
void ToolboxModel::disableUnreported() {
    m_loadNotes.clear();
    std::string missing;
    bool anyReported = false;
    for (const Setting& row : m_family.settings) {
        if (!row.conversion.write || row.variable.empty() || row.variableFor || (row.present && !row.present(*this))) continue;
        if (reported(row.variable)) {
            anyReported = true;
            continue;
        }
        m_controls.setEnabled(row.control, false);
        missing += (missing.empty() ? "" : ", ") + std::string(row.variable);
    }
    if (missing.empty()) return;
    m_loadNotes.push_back(anyReported
                              ? "The embosser did not report these settings, so they cannot be changed here: " + missing + "."
                              : "The embosser's settings could not be read, so they cannot be changed here.");
}

std::string ToolboxModel::title() const { return m_bInit ? std::string(m_family.title) : std::string(); }

// A change the user made: the combo box's own action, if it has one, then Apply is offered when
// there is something to apply.
ChangeResult ToolboxModel::userChange(ControlState* state) {
    ChangeResult result;
    result.known = true;
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
    // Apply is offered exactly when it would write something or say why not: choosing which limits
    // to show, or typing back the embosser's own value, leaves nothing to apply.
    if (m_bInit) {
        const WriteResult planned = plannedApply();
        m_applyEnabled = planned.request.has_value() || !planned.notes.empty();
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

bool ToolboxModel::sameValue(const Setting& row, std::string_view device, std::string_view written) {
    return row.conversion.compare == Compare::Numeric ? firstInteger(device) == firstInteger(written) : device == written;
}

namespace {

// A control's value as the window shows it, for telling the person what the embosser kept.
std::string shownValue(const ControlState& state, std::string_view device) {
    switch (state.kind) {
    case ControlKind::CheckBox: return state.checked ? "on" : "off";
    case ControlKind::ComboBox:
        return state.index >= 0 && size_t(state.index) < state.items.size() ? state.items[size_t(state.index)]
                                                                            : std::string(device);
    default: return state.text.empty() ? std::string(device) : state.text;
    }
}

} // namespace

// "Written" means read back: the lists a write can change are asked for again (false, and a note,
// when the embosser does not answer), and each written setting compared with what the embosser
// now reports. One it did not take is said, and its control shows what the embosser kept.
bool ToolboxModel::rereadWritable(std::vector<std::string>& notes) {
    const printer::ExchangeBounds bounds = operationBounds();
    for (const LoadQuery& q : m_family.queries) {
        const auto& writable = m_family.writableLists;
        if (std::find(writable.begin(), writable.end(), q.list) == writable.end()) continue;
        if (!q.required && list(q.list).empty()) continue; // a list this embosser does not have
        const printer::QueryResult again = printer::askWithRetry(*q.query, m_printer->deviceUri, m_exchange, bounds, q.parse);
        if (!again.items || again.items->empty()) {
            notes.push_back("The settings were sent, but the embosser could not be asked what it holds now (" +
                            again.outcome.describe() + ").");
            return false;
        }
        mutableList(q.list) = *again.items;
    }
    for (const auto& step : m_family.beforeFill) step(*this);
    return true;
}

void ToolboxModel::readBack(const std::vector<Written>& written, std::vector<std::string>& notes) {
    if (!rereadWritable(notes)) {
        for (const PjlItem& item : m_update) setValue(item.key, item.value);
        return;
    }
    for (const Written& w : written) {
        const std::string device = getValue(w.variable);
        if (sameValue(*w.row, device, w.text)) continue;
        const ControlState* before = m_controls.find(w.row->control);
        const std::string asked = before ? shownValue(*before, w.text) : w.text;
        if (w.row->conversion.show) w.row->conversion.show(device, m_controls, w.row->control);
        const ControlState* kept = m_controls.find(w.row->control);
        notes.push_back("The embosser kept " + (kept ? shownValue(*kept, device) : device) + " for " + w.variable + " (" + asked +
                        " did not take).");
    }
}

WriteResult ToolboxModel::write(std::string request) {
    WriteResult result;
    result.outcome = exchange(request);
    result.request = std::move(request);
    return result;
}

// Every setting whose control the user changed, and which now stands for something other than the
// device's value, is queued. A control the user left alone is never written, whatever the device
// holds: a value the window cannot show stays on the device as it is.
ToolboxModel::Changes ToolboxModel::changes() const {
    Changes changes;
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
                changes.notes.push_back(std::move(why));
                continue;
            }
        }
        if (sameValue(row, device, *text)) continue;
        // A variable the device does not have would go out as a line without a name: the change
        // is not written, and the person is told.
        if (!reported(variable)) {
            changes.notes.push_back("The embosser does not report " + variable + "; " + std::string(row.control) +
                                    " was not written.");
            continue;
        }
        changes.written.push_back({&row, variable, *text});
        if (m_family.applyBuilder.pairs) {
            std::vector<PjlItem> pairs = m_family.applyBuilder.pairs(variable, *text);
            changes.queued.insert(changes.queued.end(), pairs.begin(), pairs.end());
        } else {
            changes.queued.push_back({variable, *text});
        }
        ++changes.settings;
    }
    return changes;
}

std::string ToolboxModel::applyRequest(const std::vector<PjlItem>& queued) const {
    return m_family.applyBuilder.request ? m_family.applyBuilder.request(queued) : printer::pjl::applyRequest(queued);
}

WriteResult ToolboxModel::apply() {
    WriteResult result;
    if (!m_bInit) {
        m_applyEnabled = false;
        return result;
    }
    Changes changes = this->changes();
    m_update = std::move(changes.queued);
    if (!m_update.empty()) {
        result = write(applyRequest(m_update));
        result.settings = changes.settings;
        if (result.outcome.ok()) readBack(changes.written, changes.notes);
    }
    result.notes = std::move(changes.notes);
    m_update.clear();
    // What did not reach the device is still the user's change, waiting to be applied.
    m_applyEnabled = result.failed();
    if (!result.failed()) m_loaded = m_controls;
    return result;
}

WriteResult ToolboxModel::plannedApply() const {
    WriteResult result;
    if (!m_bInit) return result;
    Changes changes = this->changes();
    if (!changes.queued.empty()) result.request = applyRequest(changes.queued);
    result.settings = changes.settings;
    result.notes = std::move(changes.notes);
    return result;
}

WriteResult ToolboxModel::ok() {
    WriteResult result;
    if (m_applyEnabled) result = apply();
    if (!result.failed()) m_bDismiss = true;
    return result;
}

namespace {

// Nothing sent, and why.
WriteResult refusedWrite(std::string note) {
    WriteResult result;
    result.notes.push_back(std::move(note));
    return result;
}

} // namespace

WriteResult ToolboxModel::setSelectedVariable() {
    const int index = m_controls.index("m_cbPjlNames");
    if (!m_printer || index < 0 || size_t(index) >= m_variables.size()) return {};
    const std::string& name = m_variables[size_t(index)].key;
    const auto& refused = m_family.protectedNames;
    if (std::find(refused.begin(), refused.end(), name) != refused.end())
        return refusedWrite(name + " was not set: it is the embosser's own and cannot be changed.");
    const std::string value = m_controls.text("m_tfPjlValue");
    if (hasControlCharacters(value))
        return refusedWrite(name + " was not set: a value cannot hold a line break or another control character.");
    if (m_family.setterRefusal)
        if (std::string why = m_family.setterRefusal(value); !why.empty()) return refusedWrite(name + " was not set: " + why);
    std::optional<std::string> request = m_family.setter(*this, name, value);
    if (!request) return {};
    WriteResult result = write(std::move(*request));
    if (!result.outcome.ok() || !rereadWritable(result.notes)) return result;
    // The controls show what the embosser now holds, except those with changes still to apply.
    for (const Setting& row : m_family.settings) {
        if (!row.conversion.show || row.variable.empty() || rowChanged(row) || (row.present && !row.present(*this))) continue;
        row.conversion.show(getValue(row.variable), m_controls, row.control);
        if (ControlState* loaded = m_loaded.find(row.control)) *loaded = *m_controls.find(row.control);
    }
    return result;
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
