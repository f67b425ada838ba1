// The decoder's bit reader over entropy-coded data: byte stuffing removed,
// markers detected and left pending for the scan loop.
//
// Bit convention (shared by every decoder form that works on a reader): the
// valid bits stand left-aligned in the 64-bit buffer, the next bit to read
// in bit 63, and bitCount says how many are valid. Bits below them are zero.
#ifndef THERMJPEG_BIT_READER_H
#define THERMJPEG_BIT_READER_H

#include <cstddef>
#include <cstdint>

namespace thermjpeg {

// Internal status of the bit reader: a marker or the end of the input came
// before enough bits were available. The block decoders turn it into 0 (the
// block keeps what was decoded so far).
inline constexpr int kStatusNoMoreBits = 100;

struct BitReader;
// Refills the input of a reader (file input): sets next and bytesLeft and
// returns 0, or a negative codec error. A refill that yields no bytes means
// the input has ended.
using BitReaderRefill = int (*)(BitReader& reader, void* context);

struct BitReader {
    uint64_t bitBuffer = 0; // valid bits left-aligned (next bit in bit 63)
    int bitCount = 0;       // valid bits, 0..64
    const uint8_t* next = nullptr; // next input byte
    size_t bytesLeft = 0;          // input bytes from next on
    uint64_t consumed = 0;         // input bytes taken so far
    int marker = 0;                // marker code met in the data, 0 while none
    uint32_t eobRun = 0;           // end-of-band run of progressive AC scans
    BitReaderRefill refill = nullptr; // null: memory input
    void* refillContext = nullptr;
};

// Points a reader at memory input and clears its bits, marker and run.
void JpegBitReaderInit(BitReader& reader, const uint8_t* data, size_t size);

// Loads whole bytes while 56 or fewer bits are valid, so that one fill
// serves several symbols. Stops at a marker (recorded in reader.marker) and
// at the end of the input. Returns 0 when at least `wanted` bits are valid,
// kStatusNoMoreBits when fewer are, -21 when memory input ends inside a run
// of 0xFF bytes, or the refill's error.
int JpegFillBits(BitReader& reader, int wanted);

// The next n bits (0..32), right-aligned, without taking them.
inline uint32_t JpegPeekBits(const BitReader& reader, int n)
{
    return n == 0 ? 0u : static_cast<uint32_t>(reader.bitBuffer >> (64 - n));
}

// Takes n bits (0..32); the caller has made sure that n are valid.
inline uint32_t JpegGetBits(BitReader& reader, int n)
{
    const uint32_t value = JpegPeekBits(reader, n);
    reader.bitBuffer <<= n;
    reader.bitCount -= n;
    return value;
}

// Takes n bits, filling first when fewer are valid: 0, kStatusNoMoreBits
// (nothing taken) or a negative error.
inline int JpegTakeBits(BitReader& reader, int n, uint32_t& value)
{
    if (reader.bitCount < n) {
        if (int rc = JpegFillBits(reader, n))
            return rc;
    }
    value = JpegGetBits(reader, n);
    return 0;
}

} // namespace thermjpeg

#endif
