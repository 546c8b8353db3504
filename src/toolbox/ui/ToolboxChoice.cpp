#include "toolbox/ui/ToolboxChoice.h"

#include "printer/ModelTable.h"
#include "printer/Printers.h"
#include "toolbox/ui/ToolboxViewController.h"
#include "widgets/CoreText.h"
#include "widgets/Guidance.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"

#include <QObject>

#include <algorithm>

namespace brelmont::toolbox::ui {

const ToolboxFamily* chooseAttachedFamily(const std::vector<std::string>& deviceListing) {
    return chooseToolbox([&](int64_t code) {
        return std::any_of(deviceListing.begin(), deviceListing.end(),
                           [&](const std::string& line) { return printer::modelCode(line) == code; });
    });
}

// The family's name is its controller's name without the common ending.
QString toolboxMissingText(const ToolboxFamily& family) {
    std::string name(family.controllerName);
    const std::string ending = "ToolboxViewController";
    if (name.size() > ending.size() && name.ends_with(ending)) name.resize(name.size() - ending.size());
    return QObject::tr("The attached embosser needs the %1 toolbox, which this version of the program does not have yet.")
        .arg(QString::fromStdString(name));
}

ToolboxChoiceSources ToolboxChoiceSources::system() {
    return {[](const printer::SharedStop& stop) { return printer::Printers(stop).deviceListing(); }, ToolboxDevice::system()};
}

void openToolboxClick(QWidget* parent) { openToolboxClick(parent, ToolboxChoiceSources::system()); }

void openToolboxClick(QWidget* parent, const ToolboxChoiceSources& sources) {
    auto listing = sources.deviceListing;
    auto stop = std::make_shared<printer::StopSignal>();
    // A toolbox closed by a cancelled wait has had its device work ended; its worker is only
    // winding down, and is waited for so that no two windows talk to one embosser at once.
    const std::optional<std::vector<std::string>> lines = widgets::LongWait::run<std::vector<std::string>>(
        parent, QObject::tr("Looking for an attached embosser\u2026"),
        [listing, stop] {
            widgets::LongWait::joinAbandoned();
            return listing(stop);
        },
        {[stop] { stop->stop(); }, nullptr});
    if (!lines) return; // cancelled
    const ToolboxFamily* family = chooseAttachedFamily(*lines);
    if (!family) {
        widgets::MessageBox::show(
            widgets::withDoctorHint(widgets::translated(NoEmbosserMessage)));
        return;
    }
    if (!ToolboxViewController::canOpen(*family)) {
        widgets::MessageBox::show(toolboxMissingText(*family));
        return;
    }
    ToolboxViewController window(*family, sources.device, parent);
    window.runModal();
}

} // namespace brelmont::toolbox::ui
