#include "TransportFactory.h"

#include "TcpTransport.h"
#include "UsbPrinters.h"

namespace brelmont::pjlhelper {

std::unique_ptr<Transport> openTransport(const DeviceAddress& address, Deadline connectDeadline) {
    if (const auto* socket = std::get_if<SocketAddress>(&address)) return TcpTransport::connect(*socket, connectDeadline);
    return openUsbPrinter(std::get<UsbAddress>(address));
}

} // namespace brelmont::pjlhelper
