#include "toolbox/Controls.h"

namespace brelmont::toolbox {

ControlSet::ControlSet(const std::vector<ControlSpec>& declared) {
    m_controls.reserve(declared.size());
    for (const ControlSpec& control : declared) {
        ControlState state;
        state.name = std::string(control.name);
        state.kind = control.kind;
        state.notifies = control.notifies;
        state.editable = control.editable;
        state.enabled = control.kind != ControlKind::Button;
        state.items = control.items;
        state.itemsFromEngine = control.kind == ControlKind::ComboBox && control.layoutItems == 0;
        state.layoutItems = control.layoutItems;
        m_controls.push_back(std::move(state));
    }
}

ControlState* ControlSet::find(std::string_view name) {
    for (ControlState& c : m_controls)
        if (c.name == name) return &c;
    return nullptr;
}

const ControlState* ControlSet::find(std::string_view name) const {
    for (const ControlState& c : m_controls)
        if (c.name == name) return &c;
    return nullptr;
}

std::string ControlSet::text(std::string_view name) const {
    const ControlState* c = find(name);
    return c ? c->text : std::string();
}

int ControlSet::index(std::string_view name) const {
    const ControlState* c = find(name);
    return c ? c->index : -1;
}

bool ControlSet::checked(std::string_view name) const {
    const ControlState* c = find(name);
    return c && c->checked;
}

void ControlSet::setText(std::string_view name, std::string text) {
    if (ControlState* c = find(name)) {
        c->text = std::move(text);
        c->assigned = true;
    }
}

void ControlSet::setIndex(std::string_view name, int index) {
    if (ControlState* c = find(name)) {
        c->index = index;
        c->assigned = true;
    }
}

void ControlSet::setChecked(std::string_view name, bool checked) {
    if (ControlState* c = find(name)) {
        c->checked = checked;
        c->assigned = true;
    }
}

void ControlSet::setItems(std::string_view name, std::vector<std::string> items) {
    if (ControlState* c = find(name)) {
        c->items = std::move(items);
        c->itemsFromEngine = true;
        c->assigned = true;
    }
}

void ControlSet::setEditable(std::string_view name, bool editable) {
    if (ControlState* c = find(name)) {
        c->editable = editable;
        c->assigned = true;
    }
}

void ControlSet::setEnabled(std::string_view name, bool enabled) {
    if (ControlState* c = find(name)) {
        c->enabled = enabled;
        c->assigned = true;
    }
}

} // namespace brelmont::toolbox
