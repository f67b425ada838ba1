// Hostile and damaged streams: every malformed header gets its code before
// anything of it is used, truncations and bit flips end in error codes,
// and no read writes outside the caller's buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "decoder_support.h"

namespace thermjpeg::test {
namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

// Offset of the first marker FF code at or after `from`, or npos.
size_t FindMarker(const Bytes& s, uint8_t code, size_t from = 0)
{
    for (size_t i = from; i + 1 < s.size(); ++i) {
        if (s[i] == 0xFF && s[i + 1] == code)
            return i;
    }
    return kNone;
}

const Bytes& Baseline()
{
    static const Bytes jpeg = Encode(MakeImage(40, 24, 3, 3), JPEG_COLOUR_BGR);
    return jpeg;
}

const Bytes& Progressive()
{
    static const Bytes jpeg =
        Encode(MakeImage(40, 24, 3, 3), JPEG_COLOUR_BGR, [](JPEG_PROPERTIES& p) { p.Progressive = 1; });
    return jpeg;
}

// Reads into a 40x24 R, G, B buffer with guard bytes around it; the guards
// must survive whatever the stream holds.
int GuardedRead(const Bytes& jpeg, int mode = JPEG_MODE_READ_MEMORY, int width = 40, int height = 24)
{
    constexpr size_t kGuard = 64;
    const size_t size = static_cast<size_t>(width) * height * 3;
    Bytes buffer(size + 2 * kGuard, 0xA5);
    Codec codec;
    JPEG_PROPERTIES& p = codec.p;
    Bytes copy = jpeg;
    TempDir dir;
    const std::string path = dir.Path("in.jpg").string();
    if (mode % 2 == 0)
        WriteFileBytes(path, jpeg);
    p.JpegFile = path.c_str();
    p.JpegBytes = copy.data();
    p.JpegSize = static_cast<int32_t>(copy.size());
    p.ImageBytes = buffer.data() + kGuard;
    p.ImageWidth = width;
    p.ImageHeight = height;
    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_RGB;
    const int rc = JpegRead(&p, mode);
    for (size_t i = 0; i < kGuard; ++i) {
        EXPECT_EQ(buffer[i], 0xA5);
        EXPECT_EQ(buffer[buffer.size() - 1 - i], 0xA5);
    }
    return rc;
}

struct Fault {
    const char* name;
    bool progressive;
    std::function<void(Bytes&)> edit;
    int expected;
};


// Offsets inside the SOF segment: 2 length, 4 precision, 5 lines, 7 samples,
// 9 Nf, then three bytes a component from 10.
void Sof(Bytes& s, size_t offset, uint8_t value)
{
    size_t at = FindMarker(s, 0xC0);
    if (at == kNone)
        at = FindMarker(s, 0xC2);
    s[at + offset] = value;
}

// Offsets inside the (first) SOS segment: 2 length, 4 Ns, 5 components,
// then Ss, Se, Ah/Al.
void Sos(Bytes& s, size_t offset, uint8_t value) { s[FindMarker(s, 0xDA) + offset] = value; }
size_t SosTail(const Bytes& s) { return FindMarker(s, 0xDA) + 5 + 2 * s[FindMarker(s, 0xDA) + 4]; }

// Replaces the segment at marker `code` by the given marker and payload.
void ReplaceSegment(Bytes& s, uint8_t code, uint8_t newCode, const Bytes& payload)
{
    const size_t at = FindMarker(s, code);
    const size_t length = (s[at + 2] << 8) | s[at + 3];
    Bytes segment{0xFF, newCode, static_cast<uint8_t>((payload.size() + 2) >> 8),
                  static_cast<uint8_t>(payload.size() + 2)};
    segment.insert(segment.end(), payload.begin(), payload.end());
    s.erase(s.begin() + static_cast<long>(at), s.begin() + static_cast<long>(at + 2 + length));
    s.insert(s.begin() + static_cast<long>(at), segment.begin(), segment.end());
}

void InsertBefore(Bytes& s, uint8_t code, const Bytes& bytes)
{
    s.insert(s.begin() + static_cast<long>(FindMarker(s, code)), bytes.begin(), bytes.end());
}

TEST(MalformedStream, EachFaultGetsItsCode)
{
    const std::vector<Fault> faults = {
        {"no SOI", false, [](Bytes& s) { s[1] = 0xD9; }, JPEG_NOT_JPEG},
        {"12-bit frame", false, [](Bytes& s) { Sof(s, 4, 12); }, JPEG_UNSUPPORTED_FRAME},
        {"zero lines", false, [](Bytes& s) { Sof(s, 5, 0), Sof(s, 6, 0); }, JPEG_DNL_ERROR},
        {"zero samples per line", false, [](Bytes& s) { Sof(s, 7, 0), Sof(s, 8, 0); }, JPEG_SOF_ERROR},
        {"no components", false, [](Bytes& s) { Sof(s, 9, 0); }, JPEG_COMPONENT_ERROR},
        {"five components", false, [](Bytes& s) { Sof(s, 9, 5); }, JPEG_COMPONENT_ERROR},
        {"length not 8 + 3 Nf", false, [](Bytes& s) { Sof(s, 9, 2); }, JPEG_SOF_ERROR},
        {"H of 0", false, [](Bytes& s) { Sof(s, 11, 0x01); }, JPEG_SOF_ERROR},
        {"V of 5", false, [](Bytes& s) { Sof(s, 11, 0x25); }, JPEG_SOF_ERROR},
        {"more than 10 blocks", false, [](Bytes& s) { Sof(s, 11, 0x44); }, JPEG_SOF_ERROR},
        {"Tq of 4", false, [](Bytes& s) { Sof(s, 12, 4); }, JPEG_SOF_ERROR},
        {"ratio not whole", false, [](Bytes& s) { Sof(s, 11, 0x31), Sof(s, 14, 0x21); }, JPEG_BAD_SUBSAMPLING},
        {"one component subsampled", false,
         [](Bytes& s) {
             // Gray frame: Nf 1 with 2x2 factors, length 11, scan of that component.
             Sof(s, 3, 11), Sof(s, 9, 1), Sof(s, 11, 0x22);
             const size_t sof = FindMarker(s, 0xC0);
             s.erase(s.begin() + static_cast<long>(sof + 13), s.begin() + static_cast<long>(sof + 19));
             Sos(s, 3, 8), Sos(s, 4, 1);
             const size_t sos = FindMarker(s, 0xDA);
             s.erase(s.begin() + static_cast<long>(sos + 7), s.begin() + static_cast<long>(sos + 11));
         },
         JPEG_BAD_SUBSAMPLING},
        {"scan of no component", false, [](Bytes& s) { Sos(s, 4, 0); }, JPEG_DATA_ERROR},
        {"scan of five components", false, [](Bytes& s) { Sos(s, 4, 5); }, JPEG_DATA_ERROR},
        {"scan length not 6 + 2 Ns", false, [](Bytes& s) { Sos(s, 4, 2); }, JPEG_DATA_ERROR},
        {"unknown scan component", false, [](Bytes& s) { Sos(s, 5, 9); }, JPEG_DATA_ERROR},
        {"sequential Ss 1", false, [](Bytes& s) { s[SosTail(s)] = 1; }, JPEG_DATA_ERROR},
        {"sequential Se 62", false, [](Bytes& s) { s[SosTail(s) + 1] = 62; }, JPEG_DATA_ERROR},
        {"sequential Al 1", false, [](Bytes& s) { s[SosTail(s) + 2] = 1; }, JPEG_DATA_ERROR},
        {"progressive DC with Se 1", true, [](Bytes& s) { s[SosTail(s) + 1] = 1; }, JPEG_DATA_ERROR},
        {"progressive Al 14", true, [](Bytes& s) { s[SosTail(s) + 2] = 14; }, JPEG_DATA_ERROR},
        {"progressive AC of three components", true, [](Bytes& s) { s[SosTail(s)] = 1, s[SosTail(s) + 1] = 5; },
         JPEG_DATA_ERROR},
        {"SOS before the frame", false,
         [](Bytes& s) {
             const Bytes sos{0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0};
             InsertBefore(s, 0xC0, sos);
         },
         JPEG_NO_FRAME},
        {"second frame", false,
         [](Bytes& s) {
             const size_t at = FindMarker(s, 0xC0);
             const Bytes sof(s.begin() + static_cast<long>(at), s.begin() + static_cast<long>(at + 19));
             InsertBefore(s, 0xDA, sof);
         },
         JPEG_MULTIPLE_FRAMES},
        {"DQT Pq 2", false, [](Bytes& s) { s[FindMarker(s, 0xDB) + 4] = 0x20; }, JPEG_BAD_QUANT_TABLE},
        {"DQT Tq 4", false, [](Bytes& s) { s[FindMarker(s, 0xDB) + 4] = 0x04; }, JPEG_BAD_QUANT_TABLE},
        {"DQT table cut short", false, [](Bytes& s) { ReplaceSegment(s, 0xDB, 0xDB, Bytes(40, 1)); },
         JPEG_BAD_QUANT_TABLE},
        {"DQT 16-bit table in 64 bytes", false,
         [](Bytes& s) {
             Bytes payload(65, 2);
             payload[0] = 0x10;
             ReplaceSegment(s, 0xDB, 0xDB, payload);
         },
         JPEG_BAD_QUANT_TABLE},
        {"DHT class 2", false, [](Bytes& s) { s[FindMarker(s, 0xC4) + 4] = 0x20; }, JPEG_BAD_HUFFMAN_TABLE},
        {"DHT number 4", false, [](Bytes& s) { s[FindMarker(s, 0xC4) + 4] = 0x04; }, JPEG_BAD_HUFFMAN_TABLE},
        {"DHT values past the segment", false,
         [](Bytes& s) {
             Bytes payload(17 + 4, 0);
             payload[16] = 200; // 200 codes of 16 bits, four values given
             ReplaceSegment(s, 0xC4, 0xC4, payload);
         },
         JPEG_BAD_HUFFMAN_TABLE},
        {"DHT over-subscribed", false,
         [](Bytes& s) {
             Bytes payload(17 + 3, 0);
             payload[1] = 3; // three codes of one bit
             ReplaceSegment(s, 0xC4, 0xC4, payload);
         },
         JPEG_BAD_HUFFMAN_TABLE},
        {"DRI of length 3", false,
         [](Bytes& s) { InsertBefore(s, 0xDA, Bytes{0xFF, 0xDD, 0, 3, 1}); }, JPEG_DATA_ERROR},
        {"segment length 1", false, [](Bytes& s) { InsertBefore(s, 0xDA, Bytes{0xFF, 0xE5, 0, 1}); },
         JPEG_DATA_ERROR},
        {"no Huffman table", false, [](Bytes& s) { s[FindMarker(s, 0xDA) + 6] = 0x33; }, JPEG_NO_HUFFMAN_TABLE},
        {"no quantisation table", false, [](Bytes& s) { Sof(s, 12, 3); }, JPEG_NO_QUANT_TABLE},
        {"lossless frame", false, [](Bytes& s) { s[FindMarker(s, 0xC0) + 1] = 0xC3; }, JPEG_UNSUPPORTED_FRAME},
        {"arithmetic frame", false, [](Bytes& s) { s[FindMarker(s, 0xC0) + 1] = 0xC9; }, JPEG_UNSUPPORTED_FRAME},
        {"tables, EOI, then no SOI", false,
         [](Bytes& s) {
             const size_t sof = FindMarker(s, 0xC0);
             Bytes head(s.begin(), s.begin() + static_cast<long>(sof));
             head.insert(head.end(), {0xFF, 0xD9, 0xFF, 0xFE, 0, 2});
             s = head;
         },
         JPEG_NO_IMAGE},
        {"huge progressive frame", true, [](Bytes& s) { Sof(s, 5, 0xFF), Sof(s, 6, 0xFF), Sof(s, 7, 0xFF), Sof(s, 8, 0xFF); },
         JPEG_MEMORY_ERROR},
    };
    for (const Fault& f : faults) {
        Bytes s = f.progressive ? Progressive() : Baseline();
        f.edit(s);
        EXPECT_EQ(GuardedRead(s), f.expected) << f.name;
    }
}

TEST(MalformedStream, EveryTruncationIsAnErrorFromMemoryAndFromAFile)
{
    for (const Bytes* whole : {&Baseline(), &Progressive()}) {
        ASSERT_EQ(GuardedRead(*whole), 0);
        for (size_t length = 0; length < whole->size(); ++length) {
            const Bytes cut(whole->begin(), whole->begin() + static_cast<long>(length));
            const int rc = GuardedRead(cut);
            EXPECT_LT(rc, 0) << "length " << length;
            if (length > 2 && length % 97 == 0) {
                EXPECT_EQ(GuardedRead(cut, JPEG_MODE_READ_FILE), JPEG_FILE_ERROR) << "file of " << length;
            }
        }
        const Bytes noEoi(whole->begin(), whole->end() - 2);
        EXPECT_EQ(GuardedRead(noEoi), JPEG_MEMORY_ERROR);
        EXPECT_EQ(GuardedRead(noEoi, JPEG_MODE_READ_FILE), JPEG_FILE_ERROR);
    }
}

TEST(MalformedStream, IncompleteProgressiveStreamsStillPutOutTheirImage)
{
    // Cut in front of the third scan: the DC scan is in, the image is put
    // out at the end of the data (blurred), and the read reports the cut.
    const Bytes& whole = Progressive();
    size_t at = FindMarker(whole, 0xDA);
    at = FindMarker(whole, 0xDA, at + 2);
    at = FindMarker(whole, 0xDA, at + 2);
    const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(at));
    const ReadResult full = ReadJpeg(whole, JPEG_COLOUR_RGB, 3);
    const ReadResult partial = ReadJpeg(cut, JPEG_COLOUR_RGB, 3, JPEG_MODE_READ_MEMORY, {}, 40, 24);
    ASSERT_EQ(full.rc, 0);
    EXPECT_EQ(partial.rc, JPEG_MEMORY_ERROR);
    EXPECT_EQ(std::count(partial.image.pixels.begin(), partial.image.pixels.end(), 0x5A) <
                  static_cast<long>(partial.image.pixels.size() / 50),
              true); // written, not left as the fill
    EXPECT_GT(Psnr(partial.image, full.image), 15.0);
    // The same cut closed by an EOI reads with success.
    Bytes closed = cut;
    closed.insert(closed.end(), {0xFF, 0xD9});
    const ReadResult ended = ReadJpeg(closed, JPEG_COLOUR_RGB, 3, JPEG_MODE_READ_MEMORY, {}, 40, 24);
    EXPECT_EQ(ended.rc, 0);
    EXPECT_EQ(ended.image.pixels, partial.image.pixels);
}

TEST(MalformedStream, BitFlipsNeverLeaveTheBuffer)
{
    for (const Bytes* whole : {&Baseline(), &Progressive()}) {
        for (size_t i = 0; i < whole->size(); ++i) {
            Bytes s = *whole;
            s[i] ^= static_cast<uint8_t>(1u << (i % 8));
            const int rc = GuardedRead(s);
            EXPECT_TRUE(rc <= 0 || rc == JPEG_ROI_SUCCESS) << i;
        }
    }
}

TEST(MalformedStream, RestartMarkersOfAnyNumberAndMarkersThatEndAScan)
{
    const Image image = MakeImage(48, 16, 3, 5);
    const Bytes jpeg = Encode(image, JPEG_COLOUR_RGB, [](JPEG_PROPERTIES& p) { p.RestartInterval = 1; });
    const ReadResult clean = ReadJpeg(jpeg, JPEG_COLOUR_RGB, 3);
    ASSERT_EQ(clean.rc, 0);
    // Renumber every restart marker: all are accepted as restarts.
    Bytes renumbered = jpeg;
    for (size_t i = FindMarker(renumbered, 0xDA); i + 1 < renumbered.size(); ++i) {
        if (renumbered[i] == 0xFF && renumbered[i + 1] >= 0xD0 && renumbered[i + 1] <= 0xD7)
            renumbered[i + 1] = 0xD5;
    }
    const ReadResult any = ReadJpeg(renumbered, JPEG_COLOUR_RGB, 3);
    ASSERT_EQ(any.rc, 0);
    EXPECT_EQ(any.image.pixels, clean.image.pixels);
    // An EOI where the second restart marker stands ends the scan there: the
    // first two MCUs are put out, the read ends with success at that EOI.
    Bytes ended = jpeg;
    size_t second = FindMarker(ended, 0xD1, FindMarker(ended, 0xDA));
    ended[second + 1] = 0xD9;
    ended.resize(second + 2);
    const ReadResult partial = ReadJpeg(ended, JPEG_COLOUR_RGB, 3);
    EXPECT_EQ(partial.rc, 0);
    EXPECT_TRUE(std::equal(partial.image.pixels.begin(), partial.image.pixels.begin() + 3 * 32,
                           clean.image.pixels.begin()));
    EXPECT_EQ(partial.image.pixels[3 * 40], 0x5A); // third MCU not written
}

TEST(MalformedStream, SegmentLengthsAcrossTheFileBlockBoundary)
{
    // A comment whose length moves the next segments' length words over
    // every position around the 4096-byte block boundary.
    const Bytes& base = Baseline();
    const ReadResult reference = ReadJpeg(base, JPEG_COLOUR_RGB, 3);
    ASSERT_EQ(reference.rc, 0);
    for (int pad = 4060; pad < 4100; ++pad) {
        Bytes s = base;
        Bytes com{0xFF, 0xFE, static_cast<uint8_t>((pad + 2) >> 8), static_cast<uint8_t>(pad + 2)};
        com.resize(4 + pad, 'c');
        s.insert(s.begin() + 2, com.begin(), com.end());
        const ReadResult r = ReadJpeg(s, JPEG_COLOUR_RGB, 3, JPEG_MODE_READ_FILE);
        ASSERT_EQ(r.rc, 0) << pad;
        EXPECT_EQ(r.image.pixels, reference.image.pixels) << pad;
    }
}

TEST(MalformedStream, EachReadParsesItsOwnFrame)
{
    // A record that read one stream reads the next one's SOF1 frame.
    const Bytes first = Baseline();
    Bytes second = Encode(MakeImage(24, 16, 3, 9), JPEG_COLOUR_BGR);
    second[FindMarker(second, 0xC0) + 1] = 0xC1;
    Codec codec;
    JPEG_PROPERTIES& p = codec.p;
    Bytes pixels(40 * 24 * 3);
    p.ImageBytes = pixels.data();
    p.ImageWidth = 40;
    p.ImageHeight = 24;
    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_RGB;
    Bytes a = first, b = second;
    p.JpegBytes = a.data();
    p.JpegSize = static_cast<int32_t>(a.size());
    ASSERT_EQ(JpegRead(&p, JPEG_MODE_READ_MEMORY), 0);
    EXPECT_EQ(p.JpegWidth, 40);
    p.JpegBytes = b.data();
    p.JpegSize = static_cast<int32_t>(b.size());
    ASSERT_EQ(JpegRead(&p, JPEG_MODE_READ_MEMORY), 0);
    EXPECT_EQ(p.JpegWidth, 24);
    EXPECT_EQ(p.JpegHeight, 16);
}

// A 4 KB stream whose frame claims 65535 x 65535 pixels: the bound callers
// allocate by refuses it, and the decoder stops at the end of its entropy
// data instead of walking 67 million MCUs of nothing. A region of the left
// 64 columns over the whole height, interrupted after every MCU, ends
// within the rows the data covers.
TEST(MalformedStream, AFrameClaimingMoreThanItsDataStopsWhereTheDataEnds)
{
    const Bytes stream = ReadFileBytes(THERMJPEG_FIXTURES "/frame-65535x65535.jpg");
    ASSERT_GT(stream.size(), 4000u);
    JPEG_PROPERTIES p{};
    ASSERT_EQ(JpegInit(&p), 0);
    p.JpegBytes = const_cast<uint8_t*>(stream.data());
    p.JpegSize = static_cast<int32_t>(stream.size());
    ASSERT_EQ(JpegRead(&p, JPEG_MODE_HEADER_MEMORY), 0);
    EXPECT_EQ(p.JpegWidth, 65535);
    EXPECT_EQ(p.JpegHeight, 65535);
    EXPECT_FALSE(JpegPictureFits(p.JpegWidth, p.JpegHeight, 3));
    EXPECT_TRUE(JpegPictureFits(JPEG_MAX_PICTURE_SIDE, JPEG_MAX_PICTURE_PIXELS / JPEG_MAX_PICTURE_SIDE, 4));
    EXPECT_FALSE(JpegPictureFits(JPEG_MAX_PICTURE_SIDE + 1, 1, 3));
    EXPECT_FALSE(JpegPictureFits(JPEG_MAX_PICTURE_SIDE, JPEG_MAX_PICTURE_PIXELS / JPEG_MAX_PICTURE_SIDE, 5));

    const int width = 64, height = 65535;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    p.ImageBytes = pixels.data();
    p.ImageWidth = width;
    p.ImageHeight = height;
    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_RGB;
    p.OutputRegion = {0, 0, width, height};
    int rc = 0, calls = 0;
    do {
        p.InterruptFlag = 1;
        rc = JpegRead(&p, JPEG_MODE_READ_MEMORY);
    } while (rc == JPEG_INTERRUPTED && ++calls < 1000);
    EXPECT_NE(rc, JPEG_INTERRUPTED) << "still decoding after " << calls << " MCUs";
    EXPECT_LT(calls, 100);
    JpegFree(&p);
}

} // namespace
} // namespace thermjpeg::test
