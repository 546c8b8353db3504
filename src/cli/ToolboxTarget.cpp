#include "cli/ToolboxTarget.h"

#include "cli/ExitCodes.h"
#include "cli/WaitNotice.h"
#include "printer/ModelTable.h"

#include <algorithm>
#include <iostream>

namespace brelmont::cli {

using printer::PrinterItem;
using toolbox::ToolboxFamily;

std::optional<ToolboxTarget> chooseToolboxTarget(const std::string& what, const std::optional<std::string>& queue,
                                                 const ToolboxUse& use, int& status) {
    const auto usable = [&](const ToolboxFamily& family) { return !use.usable || use.usable(*family.description); };
    // A named queue is the only one looked at: the others' embossers need not be asked.
    const std::vector<PrinterItem> items =
        queue ? printer::Printers(std::vector<std::string>{*queue}, {}).items() : printer::Printers().items();
    if (queue) {
        const auto found = std::find_if(items.begin(), items.end(), [&](const PrinterItem& p) { return p.queue == *queue; });
        if (found == items.end()) {
            std::cerr << "brelmont-cli: " << what << ": " << *queue << ": not a queue of a Brelmont embosser\n";
            status = ExitRefused;
            return std::nullopt;
        }
        const ToolboxFamily* family = toolbox::familyForModel(found->model);
        if (!family || !family->description) {
            const std::string model = printer::modelName(found->model).value_or("model " + std::to_string(found->model));
            std::cerr << "brelmont-cli: " << what << ": " << *queue << ": this program has no toolbox for the " << model << '\n';
            status = ExitRefused;
            return std::nullopt;
        }
        if (!usable(*family)) {
            std::cerr << "brelmont-cli: " << what << ": " << *queue << ": " << use.unusable << '\n';
            status = ExitRefused;
            return std::nullopt;
        }
        return ToolboxTarget{*found, family};
    }
    bool anyAttached = false;
    for (const ToolboxFamily& family : toolbox::toolboxFamilies()) {
        if (!family.description) continue;
        const auto found = std::find_if(items.begin(), items.end(),
                                        [&](const PrinterItem& p) { return p.model == family.modelCode && p.connected; });
        if (found == items.end()) continue;
        if (usable(family)) return ToolboxTarget{*found, &family};
        anyAttached = true;
    }
    status = ExitFailed;
    if (anyAttached) {
        std::cerr << "brelmont-cli: " << what << ": " << use.noneUsable << '\n';
        return std::nullopt;
    }
    const std::string_view message = toolbox::NoEmbosserMessage;
    std::cerr << message.substr(0, message.find("\r\n")) << '\n'; // the first line; the second is advice for a window's user
    return std::nullopt;
}

bool loadToolboxTarget(toolbox::ToolboxModel& model, const ToolboxTarget& target, const std::string& what) {
    bool loaded;
    {
        const WaitNotice notice(target.printer.deviceUri);
        loaded = model.load({target.printer});
    }
    if (!loaded)
        std::cerr << toolbox::LoadFailureMessage << '\n'
                  << "brelmont-cli: " << what << ": " << model.loadFailure().describe() << '\n';
    return loaded;
}

std::string visible(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\x1b': out += "\\e"; break;
        default: out += c;
        }
    }
    return out;
}

void printRequestLines(std::string_view lines) {
    if (lines.starts_with(printer::pjl::UniversalExit)) lines.remove_prefix(printer::pjl::UniversalExit.size());
    while (!lines.empty()) {
        const size_t end = lines.find('\n');
        std::cout << visible(lines.substr(0, end)) << '\n';
        lines.remove_prefix(end == std::string_view::npos ? lines.size() : end + 1);
    }
}

} // namespace brelmont::cli
