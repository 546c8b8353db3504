// Which of the maker's models an attached device is, from its IEEE 1284 device ID, and the driver
// profile a queue for it is made from.
#pragma once

#include "driver/ModelProfiles.h"

#include <string>
#include <string_view>
#include <vector>

namespace brelmont::setup {

// The value of the first field named `key` (compared without regard to case), blanks around it
// trimmed; empty when there is none.
std::string deviceIdField(std::string_view deviceId, std::string_view key);

// The profile for a device ID: its model code, then, where several profiles share that code, its
// model text (MDL) decides. None for a device ID of another maker or of no known model.
const driver::ModelProfile* profileForDeviceId(std::string_view deviceId);

// A device ID standing in for one the device did not give, from the keys of a DNS-SD
// announcement ("usb_MFG=Brelmont", "usb_MDL=Merriden"); empty when they do not name both.
std::string deviceIdFromAnnouncement(const std::vector<std::string>& txt);

// Whether a DNS-SD announcement may be one of the maker's embossers: it names the maker, or names
// no maker at all. Only those are asked for their device ID, so no other maker's raw printer is
// sent a request it might print as text.
bool announcementMayBeOurs(const std::vector<std::string>& txt);

} // namespace brelmont::setup
