#include "output_stage.h"

#include <algorithm>

#include "codec_state.h"
#include "pixel_writers.h"
#include "thermjpeg.h"

namespace thermjpeg {
namespace {

inline uint8_t Clamp(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

bool Factors(const DecoderState& d, int c, int h, int v) { return d.components[c].h == h && d.components[c].v == v; }

// 4:2:0 or 4:2:2 chroma with full-resolution first (and fourth) component.
bool Subsampled(const DecoderState& d, int h, int v)
{
    if (d.componentCount < 3 || !Factors(d, 0, h, v) || !Factors(d, 1, 1, 1) || !Factors(d, 2, 1, 1))
        return false;
    return d.componentCount == 3 || Factors(d, 3, h, v);
}

OutputLayout ChooseLayout(const DecoderState& d, int jc, int oc, int nch)
{
    OutputLayout L;
    L.channels = std::min(nch, 8);
    auto comp = [&](int f, int c) {
        if (f < L.channels) {
            L.source[f] = ChannelSource::Component;
            L.component[f] = c;
        }
    };
    auto fill = [&](int f) {
        if (f < L.channels)
            L.source[f] = ChannelSource::Fill255;
    };
    switch (jc) {
    case JPEG_COLOUR_GRAY:
        for (int f = 0; f < 3; ++f)
            comp(f, 0);
        fill(3);
        break;
    case JPEG_COLOUR_RGB:
        if (oc == JPEG_COLOUR_BGR) {
            comp(0, 2), comp(1, 1), comp(2, 0);
        } else {
            comp(0, 0), comp(1, 1), comp(2, 2);
        }
        fill(3);
        break;
    case JPEG_COLOUR_YCBCR:
        if (oc == JPEG_COLOUR_YCBCR && nch == 2) {
            L.packedYcbycr = true;
            L.channels = 3; // the three planes go to the packed pairs
        }
        comp(0, 0);
        if (oc == JPEG_COLOUR_GRAY)
            break;
        comp(1, 1), comp(2, 2);
        if (oc == JPEG_COLOUR_YCBCR)
            break;
        fill(3);
        L.conversion = oc == JPEG_COLOUR_BGR ? ColourConversion::Bgr : ColourConversion::Rgb;
        break;
    case JPEG_COLOUR_YCCK:
        for (int f = 0; f < 4; ++f)
            comp(f, f);
        L.conversion = ColourConversion::InvRgb;
        break;
    default: // 5 and 255: the components as they are
        for (int f = 0; f < d.componentCount; ++f)
            comp(f, f);
        break;
    }
    return L;
}

// The fixed-layout configuration for a full-size read with block
// replication, or 0 for the general writer.
int FixedConfiguration(const DecoderState& d, int jc, int oc, int nch)
{
    const int n = d.componentCount;
    const bool h2v2 = Subsampled(d, 2, 2), h2v1 = Subsampled(d, 2, 1);
    if (d.convertColour && d.resample) {
        if (n == 3 && nch == 3 && (oc == JPEG_COLOUR_RGB || oc == JPEG_COLOUR_BGR)) {
            const bool bgr = oc == JPEG_COLOUR_BGR;
            return h2v2 ? (bgr ? 4 : 3) : h2v1 ? (bgr ? 6 : 5) : 0;
        }
        if (n == 3 && nch == 4 && oc == JPEG_COLOUR_INV_RGBA)
            return h2v2 ? 8 : h2v1 ? 9 : 0;
        if (n == 4 && nch == 4 && oc == JPEG_COLOUR_INV_RGBA)
            return h2v2 ? 11 : h2v1 ? 12 : 0;
        return 0;
    }
    if (d.convertColour) {
        if (n == 3 && nch == 3)
            return oc == JPEG_COLOUR_RGB ? 1 : oc == JPEG_COLOUR_BGR ? 2 : 0;
        if (n == 3 && nch == 4 && oc == JPEG_COLOUR_INV_RGBA)
            return 7;
        if (n == 4 && nch == 4 && oc == JPEG_COLOUR_INV_RGBA)
            return 10;
        return 0;
    }
    if (d.resample) {
        if (n == 3 && nch == 3 && oc != JPEG_COLOUR_BGR && jc != JPEG_COLOUR_GRAY)
            return h2v2 ? 16 : h2v1 ? 17 : 0;
        if (n == 3 && nch == 2 && oc == JPEG_COLOUR_YCBCR && h2v1)
            return 19;
        return 0;
    }
    if (n == 3 && nch == 3 && oc != JPEG_COLOUR_BGR && jc != JPEG_COLOUR_GRAY)
        return 15;
    if (n == 3 && nch == 4 && oc == JPEG_COLOUR_INV_RGBA && jc == JPEG_COLOUR_RGB)
        return 13;
    if (n == 4 && nch == 4 && jc != JPEG_COLOUR_YCCK)
        return 14;
    return 0;
}

// One sample of component c at component coordinates, clamped to the
// component's edge, from the rows of decoded MCUs that smoothing keeps.
int NeighbourSample(const DecoderState& d, int c, int gx, int gy)
{
    const FrameComponent& fc = d.components[c];
    gx = std::clamp(gx, 0, d.componentWidth[c] - 1);
    gy = std::clamp(gy, 0, d.componentHeight[c] - 1);
    const int mcol = gx / (8 * fc.h), mrow = gy / (8 * fc.v);
    const int block = d.blockOffset[c] + ((gy >> 3) % fc.v) * fc.h + (gx >> 3) % fc.h;
    const size_t slot = (static_cast<size_t>(mrow % 3) * d.mcusPerRow + mcol) * d.blocksPerMcu + block;
    return d.neighbourRows[slot * 64 + (gy & 7) * 8 + (gx & 7)];
}

// Component c of the MCU at output resolution, for the visible pixels,
// into plane (rows of 32 bytes).
void BuildPlane(const DecoderState& d, int c, int column, int row, const Rect& vis, uint8_t* plane)
{
    const FrameComponent& fc = d.components[c];
    const int sbs = d.componentBlockSize[c];
    const int fh = d.mcuOutWidth / (fc.h * sbs);
    const int fv = d.mcuOutHeight / (fc.v * sbs);
    const bool filter2 = d.smoothKind == 2 && fh == 2 && fv == 2;
    const bool filter1 = d.smoothKind == 1 && fh == 2 && fv == 1;
    if (filter1 || filter2) {
        const int gx0 = column * fc.h * 8, gy0 = row * fc.v * 8;
        for (int y = vis.top; y < vis.bottom; ++y) {
            const int cy = gy0 + y / fv;
            for (int x = vis.left; x < vis.right; ++x) {
                const int cx = gx0 + x / 2;
                const int side = (x & 1) ? 1 : -1;
                const int c0 = NeighbourSample(d, c, cx, cy);
                const int h = NeighbourSample(d, c, cx + side, cy);
                int value;
                if (filter1) {
                    value = (3 * c0 + h + ((x & 1) ? 2 : 1)) >> 2;
                } else {
                    const int up = (y & 1) ? 1 : -1;
                    const int v = NeighbourSample(d, c, cx, cy + up);
                    const int diagonal = NeighbourSample(d, c, cx + side, cy + up);
                    value = (9 * c0 + 3 * h + 3 * v + diagonal + ((x & 1) ? 7 : 8)) >> 4;
                }
                plane[y * 32 + x] = static_cast<uint8_t>(value);
            }
        }
        return;
    }
    const int16_t* blocks = d.mcuSamples + d.blockOffset[c] * 64;
    for (int y = vis.top; y < vis.bottom; ++y) {
        const int sy = y / fv;
        const int16_t* line = blocks + (sy / sbs) * fc.h * 64 + (sy % sbs) * 8;
        for (int x = vis.left; x < vis.right; ++x) {
            const int sx = x / fh;
            plane[y * 32 + x] = static_cast<uint8_t>(line[(sx / sbs) * 64 + sx % sbs]);
        }
    }
}

} // namespace

int JpegSelectOutputKernel(CodecState& s)
{
    DecoderState& d = s.dec;
    const Settings& t = s.settings;
    const int n = d.componentCount, nch = t.imageChannels, oc = t.imageColour, jc = t.jpegColour;
    if (n < 1 || n > JPEG_MAX_COMPONENTS)
        return JPEG_COMPONENT_ERROR;
    bool subsampled = false;
    for (int c = 0; c < n; ++c)
        subsampled = subsampled || d.components[c].h != 1 || d.components[c].v != 1;
    if (n == 1 && subsampled)
        return JPEG_BAD_SUBSAMPLING;
    d.convertColour = !(jc == JPEG_COLOUR_RGB || jc == JPEG_COLOUR_GRAY || jc == JPEG_COLOUR_INV_RGBA ||
                        jc == JPEG_COLOUR_OTHER) &&
                      !(oc == JPEG_COLOUR_YCBCR || oc == JPEG_COLOUR_GRAY);
    d.resample = subsampled;
    if (oc == JPEG_COLOUR_YCBCR && (n != 3 || !Subsampled(d, 2, 1) || (nch != 2 && nch != 3)))
        return JPEG_INVALID_PROPERTIES;

    const int r = d.reduction;
    d.blockSize = 8 / r;
    bool square = d.hmax > 1 || d.vmax > 1;
    for (int c = 0; c < n; ++c) {
        const FrameComponent& fc = d.components[c];
        square = square && fc.h == fc.v && fc.h <= 2;
    }
    d.perComponentSize = square;
    for (int c = 0; c < n; ++c) {
        const bool single = d.components[c].h == 1 && d.components[c].v == 1;
        d.componentBlockSize[c] = (square && r > 1 && single) ? 2 * d.blockSize : d.blockSize;
    }
    d.mcuOutWidth = d.hmax * d.blockSize;
    d.mcuOutHeight = d.vmax * d.blockSize;
    d.outWidth = (d.width + r - 1) / r;
    d.outHeight = (d.height + r - 1) / r;
    d.smoothKind = 0;
    if (d.smooth && r == 1 && subsampled && d.hmax == 2 && d.vmax <= 2)
        d.smoothKind = d.vmax == 2 ? 2 : 1;

    d.layout = ChooseLayout(d, jc, oc, nch);
    int configuration = 0;
    if (r == 1 && d.smoothKind == 0)
        configuration = FixedConfiguration(d, jc, oc, nch);
    d.layout.configuration = configuration;
    if (configuration != 0)
        s.kernels.writeMcu = JpegFixedLayoutWriter(configuration);
    else if (n == 1 && nch == 1 && r == 1)
        s.kernels.writeMcu = JpegWriteMcuGray;
    else
        s.kernels.writeMcu = JpegWriteMcuUpsampled;
    return 0;
}

int JpegWriteMcuUpsampled(CodecState& s, int column, int row)
{
    const DecoderState& d = s.dec;
    const OutputLayout& L = d.layout;
    uint8_t* dest = nullptr;
    Rect vis;
    if (int rc = JpegClipMcu(d.region, d.mcuOutWidth, d.mcuOutHeight, column, row, d.outBytes, d.outStride,
                             d.outBase, d.clipWidth, d.clipHeight, &dest, &vis))
        return rc;
    if (vis.right <= vis.left || vis.bottom <= vis.top)
        return 0;
    alignas(32) uint8_t plane[32 * 32];
    int planeComponent = -1;
    const ptrdiff_t stride = d.outStride;
    const int bpp = d.outBytes;
    for (int f = 0; f < L.channels; ++f) {
        if (L.source[f] == ChannelSource::None)
            continue;
        if (L.source[f] == ChannelSource::Fill255) {
            for (int y = vis.top; y < vis.bottom; ++y)
                for (int x = vis.left; x < vis.right; ++x)
                    dest[y * stride + x * bpp + f] = 255;
            continue;
        }
        const int c = L.component[f];
        if (c != planeComponent) {
            BuildPlane(d, c, column, row, vis, plane);
            planeComponent = c;
        }
        for (int y = vis.top; y < vis.bottom; ++y) {
            for (int x = vis.left; x < vis.right; ++x) {
                if (L.packedYcbycr) {
                    // Y at byte 2x, Cb on even and Cr on odd pixels at 2x + 1.
                    if (c == 0)
                        dest[y * stride + x * 2] = plane[y * 32 + x];
                    else if ((x & 1) == (c == 2 ? 1 : 0))
                        dest[y * stride + x * 2 + 1] = plane[y * 32 + x];
                } else {
                    dest[y * stride + x * bpp + f] = plane[y * 32 + x];
                }
            }
        }
    }
    if (L.conversion != ColourConversion::None)
        JpegConvertMcuArea(s, dest, vis);
    return 0;
}

void JpegConvertMcuArea(CodecState& s, uint8_t* dest, const Rect& vis)
{
    const DecoderState& d = s.dec;
    const ColourConversion kind = d.layout.conversion;
    for (int y = vis.top; y < vis.bottom; ++y) {
        uint8_t* p = dest + y * d.outStride + vis.left * d.outBytes;
        for (int x = vis.left; x < vis.right; ++x, p += d.outBytes) {
            const int yv = p[0], cb = p[1], cr = p[2];
            const uint8_t r = Clamp(yv + ((cr * 359 - 45813) >> 8));
            const uint8_t g = Clamp(yv + ((34806 - cb * 88 - cr * 183) >> 8));
            const uint8_t b = Clamp(yv + ((cb * 454 - 57937) >> 8));
            if (kind == ColourConversion::Bgr) {
                p[0] = b, p[1] = g, p[2] = r;
            } else if (kind == ColourConversion::InvRgb) {
                p[0] = static_cast<uint8_t>(255 - r), p[1] = static_cast<uint8_t>(255 - g);
                p[2] = static_cast<uint8_t>(255 - b);
            } else {
                p[0] = r, p[1] = g, p[2] = b;
            }
        }
    }
}

int JpegOutputMcu(CodecState& s, int column, int row) { return s.kernels.writeMcu(s, column, row); }

} // namespace thermjpeg
