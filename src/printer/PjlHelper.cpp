#include "printer/PjlHelper.h"

#include "printer/CommandRunner.h"
#include "printer/DeviceUri.h"
#include "printer/HelperProtocol.h"
#include "printer/ShellQuote.h"
#include "printer/TextLines.h"
#include "printer/WorkFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace brelmont::printer {

std::string ExchangeOutcome::summary() const {
    switch (status) {
    case ExchangeStatus::Done: return "done";
    case ExchangeStatus::NotAttached: return "the embosser is not attached or not switched on";
    case ExchangeStatus::NoReply: return "the embosser did not reply";
    // Also after a write: the embosser ended the connection before it took the request.
    case ExchangeStatus::Dropped: return "the embosser dropped the connection";
    case ExchangeStatus::NotUnderstood: return "the embosser's reply was not understood";
    case ExchangeStatus::Failed: return "the exchange with the embosser failed";
    case ExchangeStatus::Cancelled: return "cancelled";
    }
    return {};
}

std::string ExchangeOutcome::describe() const { return reason.empty() ? summary() : summary() + " (" + reason + ")"; }

fs::path PjlHelper::resourceDir() {
    if (const char* dir = std::getenv("BRELMONT_RESOURCE_DIR"); dir && *dir) return dir;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    const fs::path here = ec ? fs::current_path() : self.parent_path();
    // Installed, the helper sits in libexec; in the build tree, beside the programs.
    const fs::path installed = here.parent_path() / "libexec" / "brelmont-companion";
    return fs::exists(here / "pjlhelper") || !fs::exists(installed / "pjlhelper") ? here : installed;
}

fs::path PjlHelper::workDir() {
    std::error_code ec;
    const fs::path temporary = fs::temp_directory_path(ec);
    if (ec) return {};
    const fs::path dir = temporary / ("brelmont-" + std::to_string(getuid()));
    mkdir(dir.c_str(), 0700);
    // A folder of that name made by someone else (or a link) is not ours to write into.
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return {};
    chmod(dir.c_str(), 0700);
    return dir;
}

namespace {

std::string helperPath() { return shellSingleQuoted((PjlHelper::resourceDir() / "pjlhelper").string()); }

// A device answers one exchange at a time: exchanges of several threads with the same device
// (a window's cancelled worker still finishing, another window) take turns.
std::shared_ptr<std::timed_mutex> deviceTurn(const std::string& device) {
    static std::mutex guard;
    static std::map<std::string, std::shared_ptr<std::timed_mutex>> turns;
    const std::lock_guard lock(guard);
    auto& turn = turns[normalizedDeviceUri(device)];
    if (!turn) turn = std::make_shared<std::timed_mutex>();
    return turn;
}

ExchangeOutcome outcomeOf(const RunResult& run) {
    using Status = RunResult::Status;
    switch (run.status) {
    case Status::NotStarted: return {ExchangeStatus::Failed, "pjlhelper could not be started: " + run.reason};
    case Status::Stopped: return {ExchangeStatus::Cancelled, {}};
    case Status::TimedOut: return {ExchangeStatus::NoReply, "no end of the exchange within the time allowed"};
    case Status::TooMuchOutput:
        return {ExchangeStatus::Failed, "the reply passed " + std::to_string(helper::MaxReplyBytes) + " bytes"};
    case Status::Ended: break;
    }
    switch (run.exitCode) {
    case helper::ExitOk: return {};
    case helper::ExitUnreachable: return {ExchangeStatus::NotAttached, run.failure()};
    case helper::ExitNoReply: return {ExchangeStatus::NoReply, run.failure()};
    case helper::ExitDropped: return {ExchangeStatus::Dropped, run.failure()};
    default: return {ExchangeStatus::Failed, run.failure()};
    }
}

// Runs one exchange command within the bounds, in turn with the device's other exchanges.
ExchangeOutcome runExchange(const std::string& command, const std::string& device, const ExchangeBounds& bounds,
                            std::string& out) {
    RunOptions options{.stop = bounds.stop, .maxOutput = helper::MaxReplyBytes, .captureErrors = true};
    const auto now = std::chrono::steady_clock::now();
    if (bounds.deadline) {
        if (*bounds.deadline <= now) return {ExchangeStatus::NoReply, "the time allowed for the work ran out"};
        options.limit = std::chrono::ceil<std::chrono::milliseconds>(*bounds.deadline - now); // a firmware file may take minutes
    }
    const std::shared_ptr<std::timed_mutex> turn = deviceTurn(device);
    std::unique_lock lock(*turn, std::defer_lock);
    if (!lock.try_lock_for(options.limit)) return {ExchangeStatus::Failed, "another exchange with the embosser did not end"};
    RunResult run = CommandRunner::execute(command, options);
    out = std::move(run.out);
    return outcomeOf(run);
}

} // namespace

std::string PjlHelper::listingCommand(const std::vector<std::string>& alsoProbe) {
    std::string command = helperPath();
    if (!alsoProbe.empty()) command += std::string(" ") + helper::ProbeOption;
    for (const std::string& uri : alsoProbe) command += " " + shellDoubleQuoted(uri);
    return command;
}

std::string PjlHelper::exchangeCommand(char flag, const fs::path& file, const std::string& device, bool readReply) {
    return helperPath() + " " + flag + (readReply ? " 1" : " 0") + " 1 1 1 " + shellDoubleQuoted(file.string()) + " " +
           shellDoubleQuoted(device);
}

std::vector<std::string> PjlHelper::deviceListing(const std::vector<std::string>& alsoProbe, const SharedStop& stop) {
    const RunResult run = CommandRunner::execute(listingCommand(alsoProbe), {.stop = stop});
    return run.status == RunResult::Status::Ended ? splitLines(run.out) : std::vector<std::string>();
}

ReplyLines replyLines(std::string text) {
    std::erase(text, '\r');
    std::erase(text, '\f');
    return splitLines(text);
}

ExchangeResult PjlHelper::exchange(const std::string& request, const std::string& device, const ExchangeBounds& bounds) {
    ExchangeResult result;
    std::string out;
    if (request.empty()) {
        // Nothing to send: the helper only listens, and names a file it does not read.
        static_cast<ExchangeOutcome&>(result) =
            runExchange(exchangeCommand('0', workDir() / "pjl", device, true), device, bounds, out);
    } else {
        const WorkFile file("pjl", request.data(), request.size());
        // A request that could not be written is not sent at all.
        if (!file.error().empty()) {
            result.status = ExchangeStatus::Failed;
            result.reason = file.error();
            return result;
        }
        static_cast<ExchangeOutcome&>(result) = runExchange(exchangeCommand('1', file.path(), device, true), device, bounds, out);
    }
    result.reply = replyLines(std::move(out));
    return result;
}

DataExchangeResult PjlHelper::exchangeData(const std::vector<uint8_t>& data, const std::string& device,
                                           const ExchangeBounds& bounds) {
    DataExchangeResult result;
    const WorkFile file("data", data.data(), data.size());
    if (!file.error().empty()) {
        result.status = ExchangeStatus::Failed;
        result.reason = file.error();
        return result;
    }
    std::string out;
    static_cast<ExchangeOutcome&>(result) = runExchange(exchangeCommand('1', file.path(), device, true), device, bounds, out);
    result.reply.assign(out.begin(), out.end());
    return result;
}

ExchangeOutcome PjlHelper::sendFile(const std::string& path, const std::string& device, const ExchangeBounds& bounds) {
    const std::string local = path.starts_with("file://") ? path.substr(7) : path;
    std::string out;
    return runExchange(exchangeCommand('1', local, device, false), device, bounds, out);
}

} // namespace brelmont::printer
