#include "toolbox/SettingsProfile.h"

#include "printer/ModelTable.h"

#include <algorithm>
#include <climits>
#include <string>

namespace brelmont::toolbox {

namespace {

bool userCanChange(const ControlState& state) {
    const bool kindTakesInput =
        state.kind == ControlKind::CheckBox || state.kind == ControlKind::ComboBox || state.kind == ControlKind::TextField;
    return kindTakesInput && state.enabled && (state.kind != ControlKind::TextField || state.editable);
}

// A value as a message may show it: control characters of a text as \xHH.
std::string shown(const ControlValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        std::string quoted = "\"";
        for (const char c : *text) {
            const auto u = static_cast<unsigned char>(c);
            if (u >= 0x20 && u != 0x7f) quoted += c;
            else quoted += "\\x" + std::string(1, "0123456789ABCDEF"[u >> 4]) + "0123456789ABCDEF"[u & 15];
        }
        return quoted + "\"";
    }
    if (const auto* on = std::get_if<bool>(&value)) return *on ? "true" : "false";
    return std::to_string(std::get<int64_t>(value));
}

// The controls of one settings row that a profile carries, in the order they are set.
std::vector<std::string_view> rowControls(const Setting& row) {
    std::vector<std::string_view> controls(row.conversion.alsoReads.begin(), row.conversion.alsoReads.end());
    controls.push_back(row.control);
    return controls;
}

} // namespace

std::vector<std::string_view> profileControls(const FamilyDescription& family) {
    std::vector<std::string_view> controls;
    for (const Setting& row : family.settings) {
        if (!row.inProfiles || !row.conversion.write) continue;
        for (std::string_view control : rowControls(row))
            if (std::find(controls.begin(), controls.end(), control) == controls.end()) controls.push_back(control);
    }
    return controls;
}

std::vector<std::string> unknownSettings(const FamilyDescription& family, const SettingsProfile& profile) {
    const std::vector<std::string_view> controls = profileControls(family);
    std::vector<std::string> unknown;
    for (const ProfileSetting& setting : profile.settings)
        if (std::find(controls.begin(), controls.end(), setting.control) == controls.end()) unknown.push_back(setting.control);
    return unknown;
}

SettingsProfile makeProfile(const ToolboxModel& model) {
    SettingsProfile profile;
    profile.family = model.family().modelCode;
    const ControlSet& loaded = model.loadedControls();
    profile.model = loaded.text("m_tfModelNumber");
    profile.firmware = loaded.text("m_tfFirmwareVersion");
    if (!model.initialised()) return profile;
    for (const Setting& row : model.family().settings) {
        if (!row.inProfiles || !row.conversion.write || (row.present && !row.present(model))) continue;
        for (std::string_view control : rowControls(row)) {
            const ControlState* state = loaded.find(control);
            const auto taken = [&](const ProfileSetting& s) { return s.control == control; };
            if (!state || !userCanChange(*state) || std::any_of(profile.settings.begin(), profile.settings.end(), taken))
                continue;
            if (state->kind == ControlKind::TextField) profile.settings.push_back({state->name, state->text});
            else if (state->kind == ControlKind::CheckBox) profile.settings.push_back({state->name, state->checked});
            else if (state->index >= 0) profile.settings.push_back({state->name, int64_t(state->index)}); // a choice made
        }
    }
    return profile;
}

ChangeResult setControl(ToolboxModel& model, std::string_view control, const ControlValue& value) {
    const ControlState* state = model.control(control);
    if (state && state->kind == ControlKind::TextField)
        if (const auto* text = std::get_if<std::string>(&value)) return model.setText(control, *text);
    if (state && state->kind == ControlKind::CheckBox)
        if (const auto* on = std::get_if<bool>(&value)) return model.setChecked(control, *on);
    if (state && state->kind == ControlKind::ComboBox)
        if (const auto* index = std::get_if<int64_t>(&value); index && *index >= -1 && *index <= INT_MAX)
            return model.setIndex(control, int(*index));
    ChangeResult refused;
    refused.applyEnabled = model.applyEnabled();
    return refused;
}

ProfileImport importProfile(ToolboxModel& model, const SettingsProfile& profile, bool dryRun) {
    ProfileImport result;
    const FamilyDescription& family = model.family();
    if (profile.family != family.modelCode) {
        result.refusal = "The profile is for " + familyName(profile.family) + ", not for " + familyName(family.modelCode) +
                         "; nothing was written.";
        return result;
    }
    result.unknown = unknownSettings(family, profile);
    // The family's order, not the file's: a media kind is chosen before its limits are typed.
    for (std::string_view control : profileControls(family)) {
        const auto named = std::find_if(profile.settings.rbegin(), profile.settings.rend(),
                                        [&](const ProfileSetting& s) { return s.control == control; });
        if (named == profile.settings.rend()) continue;
        if (!setControl(model, control, named->value).known)
            result.refused.push_back(std::string(control) + " cannot take " + shown(named->value));
    }
    result.write = dryRun ? model.plannedApply() : model.apply();
    return result;
}

std::string familyName(int64_t modelCode) {
    return "the " + printer::modelName(modelCode).value_or("unknown") + " family (" + std::to_string(modelCode) + ")";
}

} // namespace brelmont::toolbox
