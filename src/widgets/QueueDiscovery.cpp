#include "widgets/QueueDiscovery.h"

#include "widgets/LongWait.h"

#include <QObject>

namespace brelmont::widgets {

std::optional<printer::Printers> discoverQueues(QWidget* parent) {
    const auto stop = std::make_shared<printer::StopSignal>();
    std::optional<std::optional<printer::Printers>> found = LongWait::run<std::optional<printer::Printers>>(
        parent, QObject::tr("Looking for the print queues\u2026"),
        [stop]() -> std::optional<printer::Printers> { return printer::Printers(stop); },
        {.onCancel = [stop] { stop->stop(); }, .note = {}});
    if (!found || !*found) return std::nullopt;
    return std::move(**found);
}

} // namespace brelmont::widgets
