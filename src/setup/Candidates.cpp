#include "setup/Candidates.h"

#include "printer/DeviceUri.h"
#include "printer/PercentCoding.h"
#include "setup/Identify.h"
#include "setup/TypedAddress.h"

#include <algorithm>
#include <cctype>

namespace brelmont::setup {

namespace {

// CUPS refuses longer queue names.
constexpr std::size_t MaxQueueName = 127;

bool nameCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-'; }

// The text with every run of other characters made one '_', none at either end.
std::string nameWord(std::string_view text) {
    std::string word;
    bool gap = false;
    for (char c : text) {
        if (nameCharacter(c)) {
            if (gap && !word.empty()) word += '_';
            word += c;
            gap = false;
        } else {
            gap = true;
        }
    }
    return word;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The serial number of a usb:// address ("?serial=..." up to the next "&").
std::string usbSerial(std::string_view uri) {
    const std::size_t at = uri.find("serial=");
    if (at == std::string_view::npos) return {};
    std::string_view serial = uri.substr(at + 7);
    serial = serial.substr(0, std::min(serial.find('&'), serial.size()));
    return printer::percentDecode(serial);
}

std::string withoutLocal(std::string host) {
    if (host.ends_with('.')) host.pop_back();
    if (host.size() > 6 && sameName(std::string_view(host).substr(host.size() - 6), ".local")) host.resize(host.size() - 6);
    return host;
}

const ExistingQueue* queueAt(const std::vector<ExistingQueue>& queues, const std::string& uri) {
    for (const ExistingQueue& queue : queues)
        if (printer::sameDevice(queue.deviceUri, uri)) return &queue;
    return nullptr;
}

} // namespace

std::string_view sourceName(Source source) {
    switch (source) {
    case Source::Usb: return "usb";
    case Source::Typed: return "typed";
    case Source::Configured: return "configured";
    case Source::DnsSd: return "dns-sd";
    }
    return "";
}

std::string Candidate::description() const {
    const std::string model = profile ? std::string(profile->makeAndModel) : std::string("embosser");
    return "Brelmont " + model + (place.empty() ? "" : " (" + place + ")");
}

bool Discovery::anyProblem() const {
    return std::any_of(notes.begin(), notes.end(), [](const Note& note) { return note.problem; });
}

std::string placeOf(const FoundDevice& device) {
    if (device.uri.starts_with("usb://")) return usbSerial(device.uri);
    return withoutLocal(device.host.empty() ? socketHost(device.uri) : device.host);
}

std::string proposeQueueName(const driver::ModelProfile& profile, std::string_view place, const std::vector<std::string>& taken) {
    std::string base = nameWord(profile.makeAndModel);
    if (const std::string where = nameWord(place); !where.empty()) base += "_" + where;
    const auto free = [&](const std::string& name) {
        return std::none_of(taken.begin(), taken.end(), [&](const std::string& t) { return sameName(t, name); });
    };
    for (int n = 1;; ++n) {
        const std::string suffix = n == 1 ? "" : "_" + std::to_string(n);
        const std::string name = base.substr(0, MaxQueueName - suffix.size()) + suffix;
        if (free(name)) return name;
    }
}

Discovery candidatesFrom(const std::vector<FoundDevice>& found, const std::vector<ExistingQueue>& queues) {
    Discovery discovery;
    std::vector<std::string> taken;
    for (const ExistingQueue& queue : queues) taken.push_back(queue.name);

    for (const FoundDevice& device : found) {
        const bool typed = device.source == Source::Typed;
        const std::string& uri = device.uri;
        if (const ExistingQueue* queue = queueAt(queues, uri)) {
            if (typed) discovery.notes.push_back({uri + " already has the queue " + queue->name, false});
            continue;
        }
        std::string deviceId = device.deviceId;
        if (deviceId.empty() && device.source == Source::DnsSd) {
            deviceId = deviceIdFromAnnouncement(device.txt);
            const std::string who = uri + " (announced as \"" + device.serviceName + "\")";
            discovery.notes.push_back(
                {deviceId.empty() ? who + " did not answer" : who + " did not answer; it is taken for what its announcement says",
                 false});
        }
        if (deviceId.empty()) {
            if (typed) discovery.notes.push_back({"no embosser answered at " + uri, true});
            continue;
        }
        const driver::ModelProfile* profile = profileForDeviceId(deviceId);
        if (!profile) {
            if (typed) discovery.notes.push_back({uri + " is not a Brelmont embosser (its device ID: " + deviceId + ")", true});
            continue;
        }
        Candidate candidate{uri, deviceId, profile, device.source, placeOf(device), {}};
        candidate.queueName = proposeQueueName(*profile, candidate.place, taken);
        taken.push_back(candidate.queueName);
        discovery.candidates.push_back(std::move(candidate));
    }
    return discovery;
}

ListingEntry parseListingLine(std::string_view line) {
    // Words are blank-separated; a quoted one runs to its closing quote, with backslash escapes.
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && line[at] == ' ') ++at;
        if (at >= line.size()) break;
        std::string word;
        if (line[at] == '"') {
            for (++at; at < line.size() && line[at] != '"'; ++at) {
                if (line[at] == '\\' && at + 1 < line.size()) ++at;
                word += line[at];
            }
            ++at;
        } else {
            while (at < line.size() && line[at] != ' ') word += line[at++];
        }
        words.push_back(std::move(word));
    }
    ListingEntry entry;
    if (words.size() > 1) entry.uri = words[1];
    if (words.size() > 4) entry.deviceId = words[4];
    return entry;
}

} // namespace brelmont::setup
