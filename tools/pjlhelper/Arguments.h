// The command line: no arguments for the listing, or "F R D D D FILE DEVICE" for an exchange.
#pragma once

#include <string>
#include <vector>

namespace brelmont::pjlhelper {

struct ExchangeArguments {
    bool sendFile = false;  // first digit 1: send the file's bytes
    bool readReply = false; // second digit 1: read the reply onto standard output
    std::string file;
    std::string device;
};

// Parses the arguments after the program name; the last three digits are accepted and unused.
// Throws Failure for anything but five single digits, a file and a device.
ExchangeArguments parseExchangeArguments(const std::vector<std::string>& arguments);

} // namespace brelmont::pjlhelper
