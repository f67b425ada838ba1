// The decoder's bit reader, table builder and block decoders: hand-made bit
// strings, round trips through the block coders, and corrupt or exhausted
// input that must never take a decoder outside its block.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <random>

#include "default_tables.h"
#include "entropy_support.h"
#include "progressive_kernels.h"
#include "zigzag.h"

namespace thermjpeg::test {
namespace {

BitReader ReaderOver(const std::vector<uint8_t>& bytes)
{
    BitReader r;
    JpegBitReaderInit(r, bytes.data(), bytes.size());
    return r;
}

TEST(BitReader, StuffingMarkersAndTheEndOfInput)
{
    // FF 00 is one data byte 0xFF.
    const std::vector<uint8_t> stuffed = {0xFF, 0x00, 0x12};
    BitReader r = ReaderOver(stuffed);
    ASSERT_EQ(JpegFillBits(r, 16), 0);
    EXPECT_EQ(r.bitCount, 16);
    EXPECT_EQ(JpegPeekBits(r, 4), 0xFu);
    EXPECT_EQ(JpegGetBits(r, 8), 0xFFu);
    EXPECT_EQ(JpegGetBits(r, 8), 0x12u);
    EXPECT_EQ(r.marker, 0);
    EXPECT_EQ(r.consumed, 3u);

    // FF FF D9: fill bytes are skipped and the marker is recorded; asking
    // for more bits than stand before it reports that.
    const std::vector<uint8_t> marker = {0xAB, 0xFF, 0xFF, 0xD9, 0x55};
    r = ReaderOver(marker);
    EXPECT_EQ(JpegFillBits(r, 16), kStatusNoMoreBits);
    EXPECT_EQ(r.bitCount, 8);
    EXPECT_EQ(r.marker, 0xD9);
    EXPECT_EQ(r.bytesLeft, 1u) << "nothing is read past the marker";
    EXPECT_EQ(JpegFillBits(r, 8), 0);

    // The input ends: the bits there are count, never more.
    const std::vector<uint8_t> shortInput = {0x80};
    r = ReaderOver(shortInput);
    EXPECT_EQ(JpegFillBits(r, 9), kStatusNoMoreBits);
    EXPECT_EQ(r.bitCount, 8);

    // Memory input that ends inside a run of 0xFF bytes is a data error.
    for (const std::vector<uint8_t>& bytes : {std::vector<uint8_t>{0xFF}, std::vector<uint8_t>{0x01, 0xFF, 0xFF}}) {
        r = ReaderOver(bytes);
        EXPECT_EQ(JpegFillBits(r, 1), JPEG_DATA_ERROR);
    }
}

TEST(BitReader, FileInputRefillsThroughItsCallback)
{
    // Three one-byte refills, the middle one splitting FF 00.
    struct Source {
        std::vector<std::vector<uint8_t>> pieces{{0x5A}, {0xFF}, {0x00}};
        size_t next = 0;
    } source;
    BitReader r;
    JpegBitReaderInit(r, nullptr, 0);
    r.refillContext = &source;
    r.refill = [](BitReader& reader, void* context) -> int {
        auto& s = *static_cast<Source*>(context);
        if (s.next == s.pieces.size())
            return JPEG_EOF_ERROR;
        reader.next = s.pieces[s.next].data();
        reader.bytesLeft = s.pieces[s.next].size();
        ++s.next;
        return 0;
    };
    EXPECT_EQ(JpegFillBits(r, 16), JPEG_EOF_ERROR); // the source ran dry after two data bytes
    EXPECT_EQ(r.bitCount, 16);
    EXPECT_EQ(JpegGetBits(r, 16), 0x5AFFu);
}

TEST(HuffmanDecoderTable, RefusesOverfullListsAndKeepsCompleteOnes)
{
    static uint8_t values[256];
    for (int i = 0; i < 256; ++i)
        values[i] = static_cast<uint8_t>(i);
    const struct {
        const char* name;
        std::array<uint8_t, 16> bits;
        int expected;
    } cases[] = {
        {"complete: two 1-bit codes", {2}, 0},
        {"complete: 1, 2, 2 bits", {1, 2}, 0},
        {"over-subscribed: three 1-bit codes", {3}, JPEG_BAD_HUFFMAN_TABLE},
        {"over-subscribed at length 3", {1, 1, 3}, JPEG_BAD_HUFFMAN_TABLE},
        {"257 symbols", {0, 0, 0, 0, 0, 0, 0, 255, 2}, JPEG_BAD_HUFFMAN_TABLE},
        {"incomplete standard DC table", {0, 1, 5, 1, 1, 1, 1, 1, 1}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HuffmanDecoder d;
        d.number = 99;
        EXPECT_EQ(JpegBuildHuffmanDecoder(c.bits.data(), values, 0, 1, d), c.expected);
        if (c.expected != 0) {
            EXPECT_EQ(d.number, 99) << "nothing written";
        }
    }
    // The look-ahead of the standard luminance DC table: category 0 is the
    // 2-bit code 00, so the 64 entries 0x00..0x3F hold length 2, symbol 0.
    HuffmanDecoder dc;
    ASSERT_EQ(JpegBuildHuffmanDecoder(kDcLuminanceBits, kDcLuminanceValues, 0, 0, dc), 0);
    EXPECT_EQ(dc.lookahead[0x00], (2u << 16) | 0);
    EXPECT_EQ(dc.lookahead[0x3F], (2u << 16) | 0);
    EXPECT_EQ(dc.lookahead[0xFE], (8u << 16) | 10); // category 10: 11111110
    EXPECT_EQ(dc.lookahead[0xFF], 0u);              // category 11 has 9 bits
    EXPECT_EQ(dc.maxCode[1], -1);
    EXPECT_EQ(dc.maxCode[17], -1);
}

TEST(HuffmanDecoderTable, SlowPathAndOverlongCodes)
{
    HuffmanDecoder dc;
    ASSERT_EQ(JpegBuildHuffmanDecoder(kDcLuminanceBits, kDcLuminanceValues, 0, 0, dc), 0);
    // Category 11 is 111111110 (9 bits): past the look-ahead.
    std::vector<uint8_t> bytes = Stuff(BitString({{0x1FE, 9}, {0, 7}}));
    BitReader r = ReaderOver(bytes);
    int symbol = -1;
    ASSERT_EQ(JpegDecodeSymbol(r, symbol, dc), 0);
    EXPECT_EQ(symbol, 11);
    EXPECT_EQ(r.bitCount, 7);
    // Seventeen ones match no code: symbol 0 after 17 bits, no error.
    bytes = Stuff(BitString({{0x1FFFF, 17}, {0, 7}}));
    r = ReaderOver(bytes);
    ASSERT_EQ(JpegDecodeSymbol(r, symbol, dc), 0);
    EXPECT_EQ(symbol, 0);
    EXPECT_EQ(r.bitCount, 7);
}

TEST(BlockDecoders, HandMadeBitStrings)
{
    const HuffmanDecoder table = IdentityDecoder();
    std::array<int16_t, 64> block{};

    // DC category 0 keeps the predictor and stores it; EOB clears the rest.
    std::vector<uint8_t> bytes = BitString({{0x00, 8}, {0x00, 8}});
    BitReader r = ReaderOver(bytes);
    int32_t predictor = 37;
    block.fill(5);
    ASSERT_EQ(JpegDecodeBlock(r, table, table, &predictor, block.data()), 0);
    EXPECT_EQ(predictor, 37);
    EXPECT_EQ(block[0], 37);
    for (int i = 1; i < 64; ++i)
        ASSERT_EQ(block[i], 0);

    // AC first: EOB2 (r = 2) with bits 01 is a run of 5 blocks, this one
    // included; the next four read nothing, the fifth reads 0x01 + bit 1.
    bytes = BitString({{0x20, 8}, {0x1, 2}, {0x01, 8}, {1, 1}, {0x00, 8}});
    r = ReaderOver(bytes);
    block.fill(0);
    ASSERT_EQ(JpegDecodeAcFirst(r, block.data(), table, 1, 63, 0), 0);
    EXPECT_EQ(r.eobRun, 4u);
    const int bitsLeft = r.bitCount;
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(JpegDecodeAcFirst(r, block.data(), table, 1, 63, 0), 0);
    EXPECT_EQ(r.bitCount, bitsLeft);
    ASSERT_EQ(JpegDecodeAcFirst(r, block.data(), table, 1, 63, 2), 0);
    EXPECT_EQ(block[kZigzag[1]], 4); // 1 << Al
    EXPECT_EQ(r.eobRun, 0u);

    // DC first and refinement with Al = 1: 3 << 1, then bit 1 adds 1.
    bytes = BitString({{0x02, 8}, {0x3, 2}, {1, 1}});
    r = ReaderOver(bytes);
    predictor = 0;
    int16_t dc = 0;
    ASSERT_EQ(JpegDecodeDcFirst(r, table, &dc, &predictor, 1), 0);
    EXPECT_EQ(dc, 6);
    ASSERT_EQ(JpegDecodeDcRefine(r, &dc, 0), 0);
    EXPECT_EQ(dc, 7);
}

// Runs that point past the end: a baseline block stores the value at
// position 63 and ends; progressive bands never go past Se. The block is
// a heap array of exactly 64 values, so the sanitizer sees any stray write.
TEST(BlockDecoders, CorruptRunsStayInsideTheBlock)
{
    const HuffmanDecoder table = IdentityDecoder();
    auto block = std::make_unique<int16_t[]>(64);

    // DC 0, then four times run 15 with a 1-bit value: positions 16, 32,
    // 48, then 64 -> 63.
    std::vector<uint8_t> bytes = BitString({{0x00, 8}, {0xF1, 8}, {1, 1}, {0xF1, 8}, {1, 1}, {0xF1, 8}, {0, 1},
                                            {0xF1, 8}, {1, 1}, {0xF1, 8}, {1, 1}});
    BitReader r = ReaderOver(bytes);
    int32_t predictor = 0;
    ASSERT_EQ(JpegDecodeBlock(r, table, table, &predictor, block.get()), 0);
    EXPECT_EQ(block[kZigzag[16]], 1);
    EXPECT_EQ(block[kZigzag[32]], 1);
    EXPECT_EQ(block[kZigzag[48]], -1);
    EXPECT_EQ(block[kZigzag[63]], 1);
    EXPECT_EQ(r.bitCount, 56 - 44) << "the block ended at position 63, before the fifth run";

    // The DC-only form walks the same symbols.
    r = ReaderOver(bytes);
    int16_t dc = 0;
    ASSERT_EQ(JpegDecodeBlockDcOnly(r, table, table, &predictor, &dc), 0);
    EXPECT_EQ(r.bitCount, 56 - 44);

    // AC first over 1..20: the second run lands on Se and ends the band.
    for (int i = 0; i < 64; ++i)
        block[i] = 7;
    bytes = BitString({{0xF1, 8}, {1, 1}, {0xF1, 8}, {0, 1}, {0xF1, 8}, {1, 1}});
    r = ReaderOver(bytes);
    ASSERT_EQ(JpegDecodeAcFirst(r, block.get(), table, 1, 20, 0), 0);
    EXPECT_EQ(block[kZigzag[16]], 1);
    EXPECT_EQ(block[kZigzag[20]], -1);
    for (int k = 21; k < 64; ++k)
        ASSERT_EQ(block[kZigzag[k]], 7) << k;

    // AC refinement over 1..10 of a zero band: run 15 passes Se; the new
    // value is dropped, and positions past Se keep their values.
    for (int k = 0; k < 64; ++k)
        block[kZigzag[k]] = static_cast<int16_t>(k <= 10 ? 0 : 7);
    bytes = BitString({{0xF1, 8}, {1, 1}, {0x00, 8}});
    r = ReaderOver(bytes);
    ASSERT_EQ(JpegDecodeAcRefine(r, block.get(), table, 1, 10, 0), 0);
    for (int k = 1; k < 64; ++k)
        ASSERT_EQ(block[kZigzag[k]], k <= 10 ? 0 : 7) << k;
}

// Input that ends inside a block ends the block with 0 and what was
// decoded so far; the bit count stays within 0..64.
TEST(BlockDecoders, ExhaustedInputEndsTheBlock)
{
    const HuffmanDecoder table = IdentityDecoder();
    // DC category 3 with bits 101 (5), then 5 zero bits: not a whole code.
    const std::vector<uint8_t> bytes = BitString({{0x03, 8}, {0x5, 3}});
    BitReader r = ReaderOver(bytes);
    int32_t predictor = 10;
    std::array<int16_t, 64> block{};
    EXPECT_EQ(JpegDecodeBlock(r, table, table, &predictor, block.data()), 0);
    EXPECT_EQ(block[0], 15);
    EXPECT_GE(r.bitCount, 0);
    // Nothing at all: every decoder returns 0 and stays put.
    BitReader empty = ReaderOver({});
    EXPECT_EQ(JpegDecodeBlock(empty, table, table, &predictor, block.data()), 0);
    EXPECT_EQ(JpegDecodeAcRefine(empty, block.data(), table, 1, 63, 0), 0);
    EXPECT_EQ(JpegDecodeDcRefine(empty, &block[0], 0), 0);
    EXPECT_EQ(empty.bitCount, 0);
}

// Random bytes through every decoder with random tables and bands: status
// 0 or -21 only, the bit count in range, and (under the sanitizers) no
// access outside the 64-value heap block.
TEST(BlockDecoders, GarbageNeverLeavesTheBlock)
{
    std::mt19937 random(5);
    HuffmanDecoder dcTable, acTable;
    ASSERT_EQ(JpegBuildHuffmanDecoder(kDcLuminanceBits, kDcLuminanceValues, 0, 0, dcTable), 0);
    ASSERT_EQ(JpegBuildHuffmanDecoder(kAcLuminanceBits, kAcLuminanceValues, 1, 0, acTable), 0);
    const HuffmanDecoder identity = IdentityDecoder();
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes(random() % 48);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(random() % 5 == 0 ? 0xFF : random());
        BitReader r = ReaderOver(bytes);
        const HuffmanDecoder& table = round % 2 ? identity : acTable;
        auto block = std::make_unique<int16_t[]>(64);
        const int ss = 1 + static_cast<int>(random() % 63);
        const int se = ss + static_cast<int>(random() % (64 - ss));
        const int al = static_cast<int>(random() % 14);
        int32_t predictor = static_cast<int32_t>(random() % 65536) - 32768;
        for (int step = 0; step < 6; ++step) {
            int rc = 0;
            switch ((round + step) % 6) {
            case 0: rc = JpegDecodeBlock(r, dcTable, table, &predictor, block.get()); break;
            case 1: rc = JpegDecodeBlockDcOnly(r, dcTable, table, &predictor, nullptr); break;
            case 2: rc = JpegDecodeDcFirst(r, dcTable, &block[0], &predictor, al); break;
            case 3: rc = JpegDecodeDcRefine(r, &block[0], al); break;
            case 4: rc = JpegDecodeAcFirst(r, block.get(), table, ss, se, al); break;
            default: rc = JpegDecodeAcRefine(r, block.get(), table, ss, se, al); break;
            }
            ASSERT_TRUE(rc == 0 || rc == JPEG_DATA_ERROR) << rc;
            ASSERT_GE(r.bitCount, 0);
            ASSERT_LE(r.bitCount, 64);
            ASSERT_GE(predictor, -32768);
            ASSERT_LE(predictor, 32767);
        }
    }
}

// The baseline block decoder written code bit by code bit from the
// canonical limits (T.81 F.2.2.3), without any look-ahead table.
int ReferenceSymbol(BitReader& r, const HuffmanDecoder& t, int& symbol)
{
    int32_t code = 0;
    for (int length = 1; length <= 17; ++length) {
        uint32_t bit;
        if (int rc = JpegTakeBits(r, 1, bit))
            return rc;
        code = (code << 1) | static_cast<int32_t>(bit);
        if (length <= 16 && code <= t.maxCode[length]) {
            symbol = t.symbols[t.firstIndex[length] + code - t.minCode[length]];
            return 0;
        }
    }
    symbol = 0;
    return 0;
}

int ReferenceExtend(BitReader& r, int s, int32_t& value)
{
    uint32_t bits;
    if (int rc = JpegTakeBits(r, s, bits))
        return rc;
    value = bits < (1u << (s - 1)) ? static_cast<int32_t>(bits) + 1 - (1 << s) : static_cast<int32_t>(bits);
    return 0;
}

int ReferenceBlock(BitReader& r, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* predictor,
                   int16_t* block)
{
    std::fill(block, block + 64, int16_t{0});
    int symbol = 0;
    int rc = ReferenceSymbol(r, dc, symbol);
    if (rc == 0 && (symbol & 15) != 0) {
        int32_t v;
        rc = ReferenceExtend(r, symbol & 15, v);
        if (rc == 0)
            *predictor = static_cast<int16_t>(*predictor + v);
    }
    if (rc == 0 || rc == kStatusNoMoreBits)
        block[0] = static_cast<int16_t>(*predictor);
    for (int k = 1; rc == 0 && k < 64;) {
        if ((rc = ReferenceSymbol(r, ac, symbol)) != 0)
            break;
        const int run = symbol >> 4, s = symbol & 15;
        if (s == 0) {
            if (run != 15)
                break;
            k += 16;
            continue;
        }
        int32_t v;
        if ((rc = ReferenceExtend(r, s, v)) != 0)
            break;
        k = std::min(k + run, 63);
        block[kZigzag[k]] = static_cast<int16_t>(v);
        ++k;
    }
    return rc == kStatusNoMoreBits ? 0 : rc;
}

// A random code-length list that is never over-subscribed (sometimes
// complete, sometimes with codes of up to 16 bits) and random symbols.
void RandomTable(std::mt19937& random, uint8_t bits[16], uint8_t values[256])
{
    uint32_t code = 0;
    int total = 0;
    for (int length = 1; length <= 16; ++length) {
        const uint32_t room = (1u << length) - code;
        uint32_t count = static_cast<uint32_t>(random() % (length < 4 ? 3 : 12));
        count = std::min({count, room, static_cast<uint32_t>(256 - total)});
        bits[length - 1] = static_cast<uint8_t>(count);
        total += static_cast<int>(count);
        code = (code + count) << 1;
    }
    for (int i = 0; i < 256; ++i) {
        // Mostly short extra bits, as real tables have, and every kind of
        // symbol now and then (end of block, ZRL, run and size up to 15).
        const int run = random() % 3 == 0 ? static_cast<int>(random() % 16) : 0;
        const int size = random() % 4 == 0 ? static_cast<int>(random() % 16) : static_cast<int>(random() % 6);
        values[i] = static_cast<uint8_t>(run << 4 | size);
    }
}

// The decoder's combined code-and-value table against the bit-by-bit
// decoder: standard and random tables over random bytes, with stuffed
// bytes, markers and input that ends mid-block.
TEST(BlockDecoders, CombinedLookAheadMatchesBitByBitDecoding)
{
    std::mt19937 random(11);
    for (int round = 0; round < 4000; ++round) {
        uint8_t dcBits[16], dcValues[256], acBits[16], acValues[256];
        HuffmanDecoder dc, ac;
        if (round % 4 == 0) {
            ASSERT_EQ(JpegBuildHuffmanDecoder(kDcLuminanceBits, kDcLuminanceValues, 0, 0, dc), 0);
            ASSERT_EQ(JpegBuildHuffmanDecoder(kAcLuminanceBits, kAcLuminanceValues, 1, 0, ac), 0);
        } else {
            RandomTable(random, dcBits, dcValues);
            RandomTable(random, acBits, acValues);
            ASSERT_EQ(JpegBuildHuffmanDecoder(dcBits, dcValues, 0, 0, dc), 0);
            ASSERT_EQ(JpegBuildHuffmanDecoder(acBits, acValues, 1, 0, ac), 0);
        }
        std::vector<uint8_t> bytes(random() % 200);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(random() % 40 == 0 ? 0xFF : random() % 3 == 0 ? random() % 4 : random());
        // Input ending inside a run of 0xFF bytes is an error whose place
        // depends on how far ahead a reader fills; keep to well-ended input.
        if (!bytes.empty() && bytes.back() == 0xFF)
            bytes.back() = 0x12;
        BitReader fast = ReaderOver(bytes), reference = ReaderOver(bytes);
        int32_t fastPredictor = 0, referencePredictor = 0;
        for (int b = 0; b < 12; ++b) {
            std::array<int16_t, 64> got{}, want{};
            const int rcGot = JpegDecodeBlock(fast, dc, ac, &fastPredictor, got.data());
            const int rcWant = ReferenceBlock(reference, dc, ac, &referencePredictor, want.data());
            ASSERT_EQ(rcGot, rcWant) << "round " << round << " block " << b;
            ASSERT_EQ(got, want) << "round " << round << " block " << b;
            ASSERT_EQ(fastPredictor, referencePredictor) << "round " << round << " block " << b;
            if (rcGot != 0)
                break;
        }
    }
}

// Sparse random quantised blocks, the kind a transform gives.
std::vector<std::array<int16_t, 64>> RandomBlocks(int count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<std::array<int16_t, 64>> blocks(static_cast<size_t>(count));
    for (auto& b : blocks) {
        b.fill(0);
        const int kind = static_cast<int>(random() % 4);
        b[0] = static_cast<int16_t>(static_cast<int>(random() % 2047) - 1023);
        if (kind == 0)
            continue; // DC only
        for (int k = 1; k < 64; ++k) {
            const int chance = kind == 3 ? 2 : 8 + k / 2;
            if (random() % static_cast<unsigned>(chance) == 0) {
                const int magnitude = kind == 3 && k < 4 ? static_cast<int>(random() % 1023) + 1
                                                         : static_cast<int>(random() % 40) + 1;
                b[kZigzag[k]] = static_cast<int16_t>(random() % 2 ? magnitude : -magnitude);
            }
        }
    }
    return blocks;
}

TEST(BlockDecoders, BaselineBlocksRoundTrip)
{
    const auto blocks = RandomBlocks(400, 1);
    HuffmanEncoder dcEnc, acEnc;
    ASSERT_EQ(JpegBuildHuffmanEncoder(kDcLuminanceBits, kDcLuminanceValues, dcEnc), 0);
    ASSERT_EQ(JpegBuildHuffmanEncoder(kAcLuminanceBits, kAcLuminanceValues, acEnc), 0);
    MemoryOutput out(1 << 20);
    int16_t encodePredictor = 0;
    for (const auto& b : blocks)
        ASSERT_EQ(JpegEncodeBlock(out.out, dcEnc, acEnc, &encodePredictor, b.data()), 0);
    const std::vector<uint8_t> data = out.Bytes();

    HuffmanDecoder dc, ac;
    ASSERT_EQ(JpegBuildHuffmanDecoder(kDcLuminanceBits, kDcLuminanceValues, 0, 0, dc), 0);
    ASSERT_EQ(JpegBuildHuffmanDecoder(kAcLuminanceBits, kAcLuminanceValues, 1, 0, ac), 0);
    BitReader full = ReaderOver(data), dcOnly = ReaderOver(data);
    int32_t predictor = 0, dcPredictor = 0;
    for (const auto& b : blocks) {
        std::array<int16_t, 64> decoded{};
        ASSERT_EQ(JpegDecodeBlock(full, dc, ac, &predictor, decoded.data()), 0);
        ASSERT_EQ(decoded, b);
        int16_t value = 0;
        ASSERT_EQ(JpegDecodeBlockDcOnly(dcOnly, dc, ac, &dcPredictor, &value), 0);
        ASSERT_EQ(value, b[0]);
    }
    EXPECT_EQ(full.marker, 0);
}

// The gray script's six scans over random blocks: each scan counted, given
// its optimal table, coded by the progressive kernels and decoded by the
// progressive decoders; the blocks come back whole.
TEST(BlockDecoders, ProgressiveScansRoundTrip)
{
    auto blocks = RandomBlocks(300, 2);
    for (int i = 100; i < 180; ++i) // a long stretch of empty bands
        blocks[static_cast<size_t>(i)].fill(0);
    struct Scan {
        int ss, se, ah, al;
    };
    const Scan scans[] = {{0, 0, 0, 1}, {1, 5, 0, 2}, {6, 63, 0, 2}, {1, 63, 2, 1}, {0, 0, 1, 0}, {1, 63, 1, 0}};
    std::vector<std::array<int16_t, 64>> decoded(blocks.size());
    for (auto& d : decoded)
        d.fill(0);
    for (const Scan& scan : scans) {
        SCOPED_TRACE(testing::Message() << scan.ss << ".." << scan.se << " Ah " << scan.ah << " Al " << scan.al);
        const bool dcScan = scan.se == 0;
        // Counting pass.
        MemoryOutput counting;
        uint32_t counts[257] = {};
        uint8_t bits[kCorrectionBufferSize];
        int pending = 0;
        int32_t predictor = 0;
        for (const auto& b : blocks) {
            if (dcScan)
                JpegCountDcProgressive(counts, &predictor, b.data(), scan.ah != 0, scan.al);
            else if (scan.ah)
                JpegCountAcRefine(counting.out, b.data(), scan.ss, scan.se, scan.al, bits, pending, counts);
            else
                JpegCountAcFirst(counting.out, b.data(), scan.ss, scan.se, scan.al, counts);
        }
        JpegCountEobRun(counting.out, counts);
        uint8_t tableBits[16], tableValues[256];
        JpegBuildOptimalTable(counts, tableBits, tableValues);
        HuffmanEncoder encoder;
        ASSERT_EQ(JpegBuildHuffmanEncoder(tableBits, tableValues, encoder), 0);
        HuffmanDecoder decoder;
        ASSERT_EQ(JpegBuildHuffmanDecoder(tableBits, tableValues, dcScan ? 0 : 1, 0, decoder), 0);
        // Coding pass.
        MemoryOutput out(1 << 20);
        predictor = 0;
        pending = 0;
        for (const auto& b : blocks) {
            int rc;
            if (dcScan)
                rc = JpegEncodeDcProgressive(out.out, encoder, &predictor, b.data(), scan.ah != 0, scan.al);
            else if (scan.ah)
                rc = JpegEncodeAcRefine(out.out, encoder, b.data(), scan.ss, scan.se, scan.al, bits, pending);
            else
                rc = JpegEncodeAcFirst(out.out, encoder, b.data(), scan.ss, scan.se, scan.al);
            ASSERT_EQ(rc, 0);
        }
        if (!dcScan) {
            ASSERT_EQ(JpegEmitEobRun(out.out, encoder), 0);
            ASSERT_EQ(JpegEmitCorrectionBits(out.out, bits, pending), 0);
        }
        const std::vector<uint8_t> data = out.Bytes();
        // Decoding.
        BitReader r = ReaderOver(data);
        int32_t decodePredictor = 0;
        for (auto& d : decoded) {
            int rc;
            if (dcScan && scan.ah == 0)
                rc = JpegDecodeDcFirst(r, decoder, &d[0], &decodePredictor, scan.al);
            else if (dcScan)
                rc = JpegDecodeDcRefine(r, &d[0], scan.al);
            else if (scan.ah)
                rc = JpegDecodeAcRefine(r, d.data(), decoder, scan.ss, scan.se, scan.al);
            else
                rc = JpegDecodeAcFirst(r, d.data(), decoder, scan.ss, scan.se, scan.al);
            ASSERT_EQ(rc, 0);
        }
        EXPECT_EQ(r.eobRun, 0u);
    }
    for (size_t i = 0; i < blocks.size(); ++i)
        ASSERT_EQ(decoded[i], blocks[i]) << "block " << i;
}

} // namespace
} // namespace thermjpeg::test
