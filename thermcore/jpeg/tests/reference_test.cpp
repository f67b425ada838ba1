// Streams checked against Debian's libjpeg-turbo tools: djpeg decodes every
// stream, the PSNR stays within 0.5 dB of cjpeg at the same quality and
// sampling, and the DQT tables equal those of cjpeg -baseline.
#include <gtest/gtest.h>

#include "test_support.h"

namespace thermjpeg::test {
namespace {

class ReferenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveTool("djpeg") || !HaveTool("cjpeg"))
            GTEST_SKIP() << "djpeg/cjpeg not installed (scripts/setup installs libjpeg-turbo-progs)";
    }

    // cjpeg's stream for an R, G, B or gray image.
    Bytes Cjpeg(const Image& rgb, const std::string& options)
    {
        const auto in = dir.Path("ref.pnm");
        const auto out = dir.Path("ref.jpg");
        WritePnm(in, rgb);
        if (test::Run("cjpeg " + options + " -outfile '" + out.string() + "' '" + in.string() + "'") != 0)
            return {};
        return ReadFileBytes(out);
    }

    TempDir dir;
};

struct PsnrCase {
    int width, height;
    int sampling; // JPEG_SAMPLING_*
    int dctMethod;
    int quality;
};

TEST_F(ReferenceTest, PsnrWithinHalfDecibelOfCjpeg)
{
    const PsnrCase cases[] = {
        {1, 1, JPEG_SAMPLING_420, 1, 80},    {7, 5, JPEG_SAMPLING_420, 1, 80},    {17, 16, JPEG_SAMPLING_420, 1, 80},
        {33, 31, JPEG_SAMPLING_444, 1, 80},  {47, 9, JPEG_SAMPLING_422, 1, 80},   {640, 480, JPEG_SAMPLING_420, 1, 80},
        {640, 480, JPEG_SAMPLING_444, 1, 80}, {320, 240, JPEG_SAMPLING_420, 0, 80}, {160, 120, JPEG_SAMPLING_420, 1, 30},
        {160, 120, JPEG_SAMPLING_444, 1, 95},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " sampling " << c.sampling << " dct "
                                        << c.dctMethod << " q" << c.quality);
        const Image bgr = MakeImage(c.width, c.height, 3, 7);
        const Image rgb = SwapRedBlue(bgr);
        const Bytes ours = Encode(bgr, JPEG_COLOUR_BGR, [&](JPEG_PROPERTIES& p) {
            p.JpegSampling = c.sampling;
            p.DctMethod = c.dctMethod;
            p.Quality = c.quality;
        });
        const char* sample = c.sampling == JPEG_SAMPLING_420 ? "2x2" : c.sampling == JPEG_SAMPLING_422 ? "2x1" : "1x1";
        const Bytes reference = Cjpeg(rgb, std::string("-quality ") + std::to_string(c.quality) + " -sample " + sample +
                                               (c.dctMethod == 0 ? " -dct fast" : " -dct int"));
        const Image decodedOurs = Decode(ours, dir, "ours");
        const Image decodedReference = Decode(reference, dir, "theirs");
        ASSERT_EQ(decodedOurs.width, c.width);
        ASSERT_EQ(decodedOurs.height, c.height);
        const double psnrOurs = Psnr(decodedOurs, rgb);
        const double psnrReference = Psnr(decodedReference, rgb);
        EXPECT_GT(psnrOurs, psnrReference - 0.5) << "ours " << psnrOurs << " dB, cjpeg " << psnrReference << " dB";
    }
}

TEST_F(ReferenceTest, GrayAndOtherLayoutsDecode)
{
    const Image gray = MakeImage(45, 37, 1, 3);
    const Bytes grayJpeg = Encode(gray, JPEG_COLOUR_GRAY, [](JPEG_PROPERTIES& p) {
        p.JpegChannels = 1;
        p.JpegColour = JPEG_COLOUR_GRAY;
        p.JpegSampling = JPEG_SAMPLING_444;
        p.Quality = 80;
    });
    const Image decodedGray = Decode(grayJpeg, dir, "gray");
    ASSERT_EQ(decodedGray.channels, 1);
    EXPECT_GT(Psnr(decodedGray, gray), Psnr(Decode(Cjpeg(gray, "-quality 80 -grayscale"), dir, "g2"), gray) - 0.5);

    // R, G, B stored without conversion (APP14 transform 0) decodes as R, G, B.
    const Image rgb = MakeImage(40, 24, 3, 4);
    const Bytes rawRgb = Encode(rgb, JPEG_COLOUR_RGB, [](JPEG_PROPERTIES& p) {
        p.JpegColour = JPEG_COLOUR_RGB;
        p.JpegSampling = JPEG_SAMPLING_444;
    });
    EXPECT_GT(Psnr(Decode(rawRgb, dir, "raw"), rgb), 30.0);

    // Four-byte R, G, B pixels to Y, Cb, Cr.
    const Image rgbx = MakeImage(40, 24, 4, 4);
    const Bytes fromFour = Encode(rgbx, JPEG_COLOUR_RGB, [](JPEG_PROPERTIES& p) { p.ImageChannels = 4; });
    const Bytes fromThree = Encode(rgb, JPEG_COLOUR_RGB);
    EXPECT_GT(Psnr(Decode(fromFour, dir, "four"), rgb), Psnr(Decode(fromThree, dir, "three"), rgb) - 0.5);
}

TEST_F(ReferenceTest, QuantisationTablesEqualCjpegBaseline)
{
    const Image bgr = MakeImage(16, 16, 3);
    for (int quality : {10, 50, 75, 80, 95, 100}) {
        SCOPED_TRACE(quality);
        const ParsedStream ours = ParseStream(Encode(bgr, JPEG_COLOUR_BGR, [&](JPEG_PROPERTIES& p) { p.Quality = quality; }));
        const ParsedStream reference = ParseStream(Cjpeg(SwapRedBlue(bgr), "-baseline -quality " + std::to_string(quality)));
        ASSERT_TRUE(ours.ok);
        ASSERT_TRUE(reference.ok);
        for (int table = 0; table < 2; ++table) {
            EXPECT_EQ(DqtTable(ours, table), DqtTable(reference, table)) << "table " << table;
            EXPECT_EQ(DqtTable(ours, table).size(), 64u);
        }
    }
}

} // namespace
} // namespace thermjpeg::test
