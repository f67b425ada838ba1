#include "simd_entropy_encoder.h"

#if defined(__x86_64__)

#include <emmintrin.h>

#include <cstring>

#include "file_io.h"
#include "zigzag.h"

namespace thermjpeg {
namespace {

constexpr uint8_t kZrl = 0xF0;
constexpr uint8_t kEob = 0x00;
// Room below which file output writes its buffer out before a group: three
// groups of four bytes, with margin.
constexpr ptrdiff_t kFileRoom = 22;
// More than the bytes one block can add: 68 symbols (DC, 63 AC, 3 ZRL,
// EOB) of at most 32 bits, every byte stuffed, and the four-byte store.
constexpr ptrdiff_t kBlockRoom = 68 * 4 * 2 + 4 + kFileRoom;

// For each row of the natural-order block and each set of zero columns of
// that row (bit j: column j), the zig-zag positions of the other, non-zero
// coefficients as bits.
struct ZigzagBits {
    uint64_t bits[8][256];
};

constexpr ZigzagBits MakeZigzagBits()
{
    int position[64] = {};
    for (int k = 0; k < 64; ++k)
        position[kZigzag[k]] = k;
    ZigzagBits t{};
    for (int row = 0; row < 8; ++row)
        for (int set = 0; set < 256; ++set)
            for (int column = 0; column < 8; ++column)
                if (!(set & (1 << column)))
                    t.bits[row][set] |= uint64_t{1} << position[row * 8 + column];
    return t;
}

constexpr ZigzagBits kZigzagBits = MakeZigzagBits();
constexpr const uint64_t (&kZigzagBitsOfRow)[8][256] = kZigzagBits.bits;

int FlushFileBuffer(OutputRecord& out)
{
    const size_t count = static_cast<size_t>(out.current - out.start);
    if (count == 0)
        return 0;
    size_t written = 0;
    if (!JpegWriteFile(out.file, out.start, count, &written) || written != count)
        return JPEG_FILE_ERROR;
    out.flushed += static_cast<int64_t>(count);
    out.current = out.start;
    return 0;
}

inline bool HasFfByte(uint32_t word)
{
    const uint32_t x = ~word; // a 0xFF byte becomes a zero byte
    return ((x - 0x01010101u) & ~x & 0x80808080u) != 0;
}

// Stores the top four bytes of the accumulator with stuffing: always four
// bytes, taking 32, 24 or 16 data bits; a stuffing byte owed to a final
// 0xFF goes back in front of the pending bits.
inline void EmitGroup(LeftAlignedBits& bits, uint8_t*& current)
{
    const uint32_t top = static_cast<uint32_t>(bits.accumulator >> 32);
    if (!HasFfByte(top)) {
        const uint32_t bytes = __builtin_bswap32(top);
        std::memcpy(current, &bytes, 4);
        current += 4;
        bits.accumulator <<= 32;
        bits.count -= 32;
        return;
    }
    uint8_t group[4];
    int stored = 0, taken = 0;
    bool owed = false;
    while (stored < 4) {
        const uint8_t byte = static_cast<uint8_t>(top >> (24 - 8 * taken));
        ++taken;
        group[stored++] = byte;
        if (byte == 0xFF) {
            if (stored < 4)
                group[stored++] = 0;
            else
                owed = true;
        }
    }
    std::memcpy(current, group, 4);
    current += 4;
    bits.accumulator <<= 8 * taken;
    bits.count -= 8 * taken;
    if (owed) {
        bits.accumulator >>= 8;
        bits.count += 8;
    }
}

inline void Append(uint32_t value, int length, LeftAlignedBits& bits)
{
    bits.count += length;
    bits.accumulator |= uint64_t{value} << (64 - bits.count);
}

// The pending bits and the output position of a block in progress, kept in
// locals rather than in the record, which byte stores could alias.
struct Writer {
    LeftAlignedBits bits;
    uint8_t* current;
    uint8_t* end;
};

// Stores four-byte groups while 32 or more bits are pending, through the
// record: file output first writes its buffer out with 22 bytes of room or
// fewer; memory output stops with -28 without 4 bytes of room.
template <bool File>
[[gnu::noinline]] int Drain(Writer& w, OutputRecord& out)
{
    out.current = w.current;
    int rc = 0;
    if (w.bits.count >= 32) {
        if constexpr (File) {
            if (out.end - out.current <= kFileRoom) {
                rc = FlushFileBuffer(out);
                out.end = out.start + kFileBufferSize;
            }
            if (rc == 0) {
                do {
                    EmitGroup(w.bits, out.current);
                } while (w.bits.count >= 32);
            }
        } else {
            do {
                if (out.end - out.current < 4) {
                    rc = JPEG_OUTPUT_TOO_SMALL;
                    break;
                }
                EmitGroup(w.bits, out.current);
            } while (w.bits.count >= 32);
        }
    }
    w.current = out.current;
    w.end = out.end;
    return rc;
}

// Appends a bit string of 1..32 bits. The common case takes no branch on
// the bit count: the top four bytes are stored every time, and kept (with
// their 32 bits taken) only when 32 or more bits were pending. A 0xFF among
// them, or little room, goes the careful way.
// Roomy: the caller has made sure that the whole block fits the output
// (kBlockRoom), so no symbol needs to look at the room left.
template <bool File, bool Roomy>
inline int Put(uint32_t value, int length, Writer& w, OutputRecord& out)
{
    Append(value, length, w.bits);
    const uint32_t top = static_cast<uint32_t>(w.bits.accumulator >> 32);
    if (HasFfByte(top) || (!Roomy && w.end - w.current <= (File ? kFileRoom : 3))) [[unlikely]] {
        // Through a copy, so that the block's writer stays in registers.
        Writer copy = w;
        const int rc = Drain<File>(copy, out);
        w = copy;
        return rc;
    }
    const uint32_t bytes = __builtin_bswap32(top);
    std::memcpy(w.current, &bytes, 4);
    const int taken = w.bits.count & 32; // at most 62 bits pending here
    w.current += static_cast<unsigned>(taken) >> 3;
    w.bits.accumulator <<= taken;
    w.bits.count -= taken;
    return 0;
}

template <bool File>
int PutBits(uint32_t value, int length, LeftAlignedBits& bits, OutputRecord& out)
{
    Writer w{bits, out.current, out.end};
    Append(value, length, w.bits);
    if (w.bits.count <= 32) { // the entries store groups from 33 bits on
        bits = w.bits;
        return 0;
    }
    const int rc = Drain<File>(w, out);
    bits = w.bits;
    return rc;
}

inline int Category(uint32_t magnitude) { return magnitude == 0 ? 0 : 32 - __builtin_clz(magnitude); }

// The code of a symbol followed by the low `extraCount` bits of extra, as
// one bit string (at most 16 + 16 bits). Extra is v, or v - 1 for a
// negative v (sign -1), whose low bits are extra + 2^extraCount: the
// string is then (code + 1) << extraCount plus extra, with no carry into
// the code, so no mask is needed.
template <bool File, bool Roomy>
inline int PutSymbol(const HuffmanEncoder& table, unsigned symbol, int32_t extra, int32_t sign, int extraCount,
                     Writer& w, OutputRecord& out)
{
    const int size = table.size[symbol];
    if (size == 0)
        return JPEG_BAD_HUFFMAN_TABLE;
    const uint32_t value = ((uint32_t{table.code[symbol]} - static_cast<uint32_t>(sign)) << extraCount) +
                           static_cast<uint32_t>(extra);
    return Put<File, Roomy>(value, size + extraCount, w, out);
}

template <bool File, bool Roomy>
int EncodeBlock(OutputRecord& out, const HuffmanEncoder& dc, const HuffmanEncoder& ac, int16_t* dcPredictor,
                const int16_t* block)
{
    uint64_t nonZero = JpegMmxScanBlock(block);

    const int32_t diff = int32_t{block[0]} - *dcPredictor;
    *dcPredictor = block[0];
    Writer w{JpegLoadLeftAligned(out), out.current, out.end};
    auto finish = [&](int rc) {
        out.current = w.current;
        JpegStoreLeftAligned(w.bits, out);
        return rc;
    };
    const int32_t dcSign = diff >> 31;
    const int32_t dcExtra = diff + dcSign;
    const int dcCategory = Category(static_cast<uint32_t>(dcExtra ^ dcSign));
    if (int rc = PutSymbol<File, Roomy>(dc, static_cast<unsigned>(dcCategory), dcExtra, dcSign, dcCategory, w, out))
        [[unlikely]]
        return finish(rc);

    // Unsigned positions and symbols index the tables without sign
    // extension.
    unsigned last = 0;
    while (nonZero != 0) {
        const auto k = static_cast<unsigned>(__builtin_ctzll(nonZero));
        nonZero &= nonZero - 1;
        unsigned run = k - last - 1;
        last = k;
        if (run > 15) [[unlikely]] {
            do {
                if (int rc = PutSymbol<File, Roomy>(ac, kZrl, 0, 0, 0, w, out))
                    return finish(rc);
                run -= 16;
            } while (run > 15);
        }
        // The extra bits v or v - 1 (v negative); complemented by the sign
        // they give |v|, whose bit length is the category (v is not zero).
        const int32_t v = block[kZigzag[k]];
        const int32_t sign = v >> 31;
        const int32_t extra = v + sign;
        const auto category = static_cast<unsigned>(32 - __builtin_clz(static_cast<uint32_t>(extra ^ sign)));
        if (category > 15) [[unlikely]] // -32768 has no AC symbol
            return finish(JPEG_BAD_HUFFMAN_TABLE);
        if (int rc = PutSymbol<File, Roomy>(ac, run * 16 + category, extra, sign, static_cast<int>(category), w, out))
            [[unlikely]]
            return finish(rc);
    }
    if (last != 63)
        return finish(PutSymbol<File, Roomy>(ac, kEob, 0, 0, 0, w, out));
    return finish(0);
}

// Whole pending bytes of a right-aligned record, the last padded with zero
// bits, 0xFF stuffed: their number, and them.
int PendingBytes(const OutputRecord& out, uint8_t* bytes)
{
    int n = 0;
    int count = out.bitCount;
    while (count >= 8) {
        count -= 8;
        const uint8_t byte = static_cast<uint8_t>(out.bitBuffer >> count);
        bytes[n++] = byte;
        if (byte == 0xFF)
            bytes[n++] = 0;
    }
    if (count > 0) {
        const uint8_t byte = static_cast<uint8_t>(out.bitBuffer << (8 - count));
        bytes[n++] = byte;
        if (byte == 0xFF)
            bytes[n++] = 0;
    }
    return n;
}

// Copies bytes to the output, writing the file buffer out when it fills.
int CopyOut(const uint8_t* bytes, size_t length, OutputRecord& out)
{
    while (length > 0) {
        if (out.current >= out.end) {
            if (!out.isFile())
                return JPEG_OUTPUT_TOO_SMALL;
            if (int rc = FlushFileBuffer(out))
                return rc;
        }
        const size_t room = static_cast<size_t>(out.end - out.current);
        const size_t n = length < room ? length : room;
        std::memcpy(out.current, bytes, n);
        out.current += n;
        bytes += n;
        length -= n;
    }
    return 0;
}

} // namespace

LeftAlignedBits JpegLoadLeftAligned(const OutputRecord& out)
{
    LeftAlignedBits bits;
    bits.count = out.bitCount;
    bits.accumulator = out.bitCount == 0 ? 0 : out.bitBuffer << (64 - out.bitCount);
    return bits;
}

void JpegStoreLeftAligned(const LeftAlignedBits& bits, OutputRecord& out)
{
    out.bitCount = bits.count;
    out.bitBuffer = bits.count == 0 ? 0 : bits.accumulator >> (64 - bits.count);
}

int JpegMmxPutBitsFile(uint32_t value, int length, LeftAlignedBits& bits, OutputRecord& out)
{
    return PutBits<true>(value, length, bits, out);
}

int JpegMmxPutBitsMemory(uint32_t value, int length, LeftAlignedBits& bits, OutputRecord& out)
{
    return PutBits<false>(value, length, bits, out);
}

uint64_t JpegMmxScanBlock(const int16_t* block)
{
    const __m128i zero = _mm_setzero_si128();
    uint64_t mask = 0;
    for (int row = 0; row < 8; row += 2) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8 * row));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8 * row + 8));
        const __m128i zeros = _mm_packs_epi16(_mm_cmpeq_epi16(a, zero), _mm_cmpeq_epi16(b, zero));
        const auto zeroSet = static_cast<unsigned>(_mm_movemask_epi8(zeros));
        mask |= kZigzagBitsOfRow[row][zeroSet & 0xFF] | kZigzagBitsOfRow[row + 1][zeroSet >> 8];
    }
    return mask & ~uint64_t{1};
}

int JpegMmxEncodeBlock(OutputRecord& out, const HuffmanEncoder& dc, const HuffmanEncoder& ac, int16_t* dcPredictor,
                       const int16_t* block)
{
    const bool roomy = out.end - out.current > kBlockRoom;
    if (out.isFile())
        return roomy ? EncodeBlock<true, true>(out, dc, ac, dcPredictor, block)
                     : EncodeBlock<true, false>(out, dc, ac, dcPredictor, block);
    return roomy ? EncodeBlock<false, true>(out, dc, ac, dcPredictor, block)
                 : EncodeBlock<false, false>(out, dc, ac, dcPredictor, block);
}

// The same symbols, bit strings and bytes as the encoder of the other
// processor sets.
int JpegSseEncodeBlock(OutputRecord& out, const HuffmanEncoder& dc, const HuffmanEncoder& ac, int16_t* dcPredictor,
                       const int16_t* block)
{
    return JpegMmxEncodeBlock(out, dc, ac, dcPredictor, block);
}

int JpegMmxWriteBytes(const uint8_t* bytes, size_t length, OutputRecord& out)
{
    uint8_t pending[16];
    const int pendingCount = PendingBytes(out, pending);
    if (!out.isFile()) {
        const size_t room = static_cast<size_t>(out.end - out.current);
        if (static_cast<size_t>(pendingCount) > room || length > room - static_cast<size_t>(pendingCount))
            return JPEG_OUTPUT_TOO_SMALL;
    }
    if (int rc = CopyOut(pending, static_cast<size_t>(pendingCount), out))
        return rc;
    out.bitBuffer = 0;
    out.bitCount = 0;
    return length > 0 ? CopyOut(bytes, length, out) : 0;
}

} // namespace thermjpeg

#endif
