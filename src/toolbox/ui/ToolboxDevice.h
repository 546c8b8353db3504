// Where a toolbox window finds its queues and sends its requests. The program uses the CUPS tools
// and pjlhelper; tests put a device of their own making behind the same two functions.
#pragma once

#include "printer/Printers.h"
#include "printer/RetryQuery.h"

#include <functional>
#include <vector>

namespace brelmont::toolbox::ui {

struct ToolboxDevice {
    // The queue list, in "lpstat -e" order; a stopped signal ends its making early.
    std::function<std::vector<printer::PrinterItem>(const printer::SharedStop& stop)> printers;
    printer::PjlExchange exchange; // one request to a device and its reply
    printer::DataExchange data;    // bytes to a device (braille tables)

    // Printers(stop).items(), PjlHelper::exchange and PjlHelper::exchangeData.
    static ToolboxDevice system();
};

} // namespace brelmont::toolbox::ui
