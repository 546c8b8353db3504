#include "setup/DnsSd.h"

namespace brelmont::setup {

std::string Announcement::uri() const {
    const std::string host = address.find(':') != std::string::npos ? "[" + address + "]" : address;
    return "socket://" + host + ":" + std::to_string(port);
}

} // namespace brelmont::setup
