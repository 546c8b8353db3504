#include "cli/ToolboxCommand.h"

#include "cli/ExitCodes.h"
#include "cli/WaitNotice.h"
#include "printer/PjlHelper.h"
#include "printer/Printers.h"
#include "toolbox/Families.h"
#include "toolbox/ToolboxModel.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <optional>

namespace brelmont::cli {

namespace {

using printer::PrinterItem;
using toolbox::ControlKind;
using toolbox::ControlState;
using toolbox::ToolboxFamily;

constexpr const char* Usage =
    "usage: brelmont-cli toolbox show [--queue QUEUE]\n"
    "       brelmont-cli toolbox apply [--queue QUEUE] NAME=VALUE ...\n"
    "Loads the settings of the embosser behind QUEUE (by default the first attached one, in the\n"
    "order the toolbox menu tries the families) as its toolbox window would.\n"
    "show prints every control as NAME=VALUE, one a line: text fields and labels their text\n"
    "  (a backslash, carriage return, line feed and escape written \\\\, \\r, \\n, \\e), check boxes\n"
    "  true or false, combo boxes the selected index (-1: none).\n"
    "apply sets the controls from left to right as a user would (text, true/false, index), so\n"
    "  the controls' own actions follow (a paper size fills width and height), then presses Apply\n"
    "  when a change enabled it. It prints the lines of the request sent, after the universal exit,\n"
    "  one a line, or \"nothing to send\".\n"
    "Exit status: 0 when the settings were read (and the request reached the embosser), 1 when\n"
    "the embosser could not be read or the request did not reach it (the reason goes to standard\n"
    "error), 2 for a wrong command line. A load ends within BRELMONT_TOOLBOX_DEADLINE_MS (30000).\n";

struct Assignment {
    std::string name;
    std::string value;
};

struct Target {
    PrinterItem printer;
    const ToolboxFamily* family = nullptr;
};

std::string visible(const std::string& text) {
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

std::string shown(const ControlState& c) {
    switch (c.kind) {
    case ControlKind::CheckBox: return c.checked ? "true" : "false";
    case ControlKind::ComboBox: return std::to_string(c.index);
    case ControlKind::TextField:
    case ControlKind::Label: break;
    }
    return visible(c.text);
}

std::optional<int> parseIndex(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Sets one control as the user would; false when the control cannot take that value.
bool setControl(toolbox::ToolboxModel& model, const Assignment& a) {
    const ControlState* control = model.control(a.name);
    if (!control) return false;
    switch (control->kind) {
    case ControlKind::TextField: return model.setText(a.name, a.value).known;
    case ControlKind::CheckBox:
        if (a.value != "true" && a.value != "false") return false;
        return model.setChecked(a.name, a.value == "true").known;
    case ControlKind::ComboBox: {
        const std::optional<int> index = parseIndex(a.value);
        return index && model.setIndex(a.name, *index).known;
    }
    case ControlKind::Label: break;
    }
    return false;
}

// The queue and family to load, or an exit status with its message already printed.
std::optional<Target> chooseTarget(const std::optional<std::string>& queue, int& status) {
    const std::vector<PrinterItem> items = printer::Printers().items();
    if (queue) {
        const auto found = std::find_if(items.begin(), items.end(), [&](const PrinterItem& p) { return p.queue == *queue; });
        if (found == items.end()) {
            std::cerr << "brelmont-cli: toolbox: " << *queue << ": not a queue of a Brelmont embosser\n";
            status = ExitRefused;
            return std::nullopt;
        }
        const ToolboxFamily* family = toolbox::familyForModel(found->model);
        if (!family || !family->description) {
            std::cerr << "brelmont-cli: toolbox: " << *queue << ": no toolbox for model " << found->model << " yet\n";
            status = ExitRefused;
            return std::nullopt;
        }
        return Target{*found, family};
    }
    for (const ToolboxFamily& family : toolbox::toolboxFamilies()) {
        if (!family.description) continue;
        const auto found = std::find_if(items.begin(), items.end(),
                                        [&](const PrinterItem& p) { return p.model == family.modelCode && p.connected; });
        if (found != items.end()) return Target{*found, &family};
    }
    const std::string_view message = toolbox::NoEmbosserMessage;
    std::cerr << message.substr(0, message.find("\r\n")) << '\n'; // the first line; the second is advice for a window's user
    status = ExitFailed;
    return std::nullopt;
}

} // namespace

int runToolbox(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "--help") {
        std::cout << Usage;
        return ExitOk;
    }
    if (args.empty() || (args[0] != "show" && args[0] != "apply")) {
        std::cerr << Usage;
        return ExitRefused;
    }
    const bool applying = args[0] == "apply";
    std::optional<std::string> queue;
    std::vector<Assignment> assignments;
    for (size_t i = 1; i < args.size(); ++i) {
        const size_t eq = args[i].find('=');
        if (args[i] == "--queue" && i + 1 < args.size() && !queue) {
            queue = args[++i];
        } else if (applying && eq != std::string::npos && eq > 0) {
            assignments.push_back({args[i].substr(0, eq), args[i].substr(eq + 1)});
        } else {
            std::cerr << Usage;
            return ExitRefused;
        }
    }

    int status = ExitOk;
    const std::optional<Target> target = chooseTarget(queue, status);
    if (!target) return status;
    // Names are checked before anything is asked of the device.
    for (const Assignment& a : assignments) {
        const auto& controls = target->family->description->controls;
        if (std::none_of(controls.begin(), controls.end(), [&](const toolbox::ControlSpec& c) { return c.name == a.name; })) {
            std::cerr << "brelmont-cli: toolbox: " << a.name << ": no such control\n";
            return ExitRefused;
        }
    }

    toolbox::ToolboxModel model(*target->family->description, printer::PjlHelper::exchange);
    bool loaded;
    {
        const WaitNotice notice(target->printer.deviceUri);
        loaded = model.load({target->printer});
    }
    if (!loaded) {
        std::cerr << toolbox::LoadFailureMessage << '\n'
                  << "brelmont-cli: toolbox: " << model.loadFailure().describe() << '\n';
        return ExitFailed;
    }
    if (!applying) {
        for (const ControlState& c : model.controls()) std::cout << c.name << '=' << shown(c) << '\n';
        return ExitOk;
    }
    for (const Assignment& a : assignments)
        if (!setControl(model, a)) {
            std::cerr << "brelmont-cli: toolbox: " << a.name << ": cannot take the value \"" << visible(a.value)
                      << "\"; nothing was sent\n";
            return ExitRefused;
        }
    toolbox::WriteResult result;
    if (model.applyEnabled()) {
        const WaitNotice notice(target->printer.deviceUri);
        result = model.apply();
    }
    for (const std::string& note : result.notes) std::cerr << "brelmont-cli: toolbox: " << note << '\n';
    if (result.failed()) {
        std::cerr << "brelmont-cli: toolbox apply: the settings were not written: " << result.outcome.describe() << '\n';
        return ExitFailed;
    }
    if (!result.request) {
        std::cout << "nothing to send\n";
        return ExitOk;
    }
    std::string_view lines(*result.request);
    lines.remove_prefix(std::min(lines.size(), printer::pjl::UniversalExit.size()));
    while (!lines.empty()) {
        const size_t end = lines.find('\n');
        std::cout << visible(std::string(lines.substr(0, end))) << '\n';
        lines.remove_prefix(end == std::string_view::npos ? lines.size() : end + 1);
    }
    return ExitOk;
}

} // namespace brelmont::cli
