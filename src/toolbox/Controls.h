// The controls of a toolbox window as the engine sees them: named values, no widgets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brelmont::toolbox {

// A Button is a family's own button that acts on the device (installing a braille table); the
// engine keeps only whether it is enabled, and it starts disabled until the family's rules say.
enum class ControlKind { TextField, Label, ComboBox, CheckBox, Button };

// One control, named by its outlet ("m_tfPaperWidth"). A window copies these into its widgets.
struct ControlState {
    std::string name;
    ControlKind kind = ControlKind::TextField;
    std::string text;     // text fields and labels
    int index = -1;       // combo boxes: the selected item, -1 for none
    bool checked = false; // check boxes
    bool enabled = true;
    bool editable = true;           // text fields
    std::vector<std::string> items; // combo boxes whose items the engine fills (paper sizes, PJL names)
    bool itemsFromEngine = false;   // true: `items` are the combo's items; false: the window's layout has them
    int layoutItems = 0;            // combo boxes with items in the layout: how many it holds
    bool notifies = false;          // user changes of this control count as changes (enable Apply)
    bool assigned = false;          // the engine has set this control; false: keep what the layout shows
};

// What a family declares about one of its controls.
struct ControlSpec {
    std::string_view name;
    ControlKind kind;
    bool notifies = false;               // sends change notifications (enables Apply)
    bool editable = true;                // initial editability of a text field
    std::vector<std::string> items = {}; // fixed items the engine fills
    // Combo boxes whose items the window's layout holds: how many. 0: the engine fills the items,
    // the fixed ones above or others at load (the PJL names).
    int layoutItems = 0;
};

// The controls of one window, in the order the family declares them.
class ControlSet {
public:
    explicit ControlSet(const std::vector<ControlSpec>& declared = {});

    // The control of that name, or null when the window has none.
    ControlState* find(std::string_view name);
    const ControlState* find(std::string_view name) const;
    const std::vector<ControlState>& all() const { return m_controls; }

    // Shorthands used by the family tables; an unknown name reads as empty and writes nothing.
    std::string text(std::string_view name) const;
    int index(std::string_view name) const;
    bool checked(std::string_view name) const;
    void setText(std::string_view name, std::string text);
    void setIndex(std::string_view name, int index);
    void setChecked(std::string_view name, bool checked);
    void setItems(std::string_view name, std::vector<std::string> items);
    void setEditable(std::string_view name, bool editable);
    void setEnabled(std::string_view name, bool enabled);

private:
    std::vector<ControlState> m_controls;
};

} // namespace brelmont::toolbox
