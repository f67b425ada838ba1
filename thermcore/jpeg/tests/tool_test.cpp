// thermjpeg-tool: decode and encode through the codec's interface, and the
// codec's refusal as exit 1 with its code and text.
#include <gtest/gtest.h>

#include "decoder_support.h"

namespace thermjpeg::test {
namespace {

// The tool's path quoted for the shell.
std::string Tool() { return "'" THERMJPEG_TOOL "'"; }

TEST(ThermjpegTool, EncodesDecodesAndReportsRefusals)
{
    TempDir dir;
    const Image image = MakeImage(50, 30, 3, 12);
    WritePnm(dir.Path("in.ppm"), image);
    const std::string in = dir.Path("in.ppm").string(), jpg = dir.Path("out.jpg").string(),
                      ppm = dir.Path("back.ppm").string(), err = dir.Path("err.txt").string();
    ASSERT_EQ(test::Run(Tool() + " encode '" + in + "' '" + jpg + "' -quality 90 -sample 2x1 -restart 2"), 0);
    ASSERT_EQ(test::Run(Tool() + " decode '" + jpg + "' '" + ppm + "'"), 0);
    const Bytes jpeg = ReadFileBytes(jpg);
    const ReadResult direct = ReadJpeg(jpeg, JPEG_COLOUR_RGB, 3);
    ASSERT_EQ(direct.rc, 0);
    const Image back = ReadPnm(ppm);
    EXPECT_EQ(back.pixels, direct.image.pixels);
    EXPECT_GT(Psnr(back, image), 30.0);

    // A gray PGM round trip.
    WritePnm(dir.Path("gray.pgm"), MakeImage(20, 10, 1, 3));
    ASSERT_EQ(test::Run(Tool() + " encode '" + dir.Path("gray.pgm").string() + "' '" + jpg + "' -progressive"), 0);
    ASSERT_EQ(test::Run(Tool() + " decode '" + jpg + "' '" + ppm + "'"), 0);
    EXPECT_EQ(ReadPnm(ppm).channels, 1);

    // Not a JPEG: exit 1 and the codec's code and text.
    ASSERT_EQ(test::Run(Tool() + " decode '" + in + "' '" + ppm + "' 2> '" + err + "'"), 1);
    const Bytes message = ReadFileBytes(err);
    EXPECT_NE(std::string(message.begin(), message.end()).find("-13 Not JPEG"), std::string::npos);
    EXPECT_EQ(test::Run(Tool() + " frobnicate 2>/dev/null"), 2);
}

// The tool streams a strip of rows at a time; what it writes is what the
// codec makes of the whole picture in memory, for pictures of several strips.
TEST(ThermjpegTool, OutputEqualsTheCodecInMemory)
{
    TempDir dir;
    struct Case {
        const char* options;
        int channels;
        std::function<void(JPEG_PROPERTIES&)> setup;
    };
    const Case cases[] = {
        {"", 3, [](JPEG_PROPERTIES&) {}},
        {"-quality 90 -sample 1x1 -restart 5", 3,
         [](JPEG_PROPERTIES& p) {
             p.Quality = 90;
             p.JpegSampling = JPEG_SAMPLING_444;
             p.RestartInterval = 5;
         }},
        {"-sample 2x1 -progressive", 3,
         [](JPEG_PROPERTIES& p) {
             p.JpegSampling = JPEG_SAMPLING_422;
             p.Progressive = 1;
         }},
        {"-quality 60", 1,
         [](JPEG_PROPERTIES& p) {
             p.Quality = 60;
             p.JpegChannels = 1;
             p.JpegColour = JPEG_COLOUR_GRAY;
             p.JpegSampling = JPEG_SAMPLING_444;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const Image image = MakeImage(70, 101, c.channels, 21);
        const std::string in = dir.Path(c.channels == 1 ? "in.pgm" : "in.ppm").string();
        const std::string jpg = dir.Path("out.jpg").string(), ppm = dir.Path("back.ppm").string();
        WritePnm(in, image);
        ASSERT_EQ(test::Run(Tool() + " encode '" + in + "' '" + jpg + "' " + c.options), 0);
        const Bytes expected = Encode(image, c.channels == 1 ? JPEG_COLOUR_GRAY : JPEG_COLOUR_RGB, c.setup);
        EXPECT_EQ(ReadFileBytes(jpg), expected);

        ASSERT_EQ(test::Run(Tool() + " decode '" + jpg + "' '" + ppm + "'"), 0);
        const ReadResult direct =
            ReadJpeg(expected, c.channels == 1 ? JPEG_COLOUR_GRAY : JPEG_COLOUR_RGB, c.channels);
        ASSERT_EQ(direct.rc, 0);
        const Image back = ReadPnm(ppm);
        EXPECT_EQ(back.channels, c.channels);
        EXPECT_EQ(back.pixels, direct.image.pixels);
    }
}

// Bad input: the codec's code and text, or the PNM message, as before the
// tool streamed; a failed decode leaves an existing output file as it was.
TEST(ThermjpegTool, BadInputKeepsCodesAndOutputFile)
{
    TempDir dir;
    const Image image = MakeImage(64, 96, 3, 22);
    const Bytes jpeg = Encode(image, JPEG_COLOUR_RGB);
    const std::string out = dir.Path("out.ppm").string(), err = dir.Path("err.txt").string();
    const Bytes previous = {'k', 'e', 'e', 'p'};
    auto message = [&] {
        const Bytes text = ReadFileBytes(err);
        return std::string(text.begin(), text.end());
    };

    // Cut inside the entropy data: the codec's file error, the old file kept.
    const std::string cut = dir.Path("cut.jpg").string();
    WriteFileBytes(cut, Bytes(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() * 2 / 3)));
    WriteFileBytes(out, previous);
    EXPECT_EQ(test::Run(Tool() + " decode '" + cut + "' '" + out + "' 2> '" + err + "'"), 1);
    EXPECT_NE(message().find(std::to_string(JPEG_FILE_ERROR) + " " + JpegErrorText(JPEG_FILE_ERROR)),
              std::string::npos)
        << message();
    EXPECT_EQ(ReadFileBytes(out), previous);
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path("")))
        EXPECT_EQ(entry.path().filename().string().rfind("out.ppm.", 0), std::string::npos) << "left behind: " << entry;

    // A PPM shorter than its header says, and one with another maximum value.
    Bytes ppm = ReadFileBytes([&] {
        WritePnm(dir.Path("in.ppm"), image);
        return dir.Path("in.ppm");
    }());
    const std::string shortPpm = dir.Path("short.ppm").string(), deepPpm = dir.Path("deep.ppm").string();
    WriteFileBytes(shortPpm, Bytes(ppm.begin(), ppm.end() - 1));
    std::string deep = "P6\n64 96\n65535\n";
    WriteFileBytes(deepPpm, Bytes(deep.begin(), deep.end()));
    for (const std::string& bad : {shortPpm, deepPpm, dir.Path("missing.ppm").string()}) {
        SCOPED_TRACE(bad);
        const std::string jpg = dir.Path("bad.jpg").string();
        EXPECT_EQ(test::Run(Tool() + " encode '" + bad + "' '" + jpg + "' 2> '" + err + "'"), 2);
        EXPECT_NE(message().find(bad + " is not an 8-bit PPM or PGM"), std::string::npos) << message();
        EXPECT_FALSE(std::filesystem::exists(jpg));
    }
}

// A 4 KB stream whose frame claims 65535 x 65535 pixels is refused before
// the 12 GB picture is allocated: exit 2, the bound in the message, no file.
TEST(ThermjpegTool, RefusesAFrameBeyondThePictureBound)
{
    TempDir dir;
    const std::string out = dir.Path("huge.ppm").string(), err = dir.Path("err.txt").string();
    ASSERT_EQ(test::Run(Tool() + " decode '" THERMJPEG_FIXTURES "/frame-65535x65535.jpg' '" + out + "' 2> '" +
                        err + "'"),
              2);
    const Bytes message = ReadFileBytes(err);
    EXPECT_NE(std::string(message.begin(), message.end()).find("65535 x 65535 pixels is beyond the limit"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace thermjpeg::test
