// The 428-byte parameter block: decoding, encoding, the default block and the
// camera-model table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "thermcore.h"

namespace thermcore {

inline constexpr size_t kParamBlockSize = IFR_PARAM_BLOCK_SIZE;

// Decodes 428 bytes field by field. Every byte is kept, so
// encodeParamBlock(decodeParamBlock(b)) gives b back.
IfrParamBlock decodeParamBlock(std::span<const uint8_t, kParamBlockSize> bytes);
void encodeParamBlock(const IfrParamBlock& block, std::span<uint8_t, kParamBlockSize> out);

// The block a new object holds until a file is read ("VN410K4", 320 x 240).
IfrParamBlock defaultParamBlock();

// A block is accepted only when its model begins with the bytes "VN410K"
// (upper case, byte for byte).
bool hasCameraPrefix(const IfrParamBlock& block);

// True when the model's first strlen(prefix) bytes equal prefix exactly.
bool modelStartsWith(const IfrParamBlock& block, const char* prefix);

// Model version and measurement scheme of a block that passed the prefix
// check: case-insensitive prefixes, first match wins.
struct ModelInfo {
    int32_t version;
    int32_t scheme;
};
ModelInfo lookupModel(const IfrParamBlock& block);

// How the still-image reader treats a model (byte-exact comparison).
enum class StillLayout {
    Dual,         // "VN410K3": exact file length, second block
    Radiometric,  // "VN410K8", "VN410K9", "VN410K10": calibration block after the line table
    Plane,        // "VN410K11": plane-model table after the line table
    Plain,        // every other camera: line table only
};
StillLayout stillLayoutOf(const IfrParamBlock& block);

// "VN410K8" keeps whole metres in the distance field where the other
// radiometric and plane models keep hundredths.
bool isK8(const IfrParamBlock& block);

}  // namespace thermcore
