// The codec's thin file layer over POSIX descriptors.
#ifndef THERMJPEG_FILE_IO_H
#define THERMJPEG_FILE_IO_H

#include <cstddef>
#include <cstdint>

namespace thermjpeg {

enum class FileAccess { ReadOnly, ReadWrite };
enum class SeekOrigin { Start, Current, End };

// Read-only opens an existing file; read/write creates or truncates it.
// Returns -1 on failure.
int JpegOpenFile(const char* name, FileAccess access);
// Returns true when the descriptor was closed cleanly.
bool JpegCloseFile(int file);
// Each returns true on success and the count transferred (retrying
// interrupted and partial transfers until done, end of file or error).
bool JpegReadFile(int file, uint8_t* buffer, size_t count, size_t* countRead);
bool JpegWriteFile(int file, const uint8_t* bytes, size_t count, size_t* countWritten);
bool JpegSeekFile(int file, int64_t distance, SeekOrigin origin);

} // namespace thermjpeg

#endif
