// Marker order and segment contents, quality scaling, comments, and the
// table-only and abbreviated streams.
#include <gtest/gtest.h>

#include "codec_state.h"
#include "default_tables.h"
#include "stream_writer.h"
#include "test_support.h"

namespace thermjpeg::test {
namespace {

Bytes Payload(const ParsedStream& parsed, uint8_t marker, int occurrence = 0)
{
    for (const auto& segment : parsed.segments) {
        if (segment.marker == marker && occurrence-- == 0)
            return segment.payload;
    }
    return {};
}

TEST(StreamWriter, DefaultWriteHasTheMarkersInOrder)
{
    const ParsedStream s = ParseStream(Encode(MakeImage(16, 16, 3), JPEG_COLOUR_BGR));
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(MarkerSequence(s), (std::vector<uint8_t>{0xD8, 0xE0, 0xFE, 0xDB, 0xDB, 0xC4, 0xC0, 0xDA, 0xD9}));
    EXPECT_EQ(Payload(s, 0xE0), (Bytes{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}));
    const Bytes comment = Payload(s, 0xFE);
    EXPECT_EQ(std::string(comment.begin(), comment.end()), std::string("Orvik(R) JPEG Library, version [1.51.12.44]", 44));
    EXPECT_EQ(Payload(s, 0xDB, 0)[0], 0x00);
    EXPECT_EQ(Payload(s, 0xDB, 1)[0], 0x01);
    const Bytes dht = Payload(s, 0xC4);
    EXPECT_EQ(dht.size(), 4 * 17 + 12 + 162 + 12 + 162u);
    EXPECT_EQ(dht[0], 0x00);
    EXPECT_EQ(dht[17 + 12], 0x10);
    EXPECT_EQ(dht[2 * 17 + 12 + 162], 0x01);
    EXPECT_EQ(dht[3 * 17 + 2 * 12 + 162], 0x11);
    EXPECT_EQ(Payload(s, 0xC0), (Bytes{8, 0, 16, 0, 16, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}));
    EXPECT_EQ(Payload(s, 0xDA), (Bytes{3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}));
}

TEST(StreamWriter, GrayWriteUsesComponentZero)
{
    const ParsedStream s = ParseStream(Encode(MakeImage(9, 9, 1), JPEG_COLOUR_GRAY, [](JPEG_PROPERTIES& p) {
        p.JpegChannels = 1;
        p.JpegColour = JPEG_COLOUR_GRAY;
        p.JpegSampling = JPEG_SAMPLING_444;
    }));
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(Payload(s, 0xC0), (Bytes{8, 0, 9, 0, 9, 1, 0, 0x11, 0}));
    EXPECT_EQ(Payload(s, 0xDA), (Bytes{1, 0, 0x00, 0, 63, 0}));
    // Both table pairs are written, as for colour.
    EXPECT_EQ(MarkerSequence(s), (std::vector<uint8_t>{0xD8, 0xE0, 0xFE, 0xDB, 0xDB, 0xC4, 0xC0, 0xDA, 0xD9}));
}

TEST(StreamWriter, AdobeSegmentForUnconvertedColourSpaces)
{
    const struct {
        int imageColour, channels, jpegColour;
        uint8_t transform;
    } cases[] = {
        {JPEG_COLOUR_RGB, 3, JPEG_COLOUR_RGB, 0},
        {JPEG_COLOUR_INV_RGBA, 4, JPEG_COLOUR_INV_RGBA, 0},
        {JPEG_COLOUR_INV_RGBA, 4, JPEG_COLOUR_YCCK, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.jpegColour);
        const ParsedStream s = ParseStream(Encode(MakeImage(16, 8, c.channels), c.imageColour, [&](JPEG_PROPERTIES& p) {
            p.ImageChannels = c.channels;
            p.JpegChannels = c.channels;
            p.JpegColour = c.jpegColour;
            p.JpegSampling = JPEG_SAMPLING_444;
        }));
        ASSERT_TRUE(s.ok);
        EXPECT_EQ(s.segments[1].marker, 0xEE);
        EXPECT_EQ(Payload(s, 0xE0), Bytes{});
        EXPECT_EQ(Payload(s, 0xEE), (Bytes{'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, c.transform}));
    }
}

TEST(StreamWriter, CallerCommentIsCutTo65531Bytes)
{
    std::string comment(70000, 'x');
    comment[65530] = 'y';
    Codec codec;
    const Image image = MakeImage(8, 8, 3);
    codec.SetImage(image, JPEG_COLOUR_BGR);
    codec.p.CommentBytes = comment.data();
    codec.p.CommentLength = 65535;
    int rc = 0;
    const ParsedStream cut = ParseStream(EncodeToMemory(codec.p, &rc));
    ASSERT_EQ(rc, 0);
    const Bytes payload = Payload(cut, 0xFE);
    ASSERT_EQ(payload.size(), 65531u);
    EXPECT_EQ(payload.back(), 'y');
    EXPECT_EQ(codec.p.CommentLength, 65531);
}

TEST(StreamWriter, QualityScaling)
{
    uint16_t table[64];
    JpegScaleQuantTable(50, kLuminanceQuant, table);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(table[i], kLuminanceQuant[i]);
    JpegScaleQuantTable(80, kLuminanceQuant, table);
    EXPECT_EQ(table[0], 6);
    for (int quality : {100, 101, 1000}) {
        JpegScaleQuantTable(quality, kChrominanceQuant, table);
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(table[i], 1) << quality;
    }
    uint16_t one[64];
    JpegScaleQuantTable(1, kLuminanceQuant, one);
    for (int quality : {0, -5}) {
        JpegScaleQuantTable(quality, kLuminanceQuant, table);
        EXPECT_TRUE(std::equal(table, table + 64, one)) << quality;
    }
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(one[i], kLuminanceQuant[i] >= 6 ? 255 : kLuminanceQuant[i] * 50) << i;
}

TEST(StreamWriter, FastPathAtQuality100CarriesTheValueItQuantisesWith)
{
    const Image image = MakeImage(16, 16, 3);
    for (int method : {0, 1}) {
        const ParsedStream s = ParseStream(Encode(image, JPEG_COLOUR_BGR, [&](JPEG_PROPERTIES& p) {
            p.Quality = 100;
            p.DctMethod = method;
        }));
        for (int t = 0; t < 2; ++t) {
            const std::vector<int> dqt = DqtTable(s, t);
            ASSERT_EQ(dqt.size(), 64u);
            EXPECT_EQ(dqt[62], 1);
            EXPECT_EQ(dqt[63], method == 0 ? 2 : 1) << "method " << method;
        }
    }
}

TEST(StreamWriter, TablesOnlyAndAbbreviatedStreamsShareTheTables)
{
    const Image image = MakeImage(24, 20, 3);
    Codec codec;
    codec.SetImage(image, JPEG_COLOUR_BGR);
    codec.p.Quality = 90;
    int rc = 0;
    const Bytes whole = EncodeToMemory(codec.p, &rc, JPEG_MODE_WRITE_MEMORY);
    ASSERT_EQ(rc, 0);
    const Bytes tables = EncodeToMemory(codec.p, &rc, JPEG_MODE_TABLES_MEMORY);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(MarkerSequence(ParseStream(tables)), (std::vector<uint8_t>{0xD8, 0xE0, 0xFE, 0xDB, 0xDB, 0xC4, 0xD9}));
    const Bytes abbreviated = EncodeToMemory(codec.p, &rc, JPEG_MODE_ABBREVIATED_MEMORY);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(MarkerSequence(ParseStream(abbreviated)), (std::vector<uint8_t>{0xD8, 0xC0, 0xDA, 0xD9}));

    Bytes joined(tables.begin(), tables.end() - 2);
    joined.insert(joined.end(), abbreviated.begin() + 2, abbreviated.end());
    EXPECT_EQ(joined, whole);
}

TEST(StreamWriter, AbbreviatedStreamOnAFreshRecordUsesTheDefaultTables)
{
    const Image image = MakeImage(24, 20, 3);
    const Bytes whole = Encode(image, JPEG_COLOUR_BGR);
    Codec codec;
    codec.SetImage(image, JPEG_COLOUR_BGR);
    int rc = 0;
    const Bytes abbreviated = EncodeToMemory(codec.p, &rc, JPEG_MODE_ABBREVIATED_MEMORY);
    ASSERT_EQ(rc, 0);
    const ParsedStream a = ParseStream(abbreviated), w = ParseStream(whole);
    EXPECT_EQ(a.entropy, w.entropy);
}

TEST(StreamWriter, RestartMarkerNumbersRunFrom0To7)
{
    Codec codec;
    CodecState& s = *codec.p.Codec;
    uint8_t out[64];
    s.kernels.outputInit(s.out, out, sizeof out);
    EXPECT_EQ(JpegWriteRst(s, 0), 0);
    EXPECT_EQ(JpegWriteRst(s, 7), 0);
    EXPECT_EQ(JpegWriteRst(s, 8), JPEG_BAD_RST_MARKER);
    EXPECT_EQ(JpegWriteRst(s, -1), JPEG_BAD_RST_MARKER);
    EXPECT_EQ(s.out.byteCount(), 4);
    EXPECT_EQ(out[3], 0xD7);
}

// The writers the progressive encoder uses: one DHT table per segment, and
// SOF2 numbering its components from 0.
TEST(StreamWriter, SingleTableDhtAndSof2)
{
    Codec codec;
    const Image image = MakeImage(20, 12, 3);
    codec.SetImage(image, JPEG_COLOUR_BGR);
    int rc = 0;
    EncodeToMemory(codec.p, &rc); // sets up the frame
    ASSERT_EQ(rc, 0);
    CodecState& s = *codec.p.Codec;
    uint8_t out[512];
    s.kernels.outputInit(s.out, out, sizeof out);
    ASSERT_EQ(JpegWriteDhtTable(s, kDcChrominanceBits, kDcChrominanceValues, 0, 1), 0);
    ASSERT_EQ(JpegWriteSof2(s), 0);
    const Bytes written(out, out + s.out.byteCount());
    const Bytes expectedDht = {0xFF, 0xC4, 0, 31, 0x01};
    EXPECT_TRUE(std::equal(expectedDht.begin(), expectedDht.end(), written.begin()));
    EXPECT_EQ(written.size(), 33u + 2 + 2 + 15);
    EXPECT_EQ(Bytes(written.begin() + 33, written.end()),
              (Bytes{0xFF, 0xC2, 0, 17, 8, 0, 12, 0, 20, 3, 0, 0x22, 0, 1, 0x11, 1, 2, 0x11, 1}));

    uint8_t tooMany[16] = {};
    tooMany[15] = 255;
    tooMany[14] = 2;
    EXPECT_EQ(JpegWriteDhtTable(s, tooMany, kAcLuminanceValues, 1, 0), JPEG_BAD_HUFFMAN_TABLE);
}

} // namespace
} // namespace thermjpeg::test
