// The embossers a queue can be made for: the devices a search found, identified by their device
// IDs, less those that already have a queue and those of other makers, each with the queue name
// proposed for it. Plain data and pure functions, so every rule is tested without a device.
#pragma once

#include "driver/ModelProfiles.h"

#include <string>
#include <string_view>
#include <vector>

namespace brelmont::setup {

// Where a device was found.
enum class Source {
    Usb,        // the device listing's USB devices
    Typed,      // an address the person typed
    Configured, // an address of BRELMONT_DEVICES or the devices file, which the listing asks
    DnsSd,      // announced over DNS-SD (_pdl-datastream._tcp)
};

// "usb", "typed", "configured", "dns-sd".
std::string_view sourceName(Source source);

// A device as the search saw it, before it is identified.
struct FoundDevice {
    std::string uri;      // the address a queue for it would lead to
    std::string deviceId; // empty when the device gave none (it did not answer)
    Source source = Source::Typed;
    std::string host = {};             // DNS-SD: the announced host name ("hall.local")
    std::string serviceName = {};      // DNS-SD: the announced name
    std::vector<std::string> txt = {}; // DNS-SD: the announcement's "key=value" strings
};

// A print queue there is now (of any maker): its name and where it leads.
struct ExistingQueue {
    std::string name;
    std::string deviceUri;
};

struct Candidate {
    std::string uri;
    std::string deviceId;
    const driver::ModelProfile* profile = nullptr;
    Source source = Source::Typed;
    std::string place;     // the host name (".local" dropped) or the USB serial number
    std::string queueName; // proposed: unique among the queues and the other candidates

    // The queue's description: "Brelmont MODEL (PLACE)".
    std::string description() const;
};

// Something the person should know about a device that is not offered, or about the search.
struct Note {
    std::string text;
    bool problem = false; // what was asked for could not be done (a typed address that is no embosser of ours)
};

struct Discovery {
    std::vector<Candidate> candidates;
    std::vector<Note> notes;

    bool anyProblem() const;
};

// Identifies the devices, leaves out those whose address has a queue (addresses compared as
// devices) and those that are not the maker's, and proposes names. Typed addresses that are not
// offered are said why in the notes, as problems; DNS-SD announcements that did not answer stand
// in with the device ID their announcement gives, when it gives one.
Discovery candidatesFrom(const std::vector<FoundDevice>& found, const std::vector<ExistingQueue>& queues);

// The place of a device: for USB the serial number of its address, for a network device the
// announced host name or the address's host, with a trailing ".local" dropped.
std::string placeOf(const FoundDevice& device);

// A queue name of the model and the place: letters, digits, '_' and '-' only (every other run of
// characters becomes one '_'), at most 127 bytes, and unlike every name of `taken` (compared
// without regard to case, as the printing system compares them): "_2", "_3", ... is added.
std::string proposeQueueName(const driver::ModelProfile& profile, std::string_view place, const std::vector<std::string>& taken);

// The address and device ID of a device-listing line ("direct URI "MAKE MODEL" "INFO" "DEVICE-ID" "").
struct ListingEntry {
    std::string uri;
    std::string deviceId;
};
ListingEntry parseListingLine(std::string_view line);

} // namespace brelmont::setup
