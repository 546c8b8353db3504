// IEEE 1284 device ID texts ("MFG:Brelmont;MDL:Orvin 200;…") and how pjlhelper obtains them.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace brelmont::pjlhelper {

// The value of the first field named by any of `keys` (compared without regard to case), blanks
// around it trimmed; empty when there is none.
std::string deviceIdField(std::string_view deviceId, std::initializer_list<std::string_view> keys);

struct MakeAndModel {
    std::string make;
    std::string model; // without a leading copy of the make
};

// Make and model as CUPS derives them from a device ID: MANUFACTURER or MFG, MODEL or MDL, a few
// long maker names shortened, and the make dropped from the start of the model.
MakeAndModel makeAndModelOf(std::string_view deviceId);

// The device ID in a reply to "@PJL INFO ID": the line after the echoed command, quotes stripped.
// A reply that names the model only becomes "MFG:Brelmont;MDL:<reply>;". Empty when the reply
// holds no echo of the command or no answer after it.
std::string deviceIdFromInfoIdReply(std::string_view reply);

} // namespace brelmont::pjlhelper
