#include "cli/ToolboxProfileCommand.h"

#include "cli/ExitCodes.h"
#include "cli/ToolboxTarget.h"
#include "cli/WaitNotice.h"
#include "printer/PjlHelper.h"
#include "toolbox/profile/ProfileFile.h"

#include <charconv>
#include <iostream>
#include <optional>

namespace brelmont::cli {

namespace {

using toolbox::SettingsProfile;

constexpr const char* ExportUsage = "usage: brelmont-cli toolbox export [--queue QUEUE] > FILE\n";
constexpr const char* ImportUsage = "usage: brelmont-cli toolbox import [--queue QUEUE | --all-of-model CODE] [--dry-run] FILE\n";

std::optional<int64_t> parseCode(const std::string& text) {
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string counted(int n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

// One embosser: loaded, the profile applied, its details on standard error and its summary line
// on standard output. True when everything asked for was done.
bool importInto(const printer::PrinterItem& queue, const toolbox::FamilyDescription& family, const SettingsProfile& profile,
                bool dryRun) {
    const std::string where = "brelmont-cli: toolbox import: " + queue.queue + ": ";
    toolbox::ToolboxModel model(family, printer::PjlHelper::exchange, printer::PjlHelper::exchangeData);
    bool loaded;
    {
        const WaitNotice notice(queue.deviceUri);
        loaded = model.load({queue});
    }
    if (!loaded) {
        std::cerr << where << "the settings were not read: " << model.loadFailure().describe() << '\n';
        std::cout << queue.queue << ": failed: the settings were not read\n";
        return false;
    }
    toolbox::ProfileImport result;
    {
        const WaitNotice notice(queue.deviceUri);
        result = toolbox::importProfile(model, profile, dryRun);
    }
    for (const std::string& refused : result.refused) std::cerr << where << refused << '\n';
    for (const std::string& note : result.write.notes) std::cerr << where << note << '\n';
    const int notTaken = int(result.refused.size() + result.write.notes.size());
    const std::string untaken = notTaken ? ", " + std::to_string(notTaken) + " not taken" : "";
    if (result.write.failed()) {
        std::cerr << where << "the settings were not written: " << result.write.outcome.describe() << '\n';
        std::cout << queue.queue << ": failed: the settings were not written\n";
    } else if (!result.write.request) {
        std::cout << queue.queue << ": nothing to write" << untaken << '\n';
    } else if (dryRun) {
        std::cout << queue.queue << ": " << counted(result.write.settings, "setting") << " would be written" << untaken << '\n';
        printRequestLines(*result.write.request);
    } else {
        std::cout << queue.queue << ": " << counted(result.write.settings, "setting") << " written" << untaken << '\n';
    }
    return !result.failed();
}

} // namespace

int runToolboxExport(const std::vector<std::string>& args) {
    std::optional<std::string> queue;
    if (args.size() == 2 && args[0] == "--queue") queue = args[1];
    else if (!args.empty()) {
        std::cerr << ExportUsage;
        return ExitRefused;
    }
    int status = ExitOk;
    const std::optional<ToolboxTarget> target = chooseToolboxTarget("toolbox export", queue, {}, status);
    if (!target) return status;
    toolbox::ToolboxModel model(*target->family->description, printer::PjlHelper::exchange, printer::PjlHelper::exchangeData);
    if (!loadToolboxTarget(model, *target, "toolbox export")) return ExitFailed;
    std::cout << toolbox::encodeProfile(toolbox::makeProfile(model));
    return ExitOk;
}

int runToolboxImport(const std::vector<std::string>& args) {
    std::optional<std::string> queue, file;
    std::optional<int64_t> allOfModel;
    bool dryRun = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--queue" && hasValue && !queue && !allOfModel) {
            queue = args[++i];
        } else if (args[i] == "--all-of-model" && hasValue && !queue && !allOfModel) {
            allOfModel = parseCode(args[++i]);
            if (!allOfModel) {
                std::cerr << ImportUsage;
                return ExitRefused;
            }
        } else if (args[i] == "--dry-run") {
            dryRun = true;
        } else if (!file && !args[i].starts_with("--")) {
            file = args[i];
        } else {
            std::cerr << ImportUsage;
            return ExitRefused;
        }
    }
    if (!file) {
        std::cerr << ImportUsage;
        return ExitRefused;
    }
    const std::string what = "brelmont-cli: toolbox import: ";
    std::string why;
    const std::optional<SettingsProfile> profile = toolbox::readProfileFile(*file, why);
    if (!profile) {
        std::cerr << what << *file << ": " << why << '\n';
        return ExitRefused;
    }
    const toolbox::ToolboxFamily* family = toolbox::familyForModel(profile->family);
    if (!family || !family->description) {
        std::cerr << what << *file << ": the profile is for " << toolbox::familyName(profile->family)
                  << ", which has no toolbox\n";
        return ExitRefused;
    }
    if (allOfModel && *allOfModel != profile->family) {
        std::cerr << what << "the profile is for " << toolbox::familyName(profile->family) << ", not for "
                  << toolbox::familyName(*allOfModel) << "; nothing was written\n";
        return ExitRefused;
    }
    // Checked before any embosser is asked: the same for every one of the family.
    for (const std::string& unknown : toolbox::unknownSettings(*family->description, *profile))
        std::cerr << what << *file << ": " << unknown << ": no such setting in a profile of this family; skipped\n";

    std::vector<printer::PrinterItem> targets;
    if (allOfModel) {
        // Every queue of the model, attached or not: one that is switched off is reported, not skipped.
        for (printer::PrinterItem& p : printer::Printers().items())
            if (p.model == *allOfModel) targets.push_back(std::move(p));
        if (targets.empty()) {
            std::cerr << what << "no queue leads to an embosser of " << toolbox::familyName(*allOfModel) << '\n';
            return ExitFailed;
        }
    } else {
        const ToolboxUse use{
            [&](const toolbox::FamilyDescription& d) { return d.modelCode == profile->family; },
            "the profile is for " + toolbox::familyName(profile->family) + "; nothing was written",
            "no attached embosser is of " + toolbox::familyName(profile->family),
        };
        int status = ExitOk;
        const std::optional<ToolboxTarget> target = chooseToolboxTarget("toolbox import", queue, use, status);
        if (!target) return status;
        targets.push_back(target->printer);
    }
    bool allDone = true;
    for (const printer::PrinterItem& target : targets) {
        if (!target.connected) {
            std::cerr << what << target.queue << ": "
                      << printer::ExchangeOutcome{printer::ExchangeStatus::NotAttached, "not in the device listing"}.describe()
                      << '\n';
            std::cout << target.queue << ": failed: not attached\n";
            allDone = false;
            continue;
        }
        allDone = importInto(target, *family->description, *profile, dryRun) && allDone;
    }
    return allDone ? ExitOk : ExitFailed;
}

} // namespace brelmont::cli
