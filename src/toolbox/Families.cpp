#include "toolbox/Families.h"

#include "common/ModelCodes.h"
#include "toolbox/FennickFamily.h"
#include "toolbox/OrvinFamily.h"
#include "toolbox/TessalineFamily.h"
#include "toolbox/ValdoFamily.h"

#include <algorithm>

namespace brelmont::toolbox {

const std::vector<ToolboxFamily>& toolboxFamilies() {
    static const std::vector<ToolboxFamily> families{
        {model::Quorrin, "fennickToolboxWindowController", "FennickToolboxViewController", &fennickFamily()},
        {model::Tessaline, "tessalineToolboxWindowController", "TessalineToolboxViewController", &tessalineFamily()},
        {model::Valdo, "valdoToolboxWindowController", "ValdoToolboxViewController", &valdoFamily()},
        {model::Merriden, "merridenToolboxWindowController", "MerridenToolboxViewController", &merridenFamily()},
        {model::Orvin, "orvinToolboxWindowController", "OrvinToolboxViewController", &orvinFamily()},
        {model::OrvinColorTintBridge, "ivraToolboxWindowController", "IvraToolboxViewController", &ivraFamily()},
    };
    return families;
}

const ToolboxFamily* familyForModel(int64_t modelCode) {
    const auto& families = toolboxFamilies();
    const auto found =
        std::find_if(families.begin(), families.end(), [&](const ToolboxFamily& f) { return f.modelCode == modelCode; });
    return found == families.end() ? nullptr : &*found;
}

const ToolboxFamily* chooseToolbox(const std::function<bool(int64_t)>& attached) {
    for (const ToolboxFamily& family : toolboxFamilies())
        if (attached(family.modelCode)) return &family;
    return nullptr;
}

} // namespace brelmont::toolbox
