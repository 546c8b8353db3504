// Printing the test page on a queue: the page is made for the queue's model and braille spacing
// and sent raw like any file, and the caller learns whether the queue took it.
#pragma once

#include "printer/Printers.h"
#include "printer/StopSignal.h"
#include "sendfile/SendOperation.h"

#include <string>
#include <string_view>

namespace brelmont::sendfile {

// The queue's current "BrailleSpacing" choice; empty when the queue offers none (or its options
// could not be read, `error` then says why).
std::string queueBrailleSpacing(std::string_view queue, std::string* error = nullptr);

struct TestPageOutcome {
    SendOutcome sent;
    std::string spacing; // the spacing the page was made in
};

// Makes the test page for `queue` and sends it; nothing counts as printed until lpr said so.
TestPageOutcome printTestPage(const printer::PrinterItem& queue, const printer::SharedStop& stop = {});

} // namespace brelmont::sendfile
