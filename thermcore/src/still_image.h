// Still images (.VNI) and parameter blocks: reading into an object, the
// stream readers, the fixed-size loader and the writer.
//
// Layout, all little-endian, with G, P, S, L the gray, photo, sound and line
// table sizes of the block and E = 428 + G + P + S + L:
//
//   0        parameter block (428 bytes)
//   428      gray frame (width * height u16)
//   428+G    photo (P bytes)
//   +P       sound (S bytes)
//   +S       gray-to-temperature line table (L bytes)
//   E        "VN410K8/9/10": u32 0xFD5050FD, u32 N, N bytes of calibration,
//            then optionally the 21-byte display block (u32 0xFD5151FD, ...)
//   E        "VN410K11": the plane-model table (up to 112 bytes)
//
// What a file must hold, and what is tolerated:
//  - Fatal: fewer than 428 bytes; a model that does not begin "VN410K"
//    (case matters); width or height 0 or above 8192; a gray frame of
//    width * height * 2 bytes that does not fit; "VN410K3" whose length is
//    not exactly E; "VN410K8/9/10" without the calibration tag at E;
//    "VN410K8/9/10/11" without 8 bytes at E.
//  - Tolerated, the part counts as absent: a photo, sound or line table that
//    does not fit (its size is then written as 0 by a save); a calibration
//    payload that does not fit (conversions use the line-table model); a
//    display block that is incomplete or lacks its tag. A plane table shorter
//    than 112 bytes is zero-filled; bytes beyond 112 are ignored.
// Sizes are checked against the bytes present in 64-bit arithmetic.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "ifr_object.h"

namespace thermcore {

enum class DistanceScale { Metres, Hundredths };

// Measurement state from a block (ambient, emissivity, humidity,
// corrections, distance); with keepFactor the own model's atmospheric factor
// is computed and kept.
void applyBlockParameters(IfrObject& obj, const IfrParamBlock& block, DistanceScale scale,
                          bool keepFactor);

// Reads the still image at the object's start offset from its open file;
// the object keeps the bytes as its copy of the file. 0 or -1.
int readStillImage(IfrObject& obj);
// The same on bytes already read (the infrared data from the start offset).
int parseStillImage(IfrObject& obj, std::vector<uint8_t> data);

// IFR_LoadInfraredParamFromStream on data.size() bytes: 0 or -1.
int applyStreamBlock(IfrObject& obj, std::span<const uint8_t> data);
// IFR_LoadInfraredParamFromVNVStream on data.size() bytes: 0, -1 or -2.
int applyVnvStreamBlock(IfrObject& obj, std::span<const uint8_t> data);
// IFR_LoadInfraredFile: 0 or -1.
int loadFixedSizeFile(IfrObject& obj, const char* path);

// IFR_MemSaveToVNI: the file's bytes as a save would write them.
std::vector<uint8_t> encodeStillImage(const IfrObject& obj);
// Writes them to path through a temporary file in the same folder; 0 or -1.
int saveStillImage(const IfrObject& obj, const char* path);

}  // namespace thermcore
