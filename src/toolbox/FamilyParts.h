// Pieces of a family description that several families share, joined with each family's own.
#pragma once

#include "toolbox/FamilyDescription.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::toolbox::parts {

// Shorthands of the family tables.
using K = ControlKind;
constexpr bool Notifies = true;  // ControlSpec::notifies
constexpr bool ReadOnly = false; // ControlSpec::editable

// The start of a family that loads four reply lists (its variables query, then versions, status
// and legacy) and shows the identity and paper controls; the family adds its own after them.
FamilyDescription fourListFamily(int64_t modelCode, std::string_view title, const printer::PjlQuery& variables,
                                 std::vector<ListId> lookupOrder);
// The identity fields and the status and sensor texts (read-only), the setter's name list and
// value field.
std::vector<ControlSpec> identityControls();
// Editable text fields whose changes count, one per name.
std::vector<ControlSpec> fieldsThatNotify(std::initializer_list<std::string_view> names);
// The paper size list, the paper width and height, the top, left and right margins and the line
// spacing fields.
std::vector<ControlSpec> paperControls();
// Text fields that report their changes, by outlet name.
std::vector<ControlSpec> textFields(std::initializer_list<std::string_view> names);
// The network page: the DHCP check box and the address, mask and gateway fields.
std::vector<ControlSpec> networkControls();
// The rows marked as this one embosser's own: left out of settings profiles.
std::vector<Setting> ownedByTheUnit(std::vector<Setting> rows);
// DHCP ("ON"/"OFF"), IPADDRESS, SUBNET and GATEWAY (texts as they are), in this order; the
// embosser's own.
std::vector<Setting> networkRows();
// MODEL, the family's firmware variable and SERIALNUMBER into the identity fields, shown only.
std::vector<Setting> identityRows(std::string_view firmwareVariable);
// FORMWIDTH and FORMHEIGHT (never written as 0), TOPMARGIN, LEFTMARGIN and RIGHTMARGIN, in
// twentieths of an inch, in this order.
std::vector<Setting> paperRowsInTwentieths();
// The load steps every family starts with: the queue's name, the status lines, the variable
// names, and the paper size nearest the two variables (`unitsPerTwentieth` device units to a
// twentieth of an inch).
std::vector<std::function<void(ToolboxModel&)>> firstLoadRules(std::string widthVariable, std::string heightVariable,
                                                               int64_t unitsPerTwentieth = 1);
// A paper size chosen fills width and height; a variable name chosen shows its loaded value.
std::vector<ComboAction> paperAndVariableActions();

template <class T>
void append(std::vector<T>& to, std::vector<T> more) {
    to.insert(to.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

} // namespace brelmont::toolbox::parts
