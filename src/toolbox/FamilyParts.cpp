#include "toolbox/FamilyParts.h"

#include "toolbox/CommonRules.h"
#include "toolbox/PaperSizes.h"

namespace brelmont::toolbox::parts {

FamilyDescription fourListFamily(int64_t modelCode, std::string_view title, const printer::PjlQuery& variables,
                                 std::vector<ListId> lookupOrder) {
    FamilyDescription f;
    f.modelCode = modelCode;
    f.title = title;
    f.queries = {{&variables, ListId::Variables},
                 {&printer::pjl::Versions, ListId::Versions},
                 {&printer::pjl::Status, ListId::Status},
                 {&printer::pjl::Legacy, ListId::Legacy}};
    f.lookupOrder = std::move(lookupOrder);
    f.controls = identityControls();
    append(f.controls, paperControls());
    return f;
}

std::vector<ControlSpec> identityControls() {
    return {
        {"m_tfPrinterName", K::TextField, false, ReadOnly},
        {"m_tfModelNumber", K::TextField, false, ReadOnly},
        {"m_tfFirmwareVersion", K::TextField, false, ReadOnly},
        {"m_tfSerialNumber", K::TextField, false, ReadOnly},
        {"m_tfStatus", K::TextField, false, ReadOnly},
        {"m_tfSensors", K::TextField, false, ReadOnly},
        {"m_cbPjlNames", K::ComboBox, Notifies},
        {"m_tfPjlValue", K::TextField, Notifies},
    };
}

std::vector<ControlSpec> fieldsThatNotify(std::initializer_list<std::string_view> names) {
    std::vector<ControlSpec> fields;
    for (std::string_view name : names) fields.push_back({name, K::TextField, Notifies});
    return fields;
}

std::vector<ControlSpec> paperControls() {
    return {
        {"m_cbPaperSize", K::ComboBox, Notifies, true, paperSizeNames()},
        {"m_tfPaperHeight", K::TextField, Notifies},
        {"m_tfPaperWidth", K::TextField, Notifies},
        {"m_tfTopMargin", K::TextField, Notifies},
        {"m_tfLeftMargin", K::TextField, Notifies},
        {"m_tfRightMargin", K::TextField, Notifies},
        {"m_tfExtraLineSpace", K::TextField, Notifies},
    };
}

std::vector<ControlSpec> textFields(std::initializer_list<std::string_view> names) {
    std::vector<ControlSpec> fields;
    for (std::string_view name : names) fields.push_back({name, K::TextField, Notifies});
    return fields;
}

std::vector<ControlSpec> networkControls() {
    return {
        {"m_ckDHCP", K::CheckBox, Notifies},
        {"m_tfSubnet", K::TextField, Notifies},
        {"m_tfIpAddr", K::TextField, Notifies},
        {"m_tfGateway", K::TextField, Notifies},
    };
}

std::vector<Setting> ownedByTheUnit(std::vector<Setting> rows) {
    for (Setting& row : rows) row.inProfiles = false;
    return rows;
}

std::vector<Setting> networkRows() {
    return ownedByTheUnit({
        {"DHCP", "m_ckDHCP", conv::check("ON", "OFF")},
        {"IPADDRESS", "m_tfIpAddr", conv::text()},
        {"SUBNET", "m_tfSubnet", conv::text()},
        {"GATEWAY", "m_tfGateway", conv::text()},
    });
}

std::vector<Setting> identityRows(std::string_view firmwareVariable) {
    return {
        {"MODEL", "m_tfModelNumber", conv::shownText()},
        {firmwareVariable, "m_tfFirmwareVersion", conv::shownText()},
        {"SERIALNUMBER", "m_tfSerialNumber", conv::shownText()},
    };
}

std::vector<Setting> paperRowsInTwentieths() {
    return {
        {"FORMWIDTH", "m_tfPaperWidth", conv::paperLength(20, "width")},
        {"FORMHEIGHT", "m_tfPaperHeight", conv::paperLength(20, "height")},
        {"TOPMARGIN", "m_tfTopMargin", conv::length(20)},
        {"LEFTMARGIN", "m_tfLeftMargin", conv::length(20)},
        {"RIGHTMARGIN", "m_tfRightMargin", conv::length(20)},
    };
}

std::vector<std::function<void(ToolboxModel&)>> firstLoadRules(std::string widthVariable, std::string heightVariable,
                                                               int64_t unitsPerTwentieth) {
    return {rules::showPrinterName, rules::listStatus, rules::listVariableNames,
            rules::choosePaperSize(std::move(widthVariable), std::move(heightVariable), unitsPerTwentieth)};
}

std::vector<ComboAction> paperAndVariableActions() {
    return {{"m_cbPaperSize", rules::fillPaperSize}, {"m_cbPjlNames", rules::showSelectedVariable}};
}

} // namespace brelmont::toolbox::parts
