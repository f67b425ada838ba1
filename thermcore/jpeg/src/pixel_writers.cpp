#include "pixel_writers.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "codec_state.h"
#include "region_clip.h"
#include "vector_lanes.h"

namespace thermjpeg {
namespace {

enum Layout {
    kRgb,     // R, G, B
    kBgr,     // B, G, R
    kRgba,    // R, G, B, 255
    kInvRgbK, // 255 - R, 255 - G, 255 - B, fourth component
    kYcc,     // c0, c1, c2
    kYccFill, // c0, c1, c2, 255
    kFour,    // c0, c1, c2, c3
    kYcbycr,  // packed pairs Y0, Cb, Y1, Cr
    kGray     // clamp(c0)
};

constexpr int BytesPerPixel(int layout)
{
    switch (layout) {
    case kRgb:
    case kBgr:
    case kYcc:
        return 3;
    case kYcbycr:
        return 2;
    case kGray:
        return 1;
    default:
        return 4;
    }
}

constexpr bool Converts(int layout) { return layout == kRgb || layout == kBgr || layout == kRgba || layout == kInvRgbK; }

inline uint8_t Clamp(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

struct ChromaTerms {
    int r = 0, g = 0, b = 0;
};

inline ChromaTerms Terms(int cb, int cr)
{
    return {(cr * 359 - 45813) >> 8, (cb * 88 + cr * 183 - 34806) >> 8, (cb * 454 - 57937) >> 8};
}

template <int L>
inline void Put(uint8_t* d, int x, int y, int cb, int cr, int k, const ChromaTerms& t)
{
    if constexpr (Converts(L)) {
        const uint8_t r = Clamp(y + t.r), g = Clamp(y - t.g), b = Clamp(y + t.b);
        if constexpr (L == kBgr) {
            d[0] = b, d[1] = g, d[2] = r;
        } else if constexpr (L == kInvRgbK) {
            d[0] = static_cast<uint8_t>(255 - r), d[1] = static_cast<uint8_t>(255 - g);
            d[2] = static_cast<uint8_t>(255 - b), d[3] = static_cast<uint8_t>(k);
        } else {
            d[0] = r, d[1] = g, d[2] = b;
            if constexpr (L == kRgba)
                d[3] = 255;
        }
    } else if constexpr (L == kGray) {
        d[0] = Clamp(y);
    } else if constexpr (L == kYcbycr) {
        d[0] = static_cast<uint8_t>(y);
        d[1] = static_cast<uint8_t>((x & 1) ? cr : cb);
    } else {
        d[0] = static_cast<uint8_t>(y), d[1] = static_cast<uint8_t>(cb), d[2] = static_cast<uint8_t>(cr);
        if constexpr (L == kYccFill)
            d[3] = 255;
        else if constexpr (L == kFour)
            d[3] = static_cast<uint8_t>(k);
    }
}

// The pixels of one MCU with luminance (and fourth component) of Hs x Vs
// blocks and 1x1 chroma, walked chroma sample by chroma sample. Full: every
// pixel; otherwise only those inside `visible`.
template <int L, int Hs, int Vs, bool Full>
void McuPixels(const int16_t* y, const int16_t* cb, const int16_t* cr, const int16_t* k, uint8_t* dest,
               ptrdiff_t stride, const Rect& visible)
{
    constexpr int bpp = BytesPerPixel(L);
    for (int cy = 0; cy < 8; ++cy) {
        for (int cx = 0; cx < 8; ++cx) {
            const int chroma = cy * 8 + cx;
            const int cbv = cb ? cb[chroma] : 0;
            const int crv = cr ? cr[chroma] : 0;
            ChromaTerms t;
            if constexpr (Converts(L))
                t = Terms(cbv, crv);
            for (int dy = 0; dy < Vs; ++dy) {
                const int py = cy * Vs + dy;
                if (!Full && (py < visible.top || py >= visible.bottom))
                    continue;
                for (int dx = 0; dx < Hs; ++dx) {
                    const int px = cx * Hs + dx;
                    if (!Full && (px < visible.left || px >= visible.right))
                        continue;
                    const int sample = ((py >> 3) * Hs + (px >> 3)) * 64 + (py & 7) * 8 + (px & 7);
                    const int kv = k ? k[sample] : 0;
                    Put<L>(dest + py * stride + px * bpp, px, y[sample], cbv, crv, kv, t);
                }
            }
        }
    }
}

inline I16x8 Clamp255(I16x8 v)
{
    const I16x8 zero = {}, top = zero + 255;
    v = v < zero ? zero : v;
    return v > top ? top : v;
}

// Stores eight converted pixels, two bytes of each in `low` (first byte in
// bits 0..7) and two in `high`. Three-byte layouts drop each pixel's fourth
// byte: the pixels go out two at a time as overlapping eight-byte stores,
// each pair's last two bytes rewritten by the next pair; with `last` the
// final pair stores its six bytes alone, so nothing past the row is touched.
template <int L>
inline void StoreEight(uint8_t* d, U16x8 low, U16x8 high, bool last)
{
    const U32x4 w0 = reinterpret_cast<U32x4>(InterleaveLow(reinterpret_cast<I16x8>(low), reinterpret_cast<I16x8>(high)));
    const U32x4 w1 = reinterpret_cast<U32x4>(InterleaveHigh(reinterpret_cast<I16x8>(low), reinterpret_cast<I16x8>(high)));
    if constexpr (BytesPerPixel(L) == 4) {
        std::memcpy(d, &w0, 16);
        std::memcpy(d + 16, &w1, 16);
    } else {
        // Each 64-bit lane: pixel a in bytes 0..2, pixel b in bytes 3..5.
        const U64x2 lowMask = {0xFFFFFF, 0xFFFFFF}, highMask = lowMask << 24;
        const U64x2 q0 = reinterpret_cast<U64x2>(w0), q1 = reinterpret_cast<U64x2>(w1);
        const U64x2 p0 = (q0 & lowMask) | ((q0 >> 8) & highMask);
        const U64x2 p1 = (q1 & lowMask) | ((q1 >> 8) & highMask);
        const uint64_t pairs[4] = {p0[0], p0[1], p1[0], p1[1]};
        std::memcpy(d, &pairs[0], 8);
        std::memcpy(d + 6, &pairs[1], 8);
        std::memcpy(d + 12, &pairs[2], 8);
        if (last) {
            std::memcpy(d + 18, &pairs[3], 6);
        } else {
            std::memcpy(d + 18, &pairs[3], 8);
        }
    }
}

// Converts and stores eight pixels of luminance `ys` (0..255) with the
// chroma terms of each pixel.
template <int L>
inline void ConvertEight(uint8_t* d, I16x8 ys, I16x8 tr, I16x8 tg, I16x8 tb, I16x8 ks, bool last)
{
    const U16x8 r = reinterpret_cast<U16x8>(Clamp255(ys + tr));
    const U16x8 g = reinterpret_cast<U16x8>(Clamp255(ys + tg));
    const U16x8 b = reinterpret_cast<U16x8>(Clamp255(ys + tb));
    const U16x8 full = U16x8{} + 255;
    if constexpr (L == kBgr)
        StoreEight<L>(d, b | g << 8, r, last);
    else if constexpr (L == kRgb)
        StoreEight<L>(d, r | g << 8, b, last);
    else if constexpr (L == kRgba)
        StoreEight<L>(d, r | g << 8, b | full << 8, last);
    else
        StoreEight<L>(d, (full - r) | (full - g) << 8, (full - b) | (reinterpret_cast<U16x8>(ks) & full) << 8, last);
}

// The whole MCU, row by row, eight pixels at a time. Converting layouts
// compute the chroma terms of the MCU's 64 chroma samples once and widen
// each chroma row to the luminance row's width (the samples are 0..255, as
// the inverse transforms leave them).
template <int L, int Hs, int Vs>
void WholeMcu(const int16_t* y, const int16_t* cb, const int16_t* cr, const int16_t* k, uint8_t* dest,
              ptrdiff_t stride)
{
    if constexpr (Converts(L) && std::endian::native == std::endian::little) {
        alignas(16) int16_t tr[64], tg[64], tb[64];
        for (int i = 0; i < 64; ++i) {
            const int cbv = cb[i] & 0xFF, crv = cr[i] & 0xFF;
            tr[i] = static_cast<int16_t>((crv * 359 - 45813) >> 8);
            tg[i] = static_cast<int16_t>(-((cbv * 88 + crv * 183 - 34806) >> 8));
            tb[i] = static_cast<int16_t>((cbv * 454 - 57937) >> 8);
        }
        const I16x8 low = I16x8{} + 0xFF;
        for (int cy = 0; cy < 8; ++cy) {
            I16x8 t[3][Hs];
            const int16_t* const rows[3] = {tr + cy * 8, tg + cy * 8, tb + cy * 8};
            for (int c = 0; c < 3; ++c) {
                const I16x8 v = LoadLanes(rows[c]);
                if constexpr (Hs == 1) {
                    t[c][0] = v;
                } else {
                    t[c][0] = __builtin_shufflevector(v, v, 0, 0, 1, 1, 2, 2, 3, 3);
                    t[c][1] = __builtin_shufflevector(v, v, 4, 4, 5, 5, 6, 6, 7, 7);
                }
            }
            for (int dy = 0; dy < Vs; ++dy) {
                const int py = cy * Vs + dy;
                uint8_t* d = dest + py * stride;
                for (int bx = 0; bx < Hs; ++bx) {
                    const int at = ((py >> 3) * Hs + bx) * 64 + (py & 7) * 8;
                    const I16x8 ys = LoadLanes(y + at) & low;
                    const I16x8 ks = L == kInvRgbK ? LoadLanes(k + at) : I16x8{};
                    ConvertEight<L>(d + bx * 8 * BytesPerPixel(L), ys, t[0][bx], t[1][bx], t[2][bx], ks, bx == Hs - 1);
                }
            }
        }
    } else {
        McuPixels<L, Hs, Vs, true>(y, cb, cr, k, dest, stride, Rect{});
    }
}

// Sample blocks of a fixed layout in the MCU buffer.
template <int L, int Hs, int Vs>
struct Blocks {
    const int16_t *y, *cb, *cr, *k;
    explicit Blocks(const int16_t* mcu)
    {
        constexpr int luma = Hs * Vs;
        y = mcu;
        if constexpr (L == kGray) {
            cb = cr = k = nullptr;
        } else {
            cb = mcu + luma * 64;
            cr = mcu + (luma + 1) * 64;
            k = (L == kInvRgbK || L == kFour) ? mcu + (luma + 2) * 64 : nullptr;
        }
    }
};

// The common frame of the fixed-layout writers: clip, then the whole-MCU
// kernel or the edge form.
template <int L, int Hs, int Vs, PixelKernel KernelTable::*Entry>
int FixedWriter(CodecState& s, int column, int row)
{
    const DecoderState& d = s.dec;
    constexpr int width = 8 * Hs, height = 8 * Vs;
    uint8_t* dest = nullptr;
    Rect visible;
    if (int rc = JpegClipMcu(d.region, width, height, column, row, d.outBytes, d.outStride, d.outBase, d.clipWidth,
                             d.clipHeight, &dest, &visible))
        return rc;
    const Blocks<L, Hs, Vs> b(d.mcuSamples);
    if (visible.left == 0 && visible.top == 0 && visible.right == width && visible.bottom == height) {
        (s.kernels.*Entry)(b.y, b.cb, b.cr, b.k, dest, d.outStride);
        return 0;
    }
    if (visible.right <= visible.left || visible.bottom <= visible.top)
        return 0;
    McuPixels<L, Hs, Vs, false>(b.y, b.cb, b.cr, b.k, dest, d.outStride, visible);
    return 0;
}

} // namespace

void JpegFillPixelKernels(KernelTable& t)
{
    t.pixelsGray = WholeMcu<kGray, 1, 1>;
    t.pixelsRgb = WholeMcu<kRgb, 1, 1>;
    t.pixelsRgbH2V1 = WholeMcu<kRgb, 2, 1>;
    t.pixelsRgbH2V2 = WholeMcu<kRgb, 2, 2>;
    t.pixelsBgr = WholeMcu<kBgr, 1, 1>;
    t.pixelsBgrH2V1 = WholeMcu<kBgr, 2, 1>;
    t.pixelsBgrH2V2 = WholeMcu<kBgr, 2, 2>;
    t.pixelsRgba = WholeMcu<kRgba, 1, 1>;
    t.pixelsRgbaH2V1 = WholeMcu<kRgba, 2, 1>;
    t.pixelsRgbaH2V2 = WholeMcu<kRgba, 2, 2>;
    t.pixelsYcc = WholeMcu<kYcc, 1, 1>;
    t.pixelsYccH2V1 = WholeMcu<kYcc, 2, 1>;
    t.pixelsYccH2V2 = WholeMcu<kYcc, 2, 2>;
    t.pixelsYccFill = WholeMcu<kYccFill, 1, 1>;
    t.pixelsYcbycr = WholeMcu<kYcbycr, 2, 1>;
    t.pixelsInvRgbA = WholeMcu<kInvRgbK, 1, 1>;
    t.pixelsInvRgbAH2V1 = WholeMcu<kInvRgbK, 2, 1>;
    t.pixelsInvRgbAH2V2 = WholeMcu<kInvRgbK, 2, 2>;
    t.pixels4 = WholeMcu<kFour, 1, 1>;
}

int JpegWriteMcuGray(CodecState& s, int column, int row)
{
    return FixedWriter<kGray, 1, 1, &KernelTable::pixelsGray>(s, column, row);
}

McuWriter JpegFixedLayoutWriter(int configuration)
{
    switch (configuration) {
    case 1: return FixedWriter<kRgb, 1, 1, &KernelTable::pixelsRgb>;
    case 2: return FixedWriter<kBgr, 1, 1, &KernelTable::pixelsBgr>;
    case 3: return FixedWriter<kRgb, 2, 2, &KernelTable::pixelsRgbH2V2>;
    case 4: return FixedWriter<kBgr, 2, 2, &KernelTable::pixelsBgrH2V2>;
    case 5: return FixedWriter<kRgb, 2, 1, &KernelTable::pixelsRgbH2V1>;
    case 6: return FixedWriter<kBgr, 2, 1, &KernelTable::pixelsBgrH2V1>;
    case 7: return FixedWriter<kRgba, 1, 1, &KernelTable::pixelsRgba>;
    case 8: return FixedWriter<kRgba, 2, 2, &KernelTable::pixelsRgbaH2V2>;
    case 9: return FixedWriter<kRgba, 2, 1, &KernelTable::pixelsRgbaH2V1>;
    case 10: return FixedWriter<kInvRgbK, 1, 1, &KernelTable::pixelsInvRgbA>;
    case 11: return FixedWriter<kInvRgbK, 2, 2, &KernelTable::pixelsInvRgbAH2V2>;
    case 12: return FixedWriter<kInvRgbK, 2, 1, &KernelTable::pixelsInvRgbAH2V1>;
    case 13: return FixedWriter<kYccFill, 1, 1, &KernelTable::pixelsYccFill>;
    case 14: return FixedWriter<kFour, 1, 1, &KernelTable::pixels4>;
    case 15: return FixedWriter<kYcc, 1, 1, &KernelTable::pixelsYcc>;
    case 16: return FixedWriter<kYcc, 2, 2, &KernelTable::pixelsYccH2V2>;
    case 17: return FixedWriter<kYcc, 2, 1, &KernelTable::pixelsYccH2V1>;
    case 19: return FixedWriter<kYcbycr, 2, 1, &KernelTable::pixelsYcbycr>;
    default: return nullptr;
    }
}

} // namespace thermjpeg
