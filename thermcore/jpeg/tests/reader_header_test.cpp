// Header reads: the frame, JFIF, Adobe and comment fields as djpeg -verbose
// and rdjpgcom report them, thumbnails, tables-only and abbreviated streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>

#include "decoder_support.h"

namespace thermjpeg::test {
namespace {

struct Verbose {
    std::string text;
    explicit Verbose(const Bytes& jpeg)
    {
        TempDir dir;
        WriteFileBytes(dir.Path("in.jpg"), jpeg);
        const auto log = dir.Path("log.txt");
        Run("djpeg -verbose -outfile /dev/null '" + dir.Path("in.jpg").string() + "' 2> '" + log.string() + "'");
        const Bytes bytes = ReadFileBytes(log);
        text.assign(bytes.begin(), bytes.end());
    }
    // The numbers of the first match of the pattern's groups.
    std::vector<int> Find(const std::string& pattern) const
    {
        std::smatch m;
        std::vector<int> numbers;
        if (std::regex_search(text, m, std::regex(pattern))) {
            for (size_t i = 1; i < m.size(); ++i)
                numbers.push_back(std::stoi(m[i].str(), nullptr, 0));
        }
        return numbers;
    }
};

TEST(HeaderRead, FieldsAsDjpegVerboseReportsThem)
{
    if (ReferenceCorpus().empty())
        GTEST_SKIP() << "tools missing";
    for (const CorpusFile& f : ReferenceCorpus()) {
        Codec codec;
        JPEG_PROPERTIES& p = codec.p;
        Bytes copy = f.jpeg;
        char comment[64] = {};
        p.JpegBytes = copy.data();
        p.JpegSize = static_cast<int32_t>(copy.size());
        p.CommentBytes = comment;
        p.CommentLength = sizeof comment;
        ASSERT_EQ(JpegRead(&p, JPEG_MODE_HEADER_MEMORY), 0) << f.name;
        const Verbose v(f.jpeg);
        const auto frame = v.Find(R"(Start Of Frame 0x..: width=(\d+), height=(\d+), components=(\d+))");
        ASSERT_EQ(frame.size(), 3u) << f.name;
        EXPECT_EQ(p.JpegWidth, frame[0]) << f.name;
        EXPECT_EQ(p.JpegHeight, frame[1]) << f.name;
        EXPECT_EQ(p.JpegChannels, frame[2]) << f.name;
        const auto first = v.Find(R"(Component \d+: (\d)hx(\d)v)");
        const int expectedSampling = frame[2] == 1 ? JPEG_SAMPLING_444
                                     : first[0] == 2 && first[1] == 2 ? JPEG_SAMPLING_420
                                     : first[0] == 2 ? JPEG_SAMPLING_422
                                                     : JPEG_SAMPLING_444;
        EXPECT_EQ(p.JpegSampling, expectedSampling) << f.name;
        const auto jfif = v.Find(R"(JFIF APP0 marker: version (\d+)\.(\d+), density (\d+)x(\d+)\s+(\d+))");
        EXPECT_EQ(p.JfifFound, jfif.empty() ? 0 : 1) << f.name;
        if (!jfif.empty()) {
            EXPECT_EQ(p.JfifVersion, jfif[0] * 256 + jfif[1]) << f.name;
            EXPECT_EQ(p.JfifXDensity, jfif[2]);
            EXPECT_EQ(p.JfifYDensity, jfif[3]);
            EXPECT_EQ(p.JfifUnits, jfif[4]);
        }
        const auto adobe = v.Find(R"(Adobe APP14 marker: version (\d+), flags (0x[0-9a-fA-F]+) (0x[0-9a-fA-F]+), transform (\d+))");
        if (!adobe.empty()) {
            EXPECT_EQ(p.AdobeVersion, adobe[0]);
            EXPECT_EQ(p.AdobeFlags0, adobe[1]);
            EXPECT_EQ(p.AdobeFlags1, adobe[2]);
        }
        const int colour = f.gray ? JPEG_COLOUR_GRAY : f.rgb ? JPEG_COLOUR_RGB : JPEG_COLOUR_YCBCR;
        EXPECT_EQ(p.JpegColour, colour) << f.name;
        const auto commentLength = v.Find(R"(Comment, length (\d+):)");
        if (!commentLength.empty()) {
            EXPECT_EQ(p.CommentLength, commentLength[0]);
            EXPECT_EQ(std::string(comment, p.CommentLength), "thermal survey, roof 3");
        }
    }
}

TEST(HeaderRead, CommentLongerThanTheBufferFillsItAndReportsItsLength)
{
    Bytes jpeg = Encode(MakeImage(16, 16, 3), JPEG_COLOUR_BGR, [](JPEG_PROPERTIES& p) {
        static char text[] = "forty-two characters of comment, or so...";
        p.CommentBytes = text;
        p.CommentLength = sizeof text - 1;
    });
    Codec codec;
    char small[8] = {};
    codec.p.JpegBytes = jpeg.data();
    codec.p.JpegSize = static_cast<int32_t>(jpeg.size());
    codec.p.CommentBytes = small;
    codec.p.CommentLength = sizeof small;
    EXPECT_EQ(JpegRead(&codec.p, JPEG_MODE_HEADER_MEMORY), JPEG_COMMENT_ACCESS_ERROR);
    EXPECT_EQ(codec.p.CommentLength, 41);
    EXPECT_EQ(std::string(small, 8), "forty-tw");
}

// A stream with a JFIF segment carrying a width x height thumbnail.
Bytes WithThumbnail(const Bytes& jpeg, int width, int height, const Bytes& pixels)
{
    Bytes app0{'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 1, 0, 1, static_cast<uint8_t>(width), static_cast<uint8_t>(height)};
    app0.insert(app0.end(), pixels.begin(), pixels.end());
    Bytes out(6 + app0.size());
    const uint8_t head[6] = {0xFF, 0xD8, 0xFF, 0xE0, static_cast<uint8_t>((app0.size() + 2) >> 8),
                             static_cast<uint8_t>(app0.size() + 2)};
    std::copy(head, head + 6, out.begin());
    std::copy(app0.begin(), app0.end(), out.begin() + 6);
    // Drop the stream's own APP0.
    size_t rest = 2;
    if (jpeg[2] == 0xFF && jpeg[3] == 0xE0)
        rest = 4 + ((jpeg[4] << 8) | jpeg[5]);
    out.insert(out.end(), jpeg.begin() + static_cast<long>(rest), jpeg.end());
    return out;
}

TEST(HeaderRead, JfifThumbnailInModeTwentyOne)
{
    Bytes thumb;
    for (int i = 0; i < 4 * 3; ++i)
        thumb.insert(thumb.end(), {static_cast<uint8_t>(i * 20), static_cast<uint8_t>(i), static_cast<uint8_t>(200 - i)});
    const Bytes jpeg = WithThumbnail(Encode(MakeImage(16, 16, 3), JPEG_COLOUR_BGR), 4, 3, thumb);
    ASSERT_EQ(ReadJpeg(jpeg, JPEG_COLOUR_RGB, 3).rc, 0); // the image still reads

    for (const int colour : {JPEG_COLOUR_RGB, JPEG_COLOUR_BGR}) {
        const ReadResult r = ReadJpeg(jpeg, colour, 3, JPEG_MODE_THUMBNAIL_MEMORY, {}, 4, 3);
        ASSERT_EQ(r.rc, 0);
        for (size_t i = 0; i < thumb.size(); i += 3) {
            const bool rgb = colour == JPEG_COLOUR_RGB;
            EXPECT_EQ(r.image.pixels[i], thumb[rgb ? i : i + 2]);
            EXPECT_EQ(r.image.pixels[i + 1], thumb[i + 1]);
            EXPECT_EQ(r.image.pixels[i + 2], thumb[rgb ? i + 2 : i]);
        }
    }
    // Reported by a header read; a buffer too small is refused; a gray
    // buffer is the wrong colour.
    Codec codec;
    Bytes copy = jpeg;
    codec.p.JpegBytes = copy.data();
    codec.p.JpegSize = static_cast<int32_t>(copy.size());
    ASSERT_EQ(JpegRead(&codec.p, JPEG_MODE_HEADER_MEMORY), 0);
    EXPECT_EQ(codec.p.ThumbWidth, 4);
    EXPECT_EQ(codec.p.ThumbHeight, 3);
    EXPECT_EQ(ReadJpeg(jpeg, JPEG_COLOUR_RGB, 3, JPEG_MODE_THUMBNAIL_MEMORY, {}, 3, 3).rc, JPEG_THUMBNAIL_TOO_SMALL);
    EXPECT_EQ(ReadJpeg(jpeg, JPEG_COLOUR_GRAY, 1, JPEG_MODE_THUMBNAIL_MEMORY, {}, 4, 3).rc,
              JPEG_THUMBNAIL_WRONG_COLOUR);
    // A 0 x 3 thumbnail records none.
    const Bytes none = WithThumbnail(Encode(MakeImage(16, 16, 3), JPEG_COLOUR_BGR), 0, 3, {});
    copy = none;
    codec.p.JpegBytes = copy.data();
    codec.p.JpegSize = static_cast<int32_t>(copy.size());
    ASSERT_EQ(JpegRead(&codec.p, JPEG_MODE_HEADER_MEMORY), 0);
    EXPECT_EQ(codec.p.ThumbWidth, 0);
}

TEST(HeaderRead, TablesOnlyStreamThenAbbreviatedImage)
{
    const Image image = MakeImage(40, 24, 3, 4);
    Codec writer;
    writer.SetImage(image, JPEG_COLOUR_RGB);
    int rc = 0;
    const Bytes tables = EncodeToMemory(writer.p, &rc, JPEG_MODE_TABLES_MEMORY);
    ASSERT_EQ(rc, 0);
    const Bytes abbreviated = EncodeToMemory(writer.p, &rc, JPEG_MODE_ABBREVIATED_MEMORY);
    ASSERT_EQ(rc, 0);
    const Bytes whole = Encode(image, JPEG_COLOUR_RGB);
    const ReadResult expected = ReadJpeg(whole, JPEG_COLOUR_RGB, 3);
    ASSERT_EQ(expected.rc, 0);

    // Mode 5 keeps the tables for mode 7 on the same record.
    Codec reader;
    JPEG_PROPERTIES& p = reader.p;
    Bytes t = tables, a = abbreviated;
    p.JpegBytes = t.data();
    p.JpegSize = static_cast<int32_t>(t.size());
    ASSERT_EQ(JpegRead(&p, JPEG_MODE_READ_TABLES_MEMORY), 0);
    Bytes pixels(40 * 24 * 3);
    p.ImageBytes = pixels.data();
    p.ImageWidth = 40;
    p.ImageHeight = 24;
    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_RGB;
    p.JpegBytes = a.data();
    p.JpegSize = static_cast<int32_t>(a.size());
    ASSERT_EQ(JpegRead(&p, JPEG_MODE_READ_ABBREVIATED_MEMORY), 0);
    EXPECT_EQ(pixels, expected.image.pixels);

    // Tables-only stream followed by the image stream: one image read.
    Bytes joined = tables;
    joined.insert(joined.end(), abbreviated.begin(), abbreviated.end());
    const ReadResult both = ReadJpeg(joined, JPEG_COLOUR_RGB, 3, JPEG_MODE_READ_MEMORY, {}, 40, 24);
    ASSERT_EQ(both.rc, 0);
    EXPECT_EQ(both.image.pixels, expected.image.pixels);
    // Without the tables the abbreviated image has none.
    EXPECT_EQ(ReadJpeg(abbreviated, JPEG_COLOUR_RGB, 3, JPEG_MODE_READ_MEMORY, {}, 40, 24).rc, JPEG_NO_HUFFMAN_TABLE);
}

TEST(HeaderRead, HeaderFileReadLeavesTheFileForTheImageRead)
{
    const Bytes jpeg = Encode(MakeImage(40, 24, 3, 4), JPEG_COLOUR_RGB);
    const ReadResult expected = ReadJpeg(jpeg, JPEG_COLOUR_RGB, 3);
    // ReadJpeg in a file mode runs mode 0 and then mode 2 on one record.
    const ReadResult file = ReadJpeg(jpeg, JPEG_COLOUR_RGB, 3, JPEG_MODE_READ_FILE);
    ASSERT_EQ(file.rc, 0);
    EXPECT_EQ(file.image.pixels, expected.image.pixels);
    // Modes 0 and 1 do not need a pixel buffer.
    Codec codec;
    Bytes copy = jpeg;
    codec.p.JpegBytes = copy.data();
    codec.p.JpegSize = static_cast<int32_t>(copy.size());
    EXPECT_EQ(JpegRead(&codec.p, JPEG_MODE_HEADER_MEMORY), 0);
    EXPECT_EQ(JpegRead(&codec.p, 8), JPEG_INVALID_PROPERTIES);
    EXPECT_EQ(JpegRead(&codec.p, 22), JPEG_INVALID_PROPERTIES);
    EXPECT_EQ(JpegRead(&codec.p, JPEG_MODE_READ_MEMORY), JPEG_INVALID_PROPERTIES); // no pixel buffer
}

} // namespace
} // namespace thermjpeg::test
