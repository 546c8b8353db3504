// Embosser ▸ Toolbox…: opens the toolbox of the first attached embosser in the families' order.
#pragma once

#include "toolbox/Families.h"
#include "toolbox/ui/ToolboxDevice.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace brelmont::toolbox::ui {

// The first family, in choice order, with a device among the listing's lines; null for none.
// One listing answers all six model codes, as six listings would.
const ToolboxFamily* chooseAttachedFamily(const std::vector<std::string>& deviceListing);

// What the user is told when the attached family has no toolbox window in this program.
QString toolboxMissingText(const ToolboxFamily& family);

// Where the choice gets the device listing and the opened window its device; the defaults are
// the listing of the queue discovery (Printers, which also asks the queues' network embossers)
// and ToolboxDevice::system().
struct ToolboxChoiceSources {
    std::function<std::vector<std::string>(const printer::SharedStop& stop)> deviceListing;
    ToolboxDevice device;
    static ToolboxChoiceSources system();
};

// The menu command: lists the attached devices (behind a progress dialog), then opens the first
// family's window modally, or shows why none opens. Returns what the window's OK wrote (empty when
// nothing), for the opener to say.
QString openToolboxClick(QWidget* parent);
QString openToolboxClick(QWidget* parent, const ToolboxChoiceSources& sources);

} // namespace brelmont::toolbox::ui
