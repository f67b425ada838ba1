// Still images through the interface: opening, the model table, saving and
// reloading, the parameter-block readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fixture_files.h"
#include "thermcore.h"

using thermcore_test::fixtureBytes;
using thermcore_test::fixturePath;
using thermcore_test::readBytes;
using thermcore_test::ScratchDir;

namespace {

IfrHandle open(const std::string& path) {
    return IFR_LoadFile(nullptr, path.c_str(), IFR_KIND_IMAGE, nullptr, nullptr);
}

void release(IfrHandle h) {
    IFR_CloseFile(h);
    IFR_Free(h);
}

// Opens a fixture, reads its frame, saves it; the saved bytes.
std::vector<uint8_t> openAndSave(const std::string& path, const ScratchDir& dir) {
    IfrHandle h = open(path);
    EXPECT_NE(h, nullptr) << path;
    if (h == nullptr) return {};
    EXPECT_EQ(IFR_Next(h), 0);
    const std::string out = dir.path("saved.vni");
    EXPECT_EQ(IFR_MemSaveToVNI(h, out.c_str()), 0);
    release(h);
    return readBytes(out);
}

struct ModelCase {
    const char* fixture;
    int scheme;
    int version;
};

TEST(StillImage, ModelTableByFixture) {
    const ModelCase cases[] = {
        {"k2", 0, 1},  {"k3", 1, 1},  {"k4", 0, 1},  {"k5", 2, 3},  {"k6", 2, 4},
        {"k7", 2, 5},  {"k8", 3, 6},  {"k9", 3, 7},  {"k10", 3, 8}, {"k11", 3, 11},
    };
    for (const ModelCase& c : cases) {
        SCOPED_TRACE(c.fixture);
        int first = 0, last = 1;
        IfrHandle h = IFR_LoadFile(nullptr, fixturePath(c.fixture).c_str(), 0, &first, &last);
        ASSERT_NE(h, nullptr);
        int scheme = -1, version = -1, w = 0, ht = 0;
        IFR_GetFileVer(h, &scheme, &version);
        EXPECT_EQ(scheme, c.scheme);
        EXPECT_EQ(version, c.version);
        EXPECT_EQ(IFR_GetImageWidthHeight(h, &w, &ht), 0);
        EXPECT_EQ(w, 16);
        EXPECT_EQ(ht, 12);
        EXPECT_EQ(first, last);
        int id = -1;
        IFR_GetColorID(h, &id);
        EXPECT_EQ(id, 3);
        release(h);
    }
}

TEST(StillImage, RefusedFilesGiveNoHandle) {
    for (const char* name :
         {"bad_lowercase", "bad_model", "bad_width0", "bad_width9000", "bad_frame_missing",
          "bad_k3_extra_byte", "bad_k3_gray_size", "bad_k9_no_tag", "bad_k8_no_room",
          "bad_k11_no_room"}) {
        SCOPED_TRACE(name);
        int first = 77;
        EXPECT_EQ(IFR_LoadFile(nullptr, fixturePath(name).c_str(), 0, &first, nullptr), nullptr);
        EXPECT_EQ(first, 77);
    }
    EXPECT_EQ(open("/nonexistent/file.vni"), nullptr);
    EXPECT_EQ(IFR_LoadFile(nullptr, nullptr, 0, nullptr, nullptr), nullptr);
}

TEST(StillImage, OtherKindsAreNotOpenedAsStillImages) {
    // Sequences and JPEG containers have readers of their own.
    for (int kind : {1, 2, 3, -1}) {
        EXPECT_EQ(IFR_LoadFile(nullptr, fixturePath("k4").c_str(), kind, nullptr, nullptr), nullptr);
    }
}

TEST(StillImage, PhotoSizeAndPartsThatDoNotFit) {
    const struct {
        const char* fixture;
        int photoWidth;
    } cases[] = {{"k4", 0}, {"k4_full", 16}, {"k3", 16}, {"k8_640", 64}, {"k4_photo_oversize", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        IfrHandle h = open(fixturePath(c.fixture));
        ASSERT_NE(h, nullptr);
        int w = -1, ht = -1;
        IFR_GetCCDImageWidthHeight(h, &w, &ht);
        EXPECT_EQ(w, c.photoWidth);
        EXPECT_EQ(ht, c.photoWidth == 0 ? 0 : c.photoWidth * 3 / 4);
        release(h);
    }
}

TEST(StillImage, FrameIsReadAgainOnEveryNext) {
    ScratchDir dir;
    IfrHandle h = open(fixturePath("k4"));
    ASSERT_NE(h, nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(IFR_MemSaveToVNI(h, dir.path("a.vni").c_str()), 0);
    release(h);
    const std::vector<uint8_t> saved = readBytes(dir.path("a.vni"));
    ASSERT_GE(saved.size(), 428u + 16 * 12 * 2);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 16; ++x) {
            const size_t at = 428 + 2 * (y * 16 + x);
            ASSERT_EQ(saved[at] | (saved[at + 1] << 8), thermcore_test::expectedGray(x, y));
        }
    }
}

TEST(StillImage, FileBytesAreHandedOut) {
    IfrHandle h = open(fixturePath("k4_full"));
    ASSERT_NE(h, nullptr);
    const std::vector<uint8_t> file = fixtureBytes("k4_full");
    ASSERT_EQ(IFR_GetFileLen(h), static_cast<int>(file.size()));
    std::vector<uint8_t> copy(file.size());
    IFR_GetFileBuff(h, copy.data());
    EXPECT_EQ(copy, file);
    EXPECT_EQ(IFR_Next(h), 0);  // the file is still positioned for the frame
    release(h);
}

// Saving keeps every part byte for byte; "VN410K8/9/10" drop the display
// block (21 bytes at the end of these fixtures).
TEST(StillImage, SaveAndReloadKeepsTheFile) {
    const struct {
        const char* fixture;
        size_t dropped;
    } cases[] = {
        {"k4", 0},           {"k4_full", 0},       {"k2", 0},         {"k3", 0},
        {"k8", 21},          {"k8_full", 21},      {"k9", 21},        {"k10", 0},
        {"k11", 0},          {"k8_calib1008", 21}, {"k8_calib4000", 21},
        {"k8_display_badtag", 21}, {"k8_display_partial", 10},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const std::vector<uint8_t> original = fixtureBytes(c.fixture);
        const std::vector<uint8_t> saved = openAndSave(fixturePath(c.fixture), dir);
        ASSERT_EQ(saved.size(), original.size() - c.dropped);
        EXPECT_TRUE(std::equal(saved.begin(), saved.end(), original.begin()));
        // The saved file opens again and saves to the same bytes.
        const std::string again = dir.write("again.vni", saved);
        EXPECT_EQ(openAndSave(again, dir), saved);
    }
}

uint32_t u32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

// A part that did not fit is written with size 0, so the saved file is
// self-consistent and opens again.
TEST(StillImage, SaveDropsPartsThatDidNotFit) {
    const struct {
        const char* fixture;
        size_t sizeOffset;  // of the part's size in the block
    } cases[] = {{"k4_photo_oversize", 28}, {"k4_sound_oversize", 32}, {"k4_line_oversize", 328}};
    ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const std::vector<uint8_t> saved = openAndSave(fixturePath(c.fixture), dir);
        ASSERT_GE(saved.size(), 428u);
        EXPECT_EQ(u32At(saved, c.sizeOffset), 0u);
        const uint64_t e = 428ull + u32At(saved, 20) + u32At(saved, 28) + u32At(saved, 32) +
                           u32At(saved, 328);
        EXPECT_EQ(saved.size(), e);
        IfrHandle h = open(dir.write("again.vni", saved));
        EXPECT_NE(h, nullptr);
        release(h);
    }
}

TEST(StillImage, K8WithoutRoomForItsCalibrationPayloadStillOpens) {
    // The payload counts as absent; a save then writes none.
    ScratchDir dir;
    const std::vector<uint8_t> original = fixtureBytes("k8_calib_oversize");
    const std::vector<uint8_t> saved = openAndSave(fixturePath("k8_calib_oversize"), dir);
    const uint64_t e = 428ull + u32At(original, 20) + u32At(original, 28) + u32At(original, 32) +
                       u32At(original, 328);
    EXPECT_EQ(saved.size(), e);
}

TEST(StillImage, SaveFailureLeavesTheTargetAlone) {
    ScratchDir dir;
    IfrHandle h = open(fixturePath("k4"));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(IFR_MemSaveToVNI(h, "/nonexistent/dir/x.vni"), -1);
    EXPECT_EQ(IFR_MemSaveToVNI(h, nullptr), -1);
    release(h);
}

TEST(StillImage, SaveFromLiveDataAndStreamBlock) {
    // A live-data object takes a block and line table from memory, then
    // writes a still image that opens with that block's model.
    std::vector<uint8_t> k8 = fixtureBytes("k8");
    std::vector<uint8_t> block(k8.begin(), k8.begin() + 428);
    const uint32_t lineSize = u32At(k8, 328);
    const size_t lineAt = 428 + 16 * 12 * 2;
    block.insert(block.end(), k8.begin() + lineAt, k8.begin() + lineAt + lineSize);

    IfrHandle h = IFR_Init(nullptr, 16, 12);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(IFR_LoadInfraredParamFromStream(h, block.data()), 0);
    int scheme = 0, version = 0;
    IFR_GetFileVer(h, &scheme, &version);
    EXPECT_EQ(version, 6);
    std::vector<unsigned short> frame(16 * 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) frame[y * 16 + x] = thermcore_test::expectedGray(x, y);
    EXPECT_EQ(IFR_LoadInfraredData(h, frame.data()), 0);
    ScratchDir dir;
    ASSERT_EQ(IFR_MemSaveToVNI(h, dir.path("live.vni").c_str()), 0);
    IFR_Free(h);
    // No calibration block was held, so the "VN410K8" file has none and
    // does not open as a still image.
    const std::vector<uint8_t> saved = readBytes(dir.path("live.vni"));
    EXPECT_EQ(saved.size(), 428u + 16 * 12 * 2 + lineSize);
    EXPECT_TRUE(std::equal(saved.begin() + 428, saved.end(), k8.begin() + 428));
    EXPECT_EQ(open(dir.path("live.vni")), nullptr);
}

TEST(StillImage, StreamBlockReaders) {
    std::vector<uint8_t> k4 = fixtureBytes("k4");
    IfrHandle h = IFR_Init(nullptr, 16, 12);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(IFR_LoadInfraredParamFromStream(h, k4.data()), 0);

    std::vector<uint8_t> lower = k4;
    std::memcpy(lower.data(), "vn410k4", 7);
    EXPECT_EQ(IFR_LoadInfraredParamFromStream(h, lower.data()), -1);
    EXPECT_EQ(IFR_LoadInfraredParamFromVNVStream(h, lower.data()), -1);

    // A sequence block with its calibration payload (first word its length).
    std::vector<uint8_t> k9 = fixtureBytes("k9");
    std::vector<uint8_t> vnv(k9.begin(), k9.begin() + 428);
    for (uint32_t m : {1007u, 10241u, 0u, 1008u, 3356u, 10240u}) {
        SCOPED_TRACE(m);
        std::vector<uint8_t> block = vnv;
        block.resize(428 + std::max<uint32_t>(m, 4));
        block[428] = m & 0xFF;
        block[429] = (m >> 8) & 0xFF;
        block[430] = (m >> 16) & 0xFF;
        block[431] = m >> 24;
        const int expected = m >= 1008 && m <= 10240 ? 0 : -2;
        EXPECT_EQ(IFR_LoadInfraredParamFromVNVStream(h, block.data()), expected);
    }
    IFR_Free(h);
}

TEST(StillImage, FixedSizeLoaderTakesAnotherImageOfTheSameSize) {
    IfrHandle h = IFR_Init(nullptr, 16, 12);
    ASSERT_NE(h, nullptr);
    // 428 + 16*12*2 + 824 bytes: block, frame and line table exactly.
    EXPECT_EQ(IFR_LoadInfraredFile(h, fixturePath("k4").c_str()), 0);
    EXPECT_EQ(IFR_LoadInfraredFile(h, fixturePath("k2").c_str()), 0);
    EXPECT_EQ(IFR_LoadInfraredFile(h, fixturePath("k4_full").c_str()), -1);  // more parts
    EXPECT_EQ(IFR_LoadInfraredFile(h, fixturePath("bad_frame_missing").c_str()), -1);
    EXPECT_EQ(IFR_LoadInfraredFile(h, "/nonexistent/x.vni"), -1);
    EXPECT_EQ(IFR_LoadInfraredFile(h, nullptr), -1);
    IFR_Free(h);

    IfrHandle other = IFR_Init(nullptr, 32, 6);  // same pixel count, other size
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(IFR_LoadInfraredFile(other, fixturePath("k4").c_str()), -1);
    IFR_Free(other);
}

// Truncated copies of every fixture, opened as files: each open fails or
// succeeds cleanly; an open that succeeds reads, renders and saves.
TEST(StillImage, TruncatedFilesOpenOrFailCleanly) {
    ScratchDir dir;
    for (const std::string& name : thermcore_test::allFixtures()) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> full = fixtureBytes(name);
        const size_t step = full.size() > 8192 ? full.size() / 97 : 7;
        for (size_t n = 0; n <= full.size(); n += (full.size() - n <= 64 ? 1 : step)) {
            const std::vector<uint8_t> part(full.begin(), full.begin() + static_cast<ptrdiff_t>(n));
            IfrHandle h = open(dir.write("cut.vni", part));
            if (h == nullptr) continue;
            EXPECT_EQ(IFR_Next(h), 0) << n;
            IfrSurface* surface = nullptr;
            EXPECT_EQ(IFR_GetDrawBuffer(h, nullptr, &surface), -1);
            int w = 0, ht = 0;
            IFR_GetImageWidthHeight(h, &w, &ht);
            std::vector<unsigned short> frame(size_t(w) * ht, 100);
            EXPECT_EQ(IFR_GetDrawBuffer(h, frame.data(), &surface), 0);
            EXPECT_EQ(IFR_MemSaveToVNI(h, dir.path("out.vni").c_str()), 0);
            release(h);
        }
    }
}

}  // namespace
