// Embosser ▸ Toolbox…: opens the toolbox of the attached embosser; with several attached, the
// user picks one of them first.
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

// The attached queues whose family has a toolbox window: in the families' choice order, and
// within a family in queue order.
std::vector<printer::PrinterItem> attachedToolboxQueues(const std::vector<printer::PrinterItem>& queues);

// What the user is told when the attached model has no toolbox window in this program.
QString toolboxMissingText(int64_t modelCode);

// Where the choice gets the queues with the device listing, and the opened window its device;
// the defaults are the queue discovery (Printers, which also asks the queues' network embossers)
// and ToolboxDevice::system().
struct ToolboxChoiceSources {
    std::function<printer::Printers(const printer::SharedStop& stop)> discover;
    ToolboxDevice device;
    static ToolboxChoiceSources system();
};

// The menu command: finds the attached embossers (behind a progress dialog), lets the user pick
// one when there are several, then opens its family's window modally, or says why none opens.
// Returns what the window's OK wrote (empty when nothing), for the opener to say.
QString openToolboxClick(QWidget* parent);
QString openToolboxClick(QWidget* parent, const ToolboxChoiceSources& sources);

} // namespace brelmont::toolbox::ui
