// The settings profile reader on any bytes: it refuses with a reason, or decodes a profile that
// writes out and reads back the same.
#include "toolbox/profile/ProfileFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool same(const brelmont::toolbox::SettingsProfile& a, const brelmont::toolbox::SettingsProfile& b) {
    if (a.family != b.family || a.model != b.model || a.firmware != b.firmware || a.settings.size() != b.settings.size())
        return false;
    for (size_t i = 0; i < a.settings.size(); ++i)
        if (a.settings[i].control != b.settings[i].control || a.settings[i].value != b.settings[i].value) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace brelmont::toolbox;
    std::string why;
    const auto profile = decodeProfile(std::string_view(reinterpret_cast<const char*>(data), size), why);
    if (!profile) {
        if (why.empty()) __builtin_trap(); // a refusal always says why
        return 0;
    }
    const auto again = decodeProfile(encodeProfile(*profile), why);
    if (!again || !same(*profile, *again)) __builtin_trap();
    return 0;
}
