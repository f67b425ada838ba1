#include "stream_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "codec_state.h"
#include "output_stage.h"
#include "scan_decoder.h"

namespace thermjpeg {
namespace {

enum Marker {
    kSof0 = 0xC0,
    kSof1 = 0xC1,
    kSof2 = 0xC2,
    kDht = 0xC4,
    kRst0 = 0xD0,
    kRst7 = 0xD7,
    kSoi = 0xD8,
    kEoi = 0xD9,
    kSos = 0xDA,
    kDqt = 0xDB,
    kDri = 0xDD,
    kApp0 = 0xE0,
    kApp14 = 0xEE,
    kCom = 0xFE
};

int EndCode(const CodecState& s) { return s.dec.source.isFile() ? JPEG_FILE_ERROR : JPEG_MEMORY_ERROR; }

int Word(const uint8_t* p) { return (p[0] << 8) | p[1]; }

bool UnsupportedFrame(int code)
{
    return code == 0xC3 || (code >= 0xC5 && code <= 0xC7) || code == 0xC8 || (code >= 0xC9 && code <= 0xCB) ||
           (code >= 0xCD && code <= 0xCF);
}

// Reads a segment's length and its payload. `minimum` is the smallest
// length accepted (else `shortCode`).
int ReadPayload(CodecState& s, const uint8_t** data, int* size, int minimum = 2, int shortCode = JPEG_DATA_ERROR)
{
    int length = 0;
    if (int rc = JpegReadWord(s.dec.source, &length))
        return rc;
    if (length < 2 || length < minimum)
        return shortCode;
    *size = length - 2;
    return JpegSourceTakeCopy(s.dec.source, static_cast<size_t>(*size), data);
}

int ReadFrameHeader(CodecState& s, int marker)
{
    DecoderState& d = s.dec;
    const uint8_t* p = nullptr;
    int size = 0;
    if (int rc = ReadPayload(s, &p, &size, 8, JPEG_SOF_ERROR))
        return rc;
    if (p[0] != 8)
        return JPEG_UNSUPPORTED_FRAME;
    const int height = Word(p + 1), width = Word(p + 3), count = p[5];
    if (height == 0)
        return JPEG_DNL_ERROR;
    if (width == 0)
        return JPEG_SOF_ERROR;
    if (count < 1 || count > JPEG_MAX_COMPONENTS)
        return JPEG_COMPONENT_ERROR;
    if (size != 6 + 3 * count)
        return JPEG_SOF_ERROR;
    FrameComponent comps[JPEG_MAX_COMPONENTS];
    int ids[JPEG_MAX_COMPONENTS] = {};
    int hmax = 1, vmax = 1, blocks = 0;
    for (int c = 0; c < count; ++c) {
        const uint8_t* q = p + 6 + 3 * c;
        ids[c] = q[0];
        comps[c].id = q[0];
        comps[c].h = q[1] >> 4;
        comps[c].v = q[1] & 15;
        comps[c].quantNumber = q[2];
        if (comps[c].h < 1 || comps[c].h > 4 || comps[c].v < 1 || comps[c].v > 4 || comps[c].quantNumber > 3)
            return JPEG_SOF_ERROR;
        hmax = std::max(hmax, comps[c].h);
        vmax = std::max(vmax, comps[c].v);
        blocks += comps[c].h * comps[c].v;
    }
    if (count > 1 && blocks > kMaxBlocksPerMcu)
        return JPEG_SOF_ERROR;
    for (int c = 0; c < count; ++c) {
        if (hmax % comps[c].h != 0 || vmax % comps[c].v != 0)
            return JPEG_BAD_SUBSAMPLING;
    }

    d.frameSeen = true;
    d.progressive = marker == kSof2;
    d.width = width;
    d.height = height;
    d.componentCount = count;
    d.hmax = hmax;
    d.vmax = vmax;
    d.blocksPerMcu = blocks;
    int offset = 0;
    for (int c = 0; c < count; ++c) {
        d.components[c] = comps[c];
        d.componentIds[c] = ids[c];
        d.blockOffset[c] = offset;
        offset += comps[c].h * comps[c].v;
        d.componentWidth[c] = static_cast<int>((static_cast<int64_t>(width) * comps[c].h + hmax - 1) / hmax);
        d.componentHeight[c] = static_cast<int>((static_cast<int64_t>(height) * comps[c].v + vmax - 1) / vmax);
    }
    d.mcusPerRow = (width + 8 * hmax - 1) / (8 * hmax);
    d.mcuRows = (height + 8 * vmax - 1) / (8 * vmax);
    return 0;
}

int ReadQuantTables(CodecState& s)
{
    DecoderState& d = s.dec;
    const uint8_t* p = nullptr;
    int size = 0;
    if (int rc = ReadPayload(s, &p, &size))
        return rc;
    int at = 0;
    while (at < size) {
        const int pq = p[at] >> 4, tq = p[at] & 15;
        const int bytes = 64 * (pq + 1);
        if (pq > 1 || tq > 3 || size - at - 1 < bytes)
            return JPEG_BAD_QUANT_TABLE;
        ++at;
        for (int k = 0; k < 64; ++k)
            d.quantValues[tq][k] = static_cast<uint16_t>(pq ? Word(p + at + 2 * k) : p[at + k]);
        at += bytes;
        d.quantDefined[tq] = true;
        d.dequantMethod[tq] = -1;
    }
    return 0;
}

int ReadHuffmanTables(CodecState& s)
{
    DecoderState& d = s.dec;
    const uint8_t* p = nullptr;
    int size = 0;
    if (int rc = ReadPayload(s, &p, &size))
        return rc;
    int at = 0;
    while (at < size) {
        if (size - at < 17)
            return JPEG_BAD_HUFFMAN_TABLE;
        const int cls = p[at] >> 4, number = p[at] & 15;
        if (cls > 1 || number > 3)
            return JPEG_BAD_HUFFMAN_TABLE;
        int count = 0;
        for (int k = 1; k <= 16; ++k)
            count += p[at + k];
        if (count > size - at - 17)
            return JPEG_BAD_HUFFMAN_TABLE;
        HuffmanDecoder& table = cls == 0 ? d.dcTables[number] : d.acTables[number];
        if (JpegBuildHuffmanDecoder(p + at + 1, p + at + 17, cls, number, table) != 0)
            return JPEG_BAD_HUFFMAN_TABLE;
        at += 17 + count;
    }
    return 0;
}

int ReadRestartInterval(CodecState& s)
{
    const uint8_t* p = nullptr;
    int size = 0;
    if (int rc = ReadPayload(s, &p, &size))
        return rc;
    if (size != 2)
        return JPEG_DATA_ERROR;
    s.dec.restartInterval = Word(p);
    return 0;
}

int ReadAdobeSegment(CodecState& s, JPEG_PROPERTIES& props)
{
    const uint8_t* p = nullptr;
    int size = 0;
    if (int rc = ReadPayload(s, &p, &size))
        return rc;
    if (size < 12 || std::memcmp(p, "Adobe", 5) != 0)
        return 0;
    props.AdobeVersion = static_cast<uint16_t>(Word(p + 5));
    props.AdobeFlags0 = static_cast<uint16_t>(Word(p + 7));
    props.AdobeFlags1 = static_cast<uint16_t>(Word(p + 9));
    s.dec.adobeTransform = p[11];
    s.dec.adobeSeen = true;
    return 0;
}

// Writes a thumbnail of width x height pixels, each three bytes from `rgb`
// or a palette index, into the caller's buffer (modes 20 and 21).
int WriteThumbnail(CodecState& s, const JPEG_PROPERTIES& props, int width, int height, const uint8_t* pixels,
                   const uint8_t* palette)
{
    const Settings& t = s.settings;
    if (width > t.imageWidth || height > std::abs(t.imageHeight) || t.imageChannels < 3)
        return JPEG_THUMBNAIL_TOO_SMALL;
    const bool rgb = props.ImageColour == JPEG_COLOUR_RGB;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(t.imageWidth) * t.imageChannels + t.imagePadBytes;
    for (int y = 0; y < height; ++y) {
        const ptrdiff_t line = t.imageHeight < 0 ? (std::abs(t.imageHeight) - 1 - y) : y;
        uint8_t* out = t.imageBytes + line * stride;
        for (int x = 0; x < width; ++x, out += t.imageChannels) {
            const size_t index = static_cast<size_t>(y) * width + x;
            const uint8_t* px = palette ? palette + 3 * pixels[index] : pixels + 3 * index;
            out[0] = rgb ? px[0] : px[2];
            out[1] = px[1];
            out[2] = rgb ? px[2] : px[0];
        }
    }
    return 0;
}

int ReadJfifSegment(CodecState& s, JPEG_PROPERTIES& props, int mode)
{
    const uint8_t* p = nullptr;
    int size = 0;
    if (int rc = ReadPayload(s, &p, &size))
        return rc;
    const bool thumbnailMode = mode == 20 || mode == 21;
    if (size >= 14 && std::memcmp(p, "JFIF", 5) == 0) {
        s.dec.jfifSeen = true;
        props.JfifFound = 1;
        props.JfifVersion = static_cast<uint16_t>(Word(p + 5));
        props.JfifUnits = p[7];
        props.JfifXDensity = static_cast<uint16_t>(Word(p + 8));
        props.JfifYDensity = static_cast<uint16_t>(Word(p + 10));
        const int w = p[12], h = p[13];
        if (w == 0 || h == 0)
            return 0;
        props.ThumbWidth = w;
        props.ThumbHeight = h;
        if (thumbnailMode && size >= 14 + 3 * w * h)
            return WriteThumbnail(s, props, w, h, p + 14, nullptr);
        return 0;
    }
    if (size >= 8 && std::memcmp(p, "JFXX", 5) == 0) {
        const int code = p[5], w = p[6], h = p[7];
        if (w == 0 || h == 0)
            return 0;
        if (code == 0x13) {
            props.ThumbWidth = w;
            props.ThumbHeight = h;
            if (thumbnailMode && size >= 8 + 3 * w * h)
                return WriteThumbnail(s, props, w, h, p + 8, nullptr);
        } else if (code == 0x11 && thumbnailMode && size >= w * h + 776) {
            props.ThumbWidth = w;
            props.ThumbHeight = h;
            return WriteThumbnail(s, props, w, h, p + 776, p + 8);
        }
    }
    return 0;
}

int ReadComment(CodecState& s, JPEG_PROPERTIES& props, bool header)
{
    const uint8_t* p = nullptr;
    int size = 0;
    if (int rc = ReadPayload(s, &p, &size))
        return rc;
    if (!header || props.CommentBytes == nullptr)
        return 0;
    const int room = s.dec.commentRoom;
    std::memcpy(props.CommentBytes, p, static_cast<size_t>(std::min(room, size)));
    props.CommentLength = static_cast<uint16_t>(size);
    return room < size ? JPEG_COMMENT_ACCESS_ERROR : 0;
}

int ReadScanHeader(CodecState& s, DecodeScanRecord& scan)
{
    const DecoderState& d = s.dec;
    const uint8_t* p = nullptr;
    int size = 0;
    if (int rc = ReadPayload(s, &p, &size, 8))
        return rc;
    const int ns = p[0];
    if (ns < 1 || ns > JPEG_MAX_COMPONENTS || size != 4 + 2 * ns)
        return JPEG_DATA_ERROR;
    scan.ns = ns;
    scan.sosLength = size + 4;
    for (int k = 0; k < ns; ++k) {
        const int selector = p[1 + 2 * k];
        const int td = p[2 + 2 * k] >> 4, ta = p[2 + 2 * k] & 15;
        int index = -1;
        for (int c = 0; c < d.componentCount && index < 0; ++c)
            index = d.componentIds[c] == selector ? c : -1;
        if (index < 0 || td > 3 || ta > 3)
            return JPEG_DATA_ERROR;
        for (int j = 0; j < k; ++j) {
            if (scan.components[j].index == index)
                return JPEG_DATA_ERROR;
        }
        DecodeScanComponent& sc = scan.components[k];
        sc.index = index;
        sc.h = d.components[index].h;
        sc.v = d.components[index].v;
        sc.dcTable = td;
        sc.acTable = ta;
        sc.quantTable = d.components[index].quantNumber;
    }
    const uint8_t* q = p + 1 + 2 * ns;
    scan.ss = q[0];
    scan.se = q[1];
    scan.ah = q[2] >> 4;
    scan.al = q[2] & 15;
    if (d.progressive) {
        const bool dc = scan.ss == 0 && scan.se == 0;
        const bool ac = scan.ss >= 1 && scan.ss <= scan.se && scan.se <= 63 && ns == 1;
        if ((!dc && !ac) || scan.ah > 13 || scan.al > 13)
            return JPEG_DATA_ERROR;
    } else if (scan.ss != 0 || scan.se != 63 || scan.ah != 0 || scan.al != 0) {
        return JPEG_DATA_ERROR;
    }
    // Blocks of an interleaved scan must fit the MCU buffer.
    int blocks = 0;
    for (int k = 0; k < ns; ++k)
        blocks += scan.components[k].h * scan.components[k].v;
    if (ns > 1 && blocks > kMaxBlocksPerMcu)
        return JPEG_DATA_ERROR;
    return 0;
}

bool AcceptedReadPair(int jc, int n, int oc, int nch)
{
    switch (jc) {
    case JPEG_COLOUR_GRAY:
    case JPEG_COLOUR_RGB:
        if (n != (jc == JPEG_COLOUR_GRAY ? 1 : 3))
            return false;
        return (jc == JPEG_COLOUR_GRAY && oc == JPEG_COLOUR_GRAY && nch == 1) ||
               ((oc == JPEG_COLOUR_RGB || oc == JPEG_COLOUR_BGR) && nch == 3) ||
               (oc == JPEG_COLOUR_INV_RGBA && nch == 4);
    case JPEG_COLOUR_YCBCR:
        return n == 3 && ((oc == JPEG_COLOUR_GRAY && nch == 1) ||
                          ((oc == JPEG_COLOUR_RGB || oc == JPEG_COLOUR_BGR) && nch == 3) ||
                          (oc == JPEG_COLOUR_INV_RGBA && nch == 4) ||
                          (oc == JPEG_COLOUR_YCBCR && (nch == 2 || nch == 3)));
    case JPEG_COLOUR_INV_RGBA:
    case JPEG_COLOUR_YCCK:
        return n == 4 && oc == JPEG_COLOUR_INV_RGBA && nch == 4;
    case JPEG_COLOUR_OTHER:
        return oc == JPEG_COLOUR_OTHER;
    default:
        return false;
    }
}

bool RegionAsked(const JPEG_PROPERTIES& p)
{
    const JpegRegion& r = p.OutputRegion;
    return r.Left != 0 || r.Top != 0 || r.Right != 0 || r.Bottom != 0;
}

// Output colour, region and target of the image read; chooses the writer.
int PrepareOutput(CodecState& s, JPEG_PROPERTIES& props)
{
    DecoderState& d = s.dec;
    Settings& t = s.settings;
    t.jpegColour = JpegStreamColour(s);
    d.regionActive = false;
    d.region = {};
    if (d.planeOutput != 0) // no pixels: every frame has its planes
        return d.reduction == 1 && !RegionAsked(props) ? 0 : JPEG_INVALID_PROPERTIES;
    if (!AcceptedReadPair(t.jpegColour, d.componentCount, t.imageColour, t.imageChannels))
        return JPEG_INVALID_PROPERTIES;
    if (int rc = JpegSelectOutputKernel(s))
        return rc;

    const JpegRegion& r = props.OutputRegion;
    const bool active = (r.Right != 0 && r.Right < d.outWidth) || (r.Bottom != 0 && r.Bottom < d.outHeight) ||
                        r.Left >= 1 || r.Top >= 1;
    d.regionActive = active;
    d.region = {};
    if (active) {
        d.region.left = std::max(r.Left, 0);
        d.region.top = std::max(r.Top, 0);
        d.region.right = r.Right <= 0 ? d.outWidth : std::min(r.Right, d.outWidth);
        d.region.bottom = r.Bottom <= 0 ? d.outHeight : std::min(r.Bottom, d.outHeight);
        if (d.region.left >= d.region.right || d.region.top >= d.region.bottom)
            return JPEG_INVALID_PROPERTIES;
    }
    const ptrdiff_t stride = static_cast<ptrdiff_t>(t.imageWidth) * t.imageChannels + t.imagePadBytes;
    d.outBytes = t.imageChannels;
    d.outStride = t.imageHeight < 0 ? -stride : stride;
    d.outBase = t.imageBytes;
    if (t.imageHeight < 0)
        d.outBase = t.imageBytes + static_cast<ptrdiff_t>(-t.imageHeight - 1) * stride;
    d.clipWidth = active ? t.imageWidth : std::min(t.imageWidth, d.outWidth);
    d.clipHeight = active ? std::abs(t.imageHeight) : std::min(std::abs(t.imageHeight), d.outHeight);
    d.stripMcuRows = 0;
    if (t.stripRows > 0) {
        // Whole MCU rows a strip, top-down, every pixel of a row.
        if (active || d.smooth || t.imageHeight < 0 || t.stripRows < std::min(d.mcuOutHeight, d.outHeight))
            return JPEG_INVALID_PROPERTIES;
        d.stripMcuRows = std::max(1, t.stripRows / d.mcuOutHeight);
        d.stripClipHeight = d.clipHeight;
        JpegPlaceStrip(d, 0);
    }
    return 0;
}

void PrepareDequant(DecoderState& d, int table, int method)
{
    if (d.dequantMethod[table] == method)
        return;
    if (method == 1) {
        JpegPrepareDequantAccurate(d.quantValues[table], d.dequant[table]);
        for (int i = 0; i < 64; ++i)
            d.dequantLow[table][i] = static_cast<int16_t>(static_cast<uint16_t>(d.dequant[table][i]));
    } else
        JpegPrepareDequantFast(d.quantValues[table], d.dequant[table]);
    d.dequantMethod[table] = method;
}

// The restart index belongs to one image: a different stream, scan or frame
// starts a new one.
void PrepareRestartIndex(CodecState& s, const JPEG_PROPERTIES& props)
{
    DecoderState& d = s.dec;
    RestartIndexKey key;
    if (d.source.isFile())
        key.file = props.JpegFile ? props.JpegFile : "";
    key.base = d.source.base;
    key.size = d.source.size;
    key.scanOffset = d.source.bits.consumed;
    key.width = d.width;
    key.height = d.height;
    key.interval = d.restartInterval;
    for (int c = 0; c < d.componentCount; ++c)
        key.factors[c] = d.components[c].h * 16 + d.components[c].v;
    if (key == d.restartIndexKey && static_cast<int>(d.restartIndex.size()) == d.mcuRows)
        return;
    d.restartIndex.assign(static_cast<size_t>(d.mcuRows), RestartEntry{});
    d.restartIndexKey = key;
}

// A buffered scan is done: which components are complete now.
void NoteBufferedScan(DecoderState& d, const DecodeScanRecord& scan)
{
    for (int k = 0; k < scan.ns; ++k) {
        const int c = scan.components[k].index;
        if (!d.progressive) {
            d.dcComplete[c] = d.acComplete[c] = true;
            continue;
        }
        if (scan.ss == 0 && scan.al == 0)
            d.dcComplete[c] = true;
        if (scan.ss > 0 && scan.se == 63 && scan.al == 0)
            d.acComplete[c] = true;
    }
    d.storeChanged = true;
}

bool StoreComplete(const DecoderState& d)
{
    for (int c = 0; c < d.componentCount; ++c) {
        if (!d.dcComplete[c] || !d.acComplete[c])
            return false;
    }
    return true;
}

// Decodes the current scan and does the bookkeeping after it.
int RunScan(CodecState& s, JPEG_PROPERTIES& props)
{
    DecoderState& d = s.dec;
    const int rc = JpegDecodeScan(s, props);
    if (rc == JPEG_INTERRUPTED)
        return rc;
    const DecodeScanRecord scan = *d.scan;
    d.scan.reset();
    if (rc != 0)
        return rc;
    if (scan.buffered) {
        NoteBufferedScan(d, scan);
        // Strips take the store once, at the end of the image.
        if (StoreComplete(d) && !d.regionActive && d.stripMcuRows == 0)
            return JpegOutputStore(s);
    }
    return 0;
}

// End of the image (EOI, or the end of the data): a store not yet put out
// since it last changed is put out now. A strip read puts it out a strip a
// call, each returning 1; the call after the last returns `result`.
int FinishImage(CodecState& s, int result)
{
    DecoderState& d = s.dec;
    if (d.scanCounter > 0 && d.stripMcuRows > 0) {
        d.storeStripRow = 0;
        d.stripResult = result;
        return JpegOutputStoreStrip(s);
    }
    if (d.scanCounter > 0 && (d.storeChanged || d.regionActive))
        return JpegOutputStore(s);
    return d.regionActive ? JPEG_ROI_SUCCESS : 0;
}

} // namespace

int JpegStreamColour(const CodecState& s)
{
    const DecoderState& d = s.dec;
    switch (d.componentCount) {
    case 1:
        return JPEG_COLOUR_GRAY;
    case 3:
        return d.adobeSeen && d.adobeTransform == 0 ? JPEG_COLOUR_RGB : JPEG_COLOUR_YCBCR;
    case 4:
        return d.adobeSeen && d.adobeTransform == 2 ? JPEG_COLOUR_YCCK : JPEG_COLOUR_INV_RGBA;
    default:
        return JPEG_COLOUR_OTHER;
    }
}

int JpegBeginScan(CodecState& s, JPEG_PROPERTIES& props)
{
    DecoderState& d = s.dec;
    if (!d.frameSeen)
        return JPEG_NO_FRAME;
    DecodeScanRecord scan;
    if (int rc = ReadScanHeader(s, scan))
        return rc;
    const bool progressive = d.progressive;
    for (int k = 0; k < scan.ns; ++k) {
        const DecodeScanComponent& sc = scan.components[k];
        const bool needsDc = !progressive || (scan.ss == 0 && scan.ah == 0);
        const bool needsAc = !progressive || scan.ss > 0;
        if ((needsDc && !d.dcTables[sc.dcTable].built) || (needsAc && !d.acTables[sc.acTable].built))
            return JPEG_NO_HUFFMAN_TABLE;
        if (!d.quantDefined[sc.quantTable])
            return JPEG_NO_QUANT_TABLE;
    }
    if (d.stripScanTaken)
        return JPEG_NOT_SUPPORTED; // a strip read puts out one scan
    if (d.scanCounter == 0) {
        if (int rc = PrepareOutput(s, props))
            return rc;
    }
    for (int c = 0; c < d.componentCount; ++c) {
        if (d.quantDefined[d.components[c].quantNumber])
            PrepareDequant(d, d.components[c].quantNumber, s.settings.dctMethod);
    }
    scan.restartInterval = d.restartInterval;
    scan.buffered = progressive || scan.ns < d.componentCount || d.scanCounter > 0 || d.planeOutput != 0;
    // A direct scan's strips go straight to the caller; a buffered image's
    // go out of the store at the end of the stream.
    if (d.stripMcuRows > 0 && !scan.buffered)
        d.stripScanTaken = true;
    if (scan.buffered) {
        if (d.scanCounter == 0) {
            if (int rc = JpegAllocateStore(s))
                return rc;
        }
        ++d.scanCounter;
    } else {
        PrepareRestartIndex(s, props);
    }
    d.source.bits.eobRun = 0;
    d.source.bits.bitBuffer = 0;
    d.source.bits.bitCount = 0;
    d.scan = scan;
    return 0;
}

int JpegReadStream(CodecState& s, JPEG_PROPERTIES& props, int mode)
{
    DecoderState& d = s.dec;
    const bool header = JpegIsHeaderMode(mode);
    const bool tablesOnly = mode == 4 || mode == 5;
    bool imageEnded = false; // a tables-only part ended: the next marker must be SOI

    if (d.storeStripRow >= 0) {
        if (d.storeStripRow < d.mcuRows)
            return JpegOutputStoreStrip(s);
        return d.stripResult;
    }
    if (d.scan) {
        const int rc = RunScan(s, props);
        if (rc != 0)
            return rc;
    } else {
        d.frameSeen = false;
        d.scanCounter = 0;
        std::fill(std::begin(d.dcComplete), std::end(d.dcComplete), false);
        std::fill(std::begin(d.acComplete), std::end(d.acComplete), false);
        d.storeChanged = false;
        d.stripMcuRows = 0;
        d.stripScanTaken = false;
        d.adobeSeen = false;
        d.jfifSeen = false;
        int code = 0;
        if (int rc = JpegReadMarker(d.source, &code))
            return rc;
        if (code != kSoi)
            return JPEG_NOT_JPEG;
        d.restartInterval = 0;
    }

    for (;;) {
        int code = 0;
        if (int rc = JpegReadMarker(d.source, &code))
            return rc;
        if (imageEnded && code != kSoi)
            return JPEG_NO_IMAGE;
        imageEnded = false;
        int rc = 0;
        switch (code) {
        case kEndOfData:
            if (!header && d.frameSeen) {
                rc = FinishImage(s, EndCode(s));
                if (rc < 0 || rc == JPEG_INTERRUPTED)
                    return rc;
            }
            return EndCode(s);
        case kSoi:
            d.restartInterval = 0;
            break;
        case kApp0:
            rc = mode == 6 ? JpegSkipSegment(d.source) : ReadJfifSegment(s, props, mode);
            break;
        case kApp14:
            rc = ReadAdobeSegment(s, props);
            break;
        case kCom:
            rc = ReadComment(s, props, header);
            break;
        case kDqt:
            rc = ReadQuantTables(s);
            break;
        case kDht:
            rc = ReadHuffmanTables(s);
            break;
        case kDri:
            rc = ReadRestartInterval(s);
            break;
        case kSof0:
        case kSof1:
        case kSof2:
            if (tablesOnly) {
                d.stopOffset = static_cast<int64_t>(d.source.bits.consumed) - 2;
                return 0;
            }
            if (d.frameSeen)
                return JPEG_MULTIPLE_FRAMES;
            rc = ReadFrameHeader(s, code);
            break;
        case kSos:
            if (header) {
                if (!d.frameSeen)
                    return JPEG_NO_FRAME;
                d.stopOffset = static_cast<int64_t>(d.source.bits.consumed) - 2;
                return 0;
            }
            rc = JpegBeginScan(s, props);
            if (rc == 0)
                rc = RunScan(s, props);
            if (rc != 0)
                return rc;
            break;
        case kEoi:
            if (header)
                return 0;
            if (!d.frameSeen) {
                imageEnded = true; // tables only so far: an image stream follows
                break;
            }
            return FinishImage(s, 0);
        default:
            if (UnsupportedFrame(code))
                return JPEG_UNSUPPORTED_FRAME;
            if (code >= kRst0 && code <= kRst7)
                break;
            rc = JpegSkipSegment(d.source);
            break;
        }
        if (rc != 0)
            return rc;
    }
}

} // namespace thermjpeg
