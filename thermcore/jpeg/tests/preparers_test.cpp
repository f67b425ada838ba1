// MCU preparation: the preparer chosen for each layout, colour conversion,
// chroma reduction in whole and partial MCUs, edge fill, negative heights.
#include <gtest/gtest.h>

#include "codec_state.h"
#include "mcu_preparers.h"
#include "sample_converters.h"
#include "test_support.h"

namespace thermjpeg::test {
namespace {

struct Layout {
    int imageColour;
    int imageChannels;
    int jpegColour;
    int jpegChannels;
    int sampling;
    int imageSampling = 0;
};

void Apply(JPEG_PROPERTIES& p, const Layout& l)
{
    p.ImageColour = l.imageColour;
    p.ImageChannels = l.imageChannels;
    p.JpegColour = l.jpegColour;
    p.JpegChannels = l.jpegChannels;
    p.JpegSampling = l.sampling;
    p.ImageSampling = l.imageSampling;
}

// A record that has written `image` with the layout; its state keeps the
// geometry and the installed preparer, so single MCUs can be prepared again.
class Prepared {
public:
    Prepared(const Image& image, const Layout& layout) : image_(image)
    {
        codec_.SetImage(image_, layout.imageColour);
        Apply(codec_.p, layout);
        int rc = 0;
        EncodeToMemory(codec_.p, &rc);
        EXPECT_EQ(rc, 0) << JpegErrorText(rc);
    }
    CodecState& State() { return *codec_.p.Codec; }
    const int16_t* Mcu(int column, int row)
    {
        State().kernels.prepareMcu(State(), column, row);
        return State().mcuBuffer;
    }

private:
    Image image_;
    Codec codec_;
};

TEST(McuPreparers, SelectionFollowsTheLayout)
{
    const struct {
        const char* name;
        Layout layout;
        McuPreparer preparer;
        int code;
    } cases[] = {
        {"RGB 4:4:4", {1, 3, 3, 3, 0}, JpegPrepareMcuRgb, kPathRgb},
        {"BGR 4:4:4", {2, 3, 3, 3, 0}, JpegPrepareMcuBgr, kPathBgr},
        {"RGB 4:2:0", {1, 3, 3, 3, 1}, JpegPrepareMcuRgbH2V2, kPathRgbH2V2},
        {"RGB 4:2:2", {1, 3, 3, 3, 2}, JpegPrepareMcuRgbH2V1, kPathRgbH2V1},
        {"BGR 4:2:0", {2, 3, 3, 3, 1}, JpegPrepareMcuBgrH2V2, kPathBgrH2V2},
        {"BGR 4:2:2", {2, 3, 3, 3, 2}, JpegPrepareMcuBgrH2V1, kPathBgrH2V1},
        {"RGB to gray", {1, 3, 4, 1, 0}, JpegPrepareMcuLuma, 0},
        {"BGR to gray", {2, 3, 4, 1, 0}, JpegPrepareMcuLuma, 0},
        {"RGBX 4:4:4", {1, 4, 3, 3, 0}, JpegPrepareMcuGeneral, 0},
        {"RGBX 4:2:0", {1, 4, 3, 3, 1}, JpegPrepareMcuGeneral, 0},
        {"inverted RGBA to YCCK", {5, 4, 6, 4, 0}, JpegPrepareMcuInvRgbA, kPathInvRgbA},
        {"inverted RGBA to YCCK 2x2", {5, 4, 6, 4, 3}, JpegPrepareMcuInvRgbAH2V2, kPathInvRgbAH2V2},
        {"inverted RGBA to YCCK 2x1", {5, 4, 6, 4, 4}, JpegPrepareMcuInvRgbAH2V1, kPathInvRgbAH2V1},
        {"four channels kept", {5, 4, 5, 4, 0}, JpegPrepareMcu4, kPath4},
        {"four channels kept 2x2", {5, 4, 5, 4, 3}, JpegPrepareMcuSampled, 0},
        {"gray", {4, 1, 4, 1, 0}, JpegPrepareMcuGray, kPathGray},
        {"gray to YCbCr", {4, 1, 3, 3, 0}, JpegPrepareMcuPlain, 0},
        {"gray to YCbCr 4:2:0", {4, 1, 3, 3, 1}, JpegPrepareMcuSampled, 0},
        {"YCbCr kept", {3, 3, 3, 3, 0}, JpegPrepareMcuYcc, kPathYcc},
        {"YCbCr 4:2:0", {3, 3, 3, 3, 1}, JpegPrepareMcuYccH2V2, kPathYccH2V2},
        {"YCbCr 4:2:2", {3, 3, 3, 3, 2}, JpegPrepareMcuYccH2V1, kPathYccH2V1},
        {"packed YCbYCr", {3, 3, 3, 3, 0, 2}, JpegPrepareMcuYcbycr, kPathYcbycr},
        {"RGB stored raw", {1, 3, 1, 3, 0}, JpegPrepareMcuYcc, kPathYcc},
        {"BGR stored as RGB", {2, 3, 1, 3, 0}, JpegPrepareMcuPlain, 0},
        {"BGR stored as RGB 4:2:0", {2, 3, 1, 3, 1}, JpegPrepareMcuSampled, 0},
        {"other, two channels", {255, 2, 255, 2, 0}, JpegPrepareMcuPlain, 0},
        {"other, four of five bytes", {255, 5, 255, 4, 0}, JpegPrepareMcuPlain, 0},
        {"other, four of four bytes", {255, 4, 255, 4, 0}, JpegPrepareMcu4, kPath4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Image image = MakeImage(18, 10, c.layout.imageSampling == 2 ? 2 : c.layout.imageChannels);
        Prepared prepared(image, c.layout);
        EXPECT_EQ(prepared.State().kernels.prepareMcu, c.preparer);
        EXPECT_EQ(prepared.State().fastPathCode, c.code);
    }
}

TEST(McuPreparers, PixelConversion)
{
    EXPECT_EQ(JpegLuma(255, 255, 255), 127);
    EXPECT_EQ(JpegChromaBlue(255, 255, 255), 0);
    EXPECT_EQ(JpegChromaRed(255, 255, 255), 0);
    EXPECT_EQ(JpegLuma(0, 0, 0), -128);
    EXPECT_EQ(JpegChromaBlue(0, 0, 0), 0);
    EXPECT_EQ(JpegChromaRed(0, 0, 0), 0);
    EXPECT_EQ(JpegChromaRed(255, 0, 0), 128); // one above the level-shifted range; the DCT takes it
    EXPECT_EQ(JpegChromaBlue(0, 0, 255), 128);
}

// Whole MCUs round chroma once, partial MCUs twice.
TEST(McuPreparers, ChromaOfTheWorkedBoxInWholeAndPartialMcus)
{
    const uint8_t box[4][3] = {{64, 67, 0}, {2, 107, 110}, {84, 85, 148}, {160, 101, 104}};
    auto imageWithBox = [&](int size) {
        Image image = MakeUniformImage(size, size, 3, {90, 90, 90});
        for (int i = 0; i < 4; ++i)
            std::copy(box[i], box[i] + 3, &image.pixels[((i / 2) * size + i % 2) * 3]);
        return image;
    };
    Prepared whole(imageWithBox(16), {1, 3, 3, 3, 1});
    EXPECT_EQ(whole.Mcu(0, 0)[4 * 64], 2);
    Prepared partial(imageWithBox(2), {1, 3, 3, 3, 1});
    EXPECT_EQ(partial.Mcu(0, 0)[4 * 64], 3);
}

TEST(McuPreparers, UniformColourGivesTheSameBlocksWholeOrPartial)
{
    const struct {
        const char* name;
        Layout layout;
        std::initializer_list<uint8_t> pixel;
        int blocks;
    } cases[] = {
        {"RGB 4:2:0", {1, 3, 3, 3, 1}, {200, 30, 90}, 6},
        {"BGR 4:2:2", {2, 3, 3, 3, 2}, {10, 250, 90}, 4},
        {"RGB 4:4:4", {1, 3, 3, 3, 0}, {0, 0, 0}, 3},
        {"inverted RGBA 2x2", {5, 4, 6, 4, 3}, {30, 60, 90, 120}, 10},
        {"inverted RGBA 2x1", {5, 4, 6, 4, 4}, {30, 60, 90, 120}, 8},
        {"YCbCr 4:2:0", {3, 3, 3, 3, 1}, {100, 110, 120}, 6},
        {"gray", {4, 1, 4, 1, 0}, {77}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int channels = static_cast<int>(c.pixel.size());
        Prepared whole(MakeUniformImage(16, 16, channels, c.pixel), c.layout);
        const std::vector<int16_t> wholeMcu(whole.Mcu(0, 0), whole.Mcu(0, 0) + c.blocks * 64);
        Prepared partial(MakeUniformImage(5, 3, channels, c.pixel), c.layout);
        const std::vector<int16_t> partialMcu(partial.Mcu(0, 0), partial.Mcu(0, 0) + c.blocks * 64);
        EXPECT_EQ(wholeMcu, partialMcu);
    }
    // And the values themselves for the complemented layout: Y, Cb, Cr of
    // the complements, the fourth byte minus 128.
    Prepared inverted(MakeUniformImage(8, 8, 4, {30, 60, 90, 120}), {5, 4, 6, 4, 0});
    const int16_t* mcu = inverted.Mcu(0, 0);
    EXPECT_EQ(mcu[0], JpegLuma(225, 195, 165));
    EXPECT_EQ(mcu[64], JpegChromaBlue(225, 195, 165));
    EXPECT_EQ(mcu[128], JpegChromaRed(225, 195, 165));
    EXPECT_EQ(mcu[192], 120 - 128);
}

// 17 pixels wide at 2x2: the second MCU column holds one valid column; all
// 16 of its columns repeat image column 16.
TEST(McuPreparers, LastColumnRepeatsTheLastValidPixel)
{
    const Image image = MakeImage(17, 16, 3, 9);
    Prepared prepared(image, {1, 3, 3, 3, 1});
    const int16_t* mcu = prepared.Mcu(1, 0);
    for (int y = 0; y < 16; ++y) {
        const uint8_t* p = &image.pixels[(y * 17 + 16) * 3];
        const int16_t expected = static_cast<int16_t>(JpegLuma(p[0], p[1], p[2]));
        for (int x = 0; x < 16; ++x) {
            const int block = (y / 8) * 2 + x / 8;
            ASSERT_EQ(mcu[block * 64 + (y % 8) * 8 + x % 8], expected) << x << "," << y;
        }
    }
}

TEST(McuPreparers, GrayWrittenAsYCbCrHasNeutralChromaAtAnySampling)
{
    const Image gray = MakeImage(13, 11, 1, 5); // exactly 13 x 11 bytes: any read past it is caught
    for (int sampling : {JPEG_SAMPLING_444, JPEG_SAMPLING_420, JPEG_SAMPLING_422}) {
        SCOPED_TRACE(sampling);
        Prepared prepared(gray, {4, 1, 3, 3, sampling});
        CodecState& s = prepared.State();
        const int lumaBlocks = s.components[0].h * s.components[0].v;
        for (int row = 0; row < s.mcuRows; ++row) {
            for (int column = 0; column < s.mcusPerRow; ++column) {
                const int16_t* mcu = prepared.Mcu(column, row);
                for (int i = lumaBlocks * 64; i < (lumaBlocks + 2) * 64; ++i)
                    ASSERT_EQ(mcu[i], 0) << "at " << i;
            }
        }
        EXPECT_EQ(prepared.Mcu(0, 0)[0], gray.pixels[0] - 128);
    }
}

TEST(McuPreparers, NegativeHeightWalksTheRowsUpwards)
{
    const struct {
        Layout layout;
        int channels;
    } cases[] = {
        {{2, 3, 3, 3, 1}, 3},
        {{1, 3, 3, 3, 0}, 3},
        {{4, 1, 4, 1, 0}, 1},
        {{4, 1, 3, 3, 1}, 1},
    };
    for (const auto& c : cases) {
        const Image image = MakeImage(19, 21, c.channels, 2);
        Image flipped = image;
        const size_t row = static_cast<size_t>(image.width) * image.channels;
        for (int y = 0; y < image.height; ++y)
            std::copy_n(&image.pixels[y * row], row, &flipped.pixels[(image.height - 1 - y) * row]);
        const auto setup = [&](JPEG_PROPERTIES& p) { Apply(p, c.layout); };
        const Bytes upright = Encode(image, c.layout.imageColour, setup);
        const Bytes upwards = Encode(flipped, c.layout.imageColour, [&](JPEG_PROPERTIES& p) {
            setup(p);
            p.ImageHeight = -image.height;
        });
        EXPECT_EQ(upright, upwards);
    }
}

// Each layout, through djpeg, gives back its picture.
TEST(McuPreparers, EveryThreeAndOneComponentPathDecodes)
{
    if (!HaveTool("djpeg"))
        GTEST_SKIP() << "djpeg not installed";
    TempDir dir;
    const Image rgb = MakeImage(37, 29, 3, 3);
    const Image gray = MakeImage(37, 29, 1, 3);
    Image rgbx{rgb.width, rgb.height, 4, {}};
    Image ycc = rgb; // R, G, B bytes written as Y, Cb, Cr: read back through djpeg as its RGB
    for (size_t i = 0; i < rgb.pixels.size(); i += 3) {
        rgbx.pixels.insert(rgbx.pixels.end(), {rgb.pixels[i], rgb.pixels[i + 1], rgb.pixels[i + 2], 9});
        const int r = rgb.pixels[i], g = rgb.pixels[i + 1], b = rgb.pixels[i + 2];
        ycc.pixels[i] = static_cast<uint8_t>(JpegLuma(r, g, b) + 128);
        ycc.pixels[i + 1] = static_cast<uint8_t>(std::clamp(JpegChromaBlue(r, g, b) + 128, 0, 255));
        ycc.pixels[i + 2] = static_cast<uint8_t>(std::clamp(JpegChromaRed(r, g, b) + 128, 0, 255));
    }
    const Image bgr = SwapRedBlue(rgb);
    // Broken paths give far below 20 dB; the subsampled ones lose the
    // image's one-pixel checkerboard in chroma.
    const struct {
        const char* name;
        const Image* source;
        Layout layout;
        const Image* expected; // null: only the size and channel count are checked
        double minimum;
    } cases[] = {
        {"RGB 4:4:4", &rgb, {1, 3, 3, 3, 0}, &rgb, 36},
        {"RGB 4:2:0", &rgb, {1, 3, 3, 3, 1}, &rgb, 25},
        {"RGB 4:2:2", &rgb, {1, 3, 3, 3, 2}, &rgb, 25},
        {"BGR 4:2:2", &bgr, {2, 3, 3, 3, 2}, &rgb, 25},
        {"RGBX 4:2:0", &rgbx, {1, 4, 3, 3, 1}, &rgb, 25},
        {"RGBX 4:4:4", &rgbx, {1, 4, 3, 3, 0}, &rgb, 36},
        {"RGB stored raw", &rgb, {1, 3, 1, 3, 0}, &rgb, 36},
        {"RGB stored raw 4:2:0", &rgb, {1, 3, 1, 3, 1}, &rgb, 20},
        {"BGR stored as RGB", &bgr, {2, 3, 1, 3, 0}, &rgb, 36},
        {"BGR stored as RGB 4:2:0", &bgr, {2, 3, 1, 3, 1}, &rgb, 20},
        {"YCbCr 4:4:4", &ycc, {3, 3, 3, 3, 0}, &rgb, 33},
        {"YCbCr 4:2:0", &ycc, {3, 3, 3, 3, 1}, &rgb, 25},
        {"gray", &gray, {4, 1, 4, 1, 0}, &gray, 36},
        {"gray to YCbCr", &gray, {4, 1, 3, 3, 1}, nullptr, 0},
        {"RGB to gray", &rgb, {1, 3, 4, 1, 0}, nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes stream = Encode(*c.source, c.layout.imageColour, [&](JPEG_PROPERTIES& p) {
            Apply(p, c.layout);
            p.Quality = 95;
        });
        const Image decoded = Decode(stream, dir);
        ASSERT_EQ(decoded.width, rgb.width);
        ASSERT_EQ(decoded.height, rgb.height);
        EXPECT_EQ(decoded.channels, c.layout.jpegChannels == 1 ? 1 : 3);
        if (c.expected != nullptr) {
            EXPECT_GT(Psnr(decoded, *c.expected), c.minimum);
        }
    }
}

} // namespace
} // namespace thermjpeg::test
