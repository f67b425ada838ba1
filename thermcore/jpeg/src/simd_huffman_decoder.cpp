#include "simd_huffman_decoder.h"

#if defined(__x86_64__)

#include <emmintrin.h>

#include <cstring>

#include "zigzag.h"

namespace thermjpeg {
namespace {

inline bool HasFfByte(uint32_t word)
{
    const uint32_t x = ~word;
    return ((x - 0x01010101u) & ~x & 0x80808080u) != 0;
}

// Loads bytes as the generic refill does (while 56 or fewer bits are valid,
// up to a marker or the end of the input), so both take the same bytes: the
// wide form takes four at once while none is 0xFF, then single bytes other
// than 0xFF; a 0xFF, the end of the buffer and all else go to the generic
// refill.
template <bool Wide>
inline int Fill(BitReader& r)
{
    if constexpr (Wide) {
        while (r.marker == 0) {
            if (r.bitCount <= 32 && r.bytesLeft >= 4) {
                uint32_t word;
                std::memcpy(&word, r.next, 4);
                if (!HasFfByte(word)) {
                    r.bitBuffer |= uint64_t{__builtin_bswap32(word)} << (32 - r.bitCount);
                    r.bitCount += 32;
                    r.next += 4;
                    r.bytesLeft -= 4;
                    r.consumed += 4;
                    continue;
                }
            }
            if (r.bitCount > 56 || r.bytesLeft == 0 || *r.next == 0xFF)
                break;
            r.bitBuffer |= uint64_t{*r.next} << (56 - r.bitCount);
            r.bitCount += 8;
            ++r.next;
            --r.bytesLeft;
            ++r.consumed;
        }
        if (r.bitCount > 56 || r.marker != 0)
            return 0;
    }
    const int rc = JpegFillBits(r, 0);
    return rc < 0 ? rc : 0;
}

template <bool Wide>
inline int Refill(BitReader& r)
{
    return r.bitCount < 32 ? Fill<Wide>(r) : 0;
}

template <bool Wide>
inline int Dc(BitReader& r, const HuffmanDecoder& dc, int32_t* predictor)
{
    if (int rc = Refill<Wide>(r))
        return rc;
    if (const uint32_t entry = JpegFastEntry(r, dc)) {
        JpegSkipEntry(r, entry);
        *predictor = static_cast<int16_t>(*predictor + static_cast<int16_t>(entry >> 16));
        return 0;
    }
    return JpegDecodeDcSlow(r, dc, predictor);
}

// block null: the coefficients are read past.
template <bool Wide>
inline int Ac(BitReader& r, const HuffmanDecoder& ac, int16_t* block)
{
    for (int k = 1; k < 64;) {
        if (int rc = Refill<Wide>(r))
            return rc;
        if (const uint32_t entry = JpegFastEntry(r, ac)) {
            JpegSkipEntry(r, entry);
            if (entry & kHuffmanFastEob)
                break;
            k += static_cast<int>(entry >> 8) & 15; // ZRL: a zero 15 places on
            if (k > 63)
                k = 63;
            if (block != nullptr)
                block[kZigzag[k]] = static_cast<int16_t>(entry >> 16);
            ++k;
            continue;
        }
        const int rc = JpegDecodeAcSlow(r, ac, k, block);
        if (rc != 0)
            return rc == kStatusEndOfBlock ? 0 : rc;
    }
    return 0;
}

inline int BlockResult(int rc) { return rc == kStatusNoMoreBits ? 0 : rc; }

template <bool Wide>
int DecodeBlock(BitReader& r, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* dcPredictor,
                int16_t* block)
{
    const __m128i zero = _mm_setzero_si128();
    for (int i = 0; i < 64; i += 8)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(block + i), zero);
    int rc = Dc<Wide>(r, dc, dcPredictor);
    if (rc == 0 || rc == kStatusNoMoreBits)
        block[0] = static_cast<int16_t>(*dcPredictor);
    if (rc == 0)
        rc = Ac<Wide>(r, ac, block);
    return BlockResult(rc);
}

} // namespace

int JpegMmxDecodeBlock(BitReader& r, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* dcPredictor,
                       int16_t* block)
{
    return DecodeBlock<false>(r, dc, ac, dcPredictor, block);
}

int JpegMmxDecodeBlockWide(BitReader& r, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* dcPredictor,
                           int16_t* block)
{
    return DecodeBlock<true>(r, dc, ac, dcPredictor, block);
}

int JpegMmxDecodeBlockDc(BitReader& r, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* dcPredictor,
                         int16_t* dcOut)
{
    int rc = Dc<true>(r, dc, dcPredictor);
    if (dcOut != nullptr)
        *dcOut = static_cast<int16_t>(*dcPredictor);
    if (rc == 0)
        rc = Ac<true>(r, ac, nullptr);
    return BlockResult(rc);
}

} // namespace thermjpeg

#endif
