#include "setup/AddQueue.h"

#include "printer/ShellQuote.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace brelmont::setup {

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::seconds LpadminLimit{60};

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           }) != text.end();
}

fs::path runningProgramFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self.parent_path();
}

} // namespace

fs::path ppdFolder() {
    if (const char* dir = std::getenv("BRELMONT_PPD_DIR"); dir && *dir) return dir;
    std::error_code ec;
    if (const fs::path here = runningProgramFolder(); !here.empty()) {
        const fs::path beside = here.parent_path() / "share" / "ppd" / "brelmont";
        if (fs::is_directory(beside, ec)) return beside;
    }
    return "/usr/share/ppd/brelmont";
}

std::string currentUserName() {
    if (const passwd* pw = ::getpwuid(::getuid())) return pw->pw_name;
    if (const char* name = std::getenv("USER"); name && *name) return name;
    return "user " + std::to_string(::getuid());
}

/*
 * Without a terminal of its own, lpadmin cannot ask for a password: a refusal comes back at once
 * instead of a prompt that would stop the command in the background (and hold a window until the
 * time limit). setsid is part of util-linux, which every Debian system has.
 */
std::string lpadminCommand(const Candidate& candidate, const fs::path& ppd) {
    using printer::shellWord;
    const std::string detach = ::access("/usr/bin/setsid", X_OK) == 0 ? "/usr/bin/setsid -w " : "";
    return detach + "lpadmin -p " + shellWord(candidate.queueName) + " -E -v " + shellWord(candidate.uri) + " -P " +
           shellWord(ppd.string()) + " -D " + shellWord(candidate.description()) + " -L " + shellWord(candidate.place);
}

std::string notAllowedMessage(const std::string& user, const std::string& refusal) {
    return "The printing system does not let " + user + " add printers (" + refusal +
           "). A member of the printing administrators' group may: on Debian that is the group lpadmin, "
           "so have an administrator run \"sudo usermod -aG lpadmin " +
           user + "\", then log out and in again and try once more.";
}

AddOutcome outcomeOfLpadmin(const printer::RunResult& run, const Candidate& candidate, const std::string& user) {
    if (run.succeeded())
        return {AddStatus::Added, candidate.queueName,
                "The queue " + candidate.queueName + " was made for the " + std::string(candidate.profile->makeAndModel) +
                    " at " + candidate.uri + "."};
    const std::string said = run.failure();
    if (run.status == printer::RunResult::Status::Ended &&
        (containsIgnoringCase(run.errors, "forbidden") || containsIgnoringCase(run.errors, "unauthorized") ||
         containsIgnoringCase(run.errors, "not authorized")))
        return {AddStatus::NotAllowed, candidate.queueName, notAllowedMessage(user, said)};
    return {AddStatus::Failed, candidate.queueName, "The queue " + candidate.queueName + " was not made: " + said};
}

AddOutcome addQueue(const Candidate& candidate, const printer::SharedStop& stop) {
    if (!candidate.profile) return {AddStatus::Failed, candidate.queueName, "The embosser's model is not known."};
    const fs::path ppd = ppdFolder() / (std::string(candidate.profile->fileName) + ".ppd");
    std::error_code ec;
    if (!fs::is_regular_file(ppd, ec))
        return {AddStatus::Failed, candidate.queueName,
                "The queue " + candidate.queueName + " was not made: the printer description " + ppd.string() +
                    " is missing (install the brelmont-companion package, or set BRELMONT_PPD_DIR to the folder of the "
                    "brelmont-*.ppd files)."};
    const printer::RunResult run = printer::CommandRunner::execute(lpadminCommand(candidate, ppd),
                                                                   {.limit = LpadminLimit, .stop = stop, .captureErrors = true});
    return outcomeOfLpadmin(run, candidate, currentUserName());
}

} // namespace brelmont::setup
