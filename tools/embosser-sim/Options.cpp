#include "Options.h"

#include "Family.h"
#include "Text.h"

#include <string_view>

namespace brelmont::sim {

std::string usage() {
    return "usage: embosser-sim --family " + familyNames() +
           " [--port P] [--state FILE] [--store DIR] [--jobs DIR] [--log FILE]\n"
           "                    [--device-id TEXT] [--garble N] [--wrong-count N] [--short-reply N]\n"
           "                    [--delay MS] [--drop N] [--endless N] [--serve N] [--unasked N]\n"
           "                    [--reset-after N]\n"
           "                    [--idle-timeout MS] [--exit-with-parent]\n";
}

std::optional<Options> parseOptions(int argc, char** argv, std::string* error) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            return o;
        }
        if (arg == "--exit-with-parent") {
            o.exitWithParent = true;
            continue;
        }
        if (i + 1 >= argc) {
            *error = "missing value after " + std::string(arg);
            return std::nullopt;
        }
        const std::string value = argv[++i];
        const auto number = [&](int& out, long long max) {
            const auto n = parseNumber(value);
            if (!n || *n < 0 || *n > max) {
                *error = "not a number from 0 to " + std::to_string(max) + " after " + std::string(arg) + ": " + value;
                return false;
            }
            out = static_cast<int>(*n);
            return true;
        };
        bool ok = true;
        if (arg == "--family") o.family = value;
        else if (arg == "--port") ok = number(o.port, 65535);
        else if (arg == "--state") o.state = value;
        else if (arg == "--store") o.store = value;
        else if (arg == "--jobs") o.jobs = value;
        else if (arg == "--log") o.log = value;
        else if (arg == "--device-id") o.deviceId = value;
        else if (arg == "--garble") ok = number(o.faults.garble, 1'000'000);
        else if (arg == "--wrong-count") ok = number(o.faults.wrongCount, 1'000'000);
        else if (arg == "--short-reply") ok = number(o.faults.shortReply, 1'000'000);
        else if (arg == "--delay") ok = number(o.faults.delayMs, 600'000);
        else if (arg == "--drop") ok = number(o.faults.drop, 1'000'000);
        else if (arg == "--unasked") ok = number(o.faults.unasked, 1'000'000);
        else if (arg == "--reset-after") ok = number(o.faults.resetAfter, 1'000'000);
        else if (arg == "--endless") ok = number(o.faults.endless, 1'000'000);
        else if (arg == "--serve") ok = number(o.faults.serve, 1'000'000);
        else if (arg == "--idle-timeout") ok = number(o.idleMs, 3'600'000);
        else {
            *error = "unknown option " + std::string(arg);
            return std::nullopt;
        }
        if (!ok) return std::nullopt;
    }
    if (o.family.empty()) {
        *error = "--family is required";
        return std::nullopt;
    }
    if (!findFamily(o.family)) {
        *error = "unknown family " + o.family + " (" + familyNames() + ")";
        return std::nullopt;
    }
    return o;
}

} // namespace brelmont::sim
