// The command line: no arguments (or "--probe ADDRESS...") for the listing, or
// "F R D D D FILE DEVICE" for an exchange.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brelmont::pjlhelper {

struct ExchangeArguments {
    bool sendFile = false;  // first digit 1: send the file's bytes
    bool readReply = false; // second digit 1: read the reply onto standard output
    std::string file;
    std::string device;
};

// The addresses after "--probe": network devices to ask beside the configured ones. None when
// the arguments are not the listing's.
std::optional<std::vector<std::string>> parseListingArguments(const std::vector<std::string>& arguments);

// Parses the arguments after the program name; the last three digits are accepted and unused.
// Throws Failure for anything but five single digits, a file and a device.
ExchangeArguments parseExchangeArguments(const std::vector<std::string>& arguments);

} // namespace brelmont::pjlhelper
