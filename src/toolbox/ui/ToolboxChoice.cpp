#include "toolbox/ui/ToolboxChoice.h"

#include "printer/ModelTable.h"
#include "printer/Printers.h"
#include "toolbox/ui/ToolboxViewController.h"
#include "widgets/CoreText.h"
#include "widgets/EmbosserChoice.h"
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

std::vector<printer::PrinterItem> attachedToolboxQueues(const std::vector<printer::PrinterItem>& queues) {
    std::vector<printer::PrinterItem> attached;
    for (const ToolboxFamily& family : toolboxFamilies()) {
        if (!ToolboxViewController::canOpen(family)) continue;
        for (const printer::PrinterItem& queue : queues)
            if (queue.connected && queue.model == family.modelCode) attached.push_back(queue);
    }
    return attached;
}

// Named by the model the user owns: the families' own names mean nothing to them.
QString toolboxMissingText(int64_t modelCode) {
    const QString model = QString::fromStdString(printer::modelName(modelCode).value_or("embosser"));
    return QObject::tr("The attached %1 needs a toolbox that this version of the program does not have yet.").arg(model);
}

ToolboxChoiceSources ToolboxChoiceSources::system() {
    return {[](const printer::SharedStop& stop) { return printer::Printers(stop); }, ToolboxDevice::system()};
}

QString openToolboxClick(QWidget* parent) { return openToolboxClick(parent, ToolboxChoiceSources::system()); }

namespace {

// What the discovery found; an empty one when it failed.
struct Found {
    std::vector<printer::PrinterItem> queues;
    std::vector<std::string> listing;
};

// The window of the queue's family, over that queue alone, so that it talks to the embosser chosen.
// Returns what its OK wrote.
QString openWindow(QWidget* parent, const ToolboxFamily& family, ToolboxDevice device, const printer::PrinterItem& queue) {
    device.printers = [queue](const printer::SharedStop&) { return std::vector<printer::PrinterItem>{queue}; };
    ToolboxViewController window(family, std::move(device), parent);
    window.runModal();
    return window.outcome();
}

} // namespace

QString openToolboxClick(QWidget* parent, const ToolboxChoiceSources& sources) {
    auto discover = sources.discover;
    auto stop = std::make_shared<printer::StopSignal>();
    // A toolbox closed by a cancelled wait has had its device work ended; its worker is only
    // winding down, and is waited for so that no two windows talk to one embosser at once.
    const std::optional<Found> found =
        widgets::LongWait::run<Found>(parent, QObject::tr("Looking for an attached embosser\u2026"),
                                      [discover, stop] {
                                          widgets::LongWait::joinAbandoned();
                                          printer::Printers printers = discover(stop);
                                          return Found{printers.items(), printers.deviceListing()};
                                      },
                                      {[stop] { stop->stop(); }, nullptr});
    if (!found) return {}; // cancelled
    const std::vector<printer::PrinterItem> queues = attachedToolboxQueues(found->queues);
    if (queues.size() == 1) return openWindow(parent, *familyForModel(queues[0].model), sources.device, queues[0]);
    if (queues.size() > 1) {
        const std::optional<printer::PrinterItem> picked =
            widgets::EmbosserChoice::pick(queues, QObject::tr("Several embossers are attached. Open the toolbox of:"), parent);
        return picked ? openWindow(parent, *familyForModel(picked->model), sources.device, *picked) : QString();
    }
    // No queue of a toolbox family is attached: a device may be, without a toolbox or a queue.
    const ToolboxFamily* family = chooseAttachedFamily(found->listing);
    if (!family) {
        widgets::MessageBox::show(widgets::withDoctorHint(widgets::translated(NoEmbosserMessage)));
        return {};
    }
    if (!ToolboxViewController::canOpen(*family)) {
        widgets::MessageBox::show(toolboxMissingText(family->modelCode));
        return {};
    }
    ToolboxViewController window(*family, sources.device, parent);
    window.runModal();
    return window.outcome();
}

} // namespace brelmont::toolbox::ui
