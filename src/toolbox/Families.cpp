#include "toolbox/Families.h"

#include "toolbox/OrvinFamily.h"

#include <algorithm>

namespace brelmont::toolbox {

const std::vector<ToolboxFamily>& toolboxFamilies() {
    static const std::vector<ToolboxFamily> families{
        {80803, "fennickToolboxWindowController", "FennickToolboxViewController", nullptr},
        {20802, "tessalineToolboxWindowController", "TessalineToolboxViewController", nullptr},
        {121201, "valdoToolboxWindowController", "ValdoToolboxViewController", nullptr},
        {131201, "merridenToolboxWindowController", "MerridenToolboxViewController", nullptr},
        {221201, "orvinToolboxWindowController", "OrvinToolboxViewController", &orvinFamily()},
        {221203, "ivraToolboxWindowController", "IvraToolboxViewController", &ivraFamily()},
    };
    return families;
}

const ToolboxFamily* familyForModel(int64_t modelCode) {
    const auto& families = toolboxFamilies();
    const auto found = std::find_if(families.begin(), families.end(), [&](const ToolboxFamily& f) { return f.modelCode == modelCode; });
    return found == families.end() ? nullptr : &*found;
}

const ToolboxFamily* chooseToolbox(const std::function<bool(int64_t)>& attached) {
    for (const ToolboxFamily& family : toolboxFamilies())
        if (attached(family.modelCode)) return &family;
    return nullptr;
}

} // namespace brelmont::toolbox
