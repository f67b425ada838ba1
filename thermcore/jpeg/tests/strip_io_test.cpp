// Strips of rows (StripRows): a write fed a strip at a time gives the stream
// of one whole-image write, a read put out a strip at a time gives the
// pixels and the result of one whole-image read, on good and cut streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "decoder_support.h"

namespace thermjpeg::test {
namespace {

struct StripWrite {
    int rc = 0;
    int calls = 0;
    Bytes stream;
};

// Writes `image` into memory, handing the codec StripRows rows at a time
// from the row it asks for; the rest of each strip buffer is poisoned.
StripWrite WriteInStrips(const Image& image, int stripRows, const std::function<void(JPEG_PROPERTIES&)>& setup)
{
    StripWrite result;
    Codec codec;
    JPEG_PROPERTIES& p = codec.p;
    codec.SetImage(image, JPEG_COLOUR_RGB);
    if (setup)
        setup(p);
    p.StripRows = stripRows;
    const size_t rowBytes = static_cast<size_t>(image.width) * image.channels;
    Bytes strip(rowBytes * static_cast<size_t>(std::max(stripRows, 1)));
    result.stream.resize(static_cast<size_t>(image.width) * image.height * 8 + 100000);
    p.JpegBytes = result.stream.data();
    p.JpegSize = static_cast<int32_t>(result.stream.size());
    int first = 0;
    for (;;) {
        std::fill(strip.begin(), strip.end(), 0xA5);
        const int rows = std::max(std::min(image.height - first, stripRows), 0);
        std::memcpy(strip.data(), image.pixels.data() + first * rowBytes, rows * rowBytes);
        p.ImageBytes = strip.data();
        result.rc = JpegWrite(&p, JPEG_MODE_WRITE_MEMORY);
        ++result.calls;
        if (result.rc != JPEG_INTERRUPTED || p.InterruptRow <= first || result.calls > image.height)
            break;
        first = p.InterruptRow;
    }
    result.stream.resize(result.rc >= 0 ? static_cast<size_t>(p.JpegSize) : 0);
    return result;
}

struct StripRead {
    ReadResult read;
    int calls = 0;
};

// Reads `jpeg` from memory (mode 3, 7 or 15..19) with a strip buffer of
// StripRows rows, each strip's rows copied into the image; the buffer is
// filled with 0x5A before every call, as ReadJpeg fills its buffer.
StripRead ReadInStrips(const Bytes& jpeg, int stripRows, int mode = JPEG_MODE_READ_MEMORY)
{
    StripRead result;
    Codec codec;
    JPEG_PROPERTIES& p = codec.p;
    Bytes copy = jpeg;
    p.JpegBytes = copy.data();
    p.JpegSize = static_cast<int32_t>(copy.size());
    result.read.rc = JpegRead(&p, JPEG_MODE_HEADER_MEMORY);
    if (result.read.rc != 0)
        return result;
    const int scale = mode >= 14 && mode <= 19 ? 1 << ((mode - 12) / 2) : 1;
    Image& image = result.read.image;
    image.width = (p.JpegWidth + scale - 1) / scale;
    image.height = (p.JpegHeight + scale - 1) / scale;
    image.channels = 3;
    image.pixels.assign(static_cast<size_t>(image.width) * image.height * 3, 0);
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    Bytes strip(rowBytes * static_cast<size_t>(std::max(stripRows, 1)));
    p.ImageWidth = image.width;
    p.ImageHeight = image.height;
    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_RGB;
    p.StripRows = stripRows;
    int done = 0;
    for (;;) {
        std::fill(strip.begin(), strip.end(), 0x5A);
        p.ImageBytes = strip.data();
        result.read.rc = JpegRead(&p, mode);
        ++result.calls;
        if (result.read.rc != JPEG_INTERRUPTED)
            break;
        const int end = std::min(p.InterruptRow, image.height);
        if (end <= done || end - done > stripRows || result.calls > image.height + 1) {
            ADD_FAILURE() << "strip ends at row " << p.InterruptRow << " after row " << done;
            break;
        }
        std::memcpy(image.pixels.data() + done * rowBytes, strip.data(), (end - done) * rowBytes);
        done = end;
    }
    if (result.read.rc >= 0 && done != image.height && result.read.rc != JPEG_INTERRUPTED)
        ADD_FAILURE() << "strips ended at row " << done << " of " << image.height;
    return result;
}

struct StripCase {
    const char* name;
    int channels;
    int sampling;
    int stripRows;
    int restart;
    bool progressive = false;
};

// 50 x 37: a partial MCU column and row at every sampling.
const StripCase kCases[] = {
    {"444 one MCU row", 3, JPEG_SAMPLING_444, 8, 0},
    {"420 one MCU row", 3, JPEG_SAMPLING_420, 16, 0},
    {"420 rows past an MCU row", 3, JPEG_SAMPLING_420, 20, 0},
    {"420 restart every 3", 3, JPEG_SAMPLING_420, 32, 3},
    {"422 two MCU rows", 3, JPEG_SAMPLING_422, 16, 0},
    {"gray one strip", 1, JPEG_SAMPLING_444, 37, 0},
    {"420 larger than the image", 3, JPEG_SAMPLING_420, 100, 0},
    {"progressive 420 one MCU row", 3, JPEG_SAMPLING_420, 16, 0, true},
    {"progressive 444 rows past an MCU row, restart every 3", 3, JPEG_SAMPLING_444, 12, 3, true},
    {"progressive 422 larger than the image", 3, JPEG_SAMPLING_422, 100, 0, true},
    {"progressive gray one MCU row", 1, JPEG_SAMPLING_444, 8, 0, true},
};

TEST(ThermjpegStrips, WriteInStripsGivesTheWholeImageStream)
{
    for (const StripCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const Image image = MakeImage(50, 37, c.channels, 5);
        const auto setup = [&](JPEG_PROPERTIES& p) {
            p.ImageColour = c.channels == 1 ? JPEG_COLOUR_GRAY : JPEG_COLOUR_RGB;
            p.JpegChannels = c.channels;
            p.JpegColour = c.channels == 1 ? JPEG_COLOUR_GRAY : JPEG_COLOUR_YCBCR;
            p.JpegSampling = c.sampling;
            p.RestartInterval = c.restart;
            p.Quality = 85;
            p.Progressive = c.progressive;
        };
        const Bytes whole = Encode(image, c.channels == 1 ? JPEG_COLOUR_GRAY : JPEG_COLOUR_RGB, setup);
        const StripWrite strips = WriteInStrips(image, c.stripRows, setup);
        ASSERT_EQ(strips.rc, 0) << JpegErrorText(strips.rc);
        EXPECT_EQ(strips.stream, whole);
        EXPECT_EQ(strips.calls > 1, c.stripRows < 37) << strips.calls << " calls";
    }
}

TEST(ThermjpegStrips, ReadInStripsGivesTheWholeImageRead)
{
    for (const StripCase& c : kCases) {
        if (c.channels == 1)
            continue; // read into R, G, B below
        SCOPED_TRACE(c.name);
        const Bytes jpeg = Encode(MakeImage(50, 37, 3, 6), JPEG_COLOUR_RGB, [&](JPEG_PROPERTIES& p) {
            p.JpegSampling = c.sampling;
            p.RestartInterval = c.restart;
            p.Progressive = c.progressive;
        });
        for (int mode : {JPEG_MODE_READ_MEMORY, JPEG_MODE_READ_HALF_MEMORY}) {
            SCOPED_TRACE(mode);
            const ReadResult whole = ReadJpeg(jpeg, JPEG_COLOUR_RGB, 3, mode);
            const StripRead strips = ReadInStrips(jpeg, c.stripRows, mode);
            ASSERT_EQ(whole.rc, 0);
            ASSERT_EQ(strips.read.rc, 0) << JpegErrorText(strips.read.rc);
            EXPECT_EQ(strips.read.image.pixels, whole.image.pixels);
        }
    }
}

// A stream cut inside its data gives the same rows (those the data does not
// reach keep the buffer's bytes) and the same result, with or without an EOI
// after the cut; so does a cut right after the restart marker that ends a
// strip.
TEST(ThermjpegStrips, CutStreamReadsAsOneCall)
{
    const Bytes jpeg = Encode(MakeImage(64, 80, 3, 7), JPEG_COLOUR_RGB, [](JPEG_PROPERTIES& p) {
        p.JpegSampling = JPEG_SAMPLING_420;
        p.RestartInterval = 4; // every MCU row ends with RSTn
    });
    const ParsedStream parsed = ParseStream(jpeg);
    ASSERT_TRUE(parsed.ok);
    size_t rst2 = 0;
    for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xD1) // after the second MCU row
            rst2 = i + 2;
    }
    ASSERT_GT(rst2, 0u);
    for (size_t cut : {jpeg.size() / 2, jpeg.size() - 40, rst2}) {
        for (bool eoi : {false, true}) {
            SCOPED_TRACE(testing::Message() << "cut at " << cut << (eoi ? " with EOI" : ""));
            Bytes cutStream(jpeg.begin(), jpeg.begin() + static_cast<long>(cut));
            if (eoi)
                cutStream.insert(cutStream.end(), {0xFF, 0xD9});
            const ReadResult whole = ReadJpeg(cutStream, JPEG_COLOUR_RGB, 3);
            const StripRead strips = ReadInStrips(cutStream, 16);
            EXPECT_EQ(strips.read.rc, whole.rc);
            EXPECT_EQ(strips.read.image.pixels, whole.image.pixels);
        }
    }
}

// Every stream of the reference corpus and one of ours, among them those
// whose scans go into the coefficient store (progressive scripts, one
// component a scan, restart intervals, gray), gives in strips the pixels and
// the result of one read, whole or cut inside its last scan (a progressive
// store then holds a partial image), a strip a call.
TEST(ThermjpegStrips, BufferedStreamsReadAsOneCall)
{
    std::vector<std::pair<std::string, Bytes>> streams;
    streams.emplace_back("own progressive", Encode(MakeImage(61, 45, 3, 9), JPEG_COLOUR_RGB, [](JPEG_PROPERTIES& p) {
                             p.Progressive = 1;
                         }));
    for (const CorpusFile& f : ReferenceCorpus())
        streams.emplace_back(f.name, f.jpeg);
    for (const auto& [name, jpeg] : streams) {
        const ParsedStream parsed = ParseStream(jpeg);
        ASSERT_TRUE(parsed.ok) << name;
        std::vector<Bytes> variants = {jpeg};
        size_t lastSos = 0;
        for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
            if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA)
                lastSos = i;
        }
        if (lastSos > 0 && lastSos + 40 < jpeg.size())
            variants.emplace_back(jpeg.begin(), jpeg.begin() + static_cast<long>(lastSos + 40));
        for (const Bytes& stream : variants) {
            SCOPED_TRACE(name + (stream.size() < jpeg.size() ? " cut" : ""));
            for (int mode : {JPEG_MODE_READ_MEMORY, JPEG_MODE_READ_HALF_MEMORY}) {
                const ReadResult whole = ReadJpeg(stream, JPEG_COLOUR_RGB, 3, mode);
                const StripRead strips = ReadInStrips(stream, 16, mode);
                EXPECT_EQ(strips.read.rc, whole.rc) << mode;
                EXPECT_EQ(strips.read.image.pixels, whole.image.pixels) << mode;
                EXPECT_GT(strips.calls, 2) << mode;
            }
        }
    }
}

TEST(ThermjpegStrips, RefusesWhatStripsCannotCarry)
{
    const Image image = MakeImage(40, 40, 3, 8);
    // Writes: a negative count, fewer rows than an MCU row (also progressive).
    for (const auto& [rows, progressiveWrite] : {std::pair{-1, 0}, std::pair{8, 0}, std::pair{8, 1}}) {
        const int stripRows = rows, progressive = progressiveWrite;
        const StripWrite w = WriteInStrips(image, stripRows, [=](JPEG_PROPERTIES& p) {
            p.JpegSampling = JPEG_SAMPLING_420;
            p.Progressive = progressive;
        });
        EXPECT_EQ(w.rc, JPEG_INVALID_PROPERTIES) << stripRows << " rows, progressive " << progressive;
    }
    // Reads: fewer rows than an MCU row.
    const Bytes baseline = Encode(image, JPEG_COLOUR_RGB, [](JPEG_PROPERTIES& p) { p.JpegSampling = JPEG_SAMPLING_420; });
    EXPECT_EQ(ReadInStrips(baseline, 8).read.rc, JPEG_INVALID_PROPERTIES);
    // A second scan after the image's strips went out.
    size_t sos = 0;
    for (size_t i = 0; i + 1 < baseline.size(); ++i) {
        if (baseline[i] == 0xFF && baseline[i + 1] == 0xDA) {
            sos = i;
            break;
        }
    }
    ASSERT_GT(sos, 0u);
    Bytes twoScans(baseline.begin(), baseline.end() - 2); // without EOI
    twoScans.insert(twoScans.end(), baseline.begin() + static_cast<long>(sos), baseline.end());
    EXPECT_EQ(ReadInStrips(twoScans, 16).read.rc, JPEG_NOT_SUPPORTED);
}

} // namespace
} // namespace thermjpeg::test
