#include "quantize.h"

#include "zigzag.h"

namespace thermjpeg {
namespace {

// 32768 / (8 s(u) s(v)) in zig-zag order, s(0) = 1, s(k) = sqrt(2) cos(k pi / 16).
constexpr uint16_t kFastScale[64] = {
    4096,  2953,  2953,  3134,  2129,  3134,  3483,  2260,
    2260,  3483,  4096,  2511,  2399,  2511,  4096,  5213,
    2953,  2666,  2666,  2953,  5213,  7568,  3758,  3134,
    2962,  3134,  3758,  7568,  14846, 5456,  3990,  3483,
    3483,  3990,  5456,  14846, 10703, 5792,  4433,  4096,
    4433,  5792,  10703, 11362, 6436,  5213,  5213,  6436,
    11362, 12625, 7568,  6635,  7568,  12625, 14846, 9632,
    9632,  14846, 18895, 13984, 18895, 27432, 27432, 53810,
};

} // namespace

void JpegQuantize(int16_t* block, const uint16_t* multipliers)
{
    for (int i = 0; i < 64; ++i) {
        const int32_t m = static_cast<int16_t>(multipliers[i]);
        block[i] = static_cast<int16_t>((block[i] * m + 16384) >> 15);
    }
}

void JpegQuantizeUnsigned(int16_t* block, const uint16_t* multipliers)
{
    for (int i = 0; i < 64; ++i) {
        const int32_t m = multipliers[i];
        block[i] = static_cast<int16_t>((static_cast<int64_t>(block[i]) * m + 16384) >> 15);
    }
}

void JpegMakeReciprocalTable(const uint16_t* zigzagValues, uint16_t* naturalMultipliers)
{
    uint16_t result[64];
    for (int k = 0; k < 64; ++k) {
        const uint32_t q = zigzagValues[k] ? zigzagValues[k] : 1;
        result[kZigzag[k]] = static_cast<uint16_t>(32768u / q);
    }
    for (int i = 0; i < 64; ++i)
        naturalMultipliers[i] = result[i];
}

void JpegPrepareQuantFast(uint16_t* zigzagValues, uint16_t* naturalMultipliers)
{
    if (zigzagValues[63] < 2)
        zigzagValues[63] = 2;
    uint16_t result[64];
    for (int k = 0; k < 64; ++k) {
        const uint32_t q = zigzagValues[k] ? zigzagValues[k] : 1;
        result[kZigzag[k]] = static_cast<uint16_t>(((q >> 1) + kFastScale[k]) / q);
    }
    for (int i = 0; i < 64; ++i)
        naturalMultipliers[i] = result[i];
}

} // namespace thermjpeg
