// Scene parameters through the interface: hundredths, the getters, the
// background by measurement scheme, the line-table loaders, and conversions
// that follow the frame for the plane model.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "fixture_files.h"
#include "thermcore.h"

using thermcore_test::fixturePath;

namespace {

struct Handle {
    IfrHandle h;
    explicit Handle(const char* fixture)
        : h(IFR_LoadFile(nullptr, fixturePath(fixture).c_str(), IFR_KIND_IMAGE, nullptr, nullptr)) {
        EXPECT_NE(h, nullptr) << fixture;
        EXPECT_EQ(IFR_Next(h), 0);
    }
    ~Handle() {
        IFR_CloseFile(h);
        IFR_Free(h);
    }
};

float hundredths(int v) { return static_cast<float>(v / 100.0); }

TEST(SceneParameters, KeptInHundredths) {
    Handle img("k4");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float value;
        int stored;
    } cases[] = {
        {0.975f, 98}, {0.955f, 95}, {0.8f, 80}, {23.5f, 2350}, {1.0f, 100},
        {0.0f, 0}, {nan, 0}, {1e30f, 2147483647}, {-1e30f, -2147483647 - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        float e = -1, d = -1, a = -1, hum = -1, first = -1, second = -1;
        int integer = 0;
        ASSERT_EQ(IFR_SetEmissDis(img.h, c.value, 2.7f), 0);
        ASSERT_EQ(IFR_GetEmissDis(img.h, &e, &d), 0);
        EXPECT_EQ(e, hundredths(c.stored));
        EXPECT_EQ(d, 2.7f);  // the distance is kept as given
        ASSERT_EQ(IFR_SetAmbHum(img.h, c.value, c.value), 0);
        ASSERT_EQ(IFR_GetAmbHum(img.h, &a, &hum), 0);
        EXPECT_EQ(a, hundredths(c.stored));
        EXPECT_EQ(hum, hundredths(c.stored));  // a fraction in, a fraction out
        ASSERT_EQ(IFR_SetCorrectParam(img.h, c.value, c.value, 87), 0);
        ASSERT_EQ(IFR_GetCorrectParam(img.h, &first, &second, &integer), 0);
        EXPECT_EQ(first, hundredths(c.stored));
        EXPECT_EQ(second, hundredths(c.stored));
        EXPECT_EQ(integer, 87);
    }
    // Out-arguments may be NULL.
    EXPECT_EQ(IFR_GetEmissDis(img.h, nullptr, nullptr), 0);
    EXPECT_EQ(IFR_GetAmbHum(img.h, nullptr, nullptr), 0);
    EXPECT_EQ(IFR_GetCorrectParam(img.h, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(IFR_GetAtmoTemp(img.h, nullptr), 0);
}

TEST(SceneParameters, StoredOnlyValuesDoNotChangeTheConversion) {
    Handle img("k4");
    const float before = IFR_GrayToTemp(img.h, 6000);
    IFR_SetAllK(img.h, 1.7f);
    EXPECT_EQ(IFR_SetMeasureTempVersion(img.h, 3), 0);
    EXPECT_EQ(IFR_GetMeasureTempVersion(img.h), 3);
    float first = 0, second = 0;
    int integer = 0;
    IFR_GetCorrectParam(img.h, &first, &second, &integer);
    EXPECT_EQ(first, 0.98f);  // from the file, not from IFR_SetAllK
    EXPECT_EQ(IFR_GrayToTemp(img.h, 6000), before);
}

TEST(SceneParameters, BackgroundForSchemeThreeAmbientOtherwise) {
    Handle k8("k8"), k4("k4");
    float t = 0;
    // Scheme 3: the background, at first the calibration block's.
    ASSERT_EQ(IFR_GetAtmoTemp(k8.h, &t), 0);
    EXPECT_EQ(t, 22.0f);
    EXPECT_EQ(IFR_SetAtmoTemp(k8.h, 18.25f), 0);
    IFR_GetAtmoTemp(k8.h, &t);
    EXPECT_EQ(t, 18.25f);
    // Scheme 0: the ambient, whatever the background.
    EXPECT_EQ(IFR_SetAtmoTemp(k4.h, 18.25f), 0);
    IFR_GetAtmoTemp(k4.h, &t);
    EXPECT_EQ(t, 23.5f);
}

TEST(SceneParameters, BackgroundChangesTheRadiometricConversion) {
    Handle k8("k8");
    const float before = IFR_GrayToTemp(k8.h, 9000);
    IFR_SetAtmoTemp(k8.h, 60.0f);
    EXPECT_NE(IFR_GrayToTemp(k8.h, 9000), before);
}

std::vector<uint8_t> lineTable(int entries) {
    std::vector<uint8_t> t;
    for (int i = 0; i < entries; ++i) {
        for (int32_t v : {1000 + 120 * i, -20 + 2 * i}) {
            for (int b = 0; b < 4; ++b) t.push_back(static_cast<uint8_t>(uint32_t(v) >> (8 * b)));
        }
    }
    return t;
}

TEST(LineTables, LoadedCopiesReplaceTheTable) {
    IfrHandle h = IFR_Init(nullptr, 4, 4);  // a live object: the own model
    ASSERT_NE(h, nullptr);
    IFR_SetEmissDis(h, 0.95f, 2.0f);
    IFR_SetAmbHum(h, 23.5f, 0.55f);
    IFR_SetCorrectParam(h, 0.98f, 0.0f, 87);
    EXPECT_EQ(IFR_GrayToTemp(h, 5000), -1000.0f);  // no table yet
    EXPECT_EQ(IFR_TempToGray(h, 30.0f), -10000 - 87);
    std::vector<uint8_t> table = lineTable(103);
    ASSERT_EQ(IFR_LoadGrayToTempLine(h, table.data(), static_cast<int>(table.size())), 0);
    const float t = IFR_GrayToTemp(h, 5000);
    EXPECT_GT(t, 0.0f);
    std::fill(table.begin(), table.end(), 0);  // the library holds its own copy
    EXPECT_EQ(IFR_GrayToTemp(h, 5000), t);
    // A table of 102 entries counts as absent.
    const std::vector<uint8_t> shorter = lineTable(102);
    ASSERT_EQ(IFR_LoadGrayToTempLine(h, shorter.data(), static_cast<int>(shorter.size())), 0);
    EXPECT_EQ(IFR_GrayToTemp(h, 5000), -1000.0f);
    EXPECT_EQ(IFR_LoadGrayToTempLine(h, nullptr, 824), -1);
    EXPECT_EQ(IFR_LoadGrayToTempLine(h, table.data(), -1), -1);
    EXPECT_EQ(IFR_LoadGrayToTempLine(h, nullptr, 0), 0);
    // The other two lines are stored only.
    const std::vector<uint8_t> full = lineTable(103);
    IFR_LoadGrayToTempLine(h, full.data(), 824);
    EXPECT_EQ(IFR_LoadDelicacyLine(h, shorter.data(), 816), 0);
    EXPECT_EQ(IFR_LoadZeroLine(h, shorter.data(), 816), 0);
    EXPECT_EQ(IFR_LoadDelicacyLine(h, nullptr, 4), -1);
    EXPECT_EQ(IFR_LoadZeroLine(h, full.data(), -4), -1);
    EXPECT_EQ(IFR_GrayToTemp(h, 5000), t);
    IFR_Free(h);
}

TEST(Conversions, PlaneModelFollowsTheLoadedFrame) {
    Handle k11("k11");  // 16 x 12, board (2, 2) 4 x 4
    const float before = IFR_GrayToTemp(k11.h, 7000);
    float areaBefore = IFR_GetRectAverageTemp(k11.h, 0, 1, 15, 11);
    std::vector<unsigned short> frame(16 * 12);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<unsigned short>(3000 + i);
    frame[4 * 16 + 4] = 12000;  // the board's brightest gray
    ASSERT_EQ(IFR_LoadInfraredData(k11.h, frame.data()), 0);
    const float after = IFR_GrayToTemp(k11.h, 7000);
    EXPECT_NE(after, before);
    // One-pixel areas give the direct conversion of their gray.
    EXPECT_EQ(IFR_GetRectAverageTemp(k11.h, 3, 5, 3, 5), IFR_GrayToTemp(k11.h, frame[5 * 16 + 3]));
    EXPECT_NE(IFR_GetRectAverageTemp(k11.h, 0, 1, 15, 11), areaBefore);
}

}  // namespace
