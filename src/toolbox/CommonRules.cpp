#include "toolbox/CommonRules.h"

#include "toolbox/PaperSizes.h"
#include "toolbox/ToolboxModel.h"

namespace brelmont::toolbox::rules {

using printer::firstInteger;
using printer::PjlItem;

void showPrinterName(ToolboxModel& model) {
    if (model.printer()) model.controlSet().setText("m_tfPrinterName", model.printer()->name);
}

// The device status codes of the printer job language that every embosser reports the same way;
// other codes are shown as they come.
std::string_view statusInWords(int64_t code) {
    switch (code) {
    case 10001: return "ready";
    case 10002: return "ready, offline";
    case 10003: return "warming up";
    case 10004: return "testing itself";
    case 10005: return "resetting";
    case 10007: return "cancelling a job";
    case 10023: return "processing a job";
    default: return {};
    }
}

void listStatus(ToolboxModel& model) {
    std::string text = model.controlSet().text("m_tfStatus");
    for (const PjlItem& item : model.list(ListId::Status)) {
        const bool blank = item.value.find(' ') != std::string::npos;
        text += item.key + "=" + (blank ? "\"" + item.value + "\"" : item.value);
        if (const std::string_view words = item.key == "CODE" ? statusInWords(firstInteger(item.value)) : ""; !words.empty())
            text += " (" + std::string(words) + ")";
        text += "\r\n";
    }
    model.controlSet().setText("m_tfStatus", std::move(text));
}

void listVariableNames(ToolboxModel& model) {
    std::vector<std::string> names;
    for (const PjlItem& item : model.list(ListId::Variables)) names.push_back(item.key);
    model.controlSet().setItems("m_cbPjlNames", std::move(names));
}

std::function<void(ToolboxModel&)> choosePaperSize(std::string widthVariable, std::string heightVariable,
                                                   int64_t unitsPerTwentieth) {
    return [=](ToolboxModel& model) {
        const int64_t width = firstInteger(model.getValue(widthVariable)) / unitsPerTwentieth;
        const int64_t height = firstInteger(model.getValue(heightVariable)) / unitsPerTwentieth;
        model.controlSet().setIndex("m_cbPaperSize", paperSizeIndex(width, height));
    };
}

void fillPaperSize(ToolboxModel& model, int index) {
    const std::vector<PaperSize>& sizes = paperSizes();
    if (index < 0 || size_t(index) >= sizes.size()) return;
    model.controlSet().setText("m_tfPaperWidth", std::string(sizes[size_t(index)].widthText) + "\"");
    model.controlSet().setText("m_tfPaperHeight", std::string(sizes[size_t(index)].heightText) + "\"");
}

void showSelectedVariable(ToolboxModel& model, int index) {
    const std::vector<PjlItem>& variables = model.list(ListId::Variables);
    if (index < 0 || size_t(index) >= variables.size()) return;
    model.controlSet().setText("m_tfPjlValue", model.getValue(variables[size_t(index)].key));
}

void showMediaLimits(ToolboxModel& model, const std::string& minVariable, const std::string& maxVariable, bool editable) {
    ControlSet& controls = model.controlSet();
    controls.setText("m_tfFrontMin", model.getValue(minVariable));
    controls.setText("m_tfFrontMax", model.getValue(maxVariable));
    controls.setEditable("m_tfFrontMin", editable);
    controls.setEditable("m_tfFrontMax", editable);
}

} // namespace brelmont::toolbox::rules
