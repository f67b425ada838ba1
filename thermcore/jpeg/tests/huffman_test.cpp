// Huffman tables and block coding, checked against hand-worked bit strings
// of the Annex K tables and against an independent decoder.
#include <gtest/gtest.h>

#include <random>

#include "bit_output.h"
#include "codec_state.h"
#include "default_tables.h"
#include "huffman_encoder.h"
#include "test_support.h"
#include "zigzag.h"

namespace thermjpeg::test {
namespace {

class BlockCoding : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(JpegBuildHuffmanEncoder(kDcLuminanceBits, kDcLuminanceValues, dc), 0);
        ASSERT_EQ(JpegBuildHuffmanEncoder(kAcLuminanceBits, kAcLuminanceValues, ac), 0);
        JpegOutputInit(out, buffer, sizeof buffer);
    }

    // Codes the blocks (natural order) and completes the last byte.
    Bytes Code(const std::vector<std::array<int16_t, 64>>& blocks, int* rc = nullptr)
    {
        int16_t predictor = 0;
        int result = 0;
        for (const auto& block : blocks) {
            result = JpegEncodeBlock(out, dc, ac, &predictor, block.data());
            if (result)
                break;
        }
        if (rc)
            *rc = result;
        EXPECT_EQ(JpegFinishOutput(out), 0);
        return Bytes(buffer, buffer + out.byteCount());
    }

    static std::array<int16_t, 64> ZigzagBlock(std::initializer_list<std::pair<int, int16_t>> values)
    {
        std::array<int16_t, 64> block{};
        for (const auto& [k, v] : values)
            block[kZigzag[k]] = v;
        return block;
    }

    HuffmanEncoder dc, ac;
    OutputRecord out;
    uint8_t buffer[65536];
};

TEST_F(BlockCoding, HandWorkedBitStrings)
{
    // DC category 0 "00", EOB "1010" -> 0010 1000.
    EXPECT_EQ(Code({ZigzagBlock({})}), (Bytes{0x28}));
}

TEST_F(BlockCoding, DcDifferencesOfPlusAndMinusOne)
{
    // +1: category 1 "010", extra bit 1, EOB "1010" -> 0101 1010.
    EXPECT_EQ(Code({ZigzagBlock({{0, 1}})}), (Bytes{0x5A}));
    JpegOutputInit(out, buffer, sizeof buffer);
    // -1: extra bit 0 -> 0100 1010.
    EXPECT_EQ(Code({ZigzagBlock({{0, -1}})}), (Bytes{0x4A}));
}

TEST_F(BlockCoding, TwentyZerosEmitOneZrlThenRunFour)
{
    // "00" DC, ZRL "11111111001", 4/1 "111011" + extra bit 1, EOB "1010":
    // 00111111 11001111 01111010.
    EXPECT_EQ(Code({ZigzagBlock({{21, 1}})}), (Bytes{0x3F, 0xCF, 0x7A}));
}

TEST_F(BlockCoding, ByteOfOnesIsFollowedByAStuffedZero)
{
    // DC 1023: category 10 "11111110", extra bits 1111111111, EOB "1010":
    // 11111110 11111111 111010(00).
    const Bytes bytes = Code({ZigzagBlock({{0, 1023}})});
    EXPECT_EQ(bytes, (Bytes{0xFE, 0xFF, 0x00, 0xE8}));
    EXPECT_EQ(out.byteCount(), 4);
}

TEST_F(BlockCoding, SymbolSequences)
{
    struct Case {
        const char* name;
        std::array<int16_t, 64> block;
        std::vector<int> symbols;
    };
    const Case cases[] = {
        {"DC only", ZigzagBlock({{0, 5}}), {3, 0x00}},
        {"last coefficient set: no EOB", ZigzagBlock({{63, 1}}), {0, 0xF0, 0xF0, 0xF0, 0xE1}},
        {"fifteen zeros", ZigzagBlock({{16, -3}}), {0, 0xF2, 0x00}},
        {"sixteen zeros", ZigzagBlock({{17, -3}}), {0, 0xF0, 0x02, 0x00}},
        {"adjacent values", ZigzagBlock({{1, 1}, {2, -2}, {3, 700}}), {0, 0x01, 0x02, 0x0A, 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JpegOutputInit(out, buffer, sizeof buffer);
        const Bytes bytes = Code({c.block});
        BlockDecoder decoder(bytes);
        BlockDecoder::Block decoded;
        ASSERT_TRUE(decoder.Decode({kDcLuminanceBits, kDcLuminanceValues}, {kAcLuminanceBits, kAcLuminanceValues}, decoded));
        EXPECT_EQ(decoded.symbols, c.symbols);
        for (int k = 0; k < 64; ++k)
            EXPECT_EQ(decoded.coefficients[k], c.block[kZigzag[k]]) << k;
    }
}

TEST_F(BlockCoding, RandomBlocksDecodeToTheirCoefficients)
{
    std::mt19937 random(5);
    std::vector<std::array<int16_t, 64>> blocks(200);
    for (auto& block : blocks) {
        for (int i = 0; i < 64; ++i) {
            const int r = static_cast<int>(random() % 100);
            block[i] = r < 70 ? 0 : static_cast<int16_t>(static_cast<int>(random() % 2047) - 1023);
        }
        block[0] = static_cast<int16_t>(static_cast<int>(random() % 2047) - 1023);
    }
    const Bytes bytes = Code(blocks);
    BlockDecoder decoder(bytes);
    int predictor = 0;
    for (const auto& block : blocks) {
        BlockDecoder::Block decoded;
        ASSERT_TRUE(decoder.Decode({kDcLuminanceBits, kDcLuminanceValues}, {kAcLuminanceBits, kAcLuminanceValues}, decoded));
        predictor += decoded.coefficients[0];
        ASSERT_EQ(predictor, block[0]);
        for (int k = 1; k < 64; ++k)
            ASSERT_EQ(decoded.coefficients[k], block[kZigzag[k]]);
    }
}

TEST_F(BlockCoding, SymbolWithoutCodeIsRefused)
{
    int rc = 0;
    Code({ZigzagBlock({{0, 2048}})}, &rc); // DC category 12: no code in K.3
    EXPECT_EQ(rc, JPEG_BAD_HUFFMAN_TABLE);
    JpegOutputInit(out, buffer, sizeof buffer);
    Code({ZigzagBlock({{5, 1024}})}, &rc); // AC category 11: no code in K.5
    EXPECT_EQ(rc, JPEG_BAD_HUFFMAN_TABLE);
    JpegOutputInit(out, buffer, sizeof buffer);
    Code({ZigzagBlock({{5, -32768}})}, &rc); // category 16 has no AC symbol at all
    EXPECT_EQ(rc, JPEG_BAD_HUFFMAN_TABLE);
}

TEST(HuffmanTables, BuildRefusesOverfullListsAndAcceptsIncompleteOnes)
{
    const uint8_t values[256] = {0, 1, 2, 3, 4, 5, 6, 7};
    const struct {
        const char* name;
        std::array<uint8_t, 16> bits;
        int expected;
    } cases[] = {
        {"three codes of length 1", {3}, JPEG_BAD_HUFFMAN_TABLE},
        {"complete: 1 is all ones", {2}, JPEG_BAD_HUFFMAN_TABLE},
        {"complete: 11 is all ones", {1, 2}, JPEG_BAD_HUFFMAN_TABLE},
        {"Kraft sum above 1 further down", {1, 1, 3}, JPEG_BAD_HUFFMAN_TABLE},
        {"incomplete", {1, 1}, 0},
        {"one code", {0, 0, 1}, 0},
        {"empty", {}, 0},
    };
    for (const auto& c : cases) {
        HuffmanEncoder encoder;
        EXPECT_EQ(JpegBuildHuffmanEncoder(c.bits.data(), values, encoder), c.expected) << c.name;
    }
    const uint8_t many[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255};
    const uint8_t tooMany[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 255}; // 257
    uint8_t symbols[256];
    for (int i = 0; i < 256; ++i)
        symbols[i] = static_cast<uint8_t>(i);
    HuffmanEncoder encoder;
    EXPECT_EQ(JpegBuildHuffmanEncoder(many, symbols, encoder), 0);
    EXPECT_EQ(JpegBuildHuffmanEncoder(tooMany, symbols, encoder), JPEG_BAD_HUFFMAN_TABLE);

    for (const auto& [bits, vals] : {std::pair{kDcLuminanceBits, kDcLuminanceValues},
                                     std::pair{kDcChrominanceBits, kDcChrominanceValues},
                                     std::pair{kAcLuminanceBits, kAcLuminanceValues},
                                     std::pair{kAcChrominanceBits, kAcChrominanceValues}})
        EXPECT_EQ(JpegBuildHuffmanEncoder(bits, vals, encoder), 0);
}

TEST(HuffmanTables, WriteWithATableMissingASymbolFailsAndClosesTheFile)
{
    // A DC table with categories 0..5 only: the image's larger differences
    // have no code.
    static const uint8_t dcBits[16] = {0, 3, 3};
    static const uint8_t dcValues[6] = {0, 1, 2, 3, 4, 5};
    TempDir dir;
    const std::string name = dir.Path("partial.jpg").string();
    const Image image = MakeImage(64, 64, 1);
    Codec codec;
    codec.SetImage(image, JPEG_COLOUR_GRAY);
    codec.p.JpegChannels = 1;
    codec.p.JpegColour = JPEG_COLOUR_GRAY;
    codec.p.JpegSampling = 0;
    codec.p.JpegFile = name.c_str();
    codec.p.OwnHuffmanTables.Enabled = 1;
    codec.p.OwnHuffmanTables.Tables[0] = {dcBits, dcValues, 0, 0};
    codec.p.OwnHuffmanTables.Tables[1] = {kAcLuminanceBits, kAcLuminanceValues, 1, 0};
    EXPECT_EQ(JpegWrite(&codec.p, JPEG_MODE_WRITE_FILE), JPEG_BAD_HUFFMAN_TABLE);
    EXPECT_EQ(codec.p.Codec->out.file, -1);
    EXPECT_FALSE(codec.p.Codec->scan.has_value());
}

TEST(HuffmanTables, OwnTablesAreWrittenAndUsed)
{
    static const uint8_t dcBits[16] = {0, 2, 2, 2, 2, 2, 1, 1}; // not K.3's shape
    const Image image = MakeImage(32, 16, 1);
    const Bytes stream = Encode(image, JPEG_COLOUR_GRAY, [](JPEG_PROPERTIES& p) {
        p.JpegChannels = 1;
        p.JpegColour = JPEG_COLOUR_GRAY;
        p.JpegSampling = 0;
        p.OwnHuffmanTables.Enabled = 1;
        p.OwnHuffmanTables.Tables[0] = {dcBits, kDcLuminanceValues, 0, 0};
        p.OwnHuffmanTables.Tables[1] = {kAcLuminanceBits, kAcLuminanceValues, 1, 0};
    });
    const ParsedStream parsed = ParseStream(stream);
    ASSERT_TRUE(parsed.ok);
    const Bytes& dht = parsed.segments[5].payload;
    ASSERT_EQ(dht.size(), 2 * 17 + 12 + 162u);
    EXPECT_EQ(dht[2], 2);
    BlockDecoder decoder(parsed.entropy);
    BlockDecoder::Block block;
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(decoder.Decode({dcBits, kDcLuminanceValues}, {kAcLuminanceBits, kAcLuminanceValues}, block));
}

TEST(HuffmanTables, OptimalTableFromCounts)
{
    uint32_t counts[257] = {};
    uint8_t bits[16], values[256];
    counts[0x42] = 1;
    ASSERT_EQ(JpegBuildOptimalTable(counts, bits, values), 1);
    EXPECT_EQ(bits[0], 1);
    EXPECT_EQ(std::accumulate(bits, bits + 16, 0), 1);
    EXPECT_EQ(values[0], 0x42);

    // Fibonacci counts make the tree 40 levels deep: the lengths are limited
    // to 16 and the table stays valid.
    std::fill(counts, counts + 257, 0);
    uint32_t a = 1, b = 1;
    for (int i = 0; i < 40; ++i) {
        counts[i] = a;
        const uint32_t next = a + b;
        a = b;
        b = next;
    }
    const int n = JpegBuildOptimalTable(counts, bits, values);
    EXPECT_EQ(n, 40);
    EXPECT_EQ(std::accumulate(bits, bits + 16, 0), 40);
    HuffmanEncoder encoder;
    ASSERT_EQ(JpegBuildHuffmanEncoder(bits, values, encoder), 0);
    for (int i = 0; i < 40; ++i)
        EXPECT_GT(encoder.size[i], 0) << i;
    EXPECT_EQ(encoder.size[0], 16); // the rarest symbol
    EXPECT_LE(encoder.size[39], 2);
}

} // namespace
} // namespace thermjpeg::test
