// Generic whole-MCU converters. They run on MCUs that lie wholly inside the
// image, so they read every pixel of the MCU with no bounds tests. Blocks
// go to the MCU buffer in interleaved order: the H x V luminance blocks in
// raster order, Cb, Cr, then the fourth component's blocks.
#include "sample_converters.h"

namespace thermjpeg {
namespace {

constexpr int Log2(int n) { return n == 4 ? 2 : n == 2 ? 1 : 0; }

// Position of full-resolution sample (x, y) in an H-blocks-wide group.
template <int H>
inline int BlockIndex(int x, int y)
{
    return ((y >> 3) * H + (x >> 3)) * 64 + (y & 7) * 8 + (x & 7);
}

// RGB-like pixels: R, G, B at byte offsets RI, GI, BI of BPP-byte pixels,
// complemented when Invert; a fourth component (byte 3) when Fourth.
template <int RI, int GI, int BI, int BPP, bool Invert, bool Fourth, int H, int V>
void ConvertRgbFamily(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu)
{
    constexpr int n = H * V;
    constexpr int shift = 8 + Log2(n);
    constexpr int32_t round = 128 * n;
    int16_t* yBlocks = mcu;
    int16_t* cb = mcu + n * 64;
    int16_t* cr = cb + 64;
    int16_t* fourth = cr + 64;

    for (int cy = 0; cy < 8; ++cy) {
        int32_t sr[8] = {}, sg[8] = {}, sb[8] = {};
        for (int dy = 0; dy < V; ++dy) {
            const int y = cy * V + dy;
            const uint8_t* row = pixels + y * stride;
            for (int x = 0; x < 8 * H; ++x) {
                const uint8_t* p = row + x * BPP;
                int32_t r, g, b;
                JpegLoadRgb<RI, GI, BI, Invert>(p, r, g, b);
                yBlocks[BlockIndex<H>(x, y)] = static_cast<int16_t>(JpegLuma(r, g, b));
                if constexpr (Fourth)
                    fourth[BlockIndex<H>(x, y)] = static_cast<int16_t>(p[3] - 128);
                const int cx = x / H;
                sr[cx] += r;
                sg[cx] += g;
                sb[cx] += b;
            }
        }
        for (int cx = 0; cx < 8; ++cx) {
            cb[cy * 8 + cx] = static_cast<int16_t>((128 * sb[cx] - 43 * sr[cx] - 85 * sg[cx] + round) >> shift);
            cr[cy * 8 + cx] = static_cast<int16_t>((128 * sr[cx] - 107 * sg[cx] - 21 * sb[cx] + round) >> shift);
        }
    }
}

// Three components stored as they are; chroma averaged over its box.
template <int H, int V>
void ConvertYccFamily(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu)
{
    constexpr int n = H * V;
    int16_t* yBlocks = mcu;
    int16_t* cb = mcu + n * 64;
    int16_t* cr = cb + 64;
    for (int cy = 0; cy < 8; ++cy) {
        int32_t s1[8] = {}, s2[8] = {};
        for (int dy = 0; dy < V; ++dy) {
            const int y = cy * V + dy;
            const uint8_t* row = pixels + y * stride;
            for (int x = 0; x < 8 * H; ++x) {
                const uint8_t* p = row + x * 3;
                yBlocks[BlockIndex<H>(x, y)] = static_cast<int16_t>(p[0] - 128);
                s1[x / H] += p[1];
                s2[x / H] += p[2];
            }
        }
        for (int cx = 0; cx < 8; ++cx) {
            cb[cy * 8 + cx] = static_cast<int16_t>(((s1[cx] + n / 2) >> Log2(n)) - 128);
            cr[cy * 8 + cx] = static_cast<int16_t>(((s2[cx] + n / 2) >> Log2(n)) - 128);
        }
    }
}

// One block per channel of BPP-byte pixels, each channel minus 128.
template <int BPP>
void ConvertChannels(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu)
{
    for (int y = 0; y < 8; ++y) {
        const uint8_t* row = pixels + y * stride;
        for (int x = 0; x < 8; ++x) {
            for (int c = 0; c < BPP; ++c)
                mcu[c * 64 + y * 8 + x] = static_cast<int16_t>(row[x * BPP + c] - 128);
        }
    }
}

} // namespace

void JpegSamplesGray(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertChannels<1>(p, s, m); }
void JpegSamplesRgb(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertRgbFamily<0, 1, 2, 3, false, false, 1, 1>(p, s, m); }
void JpegSamplesRgbH2V1(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertRgbFamily<0, 1, 2, 3, false, false, 2, 1>(p, s, m); }
void JpegSamplesRgbH2V2(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertRgbFamily<0, 1, 2, 3, false, false, 2, 2>(p, s, m); }
void JpegSamplesBgr(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertRgbFamily<2, 1, 0, 3, false, false, 1, 1>(p, s, m); }
void JpegSamplesBgrH2V1(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertRgbFamily<2, 1, 0, 3, false, false, 2, 1>(p, s, m); }
void JpegSamplesBgrH2V2(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertRgbFamily<2, 1, 0, 3, false, false, 2, 2>(p, s, m); }
void JpegSamplesYcc(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertChannels<3>(p, s, m); }
void JpegSamplesYccH2V1(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertYccFamily<2, 1>(p, s, m); }
void JpegSamplesYccH2V2(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertYccFamily<2, 2>(p, s, m); }
void JpegSamplesInvRgbA(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertRgbFamily<0, 1, 2, 4, true, true, 1, 1>(p, s, m); }
void JpegSamplesInvRgbAH2V1(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertRgbFamily<0, 1, 2, 4, true, true, 2, 1>(p, s, m); }
void JpegSamplesInvRgbAH2V2(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertRgbFamily<0, 1, 2, 4, true, true, 2, 2>(p, s, m); }
void JpegSamples4(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertChannels<4>(p, s, m); }

void JpegSamplesYcbycr(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu)
{
    int16_t* cb = mcu + 2 * 64;
    int16_t* cr = cb + 64;
    for (int y = 0; y < 8; ++y) {
        const uint8_t* row = pixels + y * stride;
        for (int pair = 0; pair < 8; ++pair) {
            const uint8_t* p = row + pair * 4;
            mcu[BlockIndex<2>(2 * pair, y)] = static_cast<int16_t>(p[0] - 128);
            mcu[BlockIndex<2>(2 * pair + 1, y)] = static_cast<int16_t>(p[2] - 128);
            cb[y * 8 + pair] = static_cast<int16_t>(p[1] - 128);
            cr[y * 8 + pair] = static_cast<int16_t>(p[3] - 128);
        }
    }
}

} // namespace thermjpeg
