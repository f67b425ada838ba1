// The transport over libusb-1.0. Matching devices are numbered 0, 1, ... in the
// order of their bus number and address; numbers from 32 on are never used.
#ifndef USBLOADER_LIBUSB_TRANSPORT_H
#define USBLOADER_LIBUSB_TRANSPORT_H

#include <vector>

#include "device_ids.h"
#include "transport.h"

struct libusb_context;
struct libusb_device_handle;

namespace usbloader {

class LibusbTransport final : public Transport {
public:
    // When libusb cannot start (no USB on this machine), no device ever opens.
    explicit LibusbTransport(std::vector<UsbId> ids);
    ~LibusbTransport() override;
    LibusbTransport(const LibusbTransport&) = delete;
    LibusbTransport& operator=(const LibusbTransport&) = delete;

    bool open(int number) override;
    bool controlOut(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                    std::span<const std::uint8_t> data) override;
    void close() override;

private:
    std::vector<UsbId> ids_;
    libusb_context* context_ = nullptr;
    libusb_device_handle* handle_ = nullptr;
};

}  // namespace usbloader

#endif
