// What devices and pjlhelper say about themselves: device IDs, "@PJL INFO ID" replies, the
// listing lines, and the replies counted while an exchange waits.
#include "DeviceId.h"
#include "PjlReplyCount.h"
#include "printer/DeviceUri.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace brelmont;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)pjlhelper::deviceIdField(bytes, {"MFG", "MANUFACTURER"});
    (void)pjlhelper::makeAndModelOf(bytes);
    (void)pjlhelper::deviceIdFromInfoIdReply(bytes);

    // A listing line against the address named at its own start.
    const std::string_view uri = bytes.substr(0, bytes.find(' '));
    (void)printer::lineNamesDevice(bytes, uri);
    if (!printer::sameDevice(uri, uri) && !printer::normalizedDeviceUri(uri).empty()) __builtin_trap();

    (void)pjlhelper::expectedReplyCount(bytes);
    pjlhelper::ReplyCounter counter;
    const size_t half = size / 2;
    counter.add(bytes.substr(0, half));
    counter.add(bytes.substr(half));
    return 0;
}
