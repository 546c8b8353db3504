#include "ListingLine.h"

#include "DeviceId.h"

namespace brelmont::pjlhelper {

namespace {

// A quoted field as CUPS writes them: backslash before quotes and backslashes, controls dropped.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) >= ' ') out += c;
    }
    return out + "\"";
}

} // namespace

std::string listingLine(const ListedDevice& device) {
    const MakeAndModel names = makeAndModelOf(device.deviceId);
    const std::string makeAndModel = names.make + " " + names.model;
    const std::string info = device.via.empty() ? makeAndModel : makeAndModel + " " + device.via;
    return "direct " + device.uri + " " + quoted(makeAndModel) + " " + quoted(info) + " " + quoted(device.deviceId) + " \"\"";
}

} // namespace brelmont::pjlhelper
