#include "cli/ToolboxTableCommand.h"

#include "cli/ExitCodes.h"
#include "cli/ToolboxTarget.h"
#include "cli/WaitNotice.h"
#include "printer/PjlHelper.h"
#include "toolbox/BrailleConversionData.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>

namespace brelmont::cli {

namespace {

constexpr const char* Usage = "usage: brelmont-cli toolbox table [--queue QUEUE] [--slot N] FILE\n";
constexpr const char* What = "toolbox table";

std::optional<int> parseSlot(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

// The PJL lines of the request, then its cells in hexadecimal, 16 a line.
void printTableRequest(const std::string& request) {
    const size_t cells = request.size() - std::tuple_size_v<toolbox::BrailleTable>;
    printRequestLines(std::string_view(request).substr(0, cells));
    for (size_t i = cells; i < request.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(request[i]));
        std::cout << hex << ((i - cells) % 16 == 15 ? '\n' : ' ');
    }
}

} // namespace

int runToolboxTable(const std::vector<std::string>& args) {
    std::optional<std::string> queue, file;
    std::optional<int> slot;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--queue" && hasValue && !queue) {
            queue = args[++i];
        } else if (args[i] == "--slot" && hasValue && !slot) {
            slot = parseSlot(args[++i]);
            if (!slot) {
                std::cerr << Usage;
                return ExitRefused;
            }
        } else if (!file && !args[i].starts_with("--")) {
            file = args[i];
        } else {
            std::cerr << Usage;
            return ExitRefused;
        }
    }
    if (!file) {
        std::cerr << Usage;
        return ExitRefused;
    }

    // The file first: a refused table never reaches the embosser.
    toolbox::BrailleConversionData table;
    if (table.readFile(*file) != toolbox::BrailleConversionData::Done) {
        std::cerr << "brelmont-cli: " << What << ": " << *file << ": " << table.failure() << "; nothing was sent\n";
        return ExitFailed;
    }
    int status = ExitOk;
    const ToolboxUse tables{[](const toolbox::FamilyDescription& family) { return family.tableSlots.count > 0; },
                            "this embosser takes no braille tables", "no attached embosser takes braille tables"};
    const std::optional<ToolboxTarget> target = chooseToolboxTarget(What, queue, tables, status);
    if (!target) return status;
    const int slots = target->family->description->tableSlots.count;
    if (slot && *slot >= slots) {
        std::cerr << "brelmont-cli: " << What << ": this embosser has table slot" << (slots > 1 ? "s 0 to " : " ") << slots - 1
                  << " only\n";
        return ExitRefused;
    }

    toolbox::ToolboxModel model(*target->family->description, printer::PjlHelper::exchange, printer::PjlHelper::exchangeData);
    if (!loadToolboxTarget(model, *target, What)) return ExitFailed;
    toolbox::WriteResult result;
    {
        const WaitNotice notice(target->printer.deviceUri);
        result = model.installTable(table.table(), slot);
    }
    for (const std::string& note : result.notes) std::cerr << "brelmont-cli: " << What << ": " << note << '\n';
    if (!result.request) return ExitFailed;
    if (result.failed()) {
        std::cerr << "brelmont-cli: " << What << ": the table was not sent: " << result.outcome.describe() << '\n';
        return ExitFailed;
    }
    printTableRequest(*result.request);
    return ExitOk;
}

} // namespace brelmont::cli
