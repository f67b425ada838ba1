// Short fixed-width vectors for the generic kernels: eight 16-bit lanes and
// their 32- and 64-bit views, written with the compiler's vector types so
// that they map onto the processor's vector registers where it has them
// and onto plain integers otherwise. Lane 0 lies at the lowest address.
#ifndef THERMJPEG_VECTOR_LANES_H
#define THERMJPEG_VECTOR_LANES_H

#include <cstdint>
#include <cstring>

namespace thermjpeg {

using I16x8 = int16_t __attribute__((vector_size(16)));
using U16x8 = uint16_t __attribute__((vector_size(16)));
using I32x4 = int32_t __attribute__((vector_size(16)));
using U32x4 = uint32_t __attribute__((vector_size(16)));
using U64x2 = uint64_t __attribute__((vector_size(16)));

inline I16x8 LoadLanes(const int16_t* p)
{
    I16x8 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void StoreLanes(int16_t* p, I16x8 v) { std::memcpy(p, &v, sizeof v); }

// The lanes of a and b taken alternately, from the low or the high half.
inline I16x8 InterleaveLow(I16x8 a, I16x8 b) { return __builtin_shufflevector(a, b, 0, 8, 1, 9, 2, 10, 3, 11); }
inline I16x8 InterleaveHigh(I16x8 a, I16x8 b) { return __builtin_shufflevector(a, b, 4, 12, 5, 13, 6, 14, 7, 15); }

// Transposes an 8 x 8 block of 16-bit values (rows of eight, row-major):
// out[c * 8 + r] = in[r * 8 + c].
inline void Transpose8x8(const int16_t* in, int16_t* out)
{
    I16x8 a[8];
    for (int i = 0; i < 8; i += 2) {
        const I16x8 r0 = LoadLanes(in + i * 8), r1 = LoadLanes(in + i * 8 + 8);
        a[i] = InterleaveLow(r0, r1);      // columns 0..3 of rows i, i + 1
        a[i + 1] = InterleaveHigh(r0, r1); // columns 4..7
    }
    I32x4 b[8];
    for (int i = 0; i < 8; i += 4) {
        for (int h = 0; h < 2; ++h) {
            const I32x4 p = reinterpret_cast<I32x4>(a[i + h]), q = reinterpret_cast<I32x4>(a[i + 2 + h]);
            b[i + 2 * h] = __builtin_shufflevector(p, q, 0, 4, 1, 5);     // two columns of four rows
            b[i + 2 * h + 1] = __builtin_shufflevector(p, q, 2, 6, 3, 7); // the next two
        }
    }
    for (int j = 0; j < 4; ++j) {
        const U64x2 p = reinterpret_cast<U64x2>(b[j]), q = reinterpret_cast<U64x2>(b[j + 4]);
        StoreLanes(out + 2 * j * 8, reinterpret_cast<I16x8>(__builtin_shufflevector(p, q, 0, 2)));
        StoreLanes(out + (2 * j + 1) * 8, reinterpret_cast<I16x8>(__builtin_shufflevector(p, q, 1, 3)));
    }
}

} // namespace thermjpeg

#endif
