#include "huffman_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "huffman_count.h"
#include "thermjpeg.h"
#include "zigzag.h"

namespace thermjpeg {
namespace {

// Status of a block decoder as its caller sees it: running out of bits
// ends the block without an error.
inline int BlockResult(int rc) { return rc == kStatusNoMoreBits ? 0 : rc; }

int DecodeSlow(BitReader& r, const HuffmanDecoder& t, int32_t code, int length, int& symbol)
{
    while (length < 17 && code > t.maxCode[length]) {
        uint32_t bit;
        if (int rc = JpegTakeBits(r, 1, bit))
            return rc;
        code = (code << 1) | static_cast<int32_t>(bit);
        ++length;
    }
    if (length >= 17 || code > t.maxCode[length]) {
        symbol = 0; // no code this long: decode on from the next bits
        return 0;
    }
    const int32_t index = t.firstIndex[length] + code - t.minCode[length];
    symbol = t.symbols[index & 0xFF];
    return 0;
}

// Tops the buffer up when fewer than 32 bits are valid (32 hold a code and
// its extra bits, so one fill serves both): whole bytes here while no 0xFF
// comes, JpegFillBits from there on, which leaves the reader as if it had
// done all the filling. Returns 0 or a negative error.
inline int Refill(BitReader& r)
{
    if (r.bitCount >= 32)
        return 0;
    if (r.marker == 0) {
        while (r.bytesLeft > 0 && *r.next != 0xFF) {
            r.bitBuffer |= uint64_t{*r.next} << (56 - r.bitCount);
            r.bitCount += 8;
            ++r.next;
            --r.bytesLeft;
            ++r.consumed;
            if (r.bitCount > 56)
                return 0;
        }
    }
    const int rc = JpegFillBits(r, 0);
    return rc < 0 ? rc : 0;
}

inline int DecodeSymbol(BitReader& r, const HuffmanDecoder& t, int& symbol)
{
    if (int rc = Refill(r))
        return rc;
    if (r.bitCount < 8)
        return DecodeSlow(r, t, 0, 0, symbol);
    const uint32_t entry = t.lookahead[r.bitBuffer >> 56];
    if (entry != 0) {
        JpegGetBits(r, static_cast<int>(entry >> 16));
        symbol = static_cast<int>(entry & 0xFF);
        return 0;
    }
    return DecodeSlow(r, t, static_cast<int32_t>(JpegGetBits(r, 8)), 8, symbol);
}

// s bits (1..15) as a signed value (T.81 EXTEND).
inline int ReceiveExtend(BitReader& r, int s, int32_t& value)
{
    uint32_t bits;
    if (int rc = JpegTakeBits(r, s, bits))
        return rc;
    value = static_cast<int32_t>(bits);
    if (value < (1 << (s - 1)))
        value += 1 - (1 << s);
    return 0;
}

inline int DecodeDc(BitReader& r, const HuffmanDecoder& dc, int32_t* predictor)
{
    if (int rc = Refill(r))
        return rc;
    if (const uint32_t entry = JpegFastEntry(r, dc)) {
        JpegSkipEntry(r, entry);
        const int16_t v = static_cast<int16_t>(entry >> 16); // 0 only for category 0
        if (v != 0)
            *predictor = static_cast<int16_t>(*predictor + v);
        return 0;
    }
    return JpegDecodeDcSlow(r, dc, predictor);
}

// Places the value of a combined-table entry at its position; false at an
// end of block.
template <bool kStore>
inline bool PlaceFast(uint32_t entry, int16_t* block, int& k)
{
    if (entry & kHuffmanFastEob)
        return false;
    // ZRL stores a zero 15 places on, which is the same as skipping 16.
    k += static_cast<int>(entry >> 8) & 15;
    if (k > 63)
        k = 63;
    if constexpr (kStore)
        block[kZigzag[k]] = static_cast<int16_t>(entry >> 16);
    ++k;
    return true;
}

// One AC symbol through the reader, when the locals of DecodeAc cannot
// serve it; the reader has been refilled. Sets `end` at an end of block.
template <bool kStore>
int AcStep(BitReader& r, const HuffmanDecoder& ac, int16_t* block, int& k, bool& end)
{
    if (const uint32_t entry = JpegFastEntry(r, ac)) {
        JpegSkipEntry(r, entry);
        end = !PlaceFast<kStore>(entry, block, k);
        return 0;
    }
    const int rc = JpegDecodeAcSlow(r, ac, k, kStore ? block : nullptr);
    end = rc == kStatusEndOfBlock;
    return end ? 0 : rc;
}

// The AC coefficients. The common case (whole non-0xFF bytes to refill
// from, a symbol the combined table serves) runs on the reader's bits and
// input position held in locals; anything else goes back to the reader and
// takes one AcStep, exactly as if every symbol had gone through it.
template <bool kStore>
int DecodeAc(BitReader& r, const HuffmanDecoder& ac, int16_t* block)
{
    int k = 1;
    while (k < 64) {
        uint64_t bits = r.bitBuffer;
        int count = r.bitCount;
        const uint8_t* next = r.next;
        size_t left = r.bytesLeft;
        bool done = false, fill = false;
        for (;;) {
            if (k >= 64) {
                done = true;
                break;
            }
            if (count < 32) {
                if (r.marker == 0) {
                    while (left > 0 && *next != 0xFF && count <= 56) {
                        bits |= uint64_t{*next} << (56 - count);
                        count += 8;
                        ++next;
                        --left;
                    }
                }
                if (count <= 56) {
                    fill = true; // JpegFillBits takes over
                    break;
                }
            }
            const uint32_t entry = ac.fast[bits >> (64 - kHuffmanFastBits)];
            const int n = static_cast<int>(entry & 0xFF);
            if (entry == 0 || n > count)
                break; // a symbol for AcStep
            bits <<= n;
            count -= n;
            if (!PlaceFast<kStore>(entry, block, k)) {
                done = true;
                break;
            }
        }
        r.bitBuffer = bits;
        r.bitCount = count;
        r.consumed += static_cast<uint64_t>(next - r.next);
        r.next = next;
        r.bytesLeft = left;
        if (done)
            break;
        if (fill) {
            // The rest of Refill: the whole bytes ran out before 57 bits.
            if (int rc = JpegFillBits(r, 0); rc < 0)
                return rc;
        }
        bool end = false;
        if (int rc = AcStep<kStore>(r, ac, block, k, end))
            return rc;
        if (end)
            break;
    }
    return 0;
}

// The zig-zag position of each natural position.
constexpr auto kUnzigzag = [] {
    std::array<uint8_t, 64> positions{};
    for (int k = 0; k < 64; ++k)
        positions[kZigzag[k]] = static_cast<uint8_t>(k);
    return positions;
}();

// Zig-zag positions first..last (0 <= first, last <= 63) as bits; none when
// last < first.
inline uint64_t Band(int first, int last)
{
    if (last < first)
        return 0;
    const uint64_t upTo = last == 63 ? ~uint64_t{0} : (uint64_t{1} << (last + 1)) - 1;
    return upTo & ~((uint64_t{1} << first) - 1);
}

// The block's coefficients that are not 0, as bits of their zig-zag
// positions.
inline uint64_t NonZeroPositions(const int16_t* block)
{
    uint64_t natural = 0;
#if defined(__x86_64__)
    const __m128i zero = _mm_setzero_si128();
    for (int i = 0; i < 64; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i + 8));
        const __m128i zeros = _mm_packs_epi16(_mm_cmpeq_epi16(a, zero), _mm_cmpeq_epi16(b, zero));
        natural |= uint64_t{static_cast<uint16_t>(~_mm_movemask_epi8(zeros))} << i;
    }
#else
    for (int i = 0; i < 64; ++i)
        natural |= uint64_t{block[i] != 0} << i;
#endif
    uint64_t positions = 0;
    for (; natural != 0; natural &= natural - 1)
        positions |= uint64_t{1} << kUnzigzag[__builtin_ctzll(natural)];
    return positions;
}

// The correction bits of the non-zero coefficients at the zig-zag positions
// in `positions`, in order, one bit each. Bits are taken as many at a time
// as the reader holds, and the reader is filled only when it is empty, so
// the reader ends as taking them one by one leaves it (also when the bits
// run out part way: the coefficients before keep their bits).
inline int Refine(BitReader& r, int16_t* block, uint64_t positions, int p1)
{
    while (positions != 0) {
        if (r.bitCount == 0) {
            if (int rc = JpegFillBits(r, 1))
                return rc;
        }
        const int n = std::min({__builtin_popcountll(positions), r.bitCount, 32});
        const uint32_t bits = JpegGetBits(r, n);
        for (int i = n - 1; i >= 0; --i) {
            int16_t& c = block[kZigzag[__builtin_ctzll(positions)]];
            positions &= positions - 1;
            if (((bits >> i) & 1) != 0 && (c & p1) == 0)
                c = static_cast<int16_t>(c >= 0 ? c + p1 : c - p1);
        }
    }
    return 0;
}

int DecodeAcRefine(BitReader& r, int16_t* block, const HuffmanDecoder& ac, int ss, int se, int al)
{
    const int p1 = 1 << al;
    // The coefficients already non-zero in the band; a value placed below
    // lands where one was 0, at a position the walk has then passed.
    const uint64_t nonZero = NonZeroPositions(block) & Band(ss, se);
    int k = ss;
    if (r.eobRun == 0) {
        for (; k <= se; ++k) {
            int symbol;
            if (int rc = DecodeSymbol(r, ac, symbol))
                return rc;
            const int run = symbol >> 4;
            const int s = symbol & 15;
            int value = 0;
            if (s != 0) {
                uint32_t bit;
                if (int rc = JpegTakeBits(r, 1, bit))
                    return rc;
                value = bit ? p1 : -p1;
            } else if (run != 15) {
                uint32_t extra = 0;
                if (run > 0) {
                    if (int rc = JpegTakeBits(r, run, extra))
                        return rc;
                }
                r.eobRun = (1u << run) + extra;
                break;
            }
            // Past the coefficients already non-zero (each takes its
            // correction bit) and `run` zero ones, to the new value's place:
            // the zero position after `run` others (past the band when
            // there is none).
            uint64_t zeros = ~nonZero & Band(k, se);
            for (int i = 0; i < run && zeros != 0; ++i)
                zeros &= zeros - 1;
            const int place = zeros != 0 ? __builtin_ctzll(zeros) : se + 1;
            if (int rc = Refine(r, block, nonZero & Band(k, place - 1), p1))
                return rc;
            k = place;
            if (value != 0 && k <= se)
                block[kZigzag[k]] = static_cast<int16_t>(value);
        }
    }
    if (r.eobRun > 0) {
        if (int rc = Refine(r, block, nonZero & Band(k, se), p1))
            return rc;
        --r.eobRun;
    }
    return 0;
}

int DecodeAcFirst(BitReader& r, int16_t* block, const HuffmanDecoder& ac, int ss, int se, int al)
{
    if (r.eobRun > 0) {
        --r.eobRun;
        return 0;
    }
    for (int k = ss; k <= se; ++k) {
        int symbol;
        if (int rc = DecodeSymbol(r, ac, symbol))
            return rc;
        const int run = symbol >> 4, s = symbol & 15;
        if (s != 0) {
            k += run;
            int32_t v;
            if (int rc = ReceiveExtend(r, s, v))
                return rc;
            if (k > se)
                k = se; // corrupt run: never past the band
            block[kZigzag[k]] = static_cast<int16_t>(v * (1 << al));
        } else if (run == 15) {
            k += 15;
        } else {
            uint32_t extra = 0;
            if (run > 0) {
                if (int rc = JpegTakeBits(r, run, extra))
                    return rc;
            }
            r.eobRun = (1u << run) + extra - 1; // this block is the first of the run
            break;
        }
    }
    return 0;
}

// s bits (1..15) as a signed value (T.81 EXTEND).
constexpr int32_t Extend(uint32_t bits, int s)
{
    const int32_t value = static_cast<int32_t>(bits);
    return value < (1 << (s - 1)) ? value + 1 - (1 << s) : value;
}

// Fills d.fast from the canonical codes already in d.minCode / d.maxCode.
void BuildFastTable(HuffmanDecoder& d, const uint8_t* values)
{
    constexpr int bits = kHuffmanFastBits;
    for (int length = 1; length <= bits; ++length) {
        if (d.maxCode[length] < 0)
            continue;
        for (int32_t code = d.minCode[length]; code <= d.maxCode[length]; ++code) {
            const int symbol = values[d.firstIndex[length] + code - d.minCode[length]];
            const int run = symbol >> 4; // DC decoding reads past it
            const int s = symbol & 15;
            const int free = bits - length; // bits after the code
            const uint32_t first = static_cast<uint32_t>(code) << free;
            if (s == 0) {
                // DC category 0, AC end of block or ZRL: no extra bits.
                const uint32_t entry = static_cast<uint32_t>(length) | (run == 15 ? 15u << 8 : kHuffmanFastEob);
                for (uint32_t j = 0; j < (1u << free); ++j)
                    d.fast[first | j] = entry;
                continue;
            }
            if (s > free)
                continue; // the extra bits reach past the look-ahead
            for (uint32_t extra = 0; extra < (1u << s); ++extra) {
                const uint32_t value = static_cast<uint16_t>(Extend(extra, s));
                const uint32_t entry = (value << 16) | (static_cast<uint32_t>(run) << 8) |
                                       static_cast<uint32_t>(length + s);
                const uint32_t prefix = first | (extra << (free - s));
                for (uint32_t j = 0; j < (1u << (free - s)); ++j)
                    d.fast[prefix | j] = entry;
            }
        }
    }
}

} // namespace

int JpegBuildHuffmanDecoder(const uint8_t* bits, const uint8_t* values, int cls, int number, HuffmanDecoder& d)
{
    const int total = JpegHuffmanSymbolCount(bits);
    if (total > 256)
        return JPEG_BAD_HUFFMAN_TABLE;
    uint32_t code = 0;
    for (int length = 1; length <= 16; ++length) {
        code += bits[length - 1];
        if (code > (uint32_t{1} << length))
            return JPEG_BAD_HUFFMAN_TABLE; // over-subscribed
        code <<= 1;
    }

    d = HuffmanDecoder{};
    d.cls = cls;
    d.number = number;
    code = 0;
    int k = 0;
    for (int length = 1; length <= 16; ++length) {
        const int count = bits[length - 1];
        if (count == 0) {
            d.maxCode[length] = -1;
        } else {
            d.firstIndex[length] = k;
            d.minCode[length] = static_cast<int32_t>(code);
            d.maxCode[length] = static_cast<int32_t>(code) + count - 1;
            for (int i = 0; i < count; ++i, ++k, ++code) {
                if (length <= 8) {
                    const int shift = 8 - length;
                    const uint32_t entry = (static_cast<uint32_t>(length) << 16) | values[k];
                    for (uint32_t j = 0; j < (1u << shift); ++j)
                        d.lookahead[(code << shift) | j] = entry;
                }
            }
        }
        code <<= 1;
    }
    BuildFastTable(d, values);
    // No code has length 0: the slow path, entered with fewer than 8 bits
    // left, starts by taking a bit.
    d.maxCode[0] = -1;
    d.maxCode[17] = -1;
    std::memcpy(d.symbols, values, static_cast<size_t>(total));
    d.built = true;
    return 0;
}

int JpegDecodeSymbol(BitReader& r, int& symbol, const HuffmanDecoder& t) { return DecodeSymbol(r, t, symbol); }

int JpegDecodeDcSlow(BitReader& r, const HuffmanDecoder& dc, int32_t* predictor)
{
    int symbol;
    if (int rc = DecodeSymbol(r, dc, symbol))
        return rc;
    const int s = symbol & 15;
    if (s > 0) {
        int32_t v;
        if (int rc = ReceiveExtend(r, s, v))
            return rc;
        *predictor = static_cast<int16_t>(*predictor + v);
    }
    return 0;
}

int JpegDecodeAcSlow(BitReader& r, const HuffmanDecoder& ac, int& k, int16_t* block)
{
    int symbol;
    if (int rc = DecodeSymbol(r, ac, symbol))
        return rc;
    const int run = symbol >> 4, s = symbol & 15;
    if (s == 0) {
        if (run != 15)
            return kStatusEndOfBlock;
        k += 16; // ZRL
        return 0;
    }
    k += run;
    int32_t v;
    if (int rc = ReceiveExtend(r, s, v))
        return rc;
    if (k > 63)
        k = 63; // corrupt run: the value lands in the last position
    if (block != nullptr)
        block[kZigzag[k]] = static_cast<int16_t>(v);
    ++k;
    return 0;
}

int JpegDecodeBlock(BitReader& r, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* dcPredictor,
                    int16_t* block)
{
    std::memset(block, 0, 64 * sizeof(int16_t));
    int rc = DecodeDc(r, dc, dcPredictor);
    if (rc == 0) {
        block[0] = static_cast<int16_t>(*dcPredictor);
        rc = DecodeAc<true>(r, ac, block);
    } else if (rc == kStatusNoMoreBits) {
        block[0] = static_cast<int16_t>(*dcPredictor);
    }
    return BlockResult(rc);
}

int JpegDecodeBlockDcOnly(BitReader& r, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* dcPredictor,
                          int16_t* dcOut)
{
    int rc = DecodeDc(r, dc, dcPredictor);
    if (dcOut != nullptr)
        *dcOut = static_cast<int16_t>(*dcPredictor);
    if (rc == 0)
        rc = DecodeAc<false>(r, ac, nullptr);
    return BlockResult(rc);
}

int JpegDecodeDcFirst(BitReader& r, const HuffmanDecoder& dc, int16_t* coefficient, int32_t* dcPredictor, int al)
{
    const int rc = DecodeDc(r, dc, dcPredictor);
    if (rc == 0)
        *coefficient = static_cast<int16_t>(*dcPredictor * (1 << al));
    return BlockResult(rc);
}

int JpegDecodeDcRefine(BitReader& r, int16_t* coefficient, int al)
{
    uint32_t bit;
    const int rc = JpegTakeBits(r, 1, bit);
    if (rc == 0 && bit)
        *coefficient = static_cast<int16_t>(*coefficient | (1 << al));
    return BlockResult(rc);
}

int JpegDecodeAcFirst(BitReader& r, int16_t* block, const HuffmanDecoder& ac, int ss, int se, int al)
{
    return BlockResult(DecodeAcFirst(r, block, ac, ss, se > 63 ? 63 : se, al));
}

int JpegDecodeAcRefine(BitReader& r, int16_t* block, const HuffmanDecoder& ac, int ss, int se, int al)
{
    return BlockResult(DecodeAcRefine(r, block, ac, ss, se > 63 ? 63 : se, al));
}

} // namespace thermjpeg
