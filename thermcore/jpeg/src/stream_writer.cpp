#include "stream_writer.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "bit_output.h"
#include "default_tables.h"
#include "huffman_count.h"
#include "huffman_encoder.h"
#include "quantize.h"

namespace thermjpeg {
namespace {

constexpr char kCommentFormat[] = "Orvik(R) JPEG Library, version %s";
constexpr JpegVersionRecord kVersion = {1, 51, 12, "thermjpeg", "1.51.12", "[1.51.12.44]", "May 30 2001"};

constexpr int kMaxCommentLength = 65531;

// One marker segment, built whole and handed to the output in one piece.
class Segment {
public:
    explicit Segment(size_t reserve = 64) { bytes_.reserve(reserve); }
    void Marker(uint8_t code)
    {
        bytes_.push_back(0xFF);
        bytes_.push_back(code);
    }
    void Byte(int value) { bytes_.push_back(static_cast<uint8_t>(value)); }
    void Word(int value)
    {
        Byte(value >> 8);
        Byte(value);
    }
    void Bytes(const void* data, size_t count)
    {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + count);
    }
    int Write(CodecState& s) const { return s.kernels.outputWriteBytes(bytes_.data(), bytes_.size(), s.out); }

private:
    std::vector<uint8_t> bytes_;
};

bool HuffmanPairUsed(const JpegOwnHuffmanTable& dc, const JpegOwnHuffmanTable& ac)
{
    return dc.Bits && dc.Values && ac.Bits && ac.Values;
}

void PrepareQuantSlot(QuantSlot& slot, int method)
{
    if (method == 0)
        JpegPrepareQuantFast(slot.values, slot.multipliers);
    else
        JpegMakeReciprocalTable(slot.values, slot.multipliers);
    slot.preparedMethod = method;
}

int WriteFrame(CodecState& s, uint8_t marker, int firstIdentifier)
{
    const int n = s.componentCount;
    Segment seg;
    seg.Marker(marker);
    seg.Word(8 + 3 * n);
    seg.Byte(8);
    seg.Word(s.settings.jpegHeight);
    seg.Word(s.settings.jpegWidth);
    seg.Byte(n);
    for (int c = 0; c < n; ++c) {
        const FrameComponent& comp = s.components[c];
        if (n == 1) {
            seg.Byte(0);
            seg.Byte(0x11);
        } else {
            seg.Byte(firstIdentifier + c);
            seg.Byte(comp.h * 16 + comp.v);
        }
        seg.Byte(comp.quantNumber);
    }
    return seg.Write(s);
}

int WriteScanHeader(CodecState& s, int n, const uint8_t* ids, const uint8_t* dcNumbers, const uint8_t* acNumbers,
                    int ss, int se, int approximation)
{
    Segment seg;
    seg.Marker(0xDA);
    seg.Word(6 + 2 * n);
    seg.Byte(n);
    for (int i = 0; i < n; ++i) {
        seg.Byte(ids[i]);
        seg.Byte(dcNumbers[i] * 16 + acNumbers[i]);
    }
    seg.Byte(ss);
    seg.Byte(se);
    seg.Byte(approximation);
    return seg.Write(s);
}

} // namespace

const QuantSlot* JpegFindQuantSlot(const CodecState& s, int component)
{
    const QuantSlot* found = nullptr;
    for (int i = 0; i < s.quantCount; ++i) {
        const QuantSlot& slot = s.quant[i];
        if (slot.base && slot.scaled && slot.number == s.components[component].quantNumber)
            found = &slot;
    }
    return found;
}

int JpegComponentTables(const CodecState& s, int component, ComponentTables& tables)
{
    const int dc = s.dcNumber[component], ac = s.acNumber[component];
    if (dc > 3 || ac > 3 || !s.dcEncoders[dc].built || !s.acEncoders[ac].built)
        return JPEG_NO_HUFFMAN_TABLE;
    tables.dc = &s.dcEncoders[dc];
    tables.ac = &s.acEncoders[ac];
    tables.quant = JpegFindQuantSlot(s, component);
    return tables.quant ? 0 : JPEG_NO_QUANT_TABLE;
}

int JpegSetDefaultTables(CodecState& s, const JPEG_PROPERTIES& p)
{
    const JpegOwnQuantTables& oq = p.OwnQuantTables;
    bool ownQuant = false;
    if (oq.Enabled) {
        for (const auto& t : oq.Tables)
            ownQuant = ownQuant || t.Values != nullptr;
    }
    if (ownQuant) {
        s.quantCount = 0;
        for (const auto& t : oq.Tables) {
            if (t.Values == nullptr)
                continue;
            QuantSlot& slot = s.quant[s.quantCount++];
            if (slot.base != t.Values || slot.number != t.Number)
                slot = QuantSlot{};
            slot.base = t.Values;
            slot.number = t.Number;
        }
    } else {
        if (s.quantCount != 2 || s.quant[0].base != kLuminanceQuant || s.quant[1].base != kChrominanceQuant) {
            s.quant[0] = QuantSlot{};
            s.quant[1] = QuantSlot{};
        }
        s.quant[0].base = kLuminanceQuant;
        s.quant[0].number = 0;
        s.quant[1].base = kChrominanceQuant;
        s.quant[1].number = 1;
        s.quant[2] = QuantSlot{};
        s.quant[3] = QuantSlot{};
        s.quantCount = 2;
    }

    const JpegOwnHuffmanTables& oh = p.OwnHuffmanTables;
    bool ownHuffman = false;
    if (oh.Enabled) {
        for (int k = 0; k < 4; ++k)
            ownHuffman = ownHuffman || HuffmanPairUsed(oh.Tables[2 * k], oh.Tables[2 * k + 1]);
    }
    for (auto& entry : s.huffman)
        entry = HuffmanEntry{};
    if (ownHuffman) {
        s.huffmanPairCount = 0;
        for (int k = 0; k < 4; ++k) {
            const JpegOwnHuffmanTable& dc = oh.Tables[2 * k];
            const JpegOwnHuffmanTable& ac = oh.Tables[2 * k + 1];
            if (!HuffmanPairUsed(dc, ac))
                continue;
            const int pair = s.huffmanPairCount++;
            s.huffman[2 * pair] = HuffmanEntry{dc.Bits, dc.Values, dc.Class, dc.Number};
            s.huffman[2 * pair + 1] = HuffmanEntry{ac.Bits, ac.Values, ac.Class, ac.Number};
        }
        for (int c = 0; c < JPEG_MAX_COMPONENTS; ++c) {
            s.dcNumber[c] = oh.DcNumber[c];
            s.acNumber[c] = oh.AcNumber[c];
        }
    } else {
        s.huffmanPairCount = 2;
        s.huffman[0] = HuffmanEntry{kDcLuminanceBits, kDcLuminanceValues, 0, 0};
        s.huffman[1] = HuffmanEntry{kAcLuminanceBits, kAcLuminanceValues, 1, 0};
        s.huffman[2] = HuffmanEntry{kDcChrominanceBits, kDcChrominanceValues, 0, 1};
        s.huffman[3] = HuffmanEntry{kAcChrominanceBits, kAcChrominanceValues, 1, 1};
        for (int c = 0; c < JPEG_MAX_COMPONENTS; ++c) {
            s.dcNumber[c] = c == 0 ? 0 : 1;
            s.acNumber[c] = c == 0 ? 0 : 1;
        }
    }
    return 0;
}

void JpegScaleQuantTable(int quality, const uint8_t* base, uint16_t* out)
{
    int q = quality <= 0 ? 1 : quality > 100 ? 100 : quality;
    const int scale = q < 50 ? 5000 / q : 200 - 2 * q;
    for (int i = 0; i < 64; ++i) {
        int v = (base[i] * scale + 50) / 100;
        out[i] = static_cast<uint16_t>(v <= 0 ? 1 : v > 255 ? 255 : v);
    }
}

int JpegPrepareTables(CodecState& s, int mode)
{
    const int method = s.settings.dctMethod;
    if (method != 0 && method != 1)
        return JPEG_INVALID_PROPERTIES;

    for (int i = 0; i < s.quantCount; ++i) {
        const QuantSlot& slot = s.quant[i];
        if (slot.number < 0 || slot.number > 3)
            return JPEG_BAD_QUANT_TABLE;
        for (int j = 0; j < i; ++j) {
            if (s.quant[j].number == slot.number)
                return JPEG_BAD_QUANT_TABLE;
        }
    }
    for (int i = 0; i < s.huffmanPairCount * 2; ++i) {
        const HuffmanEntry& e = s.huffman[i];
        if (e.number < 0 || e.number > 3 || e.cls != (i & 1))
            return JPEG_BAD_HUFFMAN_TABLE;
    }

    const bool keepScaled = mode == JPEG_MODE_ABBREVIATED_FILE || mode == JPEG_MODE_ABBREVIATED_MEMORY;
    for (int i = 0; i < s.quantCount; ++i) {
        QuantSlot& slot = s.quant[i];
        if (!keepScaled || !slot.scaled) {
            JpegScaleQuantTable(s.settings.quality, slot.base, slot.values);
            slot.scaled = true;
        }
        PrepareQuantSlot(slot, method);
    }

    for (auto& e : s.dcEncoders)
        e = HuffmanEncoder{};
    for (auto& e : s.acEncoders)
        e = HuffmanEncoder{};
    for (int i = 0; i < s.huffmanPairCount * 2; ++i) {
        const HuffmanEntry& e = s.huffman[i];
        HuffmanEncoder& target = (i & 1) ? s.acEncoders[e.number] : s.dcEncoders[e.number];
        if (int rc = JpegBuildHuffmanEncoder(e.bits, e.values, target))
            return rc;
    }

    if (mode == JPEG_MODE_TABLES_FILE || mode == JPEG_MODE_TABLES_MEMORY)
        return 0;
    ComponentTables tables;
    for (int c = 0; c < s.componentCount; ++c) {
        const int rc = JpegComponentTables(s, c, tables);
        if (rc == JPEG_NO_HUFFMAN_TABLE && s.settings.progressive) {
            if (!JpegFindQuantSlot(s, c))
                return JPEG_NO_QUANT_TABLE;
        } else if (rc) {
            return rc;
        }
    }
    return 0;
}

int JpegWriteSoi(CodecState& s)
{
    const uint8_t bytes[] = {0xFF, 0xD8};
    return s.kernels.outputWriteBytes(bytes, sizeof bytes, s.out);
}

int JpegWriteEoi(CodecState& s)
{
    const uint8_t bytes[] = {0xFF, 0xD9};
    return s.kernels.outputWriteBytes(bytes, sizeof bytes, s.out);
}

int JpegWriteJfif(CodecState& s, const JPEG_PROPERTIES& p)
{
    Segment seg;
    seg.Marker(0xE0);
    seg.Word(16);
    seg.Bytes("JFIF", 5);
    seg.Word(p.JfifVersion);
    seg.Byte(p.JfifUnits);
    seg.Word(p.JfifXDensity);
    seg.Word(p.JfifYDensity);
    seg.Byte(0);
    seg.Byte(0);
    return seg.Write(s);
}

int JpegWriteAdobe(CodecState& s, const JPEG_PROPERTIES& p, int transform)
{
    Segment seg;
    seg.Marker(0xEE);
    seg.Word(14);
    seg.Bytes("Adobe", 5);
    seg.Word(p.AdobeVersion);
    seg.Word(p.AdobeFlags0);
    seg.Word(p.AdobeFlags1);
    seg.Byte(transform);
    return seg.Write(s);
}

int JpegWriteComment(CodecState& s, JPEG_PROPERTIES& p)
{
    if (p.CommentBytes != nullptr && p.CommentLength != 0) {
        if (p.CommentLength > kMaxCommentLength)
            p.CommentLength = kMaxCommentLength;
        Segment seg(p.CommentLength + 4u);
        seg.Marker(0xFE);
        seg.Word(p.CommentLength + 2);
        seg.Bytes(p.CommentBytes, p.CommentLength);
        return seg.Write(s);
    }
    char text[80] = {};
    const int length = std::snprintf(text, sizeof text, kCommentFormat, kVersion.FullVersion);
    if (length <= static_cast<int>(std::strlen(kCommentFormat)))
        return 0;
    Segment seg;
    seg.Marker(0xFE);
    seg.Word(length + 3);
    seg.Bytes(text, static_cast<size_t>(length) + 1);
    return seg.Write(s);
}

int JpegWriteDqt(CodecState& s, int precision, int number, const uint16_t* zigzagValues)
{
    Segment seg;
    seg.Marker(0xDB);
    seg.Word(precision ? 131 : 67);
    seg.Byte(precision * 16 + number);
    for (int k = 0; k < 64; ++k) {
        if (precision)
            seg.Word(zigzagValues[k]);
        else
            seg.Byte(zigzagValues[k] & 0xFF);
    }
    return seg.Write(s);
}

int JpegWriteDht(CodecState& s)
{
    int length = 2;
    for (int i = 0; i < s.huffmanPairCount * 2; ++i) {
        const int count = JpegHuffmanSymbolCount(s.huffman[i].bits);
        if (count > 256)
            return JPEG_BAD_HUFFMAN_TABLE;
        length += 17 + count;
    }
    Segment seg(static_cast<size_t>(length) + 2);
    seg.Marker(0xC4);
    seg.Word(length);
    for (int i = 0; i < s.huffmanPairCount * 2; ++i) {
        const HuffmanEntry& e = s.huffman[i];
        seg.Byte(e.cls * 16 + e.number);
        seg.Bytes(e.bits, 16);
        seg.Bytes(e.values, static_cast<size_t>(JpegHuffmanSymbolCount(e.bits)));
    }
    return seg.Write(s);
}

int JpegWriteDhtTable(CodecState& s, const uint8_t* bits, const uint8_t* values, int cls, int number)
{
    const int count = JpegHuffmanSymbolCount(bits);
    if (count > 256)
        return JPEG_BAD_HUFFMAN_TABLE;
    Segment seg(static_cast<size_t>(count) + 21);
    seg.Marker(0xC4);
    seg.Word(19 + count);
    seg.Byte(cls * 16 + number);
    seg.Bytes(bits, 16);
    seg.Bytes(values, static_cast<size_t>(count));
    return seg.Write(s);
}

int JpegWriteSof0(CodecState& s) { return WriteFrame(s, 0xC0, 1); }
int JpegWriteSof2(CodecState& s) { return WriteFrame(s, 0xC2, 0); }

int JpegWriteDri(CodecState& s, int interval)
{
    Segment seg;
    seg.Marker(0xDD);
    seg.Word(4);
    seg.Word(interval);
    return seg.Write(s);
}

int JpegWriteSos(CodecState& s)
{
    const int n = s.componentCount;
    uint8_t ids[JPEG_MAX_COMPONENTS];
    for (int c = 0; c < n; ++c)
        ids[c] = static_cast<uint8_t>(n == 1 ? 0 : c + 1);
    return WriteScanHeader(s, n, ids, s.dcNumber, s.acNumber, 0, 63, 0);
}

int JpegWriteScanSos(CodecState& s, const ScanRecord& scan, const uint8_t* dcNumbers, const uint8_t* acNumbers)
{
    uint8_t ids[JPEG_MAX_COMPONENTS];
    for (int i = 0; i < scan.componentCount; ++i)
        ids[i] = static_cast<uint8_t>(scan.components[i].index);
    return WriteScanHeader(s, scan.componentCount, ids, dcNumbers, acNumbers, scan.ss, scan.se,
                           scan.ah * 16 + scan.al);
}

int JpegWriteRst(CodecState& s, int number)
{
    if (number < 0 || number > 7)
        return JPEG_BAD_RST_MARKER;
    const uint8_t bytes[] = {0xFF, static_cast<uint8_t>(0xD0 + number)};
    return s.kernels.outputWriteBytes(bytes, sizeof bytes, s.out);
}

int JpegWriteHeader(CodecState& s, JPEG_PROPERTIES& p, int mode)
{
    s.kernels.outputInit(s.out, s.settings.jpegBytes, s.settings.jpegSize);
    if (int rc = JpegWriteSoi(s))
        return rc;
    if (mode >= JPEG_MODE_WRITE_FILE && mode <= JPEG_MODE_TABLES_MEMORY) {
        const int jcs = s.settings.jpegColour;
        int rc;
        if (jcs == JPEG_COLOUR_RGB || jcs == JPEG_COLOUR_INV_RGBA)
            rc = JpegWriteAdobe(s, p, 0);
        else if (jcs == JPEG_COLOUR_YCCK)
            rc = JpegWriteAdobe(s, p, 2);
        else
            rc = JpegWriteJfif(s, p);
        if (rc)
            return rc;
        if (int rc2 = JpegWriteComment(s, p))
            return rc2;
        for (int i = 0; i < s.quantCount; ++i) {
            if (int rc3 = JpegWriteDqt(s, 0, s.quant[i].number, s.quant[i].values))
                return rc3;
        }
        if (!s.settings.progressive) {
            if (int rc4 = JpegWriteDht(s))
                return rc4;
        }
    }
    if (s.settings.dctMethod == 1) {
        s.kernels.fdctCurrent = s.kernels.fdctAccurate;
        s.kernels.quantizeCurrent = s.kernels.quantizeAccurate;
    } else {
        s.kernels.fdctCurrent = s.kernels.fdctFast;
        s.kernels.quantizeCurrent = s.kernels.quantizeFast;
    }
    if (mode == JPEG_MODE_TABLES_FILE || mode == JPEG_MODE_TABLES_MEMORY) {
        if (int rc = JpegWriteEoi(s))
            return rc;
    }
    return s.out.isFile() ? JpegFinishOutput(s.out) : 0;
}

} // namespace thermjpeg

extern "C" const JpegVersionRecord* JpegLibraryVersion(void) { return &thermjpeg::kVersion; }
