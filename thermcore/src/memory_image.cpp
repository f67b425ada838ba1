// Memory images (IFR_LoadBuffer): the bytes go to a temporary file of the
// object's own, opened like any file and removed when the file is closed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "byte_order.h"
#include "file_open.h"
#include "sequence.h"

namespace thermcore {

namespace {

std::string temporaryFolder() {
    const char* dir = std::getenv("TMPDIR");
    return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

bool writeAll(int fd, const uint8_t* data, size_t n) {
    while (n > 0) {
        const ssize_t w = write(fd, data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        data += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

}  // namespace

int openMemoryImage(IfrObject& obj, void* window, const void* data, int length) {
    if (data == nullptr || length <= 0) return -1;
    obj.closeFile();
    std::string path = temporaryFolder() + "/thermcore-XXXXXX";
    const int fd = mkstemp(path.data());  // created 0600, for this object alone
    if (fd < 0) return -1;
    const auto* bytes = static_cast<const uint8_t*>(data);
    const bool written = fchmod(fd, S_IRUSR | S_IWUSR) == 0 &&
                         writeAll(fd, bytes, static_cast<size_t>(length));
    if (close(fd) != 0 || !written) {
        unlink(path.c_str());
        return -1;
    }
    // A sequence begins with its layout 1, 2 or 3; a still image with its
    // model string. (A layout-0 sequence is handed out as its first frame.)
    const uint32_t first = length >= 4 ? loadU32(bytes) : 0;
    const int kind = first >= 1 && first <= 3 ? IFR_KIND_SEQUENCE : IFR_KIND_IMAGE;
    const int r = openFile(obj, path.c_str(), kind, window, nullptr, nullptr);
    // Removed by the close, whether the open succeeded or not.
    obj.seq.tempPath = path;
    return r;
}

}  // namespace thermcore
