// Rectangle and disc statistics against pixel-by-pixel references: every
// pixel read through the point rule (IFR_GetPointGray), converted as a point
// is (IFR_GrayToTemp of its gray), averages summed in visiting order in one
// long double. The statistics read whole rows at a time and sum them in
// pieces; they must give the same bits on every fixture and on random frames
// of every model family, with pixels outside the image, in row 0's first
// columns, at the ends of the gray range and holding the outside gray.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "fixture_files.h"
#include "thermcore.h"

using thermcore_test::allFixtures;
using thermcore_test::fixturePath;

namespace {

uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

struct Opened {
    IfrHandle h;
    int width = 0, height = 0;
    explicit Opened(const std::string& path) : h(IFR_LoadFile(nullptr, path.c_str(), IFR_KIND_IMAGE, nullptr, nullptr)) {
        EXPECT_NE(h, nullptr) << path;
        if (h == nullptr) return;
        EXPECT_EQ(IFR_Next(h), 0);
        IFR_GetImageWidthHeight(h, &width, &height);
    }
    ~Opened() {
        if (h == nullptr) return;
        IFR_CloseFile(h);
        IFR_Free(h);
    }
};

// The pixels of a shape in visiting order.
struct Pixel {
    int x, y;
};

std::vector<Pixel> rectPixels(int x1, int y1, int x2, int y2) {
    std::vector<Pixel> p;
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) p.push_back({x, y});
    }
    return p;
}

std::vector<Pixel> discPixels(int cx, int cy, int r) {
    std::vector<Pixel> p;
    for (int y = cy - r; y <= cy + r; ++y) {
        for (int x = cx - r; x <= cx + r; ++x) {
            if (int64_t{x - cx} * (x - cx) + int64_t{y - cy} * (y - cy) <= int64_t{r} * r) p.push_back({x, y});
        }
    }
    return p;
}

// What the statistics of one shape must be, pixel by pixel.
struct Reference {
    std::vector<int> grays;
    std::vector<float> temps;
    float average = 0;
    int min = 0, max = 0;
    IfrPoint minAt{}, maxAt{};
};

Reference referenceOf(IfrHandle h, const std::vector<Pixel>& pixels) {
    std::map<int, float> tempOf;
    Reference r;
    long double sum = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const int g = IFR_GetPointGray(h, pixels[i].x, pixels[i].y);
        auto it = tempOf.find(g);
        if (it == tempOf.end()) it = tempOf.emplace(g, IFR_GrayToTemp(h, g)).first;
        r.grays.push_back(g);
        r.temps.push_back(it->second);
        sum += it->second;
        if (i == 0 || g > r.max) {
            r.max = g;
            r.maxAt = {pixels[i].x, pixels[i].y};
        }
        if (i == 0 || g < r.min) {
            r.min = g;
            r.minAt = {pixels[i].x, pixels[i].y};
        }
    }
    r.average = static_cast<float>(sum / static_cast<long double>(pixels.size()));
    return r;
}

void expectSameTemps(const std::vector<float>& got, const std::vector<float>& want) {
    ASSERT_EQ(got.size(), want.size());
    int wrong = 0;
    for (size_t i = 0; i < got.size(); ++i) {
        if (bits(got[i]) != bits(want[i]) && ++wrong <= 3) {
            ADD_FAILURE() << "pixel " << i << ": " << got[i] << ", expected " << want[i];
        }
    }
}

void expectRectMatches(IfrHandle h, int x1, int y1, int x2, int y2) {
    SCOPED_TRACE(testing::Message() << "rectangle " << x1 << "," << y1 << " - " << x2 << "," << y2);
    const Reference ref = referenceOf(h, rectPixels(x1, y1, x2, y2));
    EXPECT_EQ(bits(IFR_GetRectAverageTemp(h, x1, y1, x2, y2)), bits(ref.average))
        << IFR_GetRectAverageTemp(h, x1, y1, x2, y2) << " vs " << ref.average;

    std::vector<float> temps(ref.temps.size());
    ASSERT_EQ(IFR_GetRectTemp(h, x1, y1, x2, y2, temps.data()), 0);
    expectSameTemps(temps, ref.temps);
    std::vector<int> grays(ref.grays.size());
    ASSERT_EQ(IFR_GetRectGray(h, x1, y1, x2, y2, grays.data()), 0);
    EXPECT_EQ(grays, ref.grays);

    int min = 0, max = 0;
    IfrPoint minAt{}, maxAt{};
    ASSERT_EQ(IFR_GetRectMinMaxGray(h, x1, y1, x2, y2, &min, &minAt, &max, &maxAt), 0);
    EXPECT_EQ(min, ref.min);
    EXPECT_EQ(max, ref.max);
    EXPECT_TRUE(minAt.x == ref.minAt.x && minAt.y == ref.minAt.y) << minAt.x << "," << minAt.y;
    EXPECT_TRUE(maxAt.x == ref.maxAt.x && maxAt.y == ref.maxAt.y) << maxAt.x << "," << maxAt.y;
}

void expectDiscMatches(IfrHandle h, int cx, int cy, int r) {
    SCOPED_TRACE(testing::Message() << "disc " << cx << "," << cy << " r " << r);
    const Reference ref = referenceOf(h, discPixels(cx, cy, r));
    EXPECT_EQ(bits(IFR_GetCircleAverageTemp(h, cx, cy, r)), bits(ref.average));

    std::vector<float> temps(ref.temps.size());
    ASSERT_EQ(IFR_GetCircleTemp(h, cx, cy, r, temps.data()), 0);
    expectSameTemps(temps, ref.temps);
    std::vector<int> grays(ref.grays.size());
    ASSERT_EQ(IFR_GetCircleGray(h, cx, cy, r, grays.data()), static_cast<int>(ref.grays.size()));
    EXPECT_EQ(grays, ref.grays);

    int min = 0, max = 0;
    IfrPoint minAt{}, maxAt{};
    ASSERT_EQ(IFR_GetCircleMinMaxGray(h, cx, cy, r, &min, &minAt, &max, &maxAt), 0);
    EXPECT_EQ(min, ref.min);
    EXPECT_EQ(max, ref.max);
    EXPECT_TRUE(minAt.x == ref.minAt.x && minAt.y == ref.minAt.y) << minAt.x << "," << minAt.y;
    EXPECT_TRUE(maxAt.x == ref.maxAt.x && maxAt.y == ref.maxAt.y) << maxAt.x << "," << maxAt.y;
}

// Shapes that reach every case of a row: the whole frame, bands of the
// frame's width (inside it, and reaching above and below it), the frame
// with a margin outside it on every side, row 0's first columns, a corner,
// a shape wholly outside, a single column and a single pixel.
void expectShapesMatch(IfrHandle h, int w, int ht) {
    expectRectMatches(h, 0, 0, w - 1, ht - 1);
    expectRectMatches(h, 0, 2, w - 1, ht / 2);
    expectRectMatches(h, 0, -2, w - 1, ht + 3);
    expectRectMatches(h, -3, -2, w + 2, ht + 1);
    expectRectMatches(h, -7, 0, 3, 1);
    expectRectMatches(h, 2, 0, w / 2, ht / 2);
    expectRectMatches(h, w - 2, ht - 3, w + 4, ht + 2);
    expectRectMatches(h, w + 1, 1, w + 5, 3);
    expectRectMatches(h, 4, 0, 4, ht - 1);
    expectRectMatches(h, 6, 1, 6, 1);
    expectDiscMatches(h, w / 2, ht / 2, std::min(w, ht) / 3 + 1);
    expectDiscMatches(h, 1, 0, 4);
    expectDiscMatches(h, w - 1, ht - 1, 6);
    expectDiscMatches(h, w / 2, ht / 2, w);
}

TEST(AreaStatistics, EveryFixtureMatchesThePixelByPixelReference) {
    int opened = 0;
    for (const std::string& name : allFixtures()) {
        if (name.rfind("bad_", 0) == 0) continue;
        SCOPED_TRACE(name);
        Opened img(fixturePath(name));
        if (img.h == nullptr || img.width * img.height > 320 * 240) continue;
        expectShapesMatch(img.h, img.width, img.height);
        ++opened;
    }
    EXPECT_GE(opened, 20);
}

// Random frames: grays over the camera's range, a few at the ends of the
// table's range (0 and 16383), just outside it, at the ends of the signed
// range, and the outside gray itself.
std::vector<unsigned short> randomFrame(std::mt19937& rng, int w, int h, int lo, int hi) {
    std::uniform_int_distribution<int> gray(lo, hi);
    std::uniform_int_distribution<int> special(0, 15);
    static const int kSpecial[] = {0, 16383, -1, 16384, -32768, 32767, -10000};
    std::vector<unsigned short> f(size_t(w) * h);
    for (auto& g : f) {
        const int s = special(rng);
        g = static_cast<unsigned short>(s < 7 && (rng() % 8) == 0 ? kSpecial[s] : gray(rng));
    }
    return f;
}

TEST(AreaStatistics, RandomFramesOfEveryModelFamilyMatchThePixelByPixelReference) {
    std::mt19937 rng(15);
    // Own line-table model, radiometric model, plane model.
    for (const char* name : {"k4_320", "k8_160", "k9", "k11"}) {
        SCOPED_TRACE(name);
        Opened img(fixturePath(name));
        ASSERT_NE(img.h, nullptr);
        for (const auto& [lo, hi] : {std::pair{3000, 9000}, std::pair{0, 16383}, std::pair{7000, 7040}}) {
            SCOPED_TRACE(testing::Message() << "grays " << lo << ".." << hi);
            std::vector<unsigned short> frame = randomFrame(rng, img.width, img.height, lo, hi);
            ASSERT_EQ(IFR_LoadInfraredData(img.h, frame.data()), 0);
            expectShapesMatch(img.h, img.width, img.height);
        }
    }
}

// A scene change between calls drops the temperatures held for the old
// scene; the next statistics convert again and still match.
TEST(AreaStatistics, SceneChangesBetweenCallsAreFollowed) {
    Opened img(fixturePath("k8_160"));
    ASSERT_NE(img.h, nullptr);
    for (float emissivity : {0.95f, 0.6f, 0.95f}) {
        SCOPED_TRACE(emissivity);
        float e = 0, d = 0;
        IFR_GetEmissDis(img.h, &e, &d);
        IFR_SetEmissDis(img.h, emissivity, d);
        expectRectMatches(img.h, -1, -1, img.width, img.height);
        expectDiscMatches(img.h, 40, 30, 25);
    }
}

// Whole-frame temperatures go in spans of rows while the temperatures of a
// span's grays are already held, and row by row from the first span holding
// a gray not yet converted. Frames whose grays stay in one narrow range but
// for a band of others (met first at the top, in the middle, at the last
// row), asked after only the top third was converted, give the pixel-by-
// pixel temperatures; so do they asked again, with everything held.
TEST(AreaStatistics, WholeFrameTemperaturesWhereOnlyPartOfTheFrameIsConverted) {
    std::mt19937 rng(3);
    float emissivity = 0.71f;
    for (const char* name : {"k4_320", "k8_160", "k9", "k11"}) {
        Opened img(fixturePath(name));
        ASSERT_NE(img.h, nullptr);
        const int w = img.width, ht = img.height;
        for (int bandRow : {1, ht / 2, ht - 1}) {
            SCOPED_TRACE(testing::Message() << name << ", other grays in row " << bandRow);
            std::uniform_int_distribution<int> usual(6000, 6100), other(12000, 12300);
            std::vector<unsigned short> frame(size_t(w) * ht);
            for (int y = 0; y < ht; ++y) {
                for (int x = 0; x < w; ++x) {
                    frame[size_t(y) * w + x] = static_cast<unsigned short>(y == bandRow ? other(rng) : usual(rng));
                }
            }
            ASSERT_EQ(IFR_LoadInfraredData(img.h, frame.data()), 0);
            // A scene no other test converted, so that only what this test
            // asks for is held.
            float e = 0, d = 0;
            IFR_GetEmissDis(img.h, &e, &d);
            emissivity += 0.005f;
            IFR_SetEmissDis(img.h, emissivity, d);
            std::vector<float> top(size_t(w) * (ht / 3));
            ASSERT_EQ(IFR_GetRectTemp(img.h, 0, 1, w - 1, ht / 3, top.data()), 0);

            for (int pass = 0; pass < 2; ++pass) {
                SCOPED_TRACE(pass == 0 ? "first call" : "again");
                std::vector<float> temps(size_t(w) * ht);
                ASSERT_EQ(IFR_GetRectTemp(img.h, 0, 0, w - 1, ht - 1, temps.data()), 0);
                expectSameTemps(temps, referenceOf(img.h, rectPixels(0, 0, w - 1, ht - 1)).temps);
            }
        }
    }
}

}  // namespace
