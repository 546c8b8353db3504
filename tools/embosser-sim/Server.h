// Listens on 127.0.0.1, announces "listening PORT" on standard output, and serves each
// connection on a thread of its own until SIGTERM or SIGINT.
#pragma once

#include "Connection.h"

namespace brelmont::sim {

struct ServerConfig {
    int port = 0;
    int idleMs = 30000;
    bool exitWithParent = false; // stop when the process that started us is gone
};

// The exit status: 0 after a clean stop, 1 when listening failed.
int runServer(const ServerConfig& config, Device& device, Faults& faults, RequestLog& log);

} // namespace brelmont::sim
