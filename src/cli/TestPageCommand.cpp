#include "cli/TestPageCommand.h"

#include "cli/ExitCodes.h"
#include "printer/ModelTable.h"
#include "printer/Printers.h"
#include "sendfile/TestPage.h"

#include <algorithm>
#include <iostream>

namespace brelmont::cli {

int runTestPage(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty()) {
        std::cerr << "usage: brelmont-cli testpage QUEUE\n";
        return ExitRefused;
    }
    const std::vector<printer::PrinterItem> queues = printer::Printers().items();
    const auto queue = std::find_if(queues.begin(), queues.end(), [&](const auto& p) { return p.queue == args[0]; });
    if (queue == queues.end()) {
        std::cerr << "brelmont-cli: testpage: " << args[0]
                  << " is not a queue of a Brelmont embosser (brelmont-cli printers lists them; brelmont-cli doctor "
                     "says what is missing)\n";
        return ExitFailed;
    }
    const sendfile::TestPageOutcome outcome = sendfile::printTestPage(*queue);
    if (!outcome.sent.queued()) {
        std::cerr << "brelmont-cli: testpage: " << outcome.sent.detail << '\n';
        return ExitFailed;
    }
    std::cout << "The test page for the " << printer::modelName(queue->model).value_or("Brelmont embosser") << " in "
              << outcome.spacing << " braille spacing went to the queue " << queue->queue << ".\n";
    return ExitOk;
}

} // namespace brelmont::cli
