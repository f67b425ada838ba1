// A vector the compiler treats as unknown, for multiplier constants: with a
// known constant it may replace one 16-bit multiply by a longer run of
// shifts and adds (x86-64 only).
#ifndef THERMJPEG_SIMD_OPAQUE_H
#define THERMJPEG_SIMD_OPAQUE_H

#if defined(__x86_64__)

#include <emmintrin.h>

namespace thermjpeg {

inline __m128i JpegOpaque(__m128i v)
{
    asm("" : "+x"(v));
    return v;
}

} // namespace thermjpeg

#endif

#endif
