#include "dequantize.h"

#include "zigzag.h"

namespace thermjpeg {
namespace {

// s(u) s(v) / 8 in zig-zag order, rounded to six decimals.
constexpr double kFastScale[64] = {
    0.125, 0.17338, 0.17338, 0.16332, 0.240485, 0.16332, 0.146984, 0.226532,
    0.226532, 0.146984, 0.125, 0.203873, 0.213388, 0.203873, 0.125, 0.098212,
    0.17338, 0.192044, 0.192044, 0.17338, 0.098212, 0.06765, 0.136224, 0.16332,
    0.172835, 0.16332, 0.136224, 0.06765, 0.034487, 0.093833, 0.12832, 0.146984,
    0.146984, 0.12832, 0.093833, 0.034487, 0.047835, 0.088388, 0.115485, 0.125,
    0.115485, 0.088388, 0.047835, 0.04506, 0.079547, 0.098212, 0.098212, 0.079547,
    0.04506, 0.040553, 0.06765, 0.077165, 0.06765, 0.040553, 0.034487, 0.053152,
    0.053152, 0.034487, 0.027097, 0.036612, 0.027097, 0.018664, 0.018664, 0.009515,
};

void ClearTail(int32_t* table)
{
    for (int i = 64; i < kDequantTableSize; ++i)
        table[i] = 0;
}

} // namespace

void JpegPrepareDequantFast(const uint16_t* zigzagValues, int32_t* table)
{
    for (int k = 0; k < 64; ++k)
        table[kZigzag[k]] = static_cast<int32_t>(zigzagValues[k] * kFastScale[k] * 0.0625 * 32768.0 + 0.5);
    ClearTail(table);
}

void JpegPrepareDequantAccurate(const uint16_t* zigzagValues, int32_t* table)
{
    for (int k = 0; k < 64; ++k)
        table[kZigzag[k]] = zigzagValues[k];
    ClearTail(table);
}

void JpegDequantizeFast(int16_t* block, const int32_t* table)
{
    for (int i = 0; i < 64; ++i)
        block[i] = static_cast<int16_t>((int64_t{block[i]} * table[i] + 64) >> 7);
}

void JpegDequantize(int16_t* block, const int32_t* table)
{
    // The product kept in 16 bits depends only on the low 16 bits of both
    // factors: a 16-bit multiply, which the compiler runs on vector lanes.
    for (int i = 0; i < 64; ++i) {
        const uint32_t product = uint32_t{static_cast<uint16_t>(block[i])} * static_cast<uint16_t>(table[i]);
        block[i] = static_cast<int16_t>(static_cast<uint16_t>(product));
    }
}

} // namespace thermjpeg
