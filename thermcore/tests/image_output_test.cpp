// The false-colour image as a BMP file image, a BMP file, raw pixels and a
// JPEG file, and the converters of camera files: BMPs are read by PIL and
// must hold the palette entries of the frame's grays; JPEGs are decoded by
// djpeg and compared with cjpeg at the same quality.
#include <gtest/gtest.h>

#include <cmath>

#include "extract_support.h"
#include "test_support.h"

using namespace thermcore_test;
namespace tj = thermjpeg::test;

namespace {

std::string palette() { return fixtureFile("palette.bmp"); }

// The frame after the border repair: the counts (top, bottom, left, right)
// are 2, 3, 3, 4 for 320-wide frames, else 0, 0, 1, 1; border rows and
// columns copy the nearest one inside.
std::vector<uint16_t> repaired(std::vector<uint16_t> f, int w, int h) {
    const bool wide = w == 320;
    const int top = wide ? 2 : 0, bottom = wide ? 3 : 0, left = wide ? 3 : 1, right = wide ? 4 : 1;
    auto at = [&](int x, int y) -> uint16_t& { return f[static_cast<size_t>(y) * w + x]; };
    for (int y = 0; y < h; ++y) {
        const int from = y < top ? top : y >= h - bottom ? h - bottom - 1 : y;
        for (int x = 0; x < w; ++x) at(x, y) = at(x, from);
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < left; ++x) at(x, y) = at(left, y);
        for (int x = w - right; x < w; ++x) at(x, y) = at(w - right - 1, y);
    }
    return f;
}

void expectPicture(const Picture& p, int w, int h, const std::vector<uint32_t>& colours,
                   const std::string& what) {
    ASSERT_EQ(p.width, w) << what;
    ASSERT_EQ(p.height, h) << what;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(p.at(x, y), colours[static_cast<size_t>(y) * w + x]) << what << " at " << x << "," << y;
        }
    }
}

// A handle with the palette set and its first frame read.
struct Rendered : OpenFile {
    explicit Rendered(const std::string& file) : OpenFile(file) {
        EXPECT_EQ(IFR_SetColorRuler(get(), palette().c_str()), 0);
        EXPECT_EQ(IFR_Next(get()), 0);
    }
    Bytes dib() const {
        const int n = ThermcoreDibFileSize(width(), height());
        Bytes b(static_cast<size_t>(n));
        int size = 0;
        EXPECT_EQ(IFR_OutputDIB(get(), b.data(), &size, 3), 0);
        EXPECT_EQ(size, n);
        return b;
    }
    // The colour image as R, G, B rows, through IFR_MemSaveToBuff.
    tj::Image pixels() const {
        tj::Image im{width(), height(), 3, {}};
        Bytes raw(static_cast<size_t>(width()) * height() * 4);
        EXPECT_EQ(IFR_MemSaveToBuff(get(), raw.data(), static_cast<int>(raw.size())), 0);
        for (size_t i = 0; i < raw.size(); i += 4) {
            im.pixels.insert(im.pixels.end(), {raw[i + 2], raw[i + 1], raw[i]});
        }
        return im;
    }
};

TEST(Dib, PixelsArePaletteEntriesOfTheRepairedFrame) {
    ScratchDir dir;
    for (const char* file : {"k4.vni", "x_w15.vni", "k4_320.vni"}) {
        Rendered h(file);
        const int w = h.width(), ht = h.height();
        const Bytes dib = h.dib();
        const Picture p = decodeBmp(dir.write("ir.bmp", dib));
        const std::vector<uint32_t> colours =
            expectedColours(repaired(generatedFrame(w, ht, false), w, ht), IFR_GetHistogramMinGray(h),
                            IFR_GetHistogramMaxGray(h));
        expectPicture(p, w, ht, colours, file);
        // Header fields, and rows padded with zeros to 4 bytes.
        const size_t row = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
        EXPECT_EQ(le32(dib, 2), dib.size()) << file;
        EXPECT_EQ(le32(dib, 10), 54u);
        EXPECT_EQ(le32(dib, 34), row * ht);
        for (int y = 0; y < ht; ++y) {
            for (size_t k = 54 + y * row + 3 * w; k < 54 + (y + 1) * row; ++k) ASSERT_EQ(dib[k], 0) << file;
        }
    }
}

TEST(Dib, TheFileHelperSizesTheBuffer) {
    EXPECT_EQ(ThermcoreDibFileSize(320, 240), 54 + 320 * 240 * 3);
    EXPECT_EQ(ThermcoreDibFileSize(640, 480), 54 + 640 * 480 * 3);
    EXPECT_EQ(ThermcoreDibFileSize(15, 7), 54 + 48 * 7);
    EXPECT_EQ(ThermcoreDibFileSize(0, 7), 0);
    Rendered h("x_w15.vni");
    Bytes b(static_cast<size_t>(ThermcoreDibFileSize(15, 7)) + 8, 0xEE);
    EXPECT_EQ(IFR_OutputDIB(h, b.data(), nullptr, 0), 0);
    EXPECT_EQ(Bytes(b.end() - 8, b.end()), Bytes(8, 0xEE));  // nothing beyond
    EXPECT_EQ(IFR_OutputDIB(h, nullptr, nullptr, 0), -1);
    EXPECT_EQ(IFR_OutputDIB(nullptr, b.data(), nullptr, 0), -1);
}

TEST(Bmp, MemSaveWritesTheImageAsRenderedLast) {
    ScratchDir dir;
    const std::string target = dir.path("image.bmp");
    {
        // Nothing rendered yet: a black picture.
        OpenFile h("k4.vni");
        ASSERT_EQ(IFR_MemSaveToBMP(h, target.c_str()), 0);
        const Picture p = decodeBmp(target);
        expectPicture(p, 16, 12, std::vector<uint32_t>(16 * 12, 0), "unrendered");
    }
    for (const char* file : {"k4.vni", "x_w15.vni"}) {
        Rendered h(file);
        const Bytes dib = h.dib();
        ASSERT_EQ(IFR_MemSaveToBMP(h, target.c_str()), 0);
        EXPECT_EQ(readBytes(target), dib) << file;
    }
    Rendered h("k4.vni");
    EXPECT_EQ(IFR_MemSaveToBMP(h, dir.path("missing/image.bmp").c_str()), -1);
    EXPECT_EQ(IFR_MemSaveToBMP(h, nullptr), -1);
}

TEST(Buffer, CopiesTheColourPixels) {
    Rendered h("x_w15.vni");
    const Bytes dib = h.dib();
    const int n = 15 * 7 * 4;
    Bytes raw(n + 1, 0xEE);
    EXPECT_EQ(IFR_MemSaveToBuff(h, raw.data(), n + 1), -1);
    EXPECT_EQ(IFR_MemSaveToBuff(h, raw.data(), -1), -1);
    EXPECT_EQ(IFR_MemSaveToBuff(h, nullptr, 4), -1);
    ASSERT_EQ(IFR_MemSaveToBuff(h, raw.data(), n), 0);
    EXPECT_EQ(raw[n], 0xEE);
    // Pixel (x, y): blue, green, red, 0 as in row 6 - y of the DIB.
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 15; ++x) {
            const size_t p = (static_cast<size_t>(y) * 15 + x) * 4;
            const size_t d = 54 + static_cast<size_t>(6 - y) * 48 + 3 * x;
            ASSERT_EQ(Bytes(raw.begin() + p, raw.begin() + p + 4), Bytes({dib[d], dib[d + 1], dib[d + 2], 0}));
        }
    }
    Bytes part(5, 0xEE);
    ASSERT_EQ(IFR_MemSaveToBuff(h, part.data(), 5), 0);
    EXPECT_EQ(Bytes(part.begin(), part.begin() + 5), Bytes(raw.begin(), raw.begin() + 5));
}

// --- JPEG

bool haveJpegTools() { return tj::HaveTool("djpeg") && tj::HaveTool("cjpeg"); }

// PSNR of cjpeg at the quality and its default sampling (2 x 2) on the image.
double cjpegPsnr(const tj::Image& image, int quality, const tj::TempDir& dir) {
    tj::WritePnm(dir.Path("ref.ppm"), image);
    const auto jpg = dir.Path("ref.jpg");
    EXPECT_EQ(tj::Run("cjpeg -quality " + std::to_string(quality) + " -outfile " + quoted(jpg.string()) + " " +
                      quoted(dir.Path("ref.ppm").string())),
              0);
    return tj::Psnr(tj::Decode(tj::ReadFileBytes(jpg), dir, "ref"), image);
}

double jpegPsnr(const std::string& path, const tj::Image& image, const tj::TempDir& dir) {
    return tj::Psnr(tj::Decode(tj::ReadFileBytes(path), dir, "ours"), image);
}

TEST(Jpeg, QualityOutsideOneToHundredIsEighty) {
    ScratchDir dir;
    Rendered h("k4.vni");
    ASSERT_EQ(IFR_MemSaveToJPG(h, dir.path("q80.jpg").c_str(), 80), 0);
    const Bytes q80 = readBytes(dir.path("q80.jpg"));
    for (int q : {0, 150, -5, 101}) {
        const std::string path = dir.path("q.jpg");
        ASSERT_EQ(IFR_MemSaveToJPG(h, path.c_str(), q), 0) << q;
        EXPECT_EQ(readBytes(path), q80) << q;
    }
    ASSERT_EQ(IFR_MemSaveToJPG(h, dir.path("q50.jpg").c_str(), 50), 0);
    EXPECT_NE(readBytes(dir.path("q50.jpg")), q80);
    EXPECT_EQ(IFR_MemSaveToJPG(h, dir.path("missing/q.jpg").c_str(), 80), JPEG_INVALID_FILE_NAME);
    EXPECT_EQ(IFR_MemSaveToJPG(nullptr, dir.path("q.jpg").c_str(), 80), -1);
}

TEST(Jpeg, WithinHalfADecibelOfCjpegFromOneByOneTo640By480) {
    if (!haveJpegTools()) GTEST_SKIP() << "djpeg/cjpeg missing";
    tj::TempDir dir;
    const std::string out = dir.Path("save.jpg").string();
    auto check = [&](IfrHandle h, const tj::Image& image, const std::string& what) {
        ASSERT_EQ(IFR_MemSaveToJPG(h, out.c_str(), 80), 0) << what;
        const double ours = jpegPsnr(out, image, dir);
        const double ref = cjpegPsnr(image, 80, dir);
        EXPECT_NEAR(ours, ref, 0.5) << what;
    };
    for (const char* file : {"k8_640.vni", "k4_320.vni", "k4.vni", "x_w15.vni"}) {
        Rendered h(file);
        h.dib();
        check(h, h.pixels(), file);
    }
    // Live images of odd sizes.
    for (const auto& [w, ht] : {std::pair{1, 1}, std::pair{33, 17}, std::pair{2, 9}}) {
        IfrHandle h = IFR_Init(nullptr, w, ht);
        ASSERT_NE(h, nullptr);
        ASSERT_EQ(IFR_SetColorRuler(h, palette().c_str()), 0);
        const std::vector<uint16_t> frame = generatedFrame(w, ht, false);
        IFR_DoHistogramProcess(h, frame.data());
        IFR_DoIfrProcess(h, frame.data());
        tj::Image image{w, ht, 3, {}};
        for (const uint32_t c : expectedColours(frame)) {
            image.pixels.insert(image.pixels.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        }
        check(h, image, std::to_string(w) + "x" + std::to_string(ht));
        IFR_Free(h);
    }
}

// --- converters

struct ConvertCase {
    const char* file;
    int kind;
    int result;
    int width = 0;
    int height = 0;
};
std::ostream& operator<<(std::ostream& os, const ConvertCase& c) {
    return os << c.file << " as kind " << c.kind;
}

class Converter : public testing::TestWithParam<ConvertCase> {};

TEST_P(Converter, RendersTheFirstFrameThroughThePalette) {
    const ConvertCase& c = GetParam();
    ScratchDir dir;
    const std::string bmp = dir.path("out.bmp");
    const std::string source = cameraFile(c.file);
    ASSERT_EQ(IFR_InfraredFileToBMP(palette().c_str(), c.kind, source.c_str(), bmp.c_str()), c.result);
    const std::string jpg = dir.path("out.jpg");
    ASSERT_EQ(IFR_InfraredFileToJPG(palette().c_str(), c.kind, source.c_str(), jpg.c_str(), 80), c.result);
    if (c.result != 0) return;
    const bool sequence = c.kind == IFR_KIND_SEQUENCE || std::string(c.file).find("seq") != std::string::npos;
    const std::vector<uint32_t> colours = expectedColours(generatedFrame(c.width, c.height, sequence));
    expectPicture(decodeBmp(bmp), c.width, c.height, colours, c.file);
    if (!haveJpegTools()) return;
    tj::Image image{c.width, c.height, 3, {}};
    for (const uint32_t col : colours) {
        image.pixels.insert(image.pixels.end(), {uint8_t(col >> 16), uint8_t(col >> 8), uint8_t(col)});
    }
    tj::TempDir tmp;
    EXPECT_NEAR(jpegPsnr(jpg, image, tmp), cjpegPsnr(image, 80, tmp), 0.5) << c.file;
}

INSTANTIATE_TEST_SUITE_P(
    Extracts, Converter,
    testing::Values(
        ConvertCase{"k4.vni", 0, 0, 16, 12}, ConvertCase{"k8_640.vni", 0, 0, 640, 480},
        ConvertCase{"seq_l0.vnv", 1, 0, 16, 12}, ConvertCase{"seq_l1.vnv", 1, 0, 16, 12},
        ConvertCase{"seq_l2.vnv", 1, 0, 16, 12}, ConvertCase{"seq_l3.vnv", 1, 0, 16, 12},
        ConvertCase{"x_seq_l2.vnv", 1, 0, 16, 12}, ConvertCase{"jpg_still.jpg", 2, 0, 16, 12},
        ConvertCase{"jpg_seq.jpg", 2, 0, 16, 12}, ConvertCase{"jpg_seq_l0.jpg", 2, 0, 16, 12},
        ConvertCase{"jpg_seq_l2.jpg", 2, 0, 16, 12},
        // Damaged or foreign files.
        ConvertCase{"no_such_file.vni", 0, -1}, ConvertCase{"k4.vni", 7, -1},
        ConvertCase{"bad_lowercase.vni", 0, -2}, ConvertCase{"bad_width0.vni", 0, -2},
        ConvertCase{"bad_frame_missing.vni", 0, -2}, ConvertCase{"k4.vni", 1, -2},
        ConvertCase{"seqbad_layout4.vnv", 1, -2}, ConvertCase{"seqbad_l1_width0.vnv", 1, -2},
        ConvertCase{"seqbad_l0_no_frame.vnv", 1, -2}, ConvertCase{"x_late_gray.vnv", 1, -1},
        ConvertCase{"x_jpg_late_gray.jpg", 2, -2}, ConvertCase{"seqbad_jpg_no_soi.jpg", 2, -1},
        ConvertCase{"seqbad_jpg_no_tag.jpg", 2, -1}),
    [](const auto& info) {
        std::string n = std::string(info.param.file) + "_kind" + std::to_string(info.param.kind);
        for (char& ch : n) ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return n;
    });

TEST(Converters, PaletteAndTargetFailures) {
    ScratchDir dir;
    const std::string source = cameraFile("k4.vni");
    const std::string missing = dir.path("none.bmp");
    EXPECT_EQ(IFR_InfraredFileToBMP(missing.c_str(), 0, source.c_str(), dir.path("a.bmp").c_str()), -1);
    EXPECT_EQ(IFR_InfraredFileToJPG(nullptr, 0, source.c_str(), dir.path("a.jpg").c_str(), 80), -1);
    EXPECT_EQ(IFR_InfraredFileToBMP(palette().c_str(), 0, source.c_str(), dir.path("no/a.bmp").c_str()), -1);
    EXPECT_EQ(IFR_InfraredFileToJPG(palette().c_str(), 0, source.c_str(), dir.path("no/a.jpg").c_str(), 80),
              JPEG_INVALID_FILE_NAME);
    EXPECT_EQ(IFR_InfraredFileToBMP(palette().c_str(), 0, nullptr, dir.path("a.bmp").c_str()), -1);
    EXPECT_EQ(IFR_InfraredFileToBMP(palette().c_str(), 0, source.c_str(), nullptr), -1);
}

}  // namespace
