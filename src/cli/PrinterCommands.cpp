#include "cli/PrinterCommands.h"

#include "cli/ExitCodes.h"
#include "printer/ModelTable.h"
#include "printer/PjlHelper.h"
#include "printer/Printers.h"
#include "printer/RetryQuery.h"

#include <iostream>

namespace brelmont::cli {

using namespace brelmont::printer;

// queue, display name, model code, model name, device address, connected: one line, tab-separated.
int runPrinters(const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::cerr << "usage: brelmont-cli printers\n";
        return ExitRefused;
    }
    for (const PrinterItem& p : Printers().items())
        std::cout << p.queue << '\t' << p.name << '\t' << p.model << '\t' << modelName(p.model).value_or("") << '\t'
                  << p.deviceUri << '\t' << (p.connected ? "connected" : "not connected") << '\n';
    return ExitOk;
}

int runDevices(const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::cerr << "usage: brelmont-cli devices\n";
        return ExitRefused;
    }
    // The queues' network embossers are asked too, as every window does.
    for (const std::string& line : Printers().deviceListing())
        if (!line.empty()) std::cout << line << '\n';
    return ExitOk;
}

int runQuery(const std::vector<std::string>& args) {
    const PjlQuery* query = args.size() == 2 ? pjl::queryNamed(args[1]) : nullptr;
    if (!query) {
        std::cerr << "usage: brelmont-cli query URI variables|variables-status|versions|status|legacy|sensors|nvparms\n";
        return ExitRefused;
    }
    const QueryResult result = askWithRetry(*query, args[0], PjlHelper::exchange);
    if (!result.items) {
        std::cerr << "brelmont-cli: query " << query->name << ": " << args[0] << ": " << result.outcome.describe() << '\n';
        return ExitFailed;
    }
    if (result.items->empty()) {
        std::cerr << "brelmont-cli: query " << query->name << ": the reply's entries did not match their count\n";
        return ExitFailed;
    }
    for (const PjlItem& item : *result.items) std::cout << item.key << '=' << item.value << '\n';
    return ExitOk;
}

} // namespace brelmont::cli
