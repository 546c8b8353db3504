// A tiny PJL client for tests: one connection, one request, the reply bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brelmont::testing {

struct ExchangeOptions {
    int formFeeds = -1;     // replies to wait for; -1: one per query line in the request
    bool halfClose = true;  // shut our write side after sending
    int timeoutMs = 3000;   // for the whole exchange
};

// Connects to 127.0.0.1:port, sends the request and reads until the expected number of form
// feeds arrived, the simulator closed, or the time is up. Whatever arrived is returned.
std::string exchange(uint16_t port, std::string_view request, int timeoutMs);
std::string exchange(uint16_t port, std::string_view request, const ExchangeOptions& options);

// Query lines ("@PJL INFO", "@PJL DINQUIRE", "@PJL INQUIRE", "@PJL ECHO") in a request.
int countQueries(std::string_view request);

} // namespace brelmont::testing
