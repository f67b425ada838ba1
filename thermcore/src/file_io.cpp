#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <new>
#include <string>

namespace thermcore {

int64_t fileLength(std::FILE* f) {
    if (f == nullptr) return -1;
    const int fd = fileno(f);
    if (fd < 0) {
        // A stream over memory: its end, the position kept.
        const int64_t at = ftello(f);
        if (at < 0 || fseeko(f, 0, SEEK_END) != 0) return -1;
        const int64_t end = ftello(f);
        return fseeko(f, at, SEEK_SET) == 0 ? end : -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
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

ReplacingFile::ReplacingFile(const char* target) {
    static std::atomic<unsigned> counter{0};
    if (target == nullptr || *target == '\0') return;
    target_ = target;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = target_ + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        fd_ = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) temp_.clear();
}

ReplacingFile::~ReplacingFile() {
    if (fd_ >= 0) close(fd_);
    if (!temp_.empty()) unlink(temp_.c_str());
}

bool ReplacingFile::write(std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (!failed_ && fd_ >= 0 && done < bytes.size()) {
        const ssize_t w = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) failed_ = true;
        if (w > 0) done += static_cast<size_t>(w);
    }
    return !failed_ && fd_ >= 0;
}

bool ReplacingFile::commit() {
    if (fd_ < 0) return false;
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    if (!closed || failed_ || std::rename(temp_.c_str(), target_.c_str()) != 0) return false;
    temp_.clear();  // it is the target now
    return true;
}

bool writeFileReplacing(const char* path, std::span<const uint8_t> bytes) {
    ReplacingFile out(path);
    return out.write(bytes) && out.commit();
}

namespace {

struct MemoryStream {
    std::span<const uint8_t> bytes;
    int64_t pos = 0;
};

ssize_t readMemory(void* cookie, char* out, size_t n) {
    auto* m = static_cast<MemoryStream*>(cookie);
    const auto size = static_cast<int64_t>(m->bytes.size());
    if (m->pos >= size) return 0;
    const size_t take = std::min<size_t>(n, static_cast<size_t>(size - m->pos));
    std::memcpy(out, m->bytes.data() + m->pos, take);
    m->pos += static_cast<int64_t>(take);
    return static_cast<ssize_t>(take);
}

int seekMemory(void* cookie, off64_t* offset, int whence) {
    auto* m = static_cast<MemoryStream*>(cookie);
    int64_t base = 0;
    if (whence == SEEK_CUR) base = m->pos;
    if (whence == SEEK_END) base = static_cast<int64_t>(m->bytes.size());
    int64_t to = 0;
    if (__builtin_add_overflow(base, int64_t{*offset}, &to) || to < 0) {
        errno = EINVAL;
        return -1;
    }
    m->pos = to;
    *offset = to;
    return 0;
}

int closeMemory(void* cookie) {
    delete static_cast<MemoryStream*>(cookie);
    return 0;
}

}  // namespace

std::FILE* openMemoryStream(std::span<const uint8_t> bytes) {
    auto* m = new (std::nothrow) MemoryStream{bytes, 0};
    if (m == nullptr) return nullptr;
    const cookie_io_functions_t io{readMemory, nullptr, seekMemory, closeMemory};
    std::FILE* f = fopencookie(m, "rb", io);
    if (f == nullptr) delete m;
    return f;
}

uint32_t monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u +
                        static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

}  // namespace thermcore
