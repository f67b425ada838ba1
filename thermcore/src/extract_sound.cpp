// The voice note as a WAV file.
//
// A still image's note is coded by byte 17 of its block:
//   0  PCM: a 104-byte header (the 44-byte header, then 60 zero bytes that
//      belong to the data chunk), then the stored bytes. 16000 Hz, 16 bits;
//      images 320 wide were recorded at 5536 Hz, 8 bits, and keep that rate.
//   1  IMA ADPCM, 4 bits a sample, high nibble first: decoded, every sample
//      written twice (8 kHz to 16 kHz), 16 bits, after the 104-byte header.
//   4  raw: the stored bytes.
// A sequence's note is the data of its sound chunks, one after the other.
// Raw bytes that do not already begin "RIFF" get a 44-byte header for 8000
// Hz, 8-bit mono. Every header derives block align (channels * bits / 8) and
// byte rate (rate * block align) from its rate and width.
#include <algorithm>
#include <array>
#include <cstring>

#include "byte_order.h"
#include "extracts.h"
#include "file_io.h"

namespace thermcore {

namespace {

constexpr uint32_t kPadBytes = 60;        // zero bytes after the header of the coded forms
constexpr uint32_t kHeaderBytes = 44;
constexpr uint32_t kRiffOverhead = 36;    // RIFF size = data bytes + 36

enum SoundCoding : uint8_t { kPcm = 0, kImaAdpcm = 1, kRaw = 4 };

struct WavFormat {
    uint32_t rate;
    uint16_t bits;
};
constexpr WavFormat kRawFormat{8000, 8};
constexpr WavFormat kDecodedFormat{16000, 16};

std::array<uint8_t, kHeaderBytes> wavHeader(WavFormat f, uint32_t dataBytes) {
    constexpr uint16_t channels = 1;
    const auto blockAlign = static_cast<uint16_t>(channels * f.bits / 8);
    std::array<uint8_t, kHeaderBytes> h{};
    ByteWriter w(h);
    w.bytes("RIFF", 4);
    w.u32(dataBytes + kRiffOverhead);
    w.bytes("WAVEfmt ", 8);
    w.u32(16);
    w.u16(1);  // PCM
    w.u16(channels);
    w.u32(f.rate);
    w.u32(f.rate * blockAlign);
    w.u16(blockAlign);
    w.u16(f.bits);
    w.bytes("data", 4);
    w.u32(dataBytes);
    return h;
}

// IMA ADPCM as the camera codes it: predictor 0, index 0 at the start.
class ImaAdpcmDecoder {
public:
    // Appends two samples per byte, high nibble first.
    void decode(std::span<const uint8_t> in, std::vector<int16_t>& out) {
        for (const uint8_t b : in) {
            out.push_back(step(b >> 4));
            out.push_back(step(b & 0x0F));
        }
    }

private:
    static constexpr std::array<int, 89> kSteps = {
        7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
        25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
        88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
        307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
        1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
        3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
        12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
    static constexpr std::array<int, 8> kIndexSteps = {-1, -1, -1, -1, 2, 4, 6, 8};

    int16_t step(int nibble) {
        index_ = std::clamp(index_ + kIndexSteps[static_cast<size_t>(nibble & 7)], 0, 88);
        int diff = step_ >> 3;
        if ((nibble & 4) != 0) diff += step_;
        if ((nibble & 2) != 0) diff += step_ >> 1;
        if ((nibble & 1) != 0) diff += step_ >> 2;
        predictor_ = std::clamp((nibble & 8) != 0 ? predictor_ - diff : predictor_ + diff, -32768, 32767);
        step_ = kSteps[static_cast<size_t>(index_)];
        return static_cast<int16_t>(predictor_);
    }

    int predictor_ = 0;
    int index_ = 0;
    int step_ = 7;
};

bool writeHeader(ReplacingFile& out, WavFormat f, uint64_t dataBytes) {
    if (dataBytes > UINT32_MAX - kRiffOverhead) return false;
    return out.write(wavHeader(f, static_cast<uint32_t>(dataBytes)));
}

// The 104-byte forms: header, 60 zero bytes, then payload bytes.
bool writeCodedHeader(ReplacingFile& out, WavFormat f, uint64_t payload) {
    static constexpr std::array<uint8_t, kPadBytes> zeros{};
    return writeHeader(out, f, payload + kPadBytes) && out.write(zeros);
}

// Decoded samples, each written twice, 16-bit little-endian.
bool writeAdpcm(ReplacingFile& out, std::span<const uint8_t> stored) {
    if (!writeCodedHeader(out, kDecodedFormat, uint64_t{stored.size()} * 8)) return false;
    constexpr size_t kInBlock = 16 * 1024;
    ImaAdpcmDecoder decoder;
    std::vector<int16_t> samples;
    std::vector<uint8_t> bytes;
    for (size_t at = 0; at < stored.size(); at += kInBlock) {
        samples.clear();
        decoder.decode(stored.subspan(at, std::min(kInBlock, stored.size() - at)), samples);
        bytes.resize(samples.size() * 4);
        for (size_t i = 0; i < samples.size(); ++i) {
            const auto v = static_cast<uint16_t>(samples[i]);
            storeU16(&bytes[4 * i], v);
            storeU16(&bytes[4 * i + 2], v);
        }
        if (!out.write(bytes)) return false;
    }
    return true;
}

// Raw bytes (coding 4, sequences): unchanged when they begin "RIFF", else
// after an 8 kHz, 8-bit header.
template <typename Copy>
bool writeRaw(ReplacingFile& out, uint64_t size, std::span<const uint8_t> head, Copy copy) {
    const bool riff = head.size() >= 4 && std::memcmp(head.data(), "RIFF", 4) == 0;
    if (!riff && !writeHeader(out, kRawFormat, size)) return false;
    return copy();
}

int writeStill(IfrObject& obj, ReplacingFile& out) {
    const std::span<const uint8_t> stored(obj.fileCopy.data() + obj.sound.offset, obj.sound.size);
    bool ok = false;
    switch (obj.block.soundCoding) {
        case kPcm: {
            const WavFormat f = obj.width == 320 ? WavFormat{5536, 8} : kDecodedFormat;
            ok = writeCodedHeader(out, f, stored.size()) && out.write(stored);
            break;
        }
        case kImaAdpcm:
            ok = writeAdpcm(out, stored);
            break;
        case kRaw:
            ok = writeRaw(out, stored.size(), stored, [&] { return out.write(stored); });
            break;
        default:
            // A coding the camera does not write: an empty note.
            ok = writeHeader(out, kRawFormat, 0);
            break;
    }
    return ok ? 0 : -1;
}

int writeSequence(IfrObject& obj, ReplacingFile& out) {
    const std::vector<ChunkSpan> chunks = sequenceChunks(obj, kChunkSound);
    if (!chunks.empty()) obj.hasSound = 1;
    std::vector<uint8_t> head;
    readChunks(obj, chunks, [&](std::span<const uint8_t> b) {
        head.insert(head.end(), b.begin(), b.begin() + static_cast<ptrdiff_t>(std::min<size_t>(b.size(), 4 - head.size())));
        return head.size() < 4;
    });
    const bool ok = writeRaw(out, chunkBytes(chunks), head, [&] {
        return readChunks(obj, chunks, [&](std::span<const uint8_t> b) { return out.write(b); });
    });
    return ok ? 0 : -1;
}

}  // namespace

int existSound(const IfrObject& obj) {
    if (!extractsReady(obj)) return 0;
    if (extractsFromSequence(obj)) return obj.hasSound;
    return obj.sound.held ? 1 : 0;
}

int writeSoundFile(IfrObject& obj, const char* path) {
    if (path == nullptr || !extractsReady(obj)) return -1;
    const bool sequence = extractsFromSequence(obj);
    // A layout-0 sequence has no sound chunks, a still image may have no note.
    if (sequence ? obj.seq.header.layout == 0 : !obj.sound.held) return -1;
    ReplacingFile out(path);
    if (!out.opened()) return -1;
    const int r = sequence ? writeSequence(obj, out) : writeStill(obj, out);
    return r == 0 && out.commit() ? 1 : -1;
}

}  // namespace thermcore
