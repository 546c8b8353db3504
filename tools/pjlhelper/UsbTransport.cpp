// usb://MAKE/MODEL?serial=…: bulk OUT and bulk IN on a printer-class interface.
#include "UsbLibusb.h"
#include "UsbPrinters.h"
#include "UsbUri.h"

#include <algorithm>
#include <thread>

namespace brelmont::pjlhelper {

namespace {

constexpr std::size_t SendChunk = 64 * 1024;
constexpr std::size_t ReceiveChunk = 16 * 1024;

unsigned timeoutMs(Milliseconds ms) { return static_cast<unsigned>(std::clamp<long long>(ms.count(), 1, 3600000)); }

class UsbTransport final : public Transport {
public:
    UsbTransport(std::unique_ptr<usb::Session> session, usb::OpenedPrinter printer)
        : m_session(std::move(session)),
          m_printer(std::move(printer)) {}
    ~UsbTransport() override { close(); }

    void send(std::span<const unsigned char> bytes, Milliseconds stallTimeout) override {
        if (!m_printer.handle) throw TransportError("connection already closed");
        while (!bytes.empty()) {
            const std::size_t chunk = std::min(bytes.size(), SendChunk);
            int sent = 0;
            // libusb takes a non-const buffer for both directions; OUT transfers only read it.
            const int rc =
                libusb_bulk_transfer(m_printer.handle, m_printer.interface.endpointOut, const_cast<unsigned char*>(bytes.data()),
                                     static_cast<int>(chunk), &sent, timeoutMs(stallTimeout));
            if (sent > 0) {
                bytes = bytes.subspan(static_cast<std::size_t>(sent));
            } else if (rc == LIBUSB_ERROR_TIMEOUT) {
                throw TransportError("the device took no data for " + std::to_string(stallTimeout.count()) + " ms");
            } else if (rc != 0) {
                throw TransportError(libusb_strerror(rc));
            }
        }
    }

    ReceiveResult receive(std::span<unsigned char> buffer, Deadline deadline) override {
        if (!m_printer.handle || !m_printer.interface.endpointIn) return {ReceiveStatus::Closed, 0};
        // Whole packets only, so that a device never overflows the buffer.
        const std::size_t packet = m_printer.interface.inPacketSize;
        std::size_t length = std::min(buffer.size(), ReceiveChunk);
        if (length >= packet) length -= length % packet;
        for (;;) {
            const auto left = std::chrono::ceil<Milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return {ReceiveStatus::TimedOut, 0};
            int got = 0;
            const int rc = libusb_bulk_transfer(m_printer.handle, *m_printer.interface.endpointIn, buffer.data(),
                                                static_cast<int>(length), &got, timeoutMs(left));
            if (got > 0) return {ReceiveStatus::Data, static_cast<std::size_t>(got)};
            if (rc == LIBUSB_ERROR_TIMEOUT) return {ReceiveStatus::TimedOut, 0};
            if (rc != 0) return {ReceiveStatus::Closed, 0};
            // Some printers answer an idle read with an empty packet at once; don't spin.
            std::this_thread::sleep_for(Milliseconds(20));
        }
    }

    // Bulk OUT transfers finish only when the device has taken the data.
    bool flush(Milliseconds) override { return true; } // a bulk write returns once the device took it

    void close() override { usb::closePrinter(m_printer); }

private:
    std::unique_ptr<usb::Session> m_session; // outlives the printer handle
    usb::OpenedPrinter m_printer;
};

} // namespace

std::unique_ptr<Transport> openUsbPrinter(const UsbAddress& address) {
    auto session = std::make_unique<usb::Session>();
    if (!session->ok()) throw TransportError(std::string("USB is not available: ") + session->failure());
    for (libusb_device* device : *session) {
        auto printer = usb::openPrinter(device);
        if (!printer) continue;
        if (!usbAddressMatches(address, printer->identity)) {
            usb::closePrinter(*printer);
            continue;
        }
        if (!printer->claimed) {
            usb::closePrinter(*printer);
            throw TransportError("the printer's USB interface is in use by another program");
        }
        return std::make_unique<UsbTransport>(std::move(session), std::move(*printer));
    }
    throw TransportError("no such printer is attached");
}

} // namespace brelmont::pjlhelper
