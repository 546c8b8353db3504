// What the toolbox subcommands share: the embosser a command works on, loading it as its window
// would, and writing device texts so that a terminal shows every byte.
#pragma once

#include "printer/Printers.h"
#include "toolbox/Families.h"
#include "toolbox/ToolboxModel.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace brelmont::cli {

struct ToolboxTarget {
    printer::PrinterItem printer;
    const toolbox::ToolboxFamily* family = nullptr;
};

// Which families a command can work on, and what it says of the others.
struct ToolboxUse {
    std::function<bool(const toolbox::FamilyDescription&)> usable;
    std::string unusable;   // of a queue named: "this embosser takes no braille tables"
    std::string noneUsable; // of the attached ones: "no attached embosser takes braille tables"
};

// The queue named, or else the first attached queue in the order the toolbox menu tries the
// families, among the families `use` accepts (every family with a toolbox when it is empty). None
// when there is no such queue: the message is printed as "brelmont-cli: WHAT: ..." and `status` set.
std::optional<ToolboxTarget> chooseToolboxTarget(const std::string& what, const std::optional<std::string>& queue,
                                                 const ToolboxUse& use, int& status);

// Loads the target's settings into the model; on failure prints the failure message and why.
bool loadToolboxTarget(toolbox::ToolboxModel& model, const ToolboxTarget& target, const std::string& what);

// Backslash, carriage return, line feed and escape as \\, \r, \n and \e.
std::string visible(std::string_view text);

// The lines of a request after its universal exit, one a line, made visible.
void printRequestLines(std::string_view request);

} // namespace brelmont::cli
