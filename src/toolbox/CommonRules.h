// Load steps and combo box actions that several families share.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace brelmont::toolbox {

class ToolboxModel;

namespace rules {

// m_tfPrinterName: the name of the chosen queue.
void showPrinterName(ToolboxModel& model);
// A device status code of the printer job language in words ("ready"); empty for other codes.
std::string_view statusInWords(int64_t code);
// m_tfStatus: every status entry appended as KEY=VALUE and "\r\n", values with a blank quoted.
void listStatus(ToolboxModel& model);
// m_cbPjlNames: the keys of the variables list, in list order.
void listVariableNames(ToolboxModel& model);
// m_cbPaperSize: the row nearest the two variables, whose values count
// `unitsPerTwentieth` device units per twentieth of an inch.
std::function<void(ToolboxModel&)> choosePaperSize(std::string widthVariable, std::string heightVariable,
                                                   int64_t unitsPerTwentieth = 1);

// "cbGeneralPaperSize": the chosen row's width and height texts into m_tfPaperWidth/Height.
void fillPaperSize(ToolboxModel& model, int index);
// "cbGeneralPjlName": the value of the chosen variable into m_tfPjlValue.
void showSelectedVariable(ToolboxModel& model, int index);
// The media limits into m_tfFrontMin and m_tfFrontMax, editable or not.
void showMediaLimits(ToolboxModel& model, const std::string& minVariable, const std::string& maxVariable, bool editable);

} // namespace rules

} // namespace brelmont::toolbox
