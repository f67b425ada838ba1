// MCU preparers. Interior MCUs of the fast paths go through a whole-MCU
// converter of the kernel table. Every other MCU takes the plane form: the
// valid pixels are converted into full-resolution planes, each row is
// extended with its last valid sample and the last valid row is repeated
// down, and only then are the planes reduced to the components' sampling
// factors, (sum + n/2) >> log2 n over each box. So a partial MCU rounds
// chroma twice where a whole MCU rounds once; the two can differ by one.
#include "mcu_preparers.h"

#include "sample_converters.h"

namespace thermjpeg {
namespace {

constexpr int kMaxMcuSide = 16;
constexpr int kPlaneSize = kMaxMcuSide * kMaxMcuSide;

// Planes of one MCU at full resolution, row length = MCU width.
struct McuPlanes {
    alignas(32) int16_t plane[JPEG_MAX_COMPONENTS][kPlaneSize];
};

struct McuGeometry {
    const uint8_t* base; // first pixel of the MCU
    int width, height;   // MCU size in pixels
    int validWidth, validHeight;
};

McuGeometry Locate(const CodecState& s, int column, int row)
{
    McuGeometry g;
    g.width = s.mcuWidth;
    g.height = s.mcuHeight;
    const int restW = s.settings.jpegWidth % g.width;
    const int restH = s.settings.jpegHeight % g.height;
    g.validWidth = (column == s.mcusPerRow - 1 && restW != 0) ? restW : g.width;
    g.validHeight = (row == s.mcuRows - 1 && restH != 0) ? restH : g.height;
    g.base = s.origin + static_cast<ptrdiff_t>(row - s.originMcuRow) * g.height * s.stride +
             static_cast<ptrdiff_t>(column) * g.width * s.pixelBytes;
    return g;
}

// Converts the valid pixels with the reader, then fills the rest of the MCU
// from the last valid column and row.
template <class Reader>
void GatherPlanes(const CodecState& s, const McuGeometry& g, const Reader& read, int planes, McuPlanes& out)
{
    for (int y = 0; y < g.validHeight; ++y) {
        const uint8_t* row = g.base + y * s.stride;
        for (int x = 0; x < g.validWidth; ++x) {
            int16_t v[JPEG_MAX_COMPONENTS] = {};
            read(row, x, v);
            for (int c = 0; c < planes; ++c)
                out.plane[c][y * g.width + x] = v[c];
        }
    }
    for (int c = 0; c < planes; ++c) {
        int16_t* p = out.plane[c];
        for (int y = 0; y < g.validHeight; ++y) {
            for (int x = g.validWidth; x < g.width; ++x)
                p[y * g.width + x] = p[y * g.width + g.validWidth - 1];
        }
        for (int y = g.validHeight; y < g.height; ++y) {
            for (int x = 0; x < g.width; ++x)
                p[y * g.width + x] = p[(g.validHeight - 1) * g.width + x];
        }
    }
}

int Log2(int n) { return n >= 4 ? 2 : n >= 2 ? 1 : 0; }

// Reduces each plane to its component's factors into the MCU buffer.
void ReducePlanes(CodecState& s, const McuGeometry& g, const McuPlanes& planes)
{
    int16_t* block = s.mcuBuffer;
    for (int c = 0; c < s.componentCount; ++c) {
        const FrameComponent& comp = s.components[c];
        const int bw = s.hmax / comp.h, bh = s.vmax / comp.v;
        const int n = bw * bh, shift = Log2(n);
        const int16_t* p = planes.plane[c];
        for (int by = 0; by < comp.v; ++by) {
            for (int bx = 0; bx < comp.h; ++bx, block += 64) {
                for (int y = 0; y < 8; ++y) {
                    for (int x = 0; x < 8; ++x) {
                        const int px = (bx * 8 + x) * bw, py = (by * 8 + y) * bh;
                        int32_t sum = 0;
                        for (int j = 0; j < bh; ++j) {
                            for (int i = 0; i < bw; ++i)
                                sum += p[(py + j) * g.width + px + i];
                        }
                        block[y * 8 + x] = static_cast<int16_t>((sum + n / 2) >> shift);
                    }
                }
            }
        }
    }
}

// R, G, B at byte offsets RI, GI, BI converted to Y, Cb, Cr; with Invert the
// complements of the first three bytes, and the fourth byte as a component.
template <int RI, int GI, int BI, int BPP, bool Invert>
struct RgbReader {
    void operator()(const uint8_t* row, int x, int16_t* out) const
    {
        const uint8_t* p = row + x * BPP;
        int32_t r, g, b;
        JpegLoadRgb<RI, GI, BI, Invert>(p, r, g, b);
        if constexpr (Invert)
            out[3] = static_cast<int16_t>(p[3] - 128);
        out[0] = static_cast<int16_t>(JpegLuma(r, g, b));
        out[1] = static_cast<int16_t>(JpegChromaBlue(r, g, b));
        out[2] = static_cast<int16_t>(JpegChromaRed(r, g, b));
    }
};

template <int RI, int GI, int BI>
struct LumaReader {
    void operator()(const uint8_t* row, int x, int16_t* out) const
    {
        const uint8_t* p = row + x * 3;
        out[0] = static_cast<int16_t>(JpegLuma(p[RI], p[GI], p[BI]));
    }
};

// Channel c of the pixel minus 128; channels 0..2 reversed for B, G, R
// written as R, G, B; a channel the pixel does not have (a gray pixel
// written as Y, Cb, Cr) is neutral.
struct ChannelReader {
    int bytes;
    int channels;
    bool reverse;
    void operator()(const uint8_t* row, int x, int16_t* out) const
    {
        const uint8_t* p = row + x * bytes;
        for (int c = 0; c < channels; ++c) {
            const int source = (reverse && c < 3) ? 2 - c : c;
            out[c] = source < bytes ? static_cast<int16_t>(p[source] - 128) : int16_t{0};
        }
    }
};

// Packed Y0 Cb Y1 Cr per pixel pair; both pixels of a pair carry its chroma.
struct YcbycrReader {
    void operator()(const uint8_t* row, int x, int16_t* out) const
    {
        const uint8_t* pair = row + (x >> 1) * 4;
        out[0] = static_cast<int16_t>(pair[(x & 1) * 2] - 128);
        out[1] = static_cast<int16_t>(pair[1] - 128);
        out[2] = static_cast<int16_t>(pair[3] - 128);
    }
};

ChannelReader PlainReader(const CodecState& s)
{
    return ChannelReader{s.pixelBytes, s.componentCount,
                         s.settings.imageColour == JPEG_COLOUR_BGR && s.settings.jpegColour == JPEG_COLOUR_RGB};
}

template <class Reader>
void PrepareThroughPlanes(CodecState& s, const McuGeometry& g, const Reader& read)
{
    McuPlanes planes;
    GatherPlanes(s, g, read, s.componentCount, planes);
    ReducePlanes(s, g, planes);
}

// Whole MCUs through the table's converter, partial ones through planes.
template <SampleConverter KernelTable::*Entry, class Reader>
void PrepareWithConverter(CodecState& s, int column, int row, const Reader& read)
{
    const McuGeometry g = Locate(s, column, row);
    if (g.validWidth == g.width && g.validHeight == g.height)
        (s.kernels.*Entry)(g.base, s.stride, s.mcuBuffer);
    else
        PrepareThroughPlanes(s, g, read);
}

using RgbRead = RgbReader<0, 1, 2, 3, false>;
using BgrRead = RgbReader<2, 1, 0, 3, false>;
using InvRgbARead = RgbReader<0, 1, 2, 4, true>;

} // namespace

void JpegPrepareMcuRgb(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesRgb>(s, c, r, RgbRead{}); }
void JpegPrepareMcuBgr(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesBgr>(s, c, r, BgrRead{}); }
void JpegPrepareMcuRgbH2V1(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesRgbH2V1>(s, c, r, RgbRead{}); }
void JpegPrepareMcuRgbH2V2(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesRgbH2V2>(s, c, r, RgbRead{}); }
void JpegPrepareMcuBgrH2V1(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesBgrH2V1>(s, c, r, BgrRead{}); }
void JpegPrepareMcuBgrH2V2(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesBgrH2V2>(s, c, r, BgrRead{}); }
void JpegPrepareMcuInvRgbA(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesInvRgbA>(s, c, r, InvRgbARead{}); }
void JpegPrepareMcuInvRgbAH2V1(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesInvRgbAH2V1>(s, c, r, InvRgbARead{}); }
void JpegPrepareMcuInvRgbAH2V2(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesInvRgbAH2V2>(s, c, r, InvRgbARead{}); }
void JpegPrepareMcuYcc(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesYcc>(s, c, r, ChannelReader{3, 3, false}); }
void JpegPrepareMcuYccH2V1(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesYccH2V1>(s, c, r, ChannelReader{3, 3, false}); }
void JpegPrepareMcuYccH2V2(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesYccH2V2>(s, c, r, ChannelReader{3, 3, false}); }
void JpegPrepareMcuYcbycr(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesYcbycr>(s, c, r, YcbycrReader{}); }
void JpegPrepareMcuGray(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samplesGray>(s, c, r, ChannelReader{1, 1, false}); }
void JpegPrepareMcu4(CodecState& s, int c, int r) { PrepareWithConverter<&KernelTable::samples4>(s, c, r, ChannelReader{4, 4, false}); }

void JpegPrepareMcuLuma(CodecState& s, int column, int row)
{
    const McuGeometry g = Locate(s, column, row);
    if (s.settings.imageColour == JPEG_COLOUR_BGR)
        PrepareThroughPlanes(s, g, LumaReader<2, 1, 0>{});
    else
        PrepareThroughPlanes(s, g, LumaReader<0, 1, 2>{});
}

void JpegPrepareMcuSampled(CodecState& s, int column, int row)
{
    PrepareThroughPlanes(s, Locate(s, column, row), PlainReader(s));
}

void JpegPrepareMcuPlain(CodecState& s, int column, int row)
{
    PrepareThroughPlanes(s, Locate(s, column, row), PlainReader(s));
}

// Four-byte pixels to Y, Cb, Cr with any factors: R, G and B (complemented
// unless the layout is R, G, B) are averaged over each component's box,
// (sum + n/2) / n, and the averages converted.
void JpegPrepareMcuGeneral(CodecState& s, int column, int row)
{
    const McuGeometry g = Locate(s, column, row);
    const bool invert = s.settings.imageColour != JPEG_COLOUR_RGB;
    const int bytes = s.pixelBytes;
    McuPlanes rgb;
    GatherPlanes(
        s, g,
        [invert, bytes](const uint8_t* line, int x, int16_t* out) {
            const uint8_t* p = line + x * bytes;
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<int16_t>(invert ? 255 - p[c] : p[c]);
        },
        3, rgb);

    int16_t* block = s.mcuBuffer;
    for (int c = 0; c < s.componentCount && c < 3; ++c) {
        const FrameComponent& comp = s.components[c];
        const int bw = s.hmax / comp.h, bh = s.vmax / comp.v, n = bw * bh;
        for (int by = 0; by < comp.v; ++by) {
            for (int bx = 0; bx < comp.h; ++bx, block += 64) {
                for (int y = 0; y < 8; ++y) {
                    for (int x = 0; x < 8; ++x) {
                        const int px = (bx * 8 + x) * bw, py = (by * 8 + y) * bh;
                        int32_t sum[3] = {};
                        for (int j = 0; j < bh; ++j) {
                            for (int i = 0; i < bw; ++i) {
                                for (int k = 0; k < 3; ++k)
                                    sum[k] += rgb.plane[k][(py + j) * g.width + px + i];
                            }
                        }
                        const int32_t r = (sum[0] + n / 2) / n, gr = (sum[1] + n / 2) / n, b = (sum[2] + n / 2) / n;
                        const int32_t value = c == 0 ? JpegLuma(r, gr, b)
                                              : c == 1 ? JpegChromaBlue(r, gr, b)
                                                       : JpegChromaRed(r, gr, b);
                        block[y * 8 + x] = static_cast<int16_t>(value);
                    }
                }
            }
        }
    }
}

int JpegSelectMcuPreparer(CodecState& s)
{
    KernelTable& k = s.kernels;
    k.prepareMcu = nullptr;
    s.fastPathCode = 0;
    if (s.settings.singleBlockMcu)
        return 0;

    const int comps = s.componentCount;
    const int bpp = s.settings.imageChannels;
    const int layout = s.settings.imageColour;
    const int jcs = s.settings.jpegColour;
    const int yh = s.components[0].h, yv = s.components[0].v;
    const bool y22 = yh == 2 && yv == 2, y21 = yh == 2 && yv == 1;

    auto install = [&](McuPreparer preparer, int code) {
        k.prepareMcu = preparer;
        s.fastPathCode = code;
        return 0;
    };

    if (s.convertColour && !s.resample) {
        if (comps == 3 && bpp == 3 && layout == JPEG_COLOUR_RGB)
            return install(JpegPrepareMcuRgb, kPathRgb);
        if (comps == 3 && bpp == 3 && layout == JPEG_COLOUR_BGR)
            return install(JpegPrepareMcuBgr, kPathBgr);
        if (comps == 3 && bpp == 3)
            return 0;
        if (comps == 1 && bpp == 3)
            return install(JpegPrepareMcuLuma, 0);
        if (comps == 3 && bpp == 4)
            return install(JpegPrepareMcuGeneral, 0);
        if (comps == 4 && bpp == 4 && layout == JPEG_COLOUR_INV_RGBA)
            return install(JpegPrepareMcuInvRgbA, kPathInvRgbA);
        return 0;
    }
    if (s.convertColour && s.resample) {
        if (comps < 1 || comps > 255)
            return JPEG_COMPONENT_ERROR;
        const bool fourthMatches = comps == 4 && s.components[3].h == yh && s.components[3].v == yv;
        if (comps == 3 && bpp == 3 && layout == JPEG_COLOUR_RGB && y22)
            return install(JpegPrepareMcuRgbH2V2, kPathRgbH2V2);
        if (comps == 3 && bpp == 3 && layout == JPEG_COLOUR_RGB && y21)
            return install(JpegPrepareMcuRgbH2V1, kPathRgbH2V1);
        if (comps == 3 && bpp == 4 && layout == JPEG_COLOUR_RGB && (y22 || y21))
            return install(JpegPrepareMcuGeneral, 0);
        if (comps == 3 && bpp == 3 && layout == JPEG_COLOUR_BGR && y22)
            return install(JpegPrepareMcuBgrH2V2, kPathBgrH2V2);
        if (comps == 3 && bpp == 3 && layout == JPEG_COLOUR_BGR && y21)
            return install(JpegPrepareMcuBgrH2V1, kPathBgrH2V1);
        if (comps == 4 && bpp == 4 && layout == JPEG_COLOUR_INV_RGBA && fourthMatches && y22)
            return install(JpegPrepareMcuInvRgbAH2V2, kPathInvRgbAH2V2);
        if (comps == 4 && bpp == 4 && layout == JPEG_COLOUR_INV_RGBA && fourthMatches && y21)
            return install(JpegPrepareMcuInvRgbAH2V1, kPathInvRgbAH2V1);
        return 0;
    }
    if (s.resample) {
        if (comps == 3 && bpp == 3 && layout != JPEG_COLOUR_BGR) {
            if (y22)
                return install(JpegPrepareMcuYccH2V2, kPathYccH2V2);
            if (y21 && s.settings.imageSampling != 2)
                return install(JpegPrepareMcuYccH2V1, kPathYccH2V1);
            if (y21)
                return install(JpegPrepareMcuYcbycr, kPathYcbycr);
            return 0;
        }
        return install(JpegPrepareMcuSampled, 0);
    }
    if (comps == 1 && layout == JPEG_COLOUR_GRAY && jcs == JPEG_COLOUR_GRAY)
        return install(JpegPrepareMcuGray, kPathGray);
    if (comps == 3 && bpp == 1 && jcs == JPEG_COLOUR_YCBCR)
        return install(JpegPrepareMcuPlain, 0);
    if (comps == 3 && bpp == 3 && layout != JPEG_COLOUR_BGR)
        return install(JpegPrepareMcuYcc, kPathYcc);
    if (comps == 3 && (bpp == 3 || bpp == 4))
        return install(JpegPrepareMcuPlain, 0);
    // The four-byte converter steps four bytes a pixel; wider pixels go
    // through the plain preparer, which steps by the real width.
    if (comps == 4)
        return bpp == 4 ? install(JpegPrepareMcu4, kPath4) : install(JpegPrepareMcuPlain, 0);
    if (layout == JPEG_COLOUR_OTHER && jcs == JPEG_COLOUR_OTHER)
        return install(JpegPrepareMcuPlain, 0);
    return 0;
}

} // namespace thermjpeg
