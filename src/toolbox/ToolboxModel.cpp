#include "toolbox/ToolboxModel.h"

#include <algorithm>

namespace brelmont::toolbox {

using printer::firstInteger;
using printer::PjlItem;
using printer::PrinterItem;

ToolboxModel::ToolboxModel(const FamilyDescription& family, printer::PjlExchange exchange)
    : m_family(family), m_exchange(std::move(exchange)), m_controls(family.controls) {}

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

printer::ReplyLines ToolboxModel::exchange(const std::string& request) {
    if (!m_printer || !m_exchange) return {};
    return m_exchange(request, m_printer->deviceUri);
}

bool ToolboxModel::load() {
    return load(printer::Printers().items());
}

// The first connected queue of the family, the queries with their retries, then the controls.
bool ToolboxModel::load(const std::vector<PrinterItem>& printers) {
    const auto chosen = std::find_if(printers.begin(), printers.end(), [&](const PrinterItem& p) {
        return p.model == m_family.modelCode && p.connected;
    });
    if (chosen == printers.end()) {
        m_bDismiss = true;
        return false;
    }
    m_printer = *chosen;
    for (const LoadQuery& q : m_family.queries) {
        const printer::QueryResult result = printer::askWithRetry(*q.query, m_printer->deviceUri, m_exchange);
        mutableList(q.list) = result.items.value_or(std::vector<PjlItem>{});
    }
    const bool complete = std::all_of(m_family.queries.begin(), m_family.queries.end(),
                                      [&](const LoadQuery& q) { return !list(q.list).empty(); });
    if (!complete) {
        m_bDismiss = true;
        return false;
    }
    fillControls();
    m_bInit = true;
    return true;
}

void ToolboxModel::fillControls() {
    for (const Setting& row : m_family.settings) {
        if (!row.conversion.show || (row.present && !row.present(*this))) continue;
        row.conversion.show(row.variable.empty() ? std::string() : getValue(row.variable), m_controls, row.control);
    }
    for (const auto& rule : m_family.loadRules) rule(*this);
}

std::string ToolboxModel::title() const {
    return m_bInit ? std::string(m_family.title) : std::string();
}

// A change the user made: Apply follows once the controls hold device values, and only for
// controls that report their changes; then the combo box's own action, if it has one.
ChangeResult ToolboxModel::userChange(ControlState* state) {
    ChangeResult result;
    result.known = true;
    if (state->notifies && m_bInit) m_applyEnabled = true;
    if (state->kind == ControlKind::ComboBox) {
        const std::vector<ControlState> before = m_controls.all();
        for (const ComboAction& action : m_family.comboActions)
            if (action.control == state->name && action.run) action.run(*this, state->index);
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

ChangeResult ToolboxModel::setText(std::string_view control, std::string text) {
    ControlState* state = m_controls.find(control);
    if (!userCanEdit(state, ControlKind::TextField) || hasControlCharacters(text)) return {false, m_applyEnabled, {}};
    state->text = std::move(text);
    state->assigned = true;
    return userChange(state);
}

ChangeResult ToolboxModel::setIndex(std::string_view control, int index) {
    ControlState* state = m_controls.find(control);
    const bool inRange =
        state && index >= -1 && index < (state->itemsFromEngine ? int(state->items.size()) : state->layoutItems);
    if (!userCanEdit(state, ControlKind::ComboBox) || !inRange) return {false, m_applyEnabled, {}};
    state->index = index;
    state->assigned = true;
    return userChange(state);
}

ChangeResult ToolboxModel::setChecked(std::string_view control, bool checked) {
    ControlState* state = m_controls.find(control);
    if (!userCanEdit(state, ControlKind::CheckBox)) return {false, m_applyEnabled, {}};
    state->checked = checked;
    state->assigned = true;
    return userChange(state);
}

// Every setting whose control now stands for something other than the device's value is
// queued and sent in one request; the lists then hold the values written.
std::optional<std::string> ToolboxModel::apply() {
    std::optional<std::string> sent;
    if (m_bInit) {
        for (const Setting& row : m_family.settings) {
            if (row.variable.empty() || !row.conversion.write || (row.present && !row.present(*this))) continue;
            const std::string device = getValue(row.variable);
            const std::optional<std::string> text = row.conversion.write(m_controls, row.control, device);
            if (!text) continue;
            const bool differs = row.conversion.compare == Compare::Numeric ? firstInteger(device) != firstInteger(*text)
                                                                             : device != *text;
            if (!differs) continue;
            // A variable the device does not have would go out as a line without a name.
            const std::string key = setValue(row.variable, *text);
            if (!key.empty()) m_update.push_back({key, *text});
        }
        if (!m_update.empty()) {
            sent = printer::pjl::applyRequest(m_update);
            exchange(*sent);
        }
    }
    m_update.clear();
    m_applyEnabled = false;
    return sent;
}

std::optional<std::string> ToolboxModel::ok() {
    std::optional<std::string> sent;
    if (m_applyEnabled) sent = apply();
    m_bDismiss = true;
    return sent;
}

std::optional<std::string> ToolboxModel::setSelectedVariable() {
    const int index = m_controls.index("m_cbPjlNames");
    if (!m_printer || index < 0 || size_t(index) >= m_variables.size()) return std::nullopt;
    const std::string& name = m_variables[size_t(index)].key;
    const auto& refused = m_family.protectedNames;
    if (std::find(refused.begin(), refused.end(), name) != refused.end()) return std::nullopt;
    const std::string value = m_controls.text("m_tfPjlValue");
    if (hasControlCharacters(value)) return std::nullopt;
    std::string request = printer::pjl::setRequest(name, value);
    exchange(request);
    return request;
}

bool ToolboxModel::readSensors() {
    if (!m_printer) return false;
    const printer::QueryResult result = printer::askWithRetry(printer::pjl::Sensors, m_printer->deviceUri, m_exchange);
    if (!result.items) return false;
    std::string text;
    for (const PjlItem& item : *result.items)
        for (const SensorLabel& label : m_family.sensorLabels)
            if (label.key == item.key) {
                text += std::string(label.label) + item.value + std::string(label.suffix);
                break;
            }
    m_controls.setText("m_tfSensors", std::move(text));
    return true;
}

std::string ToolboxModel::resetFillState(int tag) {
    std::string request = printer::pjl::clearNozzleCountRequest(tag == 1 ? 1 : 0);
    exchange(request);
    return request;
}

} // namespace brelmont::toolbox
