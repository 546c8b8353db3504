// Picks the transport for a device address.
#pragma once

#include "DeviceAddress.h"
#include "Transport.h"

#include <memory>

namespace brelmont::pjlhelper {

// Opens a connection to the device; throws TransportError. The deadline bounds connecting.
std::unique_ptr<Transport> openTransport(const DeviceAddress& address, Deadline connectDeadline);

} // namespace brelmont::pjlhelper
