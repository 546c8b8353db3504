// Reading the queue list for a window: off the window thread, with a progress dialog that offers
// Cancel when the reading takes a moment.
#pragma once

#include "printer/Printers.h"

#include <optional>

class QWidget;

namespace brelmont::widgets {

// The queue list; nothing when the user cancelled (the reading is then stopped).
std::optional<printer::Printers> discoverQueues(QWidget* parent);

} // namespace brelmont::widgets
