// Extracts of an image object as ordinary files or memory images: the voice
// note as WAV, the photo, the remark as GBK text, the false-colour image as
// BMP, packed DIB, raw pixels or JPEG; and the converters of a camera file
// straight to JPEG or BMP.
//
// Still images take their parts from the object's copy of the file. A
// sequence's parts are the data of its chunks (3 sound, 4 photo, 7 remark),
// found by one walk over the open file that reads by offset: the file's
// position, the frame being played and the frame count are left alone, so
// stepping and IFR_GotoTime work as before. A layout-0 sequence has no
// chunks. While a sequence's frame index is still being built, the
// existence queries answer 0 and the extracts refuse (-1).
//
// Every file is written beside its target and renamed over it once complete;
// a refused or failed extract leaves an existing target as it was.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <vector>

#include "ifr_object.h"

namespace thermcore {

// --- extract_chunks.cpp: the chunks of a sequence, by type.
struct ChunkSpan {
    int64_t offset = 0;  // of the data in the file
    uint32_t size = 0;   // bytes of data present (a chunk cut by the end of the file is cut here too)
    uint32_t type = 0;
};
// Chunks of the given types with the chunk magic, in file order; empty for a
// layout-0 sequence or without an open file.
std::vector<ChunkSpan> sequenceChunks(const IfrObject& obj, std::span<const uint32_t> types);
inline std::vector<ChunkSpan> sequenceChunks(const IfrObject& obj, uint32_t type) {
    return sequenceChunks(obj, std::span<const uint32_t>(&type, 1));
}
// Reads n bytes at offset from the object's open file without moving its
// position; false on a short read.
bool readFileAt(const IfrObject& obj, int64_t offset, void* dest, size_t n);
// Hands the data of the chunks to take in file order, in blocks of at most
// 64 KiB; false when a read fails or take returns false.
using BlockSink = std::function<bool(std::span<const uint8_t>)>;
bool readChunks(const IfrObject& obj, std::span<const ChunkSpan> chunks, const BlockSink& take);
// Total bytes of the chunks.
uint64_t chunkBytes(std::span<const ChunkSpan> chunks);

// The object answers for a sequence (kind 1, or a container holding one).
bool extractsFromSequence(const IfrObject& obj);
// The file is open and, for a sequence, its index built. Without an open
// file (a live-data object, a closed one) there is nothing to extract.
bool extractsReady(const IfrObject& obj);

// --- extract_sound.cpp
int existSound(const IfrObject& obj);
int writeSoundFile(IfrObject& obj, const char* path);

// --- extract_photo.cpp
int existPhoto(const IfrObject& obj);
int writePhotoFile(IfrObject& obj, const char* path, int* kind);
int photoToDib(const IfrObject& obj, uint8_t* buffer, int* size);

// --- extract_remark.cpp
int existRemark(const IfrObject& obj);
int writeRemarkFile(IfrObject& obj, const char* path);

// --- dib_output.cpp
// The false-colour image as a BMP file image: repairs the frame's borders,
// renders it and writes ThermcoreDibFileSize(width, height) bytes. 0 or -1.
int renderDib(IfrObject& obj, uint8_t* buffer, int* size);
// The current colour image (not rendered again) as a BMP file; 0 or -1.
int saveColourBmp(IfrObject& obj, const char* path);
// The first length bytes of the colour image's 32-bit pixels; 0 or -1.
int copyColourPixels(IfrObject& obj, void* buffer, int length);

// --- jpeg_save.cpp
// The current colour image through the JPEG codec (B, G, R at quality
// 1..100, anything else 80); the codec's result, or -1.
int saveColourJpeg(IfrObject& obj, const char* path, int quality);

// --- file_convert.cpp: the frame the converters render.
struct CameraFrame {
    int result = 0;      // 0 found; -1 no payload or frame; -2 a damaged file
    int64_t offset = 0;  // of the gray frame in the file
    int32_t width = 0;
    int32_t height = 0;
};
// Finds the first frame of a camera file of the given kind (0 still image,
// 1 sequence, 2 JPEG container) in the open file.
CameraFrame locateCameraFrame(std::FILE* f, int kind);
// Reads that frame into the object's gray buffer (sized to the frame); 0 or -2.
int readCameraFrame(std::FILE* f, const CameraFrame& frame, IfrObject& obj);

}  // namespace thermcore
