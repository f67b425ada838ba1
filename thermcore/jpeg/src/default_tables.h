// The default tables of ITU-T T.81 Annex K.
#ifndef THERMJPEG_DEFAULT_TABLES_H
#define THERMJPEG_DEFAULT_TABLES_H

#include <cstdint>

namespace thermjpeg {

// Tables K.1 (luminance) and K.2 (chrominance), in zig-zag order.
extern const uint8_t kLuminanceQuant[64];
extern const uint8_t kChrominanceQuant[64];

// Tables K.3 to K.6: BITS (16 counts) and HUFFVAL.
extern const uint8_t kDcLuminanceBits[16];
extern const uint8_t kDcLuminanceValues[12];
extern const uint8_t kDcChrominanceBits[16];
extern const uint8_t kDcChrominanceValues[12];
extern const uint8_t kAcLuminanceBits[16];
extern const uint8_t kAcLuminanceValues[162];
extern const uint8_t kAcChrominanceBits[16];
extern const uint8_t kAcChrominanceValues[162];

} // namespace thermjpeg

#endif
