// The device helper tool: the listing of attached devices and the exchanges with one device.
#pragma once

#include "printer/PjlReplies.h"
#include "printer/StopSignal.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::printer {

// How an exchange with a device ended. The first four are what a user is told apart.
enum class ExchangeStatus {
    Done,
    NotAttached,   // the helper could not reach the device
    NoReply,       // the device answered nothing in time
    NotUnderstood, // replies came, but none of the expected shape
    Dropped,       // the device ended the connection without a reply (worth asking again)
    Failed,        // anything else: the helper missing, a reply too large, the time for the work ran out
    Cancelled,     // stopped by the user or by the program quitting
};

// The limits of one piece of device work: when it must end, and what stops it early.
struct ExchangeBounds {
    std::optional<std::chrono::steady_clock::time_point> deadline;
    SharedStop stop;
};

struct ExchangeOutcome {
    ExchangeStatus status = ExchangeStatus::Done;
    std::string reason; // the helper's own message, or why it did not run

    bool ok() const { return status == ExchangeStatus::Done; }
    // "the embosser did not reply": what happened, in words
    std::string summary() const;
    // The summary with the reason: "the embosser did not reply (pjlhelper: reading the reply: no
    // reply within 15000 ms)"
    std::string describe() const;
};

struct ExchangeResult : ExchangeOutcome {
    ReplyLines reply; // carriage returns and form feeds removed
};

struct DataExchangeResult : ExchangeOutcome {
    std::vector<uint8_t> reply; // the bytes as they came
};

// One send of bytes to a device and its reply (PjlHelper::exchangeData in the program): the
// channel of table downloads and firmware, beside the PJL exchange of RetryQuery.h.
using DataExchange =
    std::function<DataExchangeResult(const std::vector<uint8_t>& data, const std::string& device, const ExchangeBounds& bounds)>;

class PjlHelper {
public:
    // Where the helper tool lives: BRELMONT_RESOURCE_DIR, else the running program's own folder,
    // else ../libexec/brelmont-companion from it (an installed program).
    static std::filesystem::path resourceDir();
    // The per-user folder of the exchanges' work files, inside the temporary folder. It is made
    // private to the user, so no one else can plant or read the files there.
    static std::filesystem::path workDir();

    // One line per attached device; none when the tool cannot be run. Network devices are those
    // configured for the helper and the addresses in `alsoProbe` (the maker's queues).
    static std::vector<std::string> deviceListing(const std::vector<std::string>& alsoProbe = {}, const SharedStop& stop = {});

    // Sends a PJL request (nothing when it is empty) and returns the reply lines. Every exchange
    // has work files of its own, so exchanges of several threads or processes never mix; those
    // with one device take turns within this process.
    static ExchangeResult exchange(const std::string& request, const std::string& device, const ExchangeBounds& bounds = {});
    // Sends bytes and returns the reply bytes as they came.
    static DataExchangeResult exchangeData(const std::vector<uint8_t>& data, const std::string& device,
                                           const ExchangeBounds& bounds = {});
    // Sends a file (a "file://" URL stands for its path) and waits until the device has taken it,
    // within the bounds; no reply is read.
    static ExchangeOutcome sendFile(const std::string& path, const std::string& device, const ExchangeBounds& bounds = {});

    // The command lines, for those who need to see them.
    static std::string listingCommand(const std::vector<std::string>& alsoProbe = {});
    static std::string exchangeCommand(char flag, const std::filesystem::path& file, const std::string& device, bool readReply);
};

// Reply text into lines: every "\r", then every form feed removed, then split at "\n".
ReplyLines replyLines(std::string text);

} // namespace brelmont::printer
