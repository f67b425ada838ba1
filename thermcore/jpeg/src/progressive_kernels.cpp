#include "progressive_kernels.h"

#include "bit_output.h"
#include "huffman_encoder.h"
#include "zigzag.h"

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace thermjpeg {
namespace {

constexpr int kZrl = 0xF0;

// EOBRUN category: floor(log2 run) for run >= 1.
inline int EobCategory(uint32_t run) { return JpegMagnitudeCategory(static_cast<int32_t>(run)) - 1; }

inline int PutWithBits(OutputRecord& out, const HuffmanEncoder& table, int symbol, uint32_t bits, int count)
{
    const int size = table.size[symbol];
    if (size == 0)
        return JPEG_BAD_HUFFMAN_TABLE;
    const uint32_t extra = bits & ((uint32_t{1} << count) - 1);
    return JpegPutBits(out, (uint32_t{table.code[symbol]} << count) | extra, size + count);
}

// |coefficient| >> Al at each band position, in zig-zag order, and the band
// positions as bits (bit k for position k): those not 0, and those exactly 1.
// The coders then visit only the positions that are not 0.
struct BandMagnitudes {
    alignas(16) uint16_t a[64]; // every position; only the band's are used
    uint64_t nonZero = 0;
    uint64_t one = 0;
};

inline void Magnitudes(const int16_t* block, int ss, int se, int al, BandMagnitudes& m)
{
    const uint64_t band = (se == 63 ? ~uint64_t{0} : (uint64_t{1} << (se + 1)) - 1) & ~((uint64_t{1} << ss) - 1);
#if defined(__x86_64__)
    // The whole block in zig-zag order, then eight lanes at a time: the
    // magnitude as an unsigned 16-bit value (32768 for -32768), shifted.
    alignas(16) int16_t zigzag[64];
    for (int k = 0; k < 64; ++k)
        zigzag[k] = block[kZigzag[k]];
    const __m128i shift = _mm_cvtsi32_si128(al), zero = _mm_setzero_si128(), one = _mm_set1_epi16(1);
    uint64_t zeros = 0, ones = 0;
    for (int i = 0; i < 64; i += 16) {
        __m128i a[2];
        for (int h = 0; h < 2; ++h) {
            const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(zigzag + i + 8 * h));
            a[h] = _mm_srl_epi16(_mm_max_epi16(v, _mm_sub_epi16(zero, v)), shift);
            _mm_store_si128(reinterpret_cast<__m128i*>(m.a + i + 8 * h), a[h]);
        }
        zeros |= uint64_t(unsigned(_mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(a[0], zero), _mm_cmpeq_epi16(a[1], zero))))) << i;
        ones |= uint64_t(unsigned(_mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(a[0], one), _mm_cmpeq_epi16(a[1], one))))) << i;
    }
    m.nonZero = ~zeros & band;
    m.one = ones & band;
#else
    uint64_t nonZero = 0, ones = 0;
    for (int k = 0; k < 64; ++k) {
        const int32_t v = block[kZigzag[k]];
        const int32_t a = (v < 0 ? -v : v) >> al;
        m.a[k] = static_cast<uint16_t>(a);
        nonZero |= uint64_t{a != 0} << k;
        ones |= uint64_t{a == 1} << k;
    }
    m.nonZero = nonZero & band;
    m.one = ones & band;
#endif
}

// The lowest set bit's position, and the bit cleared.
inline int TakeLowest(uint64_t& bits)
{
    const int k = __builtin_ctzll(bits);
    bits &= bits - 1;
    return k;
}

// The counting pass: symbols are counted, bits go nowhere.
struct CountingSink {
    OutputRecord& out;
    uint32_t* counts;
    int EobRun()
    {
        JpegCountEobRun(out, counts);
        return 0;
    }
    int Symbol(int symbol, uint32_t, int)
    {
        ++counts[symbol];
        return 0;
    }
    int CorrectionBits(const uint8_t*, int& count)
    {
        count = 0;
        return 0;
    }
    static int TooLarge() { return 0; } // the coding pass refuses it
};

// The coding pass: symbols and bits go to the bit writer.
struct CodingSink {
    OutputRecord& out;
    const HuffmanEncoder& ac;
    int EobRun() { return JpegEmitEobRun(out, ac); }
    int Symbol(int symbol, uint32_t bits, int count) { return PutWithBits(out, ac, symbol, bits, count); }
    int CorrectionBits(const uint8_t* bits, int& count) { return JpegEmitCorrectionBits(out, bits, count); }
    static int TooLarge() { return JPEG_BAD_HUFFMAN_TABLE; }
};

template <class Sink>
int AcFirst(Sink sink, OutputRecord& out, const int16_t* block, int ss, int se, int al)
{
    BandMagnitudes m;
    Magnitudes(block, ss, se, al, m);
    int run = 0, previous = ss - 1;
    for (uint64_t bits = m.nonZero; bits != 0;) {
        const int k = TakeLowest(bits);
        run += k - previous - 1; // the zeros in between
        previous = k;
        const int32_t a = m.a[k];
        const int32_t v = block[kZigzag[k]];
        if (int rc = sink.EobRun())
            return rc;
        for (; run > 15; run -= 16) {
            if (int rc = sink.Symbol(kZrl, 0, 0))
                return rc;
        }
        const int s = JpegMagnitudeCategory(a);
        if (s > 15) { // beyond what an AC symbol carries
            if (int rc = Sink::TooLarge())
                return rc;
        } else if (int rc = sink.Symbol(run * 16 + s, static_cast<uint32_t>(v < 0 ? ~a : a), s)) {
            return rc;
        }
        run = 0;
    }
    run += se - previous;
    if (run > 0 && ++out.eobRun == kMaxEobRun)
        return sink.EobRun();
    return 0;
}

template <class Sink>
int AcRefine(Sink sink, OutputRecord& out, const int16_t* block, int ss, int se, int al, uint8_t* correctionBits,
             int& correctionCount)
{
    BandMagnitudes m;
    Magnitudes(block, ss, se, al, m);
    const uint16_t* a = m.a;
    // The last band position whose magnitude is exactly 1 (-1 when none).
    const int last = m.one != 0 ? 63 - __builtin_clzll(m.one) : -1;
    // The block's own bits follow the ones owed by the pending run; once
    // those are out, both start at the front of the buffer again.
    uint8_t* blockBits = correctionBits + correctionCount;
    int run = 0, pending = 0, previous = ss - 1;
    for (uint64_t bits = m.nonZero; bits != 0;) {
        const int k = TakeLowest(bits);
        run += k - previous - 1; // the zeros in between
        previous = k;
        while (run > 15 && k <= last) {
            if (int rc = sink.EobRun())
                return rc;
            if (int rc = sink.CorrectionBits(correctionBits, correctionCount))
                return rc;
            if (int rc = sink.Symbol(kZrl, 0, 0))
                return rc;
            run -= 16;
            if (int rc = sink.CorrectionBits(blockBits, pending))
                return rc;
            blockBits = correctionBits;
        }
        if (a[k] > 1) {
            blockBits[pending++] = static_cast<uint8_t>(a[k] & 1);
            continue;
        }
        if (int rc = sink.EobRun())
            return rc;
        if (int rc = sink.CorrectionBits(correctionBits, correctionCount))
            return rc;
        if (int rc = sink.Symbol(run * 16 + 1, block[kZigzag[k]] < 0 ? 0u : 1u, 1))
            return rc;
        if (int rc = sink.CorrectionBits(blockBits, pending))
            return rc;
        blockBits = correctionBits;
        run = 0;
    }
    run += se - previous;
    if (run > 0 || pending > 0) {
        // The block's bits already stand right behind the run's: they join them.
        ++out.eobRun;
        correctionCount += pending;
        if (out.eobRun == kMaxEobRun || correctionCount > kCorrectionFlushAbove) {
            if (int rc = sink.EobRun())
                return rc;
            return sink.CorrectionBits(correctionBits, correctionCount);
        }
    }
    return 0;
}

} // namespace

void JpegCountDcProgressive(uint32_t* counts, int32_t* dcPredictor, const int16_t* block, bool refine, int al)
{
    if (refine)
        return;
    const int32_t v = block[0] >> al;
    const int32_t diff = v - *dcPredictor;
    *dcPredictor = v;
    ++counts[JpegMagnitudeCategory(diff)];
}

void JpegCountEobRun(OutputRecord& out, uint32_t* counts)
{
    if (out.eobRun == 0)
        return;
    ++counts[EobCategory(out.eobRun) * 16];
    out.eobRun = 0;
}

void JpegCountAcFirst(OutputRecord& out, const int16_t* block, int ss, int se, int al, uint32_t* counts)
{
    AcFirst(CountingSink{out, counts}, out, block, ss, se, al);
}

void JpegCountAcRefine(OutputRecord& out, const int16_t* block, int ss, int se, int al, uint8_t* correctionBits,
                       int& correctionCount, uint32_t* counts)
{
    AcRefine(CountingSink{out, counts}, out, block, ss, se, al, correctionBits, correctionCount);
}

int JpegEncodeDcProgressive(OutputRecord& out, const HuffmanEncoder& dc, int32_t* dcPredictor, const int16_t* block,
                            bool refine, int al)
{
    const int32_t v = block[0] >> al;
    if (refine)
        return JpegPutBits(out, static_cast<uint32_t>(v) & 1, 1);
    const int32_t diff = v - *dcPredictor;
    *dcPredictor = v;
    const int s = JpegMagnitudeCategory(diff);
    return PutWithBits(out, dc, s, static_cast<uint32_t>(diff < 0 ? diff - 1 : diff), s);
}

int JpegEmitEobRun(OutputRecord& out, const HuffmanEncoder& ac)
{
    if (out.eobRun == 0)
        return 0;
    const int n = EobCategory(out.eobRun);
    const uint32_t run = out.eobRun;
    out.eobRun = 0;
    return PutWithBits(out, ac, n * 16, run, n);
}

int JpegEmitZrl(OutputRecord& out, const HuffmanEncoder& ac, int& run)
{
    run -= 16;
    return PutWithBits(out, ac, kZrl, 0, 0);
}

int JpegEmitCorrectionBits(OutputRecord& out, const uint8_t* correctionBits, int& count)
{
    const int total = count;
    count = 0;
    for (int i = 0; i < total; ++i) {
        if (int rc = JpegPutBits(out, correctionBits[i] & 1u, 1))
            return rc;
    }
    return 0;
}

int JpegEncodeAcFirst(OutputRecord& out, const HuffmanEncoder& ac, const int16_t* block, int ss, int se, int al)
{
    return AcFirst(CodingSink{out, ac}, out, block, ss, se, al);
}

int JpegEncodeAcRefine(OutputRecord& out, const HuffmanEncoder& ac, const int16_t* block, int ss, int se, int al,
                       uint8_t* correctionBits, int& correctionCount)
{
    return AcRefine(CodingSink{out, ac}, out, block, ss, se, al, correctionBits, correctionCount);
}

} // namespace thermjpeg
