#include "preferences/OptionStore.h"

#include "preferences/OptionListing.h"
#include "preferences/SharedDataFolder.h"
#include "printer/CommandRunner.h"
#include "printer/ShellQuote.h"

#include "sharedfolder/SafeFiles.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace brelmont::preferences {

using printer::CommandRunner;
using printer::shellWord;

namespace {

// Characters lpoptions's option parser treats specially inside a value: blanks end it, quotes
// and backslashes are removed, braces start a collection.
bool isSpecialToOptionParser(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\'' || c == '"' || c == '\\' ||
           c == '{' || c == '}';
}

std::string prefix(std::string_view queue) { return "lpoptions -p " + shellWord(queue); }

std::string assignment(std::string_view key, std::string_view value) {
    return " -o " + shellWord(std::string(key) + "=" + lpoptionsValue(value));
}

} // namespace

std::string unitSuffix(int units) {
    switch (units) {
    case UnitMillimetres: return "mm";
    case UnitCentimetres: return "cm";
    case UnitInches: return "in";
    default: return "";
    }
}

std::string sizeText(double value) {
    char buffer[512];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    std::string text = error == std::errc() ? std::string(buffer, end) : std::to_string(value);
    if (std::isfinite(value) && text.find('.') == std::string::npos) text += ".0";
    return text;
}

std::string lpoptionsValue(std::string_view value) {
    bool special = false;
    for (char c : value) special = special || isSpecialToOptionParser(c);
    if (!special) return std::string(value);
    std::string quoted = "'";
    for (char c : value) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "'";
}

std::filesystem::path mirrorFilePath(std::string_view queue, const std::filesystem::path& sharedFolder) {
    return sharedFolder / ".lpoptions" / (std::string(queue) + ".lpoptions");
}

namespace commands {

std::string listOptions(std::string_view queue) { return prefix(queue) + " -l"; }

std::string readAssignments(std::string_view queue) { return prefix(queue); }

std::string setOption(std::string_view queue, std::string_view key, std::string_view value) {
    return prefix(queue) + assignment(key, value);
}

std::string removeOption(std::string_view queue, std::string_view key) { return prefix(queue) + " -r " + shellWord(key); }

std::string setContrastAndBrightness(std::string_view queue, int64_t contrast, int64_t brightness) {
    return prefix(queue) + " -o karro-contrast=" + std::to_string(contrast) +
           " -o karro-brightness=" + std::to_string(brightness);
}

std::string setTwoOptions(std::string_view queue, std::string_view key1, std::string_view value1, std::string_view key2,
                          std::string_view value2) {
    return prefix(queue) + assignment(key1, value1) + assignment(key2, value2);
}

std::string setCustomPaperSize(std::string_view queue, double width, double height, int units) {
    // A side under one whole unit (or no number at all) means no custom size.
    if (!std::isfinite(width) || !std::isfinite(height) || std::trunc(width) == 0 || std::trunc(height) == 0)
        return clearPaperSize(queue);
    const std::string size = "Custom." + sizeText(width) + "x" + sizeText(height) + unitSuffix(units);
    return prefix(queue) + assignment("media", size) + assignment("PageSize", size);
}

std::string clearPaperSize(std::string_view queue) { return prefix(queue) + " -r media -r PageSize"; }

std::string setStandardPaperSize(std::string_view queue, std::string_view pageSizeKey, std::string_view value) {
    return prefix(queue) + " -r media" + assignment(pageSizeKey, value);
}

} // namespace commands

std::string OptionStore::listing(std::string_view queue, std::string* error) {
    return CommandRunner::run(commands::listOptions(queue), error).value_or("");
}

std::string OptionStore::assignments(std::string_view queue, std::string* error) {
    return CommandRunner::run(commands::readAssignments(queue), error).value_or("");
}

std::vector<PrintOption> OptionStore::load(std::string_view queue, std::string* error) {
    std::string listError, readError;
    const std::string listed = listing(queue, &listError);
    const std::string assigned = assignments(queue, &readError);
    if (error) {
        *error = !listError.empty() ? listError : readError;
        if (error->empty() && trimWhiteSpace(assigned).empty())
            *error = "the printing system did not list the queue " + std::string(queue);
    }
    return buildOptionList(listed, assigned);
}

std::vector<std::string> OptionStore::runCommands(const std::vector<std::string>& commands, const printer::SharedStop& stop) {
    std::vector<std::string> failures;
    for (const std::string& command : commands) {
        const printer::RunResult run = CommandRunner::execute(command, {.stop = stop, .captureErrors = true});
        if (!run.succeeded()) failures.push_back(run.failure());
    }
    return failures;
}

bool OptionStore::writeMirrorFile(std::string_view queue, std::optional<std::filesystem::path> sharedFolder,
                                  std::string* refusal) {
    std::string error;
    const std::string assigned = assignments(queue, &error);
    if (!error.empty() || trimWhiteSpace(assigned).empty()) return false;
    // Other users write into the shared folder: the copy goes through the folder's descriptor,
    // opened without following a link, is written under a fresh name of our own and renamed over
    // the old one, so neither a planted link nor a half-written copy is ever read or followed.
    const std::filesystem::path mirror = mirrorFilePath(queue, sharedFolder ? *sharedFolder : sharedDataFolder());
    const std::string name = mirror.filename().string();
    if (queue.find('/') != std::string_view::npos) return false;
    const sharedfolder::Opened folder = sharedfolder::openFolder(mirror.parent_path());
    if (!folder.fd) {
        if (refusal && folder.link) *refusal = folder.refusal;
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(mirror, ec))) {
        if (refusal) *refusal = sharedfolder::linkRefusal(mirror);
        return false;
    }
    // Readable by the driver, whoever it runs as.
    return sharedfolder::replaceFile(folder.fd, name, assigned, 0644).empty();
}

std::vector<std::string> OptionStore::refreshMirrors(const std::vector<std::string>& queues,
                                                     std::optional<std::filesystem::path> sharedFolder) {
    const std::filesystem::path folder = sharedFolder ? *sharedFolder : sharedDataFolder();
    std::vector<std::string> refusals;
    for (const std::string& queue : queues) {
        std::string refusal;
        writeMirrorFile(queue, folder, &refusal);
        if (!refusal.empty() && std::find(refusals.begin(), refusals.end(), refusal) == refusals.end())
            refusals.push_back(refusal);
    }
    return refusals;
}

} // namespace brelmont::preferences
