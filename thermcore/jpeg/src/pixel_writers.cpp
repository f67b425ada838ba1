#include "pixel_writers.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "codec_state.h"
#include "region_clip.h"

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

// Clamp to 0..255 by lookup for a sample 0..255 plus a chroma term (whose
// magnitude stays below 256): kRange[256 + v].
struct RangeTable {
    uint8_t values[768];
    constexpr RangeTable() : values()
    {
        for (int i = 0; i < 768; ++i)
            values[i] = static_cast<uint8_t>(i < 256 ? 0 : i > 511 ? 255 : i - 256);
    }
};
constexpr RangeTable kRange;

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

// A sample plus a chroma term (-256..511) clamped to 0..255, in 16 bits.
inline uint8_t Clamp8(int16_t v)
{
    const int16_t low = v < 0 ? int16_t{0} : v;
    return static_cast<uint8_t>(low > 255 ? int16_t{255} : low);
}

// One converted pixel as the bytes it stores, first byte lowest.
template <int L>
inline uint32_t PixelWord(uint32_t r, uint32_t g, uint32_t b, uint32_t k)
{
    if constexpr (L == kBgr)
        return b | g << 8 | r << 16;
    else if constexpr (L == kRgb)
        return r | g << 8 | b << 16;
    else if constexpr (L == kRgba)
        return r | g << 8 | b << 16 | 0xFF000000u;
    else
        return (255 - r) | (255 - g) << 8 | (255 - b) << 16 | k << 24;
}

// Stores a row of n converted pixels. Three-byte pixels go out as
// overlapping four-byte stores, each one's fourth byte rewritten by the
// next; the last pixel's three bytes alone, so nothing past the row is
// touched.
template <int L, int N>
inline void StoreWords(uint8_t* d, const uint32_t* words)
{
    constexpr int bpp = BytesPerPixel(L);
    if constexpr (std::endian::native == std::endian::little) {
        if constexpr (bpp == 4) {
            std::memcpy(d, words, 4 * N);
        } else {
            for (int x = 0; x < N - 1; ++x)
                std::memcpy(d + 3 * x, words + x, 4);
            std::memcpy(d + 3 * (N - 1), words + N - 1, 3);
        }
    } else {
        for (int x = 0; x < N; ++x) {
            for (int i = 0; i < bpp; ++i)
                d[bpp * x + i] = static_cast<uint8_t>(words[x] >> (8 * i));
        }
    }
}

// The whole MCU, row by row. Converting layouts compute the chroma terms
// of the MCU's 64 chroma samples once, widen each chroma row to the
// luminance row's width, and convert a row of pixels at a time (the
// samples are 0..255, as the inverse transforms leave them); the compiler
// runs these loops on vector lanes.
template <int L, int Hs, int Vs>
void WholeMcu(const int16_t* y, const int16_t* cb, const int16_t* cr, const int16_t* k, uint8_t* dest,
              ptrdiff_t stride)
{
    if constexpr (Converts(L)) {
        constexpr int width = 8 * Hs;
        int16_t tr[64], tg[64], tb[64];
        for (int i = 0; i < 64; ++i) {
            const int cbv = cb[i] & 0xFF, crv = cr[i] & 0xFF;
            tr[i] = static_cast<int16_t>((crv * 359 - 45813) >> 8);
            tg[i] = static_cast<int16_t>(-((cbv * 88 + crv * 183 - 34806) >> 8));
            tb[i] = static_cast<int16_t>((cbv * 454 - 57937) >> 8);
        }
        for (int cy = 0; cy < 8; ++cy) {
            int16_t rowR[width], rowG[width], rowB[width];
            for (int x = 0; x < width; ++x) {
                rowR[x] = tr[cy * 8 + x / Hs];
                rowG[x] = tg[cy * 8 + x / Hs];
                rowB[x] = tb[cy * 8 + x / Hs];
            }
            for (int dy = 0; dy < Vs; ++dy) {
                const int py = cy * Vs + dy;
                int16_t ys[width];
                uint8_t ks[width] = {};
                for (int bx = 0; bx < Hs; ++bx) {
                    const int at = ((py >> 3) * Hs + bx) * 64 + (py & 7) * 8;
                    for (int x = 0; x < 8; ++x) {
                        ys[bx * 8 + x] = static_cast<int16_t>(y[at + x] & 0xFF);
                        if constexpr (L == kInvRgbK)
                            ks[bx * 8 + x] = static_cast<uint8_t>(k[at + x]);
                    }
                }
                uint8_t r[width], g[width], b[width];
                for (int x = 0; x < width; ++x) {
                    r[x] = Clamp8(static_cast<int16_t>(ys[x] + rowR[x]));
                    g[x] = Clamp8(static_cast<int16_t>(ys[x] + rowG[x]));
                    b[x] = Clamp8(static_cast<int16_t>(ys[x] + rowB[x]));
                }
                uint32_t words[width];
#pragma GCC unroll 1
                for (int x = 0; x < width; ++x)
                    words[x] = PixelWord<L>(r[x], g[x], b[x], ks[x]);
                StoreWords<L, width>(dest + py * stride, words);
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
