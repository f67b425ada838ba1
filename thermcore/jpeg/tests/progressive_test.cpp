// The progressive encoder end to end: every scan script read back by the
// system's libjpeg to exactly the coefficients of our store and decoded
// strictly by djpeg, the segment layout of the scripts, and the write's
// refusals, restart intervals and mended faults.
#include <gtest/gtest.h>

#include <cstring>

#include "codec_state.h"
#include "progressive_encoder.h"
#include "decoder_support.h"
#include "test_support.h"

#if THERMJPEG_TEST_LIBJPEG
#include "reference_coefficients.h"
#endif

namespace thermjpeg::test {
namespace {

struct ScriptCase {
    const char* name;
    int imageColour, imageChannels;
    int jpegColour, jpegChannels, sampling;
    int scans;
    bool djpegWrites; // djpeg cannot write out two components
};

const ScriptCase kScripts[] = {
    {"gray", JPEG_COLOUR_GRAY, 1, JPEG_COLOUR_GRAY, 1, JPEG_SAMPLING_444, 6, true},
    {"two components, colour 255", JPEG_COLOUR_OTHER, 2, JPEG_COLOUR_OTHER, 2, JPEG_SAMPLING_444, 5, false},
    {"Y Cb Cr 4:2:0", JPEG_COLOUR_BGR, 3, JPEG_COLOUR_YCBCR, 3, JPEG_SAMPLING_420, 10, true},
    {"Y Cb Cr 4:4:4", JPEG_COLOUR_BGR, 3, JPEG_COLOUR_YCBCR, 3, JPEG_SAMPLING_444, 10, true},
    {"Y Cb Cr 4:2:2", JPEG_COLOUR_RGB, 3, JPEG_COLOUR_YCBCR, 3, JPEG_SAMPLING_422, 10, true},
    {"R G B", JPEG_COLOUR_RGB, 3, JPEG_COLOUR_RGB, 3, JPEG_SAMPLING_444, 8, true},
    {"three components, colour 255", JPEG_COLOUR_OTHER, 3, JPEG_COLOUR_OTHER, 3, JPEG_SAMPLING_444, 8, true},
    {"colour 5, four components", JPEG_COLOUR_INV_RGBA, 4, JPEG_COLOUR_INV_RGBA, 4, JPEG_SAMPLING_444, 10, true},
    {"colour 6, four components at 2x2", JPEG_COLOUR_INV_RGBA, 4, JPEG_COLOUR_YCCK, 4, JPEG_SAMPLING_4220, 11, true},
};

void SetUpScript(Codec& codec, const Image& image, const ScriptCase& c)
{
    codec.SetImage(image, c.imageColour);
    codec.p.JpegColour = c.jpegColour;
    codec.p.JpegChannels = c.jpegChannels;
    codec.p.JpegSampling = c.sampling;
    codec.p.Progressive = 1;
}

int CountMarkers(const ParsedStream& parsed, uint8_t marker)
{
    int n = 0;
    for (const auto& segment : parsed.segments)
        n += segment.marker == marker;
    return n;
}

#if THERMJPEG_TEST_LIBJPEG
// Every block of every component, as libjpeg counts them, equals the block
// at its place in our coefficient store.
void ExpectStoreMatches(const CodecState& s, const ReferenceCoefficients& reference)
{
    ASSERT_TRUE(reference.ok) << reference.error;
    EXPECT_TRUE(reference.progressive);
    ASSERT_EQ(static_cast<int>(reference.components.size()), s.componentCount);
    int offset[JPEG_MAX_COMPONENTS] = {}, blocksPerMcu = 0;
    for (int c = 0; c < s.componentCount; ++c) {
        offset[c] = blocksPerMcu;
        blocksPerMcu += s.components[c].h * s.components[c].v;
    }
    for (int c = 0; c < s.componentCount; ++c) {
        const ReferenceComponent& ref = reference.components[static_cast<size_t>(c)];
        const int h = s.components[c].h, v = s.components[c].v;
        int mismatches = 0;
        for (int row = 0; row < ref.heightInBlocks; ++row) {
            for (int column = 0; column < ref.widthInBlocks; ++column) {
                const size_t mcu = static_cast<size_t>(row / v) * s.mcusPerRow + static_cast<size_t>(column / h);
                const size_t block = mcu * blocksPerMcu + offset[c] + (row % v) * h + column % h;
                const int16_t* ours = s.coefficients.get() + block * 64;
                const int16_t* theirs = &ref.blocks[(static_cast<size_t>(row) * ref.widthInBlocks + column) * 64];
                mismatches += std::memcmp(ours, theirs, 64 * sizeof(int16_t)) != 0;
            }
        }
        EXPECT_EQ(mismatches, 0) << "component " << c;
    }
}
#endif

TEST(ProgressiveEncoder, EveryScriptReadsBackToTheStoredCoefficients)
{
    TempDir dir;
    for (const ScriptCase& c : kScripts) {
        SCOPED_TRACE(c.name);
        // 37 x 29: neither a multiple of 8 nor of 16, so edge blocks and
        // partial MCUs take part.
        const Image image = MakeImage(37, 29, c.imageChannels, 7);
        Codec codec;
        SetUpScript(codec, image, c);
        int rc = 0;
        const Bytes stream = EncodeToMemory(codec.p, &rc);
        ASSERT_EQ(rc, 0) << JpegErrorText(rc);
        const ParsedStream parsed = ParseStream(stream);
        ASSERT_TRUE(parsed.ok);
        EXPECT_EQ(CountMarkers(parsed, 0xDA), c.scans);
        EXPECT_EQ(CountMarkers(parsed, 0xC2), 1);
        EXPECT_EQ(CountMarkers(parsed, 0xC0), 0);
#if THERMJPEG_TEST_LIBJPEG
        ExpectStoreMatches(*codec.p.Codec, ReadReferenceCoefficients(stream));
#endif
        if (c.djpegWrites && HaveTool("djpeg")) {
            const auto file = dir.Path("strict.jpg");
            WriteFileBytes(file, stream);
            EXPECT_EQ(test::Run("djpeg -strict -outfile /dev/null '" + file.string() + "' 2>/dev/null"), 0);
        }
    }
}

// Frames from one pixel to a few MCUs, on the scripts with subsampled
// components: the one-component scans must visit exactly the blocks T.81
// gives each component.
TEST(ProgressiveEncoder, FrameSizesAroundTheMcu)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {8, 8}, {9, 1}, {16, 16}, {17, 9}, {1, 40}, {47, 33}};
    for (const ScriptCase& c : {kScripts[2], kScripts[4], kScripts[8]}) {
        for (const auto& [width, height] : sizes) {
            SCOPED_TRACE(testing::Message() << c.name << " " << width << "x" << height);
            const Image image = MakeImage(width, height, c.imageChannels, 4);
            Codec codec;
            SetUpScript(codec, image, c);
            int rc = 0;
            const Bytes stream = EncodeToMemory(codec.p, &rc);
            ASSERT_EQ(rc, 0) << JpegErrorText(rc);
#if THERMJPEG_TEST_LIBJPEG
            ExpectStoreMatches(*codec.p.Codec, ReadReferenceCoefficients(stream));
#else
            EXPECT_TRUE(ParseStream(stream).ok);
#endif
        }
    }
}

// A Y Cb Cr stream: the DC first scan is preceded by DC tables 0 and 1, every
// AC scan by its own AC table (0 for luminance, 1 for chrominance), the DC
// refinement by none; the SOS segments name the same numbers. A gray stream
// uses DC table 0 only.
TEST(ProgressiveEncoder, EachScanCarriesItsOwnTables)
{
    struct Expected {
        std::vector<std::vector<int>> tablesBeforeScan; // class x 16 + number
        std::vector<std::vector<int>> sosTableBytes;
    };
    const Expected ycc = {
        {{0x00, 0x01}, {0x10}, {0x11}, {0x11}, {0x10}, {0x10}, {}, {0x11}, {0x11}, {0x10}},
        {{0x00, 0x11, 0x11}, {0x00}, {0x11}, {0x11}, {0x00}, {0x00}, {0x00, 0x11, 0x11}, {0x11}, {0x11}, {0x00}},
    };
    const Expected gray = {{{0x00}, {0x10}, {0x10}, {0x10}, {}, {0x10}}, {{0x00}, {0x00}, {0x00}, {0x00}, {0x00}, {0x00}}};
    const struct {
        const ScriptCase& script;
        const Expected& expected;
    } cases[] = {{kScripts[2], ycc}, {kScripts[0], gray}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script.name);
        const Image image = MakeImage(40, 24, c.script.imageChannels, 3);
        const Bytes stream = Encode(image, c.script.imageColour, [&](JPEG_PROPERTIES& p) {
            p.JpegColour = c.script.jpegColour;
            p.JpegChannels = c.script.jpegChannels;
            p.JpegSampling = c.script.sampling;
            p.Progressive = 1;
        });
        const ParsedStream parsed = ParseStream(stream);
        ASSERT_TRUE(parsed.ok);
        std::vector<std::vector<int>> tables, sos;
        std::vector<int> pending;
        for (const auto& segment : parsed.segments) {
            if (segment.marker == 0xC4) {
                ASSERT_FALSE(segment.payload.empty());
                pending.push_back(segment.payload[0]);
                EXPECT_EQ(segment.payload.size(), 17u + [&] {
                    size_t n = 0;
                    for (int i = 1; i <= 16; ++i)
                        n += segment.payload[static_cast<size_t>(i)];
                    return n;
                }()) << "one table per DHT segment";
            } else if (segment.marker == 0xDA) {
                tables.push_back(pending);
                pending.clear();
                std::vector<int> bytes;
                for (int i = 0; i < segment.payload[0]; ++i)
                    bytes.push_back(segment.payload[static_cast<size_t>(2 + 2 * i)]);
                sos.push_back(bytes);
            }
        }
        EXPECT_EQ(tables, c.expected.tablesBeforeScan);
        EXPECT_EQ(sos, c.expected.sosTableBytes);
    }
}

TEST(ProgressiveEncoder, DecodesToTheSamePixelsAsTheBaselineStream)
{
    if (!HaveTool("djpeg"))
        GTEST_SKIP() << "djpeg not installed";
    TempDir dir;
    for (int method : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "DctMethod " << method);
        const Image image = MakeImage(53, 35, 3, 11);
        auto setup = [&](bool progressive) {
            return [=](JPEG_PROPERTIES& p) {
                p.DctMethod = method;
                p.Quality = 80;
                p.Progressive = progressive;
            };
        };
        const Image baseline = Decode(Encode(image, JPEG_COLOUR_BGR, setup(false)), dir, "baseline");
        const Image progressive = Decode(Encode(image, JPEG_COLOUR_BGR, setup(true)), dir, "progressive");
        ASSERT_FALSE(baseline.pixels.empty());
        EXPECT_EQ(progressive.pixels, baseline.pixels);
    }
}

// Digests of whole progressive streams (FNV-1a 64), so that a change in
// any kernel or in the script shows, for the generic and the processor set.
TEST(ProgressiveEncoder, StoredDigestsOfTheMainPaths)
{
    const Image image = MakeImage(161, 97, 3, 12);
    const Image gray = MakeImage(161, 97, 1, 12);
    const struct {
        const char* name;
        const Image* image;
        int colour;
        std::function<void(JPEG_PROPERTIES&)> setup;
        uint64_t digest;          // generic set
        uint64_t processorDigest; // processor set
    } cases[] = {
        {"BGR 4:2:0 q80 accurate", &image, JPEG_COLOUR_BGR, [](auto& p) { p.Quality = 80; }, 0x8ee5319eaaf60bdf, 0x5ad18105336807ab},
        {"RGB as R G B q90 fast", &image, JPEG_COLOUR_RGB, [](auto& p) { p.Quality = 90; p.JpegColour = 1; p.JpegSampling = 0; p.DctMethod = 0; }, 0x62d68bf4b55e8603, 0x62d68bf4b55e8603},
        {"gray q75", &gray, JPEG_COLOUR_GRAY, [](auto& p) { p.JpegChannels = 1; p.JpegColour = 4; p.JpegSampling = 0; }, 0x89f56b3ca0645080, 0x94e36e15be03b488},
    };
    for (const auto& c : cases) {
        const auto encode = [&] {
            return Encode(*c.image, c.colour, [&](JPEG_PROPERTIES& p) {
                c.setup(p);
                p.Progressive = 1;
            });
        };
        ExpectDigestsOfEverySet(c.name, encode, c.digest, c.processorDigest, c.image == &gray);
    }
}

// File and memory output give the same bytes; a memory block one byte
// short fails with -28; InterruptFlag does not stop a progressive write.
TEST(ProgressiveEncoder, FileMemoryAndFullOutput)
{
    const Image image = MakeImage(45, 33, 3, 8);
    Codec codec;
    codec.SetImage(image, JPEG_COLOUR_BGR);
    codec.p.Progressive = 1;
    codec.p.InterruptFlag = 1;
    int rc = 0;
    const Bytes memory = EncodeToMemory(codec.p, &rc);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(codec.p.InterruptFlag, 1);

    TempDir dir;
    const std::string name = dir.Path("p.jpg").string();
    codec.p.JpegFile = name.c_str();
    ASSERT_EQ(JpegWrite(&codec.p, JPEG_MODE_WRITE_FILE), 0);
    EXPECT_EQ(ReadFileBytes(name), memory);
    EXPECT_EQ(codec.p.JpegSize, static_cast<int32_t>(memory.size()));

    EncodeToMemory(codec.p, &rc, JPEG_MODE_WRITE_MEMORY, memory.size() - 1);
    EXPECT_EQ(rc, JPEG_OUTPUT_TOO_SMALL);
    EncodeToMemory(codec.p, &rc, JPEG_MODE_WRITE_MEMORY, memory.size());
    EXPECT_EQ(rc, 0);
}

// A restart interval is kept: a DRI segment after the frame header and RSTn
// markers in every scan, which libjpeg reads back to the stored
// coefficients without a warning and djpeg decodes strictly to the pixels of
// the stream without restarts.
TEST(ProgressiveEncoder, RestartIntervalsGiveMarkersInEveryScan)
{
    const struct {
        const ScriptCase* script;
        int interval;
    } cases[] = {
        {&kScripts[0], 1},   {&kScripts[0], 3}, {&kScripts[2], 2}, {&kScripts[5], 4},
        {&kScripts[8], 5},   {&kScripts[1], 7}, {&kScripts[3], 1000},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.script->name << ", interval " << c.interval);
        const Image image = MakeImage(37, 29, c.script->imageChannels, 9);
        Codec codec;
        SetUpScript(codec, image, *c.script);
        codec.p.RestartInterval = c.interval;
        int rc = 0;
        const Bytes stream = EncodeToMemory(codec.p, &rc);
        ASSERT_EQ(rc, 0) << JpegErrorText(rc);
        const ParsedStream parsed = ParseStream(stream);
        ASSERT_TRUE(parsed.ok);
        ASSERT_EQ(CountMarkers(parsed, 0xDD), 1);
        for (const auto& segment : parsed.segments) {
            if (segment.marker == 0xDD) {
                ASSERT_EQ(segment.payload.size(), 2u);
                EXPECT_EQ(segment.payload[0] << 8 | segment.payload[1], c.interval);
            }
        }
        EXPECT_EQ(CountMarkers(parsed, 0xDA), c.script->scans);
        EXPECT_EQ(parsed.restartMarkers.empty(), c.interval >= 1000);
#if THERMJPEG_TEST_LIBJPEG
        ExpectStoreMatches(*codec.p.Codec, ReadReferenceCoefficients(stream));
#endif
        if (c.script->djpegWrites && HaveTool("djpeg")) {
            const auto file = dir.Path("restart.jpg");
            WriteFileBytes(file, stream);
            EXPECT_EQ(test::Run("djpeg -strict -outfile /dev/null '" + file.string() + "' 2>/dev/null"), 0);
            Codec plain;
            SetUpScript(plain, image, *c.script);
            const Bytes without = EncodeToMemory(plain.p, &rc);
            ASSERT_EQ(rc, 0);
            EXPECT_EQ(Decode(stream, dir, "restart").pixels, Decode(without, dir, "plain").pixels);
        }
    }
    // A gray frame of 5 x 4 blocks: each of its six scans codes 20 MCUs of one
    // block, so an interval of 3 puts RST0 to RST5 into every scan.
    const Image gray = MakeImage(37, 29, 1, 9);
    Codec codec;
    SetUpScript(codec, gray, kScripts[0]);
    codec.p.RestartInterval = 3;
    int rc = 0;
    const ParsedStream parsed = ParseStream(EncodeToMemory(codec.p, &rc));
    ASSERT_EQ(rc, 0);
    std::vector<int> expected;
    for (int scan = 0; scan < 6; ++scan)
        for (int n = 0; n < 6; ++n)
            expected.push_back(n);
    EXPECT_EQ(parsed.restartMarkers, expected);
}

// The store is sized with checked 64-bit arithmetic: a 65535 x 65535 frame
// at 4:2:0 needs more than 4 GiB, which 32 bits cannot count.
TEST(ProgressiveEncoder, CoefficientStoreSizeIsCheckedIn64Bits)
{
    size_t bytes = 0;
    ASSERT_TRUE(JpegCoefficientStoreSize(int64_t{4096} * 4096, 6, bytes));
    EXPECT_EQ(bytes, size_t{4096} * 4096 * 6 * 128);
    EXPECT_FALSE(JpegCoefficientStoreSize(INT64_MAX / 64, 10, bytes));
    EXPECT_FALSE(JpegCoefficientStoreSize(-1, 6, bytes));
    ASSERT_TRUE(JpegCoefficientStoreSize(1200, 6, bytes));
    EXPECT_EQ(bytes, 921600u); // 640 x 480 at 4:2:0
}

TEST(ProgressiveEncoder, SecondWriteReplacesTheStore)
{
    Codec codec;
    const Image large = MakeImage(64, 48, 3, 1), small = MakeImage(17, 9, 3, 2);
    int rc = 0;
    codec.SetImage(large, JPEG_COLOUR_BGR);
    codec.p.Progressive = 1;
    EncodeToMemory(codec.p, &rc);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(codec.p.Codec->coefficientBytes, 12u * 6 * 128);
    codec.SetImage(small, JPEG_COLOUR_BGR);
    const Bytes stream = EncodeToMemory(codec.p, &rc);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(codec.p.Codec->coefficientBytes, 2u * 6 * 128);
#if THERMJPEG_TEST_LIBJPEG
    ExpectStoreMatches(*codec.p.Codec, ReadReferenceCoefficients(stream));
#endif
}

// Tables first (mode 11), then the abbreviated progressive image (mode 13):
// one SOI, then the frame, with no DQT in front of it.
TEST(ProgressiveEncoder, AbbreviatedImageStartsWithOneSoi)
{
    const Image image = MakeImage(24, 16, 3, 9);
    Codec codec;
    codec.SetImage(image, JPEG_COLOUR_BGR);
    codec.p.Progressive = 1;
    int rc = 0;
    const Bytes tables = EncodeToMemory(codec.p, &rc, JPEG_MODE_TABLES_MEMORY);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(CountMarkers(ParseStream(tables), 0xC4), 0) << "progressive tables come with the scans";
    const Bytes image13 = EncodeToMemory(codec.p, &rc, JPEG_MODE_ABBREVIATED_MEMORY);
    ASSERT_EQ(rc, 0);
    const ParsedStream parsed = ParseStream(image13);
    ASSERT_TRUE(parsed.ok);
    const std::vector<uint8_t> markers = MarkerSequence(parsed);
    ASSERT_GE(markers.size(), 3u);
    EXPECT_EQ(markers[0], 0xD8);
    EXPECT_EQ(markers[1], 0xC2);
    EXPECT_EQ(CountMarkers(parsed, 0xD8), 1);
    EXPECT_EQ(CountMarkers(parsed, 0xDB), 0);
    EXPECT_EQ(CountMarkers(parsed, 0xDA), 10);
}

// Planes of coefficients go into the store unchanged, extreme values
// included, and read back through libjpeg.
TEST(ProgressiveEncoder, PlanesOfCoefficientsAreStoredUnchanged)
{
    const int width = 24, height = 16; // gray: 3 x 2 blocks
    std::vector<int16_t> plane(static_cast<size_t>(width) * height);
    uint32_t state = 17;
    for (auto& v : plane) {
        state = state * 1664525u + 1013904223u;
        const int r = static_cast<int>(state >> 20) % 64;
        v = static_cast<int16_t>(r < 40 ? 0 : r < 60 ? (r - 50) : (r == 60 ? 1023 : -1023));
    }
    JpegPlaneInput planes{0, {plane.data(), nullptr, nullptr, nullptr}};
    Codec codec;
    codec.p.PlaneInput = &planes;
    codec.p.JpegWidth = width;
    codec.p.JpegHeight = height;
    codec.p.ImageColour = JPEG_COLOUR_GRAY;
    codec.p.ImageChannels = 1;
    codec.p.JpegColour = JPEG_COLOUR_GRAY;
    codec.p.JpegChannels = 1;
    codec.p.JpegSampling = JPEG_SAMPLING_444;
    codec.p.Progressive = 1;
    int rc = 0;
    const Bytes stream = EncodeToMemory(codec.p, &rc);
    ASSERT_EQ(rc, 0) << JpegErrorText(rc);
    const int16_t* store = codec.p.Codec->coefficients.get();
    for (int by = 0; by < 2; ++by) {
        for (int bx = 0; bx < 3; ++bx) {
            const int16_t* block = store + (by * 3 + bx) * 64;
            for (int i = 0; i < 64; ++i)
                ASSERT_EQ(block[i], plane[static_cast<size_t>((by * 8 + i / 8) * width + bx * 8 + i % 8)]);
        }
    }
#if THERMJPEG_TEST_LIBJPEG
    ExpectStoreMatches(*codec.p.Codec, ReadReferenceCoefficients(stream));
#endif
}

} // namespace
} // namespace thermjpeg::test
