// thermjpeg-tool: decode and encode through the codec's interface, and the
// codec's refusal as exit 1 with its code and text.
#include <gtest/gtest.h>

#include "decoder_support.h"

namespace thermjpeg::test {
namespace {

std::string Tool() { return THERMJPEG_TOOL; }

TEST(ThermjpegTool, EncodesDecodesAndReportsRefusals)
{
    TempDir dir;
    const Image image = MakeImage(50, 30, 3, 12);
    WritePnm(dir.Path("in.ppm"), image);
    const std::string in = dir.Path("in.ppm").string(), jpg = dir.Path("out.jpg").string(),
                      ppm = dir.Path("back.ppm").string(), err = dir.Path("err.txt").string();
    ASSERT_EQ(test::Run("'" + Tool() + "' encode '" + in + "' '" + jpg + "' -quality 90 -sample 2x1 -restart 2"), 0);
    ASSERT_EQ(test::Run("'" + Tool() + "' decode '" + jpg + "' '" + ppm + "'"), 0);
    const Bytes jpeg = ReadFileBytes(jpg);
    const ReadResult direct = ReadJpeg(jpeg, JPEG_COLOUR_RGB, 3);
    ASSERT_EQ(direct.rc, 0);
    const Image back = ReadPnm(ppm);
    EXPECT_EQ(back.pixels, direct.image.pixels);
    EXPECT_GT(Psnr(back, image), 30.0);

    // A gray PGM round trip.
    WritePnm(dir.Path("gray.pgm"), MakeImage(20, 10, 1, 3));
    ASSERT_EQ(test::Run("'" + Tool() + "' encode '" + dir.Path("gray.pgm").string() + "' '" + jpg + "' -progressive"), 0);
    ASSERT_EQ(test::Run("'" + Tool() + "' decode '" + jpg + "' '" + ppm + "'"), 0);
    EXPECT_EQ(ReadPnm(ppm).channels, 1);

    // Not a JPEG: exit 1 and the codec's code and text.
    ASSERT_EQ(test::Run("'" + Tool() + "' decode '" + in + "' '" + ppm + "' 2> '" + err + "'"), 1);
    const Bytes message = ReadFileBytes(err);
    EXPECT_NE(std::string(message.begin(), message.end()).find("-13 Not JPEG"), std::string::npos);
    EXPECT_EQ(test::Run("'" + Tool() + "' frobnicate 2>/dev/null"), 2);
}

// A 4 KB stream whose frame claims 65535 x 65535 pixels is refused before
// the 12 GB picture is allocated: exit 2, the bound in the message, no file.
TEST(ThermjpegTool, RefusesAFrameBeyondThePictureBound)
{
    TempDir dir;
    const std::string out = dir.Path("huge.ppm").string(), err = dir.Path("err.txt").string();
    ASSERT_EQ(test::Run("'" + Tool() + "' decode '" THERMJPEG_FIXTURES "/frame-65535x65535.jpg' '" + out + "' 2> '" +
                        err + "'"),
              2);
    const Bytes message = ReadFileBytes(err);
    EXPECT_NE(std::string(message.begin(), message.end()).find("65535 x 65535 pixels is beyond the limit"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace thermjpeg::test
