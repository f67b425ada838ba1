// The advisory lock that keeps two loaders (Camlink, Cardpull) from writing into
// a card reader at the same time. Every attempt, from the device search to the
// release of the processor, runs under it.
#ifndef USBLOADER_LOADER_LOCK_H
#define USBLOADER_LOADER_LOCK_H

#include <chrono>
#include <filesystem>
#include <memory>

namespace usbloader {

// $XDG_RUNTIME_DIR/kestrelworksA-usbloader.lock, or the same name in the
// temporary folder when there is no runtime folder.
std::filesystem::path defaultLockPath();

class LoaderLock {
public:
    // Takes the lock, waiting up to `wait` for another holder to let go. Null
    // when the lock file cannot be made or the wait ran out.
    static std::unique_ptr<LoaderLock> acquire(const std::filesystem::path& path,
                                               std::chrono::milliseconds wait);
    ~LoaderLock();
    LoaderLock(const LoaderLock&) = delete;
    LoaderLock& operator=(const LoaderLock&) = delete;

private:
    explicit LoaderLock(int fd) : fd_(fd) {}
    int fd_;
};

}  // namespace usbloader

#endif
