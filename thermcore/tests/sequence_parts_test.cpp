// Sequences inside the object: the index, parameter chunks, the layout-0
// cap, the speed table, and every sequence and container fixture cut short.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "file_open.h"
#include "fixture_files.h"
#include "sequence.h"

namespace fs = std::filesystem;
using namespace thermcore;
using thermcore_test::fixtureFile;
using thermcore_test::largeFixtureFile;
using thermcore_test::readBytes;
using thermcore_test::ScratchDir;

namespace {

int kindOf(const std::string& name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0 ? IFR_KIND_JPEG
                                                                         : IFR_KIND_SEQUENCE;
}

// Opens and builds the index as IFR_LoadFile does, and waits for it.
bool openIndexed(IfrObject& obj, const std::string& path, int kind) {
    if (openFile(obj, path.c_str(), kind, nullptr, nullptr, nullptr) < 0) return false;
    if (!startIndexThread(obj)) return false;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (obj.indexReady.load() == 0 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return obj.indexReady.load() != 0;
}

TEST(SequenceParts, IndexOfEveryLayout) {
    struct IndexCase {
        std::string path;
        std::vector<int> types;
        std::vector<int> times;
        uint8_t sound, photo, remark;
    };
    const IndexCase cases[] = {
        // Layouts 1 and 3 index every chunk and note sound, photo and remark.
        {fixtureFile("seq_l1.vnv"),
         {0, 2, 3, 2, 4, 2, 7, 0, 2, 2},
         {1000, 1000, 1000, 1040, 1080, 1080, 1120, 1120, 1120, 1160},
         1, 1, 1},
        {fixtureFile("seq_l3.vnv"), {0, 2, 2, 2, 2}, {1000, 1000, 1040, 1080, 1120}, 0, 0, 0},
        // Layout 2 indexes its parameter chunks alone.
        {fixtureFile("seq_l2.vnv"), {0, 0}, {1000, 1080}, 0, 0, 0},
        {fixtureFile("jpg_seq_l2.jpg"), {0, 0}, {1000, 1080}, 0, 0, 0},
    };
    for (const IndexCase& c : cases) {
        SCOPED_TRACE(c.path);
        IfrObject obj;
        ASSERT_TRUE(openIndexed(obj, c.path, kindOf(c.path)));
        std::vector<int> types, times;
        for (const FrameIndexEntry& e : obj.seq.index) {
            types.push_back(e.type);
            times.push_back(e.time);
        }
        EXPECT_EQ(types, c.types);
        EXPECT_EQ(times, c.times);
        EXPECT_EQ(obj.frameCount, static_cast<int>(c.types.size()));
        EXPECT_EQ(obj.seq.index.front().offset, obj.startOffset + 16);
        EXPECT_EQ(obj.hasSound, c.sound);
        EXPECT_EQ(obj.hasPhoto, c.photo);
        EXPECT_EQ(obj.hasRemark, c.remark);
        obj.closeFile();
        EXPECT_TRUE(obj.seq.index.empty());
        EXPECT_EQ(obj.frameCount, 0);
    }
}

TEST(SequenceParts, IndexHoldsAtMost24001Entries) {
    IfrObject obj;
    ASSERT_TRUE(openIndexed(obj, largeFixtureFile("seq_l1_30000.vnv"), 1));
    ASSERT_EQ(obj.seq.index.size(), 24001u);
    EXPECT_EQ(obj.frameCount, 24001);
    EXPECT_EQ(obj.seq.index.back().time, 1000 + 40 * 23999);

    IfrObject l0;
    EXPECT_EQ(openFile(l0, largeFixtureFile("seq_l0_24002.vnv").c_str(), 1, nullptr, nullptr,
                       nullptr),
              20 * 24000);
    ASSERT_EQ(l0.seq.index.size(), 24001u);
    EXPECT_EQ(l0.seq.index.back().offset, 12 + 24000 * 430);
    EXPECT_EQ(l0.seq.index.back().time - l0.seq.index.front().time, 20 * 24000);
}

TEST(SequenceParts, ParameterChunksByLayout) {
    // Layout 3: the rest of the parameter chunk is the calibration payload.
    IfrObject l3;
    ASSERT_EQ(openFile(l3, fixtureFile("seq_l3.vnv").c_str(), 1, nullptr, nullptr, nullptr), 0);
    ASSERT_NE(l3.calibration, nullptr);
    EXPECT_EQ(l3.calibration->storedLength, 3356u);
    EXPECT_EQ(l3.modelVersion, 6);
    EXPECT_EQ(l3.scheme, 3);

    // Layout 1: no payload; the photo and sound sizes go to 0.
    IfrObject l1;
    ASSERT_EQ(openFile(l1, fixtureFile("seq_l1.vnv").c_str(), 1, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(readNextFrame(l1), 0);
    EXPECT_EQ(l1.calibration, nullptr);
    EXPECT_EQ(l1.block.photoSize, 0u);
    EXPECT_EQ(l1.block.soundSize, 0u);
    EXPECT_EQ(l1.lineTable.size(), 824u);

    // Layout 2: calibration and settings chunks; 8 bytes beyond the 16 of
    // the settings are skipped.
    IfrObject l2;
    ASSERT_EQ(openFile(l2, fixtureFile("seq_l2.vnv").c_str(), 1, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(readNextFrame(l2), 0);
    ASSERT_NE(l2.calibration, nullptr);
    EXPECT_EQ(l2.calibration->storedLength, 3356u);
    EXPECT_EQ(l2.nonUniformity.columnThreshold, 300u);
    EXPECT_EQ(l2.nonUniformity.limit, 50u);
    EXPECT_EQ(l2.gray[0], 1);
}

TEST(SequenceParts, PlaySpeedTable) {
    const std::pair<int, int> table[] = {{0, 1},  {50, 1}, {1, 26}, {2, 11}, {5, 6},
                                         {10, 3}, {25, 2}, {3, 0},  {-1, 0}, {100, 0}};
    for (const auto& [speed, step] : table) EXPECT_EQ(playStepForSpeed(speed), step) << speed;
    IfrObject obj;
    EXPECT_EQ(obj.playStep.load(), 50);
}

// The frames of a whole fixture, by pixel (0, 0), and how reading ended.
struct Reading {
    bool opened = false;
    std::vector<int> frames;
    int end = 0;
};

Reading readFile(const std::string& path, int kind) {
    Reading r;
    IfrObject obj;
    r.opened = openFile(obj, path.c_str(), kind, nullptr, nullptr, nullptr) >= 0;
    if (!r.opened) return r;
    for (int i = 0; i < 12; ++i) {
        r.end = readNextFrame(obj);
        if (r.end != 0) break;
        r.frames.push_back(obj.gray.empty() ? -1 : obj.gray[0]);
    }
    return r;
}

std::vector<std::string> sequenceFixtures() {
    std::vector<std::string> out;
    const fs::path dir = fs::path(fixtureFile("x")).parent_path();
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string ext = e.path().extension().string();
        if (ext == ".vnv" || ext == ".jpg") out.push_back(e.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Lengths to cut at: every length near the start and the end, a sample
// between.
std::vector<size_t> cutLengths(size_t size) {
    std::set<size_t> out;
    for (size_t n = 0; n <= std::min<size_t>(size, 700); ++n) out.insert(n);
    for (size_t n = size > 300 ? size - 300 : 0; n <= size; ++n) out.insert(n);
    for (size_t n = 0; n <= size; n += 7) out.insert(n);
    return {out.begin(), out.end()};
}

// Every sequence and container fixture cut at many lengths: each open and
// each read fails or succeeds cleanly, frames read are the first frames of
// the whole file, and the other calls that walk the file stay in bounds.
TEST(SequenceParts, EveryFixtureCutShort) {
    ScratchDir dir;
    const std::set<int> readerResults = {0, -1, -2, -3, -4};
    for (const std::string& name : sequenceFixtures()) {
        SCOPED_TRACE(name);
        const int kind = kindOf(name);
        const std::vector<uint8_t> full = readBytes(fixtureFile(name));
        const Reading whole = readFile(fixtureFile(name), kind);
        size_t tried = 0;
        // The file is written once and cut shorter step by step.
        const std::string path = dir.write("cut", full);
        const std::vector<size_t> lengths = cutLengths(full.size());
        for (auto it = lengths.rbegin(); it != lengths.rend(); ++it) {
            const size_t n = *it;
            ASSERT_EQ(truncate(path.c_str(), off_t(n)), 0);
            IfrObject obj;
            const int opened = openFile(obj, path.c_str(), kind, nullptr, nullptr, nullptr);
            if (opened < 0) continue;
            ++tried;
            std::vector<int> frames;
            int r = 0;
            for (int i = 0; i < 12 && r == 0; ++i) {
                r = readNextFrame(obj);
                ASSERT_TRUE(readerResults.count(r)) << n << ": " << r;
                if (r == 0) frames.push_back(obj.gray[0]);
            }
            ASSERT_LE(frames.size(), whole.frames.size()) << n;
            EXPECT_TRUE(std::equal(frames.begin(), frames.end(), whole.frames.begin())) << n;
            EXPECT_TRUE(readerResults.count(priorFrame(obj))) << n;
            EXPECT_TRUE(readerResults.count(gotoTime(obj, obj.firstTime))) << n;
            const int length = fileDataLength(obj);
            ASSERT_GE(length, 0);
            ASSERT_LE(size_t(length), n);
            std::vector<uint8_t> copy(size_t(length) + 1, 0xA5);
            copyFileData(obj, copy.data());
            EXPECT_EQ(copy.back(), 0xA5) << n;
            // The index walk, on a sample.
            if (n % 13 == 0) {
                ASSERT_TRUE(startIndexThread(obj));
                obj.closeFile();
            }
        }
        if (whole.opened) {
            EXPECT_GT(tried, 0u);
        }
    }
}

}  // namespace
