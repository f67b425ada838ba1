#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <string>

namespace thermcore {

int64_t fileLength(std::FILE* f) {
    if (f == nullptr) return -1;
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

bool readFileTail(std::FILE* f, int64_t offset, std::vector<uint8_t>& out) {
    const int64_t length = fileLength(f);
    if (length < 0 || offset < 0 || offset > length) return false;
    const int64_t n = length - offset;
    if (n > kMaxDataLength) return false;
    if (fseeko(f, offset, SEEK_SET) != 0) return false;
    out.resize(static_cast<size_t>(n));
    const size_t got = std::fread(out.data(), 1, out.size(), f);
    // A file that shrank since fstat keeps what was read.
    out.resize(got);
    return !std::ferror(f);
}

bool readFileHead(const char* path, uint64_t n, std::vector<uint8_t>& out) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    const int64_t length = fileLength(f);
    const uint64_t want = length < 0 ? n : std::min<uint64_t>(n, static_cast<uint64_t>(length));
    out.resize(static_cast<size_t>(want));
    out.resize(std::fread(out.data(), 1, out.size(), f));
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool writeFileReplacing(const char* path, std::span<const uint8_t> bytes) {
    static std::atomic<unsigned> counter{0};
    const std::string target(path);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) break;
        done += static_cast<size_t>(w);
    }
    const bool written = done == bytes.size();
    if (close(fd) != 0 || !written || std::rename(temp.c_str(), path) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

uint32_t monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u +
                        static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

}  // namespace thermcore
