#include "file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace thermjpeg {

int JpegOpenFile(const char* name, FileAccess access)
{
    if (name == nullptr || *name == '\0')
        return -1;
    const int flags = access == FileAccess::ReadOnly ? O_RDONLY : (O_RDWR | O_CREAT | O_TRUNC);
    int file;
    do {
        file = ::open(name, flags | O_CLOEXEC, 0666);
    } while (file < 0 && errno == EINTR);
    return file;
}

bool JpegCloseFile(int file)
{
    // After an interrupted close the descriptor is gone on Linux: no retry.
    return file >= 0 && ::close(file) == 0;
}

bool JpegReadFile(int file, uint8_t* buffer, size_t count, size_t* countRead)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(file, buffer + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *countRead = done;
            return false;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    *countRead = done;
    return true;
}

bool JpegWriteFile(int file, const uint8_t* bytes, size_t count, size_t* countWritten)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(file, bytes + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *countWritten = done;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    *countWritten = done;
    return true;
}

bool JpegSeekFile(int file, int64_t distance, SeekOrigin origin)
{
    const int whence = origin == SeekOrigin::Start ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    return ::lseek(file, static_cast<off_t>(distance), whence) != static_cast<off_t>(-1);
}

} // namespace thermjpeg
