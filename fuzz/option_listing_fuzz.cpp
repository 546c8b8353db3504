// What "lpoptions" prints, as the preferences read it: the option listing and, after a blank line,
// the queue's assignments.
#include "preferences/OptionListing.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace brelmont::preferences;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t split = bytes.find("\n\n");
    const std::string_view listing = bytes.substr(0, split);
    const std::string_view assignments = split == std::string_view::npos ? std::string_view() : bytes.substr(split + 2);

    for (const PrintOption& option : buildOptionList(listing, assignments)) {
        // A selection always points at one of the option's own values.
        if (option.selected < -1 || option.selected >= int64_t(option.values.size())) __builtin_trap();
        (void)findOption({option}, option.key);
    }
    (void)parseDecimalInteger(listing);
    return 0;
}
