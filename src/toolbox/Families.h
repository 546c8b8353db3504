// The toolbox families in the order the toolbox menu command tries them.
#pragma once

#include "common/Translatable.h"
#include "toolbox/FamilyDescription.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace brelmont::toolbox {

// Shown when no attached device belongs to a family with a toolbox.
constexpr std::string_view NoEmbosserMessage = BRELMONT_TRANSLATABLE(
    "Brelmont", "There is no Brelmont embosser attached to the system.\r\nPlease connect one and try again.");

struct ToolboxFamily {
    int64_t modelCode;
    std::string_view windowIdentifier;    // "orvinToolboxWindowController", ...
    std::string_view controllerName;      // "OrvinToolboxViewController", ...
    const FamilyDescription* description; // null while the family has no description yet
};

// The six families, in choice order: 80803, 20802, 121201, 131201, 221201, 221203.
const std::vector<ToolboxFamily>& toolboxFamilies();
// The family of a model code; null for none.
const ToolboxFamily* familyForModel(int64_t modelCode);
// The first family, in choice order, for which `attached(modelCode)` is true; null for none.
// (The toolbox menu passes a test by the device listing, chooseAttachedFamily.)
const ToolboxFamily* chooseToolbox(const std::function<bool(int64_t modelCode)>& attached);

} // namespace brelmont::toolbox
