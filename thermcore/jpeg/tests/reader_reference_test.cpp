// Reads of streams made by the system's cjpeg and jpegtran, compared with
// djpeg: every output colour the read accepts, file and memory modes, both
// upsampling modes and the reduced sizes.
#include <gtest/gtest.h>

#include <cstdio>

#include "decoder_support.h"

namespace thermjpeg::test {
namespace {

struct OutputCase {
    int colour;
    int channels;
};

constexpr OutputCase kOutputs[] = {
    {JPEG_COLOUR_RGB, 3}, {JPEG_COLOUR_BGR, 3}, {JPEG_COLOUR_GRAY, 1}, {JPEG_COLOUR_INV_RGBA, 4}};

// Our output in R, G, B (or gray) order for the comparison, and the fourth
// byte checked on the way.
Image Normalise(const Image& ours, int colour)
{
    Image out{ours.width, ours.height, colour == JPEG_COLOUR_GRAY ? 1 : 3, {}};
    const size_t pixels = static_cast<size_t>(ours.width) * ours.height;
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* p = &ours.pixels[i * ours.channels];
        if (colour == JPEG_COLOUR_GRAY) {
            out.pixels.push_back(p[0]);
        } else if (colour == JPEG_COLOUR_BGR) {
            out.pixels.insert(out.pixels.end(), {p[2], p[1], p[0]});
        } else {
            out.pixels.insert(out.pixels.end(), {p[0], p[1], p[2]});
            if (colour == JPEG_COLOUR_INV_RGBA) {
                EXPECT_EQ(p[3], 255);
            }
        }
    }
    return out;
}

// Within 3 of the reference in every channel; mean differences below 0.5
// for red, blue and gray and 1.5 for green (its formula runs high by one).
void ExpectClose(const Image& ours, const Image& reference, const std::string& what)
{
    ASSERT_EQ(ours.width, reference.width) << what;
    ASSERT_EQ(ours.height, reference.height) << what;
    const int channels = std::min(ours.channels, reference.channels);
    const ChannelDifference d = Compare(ours, reference, channels);
    for (int c = 0; c < channels; ++c) {
        EXPECT_LE(d.maximum[c], 3) << what << " channel " << c;
        EXPECT_LT(d.mean[c], c == 1 ? 1.5 : 0.5) << what << " channel " << c;
    }
}

class ReferenceRead : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (ReferenceCorpus().empty())
            GTEST_SKIP() << "cjpeg, djpeg, jpegtran or wrjpgcom missing";
    }
};

TEST_F(ReferenceRead, EveryCorpusFileToEveryAcceptedColourInFileAndMemoryModes)
{
    for (const CorpusFile& f : ReferenceCorpus()) {
        const Image colour = Djpeg(f.jpeg, "-dct int -nosmooth");
        const Image gray = f.gray ? colour : Djpeg(f.jpeg, "-dct int -nosmooth -grayscale");
        for (const OutputCase& out : kOutputs) {
            for (const int mode : {JPEG_MODE_READ_FILE, JPEG_MODE_READ_MEMORY}) {
                const std::string what = f.name + " colour " + std::to_string(out.colour) + " mode " +
                                         std::to_string(mode);
                const ReadResult r = ReadJpeg(f.jpeg, out.colour, out.channels, mode);
                if (f.rgb && out.colour == JPEG_COLOUR_GRAY) {
                    EXPECT_EQ(r.rc, JPEG_INVALID_PROPERTIES) << what;
                    continue;
                }
                ASSERT_EQ(r.rc, JPEG_SUCCESS) << what;
                const Image& reference = out.colour == JPEG_COLOUR_GRAY ? gray : colour;
                if (f.gray && out.colour != JPEG_COLOUR_GRAY) {
                    // Gray into colour bytes: the sample in each.
                    const Image ours = Normalise(r.image, out.colour);
                    for (int c = 0; c < 3; ++c) {
                        Image channel{ours.width, ours.height, 1, {}};
                        for (size_t i = c; i < ours.pixels.size(); i += 3)
                            channel.pixels.push_back(ours.pixels[i]);
                        ExpectClose(channel, reference, what);
                    }
                    continue;
                }
                ExpectClose(Normalise(r.image, out.colour), reference, what);
            }
        }
    }
}

TEST_F(ReferenceRead, SmoothUpsamplingFollowsDjpegsDefault)
{
    for (const CorpusFile& f : ReferenceCorpus()) {
        if (f.gray || f.rgb)
            continue;
        const Image reference = Djpeg(f.jpeg, "-dct int");
        const ReadResult r = ReadJpeg(f.jpeg, JPEG_COLOUR_RGB, 3, JPEG_MODE_READ_MEMORY,
                                      [](JPEG_PROPERTIES& p) { p.SmoothUpsampling = 1; });
        ASSERT_EQ(r.rc, 0) << f.name;
        ExpectClose(r.image, reference, f.name + " smoothed");
    }
}

TEST_F(ReferenceRead, ReducedSizesAgainstDjpegScale)
{
    for (const CorpusFile& f : ReferenceCorpus()) {
        for (const auto& [mode, scale] : {std::pair{15, 2}, std::pair{17, 4}, std::pair{19, 8}}) {
            const Image reference = Djpeg(f.jpeg, "-dct int -scale 1/" + std::to_string(scale));
            const int colour = f.gray ? JPEG_COLOUR_GRAY : JPEG_COLOUR_RGB;
            const ReadResult r = ReadJpeg(f.jpeg, colour, f.gray ? 1 : 3, mode);
            ASSERT_EQ(r.rc, 0) << f.name << " 1/" << scale;
            ASSERT_EQ(r.image.width, reference.width);
            ASSERT_EQ(r.image.height, reference.height);
            const double psnr = Psnr(r.image, reference);
            std::printf("PSNR %-22s 1/%d: %.1f dB\n", f.name.c_str(), scale, psnr);
            EXPECT_GT(psnr, 33.0) << f.name << " 1/" << scale;
        }
    }
}

TEST_F(ReferenceRead, ArithmeticCodingAndTwelveBitFramesAreRefused)
{
    const CorpusFile& base = ReferenceCorpus()[0];
    const Bytes arithmetic = Transform(base.jpeg, "jpegtran -arithmetic");
    ASSERT_FALSE(arithmetic.empty());
    EXPECT_EQ(ReadJpeg(arithmetic, JPEG_COLOUR_RGB, 3, 3, {}, 93, 61).rc, JPEG_UNSUPPORTED_FRAME);

    Bytes twelve = base.jpeg;
    for (size_t i = 0; i + 4 < twelve.size(); ++i) {
        if (twelve[i] == 0xFF && twelve[i + 1] == 0xC0) {
            twelve[i + 4] = 12; // precision
            break;
        }
    }
    EXPECT_EQ(ReadJpeg(twelve, JPEG_COLOUR_RGB, 3, 3, {}, 93, 61).rc, JPEG_UNSUPPORTED_FRAME);
    EXPECT_EQ(ReadJpeg(twelve, JPEG_COLOUR_RGB, 3, JPEG_MODE_HEADER_MEMORY).rc, JPEG_UNSUPPORTED_FRAME);
}

} // namespace
} // namespace thermjpeg::test
