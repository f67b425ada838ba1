#include "loader_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "user_paths.h"

namespace usbloader {
namespace {

constexpr std::chrono::milliseconds kRetryStep{10};

}  // namespace

std::filesystem::path defaultLockPath() {
    return userRuntimeFolder() / (std::string(kSuiteFolder) + "-usbloader.lock");
}

std::unique_ptr<LoaderLock> LoaderLock::acquire(const std::filesystem::path& path,
                                                std::chrono::milliseconds wait) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return nullptr;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return std::unique_ptr<LoaderLock>(new LoaderLock(fd));
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(kRetryStep);
    }
    ::close(fd);
    return nullptr;
}

LoaderLock::~LoaderLock() {
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
}

}  // namespace usbloader
