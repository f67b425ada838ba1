// Colour ruler order, isotherms and the device strings of the block.
#include <algorithm>
#include <cstring>

#include "api_frame.h"
#include "colour_ruler.h"

using namespace thermcore;

namespace {

// Clears the caller's buffer of `size` bytes and copies the string up to its
// terminating zero, at most `size` bytes.
void copyDeviceString(char* out, const char* field, size_t fieldSize, size_t size) {
    if (out == nullptr) return;
    std::memset(out, 0, size);
    const size_t n = std::min(strnlen(field, fieldSize), size);
    std::memcpy(out, field, n);
}

}  // namespace

extern "C" {

void IFR_SetIRInvert(IfrHandle h, int invert) {
    withObject(h, [invert](IfrObject& o) { setRulerInvert(o, invert); });
}

int IFR_SetIsothermTemp(IfrHandle h, int on, float low, float high, int colour, int index) {
    return withObject(h, -1, [&](IfrObject& o) { return setIsotherm(o, on, low, high, colour, index); });
}

// Images of measurement scheme 1 (two blocks) answer from the second block,
// with the range as two 16-bit values; the others from the first, with the
// range as two 32-bit values and the byte at 424.
void IFR_GetDeviceDate(IfrHandle h, char* model, char* firmware, char* serial, char* dateTime,
                       char* deviceByte, int* rangeLow, int* rangeHigh, char* lastByte) {
    withObject(h, [&](IfrObject& o) {
        const bool dual = o.scheme == 1;
        const IfrParamBlock& b = dual ? o.secondBlock : o.block;
        copyDeviceString(model, b.deviceModel, sizeof b.deviceModel, 8);
        copyDeviceString(firmware, b.firmware, sizeof b.firmware, 16);
        copyDeviceString(serial, b.serial, sizeof b.serial, 16);
        copyDeviceString(dateTime, b.dateTime, sizeof b.dateTime, 32);
        if (deviceByte != nullptr) *deviceByte = static_cast<char>(b.deviceByte);
        const auto word = static_cast<uint32_t>(b.rangeLow100);
        if (dual) {
            if (rangeLow != nullptr) *rangeLow = static_cast<int16_t>(word & 0xFFFFu);
            if (rangeHigh != nullptr) *rangeHigh = static_cast<int16_t>(word >> 16);
            return;
        }
        if (rangeLow != nullptr) *rangeLow = b.rangeLow100;
        if (rangeHigh != nullptr) *rangeHigh = static_cast<int32_t>(b.rangeHigh100);
        if (lastByte != nullptr) *lastByte = static_cast<char>(b.byte424);
    });
}

}  // extern "C"
