// embosser-sim: a simulated embosser of one family that speaks PJL over raw TCP on 127.0.0.1,
// for tests and demonstrations.
#include "Device.h"
#include "Faults.h"
#include "Options.h"
#include "RequestLog.h"
#include "Server.h"

#include <cstdio>
#include <cstdlib>

using namespace brelmont::sim;

int main(int argc, char** argv) {
    std::string error;
    const auto options = parseOptions(argc, argv, &error);
    if (!options) {
        std::fprintf(stderr, "embosser-sim: %s\n%s", error.c_str(), usage().c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }

    RequestLog log(options->log);
    if (!log.ok()) {
        std::fprintf(stderr, "embosser-sim: cannot open log %s\n", options->log.c_str());
        return 1;
    }
    Device device(*findFamily(options->family), {options->deviceId, options->state, options->store, options->jobs}, log);
    if (!device.start(&error)) {
        std::fprintf(stderr, "embosser-sim: %s\n", error.c_str());
        return 1;
    }
    Faults faults(options->faults);
    const int status = runServer({options->port, options->idleMs, options->exitWithParent}, device, faults, log);
    // Connection threads may still be winding down; nothing of theirs needs to be destroyed.
    std::fflush(nullptr);
    std::_Exit(status);
}
