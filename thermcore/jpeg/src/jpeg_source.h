// The read path's input source: a file read in 4096-byte blocks or a memory
// block, with the byte-level operations of the marker loop (words, marker
// search, segment skipping, contiguous segment payloads). The bit reader of
// the entropy-coded data works on the same buffer through `bits`.
//
// `bits.consumed` is the stream offset of the next unread byte (bytes held
// in the bit buffer count as read).
#ifndef THERMJPEG_JPEG_SOURCE_H
#define THERMJPEG_JPEG_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bit_reader.h"

namespace thermjpeg {

inline constexpr int kSourceBlockSize = 4096;
inline constexpr int kEndOfData = 0x100; // JpegReadMarker's code when the stream has ended

struct JpegSource {
    BitReader bits;
    const uint8_t* base = nullptr; // memory input
    size_t size = 0;
    int file = -1; // file input when >= 0
    uint8_t buffer[2 * kSourceBlockSize] = {};
    // A payload that straddles a refill is gathered here.
    std::vector<uint8_t> gather;

    bool isFile() const { return file >= 0; }
};

// Starts reading at offset 0 of the memory block or at the file's current
// position (which the caller has put at the stream's start): bits, pending
// marker and end-of-band run cleared.
void JpegSourceReset(JpegSource& source);
void JpegSourceAttachMemory(JpegSource& source, const uint8_t* data, size_t size);
void JpegSourceAttachFile(JpegSource& source, int file);
// File input: keeps the unread bytes, appends up to 4096 more. Returns 0
// (also when nothing more is there: the caller sees no new bytes), or -23
// when the read fails.
int JpegSourceFill(JpegSource& source);
// Points *data at the next n bytes and moves past them. n is at most the
// buffer size. The end of the input gives -5 (memory) or -23 (file).
int JpegSourceTake(JpegSource& source, size_t n, const uint8_t** data);
// As JpegSourceTake for any n: a payload longer than the buffer is gathered
// into source.gather (valid until the next call).
int JpegSourceTakeCopy(JpegSource& source, size_t n, const uint8_t** data);
// Two bytes, the first high.
int JpegReadWord(JpegSource& source, int* value);
// Passes over bytes up to the next marker: fill bytes and FF 00 are passed
// over; the marker code is the next unread byte. The end gives -5 (memory)
// or -23 (file).
int JpegSourceFindMarker(JpegSource& source);
// The pending marker of the bit reader, else the next marker in the input;
// kEndOfData when the input ends before one.
int JpegReadMarker(JpegSource& source, int* code);
// Reads a segment length (below 2: -21) and passes over the payload (a
// segment running past the input: -21).
int JpegSkipSegment(JpegSource& source);
// Moves the source to a stream offset (restart index): bits cleared.
// Returns 0, -23 for a failing seek, -21 for an offset past a memory block.
int JpegSourceSeek(JpegSource& source, int64_t offset);

} // namespace thermjpeg

#endif
