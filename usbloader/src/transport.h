// The device side of the firmware loader: card readers of one kind, known by
// number 0 to 31, reached by vendor control requests on their default pipe.
#ifndef USBLOADER_TRANSPORT_H
#define USBLOADER_TRANSPORT_H

#include <cstdint>
#include <span>

namespace usbloader {

// Device numbers the loader tries, in this order.
inline constexpr int kDeviceNumbers = 32;

class Transport {
public:
    virtual ~Transport() = default;

    // Opens device `number`, closing any device that is open. False when there is
    // no such device or it does not open.
    virtual bool open(int number) = 0;

    // A vendor control request from host to device with `data` as its data stage.
    // True only when the whole data stage was accepted.
    virtual bool controlOut(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                            std::span<const std::uint8_t> data) = 0;

    // Closes the open device, if any.
    virtual void close() = 0;
};

// Closes the transport's device when it goes out of scope.
class DeviceCloser {
public:
    explicit DeviceCloser(Transport& transport) : transport_(transport) {}
    ~DeviceCloser() { transport_.close(); }
    DeviceCloser(const DeviceCloser&) = delete;
    DeviceCloser& operator=(const DeviceCloser&) = delete;

private:
    Transport& transport_;
};

}  // namespace usbloader

#endif
