#include "toolbox/ui/ToolboxDevice.h"

#include "printer/PjlHelper.h"

namespace brelmont::toolbox::ui {

ToolboxDevice ToolboxDevice::system() {
    return {[] { return printer::Printers().items(); }, &printer::PjlHelper::exchange};
}

} // namespace brelmont::toolbox::ui
