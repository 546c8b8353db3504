// One line of the device listing, in the form of a CUPS backend's device report.
#pragma once

#include <string>

namespace brelmont::pjlhelper {

struct ListedDevice {
    std::string uri;      // exactly as a queue's device-uri holds it
    std::string deviceId; // IEEE 1284 device ID
    std::string via;      // how the device is reached, added to the description ("USB", "network")
};

// direct URI "MAKE MODEL" "MAKE MODEL VIA" "DEVICE-ID" ""
std::string listingLine(const ListedDevice& device);

} // namespace brelmont::pjlhelper
