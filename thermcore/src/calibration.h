// The blocks that follow the line table of "VN410K8/9/10" images: the
// calibration block (radiometric parameters of the camera) and the display
// block (automatic-gain state and display range at the time of the shot).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "radiomath.h"

namespace thermcore {

inline constexpr uint32_t kCalibrationTag = 0xFD5050FD;
inline constexpr uint32_t kDisplayTag = 0xFD5151FD;
inline constexpr size_t kCalibrationHeaderSize = 8;  // tag, length
inline constexpr size_t kDisplayBlockSize = 21;

static_assert(sizeof(MT_Para) == MT_PARA_SIZE, "the radiometric block is 839 words");

// A calibration payload as held by an image object. The stored bytes are
// copied into a zero-filled working block (older cameras wrote shorter
// blocks); the stored length is kept, and so are any bytes beyond the
// working block, so that writing back gives the stored layout again.
struct CalibrationPayload {
    MT_Para para{};
    uint32_t storedLength = 0;
    std::vector<uint8_t> beyond;

    static CalibrationPayload fromBytes(std::span<const uint8_t> stored);
    // The first min(storedLength, 3356) bytes of the working block (scene
    // values stored by conversions included), then the bytes beyond it.
    void appendStored(std::vector<uint8_t>& out) const;
};

struct DisplayBlock {
    uint8_t agcState = 0;
    int32_t upper100 = 0;
    int32_t lower100 = 0;
};

// A display block from 21 bytes; empty when its tag is not there.
std::optional<DisplayBlock> decodeDisplayBlock(std::span<const uint8_t, kDisplayBlockSize> bytes);

}  // namespace thermcore
