#include "toolbox/ui/ToolboxForms.h"

#include "ui_FennickToolboxWindowController.h"
#include "ui_OrvinToolboxWindowController.h"
#include "ui_TessalineToolboxWindowController.h"
#include "ui_ValdoToolboxWindowController.h"

#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <iterator>

namespace brelmont::toolbox::ui {

namespace {

// The widgets are found by name afterwards, so the generated pointers need not outlive this.
template <class Form>
void setup(QDialog* window) {
    Form form;
    form.setupUi(window);
}

// The Valdo window is the Merriden window without the back: its limits are one pair.
void setupValdo(QDialog* window) {
    Ui::ValdoToolboxWindowController form;
    form.setupUi(window);
    form.tabPaperLayout->removeRow(form.m_tfBackMin);
    form.tabPaperLayout->removeRow(form.m_tfBackMax);
    form.label_m_tfFrontMin->setText(QObject::tr("Minimum:"));
    form.label_m_tfFrontMax->setText(QObject::tr("Maximum:"));
}

// The Ivra window is the Orvin window for another model code.
const ToolboxForm Forms[] = {
    {"orvinToolboxWindowController", setup<Ui::OrvinToolboxWindowController>},
    {"ivraToolboxWindowController", setup<Ui::OrvinToolboxWindowController>},
    {"tessalineToolboxWindowController", setup<Ui::TessalineToolboxWindowController>},
    {"valdoToolboxWindowController", setupValdo},
    // The Merriden window has media limits for the front and the back of the sheet.
    {"merridenToolboxWindowController", setup<Ui::ValdoToolboxWindowController>},
    {"fennickToolboxWindowController", setup<Ui::FennickToolboxWindowController>},
};

} // namespace

const ToolboxForm* toolboxForm(std::string_view windowIdentifier) {
    const auto found = std::find_if(std::begin(Forms), std::end(Forms),
                                    [&](const ToolboxForm& form) { return form.windowIdentifier == windowIdentifier; });
    return found == std::end(Forms) ? nullptr : found;
}

} // namespace brelmont::toolbox::ui
