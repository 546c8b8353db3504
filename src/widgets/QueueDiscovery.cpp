#include "widgets/QueueDiscovery.h"

#include "widgets/LongWait.h"

#include <QObject>

namespace brelmont::widgets {

std::optional<printer::Printers> discoverQueues(QWidget* parent) {
    const auto stop = std::make_shared<printer::StopSignal>();
    return LongWait::run<printer::Printers>(parent, QObject::tr("Looking for the print queues\u2026"),
                                            [stop] { return printer::Printers(stop); },
                                            {.onCancel = [stop] { stop->stop(); }, .note = {}});
}

} // namespace brelmont::widgets
