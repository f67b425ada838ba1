// What the still-image readers keep in the object: measurement state,
// distance scaling by model, calibration and display blocks, plane tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fixture_files.h"
#include "still_image.h"

using namespace thermcore;
using thermcore_test::fixtureBytes;
using thermcore_test::fixturePath;

namespace {

// A 16 x 12 object holding a parsed fixture.
struct Parsed {
    IfrObject obj;
    int result;
    explicit Parsed(const std::string& name, int kind = IFR_KIND_IMAGE) {
        obj.kind = kind;
        result = parseStillImage(obj, fixtureBytes(name));
        obj.width = obj.block.width;
        obj.height = obj.block.height;
        obj.allocateImageBuffers();
    }
};

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

// Where the calibration block begins in a fixture (E).
size_t calibrationAt(const std::vector<uint8_t>& f) {
    return 428 + u32(f, 20) + u32(f, 28) + u32(f, 32) + u32(f, 328);
}

TEST(StillImageParts, MeasurementStateFromTheBlock) {
    Parsed p("k4_full");
    ASSERT_EQ(p.result, 0);
    const SceneState& s = p.obj.scene;
    EXPECT_EQ(s.ambient100, 2350);
    EXPECT_EQ(s.emissivity100, 95);
    EXPECT_EQ(s.humidity, 55);
    EXPECT_EQ(s.atmoPercent, 100);
    EXPECT_EQ(s.firstCorrection100, 98);
    EXPECT_EQ(s.storedFirstCorrection100, 98);
    EXPECT_EQ(s.paramsValid, 1);
    EXPECT_TRUE(p.obj.photo.held);
    EXPECT_EQ(p.obj.photo.size, 16u * 12 * 4);
    EXPECT_TRUE(p.obj.sound.held);
    EXPECT_EQ(p.obj.sound.size, 200u);
    EXPECT_TRUE(p.obj.lineTableHeld);
    EXPECT_EQ(p.obj.lineTable.size(), 824u);
}

// The distance field holds 2 in every fixture: whole metres for the still
// images of "VN410K8", "VN410K3" and the own-model cameras, hundredths for
// "VN410K9/10/11".
TEST(StillImageParts, DistanceScalingOfTheStillImageReader) {
    const struct {
        const char* fixture;
        float metres;
    } cases[] = {{"k4", 2.0f}, {"k2", 2.0f}, {"k3", 2.0f}, {"k8", 2.0f},
                 {"k9", 0.02f}, {"k10", 0.02f}, {"k11", 0.02f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        Parsed p(c.fixture);
        ASSERT_EQ(p.result, 0);
        EXPECT_FLOAT_EQ(p.obj.scene.distance, c.metres);
    }
}

// The stream readers scale every model but "VN410K8"; the fixed-size loader
// never does.
TEST(StillImageParts, DistanceScalingOfTheOtherReaders) {
    for (const char* name : {"k4", "k8", "k9"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = fixtureBytes(name);
        IfrObject obj;
        obj.width = 16;
        obj.height = 12;
        ASSERT_EQ(applyStreamBlock(obj, file), 0);
        EXPECT_FLOAT_EQ(obj.scene.distance, std::string(name) == "k8" ? 2.0f : 0.02f);
        ASSERT_EQ(applyVnvStreamBlock(obj, file), -2);  // no payload length at 428
        EXPECT_FLOAT_EQ(obj.scene.distance, std::string(name) == "k8" ? 2.0f : 0.02f);
    }
    IfrObject obj;
    obj.width = 16;
    obj.height = 12;
    ASSERT_EQ(loadFixedSizeFile(obj, fixturePath("k2").c_str()), 0);
    EXPECT_FLOAT_EQ(obj.scene.distance, 2.0f);
}

TEST(StillImageParts, CalibrationPayloadIsCopiedIntoAWorkingBlock) {
    const struct {
        const char* fixture;
        uint32_t stored;
    } cases[] = {{"k8", 3356}, {"k8_calib1008", 1008}, {"k8_calib4000", 4000}, {"k9", 3356}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const std::vector<uint8_t> file = fixtureBytes(c.fixture);
        Parsed p(c.fixture);
        ASSERT_EQ(p.result, 0);
        ASSERT_NE(p.obj.calibration, nullptr);
        const CalibrationPayload& cal = *p.obj.calibration;
        EXPECT_EQ(cal.storedLength, c.stored);
        const size_t at = calibrationAt(file) + 8;
        std::vector<uint8_t> stored;
        cal.appendStored(stored);
        EXPECT_EQ(stored, std::vector<uint8_t>(file.begin() + at, file.begin() + at + c.stored));
        // The working block is zero beyond the stored bytes.
        const auto* para = reinterpret_cast<const uint8_t*>(&cal.para);
        for (size_t i = std::min<size_t>(c.stored, MT_PARA_SIZE); i < MT_PARA_SIZE; ++i) {
            ASSERT_EQ(para[i], 0) << i;
        }
        EXPECT_EQ(cal.beyond.size(), c.stored > MT_PARA_SIZE ? c.stored - MT_PARA_SIZE : 0u);
        // The camera preset's background temperature is 22.0.
        EXPECT_EQ(p.obj.scene.background100, 2200);
    }
}

TEST(StillImageParts, PayloadThatDoesNotFitCountsAsAbsent) {
    Parsed p("k8_calib_oversize");
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.obj.calibration, nullptr);
    EXPECT_FALSE(p.obj.display.has_value());
    EXPECT_EQ(p.obj.scene.background100, p.obj.scene.ambient100);
}

TEST(StillImageParts, DisplayBlock) {
    const struct {
        const char* fixture;
        bool held;
    } cases[] = {{"k8", true},  {"k9", true}, {"k10", false}, {"k8_display_badtag", false},
                 {"k8_display_partial", false}, {"k4", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        Parsed p(c.fixture);
        ASSERT_EQ(p.result, 0);
        ASSERT_EQ(p.obj.display.has_value(), c.held);
        if (c.held) {
            EXPECT_EQ(p.obj.display->agcState, 1);
            EXPECT_EQ(p.obj.display->upper100, 4500);
            EXPECT_EQ(p.obj.display->lower100, 1500);
        }
    }
}

TEST(StillImageParts, PlaneTableFillsAtMost112Bytes) {
    const std::vector<uint8_t> full = fixtureBytes("k11");
    const size_t at = calibrationAt(full);
    const std::vector<uint8_t> table(full.begin() + at, full.end());
    ASSERT_EQ(table.size(), 112u);
    const struct {
        const char* fixture;
        size_t taken;
    } cases[] = {{"k11", 112}, {"k11_short_tail", 20}, {"k11_long_tail", 112}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        Parsed p(c.fixture);
        ASSERT_EQ(p.result, 0);
        for (size_t i = 0; i < 112; ++i) {
            ASSERT_EQ(p.obj.planeTable[i], i < c.taken ? table[i] : 0) << i;
        }
    }
    // A sequence's copy has 12 more bytes before the table.
    Parsed seq("k11", IFR_KIND_SEQUENCE);
    ASSERT_EQ(seq.result, 0);
    for (size_t i = 0; i < 100; ++i) ASSERT_EQ(seq.obj.planeTable[i], table[i + 12]) << i;
    for (size_t i = 100; i < 112; ++i) ASSERT_EQ(seq.obj.planeTable[i], 0) << i;
}

TEST(StillImageParts, StreamBlockTakesTheObjectsSizeAndDropsThePhoto) {
    IfrObject obj;
    ASSERT_EQ(parseStillImage(obj, fixtureBytes("k4_full")), 0);
    obj.width = 16;
    obj.height = 12;
    ASSERT_TRUE(obj.photo.held);
    std::vector<uint8_t> block = fixtureBytes("k9");
    block[12] = 200;  // a width the object does not have
    ASSERT_EQ(applyStreamBlock(obj, block), 0);
    EXPECT_EQ(obj.block.width, 16);
    EXPECT_EQ(obj.block.height, 12);
    EXPECT_EQ(obj.block.graySize, 16u * 12 * 2);
    EXPECT_EQ(obj.fileCopy.size(), 428u);
    EXPECT_FALSE(obj.photo.held);
    EXPECT_FALSE(obj.sound.held);
    EXPECT_EQ(obj.modelVersion, 7);
    // Its line table is what follows the block in memory.
    EXPECT_EQ(obj.lineTable, std::vector<uint8_t>(block.begin() + 428, block.begin() + 428 + 824));
}

TEST(StillImageParts, VnvStreamKeepsThePreviousPayloadOnABadLength) {
    IfrObject obj;
    obj.width = 16;
    obj.height = 12;
    std::vector<uint8_t> data = fixtureBytes("k9");
    data.resize(428 + 2000);
    const uint32_t m = 2000;
    std::memcpy(&data[428], &m, 4);
    ASSERT_EQ(applyVnvStreamBlock(obj, data), 0);
    ASSERT_NE(obj.calibration, nullptr);
    EXPECT_EQ(obj.calibration->storedLength, 2000u);
    const CalibrationPayload* before = obj.calibration.get();
    const uint32_t bad = 20000;
    std::memcpy(&data[428], &bad, 4);
    EXPECT_EQ(applyVnvStreamBlock(obj, data), -2);
    EXPECT_EQ(obj.calibration.get(), before);
    // Announcing more than the memory holds is refused too.
    const uint32_t longer = 3000;
    std::memcpy(&data[428], &longer, 4);
    EXPECT_EQ(applyVnvStreamBlock(obj, data), -2);
}

TEST(StillImageParts, OwnModelAtmosphericPercentZeroBecomes100) {
    std::vector<uint8_t> file = fixtureBytes("k4");
    file[38] = file[39] = 0;
    IfrObject obj;
    ASSERT_EQ(parseStillImage(obj, file), 0);
    EXPECT_EQ(obj.scene.atmoPercent, 100);
}

}  // namespace
