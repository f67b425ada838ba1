// Gray and temperature by camera model: the choice of model, the own model
// against reference values computed apart from the library, the radiometric
// model's scene and distance units, the plane model's bands and board.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fixture_files.h"
#include "framegrid.h"
#include "model_dispatch.h"
#include "still_image.h"

using namespace thermcore;
using thermcore_test::expectedGray;
using thermcore_test::fixtureBytes;

namespace {

// An object holding a parsed fixture and its frame.
struct Opened {
    IfrObject obj;
    explicit Opened(const std::string& name) {
        obj.kind = IFR_KIND_IMAGE;
        EXPECT_EQ(parseStillImage(obj, fixtureBytes(name)), 0) << name;
        obj.width = obj.block.width;
        obj.height = obj.block.height;
        obj.allocateImageBuffers();
        for (int y = 0; y < obj.height; ++y) {
            for (int x = 0; x < obj.width; ++x) obj.gray[size_t(y) * obj.width + x] = expectedGray(x, y);
        }
    }
};

void setModel(IfrObject& obj, const char* model) {
    std::memset(obj.block.model, 0, sizeof obj.block.model);
    std::memcpy(obj.block.model, model, std::strlen(model));
}

float hundredths(int32_t v) { return static_cast<float>(v / 100.0); }

uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

TEST(ModelChoice, ByCaseSensitivePrefix) {
    const struct {
        const char* model;
        ModelFamily family;
    } cases[] = {
        {"VN410K11", ModelFamily::Plane},       {"VN410K8", ModelFamily::Radiometric},
        {"VN410K8x", ModelFamily::Radiometric}, {"VN410K80", ModelFamily::Radiometric},
        {"VN410K9", ModelFamily::Radiometric},  {"VN410K10", ModelFamily::Radiometric},
        {"VN410K100", ModelFamily::Radiometric}, {"VN410K12", ModelFamily::Own},
        {"VN410K1", ModelFamily::Own},          {"VN410K4", ModelFamily::Own},
        {"VN410K3", ModelFamily::Own},          {"vn410k8", ModelFamily::Own},
        {"VN410k11", ModelFamily::Own},
    };
    IfrParamBlock b{};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        std::memset(b.model, 0, sizeof b.model);
        std::memcpy(b.model, c.model, std::strlen(c.model));
        EXPECT_EQ(modelFamilyOf(b), c.family);
    }
}

// ---- own model

struct Reference {
    std::map<std::string, std::vector<uint8_t>> tables;
    std::vector<std::string> cases;
};

Reference readReference() {
    Reference r;
    const char* path = std::getenv("THERMCORE_OWNMODEL_REF");
    std::ifstream in(path != nullptr ? path : "ownmodel.txt");
    EXPECT_TRUE(in.good()) << "no reference file";
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ss(line);
        std::string kind;
        ss >> kind;
        if (kind == "table") {
            std::string name, hex;
            ss >> name >> hex;
            std::vector<uint8_t>& t = r.tables[name];
            for (size_t i = 0; i + 1 < hex.size(); i += 2) {
                t.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
            }
        } else {
            r.cases.push_back(line);
        }
    }
    return r;
}

TEST(OwnModel, MatchesValuesComputedFromTheModelDescription) {
    const Reference ref = readReference();
    ASSERT_EQ(ref.tables.size(), 3u);
    ASSERT_GT(ref.cases.size(), 100u);
    for (const std::string& line : ref.cases) {
        SCOPED_TRACE(line);
        std::istringstream ss(line);
        std::string direction, table, distance, input, expected;
        IfrObject obj;  // "VN410K4": the own model
        SceneState& s = obj.scene;
        ss >> direction >> table >> s.ambient100 >> s.humidity >> s.emissivity100 >> distance >>
            s.atmoPercent >> s.firstCorrection100 >> s.secondCorrection100 >> s.correctionInt >>
            input >> expected;
        ASSERT_FALSE(ss.fail());
        s.distance = std::strtof(distance.c_str(), nullptr);
        if (table != "none") obj.lineTable = ref.tables.at(table);
        if (direction == "g2t") {
            EXPECT_EQ(obj.grayToTemp(std::stoi(input)), std::strtof(expected.c_str(), nullptr));
        } else {
            EXPECT_EQ(obj.tempToGray(std::strtof(input.c_str(), nullptr)), std::stoi(expected));
        }
    }
}

TEST(OwnModel, ShortLineTableCountsAsAbsentAndFactorIsKept) {
    Opened o("k4");
    const std::vector<uint8_t> full = o.obj.lineTable;
    ASSERT_EQ(full.size(), 824u);
    o.obj.scene.atmoPercent = 0;
    o.obj.scene.correctionInt = 87;
    const float withTable = o.obj.grayToTemp(5000);
    EXPECT_GT(withTable, 0.0f);
    EXPECT_EQ(o.obj.scene.atmoPercent, 100);  // 0 becomes 100 when the factor is computed
    EXPECT_GT(o.obj.scene.atmoFactor, 0.0f);
    o.obj.lineTable.assign(full.begin(), full.end() - 8);
    EXPECT_EQ(o.obj.grayToTemp(5000), -1000.0f);
    EXPECT_EQ(o.obj.tempToGray(30.0f), -10000 - 87);
    // Bytes beyond 824 are not read.
    o.obj.lineTable = full;
    o.obj.lineTable.resize(900, 0xEE);
    EXPECT_EQ(o.obj.grayToTemp(5000), withTable);
}

TEST(OwnModel, RadiometricCameraWithoutCalibrationUsesTheOwnModel) {
    Opened k8("k8");
    Opened k4("k8");
    setModel(k4.obj, "VN410K4");
    k8.obj.calibration.reset();  // as after IFR_CloseFile
    for (int g : {0, 3000, 9000}) EXPECT_EQ(k8.obj.grayToTemp(g), k4.obj.grayToTemp(g));
    EXPECT_EQ(k8.obj.tempToGray(41.5f), k4.obj.tempToGray(41.5f));
}

// ---- radiometric model

// What Thermcore should do, written out with Radiomath's calls in order.
float radiomathByHand(MT_Para p, const SceneState& s, bool metres, int gray) {
    MT_SetAmbientTemp(&p, hundredths(s.ambient100));
    MT_SetBackgroundTemp(&p, hundredths(s.background100));
    if (metres) {
        MT_SetDistant(&p, static_cast<int>(s.distance));
    } else {
        MT_SetDistantEx(&p, static_cast<int>(static_cast<double>(s.distance) * 100.0));
    }
    MT_SetHumidity(&p, s.humidity);
    MT_SetEmissivity(&p, hundredths(s.emissivity100));
    MT_SetUserTempRevise(&p, hundredths(s.secondCorrection100));
    float t = 0;
    return MT_GrayToTemp(&p, gray, &t) == 0 ? -1000.0f : t;
}

TEST(RadiometricModel, DistanceInMetresForK8AndCentimetresAfter) {
    const struct {
        const char* model;
        bool metres;
    } cases[] = {{"VN410K8", true}, {"VN410K8x", true}, {"VN410K9", false}, {"VN410K10", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        Opened o("k8");
        setModel(o.obj, c.model);
        SceneState& s = o.obj.scene;
        s.distance = 2.7f;
        s.ambient100 = 2150;
        s.background100 = 1875;
        s.humidity = 70;
        s.emissivity100 = 93;
        s.secondCorrection100 = -125;
        const MT_Para before = o.obj.calibration->para;
        const float t = o.obj.grayToTemp(8200);
        const MT_Para& p = o.obj.calibration->para;
        EXPECT_EQ(p.distanceM, 2);
        EXPECT_EQ(p.distanceCm, c.metres ? before.distanceCm : 270);
        EXPECT_EQ(p.ambientMeasured, 21.5f);
        EXPECT_EQ(p.backgroundTemp, 18.75f);
        EXPECT_EQ(p.humidity, 70);
        EXPECT_EQ(p.emissivity, hundredths(93));
        EXPECT_EQ(p.userTempRevise, -1.25f);
        EXPECT_EQ(bits(t), bits(radiomathByHand(before, s, c.metres, 8200)));
        // The inverse writes the same scene and reads the drift of the last
        // forward conversion.
        MT_Para q = p;
        int g = 0;
        MT_TempToGray(&q, 35.0f, &g);
        EXPECT_EQ(o.obj.tempToGray(35.004f), g);
    }
}

TEST(RadiometricModel, RefusedBlockGivesMinus1000) {
    Opened o("k9");
    o.obj.calibration->para.gear = 7;
    EXPECT_EQ(o.obj.grayToTemp(8000), -1000.0f);
    EXPECT_EQ(o.obj.tempToGray(30.0f), -1);
}

// ---- plane model

TEST(PlaneModel, BandByAmbientWithTheLastAsFallback) {
    // The fixture's bands: boundaries -2000 + 1000 i, k = 0.90 + 0.01 i.
    const struct {
        int32_t ambient100;
        float k;
    } cases[] = {
        {-2500, 0.99f},  // below every band
        {-2000, 0.90f}, {1999, 0.93f}, {2000, 0.93f},  // boundaries belong to the lower band
        {2350, 0.94f}, {7000, 0.98f},
        {7001, 0.99f},  // above every band
    };
    Opened o("k11");
    int reference = 0;  // board (2, 2, 4 x 4) of the fixture frame
    for (int y = 2; y < 6; ++y) {
        for (int x = 2; x < 6; ++x) reference = std::max<int>(reference, expectedGray(x, y));
    }
    ASSERT_EQ(maxGrayInBoard(o.obj), reference);
    SceneState& s = o.obj.scene;
    s.distance = 3.0f;
    s.humidity = 65;
    s.emissivity100 = 92;
    s.secondCorrection100 = 50;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ambient100);
        s.ambient100 = c.ambient100;
        const float ambient = hundredths(c.ambient100);
        const float t = MT_GrayToTempPlane(nullptr, 25.0f, 6000, reference, c.k);
        const float expected =
            DisHumEnvRevisePlane(t, 3.0f, 65, ambient, ambient, hundredths(92), 0.03f, 0.5f);
        EXPECT_EQ(bits(o.obj.grayToTemp(6000)), bits(expected));
        EXPECT_EQ(o.obj.tempToGray(expected),
                  MT_TempToGrayPlane(nullptr, 25.0f, static_cast<float>(std::trunc(expected * 100.0 + 0.5) * 0.01),
                                     reference, c.k, 3.0f, 65, ambient, ambient, hundredths(92),
                                     0.03f, 0.5f));
    }
}

void setBoard(IfrObject& obj, int32_t x, int32_t y, int32_t w, int32_t h) {
    const int32_t v[4] = {x, y, w, h};
    for (int i = 0; i < 4; ++i) {
        for (int b = 0; b < 4; ++b) obj.planeTable[8 + 4 * i + b] = static_cast<uint8_t>(uint32_t(v[i]) >> (8 * b));
    }
}

TEST(PlaneModel, BoardIsClippedToTheImageAndAnEmptyOneConvertsNothing) {
    Opened o("k11");  // 16 x 12
    // Grays below 0 count as such: the maximum starts from the first pixel.
    for (uint16_t& g : o.obj.gray) g = static_cast<uint16_t>(-500);
    o.obj.gray[5 * 16 + 15] = static_cast<uint16_t>(-20);
    setBoard(o.obj, 12, 3, 100, 5);  // runs off the right edge
    EXPECT_EQ(maxGrayInBoard(o.obj), -20);
    setBoard(o.obj, -10, -10, 12, 12);  // only (0..1, 0..1) inside
    EXPECT_EQ(maxGrayInBoard(o.obj), -500);
    const std::vector<std::array<int32_t, 4>> empty = {
        {16, 0, 4, 4}, {0, 12, 4, 4}, {3, 3, 0, 5}, {3, 3, 5, -1}, {-8, 0, 8, 4},
        {2147483000, 0, 2147483000, 4}};
    for (const auto& r : empty) {
        setBoard(o.obj, r[0], r[1], r[2], r[3]);
        EXPECT_FALSE(maxGrayInBoard(o.obj).has_value());
        EXPECT_EQ(o.obj.grayToTemp(3000), -1000.0f);
        EXPECT_EQ(o.obj.tempToGray(30.0f), kNoGray);
    }
}

TEST(PlaneModel, BoardHalvedFor160WideImages) {
    IfrObject obj;
    setBoard(obj, 41, 9, -7, 30);
    obj.width = 320;
    EXPECT_EQ(boardRect(obj).x, 41);
    obj.width = 160;
    const BoardRect b = boardRect(obj);
    EXPECT_EQ(b.x, 20);
    EXPECT_EQ(b.y, 4);
    EXPECT_EQ(b.width, -3);  // toward zero
    EXPECT_EQ(b.height, 15);
}

}  // namespace
