// JpegInit, JpegWrite, JpegRead and JpegFree: the properties check, the copy
// of the public settings into the working state, the frame set-up, and the
// file the record keeps open between calls.
//
// A write checks everything it can before it creates the file or writes a
// byte: the fields, the colour pair, the sampling code, the preparer for the
// combination, and every table. A negative result closes the file and ends
// any suspended encode; 1 (interrupted) keeps both for the next call.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <tuple>

#include "baseline_encoder.h"
#include "bit_output.h"
#include "codec_state.h"
#include "file_io.h"
#include "mcu_preparers.h"
#include "progressive_encoder.h"
#include "stream_reader.h"
#include "stream_writer.h"
#include "thermjpeg.h"

namespace thermjpeg {
namespace {

constexpr int kMaxDimension = 65535;

bool IsFileMode(int mode) { return mode % 2 == 0; }

bool IsImageWrite(int mode)
{
    return mode == JPEG_MODE_WRITE_FILE || mode == JPEG_MODE_WRITE_MEMORY || mode == JPEG_MODE_ABBREVIATED_FILE ||
           mode == JPEG_MODE_ABBREVIATED_MEMORY;
}

bool IsTablesWrite(int mode) { return mode == JPEG_MODE_TABLES_FILE || mode == JPEG_MODE_TABLES_MEMORY; }

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

// The colour pairs a write accepts.
bool AcceptedWritePair(int layout, int bytes, int jcs, int comps)
{
    switch (layout) {
    case JPEG_COLOUR_GRAY:
        return bytes == 1 && ((jcs == JPEG_COLOUR_GRAY && comps == 1) || (jcs == JPEG_COLOUR_YCBCR && comps == 3));
    case JPEG_COLOUR_RGB:
        if (bytes == 4)
            return jcs == JPEG_COLOUR_YCBCR && comps == 3;
        [[fallthrough]];
    case JPEG_COLOUR_BGR:
        return bytes == 3 && ((jcs == JPEG_COLOUR_GRAY && comps == 1) || (jcs == JPEG_COLOUR_RGB && comps == 3) ||
                              (jcs == JPEG_COLOUR_YCBCR && comps == 3));
    case JPEG_COLOUR_INV_RGBA:
        return bytes == 4 && comps == 4 && (jcs == JPEG_COLOUR_INV_RGBA || jcs == JPEG_COLOUR_YCCK);
    case JPEG_COLOUR_YCBCR:
        return bytes == 3 && jcs == JPEG_COLOUR_YCBCR && comps == 3;
    case JPEG_COLOUR_OTHER:
        return jcs == JPEG_COLOUR_OTHER && bytes >= comps;
    default:
        return false;
    }
}

bool AcceptedSampling(int code, int comps)
{
    if (code == JPEG_SAMPLING_444)
        return true;
    if (comps == 3)
        return code == JPEG_SAMPLING_420 || code == JPEG_SAMPLING_422;
    if (comps == 4)
        return code == JPEG_SAMPLING_4220 || code == JPEG_SAMPLING_4221;
    return false;
}

int CheckWriteProperties(const JPEG_PROPERTIES& p, const CodecState& s, int mode)
{
    if (p.ReuseSettings)
        return s.settingsCopied && InRange(mode, JPEG_MODE_WRITE_FILE, JPEG_MODE_ABBREVIATED_MEMORY)
                   ? 0
                   : JPEG_INVALID_PROPERTIES;
    if (!InRange(mode, JPEG_MODE_WRITE_FILE, JPEG_MODE_ABBREVIATED_MEMORY))
        return JPEG_INVALID_PROPERTIES;

    const bool image = IsImageWrite(mode);
    if (image && p.PlaneInput == nullptr) {
        if (p.ImageBytes == nullptr || !InRange(p.ImageWidth, 1, kMaxDimension) ||
            !InRange(p.ImageHeight, -kMaxDimension, kMaxDimension) || p.ImageHeight == 0 || p.ImagePadBytes < 0 ||
            !InRange(p.ImageChannels, 1, 255))
            return JPEG_INVALID_PROPERTIES;
        if (p.ImageSampling != 0 && !(p.ImageSampling == 2 && p.ImageColour == JPEG_COLOUR_YCBCR))
            return JPEG_BAD_SUBSAMPLING;
        // Packed Y Cb Y Cr holds whole pixel pairs only.
        if (p.ImageSampling == 2 && p.ImageWidth % 2 != 0)
            return JPEG_INVALID_PROPERTIES;
    }
    // Strips of rows: top-down pixels.
    if (p.StripRows < 0 || (image && p.StripRows > 0 && (p.PlaneInput != nullptr || p.ImageHeight < 0)))
        return JPEG_INVALID_PROPERTIES;
    if (IsFileMode(mode) ? p.JpegFile == nullptr : (p.JpegBytes == nullptr || p.JpegSize <= 0))
        return JPEG_INVALID_PROPERTIES;
    if (!InRange(p.JpegChannels, 1, JPEG_MAX_COMPONENTS))
        return JPEG_INVALID_PROPERTIES;
    if (image) {
        if (!InRange(p.JpegWidth, 1, kMaxDimension) || !InRange(p.JpegHeight, 1, kMaxDimension))
            return JPEG_INVALID_PROPERTIES;
        if (p.ImageChannels < p.JpegChannels && p.ImageColour != JPEG_COLOUR_GRAY &&
            p.JpegColour != JPEG_COLOUR_YCBCR)
            return JPEG_INVALID_PROPERTIES;
        if (p.PlaneInput == nullptr) {
            // The frame is cut from the top-left of the source, never beyond it.
            if (p.JpegWidth > p.ImageWidth || p.JpegHeight > std::abs(p.ImageHeight))
                return JPEG_INVALID_PROPERTIES;
        } else {
            for (int c = 0; c < p.JpegChannels; ++c) {
                if (p.PlaneInput->Planes[c] == nullptr)
                    return JPEG_INVALID_PROPERTIES;
            }
        }
    }
    if (!AcceptedSampling(p.JpegSampling, p.JpegChannels))
        return JPEG_BAD_SUBSAMPLING;
    if (!AcceptedWritePair(p.ImageColour, p.ImageChannels, p.JpegColour, p.JpegChannels))
        return JPEG_INVALID_PROPERTIES;
    if (p.DctMethod != 0 && p.DctMethod != 1)
        return JPEG_INVALID_PROPERTIES;
    if (!InRange(p.RestartInterval, 0, 65535))
        return JPEG_INVALID_PROPERTIES;
    return 0;
}

void CopySettings(const JPEG_PROPERTIES& p, CodecState& s)
{
    Settings& t = s.settings;
    t.imageBytes = p.ImageBytes;
    t.imageWidth = p.ImageWidth;
    t.imageHeight = p.ImageHeight;
    t.imagePadBytes = p.ImagePadBytes;
    t.imageChannels = p.ImageChannels;
    t.imageColour = p.ImageColour;
    t.imageSampling = p.ImageSampling;
    t.jpegFile = p.JpegFile;
    t.jpegBytes = p.JpegBytes;
    t.jpegSize = p.JpegSize;
    t.jpegWidth = p.JpegWidth;
    t.jpegHeight = p.JpegHeight;
    t.jpegChannels = p.JpegChannels;
    t.jpegColour = p.JpegColour;
    t.jpegSampling = p.JpegSampling;
    t.quality = p.Quality;
    t.dctMethod = p.DctMethod;
    t.restartInterval = p.RestartInterval;
    t.singleBlockMcu = p.SingleBlockMcu;
    t.planeInput = p.PlaneInput;
    t.progressive = p.Progressive;
    t.stripRows = p.StripRows;
    s.settingsCopied = true;

    const bool packed = t.imageSampling == 2;
    s.pixelBytes = packed ? 2 : t.imageChannels;
    const ptrdiff_t stride = t.imagePadBytes + static_cast<ptrdiff_t>(t.imageWidth) * s.pixelBytes;
    s.stride = t.imageHeight < 0 ? -stride : stride;
    if (packed && t.imageColour == JPEG_COLOUR_YCBCR && t.jpegColour == JPEG_COLOUR_YCBCR)
        t.jpegSampling = JPEG_SAMPLING_422;
}

// Components, sampling factors, quantisation table numbers and MCU geometry.
void SetUpFrame(const JPEG_PROPERTIES& p, CodecState& s)
{
    const Settings& t = s.settings;
    s.convertColour = !(t.jpegColour == JPEG_COLOUR_RGB || t.jpegColour == JPEG_COLOUR_INV_RGBA ||
                        t.imageColour == JPEG_COLOUR_YCBCR || t.imageColour == JPEG_COLOUR_GRAY ||
                        t.imageColour == JPEG_COLOUR_OTHER);

    bool ownQuant = false;
    for (const auto& table : p.OwnQuantTables.Tables)
        ownQuant = ownQuant || (p.OwnQuantTables.Enabled && table.Values != nullptr);

    s.componentCount = t.jpegChannels;
    const int code = t.jpegSampling;
    const int yh = (code == JPEG_SAMPLING_444) ? 1 : 2;
    const int yv = (code == JPEG_SAMPLING_420 || code == JPEG_SAMPLING_4220) ? 2 : 1;
    for (int c = 0; c < s.componentCount; ++c) {
        FrameComponent& comp = s.components[c];
        comp.id = c;
        const bool full = c == 0 || c == 3;
        comp.h = full ? yh : 1;
        comp.v = full ? yv : 1;
        if (code == JPEG_SAMPLING_444) {
            if (!ownQuant)
                comp.quantNumber = (c > 0 && s.convertColour) ? 1 : 0;
        } else {
            comp.quantNumber = (c == 1 || c == 2) && s.convertColour ? 1 : 0;
        }
    }

    s.hmax = 1;
    s.vmax = 1;
    s.resample = false;
    for (int c = 0; c < s.componentCount; ++c) {
        s.hmax = std::max(s.hmax, s.components[c].h);
        s.vmax = std::max(s.vmax, s.components[c].v);
        s.resample = s.resample || s.components[c].h != 1 || s.components[c].v != 1;
    }
    s.mcuWidth = t.singleBlockMcu ? 8 : 8 * s.hmax;
    s.mcuHeight = t.singleBlockMcu ? 8 : 8 * s.vmax;
    s.mcusPerRow = (t.jpegWidth + s.mcuWidth - 1) / s.mcuWidth;
    s.mcuRows = (t.jpegHeight + s.mcuHeight - 1) / s.mcuHeight;
    s.mcuCount = static_cast<int64_t>(s.mcusPerRow) * s.mcuRows;
}

// JpegSize after a write: the bytes stored so far (a file beyond 2 GiB
// reports the largest size the field holds).
void ReportSize(JPEG_PROPERTIES& p, const CodecState& s)
{
    p.JpegSize = static_cast<int32_t>(std::min<int64_t>(s.out.byteCount(), INT32_MAX));
}

void CloseFile(CodecState& s, int& rc)
{
    if (s.out.file < 0)
        return;
    const bool closed = JpegCloseFile(s.out.file);
    s.out.file = -1;
    if (!closed && rc >= 0)
        rc = JPEG_CLOSE_ERROR;
}

int Write(JPEG_PROPERTIES& p, CodecState& s, int mode)
{
    p.Mode = mode;
    const bool continuing = s.scan.has_value();
    if (continuing && mode != s.suspendedMode)
        return JPEG_INVALID_PROPERTIES;
    if (int rc = CheckWriteProperties(p, s, mode))
        return rc;

    const bool image = IsImageWrite(mode);
    if (!continuing) {
        if (!p.ReuseSettings)
            CopySettings(p, s);
        JpegSetDefaultTables(s, p);
        SetUpFrame(p, s);
        if (image && s.settings.progressive) {
            // Only the scripted layouts; an MCU of one block whatever the
            // factors has no progressive form.
            int scans = 0;
            if (JpegCountScans(s, scans) != 0 || (s.settings.singleBlockMcu && s.resample))
                return JPEG_INVALID_PROPERTIES;
        }
        // A strip holds at least one MCU row (or the whole image).
        if (image && s.settings.stripRows > 0 &&
            s.settings.stripRows < std::min(s.mcuHeight, s.settings.jpegHeight))
            return JPEG_INVALID_PROPERTIES;
        if (image) {
            if (int rc = JpegSelectMcuPreparer(s))
                return rc;
            if (s.settings.planeInput == nullptr && s.kernels.prepareMcu == nullptr)
                return JPEG_INVALID_PROPERTIES;
        }
        if (int rc = JpegPrepareTables(s, mode))
            return rc;
    }

    if (IsFileMode(mode) && s.out.file < 0) {
        s.out.file = JpegOpenFile(s.settings.jpegFile, FileAccess::ReadWrite);
        if (s.out.file < 0)
            return JPEG_INVALID_FILE_NAME;
    }

    if (continuing && s.settings.stripRows > 0) {
        // The next strip starts at the MCU row the encode stopped before.
        if (p.ImageBytes == nullptr)
            return JPEG_INVALID_PROPERTIES;
        s.origin = p.ImageBytes;
        s.originMcuRow = s.scan->resumeRow;
    }
    if (!continuing) {
        const Settings& t = s.settings;
        s.originMcuRow = 0;
        s.origin = t.imageBytes;
        if (t.imageHeight < 0 && t.imageBytes != nullptr)
            s.origin = t.imageBytes + static_cast<ptrdiff_t>(-t.imageHeight - 1) * -s.stride;
        const int rc = JpegWriteHeader(s, p, mode);
        ReportSize(p, s);
        if (rc)
            return rc;
        if (IsTablesWrite(mode)) {
            int result = 0;
            CloseFile(s, result);
            return result;
        }
    }

    int rc = s.settings.progressive ? JpegEncodeProgressive(s, p) : JpegEncodeBaseline(s, p);
    ReportSize(p, s);
    if (rc == JPEG_INTERRUPTED) {
        s.suspendedMode = mode; // the file stays open for the next call
        return rc;
    }
    CloseFile(s, rc);
    return rc;
}

bool IsReadMode(int mode) { return InRange(mode, 0, 7) || InRange(mode, 14, 21); }

int CheckReadProperties(const JPEG_PROPERTIES& p, const CodecState& s, int mode)
{
    if (p.ReuseSettings)
        return s.settingsCopied && IsReadMode(mode) ? 0 : JPEG_INVALID_PROPERTIES;
    if (!IsReadMode(mode))
        return JPEG_INVALID_PROPERTIES;
    const bool pixels = (!JpegIsHeaderMode(mode) && p.PlaneOutput == 0) || mode >= 20;
    if (!InRange(p.PlaneOutput, 0, 2))
        return JPEG_INVALID_PROPERTIES;
    if (pixels) {
        if (p.ImageBytes == nullptr || !InRange(p.ImageWidth, 1, kMaxDimension) ||
            !InRange(p.ImageHeight, -kMaxDimension, kMaxDimension) || p.ImageHeight == 0)
            return JPEG_INVALID_PROPERTIES;
        if (mode >= 20 && p.ImageColour != JPEG_COLOUR_RGB && p.ImageColour != JPEG_COLOUR_BGR)
            return JPEG_THUMBNAIL_WRONG_COLOUR;
        if (p.ImagePadBytes < 0 || !InRange(p.ImageChannels, 1, 255))
            return JPEG_INVALID_PROPERTIES;
        if (p.ImageSampling != 0 && !(p.ImageSampling == 2 && p.ImageColour == JPEG_COLOUR_YCBCR))
            return JPEG_BAD_SUBSAMPLING;
    }
    if (IsFileMode(mode) ? p.JpegFile == nullptr : (p.JpegBytes == nullptr || p.JpegSize <= 0))
        return JPEG_INVALID_PROPERTIES;
    if (p.DctMethod != 0 && p.DctMethod != 1)
        return JPEG_INVALID_PROPERTIES;
    if (p.StripRows < 0)
        return JPEG_INVALID_PROPERTIES;
    return 0;
}

void CloseReadFile(CodecState& s, int& rc)
{
    JpegSource& source = s.dec.source;
    if (source.file < 0)
        return;
    const bool closed = JpegCloseFile(source.file);
    source.file = -1;
    if (!closed && rc >= 0)
        rc = JPEG_CLOSE_ERROR;
}

// Tables the caller gives for an abbreviated stream.
int TakeOwnTables(const JPEG_PROPERTIES& p, CodecState& s)
{
    DecoderState& d = s.dec;
    if (p.OwnQuantTables.Enabled) {
        for (const auto& table : p.OwnQuantTables.Tables) {
            if (table.Values == nullptr)
                continue;
            if (!InRange(table.Number, 0, 3))
                return JPEG_BAD_QUANT_TABLE;
            for (int k = 0; k < 64; ++k)
                d.quantValues[table.Number][k] = table.Values[k];
            d.quantDefined[table.Number] = true;
            d.dequantMethod[table.Number] = -1;
        }
    }
    if (p.OwnHuffmanTables.Enabled) {
        for (const auto& table : p.OwnHuffmanTables.Tables) {
            if (table.Bits == nullptr || table.Values == nullptr)
                continue;
            if (table.Class > 1 || table.Number > 3)
                return JPEG_BAD_HUFFMAN_TABLE;
            HuffmanDecoder& decoder = table.Class == 0 ? d.dcTables[table.Number] : d.acTables[table.Number];
            if (JpegBuildHuffmanDecoder(table.Bits, table.Values, table.Class, table.Number, decoder) != 0)
                return JPEG_BAD_HUFFMAN_TABLE;
        }
    }
    return 0;
}

void ClearTables(DecoderState& d)
{
    for (int t = 0; t < 4; ++t) {
        d.quantDefined[t] = false;
        d.dequantMethod[t] = -1;
        d.dcTables[t].built = false;
        d.acTables[t].built = false;
    }
}

int JpegSamplingCode(const DecoderState& d)
{
    auto is = [&](int c, int h, int v) { return d.components[c].h == h && d.components[c].v == v; };
    switch (d.componentCount) {
    case 1:
        return JPEG_SAMPLING_444;
    case 2:
        return is(0, 1, 1) && is(1, 1, 1) ? JPEG_SAMPLING_444 : JPEG_SAMPLING_OTHER;
    case 3:
        if (!is(1, 1, 1) || !is(2, 1, 1))
            return JPEG_SAMPLING_OTHER;
        return is(0, 1, 1) ? JPEG_SAMPLING_444 : is(0, 2, 2) ? JPEG_SAMPLING_420 : is(0, 2, 1) ? JPEG_SAMPLING_422
                                                                                              : JPEG_SAMPLING_OTHER;
    case 4:
        if (!is(1, 1, 1) || !is(2, 1, 1))
            return JPEG_SAMPLING_OTHER;
        for (const auto& [h, v, code] : {std::tuple{1, 1, 0}, std::tuple{2, 2, 3}, std::tuple{2, 1, 4}}) {
            if (is(0, h, v) && is(3, h, v))
                return code;
        }
        return JPEG_SAMPLING_OTHER;
    default:
        return JPEG_SAMPLING_OTHER;
    }
}

// The stream's parameters into the public block after a read.
void ReportStream(JPEG_PROPERTIES& p, CodecState& s, int mode)
{
    const DecoderState& d = s.dec;
    p.RestartInterval = d.restartInterval;
    if (!d.frameSeen)
        return;
    p.JpegWidth = d.width;
    p.JpegHeight = d.height;
    p.JpegChannels = d.componentCount;
    p.JpegSampling = JpegSamplingCode(d);
    p.JpegColour = JpegStreamColour(s);
    if (JpegIsHeaderMode(mode)) {
        if ((mode == 0 || mode == 1) && d.adobeSeen) {
            p.ImageChannels = d.componentCount;
            if (d.componentCount == 4)
                p.ImageColour = JPEG_COLOUR_INV_RGBA;
        }
        bool subsampled = false;
        for (int c = 0; c < d.componentCount; ++c)
            subsampled = subsampled || d.components[c].h != 1 || d.components[c].v != 1;
        p.Resample = subsampled;
        p.ConvertColour = p.JpegColour == JPEG_COLOUR_YCBCR || p.JpegColour == JPEG_COLOUR_YCCK;
    } else {
        for (int c = 0; c < d.componentCount && d.planeOutput != 0; ++c) {
            if (d.planes[c].empty())
                continue;
            p.OutputPlanes[c] = d.planes[c].data();
            p.OutputPlaneWidth[c] = d.mcusPerRow * d.components[c].h * 8;
            p.OutputPlaneHeight[c] = d.mcuRows * d.components[c].v * 8;
        }
        p.Resample = d.resample;
        p.ConvertColour = d.convertColour;
        if (p.ImageColour == JPEG_COLOUR_YCBCR && p.JpegColour == JPEG_COLOUR_YCBCR && p.ImageChannels == 2)
            p.ImageSampling = 2;
    }
}

int Read(JPEG_PROPERTIES& p, CodecState& s, int mode)
{
    DecoderState& d = s.dec;
    p.Mode = mode;
    const bool resuming = (d.scan.has_value() || d.storeStripRow >= 0) && d.suspendedMode == mode;
    if (!resuming) {
        d.scan.reset();
        d.storeStripRow = -1;
        d.suspendedMode = -1;
    }
    if (int rc = CheckReadProperties(p, s, mode))
        return rc;
    if (resuming && d.stripMcuRows > 0) {
        // The next strip goes into the buffer the caller gives now.
        if (p.ImageBytes == nullptr)
            return JPEG_INVALID_PROPERTIES;
        d.outBase = p.ImageBytes;
    }

    if (!resuming) {
        if (!p.ReuseSettings)
            CopySettings(p, s);
        if (JpegIsHeaderMode(mode))
            ClearTables(d);
        else if (int rc = TakeOwnTables(p, s))
            return rc;
        d.mode = mode;
        d.reduction = mode >= 14 && mode <= 19 ? 1 << ((mode - 12) / 2) : 1;
        d.smooth = p.SmoothUpsampling != 0;
        d.planeOutput = JpegIsHeaderMode(mode) ? 0 : p.PlaneOutput;
        for (int c = 0; c < JPEG_MAX_COMPONENTS; ++c) {
            d.planes[c].clear();
            d.planes[c].shrink_to_fit();
            p.OutputPlanes[c] = nullptr;
            p.OutputPlaneWidth[c] = p.OutputPlaneHeight[c] = 0;
        }
        d.stopOffset = -1;
        d.commentRoom = p.CommentBytes ? p.CommentLength : 0;
        p.JfifFound = 0;
        p.ThumbWidth = 0;
        p.ThumbHeight = 0;
        int rc = 0;
        CloseReadFile(s, rc);
        if (IsFileMode(mode)) {
            const int file = JpegOpenFile(s.settings.jpegFile, FileAccess::ReadOnly);
            if (file < 0)
                return JPEG_INVALID_FILE_NAME;
            JpegSourceAttachFile(d.source, file);
        } else {
            JpegSourceAttachMemory(d.source, s.settings.jpegBytes, static_cast<size_t>(s.settings.jpegSize));
        }
    }

    int rc = JpegReadStream(s, p, mode);
    if (rc == JPEG_INTERRUPTED) {
        d.suspendedMode = mode;
        p.InterruptColumn = d.interruptX;
        p.InterruptRow = d.interruptY;
        return rc;
    }
    d.scan.reset();
    d.storeStripRow = -1;
    if (rc == 0 || rc == JPEG_ROI_SUCCESS)
        ReportStream(p, s, mode);
    // A header read leaves the file at the marker it stopped in front of.
    if (rc == 0 && d.source.isFile() && d.stopOffset >= 0 &&
        !JpegSeekFile(d.source.file, d.stopOffset, SeekOrigin::Start))
        rc = JPEG_FILE_ERROR;
    if (rc < 0 || mode == 2 || mode == 4 || mode == 6)
        CloseReadFile(s, rc);
    return rc;
}

// Runs one operation of a record: exceptions become result codes.
template <class Body>
int Guarded(Body body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return JPEG_MEMORY_ERROR;
    } catch (...) {
        return JPEG_EXCEPTION;
    }
}

} // namespace
} // namespace thermjpeg

using namespace thermjpeg;

extern "C" int JpegInit(JPEG_PROPERTIES* properties)
{
    if (properties == nullptr)
        return JPEG_INVALID_PROPERTIES;
    JPEG_PROPERTIES& p = *properties;
    const int32_t reserved = p.Reserved;
    p = JPEG_PROPERTIES{};
    p.Reserved = reserved;

    auto* state = new (std::nothrow) JpegCodecState;
    if (state == nullptr)
        return JPEG_MEMORY_ERROR;
    const int cpuCode = JpegDetectCpu();
    JpegFillKernels(state->kernels, cpuCode);
    p.CpuCode = cpuCode;
    p.Codec = state;

    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_BGR;
    p.JpegChannels = 3;
    p.JpegColour = JPEG_COLOUR_YCBCR;
    p.JpegSampling = JPEG_SAMPLING_420;
    p.ConvertColour = 1;
    p.Resample = 1;
    p.Quality = 75;
    p.Mode = -1;
    p.DctMethod = 1;
    for (int c = 0; c < JPEG_MAX_COMPONENTS; ++c) {
        p.OwnHuffmanTables.DcNumber[c] = c == 0 ? 0 : 1;
        p.OwnHuffmanTables.AcNumber[c] = c == 0 ? 0 : 1;
        state->components[c].quantNumber = c == 0 ? 0 : 1;
    }
    p.AdobeVersion = 100;
    p.JfifVersion = 0x0101;
    p.JfifXDensity = 1;
    p.JfifYDensity = 1;
    return JPEG_SUCCESS;
}

extern "C" int JpegWrite(JPEG_PROPERTIES* properties, int mode)
{
    if (properties == nullptr || properties->Codec == nullptr)
        return JPEG_INVALID_PROPERTIES;
    CodecState& s = *properties->Codec;
    int rc = Guarded([&] { return Write(*properties, s, mode); });
    if (rc < 0) {
        s.scan.reset();
        CloseFile(s, rc);
    }
    s.kernels.clearSimdState();
    return rc;
}

extern "C" int JpegRead(JPEG_PROPERTIES* properties, int mode)
{
    if (properties == nullptr || properties->Codec == nullptr)
        return JPEG_INVALID_PROPERTIES;
    CodecState& s = *properties->Codec;
    int rc = Guarded([&] { return Read(*properties, s, mode); });
    if (rc < 0) {
        s.dec.scan.reset();
        s.dec.storeStripRow = -1;
        CloseReadFile(s, rc);
    }
    s.kernels.clearSimdState();
    return rc;
}

extern "C" int JpegFree(JPEG_PROPERTIES* properties)
{
    if (properties == nullptr || properties->Codec == nullptr)
        return JPEG_INVALID_PROPERTIES;
    JPEG_PROPERTIES& p = *properties;
    int rc = 0;
    CloseFile(*p.Codec, rc);
    CloseReadFile(*p.Codec, rc);
    p.OwnQuantTables = JpegOwnQuantTables{};
    p.OwnHuffmanTables.Enabled = 0;
    for (auto& table : p.OwnHuffmanTables.Tables)
        table = JpegOwnHuffmanTable{};
    delete p.Codec;
    p.Codec = nullptr;
    return rc;
}
