// Processor forms of the baseline block encoder and of the byte output
// (x86-64 only). They write exactly the bytes of the generic forms
// (huffman_encoder.h, bit_output.h) for the same blocks.
//
// Inside a block the pending bits live in a 64-bit accumulator, left-aligned
// (the oldest bit in bit 63), and leave it four bytes at a time. The output
// record keeps them right-aligned between calls, as every other writer of the
// record expects: the encoder converts on entry and on exit. Between calls
// fewer than 32 bits are pending.
#ifndef THERMJPEG_SIMD_ENTROPY_ENCODER_H
#define THERMJPEG_SIMD_ENTROPY_ENCODER_H

#include <cstddef>
#include <cstdint>

#include "codec_state.h"

namespace thermjpeg {

#if defined(__x86_64__)

// Left-aligned pending bits: `count` bits from bit 63 down.
struct LeftAlignedBits {
    uint64_t accumulator = 0;
    int count = 0;
};

LeftAlignedBits JpegLoadLeftAligned(const OutputRecord& out);
void JpegStoreLeftAligned(const LeftAlignedBits& bits, OutputRecord& out);

// Appends `length` (1..32) bits held right-aligned in value (nothing above
// them), then, with more than 32 pending, stores four-byte groups with 0xFF
// 0x00 stuffing; a stuffing byte owed to a group's last 0xFF is put back in
// front of the pending bits and leaves with the next group.
// File output first writes the buffer out when 22 bytes of room or fewer
// remain (-23 on a failed write, the bits kept pending); memory output
// stores a group only with 4 bytes of room and otherwise returns -28 with
// the bits kept pending.
int JpegMmxPutBitsFile(uint32_t value, int length, LeftAlignedBits& bits, OutputRecord& out);
int JpegMmxPutBitsMemory(uint32_t value, int length, LeftAlignedBits& bits, OutputRecord& out);

// The non-zero AC coefficients of a natural-order block as a mask in
// zig-zag order: bit k set for a non-zero zig-zag coefficient k (1..63; bit
// 0 clear). Found with vector compares, a row at a time through a table.
uint64_t JpegMmxScanBlock(const int16_t* block);

// The encodeBlock entries of the processor sets: the generic symbols
// (a missing code gives -6), each code sent with its magnitude bits as one
// bit string.
int JpegMmxEncodeBlock(OutputRecord& out, const HuffmanEncoder& dc, const HuffmanEncoder& ac, int16_t* dcPredictor,
                       const int16_t* block);
int JpegSseEncodeBlock(OutputRecord& out, const HuffmanEncoder& dc, const HuffmanEncoder& ac, int16_t* dcPredictor,
                       const int16_t* block);

// The outputWriteBytes entry: the pending bits leave as whole bytes (the
// last padded with zero bits, 0xFF stuffed), then the bytes unstuffed. A
// memory output without room for all of them fails with -28 before storing
// any; a failed file write gives -23.
int JpegMmxWriteBytes(const uint8_t* bytes, size_t length, OutputRecord& out);

#endif

} // namespace thermjpeg

#endif
