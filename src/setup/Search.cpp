#include "setup/Search.h"

#include "printer/Assignments.h"
#include "printer/CommandRunner.h"
#include "printer/DeviceUri.h"
#include "printer/PjlHelper.h"
#include "printer/ShellQuote.h"
#include "printer/TextLines.h"
#include "setup/DnsSd.h"
#include "setup/Identify.h"

#include <algorithm>
#include <cstdlib>

namespace brelmont::setup {

namespace {

constexpr std::chrono::seconds QueueCommandLimit{30};
constexpr int ProbeReplyMs = 3000;

bool among(const std::vector<std::string>& uris, const std::string& uri) {
    return std::any_of(uris.begin(), uris.end(), [&](const std::string& known) { return printer::sameDevice(known, uri); });
}

} // namespace

SearchResult lookForDevices(const SearchRequest& request, const printer::SharedStop& stop) {
    SearchResult result;

    /*
     * Announcements first: their addresses are asked in the same listing as the typed ones. Only
     * those that may be the maker's are asked (see announcementMayBeOurs), each address once.
     */
    std::vector<Announcement> announced;
    if (request.dnsSd.count() > 0) {
        BrowseOutcome browse = browseDnsSd(RawPrinterService, request.dnsSd, stop);
        if (!browse.problem.empty()) result.notes.push_back({browse.problem, false});
        for (Announcement& a : browse.found)
            if (announcementMayBeOurs(a.txt)) announced.push_back(std::move(a));
        std::sort(announced.begin(), announced.end(),
                  [](const Announcement& a, const Announcement& b) { return a.name < b.name; });
    }
    std::vector<std::string> probe;
    for (const std::string& uri : request.typed)
        if (!among(probe, uri)) probe.push_back(uri);
    for (const Announcement& a : announced)
        if (!among(probe, a.uri())) probe.push_back(a.uri());

    // A device that takes the connection but never answers (a raw printer of another maker) holds
    // the search only briefly, unless a time was chosen for the helper.
    std::string command = printer::PjlHelper::listingCommand(probe);
    if (!std::getenv("BRELMONT_PJL_REPLY_TIMEOUT_MS"))
        command = "BRELMONT_PJL_REPLY_TIMEOUT_MS=" + std::to_string(ProbeReplyMs) + " " + command;
    const printer::RunResult run = printer::CommandRunner::execute(command, {.stop = stop, .captureErrors = true});
    std::vector<ListingEntry> listing;
    if (run.succeeded()) {
        for (const std::string& line : printer::splitLines(run.out))
            if (ListingEntry entry = parseListingLine(line); !entry.uri.empty()) listing.push_back(std::move(entry));
    } else if (run.status != printer::RunResult::Status::Stopped) {
        result.notes.push_back({"the device helper could not list the devices (" + run.failure() + ")", true});
    }
    const auto deviceIdAt = [&](const std::string& uri) {
        for (const ListingEntry& entry : listing)
            if (printer::sameDevice(entry.uri, uri)) return entry.deviceId;
        return std::string();
    };

    std::vector<FoundDevice> usb, typed, configured, dnsSd;
    std::vector<std::string> seen;
    for (const std::string& uri : request.typed) {
        if (among(seen, uri)) continue;
        seen.push_back(uri);
        typed.push_back({uri, deviceIdAt(uri), Source::Typed});
    }
    for (const Announcement& a : announced) {
        if (among(seen, a.uri())) continue;
        seen.push_back(a.uri());
        dnsSd.push_back({a.uri(), deviceIdAt(a.uri()), Source::DnsSd, a.host, a.name, a.txt});
    }
    if (request.listed)
        for (const ListingEntry& entry : listing) {
            if (among(seen, entry.uri)) continue;
            seen.push_back(entry.uri);
            const bool isUsb = printer::normalizedDeviceUri(entry.uri).starts_with("usb://");
            (isUsb ? usb : configured).push_back({entry.uri, entry.deviceId, isUsb ? Source::Usb : Source::Configured});
        }
    for (auto* part : {&usb, &typed, &configured, &dnsSd})
        result.found.insert(result.found.end(), std::make_move_iterator(part->begin()), std::make_move_iterator(part->end()));
    return result;
}

std::optional<std::vector<ExistingQueue>> currentQueues(std::string* error, const printer::SharedStop& stop) {
    const printer::RunOptions options{.limit = QueueCommandLimit, .stop = stop, .captureErrors = true};
    // "lpstat -e" lists nothing, and ends well, when no scheduler answers: that is asked first
    // (in English, whatever the user's language, to read the answer).
    const printer::RunResult scheduler = printer::CommandRunner::execute("LC_ALL=C lpstat -r", options);
    if (!scheduler.succeeded() || scheduler.out.find("scheduler is running") == std::string::npos) {
        const std::string said = scheduler.succeeded() ? scheduler.out.substr(0, scheduler.out.find('\n')) : scheduler.failure();
        if (error) *error = "the printing system does not answer (lpstat: " + said + ")";
        return std::nullopt;
    }
    const printer::RunResult names = printer::CommandRunner::execute("lpstat -e", options);
    if (!names.succeeded()) {
        if (error) *error = "the print queues could not be read (" + names.failure() + ")";
        return std::nullopt;
    }
    std::vector<ExistingQueue> queues;
    for (const std::string& name : printer::splitLines(names.out)) {
        if (name.empty()) continue;
        const printer::RunResult assignments =
            printer::CommandRunner::execute("lpoptions -p " + printer::shellWord(name), options);
        if (!assignments.succeeded()) {
            if (error) *error = "the address of the queue " + name + " could not be read (" + assignments.failure() + ")";
            return std::nullopt;
        }
        queues.push_back({name, printer::assignmentValue(assignments.out, "device-uri=")});
    }
    return queues;
}

Discovery discover(const SearchRequest& request, const printer::SharedStop& stop) {
    std::string error;
    const std::optional<std::vector<ExistingQueue>> queues = currentQueues(&error, stop);
    if (!queues) return {{}, {{error, true}}};
    SearchResult search = lookForDevices(request, stop);
    Discovery discovery = candidatesFrom(search.found, *queues);
    discovery.notes.insert(discovery.notes.begin(), search.notes.begin(), search.notes.end());
    return discovery;
}

} // namespace brelmont::setup
