#include "libusb_transport.h"

#include <libusb.h>

#include <algorithm>
#include <tuple>

namespace usbloader {
namespace {

constexpr unsigned kTransferTimeoutMs = 1000;
constexpr std::uint8_t kVendorOut = static_cast<std::uint8_t>(
    unsigned{LIBUSB_ENDPOINT_OUT} | unsigned{LIBUSB_REQUEST_TYPE_VENDOR} | unsigned{LIBUSB_RECIPIENT_DEVICE});

}  // namespace

LibusbTransport::LibusbTransport(std::vector<UsbId> ids) : ids_(std::move(ids)) {
    if (libusb_init(&context_) != LIBUSB_SUCCESS) context_ = nullptr;
}

LibusbTransport::~LibusbTransport() {
    close();
    if (context_ != nullptr) libusb_exit(context_);
}

bool LibusbTransport::open(int number) {
    close();
    if (context_ == nullptr || number < 0 || number >= kDeviceNumbers) return false;

    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &list);
    if (count < 0) return false;

    std::vector<libusb_device*> matching;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) != LIBUSB_SUCCESS) continue;
        const UsbId id{descriptor.idVendor, descriptor.idProduct};
        if (std::find(ids_.begin(), ids_.end(), id) != ids_.end()) matching.push_back(list[i]);
    }
    std::sort(matching.begin(), matching.end(), [](libusb_device* a, libusb_device* b) {
        return std::tuple(libusb_get_bus_number(a), libusb_get_device_address(a)) <
               std::tuple(libusb_get_bus_number(b), libusb_get_device_address(b));
    });

    if (static_cast<std::size_t>(number) < matching.size() &&
        libusb_open(matching[static_cast<std::size_t>(number)], &handle_) != LIBUSB_SUCCESS) {
        handle_ = nullptr;
    }
    libusb_free_device_list(list, 1);
    return handle_ != nullptr;
}

bool LibusbTransport::controlOut(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                                 std::span<const std::uint8_t> data) {
    if (handle_ == nullptr || data.size() > 0xFFFF) return false;
    // libusb takes a mutable buffer for both directions.
    std::vector<unsigned char> buffer(data.begin(), data.end());
    const int sent = libusb_control_transfer(handle_, kVendorOut, request, value, index,
                                             buffer.data(), static_cast<std::uint16_t>(buffer.size()),
                                             kTransferTimeoutMs);
    return sent >= 0 && static_cast<std::size_t>(sent) == data.size();
}

void LibusbTransport::close() {
    if (handle_ != nullptr) libusb_close(handle_);
    handle_ = nullptr;
}

}  // namespace usbloader
