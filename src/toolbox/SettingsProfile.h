// Settings profiles: the settings of one embosser, by control, to set others of its family alike.
// A profile is applied the way a person would: each control set in the family's order, then Apply,
// which writes only what differs from the embosser's own values.
#pragma once

#include "toolbox/ToolboxModel.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brelmont::toolbox {

// A control's value as it shows it: a text field's text, a check box on or off, a combo box's
// selected index.
using ControlValue = std::variant<std::string, bool, int64_t>;

struct ProfileSetting {
    std::string control; // the outlet name, "m_tfTopMargin"
    ControlValue value;
};

struct SettingsProfile {
    int64_t family = 0;   // the model code of the toolbox family
    std::string model;    // as the embosser named itself
    std::string firmware; // as its toolbox showed it
    std::vector<ProfileSetting> settings;
};

// The controls a profile of the family may hold, in the order they are set: those the settings
// table writes (with the controls a written value also reads, before it), less the embosser's own.
std::vector<std::string_view> profileControls(const FamilyDescription& family);

// The profile's settings that the family's profiles do not have, by name.
std::vector<std::string> unknownSettings(const FamilyDescription& family, const SettingsProfile& profile);

// The embosser's settings as a loaded toolbox holds them: each profile control a person could
// change now, with its value as the device last gave or took it.
SettingsProfile makeProfile(const ToolboxModel& model);

// Sets one control as a person would. Refused (known false) also for a value of the wrong kind.
ChangeResult setControl(ToolboxModel& model, std::string_view control, const ControlValue& value);

// What applying a profile to one embosser came to.
struct ProfileImport {
    std::string refusal;              // not empty: the profile is not for this family; nothing was set
    std::vector<std::string> unknown; // controls the family's profiles do not have: skipped
    std::vector<std::string> refused; // "m_cbQuality cannot take 7": not set
    WriteResult write;                // Apply's, or with a dry run the request worked out and not sent

    // Something asked for was not done: a refusal, a value not taken or not written, a failed write.
    bool failed() const { return !refusal.empty() || !refused.empty() || !write.notes.empty() || write.failed(); }
};

// Applies the profile to a loaded toolbox; a dry run sets the controls but sends nothing.
ProfileImport importProfile(ToolboxModel& model, const SettingsProfile& profile, bool dryRun = false);

// "the Orvin family (221201)", for messages.
std::string familyName(int64_t modelCode);

} // namespace brelmont::toolbox
