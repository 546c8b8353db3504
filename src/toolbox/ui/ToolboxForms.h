// The window layouts of the toolbox families, by window identifier. A family gets a window by
// adding its layout here and its description to the engine; the window class is shared.
#pragma once

#include <string_view>

class QDialog;

namespace brelmont::toolbox::ui {

struct ToolboxForm {
    std::string_view windowIdentifier;
    void (*setupUi)(QDialog* window); // builds the widgets, named by their outlets
};

// The layout of the window with that identifier; null while the family has none.
const ToolboxForm* toolboxForm(std::string_view windowIdentifier);

} // namespace brelmont::toolbox::ui
