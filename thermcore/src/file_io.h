// File helpers shared by the readers and writers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

namespace thermcore {

// Largest infrared data the library reads (lengths travel as int).
inline constexpr int64_t kMaxDataLength = 0x7FFFFFFF;

// Length of an open file, or -1.
int64_t fileLength(std::FILE* f);
// Reads from offset to the end of the file (at most kMaxDataLength bytes;
// false when the file is longer or cannot be read).
bool readFileTail(std::FILE* f, int64_t offset, std::vector<uint8_t>& out);
// Reads up to n bytes from the start of the file at path; false when it
// cannot be opened.
bool readFileHead(const char* path, uint64_t n, std::vector<uint8_t>& out);
// Writes bytes to path through a temporary file in the same folder that is
// renamed over the target only when everything was written.
bool writeFileReplacing(const char* path, std::span<const uint8_t> bytes);
// Milliseconds of a monotonic clock, truncated to 32 bits.
uint32_t monotonicMs();

}  // namespace thermcore
