#include "cli/SetupCommand.h"

#include "cli/ExitCodes.h"
#include "setup/AddQueue.h"
#include "setup/Search.h"
#include "setup/TypedAddress.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <optional>

namespace brelmont::cli {

namespace {

constexpr const char* Usage =
    "usage: brelmont-cli setup [--address socket://HOST[:PORT]]... [--add N | --add-all] [--dns-sd-seconds S]\n"
    "Lists the Brelmont embossers that have no print queue yet, one a line, tab-separated: number,\n"
    "model, address, proposed queue name, where it was found (usb, typed, configured, dns-sd).\n"
    "USB embossers and the addresses of BRELMONT_DEVICES come from the device helper's listing,\n"
    "network embossers announced over DNS-SD (_pdl-datastream._tcp) are looked for during S seconds\n"
    "(2; 0 looks for none), and each --address is asked too (port 9100 when none is given).\n"
    "--add N makes the queue for embosser N of that list, --add-all for every one; each queue made\n"
    "is printed by name. Making a queue needs the right to add printers (on Debian: the group lpadmin).\n"
    "Exit status: 0 when the search ran and every queue asked for was made; 1 when a typed address\n"
    "is no embosser of ours, the printing system could not be asked or a queue was not made (the\n"
    "reason goes to standard error); 2 for a wrong command line or an embosser number not listed.\n";

constexpr double MaxDnsSdSeconds = 60;

std::optional<int> positiveNumber(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
    return value;
}

std::optional<double> seconds(const std::string& text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0 || value > MaxDnsSdSeconds)
        return std::nullopt;
    return value;
}

int refuse(const std::string& why) {
    std::cerr << "brelmont-cli: setup: " << why << '\n' << Usage;
    return ExitRefused;
}

bool make(const setup::Candidate& candidate) {
    const setup::AddOutcome outcome = setup::addQueue(candidate);
    if (!outcome.added()) {
        std::cerr << "brelmont-cli: setup: " << outcome.message << '\n';
        return false;
    }
    std::cout << outcome.queue << '\n';
    return true;
}

} // namespace

int runSetup(const std::vector<std::string>& args) {
    setup::SearchRequest request;
    std::optional<int> add;
    bool addAll = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help") {
            std::cout << Usage;
            return ExitOk;
        } else if (arg == "--address" && hasValue) {
            const setup::TypedAddress typed = setup::parseTypedAddress(args[++i]);
            if (!typed.ok()) return refuse(typed.error);
            request.typed.push_back(typed.uri);
        } else if (arg == "--add" && hasValue && !add && !addAll) {
            add = positiveNumber(args[++i]);
            if (!add) return refuse("--add takes the number of an embosser of the list (1, 2, ...)");
        } else if (arg == "--add-all" && !add && !addAll) {
            addAll = true;
        } else if (arg == "--dns-sd-seconds" && hasValue) {
            const std::optional<double> s = seconds(args[++i]);
            if (!s) return refuse("--dns-sd-seconds takes a number of seconds from 0 to 60");
            request.dnsSd = std::chrono::milliseconds(std::llround(*s * 1000));
        } else {
            return refuse("unexpected argument: " + arg);
        }
    }

    const setup::Discovery discovery = setup::discover(request);
    for (const setup::Note& note : discovery.notes) std::cerr << "brelmont-cli: setup: " << note.text << '\n';
    const auto& candidates = discovery.candidates;

    if (!add && !addAll) {
        for (std::size_t n = 0; n < candidates.size(); ++n) {
            const setup::Candidate& c = candidates[n];
            std::cout << n + 1 << '\t' << c.profile->makeAndModel << '\t' << c.uri << '\t' << c.queueName << '\t'
                      << setup::sourceName(c.source) << '\n';
        }
        if (candidates.empty() && !discovery.anyProblem())
            std::cerr << "brelmont-cli: setup: no Brelmont embosser without a queue was found\n";
        return discovery.anyProblem() ? ExitFailed : ExitOk;
    }

    // The numbers are those of the list this command line gives: with a typed address missing
    // from it, they are not what the person saw, so nothing is made.
    if (discovery.anyProblem()) {
        std::cerr << "brelmont-cli: setup: no queue was made\n";
        return ExitFailed;
    }
    if (add) {
        if (std::size_t(*add) > candidates.size()) {
            std::cerr << "brelmont-cli: setup: there is no embosser " << *add << " (" << candidates.size()
                      << (candidates.size() == 1 ? " was" : " were") << " found)\n";
            return ExitRefused;
        }
        return make(candidates[std::size_t(*add - 1)]) ? ExitOk : ExitFailed;
    }
    if (candidates.empty()) std::cerr << "brelmont-cli: setup: no Brelmont embosser without a queue was found\n";
    bool all = true;
    for (const setup::Candidate& candidate : candidates) all = make(candidate) && all;
    return all ? ExitOk : ExitFailed;
}

} // namespace brelmont::cli
