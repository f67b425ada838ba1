// The per-object table of gray -> temperature: identical to the direct
// conversion, built without touching the calibration block, rebuilt exactly
// when an input of the conversion changes, converting only the grays that
// frames ask for.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "file_open.h"
#include "fixture_files.h"
#include "ifr_object.h"
#include "measure.h"
#include "model_dispatch.h"
#include "span_kernels.h"

using namespace thermcore;
using thermcore_test::allFixtures;
using thermcore_test::fixturePath;

namespace {

// An object with a fixture opened and its frame read.
struct Opened {
    IfrObject obj;
    explicit Opened(const std::string& name) {
        EXPECT_EQ(openFile(obj, fixturePath(name).c_str(), IFR_KIND_IMAGE, nullptr, nullptr, nullptr), 0)
            << name;
        EXPECT_EQ(readNextFrame(obj), 0) << name;
    }
};

uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

std::vector<uint8_t> calibrationBytes(const IfrObject& obj) {
    if (!obj.calibration) return {};
    const auto* p = reinterpret_cast<const uint8_t*>(&obj.calibration->para);
    return {p, p + sizeof(MT_Para)};
}

void expectTableMatchesDirect(IfrObject& obj) {
    obj.tempTable.refresh(obj);
    int mismatches = 0;
    for (int g = 0; g < TemperatureTable::kGrays; ++g) {
        const float direct = obj.grayToTemp(g);
        if (bits(obj.tempTable.at(g)) != bits(direct) && ++mismatches <= 5) {
            ADD_FAILURE() << "gray " << g << ": table " << obj.tempTable.at(g) << ", direct " << direct;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(TemperatureTable, EveryGrayOfEveryFixtureMatchesTheDirectConversion) {
    int opened = 0;
    for (const std::string& name : allFixtures()) {
        if (name.rfind("bad_", 0) == 0) continue;
        SCOPED_TRACE(name);
        Opened a(name), b(name);
        // Building leaves the calibration block (and the drift the inverse
        // reads) as it was.
        const std::vector<uint8_t> before = calibrationBytes(a.obj);
        a.obj.tempTable.refresh(a.obj);
        EXPECT_EQ(calibrationBytes(a.obj), before);
        EXPECT_EQ(a.obj.tempToGray(31.5f), b.obj.tempToGray(31.5f));
        expectTableMatchesDirect(a.obj);
        ++opened;
    }
    EXPECT_GE(opened, 20);
}

TEST(TemperatureTable, RebuiltWhenARadiometricInputChanges) {
    Opened o("k8");
    IfrObject& obj = o.obj;
    obj.tempTable.refresh(obj);
    ASSERT_EQ(obj.tempTable.builds(), 1u);
    obj.tempTable.refresh(obj);
    // Direct conversions write the scene and the drift into the block; the
    // table does not depend on either.
    obj.grayToTemp(12000);
    obj.tempToGray(80.0f);
    obj.scene.emissivity100 = obj.scene.emissivity100;  // setting the same value
    obj.scene.measureVersion = 3;                         // stored only
    obj.lineTable.clear();                                // not read by this model
    obj.tempTable.refresh(obj);
    EXPECT_EQ(obj.tempTable.builds(), 1u);

    const float old = obj.tempTable.at(9000);
    obj.scene.emissivity100 = 60;
    expectTableMatchesDirect(obj);
    EXPECT_EQ(obj.tempTable.builds(), 2u);
    EXPECT_NE(obj.tempTable.at(9000), old);

    obj.calibration->para.fpaTempFront += 1.5f;
    expectTableMatchesDirect(obj);
    EXPECT_EQ(obj.tempTable.builds(), 3u);

    obj.scene.distance = 7.9f;  // 790 cm for "VN410K9"; "VN410K8" takes 7 m
    expectTableMatchesDirect(obj);
    EXPECT_EQ(obj.tempTable.builds(), 4u);

    std::memcpy(obj.block.model, "VN410K9", 7);  // another distance unit
    expectTableMatchesDirect(obj);
    EXPECT_EQ(obj.tempTable.builds(), 5u);

    obj.calibration.reset();  // closed: the own model, here without a line table
    expectTableMatchesDirect(obj);
    EXPECT_EQ(obj.tempTable.builds(), 6u);
    EXPECT_EQ(obj.tempTable.at(100), -1000.0f);
}

TEST(TemperatureTable, RebuiltWhenAnOwnModelInputChanges) {
    Opened o("k4");
    IfrObject& obj = o.obj;
    obj.scene.atmoPercent = 0;  // read as 100; the first conversion stores 100
    obj.tempTable.refresh(obj);
    obj.tempTable.refresh(obj);
    obj.scene.background100 += 500;  // not read by this model
    obj.scene.storedFirstCorrection100 = 12;
    obj.tempTable.refresh(obj);
    EXPECT_EQ(obj.tempTable.builds(), 1u);

    const struct {
        const char* what;
        void (*change)(IfrObject&);
    } changes[] = {
        {"correction integer", [](IfrObject& x) { x.scene.correctionInt = 40; }},
        {"second correction", [](IfrObject& x) { x.scene.secondCorrection100 = -70; }},
        {"first correction", [](IfrObject& x) { x.scene.firstCorrection100 = 90; }},
        {"humidity", [](IfrObject& x) { x.scene.humidity = 20; }},
        {"whole metres", [](IfrObject& x) { x.scene.distance = 9.2f; }},
        {"ambient", [](IfrObject& x) { x.scene.ambient100 = -500; }},
        {"line table", [](IfrObject& x) { x.lineTable[4] ^= 1; }},
    };
    uint64_t builds = 1;
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        c.change(obj);
        expectTableMatchesDirect(obj);
        EXPECT_EQ(obj.tempTable.builds(), ++builds);
    }
    // A distance within the same whole metre changes nothing.
    obj.scene.distance = 9.7f;
    obj.tempTable.refresh(obj);
    EXPECT_EQ(obj.tempTable.builds(), builds);
}

TEST(TemperatureTable, PlaneModelFollowsTheBoardOfTheFrame) {
    Opened o("k11");  // board (2, 2) 4 x 4 of a 16 x 12 frame
    IfrObject& obj = o.obj;
    obj.tempTable.refresh(obj);
    obj.gray[0] = 16000;  // outside the board
    obj.tempTable.refresh(obj);
    EXPECT_EQ(obj.tempTable.builds(), 1u);
    obj.gray[3 * 16 + 3] = 15000;  // inside: a new reference gray
    expectTableMatchesDirect(obj);
    EXPECT_EQ(obj.tempTable.builds(), 2u);
    obj.scene.ambient100 = 9000;  // another band
    expectTableMatchesDirect(obj);
    EXPECT_EQ(obj.tempTable.builds(), 3u);
}

// What a whole-frame statistic asks of the table: the grays of every row.
void coverFrame(IfrObject& obj) {
    TempLookup lookup(obj);
    for (int y = 0; y < obj.height; ++y) {
        const RowPieces p = rowPieces(obj, y, 0, obj.width - 1);
        const GrayBounds b = grayBounds(p.span, p.spanCount);
        EXPECT_NE(lookup.tableFor(b.min, b.max), nullptr);
    }
}

// Every held entry equals the direct conversion; returns how many are held.
int expectHeldMatchDirect(IfrObject& obj) {
    int held = 0;
    int mismatches = 0;
    for (int g = 0; g < TemperatureTable::kGrays; ++g) {
        if (!obj.tempTable.holds(g, g)) continue;
        ++held;
        const float direct = obj.grayToTemp(g);
        if (bits(obj.tempTable.values()[g]) != bits(direct) && ++mismatches <= 5) {
            ADD_FAILURE() << "gray " << g << ": table " << obj.tempTable.values()[g] << ", direct " << direct;
        }
    }
    EXPECT_EQ(mismatches, 0);
    return held;
}

// A frame of the object's size whose grays run from lo to hi, with the
// plane model's board held at 5500 (its brightest gray is an input of that
// model: a frame that changes it is a scene change).
void setFrame(IfrObject& obj, int lo, int hi) {
    for (size_t i = 0; i < obj.gray.size(); ++i) {
        obj.gray[i] = static_cast<uint16_t>(lo + static_cast<int>(i * 7919 % size_t(hi - lo + 1)));
    }
    obj.gray[0] = static_cast<uint16_t>(lo);
    obj.gray[1] = static_cast<uint16_t>(hi);
    if (modelFamilyOf(obj.block) != ModelFamily::Plane) return;
    const BoardRect b = boardRect(obj);
    for (int y = b.y; y < b.y + b.height; ++y) {
        for (int x = b.x; x < b.x + b.width; ++x) obj.gray[size_t(y) * size_t(obj.width) + size_t(x)] = 5500;
    }
}

TEST(TemperatureTable, ConvertsTheGraysFramesAskForAndGrowsWithThem) {
    constexpr int kBlock = TemperatureTable::kBlockGrays;
    for (const char* name : {"k4_320", "k8_160", "k11"}) {
        SCOPED_TRACE(name);
        TemperatureTable::forgetKeptSets();  // nothing converted by earlier objects
        Opened o(name);
        IfrObject& obj = o.obj;
        // A narrow frame converts its range, rounded out to whole blocks.
        setFrame(obj, 5000, 5999);
        coverFrame(obj);
        const uint64_t builds = obj.tempTable.builds();
        EXPECT_LE(obj.tempTable.converted(), 1000u + 2 * kBlock);
        EXPECT_EQ(expectHeldMatchDirect(obj), static_cast<int>(obj.tempTable.converted()));
        EXPECT_FALSE(obj.tempTable.holds(4000, 4000));
        EXPECT_FALSE(obj.tempTable.holds(7000, 7000));

        // Wider frames add what they need and keep what was converted.
        const uint64_t before = obj.tempTable.converted();
        setFrame(obj, 4000, 6999);
        coverFrame(obj);
        EXPECT_EQ(obj.tempTable.builds(), builds);
        EXPECT_GT(obj.tempTable.converted(), before);
        EXPECT_LE(obj.tempTable.converted(), 3000u + 2 * kBlock);
        // A point far outside adds its own block only.
        const uint64_t frameEntries = obj.tempTable.converted();
        TempLookup point(obj);
        point(16383);
        EXPECT_EQ(obj.tempTable.converted(), frameEntries + kBlock);
        EXPECT_FALSE(obj.tempTable.holds(10000, 10000));
        EXPECT_EQ(expectHeldMatchDirect(obj), static_cast<int>(obj.tempTable.converted()));

        // A scene change drops the entries; the next frame converts its own.
        obj.scene.ambient100 += 300;
        setFrame(obj, 5500, 5999);
        coverFrame(obj);
        EXPECT_EQ(obj.tempTable.builds(), builds + 1);
        EXPECT_LE(obj.tempTable.converted(), 500u + 2 * kBlock);
        EXPECT_EQ(expectHeldMatchDirect(obj), static_cast<int>(obj.tempTable.converted()));
    }
}

// Objects on the same image and scene share what was converted: the second
// converts nothing, and each still matches its direct conversion. A scene
// change gives an object entries of its own, leaving the other's alone; the
// process keeps the last few sets only.
TEST(TemperatureTable, ObjectsOfOneSceneShareTheirEntries) {
    for (const char* name : {"k8", "k4_320", "k11"}) {
        SCOPED_TRACE(name);
        TemperatureTable::forgetKeptSets();
        Opened a(name), b(name);
        coverFrame(a.obj);
        const uint64_t frameEntries = a.obj.tempTable.converted();
        ASSERT_GT(frameEntries, 0u);
        coverFrame(b.obj);
        EXPECT_EQ(b.obj.tempTable.converted(), 0u);
        EXPECT_EQ(b.obj.tempTable.builds(), 1u);
        EXPECT_EQ(expectHeldMatchDirect(b.obj), static_cast<int>(frameEntries));

        b.obj.scene.emissivity100 = 55;
        b.obj.scene.ambient100 += 700;
        coverFrame(b.obj);
        EXPECT_EQ(b.obj.tempTable.builds(), 2u);
        EXPECT_GT(b.obj.tempTable.converted(), 0u);
        expectTableMatchesDirect(b.obj);
        expectTableMatchesDirect(a.obj);

        // Enough other scenes push the first out: a new object converts again.
        for (size_t i = 0; i < TemperatureTable::kKeptSets; ++i) {
            b.obj.scene.ambient100 += 100;
            coverFrame(b.obj);
        }
        Opened c(name);
        coverFrame(c.obj);
        EXPECT_EQ(c.obj.tempTable.converted(), frameEntries);
        EXPECT_EQ(expectHeldMatchDirect(c.obj), static_cast<int>(c.obj.tempTable.converted()));
    }
}

// Objects on several threads converting the same entries at once each read
// the temperatures of the direct conversion.
TEST(TemperatureTable, ObjectsOnSeveralThreadsConvertSharedEntries) {
    TemperatureTable::forgetKeptSets();
    constexpr int kThreads = 4;
    std::vector<std::unique_ptr<Opened>> objects;
    std::vector<std::vector<float>> direct(kThreads), read(kThreads);
    for (int i = 0; i < kThreads; ++i) {
        objects.push_back(std::make_unique<Opened>("k8"));
        for (int g = 0; g < TemperatureTable::kGrays; g += 7) direct[size_t(i)].push_back(objects.back()->obj.grayToTemp(g));
    }
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            IfrObject& obj = objects[size_t(i)]->obj;
            TempLookup lookup(obj);
            for (int g = 0; g < TemperatureTable::kGrays; g += 7) read[size_t(i)].push_back(lookup(g));
        });
    }
    for (std::thread& t : threads) t.join();
    uint64_t converted = 0;
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(read[size_t(i)], direct[size_t(i)]) << "thread " << i;
        converted += objects[size_t(i)]->obj.tempTable.converted();
    }
    // Every block was converted once, by whichever thread came first.
    EXPECT_EQ(converted, uint64_t{TemperatureTable::kGrays});
}

}  // namespace
