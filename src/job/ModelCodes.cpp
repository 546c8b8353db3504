#include "job/ModelCodes.h"

namespace brelmont::job {

namespace {

struct ModelText {
    std::string_view text;
    int64_t code;
};

// The first text that a line contains wins; the Tessaline text is a prefix of the model names.
constexpr ModelText PjlModelTexts[] = {
    {"MODEL=\"Merriden\"", model::Merriden},
    {"MODEL=\"MerriColorTintBridge\"", model::MerridenTintBridge},
    {"MODEL=\"OrvinColorTintBridge\"", model::OrvinColorTintBridge},
    {"MODEL=\"Valdo\"", model::Valdo},
    {"MODEL=\"Tessaline", model::Tessaline},
};

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

} // namespace

int64_t modelCodeForPjlLine(std::string_view line) {
    for (const ModelText& m : PjlModelTexts)
        if (contains(line, m.text)) return m.code;
    return model::None;
}

int64_t modelCodeForConfiguration(std::string_view text, int64_t current) {
    if (contains(text, "PrinterType=Norrel")) current = model::Orvin;
    if (contains(text, "Option=NIC")) return model::OrvinColorTintBridge;
    if (contains(text, "Option=SIA")) return model::TalmoreTintBridge;
    return current;
}

} // namespace brelmont::job
