// A build without Avahi's client library: no DNS-SD, said as such.
#include "setup/DnsSd.h"

namespace brelmont::setup {

bool dnsSdBuiltIn() { return false; }

BrowseOutcome browseDnsSd(const std::string&, std::chrono::milliseconds, const printer::SharedStop&) {
    return {{}, "DNS-SD: this program was built without Avahi, so announced embossers are not looked for"};
}

} // namespace brelmont::setup
