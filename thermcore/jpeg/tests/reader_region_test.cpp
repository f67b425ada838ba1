// Region reads, the restart index, interrupted and resumed reads, and file
// against memory input.
#include <gtest/gtest.h>

#include "decoder_support.h"

namespace thermjpeg::test {
namespace {

Image Crop(const Image& image, int left, int top, int right, int bottom)
{
    Image out{right - left, bottom - top, image.channels, {}};
    for (int y = top; y < bottom; ++y) {
        const auto row = image.pixels.begin() + (static_cast<long>(y) * image.width + left) * image.channels;
        out.pixels.insert(out.pixels.end(), row, row + static_cast<long>(out.width) * image.channels);
    }
    return out;
}

struct Stream {
    const char* name;
    Bytes jpeg;
    bool smooth;
};

std::vector<Stream> Streams()
{
    const Image image = MakeImage(77, 53, 3, 11);
    return {
        {"4:2:0", Encode(image, JPEG_COLOUR_RGB), false},
        {"4:2:0 smoothed", Encode(image, JPEG_COLOUR_RGB), true},
        {"4:2:2 smoothed", Encode(image, JPEG_COLOUR_RGB, [](JPEG_PROPERTIES& p) { p.JpegSampling = 2; }), true},
        {"4:4:4 restart 3",
         Encode(image, JPEG_COLOUR_RGB, [](JPEG_PROPERTIES& p) { p.JpegSampling = 0, p.RestartInterval = 3; }),
         false},
        {"progressive", Encode(image, JPEG_COLOUR_RGB, [](JPEG_PROPERTIES& p) { p.Progressive = 1; }), false},
    };
}

TEST(RegionRead, EqualsTheCropOfTheFullRead)
{
    const JpegRegion regions[] = {{13, 9, 70, 40}, {0, 27, 0, 0}, {16, 16, 32, 32}, {76, 52, 77, 53}, {5, 0, 6, 53}};
    for (const Stream& s : Streams()) {
        for (const int mode : {JPEG_MODE_READ_MEMORY, JPEG_MODE_READ_HALF_MEMORY}) {
            auto smooth = [&](JPEG_PROPERTIES& p) { p.SmoothUpsampling = s.smooth; };
            const ReadResult full = ReadJpeg(s.jpeg, JPEG_COLOUR_BGR, 3, mode, smooth);
            ASSERT_EQ(full.rc, 0) << s.name;
            for (JpegRegion region : regions) {
                if (mode == JPEG_MODE_READ_HALF_MEMORY) {
                    region = {region.Left / 2, region.Top / 2, (region.Right + 1) / 2, (region.Bottom + 1) / 2};
                    if (region.Left >= full.image.width - 1)
                        continue;
                }
                const int right = region.Right ? region.Right : full.image.width;
                const int bottom = region.Bottom ? region.Bottom : full.image.height;
                const ReadResult r = ReadJpeg(
                    s.jpeg, JPEG_COLOUR_BGR, 3, mode,
                    [&](JPEG_PROPERTIES& p) {
                        smooth(p);
                        p.OutputRegion = region;
                    },
                    right - region.Left, bottom - region.Top);
                const std::string what = std::string(s.name) + " mode " + std::to_string(mode) + " at " +
                                         std::to_string(region.Left) + "," + std::to_string(region.Top);
                ASSERT_EQ(r.rc, JPEG_ROI_SUCCESS) << what;
                EXPECT_EQ(r.image.pixels, Crop(full.image, region.Left, region.Top, right, bottom).pixels) << what;
            }
        }
    }
}

TEST(RegionRead, RepeatedReadSkipsTheRowsAboveThroughTheRestartIndex)
{
    const Image image = MakeImage(64, 128, 3, 2);
    Bytes jpeg = Encode(image, JPEG_COLOUR_RGB);
    Codec codec;
    JPEG_PROPERTIES& p = codec.p;
    Image lower{64, 64, 3, Bytes(64 * 64 * 3)};
    p.ImageBytes = lower.pixels.data();
    p.ImageWidth = 64;
    p.ImageHeight = 64;
    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_RGB;
    p.JpegBytes = jpeg.data();
    p.JpegSize = static_cast<int32_t>(jpeg.size());
    p.OutputRegion = {0, 64, 64, 128};
    ASSERT_EQ(JpegRead(&p, JPEG_MODE_READ_MEMORY), JPEG_ROI_SUCCESS);
    const Bytes first = lower.pixels;

    // Damage the entropy data of the upper rows in place: a read that still
    // decoded them would go wrong, one that jumps through the index does not.
    size_t sos = 0;
    while (!(jpeg[sos] == 0xFF && jpeg[sos + 1] == 0xDA))
        ++sos;
    const size_t data = sos + 2 + ((jpeg[sos + 2] << 8) | jpeg[sos + 3]);
    for (size_t i = data + 10; i < data + 200; ++i)
        jpeg[i] = jpeg[i] == 0xFF ? 0xFF : static_cast<uint8_t>(jpeg[i] ^ 0x5C);
    std::fill(lower.pixels.begin(), lower.pixels.end(), 0);
    ASSERT_EQ(JpegRead(&p, JPEG_MODE_READ_MEMORY), JPEG_ROI_SUCCESS);
    EXPECT_EQ(lower.pixels, first);

    // A fresh record has no index: it decodes the damaged rows and differs.
    const ReadResult fresh = ReadJpeg(jpeg, JPEG_COLOUR_RGB, 3, JPEG_MODE_READ_MEMORY,
                                      [](JPEG_PROPERTIES& q) { q.OutputRegion = {0, 64, 64, 128}; }, 64, 64);
    EXPECT_NE(fresh.image.pixels, first);
}

TEST(InterruptedRead, InterruptAfterEveryMcuAndResumeGivesTheSameImage)
{
    for (const Stream& s : Streams()) {
        const ReadResult full = ReadJpeg(s.jpeg, JPEG_COLOUR_RGB, 3, JPEG_MODE_READ_MEMORY,
                                         [&](JPEG_PROPERTIES& p) { p.SmoothUpsampling = s.smooth; });
        ASSERT_EQ(full.rc, 0);
        for (const int mode : {JPEG_MODE_READ_MEMORY, JPEG_MODE_READ_FILE}) {
            Codec codec;
            JPEG_PROPERTIES& p = codec.p;
            TempDir dir;
            const std::string path = dir.Path("in.jpg").string();
            WriteFileBytes(path, s.jpeg);
            Bytes copy = s.jpeg;
            Image out{77, 53, 3, Bytes(77 * 53 * 3)};
            p.ImageBytes = out.pixels.data();
            p.ImageWidth = 77;
            p.ImageHeight = 53;
            p.ImageChannels = 3;
            p.ImageColour = JPEG_COLOUR_RGB;
            p.JpegBytes = copy.data();
            p.JpegSize = static_cast<int32_t>(copy.size());
            p.JpegFile = path.c_str();
            p.SmoothUpsampling = s.smooth;
            int calls = 0, rc;
            int lastRow = 0;
            do {
                p.InterruptFlag = 1;
                rc = JpegRead(&p, mode);
                ++calls;
                if (rc == JPEG_INTERRUPTED) {
                    EXPECT_EQ(p.InterruptFlag, 0);
                    EXPECT_GT(p.InterruptColumn, 0);
                    if (std::string(s.name) != "progressive") {
                        EXPECT_GE(p.InterruptRow, lastRow); // a sequential scan moves down only
                    }
                    lastRow = p.InterruptRow;
                }
            } while (rc == JPEG_INTERRUPTED && calls < 10000);
            ASSERT_EQ(rc, 0) << s.name;
            EXPECT_GE(calls, 20) << s.name; // 5 x 4 MCUs at 4:2:0, more otherwise
            EXPECT_EQ(out.pixels, full.image.pixels) << s.name << " mode " << mode;
        }
    }
}

TEST(InterruptedRead, FileAndMemoryReadsAgree)
{
    for (const Stream& s : Streams()) {
        for (const auto& [file, memory] : {std::pair{2, 3}, std::pair{14, 15}, std::pair{18, 19}}) {
            const ReadResult a = ReadJpeg(s.jpeg, JPEG_COLOUR_BGR, 3, file);
            const ReadResult b = ReadJpeg(s.jpeg, JPEG_COLOUR_BGR, 3, memory);
            ASSERT_EQ(a.rc, 0);
            ASSERT_EQ(b.rc, 0);
            EXPECT_EQ(a.image.pixels, b.image.pixels) << s.name << " mode " << file;
        }
    }
}

TEST(InterruptedRead, NegativeHeightAndPaddingPlaceTheRows)
{
    const Bytes jpeg = Encode(MakeImage(21, 13, 3, 6), JPEG_COLOUR_RGB);
    const ReadResult top = ReadJpeg(jpeg, JPEG_COLOUR_RGB, 3);
    ASSERT_EQ(top.rc, 0);
    Codec codec;
    JPEG_PROPERTIES& p = codec.p;
    Bytes copy = jpeg;
    const int stride = 21 * 3 + 5;
    Bytes buffer(static_cast<size_t>(stride) * 13, 0xEE);
    p.ImageBytes = buffer.data();
    p.ImageWidth = 21;
    p.ImageHeight = -13;
    p.ImagePadBytes = 5;
    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_RGB;
    p.JpegBytes = copy.data();
    p.JpegSize = static_cast<int32_t>(copy.size());
    ASSERT_EQ(JpegRead(&p, JPEG_MODE_READ_MEMORY), 0);
    for (int y = 0; y < 13; ++y) {
        const uint8_t* row = buffer.data() + static_cast<size_t>(12 - y) * stride;
        EXPECT_TRUE(std::equal(row, row + 63, top.image.pixels.begin() + y * 63)) << y;
        EXPECT_EQ(row[63], 0xEE); // padding untouched
    }
}

} // namespace
} // namespace thermjpeg::test

namespace thermjpeg::test {
namespace {

// A plane read of the stream (kept in `copy`) on the record.
int ReadPlanes(Codec& codec, Bytes& copy, const Bytes& jpeg, int kind)
{
    copy = jpeg;
    codec.p.JpegBytes = copy.data();
    codec.p.JpegSize = static_cast<int32_t>(copy.size());
    codec.p.PlaneOutput = kind;
    return JpegRead(&codec.p, JPEG_MODE_READ_MEMORY);
}

TEST(PlaneOutput, CoefficientPlanesWriteBackToTheSameStreamAndSamplePlanesMatchThePixels)
{
    const Image image = MakeImage(45, 29, 3, 8);
    for (const int progressive : {0, 1}) {
        const Bytes jpeg = Encode(image, JPEG_COLOUR_RGB, [&](JPEG_PROPERTIES& p) { p.Progressive = progressive; });
        Codec reader;
        Bytes copy;
        ASSERT_EQ(ReadPlanes(reader, copy, jpeg, 2), 0);
        ASSERT_NE(reader.p.OutputPlanes[2], nullptr);
        EXPECT_EQ(reader.p.OutputPlaneWidth[0], 48);  // 3 MCUs of 16
        EXPECT_EQ(reader.p.OutputPlaneHeight[0], 32); // 2 MCUs of 16
        EXPECT_EQ(reader.p.OutputPlaneWidth[1], 24);

        // The coefficients written back through PlaneInput give the stream again.
        JpegPlaneInput planes{0, {}};
        for (int c = 0; c < 3; ++c)
            planes.Planes[c] = reader.p.OutputPlanes[c];
        const Bytes again = Encode(image, JPEG_COLOUR_RGB, [&](JPEG_PROPERTIES& p) {
            p.Progressive = progressive;
            p.PlaneInput = &planes;
        });
        EXPECT_EQ(again, jpeg) << "progressive " << progressive;
    }

    // Sample planes of a gray image hold the pixels of a gray read.
    const Bytes gray = Encode(MakeImage(45, 29, 1, 8), JPEG_COLOUR_GRAY, [](JPEG_PROPERTIES& p) {
        p.ImageChannels = 1;
        p.JpegChannels = 1;
        p.JpegColour = JPEG_COLOUR_GRAY;
        p.JpegSampling = 0;
    });
    const ReadResult pixels = ReadJpeg(gray, JPEG_COLOUR_GRAY, 1);
    ASSERT_EQ(pixels.rc, 0);
    Codec codec;
    Bytes copy;
    ASSERT_EQ(ReadPlanes(codec, copy, gray, 1), 0); // no pixel buffer needed
    const int line = codec.p.OutputPlaneWidth[0];
    for (int y = 0; y < 29; ++y) {
        for (int x = 0; x < 45; ++x)
            ASSERT_EQ(codec.p.OutputPlanes[0][y * line + x], pixels.image.pixels[y * 45 + x]) << x << "," << y;
    }
    // Planes of a reduced read or a region are refused.
    codec.p.OutputRegion = {0, 8, 0, 0};
    EXPECT_EQ(JpegRead(&codec.p, JPEG_MODE_READ_MEMORY), JPEG_INVALID_PROPERTIES);
}

} // namespace
} // namespace thermjpeg::test
