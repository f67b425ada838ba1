// The voice note, photo and remark of still images, every sequence layout
// and the JPEG container, read back with independent readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "extract_support.h"

using namespace thermcore_test;

namespace {

// The stored part of a still image: photo (P bytes after the frame) or sound
// (S bytes after the photo), by the sizes in its block.
Bytes storedPart(const std::string& fileName, bool sound) {
    const Bytes f = readBytes(cameraFile(fileName));
    const size_t photoAt = 428 + le32(f, 20);
    const size_t at = sound ? photoAt + le32(f, 28) : photoAt;
    return Bytes(f.begin() + static_cast<ptrdiff_t>(at),
                 f.begin() + static_cast<ptrdiff_t>(at + le32(f, sound ? 32 : 28)));
}

// A target that holds "old" before the call, to see that a refused extract
// leaves it alone.
std::string oldTarget(const ScratchDir& dir, const std::string& name) {
    return dir.write(name, {'o', 'l', 'd'});
}

// The 44-byte header agrees with itself and with the file's length.
void expectConsistentWav(const Bytes& w) {
    ASSERT_GE(w.size(), 44u);
    EXPECT_EQ(std::memcmp(w.data(), "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(w.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(std::memcmp(w.data() + 36, "data", 4), 0);
    EXPECT_EQ(le32(w, 4), w.size() - 8);
    EXPECT_EQ(le32(w, 16), 16u);
    EXPECT_EQ(le16(w, 20), 1u);
    const uint32_t channels = le16(w, 22), rate = le32(w, 24), align = le16(w, 32), bits = le16(w, 34);
    EXPECT_EQ(align, channels * bits / 8);
    EXPECT_EQ(le32(w, 28), rate * align);
    EXPECT_EQ(le32(w, 40), w.size() - 44);
}

struct SoundCase {
    const char* file;
    const char* wave;  // channels, width, rate, frames as Python's wave reads them
    size_t size;
};

std::ostream& operator<<(std::ostream& os, const SoundCase& c) { return os << c.file; }

class SoundFile : public testing::TestWithParam<SoundCase> {};

TEST_P(SoundFile, ParsesWithWaveAndAgreesWithItsHeader) {
    const SoundCase& c = GetParam();
    ScratchDir dir;
    OpenFile h(c.file);
    ASSERT_TRUE(h.waitIndexed(dir));
    const std::string wav = dir.path("TEMP.WAV");
    ASSERT_EQ(IFR_GetSoundFile(h, wav.c_str()), 1);
    const Bytes w = readBytes(wav);
    EXPECT_EQ(w.size(), c.size);
    expectConsistentWav(w);
    EXPECT_EQ(waveInfo(wav), c.wave);
}

INSTANTIATE_TEST_SUITE_P(
    Extracts, SoundFile,
    testing::Values(
        // Still images: 104-byte headers for codings 0 and 1, 44 for raw.
        SoundCase{"x_pcm.vni", "1 2 16000 80", 104 + 101},
        SoundCase{"x_pcm_320.vni", "1 1 5536 260", 104 + 200},
        SoundCase{"x_adpcm.vni", "1 2 16000 4030", 104 + 8000},
        SoundCase{"k4_full.vni", "1 2 16000 830", 104 + 1600},
        SoundCase{"x_raw.vni", "1 1 8000 300", 44 + 300},
        SoundCase{"x_raw_riff.vni", "1 1 8000 101", 44 + 101},
        SoundCase{"x_coding2.vni", "1 1 8000 0", 44},
        // Sequences: raw chunks get the 8 kHz header, a WAV file in chunks
        // stays as it is.
        SoundCase{"seq_l1.vnv", "1 1 8000 200", 44 + 200},
        SoundCase{"jpg_seq.jpg", "1 1 8000 200", 44 + 200},
        SoundCase{"x_seq_l1.vnv", "1 1 8000 101", 44 + 101},
        SoundCase{"x_seq_l2.vnv", "1 1 8000 101", 44 + 101},
        SoundCase{"x_seq_l3.vnv", "1 1 8000 101", 44 + 101},
        SoundCase{"x_jpg_seq.jpg", "1 1 8000 101", 44 + 101},
        SoundCase{"seq_l3.vnv", "1 1 8000 0", 44},
        // A sound chunk running past the end: what is there (10 bytes and
        // two frame chunks of 20 + 384).
        SoundCase{"seqbad_l1_sound_oversize.vnv", "1 1 8000 818", 44 + 818}),
    [](const auto& info) {
        std::string n = info.param.file;
        for (char& ch : n) ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return n;
    });

TEST(Sound, AdpcmSamplesEqualPythonsDecoderEachTwice) {
    for (const char* file : {"x_adpcm.vni", "k4_full.vni"}) {
        ScratchDir dir;
        OpenFile h(file);
        const std::string wav = dir.path("TEMP.WAV");
        ASSERT_EQ(IFR_GetSoundFile(h, wav.c_str()), 1);
        const CommandResult r = runCheck("adpcm " + quoted(wav) + " " + quoted(cameraFile(file)));
        EXPECT_EQ(r.status, 0) << file << ": " << r.out;
    }
}

TEST(Sound, RawAndWavBytesPassThrough) {
    ScratchDir dir;
    const std::string wav = dir.path("a.wav");
    {
        OpenFile h("x_raw_riff.vni");
        ASSERT_EQ(IFR_GetSoundFile(h, wav.c_str()), 1);
        EXPECT_EQ(readBytes(wav), storedPart("x_raw_riff.vni", true));
    }
    {
        // The same WAV file cut into two sequence chunks.
        OpenFile h("x_seq_l2.vnv");
        ASSERT_TRUE(h.waitIndexed(dir));
        const std::string seqWav = dir.path("b.wav");
        ASSERT_EQ(IFR_GetSoundFile(h, seqWav.c_str()), 1);
        EXPECT_EQ(readBytes(seqWav), readBytes(wav));
    }
    {
        OpenFile h("x_raw.vni");
        ASSERT_EQ(IFR_GetSoundFile(h, wav.c_str()), 1);
        const Bytes w = readBytes(wav);
        EXPECT_EQ(Bytes(w.begin() + 44, w.end()), storedPart("x_raw.vni", true));
    }
}

TEST(Sound, RefusalsLeaveTheTargetAlone) {
    ScratchDir dir;
    // No note: a still image without one, layout-0 sequences (no chunks).
    for (const char* file : {"k4.vni", "jpg_still.jpg", "seq_l0.vnv", "jpg_seq_l0.jpg"}) {
        OpenFile h(file);
        ASSERT_TRUE(h.waitIndexed(dir));
        const std::string target = oldTarget(dir, "TEMP.WAV");
        EXPECT_EQ(IFR_ExistSound(h), 0) << file;
        EXPECT_EQ(IFR_GetSoundFile(h, target.c_str()), -1) << file;
        EXPECT_EQ(readBytes(target), Bytes({'o', 'l', 'd'})) << file;
    }
    OpenFile h("x_pcm.vni");
    EXPECT_EQ(IFR_GetSoundFile(h, dir.path("missing/TEMP.WAV").c_str()), -1);
    EXPECT_EQ(IFR_GetSoundFile(h, nullptr), -1);
    EXPECT_EQ(IFR_GetSoundFile(nullptr, dir.path("x.wav").c_str()), -1);
}

TEST(Extracts, ExistenceByFileKind) {
    struct Case {
        const char* file;
        int sound, photo, remark;
    };
    const Case cases[] = {
        {"k4.vni", 0, 0, 0},          {"k4_full.vni", 1, 1, 0},       {"x_photo_jpeg.vni", 0, 1, 0},
        {"jpg_still.jpg", 0, 0, 0},   {"seq_l0.vnv", 0, 0, 0},        {"jpg_seq_l0.jpg", 0, 0, 0},
        {"seq_l1.vnv", 1, 1, 1},      {"seq_l3.vnv", 0, 0, 0},        {"jpg_seq.jpg", 1, 1, 1},
        {"x_seq_l1.vnv", 1, 1, 1},    {"x_seq_l2.vnv", 1, 1, 1},      {"x_seq_l3.vnv", 1, 1, 1},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        OpenFile h(c.file);
        ASSERT_TRUE(h.waitIndexed(dir));
        EXPECT_EQ(IFR_ExistSound(h), c.sound) << c.file;
        EXPECT_EQ(IFR_ExistCCD(h), c.photo) << c.file;
        EXPECT_EQ(IFR_ExistRemark(h), c.remark) << c.file;
    }
    int foreign[4] = {0, 0, 0, 0};
    EXPECT_EQ(IFR_ExistSound(nullptr), -1);
    EXPECT_EQ(IFR_ExistCCD(foreign), 0);
    EXPECT_EQ(IFR_ExistRemark(foreign), 0);
}

// What a handle gives of its voice note, photo and remark.
struct Parts {
    int sound = 0, photo = 0, remark = 0;
    Bytes wav, picture, text;
    bool operator==(const Parts&) const = default;
};

Parts partsOf(IfrHandle h, const ScratchDir& dir) {
    Parts p{IFR_ExistSound(h), IFR_ExistCCD(h), IFR_ExistRemark(h), {}, {}, {}};
    int kind = 0;
    if (IFR_GetSoundFile(h, dir.path("p.wav").c_str()) == 1) p.wav = readBytes(dir.path("p.wav"));
    if (IFR_SaveCCDFile(h, dir.path("p.jpg").c_str(), &kind) == 1) p.picture = readBytes(dir.path("p.jpg"));
    if (IFR_SaveRemarkFile(h, dir.path("p.txt").c_str()) == 1) p.text = readBytes(dir.path("p.txt"));
    return p;
}

// The copy of a sequence (IFR_GetFileBuff) carries the voice note, photo and
// remark that follow its first frame: opened again from memory, as a report
// keeps its images, it gives what the file gives, whatever the caller does
// with its bytes afterwards.
TEST(Extracts, CopyOfASequenceKeepsItsParts) {
    ScratchDir dir;
    for (const char* file : {"x_seq_l1.vnv", "x_seq_l2.vnv", "x_seq_l3.vnv", "x_jpg_seq.jpg", "seq_l1.vnv",
                             "seq_l2.vnv"}) {
        SCOPED_TRACE(file);
        OpenFile h(file);
        ASSERT_TRUE(h.waitIndexed(dir));
        const Parts original = partsOf(h, dir);
        Bytes copy(static_cast<size_t>(std::max(IFR_GetFileLen(h), 0)));
        IFR_GetFileBuff(h, copy.data());
        IfrHandle c = IFR_LoadBuffer(nullptr, copy.data(), static_cast<int>(copy.size()));
        ASSERT_NE(c, nullptr);
        std::fill(copy.begin(), copy.end(), uint8_t{0xEE});  // the caller's bytes are its own again
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (IFR_SaveRemarkFile(c, dir.path("probe.txt").c_str()) != 1 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_EQ(partsOf(c, dir), original);
        IFR_CloseFile(c);
        IFR_Free(c);
    }
}

TEST(Extracts, LeaveTheSequenceWhereItWas) {
    ScratchDir dir;
    OpenFile h("x_seq_l1.vnv");
    ASSERT_TRUE(h.waitIndexed(dir));
    ASSERT_EQ(IFR_Next(h), 0);  // frame 0
    int kind = 0;
    EXPECT_EQ(IFR_GetSoundFile(h, dir.path("s.wav").c_str()), 1);
    EXPECT_EQ(IFR_SaveCCDFile(h, dir.path("p.jpg").c_str(), &kind), 1);
    EXPECT_EQ(IFR_SaveRemarkFile(h, dir.path("r.txt").c_str()), 1);
    EXPECT_EQ(IFR_Next(h), 0);  // frames 1 and 2, then the end
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(IFR_Next(h), -2);
    // The frame index is still there.
    EXPECT_EQ(IFR_GotoTime(h, 1040), 0);
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(IFR_Next(h), -2);
}

// --- photo

TEST(Photo, StillImageAsBmpOrAsStored) {
    ScratchDir dir;
    OpenFile h("x_photo322.vni");
    const Bytes stored = storedPart("x_photo322.vni", false);
    // Any mix of cases in the extension gives the BMP, 320 of 322 columns.
    for (const char* name : {"photo.BmP", "photo.bmp", "PHOTO.BMP"}) {
        int kind = 0;
        const std::string target = dir.path(name);
        ASSERT_EQ(IFR_SaveCCDFile(h, target.c_str(), &kind), 1) << name;
        EXPECT_EQ(kind, 3);
        const Picture p = decodeBmp(target);
        ASSERT_EQ(p.width, 320);
        ASSERT_EQ(p.height, 5);
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const size_t i = (static_cast<size_t>(y) * 322 + x) * 4;
                ASSERT_EQ(p.at(x, y), uint32_t{stored[i + 2]} << 16 | uint32_t{stored[i + 1]} << 8 | stored[i])
                    << x << "," << y;
            }
        }
    }
    for (const char* name : {"photo.jpg", "photo.bmpx", "photo"}) {
        const std::string target = dir.path(name);
        ASSERT_EQ(IFR_SaveCCDFile(h, target.c_str(), nullptr), 1) << name;
        EXPECT_EQ(readBytes(target), stored) << name;
    }
}

// A JPEG photo is handed out as its stored bytes, also one whose frame (and
// block) claims 65535 x 65535 pixels in 4 KB: no picture is made of either.
TEST(Photo, JpegPhotoIsHandedOutAsStored) {
    for (const char* file : {"x_photo_jpeg.vni", "x_photo_huge_frame.vni"}) {
        ScratchDir dir;
        OpenFile h(file);
        const std::string target = dir.path("bmp.bmp");
        int kind = 0;
        ASSERT_EQ(IFR_SaveCCDFile(h, target.c_str(), &kind), 1) << file;
        const Bytes stored = storedPart(file, false);
        EXPECT_LT(stored.size(), 5000u) << file;
        EXPECT_EQ(readBytes(target), stored) << file;
        Bytes buffer(4096);
        unsigned char* p = buffer.data();
        int size = static_cast<int>(buffer.size());
        EXPECT_EQ(IFR_OutputCCDDIB(h, &p, &size, 0), -1) << file;
        EXPECT_EQ(size, 0) << file;
    }
}

TEST(Photo, SequencesWriteTheirPhotoChunks) {
    Bytes headed;  // the photo after the 24-byte header of its chunk
    for (int i = 0; i < 40; ++i) headed.push_back(static_cast<uint8_t>(i * 3 + 1));
    Bytes plain;
    for (int i = 0; i < 64; ++i) plain.push_back(static_cast<uint8_t>(i));
    const std::pair<const char*, Bytes> cases[] = {
        {"x_seq_l1.vnv", headed}, {"x_seq_l2.vnv", headed}, {"x_seq_l3.vnv", headed},
        {"x_jpg_seq.jpg", headed}, {"seq_l1.vnv", plain},   {"jpg_seq.jpg", plain},
        {"seq_l0.vnv", {}},        {"seq_l3.vnv", {}},
    };
    ScratchDir dir;
    for (const auto& [file, expected] : cases) {
        OpenFile h(file);
        ASSERT_TRUE(h.waitIndexed(dir));
        const std::string target = oldTarget(dir, "jpg.jpg");
        EXPECT_EQ(IFR_SaveCCDFile(h, target.c_str(), nullptr), 1) << file;
        EXPECT_EQ(readBytes(target), expected) << file;
    }
}

TEST(Photo, WithoutPhotoNothingIsWritten) {
    ScratchDir dir;
    OpenFile h("k4.vni");
    const std::string target = oldTarget(dir, "jpg.jpg");
    int kind = 0;
    EXPECT_EQ(IFR_SaveCCDFile(h, target.c_str(), &kind), -1);
    EXPECT_EQ(readBytes(target), Bytes({'o', 'l', 'd'}));
    EXPECT_EQ(IFR_SaveCCDFile(nullptr, target.c_str(), &kind), -1);
    Bytes buffer(1024);
    unsigned char* p = buffer.data();
    int size = 1024;
    EXPECT_EQ(IFR_OutputCCDDIB(h, &p, &size, 0), -1);
    EXPECT_EQ(size, 0);
}

TEST(Photo, PackedDibWithPaddedRows) {
    OpenFile h("x_w15.vni");
    const Bytes stored = storedPart("x_w15.vni", false);
    const int need = 40 + 48 * 7;  // 15 pixels of 3 bytes padded to 48
    Bytes buffer(need, 0xAA);
    unsigned char* p = buffer.data();
    int size = need - 1;
    EXPECT_EQ(IFR_OutputCCDDIB(h, &p, &size, 0), -1);
    EXPECT_EQ(size, need - 1);
    EXPECT_EQ(IFR_OutputCCDDIB(h, nullptr, &size, 0), -1);
    size = need;
    ASSERT_EQ(IFR_OutputCCDDIB(h, &p, &size, 0), 1);
    EXPECT_EQ(size, need);
    EXPECT_EQ(le32(buffer, 0), 40u);
    EXPECT_EQ(le32(buffer, 4), 15u);
    EXPECT_EQ(le32(buffer, 8), 7u);
    EXPECT_EQ(le16(buffer, 12), 1u);
    EXPECT_EQ(le16(buffer, 14), 24u);
    EXPECT_EQ(le32(buffer, 16), 0u);
    EXPECT_EQ(le32(buffer, 20), 48u * 7);
    for (int row = 0; row < 7; ++row) {
        const size_t at = 40 + static_cast<size_t>(row) * 48;
        const int y = 6 - row;  // bottom row first
        for (int x = 0; x < 15; ++x) {
            for (int k = 0; k < 3; ++k) {
                ASSERT_EQ(buffer[at + 3 * x + k], stored[(static_cast<size_t>(y) * 15 + x) * 4 + k]);
            }
        }
        EXPECT_EQ(Bytes(buffer.begin() + static_cast<ptrdiff_t>(at + 45),
                        buffer.begin() + static_cast<ptrdiff_t>(at + 48)),
                  Bytes(3, 0));
    }
}

// --- remark

TEST(Remark, ChineseTextComesOutAsIconvsGbk) {
    const Bytes utf8 = readBytes(cameraFile("remark.utf8"));
    const Bytes expected = iconvGbk(std::string(utf8.begin(), utf8.end()));
    ASSERT_FALSE(expected.empty());
    ScratchDir dir;
    for (const char* file : {"seq_l1.vnv", "jpg_seq.jpg"}) {
        OpenFile h(file);
        ASSERT_TRUE(h.waitIndexed(dir));
        const std::string target = dir.path("Remark.txt");
        ASSERT_EQ(IFR_SaveRemarkFile(h, target.c_str()), 1);
        EXPECT_EQ(readBytes(target), expected) << file;
    }
}

TEST(Remark, CutBrokenAndForeignCharacters) {
    // "温度" + "计" cut between two chunks, "ok", a byte that is not UTF-8, a
    // character GBK lacks, "。", then NUL; "尾" and a lone lead byte.
    Bytes expected = iconvGbk("温度计ok");
    expected.push_back('?');
    expected.push_back('?');
    const Bytes tail = iconvGbk("。尾");
    expected.insert(expected.end(), tail.begin(), tail.end());
    expected.push_back('?');
    ScratchDir dir;
    for (const char* file : {"x_seq_l1.vnv", "x_seq_l2.vnv", "x_seq_l3.vnv", "x_jpg_seq.jpg"}) {
        OpenFile h(file);
        ASSERT_TRUE(h.waitIndexed(dir));
        const std::string target = dir.path("Remark.txt");
        ASSERT_EQ(IFR_SaveRemarkFile(h, target.c_str()), 1);
        EXPECT_EQ(readBytes(target), expected) << file;
    }
}

TEST(Remark, LayoutZeroGivesAnEmptyFileStillImagesNone) {
    ScratchDir dir;
    for (const char* file : {"seq_l0.vnv", "jpg_seq_l0.jpg", "seq_l3.vnv"}) {
        OpenFile h(file);
        ASSERT_TRUE(h.waitIndexed(dir));
        const std::string target = oldTarget(dir, "Remark.txt");
        EXPECT_EQ(IFR_SaveRemarkFile(h, target.c_str()), 1) << file;
        EXPECT_EQ(readBytes(target), Bytes{}) << file;
    }
    for (const char* file : {"k4_full.vni", "jpg_still.jpg"}) {
        OpenFile h(file);
        const std::string target = oldTarget(dir, "Remark.txt");
        EXPECT_EQ(IFR_SaveRemarkFile(h, target.c_str()), -1) << file;
        EXPECT_EQ(readBytes(target), Bytes({'o', 'l', 'd'})) << file;
    }
    EXPECT_EQ(IFR_SaveRemarkFile(nullptr, dir.path("r.txt").c_str()), -1);
}

}  // namespace
