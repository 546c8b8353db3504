// The toolbox engine: loads a device's settings into named controls, tracks the user's changes
// and writes the changed settings back. A window binds its widgets to the controls by name.
#pragma once

#include "printer/PjlReplies.h"
#include "printer/Printers.h"
#include "printer/RetryQuery.h"
#include "toolbox/Controls.h"
#include "toolbox/FamilyDescription.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::toolbox {

// The text shown when a load fails (no attached queue of the family, or an empty reply list).
constexpr std::string_view LoadFailureMessage = "Failed to retrieve the settings from the embosser. Please try again.";

// What a user change led to.
struct ChangeResult {
    bool known = false;               // the control exists and is of the kind the call expects
    bool applyEnabled = false;        // whether Apply is enabled after the change
    std::vector<std::string> changed; // other controls whose state the change altered: re-read them
};

class ToolboxModel {
public:
    // `exchange` carries every request to the device (PjlHelper::exchange in the program).
    explicit ToolboxModel(const FamilyDescription& family, printer::PjlExchange exchange);

    // --- the window's side -------------------------------------------------------------------

    // The controls, in the family's order, with their state; valid from construction on.
    const std::vector<ControlState>& controls() const { return m_controls.all(); }
    const ControlState* control(std::string_view name) const { return m_controls.find(name); }

    // Picks the first connected queue of the family's model code from `printers` (in their
    // order), runs the queries with the retry rule and fills the controls. Synchronous; true on
    // success. On failure mustDismiss() is true and the window shows LoadFailureMessage.
    bool load(const std::vector<printer::PrinterItem>& printers);
    // The same with the queue list built now (Printers).
    bool load();

    bool initialised() const { return m_bInit; }   // the controls hold device values
    bool mustDismiss() const { return m_bDismiss; } // the window must close (a failed load, or OK)
    bool applyEnabled() const { return m_applyEnabled; }
    std::string title() const;                      // the window title ("" until a load succeeded)
    const std::vector<int>& removedTabs() const { return m_removedTabs; } // tab indices of m_tvTabView to remove
    const std::optional<printer::PrinterItem>& printer() const { return m_printer; }

    // User changes: a text field's editing ended, a combo box selection, a check box toggle.
    // Refused (known false, nothing changes) for an unknown, disabled or read-only control, an
    // index outside the items, or text with control characters (they would start a PJL line).
    ChangeResult setText(std::string_view control, std::string text);
    ChangeResult setIndex(std::string_view control, int index);
    ChangeResult setChecked(std::string_view control, bool checked);

    // Apply: sends one request with every changed setting and returns it; none when nothing
    // differed. Apply is disabled afterwards either way.
    std::optional<std::string> apply();
    // OK: applies when Apply is enabled, then the window closes. Returns what apply sent.
    std::optional<std::string> ok();
    // The single-variable setter: the variable selected in m_cbPjlNames set to m_tfPjlValue.
    // Returns the request sent; none for no selection or a protected name.
    std::optional<std::string> setSelectedVariable();
    // Reads the sensors into m_tfSensors; false (m_tfSensors unchanged) without an acceptable reply.
    bool readSensors();
    // Resets the ink fill state of the cartridge named by the button's tag (1, else 0). Returns the request.
    std::string resetFillState(int tag);

    // --- the families' side ------------------------------------------------------------------

    // The first value of `key` in the family's lookup order; "" when no list has it.
    std::string getValue(std::string_view key) const;
    // Replaces the first value of `key` in the writable lists; returns the key, or "" when absent.
    std::string setValue(std::string_view key, std::string_view value);
    const std::vector<printer::PjlItem>& list(ListId id) const;
    ControlSet& controlSet() { return m_controls; }
    void removeTab(int index) { m_removedTabs.push_back(index); }
    // Sends a request to the queue's device and returns the reply; nothing without a queue.
    printer::ReplyLines exchange(const std::string& request);
    const FamilyDescription& family() const { return m_family; }

private:
    void fillControls();
    void markChanged(ChangeResult& result, std::string_view changedControl);
    ChangeResult userChange(ControlState* state);
    static bool sameState(const ControlState& a, const ControlState& b);
    std::vector<printer::PjlItem>& mutableList(ListId id);

    const FamilyDescription& m_family;
    printer::PjlExchange m_exchange;
    ControlSet m_controls;
    std::optional<printer::PrinterItem> m_printer;
    std::vector<printer::PjlItem> m_variables;
    std::vector<printer::PjlItem> m_versions;
    std::vector<printer::PjlItem> m_update;
    std::vector<printer::PjlItem> m_status;
    std::vector<printer::PjlItem> m_legacy;
    std::vector<int> m_removedTabs;
    bool m_bInit = false;
    bool m_bDismiss = false;
    bool m_applyEnabled = false;
};

} // namespace brelmont::toolbox
