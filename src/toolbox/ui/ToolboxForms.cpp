#include "toolbox/ui/ToolboxForms.h"

#include "ui_OrvinToolboxWindowController.h"
#include "ui_TessalineToolboxWindowController.h"

#include <QDialog>

#include <algorithm>
#include <iterator>

namespace brelmont::toolbox::ui {

namespace {

// The widgets are found by name afterwards, so the generated pointers need not outlive this.
void setupOrvin(QDialog* window) {
    Ui::OrvinToolboxWindowController form;
    form.setupUi(window);
}

void setupTessaline(QDialog* window) {
    Ui::TessalineToolboxWindowController form;
    form.setupUi(window);
}

// The Ivra window is the Orvin window for another model code.
const ToolboxForm Forms[] = {
    {"orvinToolboxWindowController", setupOrvin},
    {"ivraToolboxWindowController", setupOrvin},
    {"tessalineToolboxWindowController", setupTessaline},
};

} // namespace

const ToolboxForm* toolboxForm(std::string_view windowIdentifier) {
    const auto found = std::find_if(std::begin(Forms), std::end(Forms),
                                    [&](const ToolboxForm& form) { return form.windowIdentifier == windowIdentifier; });
    return found == std::end(Forms) ? nullptr : found;
}

} // namespace brelmont::toolbox::ui
