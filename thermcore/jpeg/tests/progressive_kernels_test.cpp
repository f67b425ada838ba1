// The counting and coding kernels of progressive scans, on hand-made blocks
// with tables whose codes are the symbols themselves, so that the emitted
// bytes read as symbols followed by their bits.
#include <gtest/gtest.h>

#include "entropy_support.h"
#include "progressive_kernels.h"
#include "zigzag.h"

namespace thermjpeg::test {
namespace {

struct Block {
    int16_t c[64] = {};
    Block& At(int zigzag, int value)
    {
        c[kZigzag[zigzag]] = static_cast<int16_t>(value);
        return *this;
    }
};

// Codes and counts one AC refinement block, then ends the scan.
struct RefineResult {
    std::vector<uint8_t> bytes;
    uint32_t counts[257] = {};
};
RefineResult RefineScan(const std::vector<Block>& blocks, int ss, int se, int al)
{
    RefineResult r;
    MemoryOutput counting, coding;
    const HuffmanEncoder table = IdentityEncoder();
    uint8_t countBits[kCorrectionBufferSize], codeBits[kCorrectionBufferSize];
    int countPending = 0, codePending = 0;
    for (const Block& b : blocks) {
        JpegCountAcRefine(counting.out, b.c, ss, se, al, countBits, countPending, r.counts);
        EXPECT_EQ(JpegEncodeAcRefine(coding.out, table, b.c, ss, se, al, codeBits, codePending), 0);
    }
    JpegCountEobRun(counting.out, r.counts);
    EXPECT_EQ(JpegEmitEobRun(coding.out, table), 0);
    EXPECT_EQ(JpegEmitCorrectionBits(coding.out, codeBits, codePending), 0);
    r.bytes = coding.Bytes();
    return r;
}

// With Al = 1 a coefficient of 1 is zero in the first scan (the block joins
// an end-of-band run) and newly significant in the refinement with Al = 0:
// symbol run x 16 + 1, then its sign bit.
TEST(ProgressiveKernels, CoefficientOfOneAppearsInTheRefinement)
{
    for (int sign : {1, -1}) {
        SCOPED_TRACE(sign);
        const Block block = Block{}.At(3, sign);
        MemoryOutput first;
        uint32_t counts[257] = {};
        const HuffmanEncoder table = IdentityEncoder();
        JpegCountAcFirst(first.out, block.c, 1, 63, 1, counts);
        EXPECT_EQ(first.out.eobRun, 1u);
        JpegCountEobRun(first.out, counts);
        EXPECT_EQ(counts[0x00], 1u);
        ASSERT_EQ(JpegEncodeAcFirst(first.out, table, block.c, 1, 63, 1), 0);
        ASSERT_EQ(JpegEmitEobRun(first.out, table), 0);
        EXPECT_EQ(first.Bytes(), (std::vector<uint8_t>{0x00})); // EOB0

        const RefineResult refine = RefineScan({block}, 1, 63, 0);
        // 0x21 (run 2, size 1), the sign bit, then EOB0 for the zeros after it.
        EXPECT_EQ(refine.bytes, BitString({{0x21, 8}, {sign > 0 ? 1u : 0u, 1}, {0x00, 8}}));
        EXPECT_EQ(refine.counts[0x21], 1u);
        EXPECT_EQ(refine.counts[0x00], 1u);
    }
}

// 0x7FFF blocks whose band is all zeros are sent as one EOB14 with the 14
// low bits of the run, as soon as the run reaches 0x7FFF.
TEST(ProgressiveKernels, LongestEndOfBandRunIsEob14)
{
    const Block zero;
    MemoryOutput out;
    uint32_t counts[257] = {};
    MemoryOutput counting;
    const HuffmanEncoder table = IdentityEncoder();
    for (uint32_t i = 0; i < 0x7FFF; ++i) {
        ASSERT_EQ(out.Stored(), 0u);
        ASSERT_EQ(out.out.bitCount, 0);
        ASSERT_EQ(JpegEncodeAcFirst(out.out, table, zero.c, 1, 63, 0), 0);
        JpegCountAcFirst(counting.out, zero.c, 1, 63, 0, counts);
    }
    EXPECT_EQ(out.out.eobRun, 0u);
    EXPECT_EQ(counts[0xE0], 1u);
    // 0xE0, then fourteen ones: the byte 0xFF takes a stuffed zero.
    EXPECT_EQ(out.Bytes(), (std::vector<uint8_t>{0xE0, 0xFF, 0x00, 0xFC}));
}

TEST(ProgressiveKernels, RefinementRuns)
{
    // 20 zeros before the only newly significant coefficient: ZRL, then
    // 0x41 (run 4, size 1) and the sign bit; EOB0 ends the scan.
    EXPECT_EQ(RefineScan({Block{}.At(21, 1)}, 1, 63, 0).bytes, BitString({{0xF0, 8}, {0x41, 8}, {1, 1}, {0x00, 8}}));
    // Zeros past the last newly significant coefficient emit no ZRL, even
    // with a correction bit behind them: the block joins the run, and its
    // correction bit follows the run's EOB.
    const RefineResult tail = RefineScan({Block{}.At(40, 3)}, 1, 63, 0);
    EXPECT_EQ(tail.bytes, BitString({{0x00, 8}, {1, 1}}));
    EXPECT_EQ(tail.counts[0xF0], 0u);
    // Correction bits ahead of a newly significant coefficient follow its
    // sign bit: 2 (bit 0) at 1, 3 (bit 1) at 2, 1 at 4 (run 1).
    EXPECT_EQ(RefineScan({Block{}.At(1, 2).At(2, -3).At(4, 1)}, 1, 63, 0).bytes,
              BitString({{0x11, 8}, {1, 1}, {0, 1}, {1, 1}, {0x00, 8}}));
}

// Blocks of 63 correction bits each: after 14 of them 882 bits are pending;
// the 15th passes 937 and flushes EOB3 (run 15) and all 945 bits at once.
TEST(ProgressiveKernels, CorrectionBitsFlushPast937)
{
    Block twos;
    for (int k = 1; k < 64; ++k)
        twos.At(k, 2);
    MemoryOutput out, counting;
    uint32_t counts[257] = {};
    const HuffmanEncoder table = IdentityEncoder();
    uint8_t bits[kCorrectionBufferSize], countBits[kCorrectionBufferSize];
    int pending = 0, countPending = 0;
    for (int i = 0; i < 14; ++i) {
        ASSERT_EQ(JpegEncodeAcRefine(out.out, table, twos.c, 1, 63, 0, bits, pending), 0);
        JpegCountAcRefine(counting.out, twos.c, 1, 63, 0, countBits, countPending, counts);
    }
    EXPECT_EQ(pending, 882);
    EXPECT_EQ(out.Stored(), 0u);
    ASSERT_EQ(JpegEncodeAcRefine(out.out, table, twos.c, 1, 63, 0, bits, pending), 0);
    JpegCountAcRefine(counting.out, twos.c, 1, 63, 0, countBits, countPending, counts);
    EXPECT_EQ(pending, 0);
    EXPECT_EQ(countPending, 0);
    EXPECT_EQ(out.out.eobRun, 0u);
    EXPECT_EQ(counts[0x30], 1u);
    const std::vector<uint8_t> bytes = out.Bytes();
    ASSERT_EQ(bytes.size(), (8u + 3 + 945 + 7) / 8);
    EXPECT_EQ(bytes[0], 0x30);
    EXPECT_EQ(bytes[1], 0xE0); // 111, then the first correction bits (0)
}

// A coefficient beyond the 15 magnitude bits of an AC symbol is refused by
// the coding pass (possible only with caller-supplied coefficients).
TEST(ProgressiveKernels, AcValueTooLargeForASymbolIsRefused)
{
    MemoryOutput out;
    const Block block = Block{}.At(1, -32768);
    EXPECT_EQ(JpegEncodeAcFirst(out.out, IdentityEncoder(), block.c, 1, 63, 0), JPEG_BAD_HUFFMAN_TABLE);
    EXPECT_EQ(JpegEncodeAcFirst(out.out, IdentityEncoder(), block.c, 1, 63, 1), 0); // 16384 fits
}

} // namespace
} // namespace thermjpeg::test
