// The toolbox engine: loads a device's settings into named controls, tracks the user's changes
// and writes the changed settings back. A window binds its widgets to the controls by name.
#pragma once

#include "printer/PjlHelper.h"
#include "printer/PjlReplies.h"
#include "printer/Printers.h"
#include "printer/RetryQuery.h"
#include "toolbox/BrailleConversionData.h"
#include "toolbox/Controls.h"
#include "toolbox/FamilyDescription.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::toolbox {

// The text shown when a load fails (no attached queue of the family, or an empty reply list).
constexpr std::string_view LoadFailureMessage = "Failed to retrieve the settings from the embosser. Please try again.";

// How long a load, or one write, may take in all: BRELMONT_TOOLBOX_DEADLINE_MS, else 30 s.
std::chrono::milliseconds operationTimeLimit();

// What a user change led to.
struct ChangeResult {
    bool known = false;               // the control exists and is of the kind the call expects
    bool applyEnabled = false;        // whether Apply is enabled after the change
    std::vector<std::string> changed; // other controls whose state the change altered: re-read them
    printer::ExchangeOutcome outcome; // how asking the device went, for a combo box that asks it
};

// One step of the load, for a progress display.
struct LoadStep {
    std::string_view query; // the query's name: "variables", "versions", ...
    int number = 0;         // 1-based
    int count = 0;
};
using LoadProgress = std::function<void(const LoadStep&)>;

// What a write to the device came to.
struct WriteResult {
    std::optional<std::string> request; // what was sent, or tried; none when there was nothing to send
    printer::ExchangeOutcome outcome;   // Done when it reached the device (or nothing was sent)
    std::vector<std::string> notes;     // settings the user changed that were not written, and why
    int settings = 0;                   // how many settings the request carries

    bool failed() const { return request && !outcome.ok(); }
};

class ToolboxModel {
public:
    // `exchange` carries every PJL request to the device (PjlHelper::exchange in the program),
    // `data` the byte downloads (PjlHelper::exchangeData).
    explicit ToolboxModel(const FamilyDescription& family, printer::PjlExchange exchange, printer::DataExchange data = {});

    // --- the window's side -------------------------------------------------------------------

    // The controls, in the family's order, with their state; valid from construction on.
    const std::vector<ControlState>& controls() const { return m_controls.all(); }
    // The controls as the device's values last filled or wrote them (what the embosser holds).
    const ControlSet& loadedControls() const { return m_loaded; }
    const ControlState* control(std::string_view name) const { return m_controls.find(name); }

    // Picks the first connected queue of the family's model code from `printers` (in their
    // order), runs the queries with the retry rule and fills the controls. Synchronous; true on
    // success. The load stops at the first required query that yields no list, and ends within
    // operationTimeLimit(). On failure mustDismiss() is true, the window shows
    // LoadFailureMessage, and loadFailure() says why.
    bool load(const std::vector<printer::PrinterItem>& printers, const LoadProgress& progress = {});
    // The same with the queue list built now (Printers).
    bool load(const LoadProgress& progress = {});
    const printer::ExchangeOutcome& loadFailure() const { return m_loadFailure; }
    // What a successful load could not do (settings the embosser did not report), for the window to say.
    const std::vector<std::string>& loadNotes() const { return m_loadNotes; }

    // Stops the device work of this toolbox at once, from any thread: the exchange running ends
    // and nothing more is sent. For good: a cancelled toolbox closes.
    void cancel() { m_stop->stop(); }
    const printer::SharedStop& stopSignal() const { return m_stop; }

    bool initialised() const { return m_bInit; }    // the controls hold device values
    bool mustDismiss() const { return m_bDismiss; } // the window must close (a failed load, or OK)
    bool applyEnabled() const { return m_applyEnabled; }
    std::string title() const;                                            // the window title ("" until a load succeeded)
    const std::vector<int>& removedTabs() const { return m_removedTabs; } // tab indices of m_tvTabView to remove
    const std::optional<printer::PrinterItem>& printer() const { return m_printer; }

    // User changes: a text field's editing ended, a combo box selection, a check box toggle.
    // Refused (known false, nothing changes) for an unknown, disabled or read-only control, an
    // index outside the items, or text with control characters (they would start a PJL line).
    ChangeResult setText(std::string_view control, std::string text);
    ChangeResult setIndex(std::string_view control, int index);
    ChangeResult setChecked(std::string_view control, bool checked);
    // Whether choosing an item of this combo box asks the device (and so may take a while).
    bool talksToDevice(std::string_view control) const;

    // Apply: sends one request with every setting whose control the user changed since the load
    // and that differs from the device's value, then asks the device again: the lists hold what it
    // reports, and a setting it did not take is a note (its control then shows the kept value).
    // When the request did not reach the device, nothing counts as written and Apply stays enabled.
    WriteResult apply();
    // What Apply would send now, worked out without sending anything (a dry run): the request,
    // or none, and the notes; nothing changes.
    WriteResult plannedApply() const;
    // OK: applies when Apply is enabled; the window closes unless that write failed.
    WriteResult ok();
    // The single-variable setter: the variable selected in m_cbPjlNames set to m_tfPjlValue, in
    // the family's form. No request for no selection or one the family refuses; a protected name
    // or a value with a control character or one the family cannot hold is refused with a note
    // saying why. After it arrived, the device is asked again and the controls without pending
    // changes show it.
    WriteResult setSelectedVariable();
    // Downloads a braille table through the data exchange into `slot`, or the family's chosen slot.
    // No request, and a note why, for a family without tables or a slot it does not have. After
    // it arrived, the slot is the table in use.
    WriteResult installTable(const BrailleTable& table, std::optional<int> slot = std::nullopt);
    // Reads the sensors into m_tfSensors; m_tfSensors stays as it was unless a reply was accepted.
    printer::ExchangeOutcome readSensors();
    // Resets the ink fill state of the cartridge named by the button's tag (1, else 0).
    WriteResult resetFillState(int tag);

    // --- the families' side ------------------------------------------------------------------

    // The first value of `key` in the family's lookup order; "" when no list has it.
    std::string getValue(std::string_view key) const;
    // Replaces the first value of `key` in the writable lists; returns the key, or "" when absent.
    std::string setValue(std::string_view key, std::string_view value);
    // Adds an entry at the end of a list (a value the load builds from others).
    void addValue(ListId id, std::string key, std::string value);
    const std::vector<printer::PjlItem>& list(ListId id) const;
    ControlSet& controlSet() { return m_controls; }
    void removeTab(int index) { m_removedTabs.push_back(index); }
    // Sends a request to the queue's device within the time of one operation; fails without a queue.
    printer::ExchangeResult exchange(const std::string& request);
    // Sends bytes through the data exchange, bounded and cancellable like exchange.
    printer::DataExchangeResult exchangeData(const std::vector<uint8_t>& data);
    const FamilyDescription& family() const { return m_family; }

private:
    struct Written {
        const Setting* row;
        std::string variable;
        std::string text; // as sent
    };
    static bool sameValue(const Setting& row, std::string_view device, std::string_view written);
    bool rereadWritable(std::vector<std::string>& notes);
    bool reported(std::string_view variable) const;
    void disableUnreported();
    void readBack(const std::vector<Written>& written, std::vector<std::string>& notes);
    // The pairs Apply would queue for the settings changed, how many settings they are, and the
    // notes of those it would not write.
    struct Changes {
        std::vector<printer::PjlItem> queued;
        int settings = 0;
        std::vector<std::string> notes;
        std::vector<Written> written; // each setting queued, for reading back
    };
    Changes changes() const;
    std::string applyRequest(const std::vector<printer::PjlItem>& queued) const;
    printer::ExchangeBounds operationBounds() const;
    WriteResult write(std::string request);
    bool changedSinceLoad(std::string_view control) const;
    bool rowChanged(const Setting& row) const;
    void fillControls();
    void markChanged(ChangeResult& result, std::string_view changedControl);
    ChangeResult userChange(ControlState* state);
    ChangeResult refused() const;
    static bool sameState(const ControlState& a, const ControlState& b);
    std::vector<printer::PjlItem>& mutableList(ListId id);

    const FamilyDescription& m_family;
    printer::PjlExchange m_exchange;
    printer::DataExchange m_dataExchange;
    ControlSet m_controls;
    ControlSet m_loaded; // the controls as the device's values last filled or wrote them
    printer::SharedStop m_stop = std::make_shared<printer::StopSignal>();
    printer::ExchangeOutcome m_loadFailure;
    std::optional<printer::PrinterItem> m_printer;
    std::vector<printer::PjlItem> m_variables;
    std::vector<printer::PjlItem> m_versions;
    std::vector<printer::PjlItem> m_update;
    std::vector<printer::PjlItem> m_status;
    std::vector<printer::PjlItem> m_legacy;
    std::vector<int> m_removedTabs;
    std::vector<std::string> m_loadNotes;
    bool m_bInit = false;
    bool m_bDismiss = false;
    bool m_applyEnabled = false;
};

} // namespace brelmont::toolbox
