// pjlhelper: lists the attached embossers, or carries a request file to one and its reply back.
//
//   pjlhelper [--probe ADDRESS...]    device listing on stdout, one line per device; the network
//                                     devices asked are the configured ones and these addresses
//   pjlhelper F R D D D FILE DEVICE   send FILE when F is 1, copy the reply to stdout when R is 1
//
// Failures print nothing on stdout, "pjlhelper: what failed: why" on stderr, and exit with a
// status that tells their kind (printer/HelperProtocol.h). Waits are bounded; see Timeouts.h for
// the environment variables that change them and ConfiguredDevices.h for naming network devices.
#include "Arguments.h"
#include "ConfiguredDevices.h"
#include "DeviceAddress.h"
#include "Exchange.h"
#include "Failure.h"
#include "NetworkListing.h"
#include "PjlReplyCount.h"
#include "Timeouts.h"
#include "TransportFactory.h"
#include "UsbPrinters.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <unistd.h>

using namespace brelmont::pjlhelper;

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// USB lines first, then network lines in configured order. The network devices are asked while
// the USB ones are looked at, so a slow USB device does not add to the network budget.
int listDevices(const std::vector<std::string>& probed, const Timeouts& timeouts) {
    std::vector<std::string> uris = configuredDeviceUris();
    uris.insert(uris.end(), probed.begin(), probed.end());
    auto network = std::async(std::launch::async, [&] { return listNetworkDevices(uris, timeouts); });
    std::string out;
    for (const ListedDevice& device : listUsbPrinters()) out += listingLine(device) + "\n";
    for (const ListedDevice& device : network.get()) out += listingLine(device) + "\n";
    return writeAll(STDOUT_FILENO, out) ? 0 : 1;
}

std::string readRequestFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Failure("reading " + path, std::strerror(errno));
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            const int error = errno;
            ::close(fd);
            throw Failure("reading " + path, std::strerror(error));
        }
    }
    ::close(fd);
    return bytes;
}

int exchange(const ExchangeArguments& arguments, const Timeouts& timeouts) {
    const std::string request = arguments.sendFile ? readRequestFile(arguments.file) : std::string();

    DeviceAddress address;
    try {
        address = parseDeviceAddress(arguments.device);
    } catch (const AddressError& e) { throw Failure("reading the device address", e.what()); }

    std::unique_ptr<Transport> transport;
    try {
        transport = openTransport(address, Clock::now() + timeouts.connect);
    } catch (const TransportError& e) {
        throw Failure("connecting to " + arguments.device, e.what(), brelmont::printer::helper::ExitUnreachable);
    }

    // Send, then read on the same connection: some embossers drop a half-closed connection
    // before answering. Before closing, the device must have taken everything: a large file may
    // still be on its way when the send calls return.
    if (!request.empty()) sendRequest(*transport, request, timeouts);
    std::string reply;
    if (arguments.readReply) reply = readReply(*transport, expectedReplyCount(request), timeouts);
    const bool delivered = transport->flush(timeouts.sendStall);
    transport->close();
    if (!delivered)
        throw Failure("sending the request",
                      "the device did not take all of it within " + std::to_string(timeouts.sendStall.count()) + " ms");
    if (!writeAll(STDOUT_FILENO, reply)) throw Failure("writing the reply", std::strerror(errno));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    const Timeouts timeouts = Timeouts::fromEnvironment();

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const auto probed = parseListingArguments(arguments)) {
        const int status = listDevices(*probed, timeouts);
        // Threads still resolving a name past the budget are abandoned, not waited for.
        std::_Exit(status);
    }

    ExchangeArguments parsed;
    try {
        parsed = parseExchangeArguments(arguments);
    } catch (const Failure& f) {
        std::fprintf(stderr, "pjlhelper: %s: %s\n", f.step().c_str(), f.what());
        return f.exitCode();
    }
    try {
        return exchange(parsed, timeouts);
    } catch (const Failure& f) {
        std::fprintf(stderr, "pjlhelper: %s: %s\n", f.step().c_str(), f.what());
        return f.exitCode();
    }
}
