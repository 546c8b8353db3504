#include "toolbox/ui/ToolboxDevice.h"

#include "printer/PjlHelper.h"

namespace brelmont::toolbox::ui {

ToolboxDevice ToolboxDevice::system() {
    return {[](const printer::SharedStop& stop) { return printer::Printers(stop).items(); }, &printer::PjlHelper::exchange,
            &printer::PjlHelper::exchangeData};
}

} // namespace brelmont::toolbox::ui
