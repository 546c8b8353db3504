#include "cli/ToolboxCommand.h"

#include "cli/ExitCodes.h"
#ifdef BRELMONT_HAVE_JSON
#include "cli/ToolboxProfileCommand.h"
#endif
#include "cli/ToolboxTableCommand.h"
#include "cli/ToolboxTarget.h"
#include "cli/WaitNotice.h"
#include "printer/PjlHelper.h"
#include "printer/Printers.h"
#include "toolbox/Families.h"
#include "toolbox/SettingsProfile.h"
#include "toolbox/ToolboxModel.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <optional>

namespace brelmont::cli {

namespace {

using toolbox::ControlKind;
using toolbox::ControlState;

constexpr const char* Usage =
    "usage: brelmont-cli toolbox show [--queue QUEUE]\n"
    "       brelmont-cli toolbox apply [--queue QUEUE] NAME=VALUE ...\n"
    "       brelmont-cli toolbox table [--queue QUEUE] [--slot N] FILE\n"
    "       brelmont-cli toolbox export [--queue QUEUE] > FILE\n"
    "       brelmont-cli toolbox import [--queue QUEUE | --all-of-model CODE] [--dry-run] FILE\n"
    "Loads the settings of the embosser behind QUEUE (by default the first attached one, in the\n"
    "order the toolbox menu tries the families) as its toolbox window would.\n"
    "show prints every control as NAME=VALUE, one a line: text fields and labels their text\n"
    "  (a backslash, carriage return, line feed and escape written \\\\, \\r, \\n, \\e), check boxes\n"
    "  true or false, combo boxes the selected index (-1: none), buttons enabled or disabled.\n"
    "apply sets the controls from left to right as a user would (text, true/false, index), so\n"
    "  the controls' own actions follow (a paper size fills width and height), then presses Apply\n"
    "  when a change enabled it. It prints the lines of the request sent, after the universal exit,\n"
    "  one a line, or \"nothing to send\".\n"
    "table downloads the braille table file FILE into table slot N of the embosser (by default the\n"
    "  slot its toolbox window would choose) and prints the PJL lines sent, then the 256 cells\n"
    "  in hexadecimal, 16 a line. A file naming a character code above 255 is refused whole.\n"
    "export prints the embosser's settings as a profile (JSON: family, model, firmware and each\n"
    "  setting by its control, as show prints it; network and calibration stay with the embosser).\n"
    "import sets the profile's controls as a user would and presses Apply, so only settings that\n"
    "  differ are written, on the embosser of QUEUE, the first attached one of the profile's\n"
    "  family, or every queue of model CODE; one summary line per embosser. --dry-run sends\n"
    "  nothing and prints what would be sent. A profile of another family is refused; settings\n"
    "  it names that the family has not are skipped; a file over 1 MiB is refused.\n"
    "Exit status: 0 when the settings were read (and the request reached the embosser), 1 when\n"
    "the embosser could not be read, a change asked for was refused (the others are still sent),\n"
    "the request did not reach it, the table file was refused, or any embosser of an import failed\n"
    "(the reason goes to standard error), 2 for a wrong command line. A load ends within\n"
    "BRELMONT_TOOLBOX_DEADLINE_MS (30000).\n";

struct Assignment {
    std::string name;
    std::string value;
};

std::string shown(const ControlState& c) {
    switch (c.kind) {
    case ControlKind::CheckBox: return c.checked ? "true" : "false";
    case ControlKind::ComboBox: return std::to_string(c.index);
    case ControlKind::Button: return c.enabled ? "enabled" : "disabled";
    case ControlKind::TextField:
    case ControlKind::Label: break;
    }
    return visible(c.text);
}

// The value typed for a control as the control takes it: true or false, an index, or the text.
std::optional<toolbox::ControlValue> typedValue(const ControlState& control, const std::string& text) {
    if (control.kind == ControlKind::TextField) return text;
    if (control.kind == ControlKind::CheckBox && (text == "true" || text == "false")) return text == "true";
    int64_t index = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (control.kind == ControlKind::ComboBox && ec == std::errc() && end == text.data() + text.size()) return index;
    return std::nullopt;
}

// Sets one control as the user would; false when the control cannot take that value.
bool setControl(toolbox::ToolboxModel& model, const Assignment& a) {
    const ControlState* control = model.control(a.name);
    const std::optional<toolbox::ControlValue> value = control ? typedValue(*control, a.value) : std::nullopt;
    if (!value) return false;
    const toolbox::ChangeResult changed = toolbox::setControl(model, a.name, *value);
    // A choice that asks the embosser and gets no answer still counts as made.
    if (changed.known && !changed.outcome.ok())
        std::cerr << "brelmont-cli: toolbox: " << a.name << ": " << changed.outcome.describe() << '\n';
    return changed.known;
}

} // namespace

int runToolbox(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "--help") {
        std::cout << Usage;
        return ExitOk;
    }
    if (!args.empty() && args[0] == "table") return runToolboxTable({args.begin() + 1, args.end()});
#ifdef BRELMONT_HAVE_JSON
    if (!args.empty() && args[0] == "export") return runToolboxExport({args.begin() + 1, args.end()});
    if (!args.empty() && args[0] == "import") return runToolboxImport({args.begin() + 1, args.end()});
#endif
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
    const std::optional<ToolboxTarget> target = chooseToolboxTarget("toolbox", queue, {}, status);
    if (!target) return status;
    // Names are checked before anything is asked of the device.
    for (const Assignment& a : assignments) {
        const auto& controls = target->family->description->controls;
        if (std::none_of(controls.begin(), controls.end(), [&](const toolbox::ControlSpec& c) { return c.name == a.name; })) {
            std::cerr << "brelmont-cli: toolbox: " << a.name << ": no such control\n";
            return ExitRefused;
        }
    }

    toolbox::ToolboxModel model(*target->family->description, printer::PjlHelper::exchange, printer::PjlHelper::exchangeData);
    if (!loadToolboxTarget(model, *target, "toolbox")) return ExitFailed;
    for (const std::string& note : model.loadNotes()) std::cerr << "brelmont-cli: toolbox: " << note << '\n';
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
    if (!result.request) std::cout << "nothing to send\n";
    else printRequestLines(*result.request);
    // A change asked for and refused is a failure of the script, whatever else was written.
    return result.notes.empty() ? ExitOk : ExitFailed;
}

} // namespace brelmont::cli
