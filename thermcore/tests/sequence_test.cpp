// Sequences, JPEG containers and memory images through the interface:
// frames forward and back, time stamps, jumps, the IR data handed out and
// reopened, and the failure codes of damaged files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "fixture_files.h"
#include "sequence_log.h"
#include "thermcore.h"

namespace fs = std::filesystem;
using namespace thermcore_test;

namespace {

int window;  // any non-NULL pointer stands for a window
void* const kWindow = &window;

void release(IfrHandle h) {
    IFR_CloseFile(h);
    IFR_Free(h);
}

std::vector<int> iota(int from, int n, int step = 1) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(from + i * step);
    return v;
}

// Waits until the frame index answers a jump to the time (the file is then
// positioned there).
bool waitForIndex(IfrHandle h, int time) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (IFR_GotoTime(h, time) != 0) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The last frame handed to the callback: its gray (0, 0) and time stamp.
FrameRecord lastFrame(IfrHandle h) {
    const std::vector<FrameRecord> f = framesOf(h);
    return f.empty() ? FrameRecord{h, -1, 0, 0} : f.back();
}

std::vector<uint8_t> fileData(IfrHandle h) {
    const int n = IFR_GetFileLen(h);
    std::vector<uint8_t> out(static_cast<size_t>(std::max(n, 0)));
    IFR_GetFileBuff(h, out.data());
    return out;
}

struct OpenCase {
    const char* file;
    int kind;
    int width, height;
    std::vector<int> grays;  // pixel (0, 0) of each frame, in order
    std::vector<int> times;  // layouts 1-3: the chunks' time stamps
};

// Layout 0 has no stored time stamps: frames are 20 ms apart and end at the
// time of opening.
const std::vector<OpenCase>& openCases() {
    static const std::vector<OpenCase> cases = {
        {"seq_l0.vnv", 1, 16, 12, {1, 2, 3}, {}},
        {"seq_l1.vnv", 1, 16, 12, iota(1, 5), iota(1000, 5, 40)},
        {"seq_l2.vnv", 1, 16, 12, iota(1, 4), iota(1000, 4, 40)},
        {"seq_l3.vnv", 1, 16, 12, iota(1, 4), iota(1000, 4, 40)},
        {"seq_l2_resync.vnv", 1, 16, 12, iota(1, 3), iota(1000, 3, 40)},
        {"seq_l2_settings_short.vnv", 1, 16, 12, iota(1, 3), iota(1000, 3, 40)},
        {"seq_l2_no_params.vnv", 1, 16, 12, iota(1, 3), iota(1000, 3, 40)},
        {"jpg_seq.jpg", 2, 16, 12, iota(1, 5), iota(1000, 5, 40)},
        {"jpg_seq_l0.jpg", 2, 16, 12, {1, 2, 3}, {}},
        {"jpg_seq_l2.jpg", 2, 16, 12, iota(1, 4), iota(1000, 4, 40)},
    };
    return cases;
}

TEST(Sequence, EveryLayoutAndContainerReadsItsFramesInOrder) {
    for (const OpenCase& c : openCases()) {
        SCOPED_TRACE(c.file);
        int first = 0, last = 0;
        IfrHandle h = openWithWindow(fixtureFile(c.file), c.kind, kWindow, &first, &last);
        ASSERT_NE(h, nullptr);
        int w = 0, ht = 0;
        EXPECT_EQ(IFR_GetImageWidthHeight(h, &w, &ht), 0);
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(ht, c.height);
        const std::vector<int> times =
            c.times.empty() ? iota(first, int(c.grays.size()), 20) : c.times;
        EXPECT_EQ(first, times.front());
        EXPECT_EQ(last, times.back());
        const FrameRun run = readAll(h);
        EXPECT_EQ(run.grays, c.grays);
        EXPECT_EQ(run.times, times);
        EXPECT_EQ(run.end, -2);
        for (const FrameRecord& f : framesOf(h)) EXPECT_EQ(f.size, c.width * c.height * 2);
        release(h);
    }
}

TEST(Sequence, StillImageInAContainerShowsTheSameFrameEachTime) {
    int first = 0, last = 1;
    IfrHandle h = openWithWindow(fixtureFile("jpg_still.jpg"), 2, kWindow, &first, &last);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(first, last);
    const FrameRun run = readAll(h, 3);
    EXPECT_EQ(run.grays, std::vector<int>(3, expectedGray(0, 0)));
    EXPECT_EQ(run.end, 0);
    EXPECT_EQ(IFR_Prior(h), -1);  // a still image has no frame before
    release(h);
}

TEST(Sequence, StillImageTimeStampsComeFromTheMonotonicClock) {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const auto before = static_cast<uint32_t>(uint64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
    int first = 0, last = 1;
    IfrHandle h = IFR_LoadFile(nullptr, fixturePath("k4").c_str(), 0, &first, &last);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(first, last);
    EXPECT_LT(static_cast<uint32_t>(first) - before, 10000u);  // wraps like the clock
    release(h);
}

TEST(Sequence, PriorStepsBackToThePreviousFrameInEveryLayout) {
    for (const OpenCase& c : openCases()) {
        SCOPED_TRACE(c.file);
        if (std::string(c.file) == "seq_l2_resync.vnv") continue;  // below
        int first = 0;
        IfrHandle h = openWithWindow(fixtureFile(c.file), c.kind, kWindow, &first);
        ASSERT_NE(h, nullptr);
        const int n = static_cast<int>(c.grays.size());
        const std::vector<int> times = c.times.empty() ? iota(first, n, 20) : c.times;
        // Nothing read yet: -1, and the file stays at the first frame.
        EXPECT_EQ(IFR_Prior(h), -1);
        for (int k = 0; k < n; ++k) ASSERT_EQ(IFR_Next(h), 0);
        for (int k = n - 2; k >= 0; --k) {
            ASSERT_EQ(IFR_Prior(h), 0);
            EXPECT_EQ(lastFrame(h).firstGray, c.grays[size_t(k)]);
            EXPECT_EQ(lastFrame(h).time, times[size_t(k)]);
        }
        // At the first frame: read again.
        EXPECT_EQ(IFR_Prior(h), 0);
        EXPECT_EQ(lastFrame(h).firstGray, c.grays[0]);
        EXPECT_EQ(IFR_Next(h), 0);
        EXPECT_EQ(lastFrame(h).firstGray, c.grays[1]);
        release(h);
    }
}

// Stepping back reaches a header without the magic: -2 at the first frame.
TEST(Sequence, PriorStopsAtAHeaderWithoutTheMagic) {
    IfrHandle h = openWithWindow(fixtureFile("seq_l2_resync.vnv"), 1, kWindow);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(IFR_Next(h), 0);
    ASSERT_EQ(IFR_Next(h), 0);  // frame 2, behind the header without the magic
    EXPECT_EQ(IFR_Prior(h), -2);
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(lastFrame(h).firstGray, 1);
    release(h);
}

TEST(Sequence, GotoTimeSeeksTheFirstIndexEntryAtOrAfterTheTime) {
    struct Jump {
        const char* file;
        int kind;
        int time;  // layout 0: added to the first time stamp
        int result;
        int nextGray;
    };
    const Jump jumps[] = {
        {"seq_l1.vnv", 1, 1080, 0, 3},   {"seq_l1.vnv", 1, 1050, 0, 3},
        {"seq_l1.vnv", 1, 1000, 0, 1},   {"seq_l1.vnv", 1, 1160, 0, 5},
        {"seq_l1.vnv", 1, 1161, -1, 2},  {"seq_l1.vnv", 1, 999, -1, 2},
        // Layout 2 indexes its parameter chunks only (1000 and 1080).
        {"seq_l2.vnv", 1, 1050, 0, 3},   {"seq_l2.vnv", 1, 1081, -1, 2},
        {"seq_l3.vnv", 1, 1040, 0, 2},   {"jpg_seq.jpg", 2, 1120, 0, 4},
        {"jpg_seq_l2.jpg", 2, 1000, 0, 1}, {"seq_l0.vnv", 1, 20, 0, 2},
        {"seq_l0.vnv", 1, 19, 0, 2},     {"seq_l0.vnv", 1, 41, -1, 2},
        {"jpg_seq_l0.jpg", 2, 40, 0, 3}, {"seq_l2_no_params.vnv", 1, 1000, -1, 2},
    };
    for (const Jump& j : jumps) {
        SCOPED_TRACE(std::string(j.file) + " " + std::to_string(j.time));
        int first = 0;
        IfrHandle h = openWithWindow(fixtureFile(j.file), j.kind, kWindow, &first);
        ASSERT_NE(h, nullptr);
        const bool layout0 = std::string(j.file).find("l0") != std::string::npos;
        const int time = layout0 ? first + j.time : j.time;
        if (j.result == 0) {
            ASSERT_TRUE(waitForIndex(h, first));
        }
        ASSERT_EQ(IFR_Next(h), 0);  // frame 1; a failed jump leaves the file after it
        EXPECT_EQ(IFR_GotoTime(h, time), j.result);
        EXPECT_EQ(IFR_Next(h), 0);
        EXPECT_EQ(lastFrame(h).firstGray, j.nextGray);
        release(h);
    }
}

TEST(Sequence, IndexOfThirtyThousandFramesStopsAt24001Entries) {
    IfrHandle h = openWithWindow(largeFixtureFile("seq_l1_30000.vnv"), 1, kWindow);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(waitForIndex(h, 1000));
    // Entry 0 is the parameter chunk, entry 24000 frame 23999.
    const int lastIndexed = 1000 + 40 * 23999;
    EXPECT_EQ(IFR_GotoTime(h, lastIndexed + 1), -1);
    EXPECT_EQ(IFR_GotoTime(h, lastIndexed), 0);
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(lastFrame(h).firstGray, 24000);
    // Frames beyond the index are still read.
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(lastFrame(h).firstGray, 24001);
    release(h);
}

TEST(Sequence, Layout0WithMoreFramesThanTheIndexIsCut) {
    int first = 0, last = 0;
    IfrHandle h = openWithWindow(largeFixtureFile("seq_l0_24002.vnv"), 1, kWindow, &first, &last);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(last - first, 20 * 24000);
    EXPECT_EQ(IFR_GotoTime(h, last + 1), -1);
    EXPECT_EQ(IFR_GotoTime(h, last), 0);
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(lastFrame(h).firstGray, 24001);
    EXPECT_EQ(IFR_Next(h), -2);
    release(h);
}

// IFR_GetFileLen and IFR_GetFileBuff: how much of the file, from where, and
// what the bytes make when opened again from memory.
TEST(Sequence, FileDataIsHandedOutAndReopens) {
    struct DataCase {
        const char* file;
        int kind;
        int64_t offset;  // of the bytes in the file
        int64_t length;  // -1: to the end of the file
        int64_t parts;   // bytes of the later sound, photo and remark chunks appended
        int thirdGray;   // of the third IFR_Next on the original
        bool stillCopy;  // the copy reopens as a still image
        std::vector<int> reopened;  // frames of the copy (a still image: one IFR_Next)
    };
    const DataCase cases[] = {
        // The header, then each chunk up to and including the first frame,
        // then the sound (200 bytes), photo (64) and remark (42) chunks that
        // come later.
        {"seq_l1.vnv", 1, 0, 16 + (20 + 1252) + (20 + 384), (20 + 200) + (20 + 64) + (20 + 42), 3, false, {1}},
        {"seq_l2.vnv", 1, 0, 16 + (28 + 1252) + (28 + 3356) + (28 + 24) + (28 + 384), 0, 3, false, {1}},
        {"seq_l3.vnv", 1, 0, 16 + (20 + 428 + 3356) + (20 + 384), 0, 3, false, {1}},
        {"seq_l2_no_params.vnv", 1, 0, 16 + 28 + 384, 0, 3, false, {1}},
        // Layout 0: the first frame, a still image.
        {"seq_l0.vnv", 1, 12, 428 + 384 + 824 + 16, 0, 3, true, {1}},
        // Containers: from the payload to the end; the last frame included.
        {"jpg_seq.jpg", 2, 5008, -1, 0, 3, false, iota(1, 5)},
        {"jpg_seq_l2.jpg", 2, 5008, -1, 0, 3, false, iota(1, 4)},
        {"jpg_still.jpg", 2, 5000, -1, 0, expectedGray(0, 0), true, {expectedGray(0, 0)}},
    };
    for (const DataCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> file = readBytes(fixtureFile(c.file));
        const int64_t length = c.length < 0 ? int64_t(file.size()) - c.offset : c.length;
        IfrHandle h = openWithWindow(fixtureFile(c.file), c.kind, kWindow);
        ASSERT_NE(h, nullptr);
        ASSERT_EQ(IFR_Next(h), 0);
        ASSERT_EQ(IFR_Next(h), 0);
        const std::vector<uint8_t> data = fileData(h);
        ASSERT_EQ(int64_t(data.size()), length + c.parts);
        EXPECT_TRUE(std::equal(data.begin(), data.begin() + length, file.begin() + c.offset));
        // Neither call moved the file: the third frame comes next.
        EXPECT_EQ(IFR_Next(h), 0);
        EXPECT_EQ(lastFrame(h).firstGray, c.thirdGray);
        release(h);

        IfrHandle copy = IFR_LoadBuffer(kWindow, data.data(), static_cast<int>(data.size()));
        ASSERT_NE(copy, nullptr);
        receiveFrames(copy);
        const FrameRun run = readAll(copy, int(c.reopened.size()) + (c.stillCopy ? 0 : 1));
        EXPECT_EQ(run.grays, c.reopened);
        EXPECT_EQ(run.end, c.stillCopy ? 0 : -2);
        release(copy);
    }
}

// The chunks appended after the head are whole chunks of the copy: each
// header says what the data is, stays at the frame's time stamp (first and
// last time stamps of the copy agree), and records the size of the chunk
// before it in the copy, as stepping backwards reads it.
TEST(Sequence, PartsAfterTheFirstFrameFollowTheHead) {
    IfrHandle h = openWithWindow(fixtureFile("seq_l1.vnv"), 1, kWindow);
    ASSERT_NE(h, nullptr);
    const std::vector<uint8_t> data = fileData(h);
    release(h);
    const std::vector<uint8_t> file = readBytes(fixtureFile("seq_l1.vnv"));
    struct Appended {
        uint32_t previous, type, size;
        size_t from;  // the data's offset in the file
    };
    const size_t head = 16 + (20 + 1252) + (20 + 384);
    const size_t frame1 = head + 20 + 200;  // frame 1 follows the sound chunk
    const size_t photo = frame1 + 20 + 384 + 20;
    const size_t remark = photo + 64 + 20 + 384 + 20;
    const Appended expected[] = {{384, 3, 200, head + 20}, {200, 4, 64, photo}, {64, 7, 42, remark}};
    size_t at = head;
    for (const Appended& e : expected) {
        SCOPED_TRACE(e.type);
        ASSERT_LE(at + 20 + e.size, data.size());
        const auto u32 = [&](size_t k) {
            return uint32_t{data[k]} | uint32_t{data[k + 1]} << 8 | uint32_t{data[k + 2]} << 16 |
                   uint32_t{data[k + 3]} << 24;
        };
        EXPECT_EQ(u32(at), 0x66DDDD66u);
        EXPECT_EQ(u32(at + 4), 1000u);
        EXPECT_EQ(u32(at + 8), e.previous);
        EXPECT_EQ(u32(at + 12), e.type);
        EXPECT_EQ(u32(at + 16), e.size);
        EXPECT_TRUE(std::equal(data.begin() + static_cast<ptrdiff_t>(at + 20),
                               data.begin() + static_cast<ptrdiff_t>(at + 20 + e.size),
                               file.begin() + static_cast<ptrdiff_t>(e.from)));
        at += 20 + e.size;
    }
    EXPECT_EQ(at, data.size());
}

// Points TMPDIR at a folder of its own while it lives.
class TempDirScope {
public:
    TempDirScope() {
        const char* old = std::getenv("TMPDIR");
        if (old != nullptr) saved_ = old;
        had_ = old != nullptr;
        setenv("TMPDIR", dir_.path("").c_str(), 1);
    }
    ~TempDirScope() {
        if (had_) {
            setenv("TMPDIR", saved_.c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
    }
    std::vector<fs::path> files() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(dir_.path(""))) out.push_back(e.path());
        return out;
    }

private:
    ScratchDir dir_;
    std::string saved_;
    bool had_ = false;
};

TEST(MemoryImage, KindFollowsTheFirstWord) {
    struct KindCase {
        std::vector<uint8_t> bytes;
        bool opens;
        int frames;  // 0: a still image
    };
    const KindCase cases[] = {
        {readBytes(fixtureFile("seq_l1.vnv")), true, 5},  // word 1
        {readBytes(fixtureFile("seq_l2.vnv")), true, 4},  // word 2: a sequence too
        {readBytes(fixtureFile("seq_l3.vnv")), true, 4},  // word 3
        {fixtureBytes("k4"), true, 0},                    // "VN41": a still image
        {readBytes(fixtureFile("seq_l0.vnv")), false, 0}, // word 0: read as a still image
        {{5, 0, 0, 0, 1, 2}, false, 0},
    };
    for (const KindCase& c : cases) {
        IfrHandle h = IFR_LoadBuffer(kWindow, c.bytes.data(), static_cast<int>(c.bytes.size()));
        ASSERT_EQ(h != nullptr, c.opens);
        if (h == nullptr) continue;
        receiveFrames(h);
        const FrameRun run = readAll(h, c.frames == 0 ? 2 : 64);
        EXPECT_EQ(run.grays.size(), size_t(c.frames == 0 ? 2 : c.frames));
        EXPECT_EQ(run.end, c.frames == 0 ? 0 : -2);
        release(h);
    }
    const uint8_t one = 1;
    EXPECT_EQ(IFR_LoadBuffer(nullptr, nullptr, 10), nullptr);
    EXPECT_EQ(IFR_LoadBuffer(nullptr, &one, 0), nullptr);
    EXPECT_EQ(IFR_LoadBuffer(nullptr, &one, -5), nullptr);
}

TEST(MemoryImage, EachObjectReadsItsOwnCopyAndWritesNoFile) {
    TempDirScope tmp;
    std::vector<uint8_t> still = fixtureBytes("k4");
    // The first frame of a layout-0 sequence: a still image whose pixel
    // (0, 0) is 1, the same size as k4.
    IfrHandle seq = IFR_LoadFile(nullptr, fixtureFile("seq_l0.vnv").c_str(), 1, nullptr, nullptr);
    ASSERT_NE(seq, nullptr);
    std::vector<uint8_t> frame = fileData(seq);
    release(seq);

    IfrHandle a = IFR_LoadBuffer(kWindow, still.data(), static_cast<int>(still.size()));
    IfrHandle b = IFR_LoadBuffer(kWindow, frame.data(), static_cast<int>(frame.size()));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    // The caller's buffers are its own again once the call returns.
    const std::vector<uint8_t> stillBytes = still;
    std::fill(still.begin(), still.end(), uint8_t{0x5A});
    frame.assign(frame.size(), 0);
    frame.shrink_to_fit();
    receiveFrames(a);
    receiveFrames(b);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(IFR_Next(a), 0);
        EXPECT_EQ(lastFrame(a).firstGray, expectedGray(0, 0));
        ASSERT_EQ(IFR_Next(b), 0);
        EXPECT_EQ(lastFrame(b).firstGray, 1);
    }
    EXPECT_EQ(fileData(a), stillBytes);
    // A parameter block from a stream replaces the object's copy of the
    // file; the image still reads its own bytes.
    std::vector<uint8_t> block = stillBytes;
    block[200] ^= 0x55;
    ASSERT_EQ(IFR_LoadInfraredParamFromStream(a, block.data()), 0);
    ASSERT_EQ(IFR_Next(a), 0);
    EXPECT_EQ(lastFrame(a).firstGray, expectedGray(0, 0));
    EXPECT_EQ(fileData(a), stillBytes);
    EXPECT_TRUE(tmp.files().empty());
    EXPECT_EQ(IFR_CloseFile(a), 0);
    EXPECT_EQ(IFR_GetFileLen(a), 0);
    IFR_Free(a);
    IFR_Free(b);  // without IFR_CloseFile: closed on the way

    // A memory image that does not open leaves nothing either.
    const uint8_t junk[600] = {};
    EXPECT_EQ(IFR_LoadBuffer(nullptr, junk, sizeof junk), nullptr);
    EXPECT_TRUE(tmp.files().empty());
}

// A still image read from memory is the file read from disk: every pixel's
// temperature under the same scene, the rendered bitmap and the data handed
// out are identical, bit for bit.
TEST(MemoryImage, StillImagesMeasureAndRenderAsTheirFiles) {
    const auto temps = [](IfrHandle h) {
        int w = 0, hgt = 0;
        IFR_GetImageWidthHeight(h, &w, &hgt);
        IFR_SetEmissDis(h, 0.91f, 3.5f);
        std::vector<float> t(size_t(w) * size_t(hgt));
        EXPECT_EQ(IFR_GetRectTemp(h, 0, 0, w - 1, hgt - 1, t.data()), 0);
        std::vector<uint32_t> bits(t.size());
        std::memcpy(bits.data(), t.data(), t.size() * sizeof(float));
        bits.push_back(static_cast<uint32_t>(IFR_TempToGray(h, 36.6f)));
        return bits;
    };
    const auto dib = [](IfrHandle h) {
        int w = 0, hgt = 0;
        IFR_GetImageWidthHeight(h, &w, &hgt);
        std::vector<uint8_t> out(size_t(ThermcoreDibFileSize(w, hgt)));
        int size = 0;
        EXPECT_EQ(IFR_OutputDIB(h, out.data(), &size, 3), 0);
        return out;
    };
    int compared = 0;
    for (const std::string& name : allFixtures()) {
        const std::vector<uint8_t> bytes = fixtureBytes(name);
        IfrHandle file = IFR_LoadFile(nullptr, fixturePath(name).c_str(), IFR_KIND_IMAGE, nullptr, nullptr);
        IfrHandle memory = IFR_LoadBuffer(nullptr, bytes.data(), static_cast<int>(bytes.size()));
        SCOPED_TRACE(name);
        ASSERT_EQ(file != nullptr, memory != nullptr);
        if (file == nullptr) continue;
        ASSERT_EQ(IFR_Next(file), 0);
        ASSERT_EQ(IFR_Next(memory), 0);
        EXPECT_EQ(fileData(memory), fileData(file));
        EXPECT_EQ(temps(memory), temps(file));
        EXPECT_EQ(dib(memory), dib(file));
        release(file);
        release(memory);
        ++compared;
    }
    EXPECT_GE(compared, 20);
}

TEST(Sequence, RefusedFilesGiveNoHandle) {
    const struct {
        const char* file;
        int kind;
    } cases[] = {
        {"seqbad_layout4.vnv", 1},       {"seqbad_l0_frame_small.vnv", 1},
        {"seqbad_l0_frame0.vnv", 1},     {"seqbad_l0_no_frame.vnv", 1},
        {"seqbad_l1_width0.vnv", 1},     {"seqbad_l1_no_magic.vnv", 1},
        {"seqbad_jpg_no_soi.jpg", 2},    {"seqbad_jpg_no_tag.jpg", 2},
        {"seq_l1.vnv", 0},               {"seq_l1.vnv", 2},
        {"jpg_seq.jpg", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        int first = 77;
        EXPECT_EQ(IFR_LoadFile(kWindow, fixtureFile(c.file).c_str(), c.kind, &first, nullptr),
                  nullptr);
    }
}

// Damaged chunks: the results of successive IFR_Next calls.
TEST(Sequence, DamagedChunksGiveTheirFailureCodes) {
    const struct {
        const char* file;
        std::vector<int> results;
    } cases[] = {
        {"seqbad_l0_gray_size.vnv", {0, -4, -4}},
        {"seqbad_l1_gray_short.vnv", {0, -4, -4}},
        {"seqbad_l1_gray_long.vnv", {0, -4}},
        {"seqbad_l2_gray_short.vnv", {0, -4}},
        {"seqbad_l1_param_small.vnv", {-4, -4}},
        {"seqbad_l1_param_oversize.vnv", {-4}},
        {"seqbad_l3_param_big.vnv", {-4}},
        {"seqbad_l2_calib_big.vnv", {0, -4}},
        {"seqbad_l2_magic_small.vnv", {0, -3, -3}},
        {"seqbad_l1_magic.vnv", {0, -3}},
        {"seqbad_l1_sound_oversize.vnv", {0, -2}},
        {"seqbad_l1_cut.vnv", {0, 0, 0, 0, -2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        IfrHandle h = IFR_LoadFile(nullptr, fixtureFile(c.file).c_str(), 1, nullptr, nullptr);
        ASSERT_NE(h, nullptr);
        std::vector<int> got;
        for (size_t i = 0; i < c.results.size(); ++i) got.push_back(IFR_Next(h));
        EXPECT_EQ(got, c.results);
        release(h);
    }
}

TEST(Sequence, FrameCallbackOnlyWithAWindow) {
    IfrHandle h = IFR_LoadFile(nullptr, fixtureFile("seq_l1.vnv").c_str(), 1, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    forgetFrames(h);
    EXPECT_EQ(IFR_ReceiveStream(h, recordFrame), 0);
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_TRUE(framesOf(h).empty());
    release(h);
    EXPECT_EQ(IFR_ReceiveStream(nullptr, recordFrame), -1);
}

TEST(Sequence, StreamDiffWrapsAndMayWriteOverAnInput) {
    IfrHandle h = IFR_Init(nullptr, 2, 2);
    ASSERT_NE(h, nullptr);
    unsigned short a[4] = {1, 5, 0, 65535};
    const unsigned short b[4] = {3, 2, 1, 0};
    EXPECT_EQ(IFR_StreamDiff(h, a, a, b), 0);
    EXPECT_EQ(a[0], 2);
    EXPECT_EQ(a[1], 65533);
    EXPECT_EQ(a[2], 1);
    EXPECT_EQ(a[3], 1);
    EXPECT_EQ(IFR_StreamDiff(h, nullptr, a, b), -1);
    EXPECT_EQ(IFR_StreamDiff(nullptr, a, a, b), -1);
    IFR_Free(h);
}

}  // namespace
