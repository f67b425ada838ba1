#include "decoder_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace thermjpeg::test {

ReadResult ReadJpeg(const Bytes& jpeg, int imageColour, int channels, int mode,
                    const std::function<void(JPEG_PROPERTIES&)>& setup, int width, int height)
{
    ReadResult result;
    Codec codec;
    JPEG_PROPERTIES& p = codec.p;
    const bool file = mode % 2 == 0;
    TempDir dir;
    const std::string path = dir.Path("in.jpg").string();
    Bytes copy = jpeg;
    if (file)
        WriteFileBytes(path, jpeg);
    p.JpegFile = path.c_str();
    p.JpegBytes = copy.data();
    p.JpegSize = static_cast<int32_t>(copy.size());
    if (width == 0) {
        result.rc = JpegRead(&p, file ? JPEG_MODE_HEADER_FILE : JPEG_MODE_HEADER_MEMORY);
        if (result.rc != 0)
            return result;
        const int scale = mode >= 14 && mode <= 19 ? 1 << ((mode - 12) / 2) : 1;
        width = (p.JpegWidth + scale - 1) / scale;
        height = (p.JpegHeight + scale - 1) / scale;
    }
    result.image.width = width;
    result.image.height = height;
    result.image.channels = channels;
    result.image.pixels.assign(static_cast<size_t>(width) * height * channels, 0x5A);
    p.ImageBytes = result.image.pixels.data();
    p.ImageWidth = width;
    p.ImageHeight = height;
    p.ImagePadBytes = 0;
    p.ImageChannels = channels;
    p.ImageColour = imageColour;
    if (setup)
        setup(p);
    result.rc = JpegRead(&p, mode);
    return result;
}

Image Djpeg(const Bytes& jpeg, const std::string& arguments)
{
    TempDir dir;
    WriteFileBytes(dir.Path("in.jpg"), jpeg);
    const std::string command = "djpeg -pnm " + arguments + " -outfile '" + dir.Path("out.pnm").string() + "' '" +
                                dir.Path("in.jpg").string() + "' 2>/dev/null";
    if (Run(command) != 0)
        return Image{};
    return ReadPnm(dir.Path("out.pnm"));
}

ChannelDifference Compare(const Image& a, const Image& b, int channels)
{
    ChannelDifference d;
    if (a.width != b.width || a.height != b.height)
        throw std::runtime_error("sizes differ");
    const size_t pixels = static_cast<size_t>(a.width) * a.height;
    double sum[4] = {};
    for (size_t i = 0; i < pixels; ++i) {
        for (int c = 0; c < channels; ++c) {
            const int diff = std::abs(a.pixels[i * a.channels + c] - b.pixels[i * b.channels + c]);
            d.maximum[c] = std::max(d.maximum[c], diff);
            sum[c] += diff;
        }
    }
    for (int c = 0; c < channels; ++c)
        d.mean[c] = sum[c] / static_cast<double>(pixels);
    return d;
}

Bytes Transform(const Bytes& input, const std::string& command, const std::string& inputSuffix)
{
    TempDir dir;
    const auto in = dir.Path("in" + inputSuffix);
    const auto out = dir.Path("out.jpg");
    WriteFileBytes(in, input);
    if (Run(command + " '" + in.string() + "' > '" + out.string() + "' 2>/dev/null") != 0)
        return {};
    return ReadFileBytes(out);
}

const std::vector<CorpusFile>& ReferenceCorpus()
{
    static const std::vector<CorpusFile> corpus = [] {
        std::vector<CorpusFile> files;
        if (!HaveTool("cjpeg") || !HaveTool("djpeg") || !HaveTool("jpegtran") || !HaveTool("wrjpgcom"))
            return files;
        TempDir dir;
        const Image colour = MakeImage(93, 61, 3, 7);
        const Image gray = MakeImage(93, 61, 1, 7);
        WritePnm(dir.Path("c.ppm"), colour);
        WritePnm(dir.Path("g.pgm"), gray);
        const Bytes ppm = ReadFileBytes(dir.Path("c.ppm"));
        const Bytes pgm = ReadFileBytes(dir.Path("g.pgm"));
        struct Recipe {
            const char* name;
            const char* options;
            bool gray, rgb;
        };
        const Recipe recipes[] = {
            {"444", "-sample 1x1", false, false},
            {"422", "-sample 2x1", false, false},
            {"420", "-sample 2x2", false, false},
            {"grayscale", "-grayscale", true, false},
            {"rgb", "-rgb", false, true},
            {"progressive", "-progressive", false, false},
            {"optimize", "-optimize", false, false},
            {"restart1", "-restart 1", false, false},
            {"restart5B", "-restart 5B", false, false},
            {"progressive-restart2", "-progressive -restart 2", false, false},
            {"progressive-422", "-progressive -sample 2x1", false, false},
        };
        for (const Recipe& r : recipes) {
            const Bytes jpeg = Transform(ppm, std::string("cjpeg -quality 85 ") + r.options, ".ppm");
            files.push_back({r.name, jpeg, r.gray, r.rgb});
        }
        files.push_back({"gray-input", Transform(pgm, "cjpeg -quality 85", ".pgm"), true, false});
        files.push_back({"progressive-gray", Transform(pgm, "cjpeg -quality 85 -progressive", ".pgm"), true, false});
        // One component per scan, sequential; then one with a split spectrum.
        const auto script = dir.Path("scans.txt");
        WriteFileBytes(script, Bytes{'0', ';', ' ', '1', ';', ' ', '2', ';', '\n'});
        const Bytes base = files[2].jpeg;
        files.push_back({"non-interleaved", Transform(base, "jpegtran -scans '" + script.string() + "'"), false,
                         false});
        const std::string split = "0,1,2: 0 0 0 1; 0: 1 9 0 0; 0: 10 63 0 0; 1: 1 63 0 0; 2: 1 63 0 0; 0,1,2: 0 0 1 0;\n";
        const auto script2 = dir.Path("scans2.txt");
        WriteFileBytes(script2, Bytes(split.begin(), split.end()));
        files.push_back({"progressive-script", Transform(base, "jpegtran -scans '" + script2.string() + "'"), false,
                         false});
        files.push_back({"comment", Transform(base, "wrjpgcom -comment 'thermal survey, roof 3'"), false, false});
        for (const CorpusFile& f : files) {
            if (f.jpeg.empty())
                throw std::runtime_error("corpus file " + f.name + " was not made");
        }
        return files;
    }();
    return corpus;
}

void ExpectDigestsOfEverySet(const std::string& name, const std::function<Bytes()>& encode, uint64_t generic,
                             uint64_t processor, bool gray)
{
    Bytes streams[2];
    const char* sets[2] = {"0", kProcessorSet};
    const uint64_t digests[2] = {generic, processor};
    for (int i = 0; i < 2; ++i) {
        UseCpu env(sets[i]);
        streams[i] = encode();
        EXPECT_EQ(Fnv1a(streams[i]), digests[i]) << name << " USECPU=" << sets[i] << ": 0x" << std::hex
                                                 << Fnv1a(streams[i]);
    }
    UseCpu env("0");
    const int channels = gray ? 1 : 3;
    const int colour = gray ? JPEG_COLOUR_GRAY : JPEG_COLOUR_BGR;
    const ReadResult a = ReadJpeg(streams[0], colour, channels);
    const ReadResult b = ReadJpeg(streams[1], colour, channels);
    ASSERT_EQ(a.rc, 0) << name;
    ASSERT_EQ(b.rc, 0) << name;
    const ChannelDifference d = Compare(a.image, b.image, channels);
    for (int c = 0; c < channels; ++c)
        EXPECT_LE(d.maximum[c], kProcessorStreamPixelBound) << name << " channel " << c;
}

} // namespace thermjpeg::test
