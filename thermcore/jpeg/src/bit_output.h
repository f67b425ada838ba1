// The byte sink of every encoder path: entropy bits with 0xFF stuffing, raw
// marker bytes, the 4096-byte file buffer and the end-of-stream flush.
#ifndef THERMJPEG_BIT_OUTPUT_H
#define THERMJPEG_BIT_OUTPUT_H

#include <cstddef>
#include <cstdint>

#include "codec_state.h"

namespace thermjpeg {

// The outputInit entry: file output (out.file set) uses the record's own
// buffer, memory output the caller's [address, address + size).
void JpegOutputInit(OutputRecord& out, uint8_t* address, int64_t size);

// The outputWriteBytes entry: completes the pending entropy byte (zero
// padding, stuffed when 0xFF), then appends the bytes unstuffed. A memory
// output that cannot take the pending bytes and all of these fails with
// -28 before storing any of them; a failed file write gives -23.
int JpegOutputWriteBytes(const uint8_t* bytes, size_t length, OutputRecord& out);

// Completes the pending byte and, for file output, writes the buffer out.
int JpegFinishOutput(OutputRecord& out);

// Stores whole pending bytes of the accumulator (stuffed); the slow path of
// JpegPutBits, used when the output may be near its end.
int JpegEmitPendingBytes(OutputRecord& out);

// Appends the low `count` bits of value (count 0..32), most significant first.
inline int JpegPutBits(OutputRecord& out, uint32_t value, int count)
{
    const uint64_t mask = (uint64_t{1} << count) - 1;
    out.bitBuffer = (out.bitBuffer << count) | (value & mask);
    out.bitCount += count;
    if (out.bitCount < 32)
        return 0;
    // Four whole bytes are pending; with room for all of them and their
    // stuffed zeros store them straight away.
    if (out.end - out.current >= 8) {
        for (int i = 0; i < 4; ++i) {
            out.bitCount -= 8;
            const uint8_t byte = static_cast<uint8_t>(out.bitBuffer >> out.bitCount);
            *out.current++ = byte;
            if (byte == 0xFF)
                *out.current++ = 0;
        }
        return 0;
    }
    return JpegEmitPendingBytes(out);
}

} // namespace thermjpeg

#endif
