// The baseline encoder end to end: restart markers, file and memory output,
// interruption and resume, caller planes, full outputs, and stored digests
// of the main paths.
#include <gtest/gtest.h>
#include <unistd.h>

#include "codec_state.h"
#include "default_tables.h"
#include "decoder_support.h"
#include "test_support.h"

namespace thermjpeg::test {
namespace {

Bytes EncodeFile(const Image& image, int colour, const std::function<void(JPEG_PROPERTIES&)>& setup, int* rc)
{
    TempDir dir;
    const std::string name = dir.Path("out.jpg").string();
    Codec codec;
    codec.SetImage(image, colour);
    if (setup)
        setup(codec.p);
    codec.p.JpegFile = name.c_str();
    *rc = JpegWrite(&codec.p, JPEG_MODE_WRITE_FILE);
    const Bytes bytes = ReadFileBytes(name);
    EXPECT_EQ(codec.p.JpegSize, static_cast<int32_t>(bytes.size()));
    return bytes;
}

TEST(BaselineEncoder, RestartMarkersStandBetweenIntervals)
{
    const struct {
        int width, height, interval;
        std::vector<int> markers;
    } cases[] = {
        {48, 16, 1, {0, 1}},                      // 3 MCUs
        {64, 16, 2, {0}},                         // 4 MCUs
        {160, 16, 1, {0, 1, 2, 3, 4, 5, 6, 7, 0}}, // 10 MCUs: numbers wrap after 7
        {112, 16, 3, {0, 1}},                     // 7 MCUs
        {16, 16, 1, {}},                          // 1 MCU
        {40, 40, 4, {0, 1}},                      // 3 x 3 MCUs over row ends
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " interval " << c.interval);
        const Image image = MakeImage(c.width, c.height, 3, 4);
        const Bytes plain = Encode(image, JPEG_COLOUR_BGR);
        const Bytes restarted = Encode(image, JPEG_COLOUR_BGR, [&](JPEG_PROPERTIES& p) { p.RestartInterval = c.interval; });
        const ParsedStream parsed = ParseStream(restarted);
        ASSERT_TRUE(parsed.ok);
        EXPECT_EQ(parsed.restartMarkers, c.markers);
        bool hasDri = false;
        for (const auto& segment : parsed.segments) {
            if (segment.marker == 0xDD) {
                hasDri = true;
                EXPECT_EQ(segment.payload, (Bytes{0, static_cast<uint8_t>(c.interval)}));
            }
        }
        EXPECT_TRUE(hasDri);
        if (HaveTool("djpeg")) {
            const Image a = Decode(plain, dir, "plain"), b = Decode(restarted, dir, "restarted");
            ASSERT_FALSE(a.pixels.empty());
            EXPECT_EQ(a.pixels, b.pixels);
        }
    }
}

TEST(BaselineEncoder, FileAndMemoryOutputAreIdentical)
{
    const struct {
        int width, height, sampling, interval;
    } cases[] = {{1, 1, 1, 0}, {33, 17, 0, 0}, {200, 150, 1, 0}, {200, 150, 2, 5}, {640, 480, 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        const Image image = MakeImage(c.width, c.height, 3, 6);
        const auto setup = [&](JPEG_PROPERTIES& p) {
            p.JpegSampling = c.sampling;
            p.RestartInterval = c.interval;
        };
        int rc = 0;
        const Bytes file = EncodeFile(image, JPEG_COLOUR_BGR, setup, &rc);
        ASSERT_EQ(rc, 0);
        EXPECT_EQ(file, Encode(image, JPEG_COLOUR_BGR, setup));
    }
}

// Interrupting after every MCU and resuming gives the same stream, in file
// and memory, across row ends and restart intervals.
TEST(BaselineEncoder, InterruptThenResumeIsByteIdentical)
{
    const struct {
        int width, height, sampling, interval, mode;
    } cases[] = {
        {50, 40, 1, 0, JPEG_MODE_WRITE_MEMORY},
        {50, 40, 1, 3, JPEG_MODE_WRITE_MEMORY},
        {50, 40, 0, 0, JPEG_MODE_WRITE_FILE},
        {300, 200, 1, 2, JPEG_MODE_WRITE_FILE},
        {1, 1, 1, 0, JPEG_MODE_WRITE_MEMORY},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " mode " << c.mode);
        const Image image = MakeImage(c.width, c.height, 3, 8);
        const auto setup = [&](JPEG_PROPERTIES& p) {
            p.JpegSampling = c.sampling;
            p.RestartInterval = c.interval;
        };
        const Bytes whole = Encode(image, JPEG_COLOUR_BGR, setup);

        Codec codec;
        codec.SetImage(image, JPEG_COLOUR_BGR);
        setup(codec.p);
        const std::string name = dir.Path("interrupted.jpg").string();
        codec.p.JpegFile = name.c_str();
        Bytes memory(whole.size() + 1000);
        codec.p.JpegBytes = memory.data();
        codec.p.JpegSize = static_cast<int32_t>(memory.size());
        const CodecState& s = *codec.p.Codec;

        int calls = 0;
        int rc = 0;
        do {
            codec.p.InterruptFlag = 1;
            rc = JpegWrite(&codec.p, c.mode);
            ++calls;
            if (rc == JPEG_INTERRUPTED) {
                EXPECT_EQ(codec.p.InterruptFlag, 0);
                EXPECT_TRUE(s.scan.has_value());
                EXPECT_EQ(s.scan->resumeRow * s.mcusPerRow + s.scan->resumeColumn, calls);
            }
        } while (rc == JPEG_INTERRUPTED && calls < 10000);
        ASSERT_EQ(rc, 0);
        EXPECT_EQ(calls, s.mcuCount + 1); // the last call only ends the stream
        EXPECT_FALSE(s.scan.has_value());
        const Bytes result = c.mode == JPEG_MODE_WRITE_FILE
                                 ? ReadFileBytes(name)
                                 : Bytes(memory.begin(), memory.begin() + codec.p.JpegSize);
        EXPECT_EQ(result, whole);
    }
}

TEST(BaselineEncoder, ResumeWithAnotherModeEndsTheEncode)
{
    const Image image = MakeImage(40, 40, 3);
    Codec codec;
    codec.SetImage(image, JPEG_COLOUR_BGR);
    Bytes memory(100000);
    codec.p.JpegBytes = memory.data();
    codec.p.JpegSize = static_cast<int32_t>(memory.size());
    codec.p.InterruptFlag = 1;
    ASSERT_EQ(JpegWrite(&codec.p, JPEG_MODE_WRITE_MEMORY), JPEG_INTERRUPTED);
    EXPECT_EQ(JpegWrite(&codec.p, JPEG_MODE_ABBREVIATED_MEMORY), JPEG_INVALID_PROPERTIES);
    EXPECT_FALSE(codec.p.Codec->scan.has_value());
    codec.p.JpegSize = static_cast<int32_t>(memory.size());
    EXPECT_EQ(JpegWrite(&codec.p, JPEG_MODE_WRITE_MEMORY), 0);
}

TEST(BaselineEncoder, OneByOneImageIsOneMcuOfSixBlocks)
{
    const Bytes stream = Encode(MakeUniformImage(1, 1, 3, {10, 200, 30}), JPEG_COLOUR_BGR);
    const ParsedStream parsed = ParseStream(stream);
    ASSERT_TRUE(parsed.ok);
    BlockDecoder decoder(parsed.entropy);
    BlockDecoder::Block block;
    const BlockDecoder::Table dc0{kDcLuminanceBits, kDcLuminanceValues}, ac0{kAcLuminanceBits, kAcLuminanceValues};
    const BlockDecoder::Table dc1{kDcChrominanceBits, kDcChrominanceValues}, ac1{kAcChrominanceBits, kAcChrominanceValues};
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(decoder.Decode(dc0, ac0, block));
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(decoder.Decode(dc1, ac1, block));
    EXPECT_EQ(block.symbols.size(), 2u); // uniform: DC and EOB
}

TEST(BaselineEncoder, PlanesOfCoefficientsAreWrittenUnchanged)
{
    // Two by two blocks of one gray component at quality 50 (DC step 16).
    std::vector<int16_t> plane(16 * 16, 0);
    const int16_t dcs[4] = {2, -3, 0, 7};
    for (int b = 0; b < 4; ++b)
        plane[(b / 2) * 8 * 16 + (b % 2) * 8] = dcs[b];
    plane[1] = 5; // block 0, natural position 1 (zig-zag 1)
    plane[16] = -4; // block 0, natural position 8 (zig-zag 2)
    JpegPlaneInput input{0, {plane.data(), nullptr, nullptr, nullptr}};
    Codec codec;
    codec.p.JpegWidth = 16;
    codec.p.JpegHeight = 16;
    codec.p.ImageColour = JPEG_COLOUR_GRAY;
    codec.p.ImageChannels = 1;
    codec.p.JpegColour = JPEG_COLOUR_GRAY;
    codec.p.JpegChannels = 1;
    codec.p.JpegSampling = 0;
    codec.p.Quality = 50;
    codec.p.PlaneInput = &input;
    int rc = 0;
    const Bytes stream = EncodeToMemory(codec.p, &rc);
    ASSERT_EQ(rc, 0);
    const ParsedStream parsed = ParseStream(stream);
    BlockDecoder decoder(parsed.entropy);
    int predictor = 0;
    for (int b = 0; b < 4; ++b) {
        BlockDecoder::Block block;
        ASSERT_TRUE(decoder.Decode({kDcLuminanceBits, kDcLuminanceValues}, {kAcLuminanceBits, kAcLuminanceValues}, block));
        predictor += block.coefficients[0];
        EXPECT_EQ(predictor, dcs[b]);
        EXPECT_EQ(block.coefficients[1], b == 0 ? 5 : 0);
        EXPECT_EQ(block.coefficients[2], b == 0 ? -4 : 0);
    }
    if (HaveTool("djpeg")) {
        TempDir dir;
        plane[1] = plane[16] = 0;
        const Image decoded = Decode(EncodeToMemory(codec.p, &rc), dir);
        ASSERT_EQ(decoded.pixels.size(), 256u);
        EXPECT_EQ(decoded.pixels[0], 128 + 2 * 16 / 8);
        EXPECT_EQ(decoded.pixels[8], 128 - 3 * 16 / 8);
    }
}

TEST(BaselineEncoder, PlanesOfSamplesMatchThePixelPath)
{
    const struct {
        Image image;
        int colour, jpegColour, channels;
    } cases[] = {
        {MakeImage(24, 16, 1, 3), JPEG_COLOUR_GRAY, JPEG_COLOUR_GRAY, 1},
        {MakeImage(24, 16, 3, 3), JPEG_COLOUR_YCBCR, JPEG_COLOUR_YCBCR, 3},
    };
    for (const auto& c : cases) {
        const auto layout = [&](JPEG_PROPERTIES& p) {
            p.JpegColour = c.jpegColour;
            p.JpegChannels = c.channels;
            p.JpegSampling = 0;
        };
        const Bytes fromPixels = Encode(c.image, c.colour, layout);
        std::vector<std::vector<int16_t>> planes(c.channels);
        for (size_t i = 0; i < c.image.pixels.size(); ++i)
            planes[i % c.channels].push_back(c.image.pixels[i]);
        JpegPlaneInput input{1, {}};
        for (int k = 0; k < c.channels; ++k)
            input.Planes[k] = planes[k].data();
        const Bytes fromPlanes = Encode(c.image, c.colour, [&](JPEG_PROPERTIES& p) {
            layout(p);
            p.PlaneInput = &input;
            p.ImageBytes = nullptr;
        });
        EXPECT_EQ(fromPixels, fromPlanes);
    }
}

TEST(BaselineEncoder, MemoryOutputMustHoldTheWholeStream)
{
    const Image image = MakeImage(64, 48, 3, 2);
    const Bytes whole = Encode(image, JPEG_COLOUR_BGR);
    for (size_t capacity : {whole.size(), whole.size() - 1, whole.size() / 2, size_t{100}, size_t{1}}) {
        SCOPED_TRACE(capacity);
        Codec codec;
        codec.SetImage(image, JPEG_COLOUR_BGR);
        Bytes memory(capacity);
        codec.p.JpegBytes = memory.data();
        codec.p.JpegSize = static_cast<int32_t>(capacity);
        const int rc = JpegWrite(&codec.p, JPEG_MODE_WRITE_MEMORY);
        if (capacity == whole.size()) {
            EXPECT_EQ(rc, 0);
            EXPECT_EQ(memory, whole);
            continue;
        }
        EXPECT_EQ(rc, JPEG_OUTPUT_TOO_SMALL);
        ASSERT_LE(static_cast<size_t>(codec.p.JpegSize), capacity);
        EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + codec.p.JpegSize, whole.begin()));
    }
}

TEST(BaselineEncoder, FileFailuresLeaveNoHandleOpen)
{
    const struct {
        const char* path;
        int expected;
    } cases[] = {
        {"/nonexistent-folder/out.jpg", JPEG_INVALID_FILE_NAME},
        {"/dev/full", JPEG_FILE_ERROR}, // every write fails
    };
    const Image image = MakeImage(64, 64, 3);
    for (const auto& c : cases) {
        if (std::string(c.path) == "/dev/full" && access(c.path, W_OK) != 0)
            continue;
        Codec codec;
        codec.SetImage(image, JPEG_COLOUR_BGR);
        codec.p.JpegFile = c.path;
        EXPECT_EQ(JpegWrite(&codec.p, JPEG_MODE_WRITE_FILE), c.expected) << c.path;
        EXPECT_EQ(codec.p.Codec->out.file, -1);
    }
}

TEST(BaselineEncoder, ReuseSettingsRepeatsTheLastWrite)
{
    const Image image = MakeImage(30, 20, 3);
    Codec codec;
    codec.SetImage(image, JPEG_COLOUR_BGR);
    codec.p.Quality = 60;
    Bytes memory(100000);
    codec.p.JpegBytes = memory.data();
    codec.p.JpegSize = static_cast<int32_t>(memory.size());
    ASSERT_EQ(JpegWrite(&codec.p, JPEG_MODE_WRITE_MEMORY), 0);
    const Bytes first(memory.begin(), memory.begin() + codec.p.JpegSize);
    std::fill(memory.begin(), memory.end(), 0);

    // Neither checked nor read: the state keeps the first write's settings,
    // the memory block included.
    codec.p.ReuseSettings = 1;
    codec.p.Quality = 10;
    codec.p.ImageWidth = 0;
    codec.p.JpegBytes = nullptr;
    ASSERT_EQ(JpegWrite(&codec.p, JPEG_MODE_WRITE_MEMORY), 0);
    EXPECT_EQ(Bytes(memory.begin(), memory.begin() + codec.p.JpegSize), first);
}

// Digests of whole streams on the main paths (FNV-1a 64), so that a change
// in any kernel shows: one digest for the generic set, one for the
// processor set, whose accurate forward transform may round differently.
// The pictures come from MakeImage, so a change there needs new digests.
TEST(BaselineEncoder, StoredDigestsOfTheMainPaths)
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
        {"BGR 4:2:0 q80 accurate", &image, JPEG_COLOUR_BGR, [](auto& p) { p.Quality = 80; }, 0x7cd5d46f862ad958, 0x4f1ccd6678ab2422},
        {"BGR 4:4:4 q80 accurate", &image, JPEG_COLOUR_BGR, [](auto& p) { p.Quality = 80; p.JpegSampling = 0; }, 0x108dcf81c3ec7b76, 0x400d9967b667bf6c},
        {"RGB 4:2:2 q90 fast", &image, JPEG_COLOUR_RGB, [](auto& p) { p.Quality = 90; p.JpegSampling = 2; p.DctMethod = 0; }, 0xc25d18f554956a50, 0xc25d18f554956a50},
        {"gray q75 restart 4", &gray, JPEG_COLOUR_GRAY, [](auto& p) { p.JpegChannels = 1; p.JpegColour = 4; p.JpegSampling = 0; p.RestartInterval = 4; }, 0x408c62275347e913, 0x886a63348ded3871},
    };
    for (const auto& c : cases) {
        ExpectDigestsOfEverySet(
            c.name, [&] { return Encode(*c.image, c.colour, c.setup); }, c.digest, c.processorDigest,
            c.image == &gray);
    }
}

} // namespace
} // namespace thermjpeg::test
