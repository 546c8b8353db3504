#include "cli/OptionsCommand.h"

#include "cli/ExitCodes.h"
#include "preferences/OptionStore.h"
#include "preferences/PreferencesForm.h"

#include <iostream>

namespace brelmont::cli {

// One line per option as the preferences window lists them (the custom page size last),
// tab-separated: key, label, selected index, then each value.
int runOptions(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty()) {
        std::cerr << "usage: brelmont-cli options QUEUE\n";
        return ExitRefused;
    }
    // A queue the printing system does not list fails here, rather than printing made-up defaults.
    std::string error;
    const std::vector<preferences::PrintOption> options =
        preferences::windowOptionList(preferences::OptionStore::load(args[0], &error));
    if (!error.empty()) {
        std::cerr << "brelmont-cli: options: " << error << '\n';
        return ExitFailed;
    }
    for (const preferences::PrintOption& option : options) {
        std::cout << option.key << '\t' << option.label << '\t' << option.selected;
        for (const std::string& value : option.values) std::cout << '\t' << value;
        std::cout << '\n';
    }
    return ExitOk;
}

} // namespace brelmont::cli
