// Sequence files (.VNV) and the JPEG container: byte layouts and the
// header readers every road through a sequence shares.
//
// All integers little-endian. A sequence begins at the start offset (0, or
// 8 bytes after "VN410KV" inside a JPEG container) with a 16-byte header
// {u32 layout, u32 interval ms, u32 width, u32 height}.
//
//   layout 0  {u32 0, u32 frames, u32 frame size}, then fixed frames from
//             offset 12: a parameter block, its gray frame, padding.
//   layout 1, 3  chunks with a 20-byte header:
//             {u32 magic, i32 time, u32 previous size, u32 type, u32 size}
//   layout 2  chunks with a 28-byte header:
//             {u32 magic, i32 time, u32 previous size, u32 type, 8 bytes, u32 size}
//
// Chunk types: 0 parameter block (+ line table; in layout 3 + calibration
// payload), 2 gray frame (width * height * 2 bytes), 3 a piece of the sound
// note, 4 the photo, 6 calibration payload (layout 2), 7 remark (UTF-8),
// 8 non-uniformity settings (16 bytes, layout 2). Others are skipped.
#pragma once

#include <cstdint>
#include <cstdio>

namespace thermcore {

inline constexpr uint32_t kChunkMagic = 0x66DDDD66;
inline constexpr int64_t kSeqHeaderSize = 16;
inline constexpr int64_t kLayout0HeaderSize = 12;
inline constexpr int kMaxIndexEntries = 24001;
inline constexpr int32_t kLayout0Interval = 20;

enum ChunkType : uint32_t {
    kChunkParams = 0,
    kChunkGray = 2,
    kChunkSound = 3,
    kChunkPhoto = 4,
    kChunkCalibration = 6,
    kChunkRemark = 7,
    kChunkSettings = 8,
};

// Bounds of what a chunk's data is read into memory for. A parameter chunk
// holds a block and a line table (824 bytes in every camera) or a
// calibration payload (at most 10240 bytes); settings are 16 bytes.
inline constexpr uint32_t kMaxCalibrationChunk = 10240;
inline constexpr uint32_t kChunkLineTableBytes = 824;
inline constexpr uint32_t kMaxParamChunk = 428 + kMaxCalibrationChunk + kChunkLineTableBytes;
inline constexpr uint32_t kSettingsBytes = 16;

struct SeqHeader {
    uint32_t layout = 0;
    uint32_t interval = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

struct ChunkHeader {
    uint32_t magic = 0;
    int32_t time = 0;
    uint32_t previousSize = 0;
    uint32_t type = 0;
    uint32_t size = 0;

    bool hasMagic() const { return magic == kChunkMagic; }
};

// 20 bytes in layouts 1 and 3, 28 in layout 2.
inline int64_t chunkHeaderSize(uint32_t layout) { return layout == 2 ? 28 : 20; }

// Reads the 16-byte header at offset; false when the file is too short.
bool readSeqHeader(std::FILE* f, int64_t offset, SeqHeader& out);
// Decodes a chunk header from bytes (chunkHeaderSize(layout) of them).
ChunkHeader decodeChunkHeader(const uint8_t* bytes, uint32_t layout);

// A position in an open file, moved only through these calls and kept
// within the file's length as it was at open: sizes from the file are
// checked against the bytes left before anything is read or skipped.
class FileCursor {
public:
    FileCursor(std::FILE* f, int64_t end);  // at the stream's current position
    std::FILE* file() const { return f_; }
    int64_t pos() const { return pos_; }
    int64_t end() const { return end_; }
    bool fits(uint64_t n) const { return pos_ >= 0 && pos_ <= end_ && n <= uint64_t(end_ - pos_); }
    bool seek(int64_t at);
    bool skip(uint64_t n);
    bool read(void* dest, size_t n);
    bool header(uint32_t layout, ChunkHeader& out);

private:
    std::FILE* f_;
    int64_t end_;
    int64_t pos_;
};

// Where the infrared data of a JPEG container begins: the first "VN410K" at
// an offset below length - 7. found is false without one; sequence is true
// when the tag reads "VN410KV", the sequence then beginning 8 bytes later.
struct ContainerPayload {
    bool found = false;
    bool sequence = false;
    int64_t offset = 0;
};
ContainerPayload findContainerPayload(std::FILE* f, int64_t length);

}  // namespace thermcore
