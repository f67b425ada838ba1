// File helpers shared by the readers and writers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace thermcore {

// Largest infrared data the library reads (lengths travel as int).
inline constexpr int64_t kMaxDataLength = 0x7FFFFFFF;

// Length of an open file or of a stream over memory, or -1.
int64_t fileLength(std::FILE* f);
// Reads from offset to the end of the file (at most kMaxDataLength bytes;
// false when the file is longer or cannot be read).
bool readFileTail(std::FILE* f, int64_t offset, std::vector<uint8_t>& out);
// Reads up to n bytes from the start of the file at path; false when it
// cannot be opened.
bool readFileHead(const char* path, uint64_t n, std::vector<uint8_t>& out);
// A file written beside its target under a temporary name and renamed over
// the target only by commit(), so that a failed write leaves an existing
// target as it was. Dropped without commit(), the temporary file goes.
class ReplacingFile {
public:
    explicit ReplacingFile(const char* target);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // The temporary file was created.
    bool opened() const { return fd_ >= 0; }
    // Its name, for a writer that opens it itself.
    const std::string& tempPath() const { return temp_; }
    // Appends bytes; a failure is sticky and makes commit() fail.
    bool write(std::span<const uint8_t> bytes);
    // Closes the file and renames it over the target; false (the target
    // untouched, the temporary file removed) on any failure.
    bool commit();

private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool failed_ = false;
};

// Writes bytes to path through a ReplacingFile; false on any failure.
bool writeFileReplacing(const char* path, std::span<const uint8_t> bytes);
// A read-only stream over bytes that stay unchanged and alive until it is
// closed; it seeks as a file does (past the end too, where reads give
// nothing). NULL when it cannot be made.
std::FILE* openMemoryStream(std::span<const uint8_t> bytes);
// Milliseconds of a monotonic clock, truncated to 32 bits.
uint32_t monotonicMs();

}  // namespace thermcore
