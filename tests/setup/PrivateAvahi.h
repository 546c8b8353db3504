// A private DNS-SD responder for tests: a D-Bus system bus of its own (dbus-daemon with its own
// configuration and socket), an Avahi daemon on it in network and mount namespaces of its own
// (only a loopback interface; a fresh /run for its pid file), and services published there with
// avahi-publish. DBUS_SYSTEM_BUS_ADDRESS points this process and its children at the private bus
// while the object lives. Namespaces need root, as the test runs in CI.
#pragma once

#include "ScopedEnv.h"
#include "ScratchDir.h"

#include <memory>
#include <string>
#include <vector>

namespace brelmont::testing {

class PrivateAvahi {
public:
    PrivateAvahi() = default;
    ~PrivateAvahi() { stop(); }
    PrivateAvahi(const PrivateAvahi&) = delete;
    PrivateAvahi& operator=(const PrivateAvahi&) = delete;

    // Whether avahi-daemon is installed. The other programs start() needs (avahi-publish,
    // dbus-daemon, unshare, ip) are its to report when missing.
    static bool available();

    // Starts the bus and the daemon, whose host name is `hostName` (".local" is added). False,
    // with `error` saying why (the programs' own output included), when either does not start.
    bool start(const std::string& hostName, std::string* error);
    // Publishes a _pdl-datastream._tcp service and waits until the daemon has established it.
    bool publish(const std::string& name, int port, const std::vector<std::string>& txt, std::string* error);
    void stop();

    std::string busAddress() const;

private:
    bool launch(const std::string& command, const std::string& name, std::string* error);
    bool waitFor(const std::string& name, const std::string& text, std::string* error);

    std::unique_ptr<ScratchDir> m_dir;
    std::vector<int> m_pids; // started last first stopped
    std::unique_ptr<ScopedEnv> m_bus;
};

} // namespace brelmont::testing
