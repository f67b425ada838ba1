#include "scan_decoder.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "codec_state.h"
#include "output_stage.h"

namespace thermjpeg {
namespace {

// MCU rows and columns (inclusive) of a grid that the output region needs.
struct McuRange {
    int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
};

McuRange OutputRange(const DecoderState& d, int cols, int rows)
{
    if (!d.regionActive)
        return {0, cols - 1, 0, rows - 1};
    McuRange r;
    r.c0 = std::min(d.region.left / d.mcuOutWidth, cols - 1);
    r.c1 = std::clamp((d.region.right - 1) / d.mcuOutWidth, r.c0, cols - 1);
    r.r0 = std::min(d.region.top / d.mcuOutHeight, rows - 1);
    r.r1 = std::clamp((d.region.bottom - 1) / d.mcuOutHeight, r.r0, rows - 1);
    return r;
}

// Smoothing needs the neighbours of every MCU it puts out.
McuRange DecodeRange(const DecoderState& d, const McuRange& out, int cols, int rows)
{
    if (d.smoothKind == 0)
        return out;
    return {std::max(out.c0 - 1, 0), std::min(out.c1 + 1, cols - 1), std::max(out.r0 - (d.smoothKind == 2), 0),
            std::min(out.r1 + (d.smoothKind == 2), rows - 1)};
}

bool InterruptRequested(JPEG_PROPERTIES& p)
{
    return std::atomic_ref<int32_t>(p.InterruptFlag).load(std::memory_order_relaxed) != 0;
}

void ClearInterrupt(JPEG_PROPERTIES& p) { std::atomic_ref<int32_t>(p.InterruptFlag).store(0, std::memory_order_relaxed); }

// ---- The output sink: straight to the writer, or through the rows that
// smoothing keeps (one MCU row behind for 2x2 chroma, at each row's end for
// 2x1 chroma).

int16_t* Slot(DecoderState& d, int column, int row)
{
    return d.neighbourRows.data() + (static_cast<size_t>(row % 3) * d.mcusPerRow + column) * d.blocksPerMcu * 64;
}

int SinkBegin(CodecState& s)
{
    DecoderState& d = s.dec;
    if (d.smoothKind == 0)
        return 0;
    const size_t need = size_t{3} * d.mcusPerRow * d.blocksPerMcu * 64;
    if (d.neighbourRows.size() != need) {
        try {
            d.neighbourRows.assign(need, 0);
        } catch (const std::bad_alloc&) {
            return JPEG_MEMORY_ERROR;
        }
    }
    return 0;
}

void SinkPut(CodecState& s, int column, int row)
{
    DecoderState& d = s.dec;
    if (d.smoothKind == 0) {
        d.mcuSamples = s.mcuBuffer;
        JpegOutputMcu(s, column, row); // an MCU outside the region writes nothing
        return;
    }
    std::memcpy(Slot(d, column, row), s.mcuBuffer, sizeof(int16_t) * 64 * d.blocksPerMcu);
}

void SinkOutputRow(CodecState& s, const McuRange& out, int row)
{
    DecoderState& d = s.dec;
    if (row < out.r0 || row > out.r1)
        return;
    for (int column = out.c0; column <= out.c1; ++column) {
        d.mcuSamples = Slot(d, column, row);
        JpegOutputMcu(s, column, row);
    }
}

void SinkRowDone(CodecState& s, const McuRange& out, int row)
{
    if (s.dec.smoothKind == 1)
        SinkOutputRow(s, out, row);
    else if (s.dec.smoothKind == 2 && row > 0)
        SinkOutputRow(s, out, row - 1);
}

void SinkFinish(CodecState& s, const McuRange& out, int lastRow)
{
    if (s.dec.smoothKind == 2)
        SinkOutputRow(s, out, lastRow);
}

void Dequantize(CodecState& s, int component, int16_t* block)
{
    s.kernels.dequantizeCurrent(block, s.dec.dequant[s.dec.components[component].quantNumber]);
}

// True when the scan's entropy-coded data has run out: no bit left, no
// end-of-band run pending, and the input ends (or a marker other than a
// restart marker comes) before another byte of it. Every MCU after that
// would be made of nothing, so the scan stops there instead of walking a
// frame of any claimed size.
bool EntropyDataEnded(BitReader& bits)
{
    if (bits.bitCount > 0 || bits.eobRun > 0)
        return false;
    if (JpegFillBits(bits, 1) != kStatusNoMoreBits)
        return false;
    return bits.bitCount == 0 && !(bits.marker >= 0xD0 && bits.marker <= 0xD7);
}

// ---- Restart index.

void RecordRow(DecoderState& d, const DecodeScanRecord& scan, int row)
{
    if (row >= static_cast<int>(d.restartIndex.size()) || d.restartIndex[row].offset >= 0)
        return;
    RestartEntry& e = d.restartIndex[row];
    e.offset = static_cast<int64_t>(d.source.bits.consumed);
    std::copy(scan.dcPredictor, scan.dcPredictor + 4, e.dc);
    e.bitBuffer = d.source.bits.bitBuffer;
    e.bitCount = d.source.bits.bitCount;
    e.marker = d.source.bits.marker;
}

int RestoreRow(DecoderState& d, DecodeScanRecord& scan, int row)
{
    const RestartEntry& e = d.restartIndex[row];
    if (int rc = JpegSourceSeek(d.source, e.offset))
        return rc;
    std::copy(e.dc, e.dc + 4, scan.dcPredictor);
    d.source.bits.bitBuffer = e.bitBuffer;
    d.source.bits.bitCount = e.bitCount;
    d.source.bits.marker = e.marker;
    return 0;
}

// Decodes the blocks of the MCU (column, row) of an interleaved sequential
// scan into the MCU buffer (quantised coefficients), or only its DC
// predictors.
int DecodeMcu(CodecState& s, DecodeScanRecord& scan, bool full)
{
    DecoderState& d = s.dec;
    for (int k = 0; k < scan.ns; ++k) {
        const DecodeScanComponent& sc = scan.components[k];
        const HuffmanDecoder& dc = d.dcTables[sc.dcTable];
        const HuffmanDecoder& ac = d.acTables[sc.acTable];
        int16_t* block = s.mcuBuffer + d.blockOffset[sc.index] * 64;
        for (int b = 0; b < sc.h * sc.v; ++b, block += 64) {
            int rc;
            if (full) {
                rc = s.kernels.decodeBlock(d.source.bits, dc, ac, &scan.dcPredictor[k], block);
            } else {
                rc = s.kernels.decodeBlockDc(d.source.bits, dc, ac, &scan.dcPredictor[k], nullptr);
            }
            if (rc < 0)
                return rc;
        }
    }
    return 0;
}

// Passes over rows [first, last) with the DC-only decoder, recording the
// index. Returns 0, 1 (scan ended at a marker) or a negative code.
int SkipRows(CodecState& s, DecodeScanRecord& scan, int first, int last)
{
    DecoderState& d = s.dec;
    for (int row = first; row < last; ++row) {
        RecordRow(d, scan, row);
        for (int column = 0; column < d.mcusPerRow; ++column) {
            if (DecodeMcu(s, scan, false) < 0)
                return JPEG_DATA_ERROR;
            const int rc = JpegCheckRestart(d.source, scan, d.mcusPerRow, d.mcuRows, column, row);
            if (rc < 0)
                return JPEG_BAD_RST_MARKER;
            if (rc > 0)
                return 1;
        }
    }
    return 0;
}

// Strip reads: after MCU row `row`, true when the strip is complete (its
// last row or the image's); the scan then resumes at the next row, whose
// strip is placed at the buffer's first row.
bool StripComplete(DecoderState& d, DecodeScanRecord& scan, int row)
{
    if (d.stripMcuRows == 0 || ((row + 1) % d.stripMcuRows != 0 && row + 1 < d.mcuRows))
        return false;
    scan.resumeRow = row + 1;
    scan.resumeColumn = 0;
    d.interruptX = d.outWidth;
    d.interruptY = std::min((row + 1) * d.mcuOutHeight, d.outHeight);
    if (row + 1 < d.mcuRows)
        JpegPlaceStrip(d, row + 1);
    return true;
}

// Sequential scan of every component, MCU by MCU to the output.
int DecodeDirect(CodecState& s, JPEG_PROPERTIES& p, DecodeScanRecord& scan)
{
    DecoderState& d = s.dec;
    const int cols = d.mcusPerRow, rows = d.mcuRows;
    const McuRange out = OutputRange(d, cols, rows);
    const McuRange dec = DecodeRange(d, out, cols, rows);
    const bool region = d.regionActive;
    const bool strips = d.stripMcuRows > 0;
    int startRow = scan.resumeRow, startColumn = scan.resumeColumn;
    if (startRow == 0 && startColumn == 0) {
        if (int rc = SinkBegin(s))
            return rc;
        if (region && dec.r0 > 0) {
            int known = dec.r0;
            while (known > 0 && d.restartIndex[known].offset < 0)
                --known;
            if (known > 0) {
                if (int rc = RestoreRow(d, scan, known))
                    return rc;
            }
            int rc = SkipRows(s, scan, known, dec.r0);
            if (rc < 0)
                return rc;
            if (rc > 0)
                return region ? JPEG_ROI_SUCCESS : 0;
            startRow = dec.r0;
        }
    }
    for (int row = startRow; row <= dec.r1; ++row) {
        // A strip read checks at every row but its first, as one call does.
        if (!scan.dataEnded && (row > startRow || (strips && row > 0)) && EntropyDataEnded(d.source.bits)) {
            if (!strips) {
                SinkFinish(s, out, row - 1);
                return region ? JPEG_ROI_SUCCESS : 0;
            }
            scan.dataEnded = true; // the remaining strips keep what the buffer holds
        }
        if (scan.dataEnded) {
            if (StripComplete(d, scan, row))
                return JPEG_INTERRUPTED;
            continue;
        }
        RecordRow(d, scan, row);
        for (int column = row == startRow ? startColumn : 0; column < cols; ++column) {
            const bool full = column >= dec.c0 && column <= dec.c1;
            if (int rc = DecodeMcu(s, scan, full); rc < 0)
                return region ? JPEG_DATA_ERROR : rc;
            const int restart = JpegCheckRestart(d.source, scan, cols, rows, column, row);
            if (restart < 0)
                return region ? JPEG_BAD_RST_MARKER : restart;
            if (full) {
                JpegTransformMcu(s, s.mcuBuffer);
                SinkPut(s, column, row);
            }
            if (column == cols - 1)
                SinkRowDone(s, out, row);
            if (restart > 0) {
                SinkFinish(s, out, row);
                if (!strips)
                    return region ? JPEG_ROI_SUCCESS : 0;
                scan.dataEnded = true;
                break;
            }
            if (full && !strips && InterruptRequested(p)) {
                const int nextColumn = column + 1 < cols ? column + 1 : 0;
                const int nextRow = column + 1 < cols ? row : row + 1;
                if (nextRow <= dec.r1) {
                    ClearInterrupt(p);
                    scan.resumeColumn = nextColumn;
                    scan.resumeRow = nextRow;
                    d.interruptX = std::min((column + 1) * d.mcuOutWidth, d.outWidth);
                    d.interruptY = std::min((row + 1) * d.mcuOutHeight, d.outHeight);
                    return JPEG_INTERRUPTED;
                }
            }
        }
        if (StripComplete(d, scan, row))
            return JPEG_INTERRUPTED;
    }
    SinkFinish(s, out, dec.r1);
    return region ? JPEG_ROI_SUCCESS : 0;
}

int16_t* StoreBlock(DecoderState& d, int16_t* store, int c, int bx, int by)
{
    const FrameComponent& fc = d.components[c];
    const size_t mcu = static_cast<size_t>(by / fc.v) * d.mcusPerRow + bx / fc.h;
    const int inner = (by % fc.v) * fc.h + bx % fc.h;
    return store + (mcu * d.blocksPerMcu + d.blockOffset[c] + inner) * 64;
}

int DecodeStoreBlock(CodecState& s, DecodeScanRecord& scan, int k, int16_t* block, bool progressive)
{
    DecoderState& d = s.dec;
    BitReader& bits = d.source.bits;
    const DecodeScanComponent& sc = scan.components[k];
    if (!progressive)
        return s.kernels.decodeBlock(bits, d.dcTables[sc.dcTable], d.acTables[sc.acTable], &scan.dcPredictor[k],
                                     block);
    if (scan.ss == 0) {
        if (scan.ah == 0)
            return JpegDecodeDcFirst(bits, d.dcTables[sc.dcTable], block, &scan.dcPredictor[k], scan.al);
        return JpegDecodeDcRefine(bits, block, scan.al);
    }
    if (scan.ah == 0)
        return JpegDecodeAcFirst(bits, block, d.acTables[sc.acTable], scan.ss, scan.se, scan.al);
    return JpegDecodeAcRefine(bits, block, d.acTables[sc.acTable], scan.ss, scan.se, scan.al);
}

// A scan into the coefficient store. One component: its own block grid
// (ceil(ceil(X H / Hmax) / 8) columns, rows alike); several: the MCUs.
int DecodeBuffered(CodecState& s, JPEG_PROPERTIES& p, DecodeScanRecord& scan)
{
    DecoderState& d = s.dec;
    int16_t* store = s.coefficients.get();
    const bool progressive = d.progressive;
    const bool single = scan.ns == 1;
    const int c0 = scan.components[0].index;
    const int cols = single ? (d.componentWidth[c0] + 7) / 8 : d.mcusPerRow;
    const int rows = single ? (d.componentHeight[c0] + 7) / 8 : d.mcuRows;
    for (int row = scan.resumeRow; row < rows; ++row) {
        if (row > scan.resumeRow && EntropyDataEnded(d.source.bits))
            return 0;
        for (int column = row == scan.resumeRow ? scan.resumeColumn : 0; column < cols; ++column) {
            for (int k = 0; k < scan.ns; ++k) {
                const DecodeScanComponent& sc = scan.components[k];
                const int h = single ? 1 : sc.h, v = single ? 1 : sc.v;
                for (int by = 0; by < v; ++by) {
                    for (int bx = 0; bx < h; ++bx) {
                        int16_t* block = StoreBlock(d, store, sc.index, column * h + bx, row * v + by);
                        if (int rc = DecodeStoreBlock(s, scan, k, block, progressive); rc < 0)
                            return rc;
                    }
                }
            }
            const int restart = JpegCheckRestart(d.source, scan, cols, rows, column, row);
            if (restart < 0)
                return JPEG_BAD_RST_MARKER;
            if (restart > 0)
                return 0;
            if (d.stripMcuRows == 0 && InterruptRequested(p) && (column + 1 < cols || row + 1 < rows)) {
                ClearInterrupt(p);
                scan.resumeColumn = column + 1 < cols ? column + 1 : 0;
                scan.resumeRow = column + 1 < cols ? row : row + 1;
                // Blocks of a one-component scan cover Hmax / H MCU columns' worth of pixels.
                const int unitWidth = single ? d.mcuOutWidth / scan.components[0].h : d.mcuOutWidth;
                const int unitHeight = single ? d.mcuOutHeight / scan.components[0].v : d.mcuOutHeight;
                d.interruptX = std::min((column + 1) * unitWidth, d.outWidth);
                d.interruptY = std::min((row + 1) * unitHeight, d.outHeight);
                return JPEG_INTERRUPTED;
            }
        }
    }
    return 0;
}

} // namespace

int JpegCheckRestart(JpegSource& source, DecodeScanRecord& scan, int columns, int rows, int column, int row)
{
    const int interval = scan.restartInterval;
    if (interval == 0)
        return 0;
    const int64_t k = static_cast<int64_t>(row) * columns + column + 1;
    if (k % interval != 0 || k >= static_cast<int64_t>(columns) * rows)
        return 0;
    std::fill(scan.dcPredictor, scan.dcPredictor + 4, 0);
    BitReader& bits = source.bits;
    bits.bitBuffer = 0;
    bits.bitCount = 0;
    bits.eobRun = 0;
    int code = bits.marker;
    if (code == 0) {
        const int rc = JpegSourceFindMarker(source);
        if (rc < 0)
            return 1; // the data ends here: nothing more to decode
        code = *bits.next;
        ++bits.next;
        --bits.bytesLeft;
        ++bits.consumed;
    }
    if (code >= 0xD0 && code <= 0xD7) {
        bits.marker = 0;
        return 0;
    }
    bits.marker = code; // another marker: it ends the scan
    return 1;
}

void JpegPlaceStrip(DecoderState& d, int mcuRow)
{
    const int top = mcuRow * d.mcuOutHeight;
    const int bottom = std::max(top, std::min(top + d.stripMcuRows * d.mcuOutHeight, d.stripClipHeight));
    d.region = {0, top, d.clipWidth, bottom};
    d.clipHeight = bottom - top;
}

void JpegTransformMcu(CodecState& s, int16_t* mcu)
{
    const DecoderState& d = s.dec;
    const KernelTable& k = s.kernels;
    // Full-size accurate blocks go through the two-block kernel in pairs,
    // across components (the whole MCU was decoded before any is read back).
    int16_t* pending = nullptr;
    const int16_t* pendingMultipliers = nullptr;
    for (int c = 0; c < d.componentCount; ++c) {
        const int quant = d.components[c].quantNumber;
        const int blocks = d.components[c].h * d.components[c].v;
        int16_t* block = mcu + d.blockOffset[c] * 64;
        if (d.componentBlockSize[c] == 8 && s.settings.dctMethod == 1) {
            for (int b = 0; b < blocks; ++b, block += 64) {
                if (pending == nullptr) {
                    pending = block, pendingMultipliers = d.dequantLow[quant];
                } else {
                    k.dequantIdctAccurate2(pending, pendingMultipliers, block, d.dequantLow[quant]);
                    pending = nullptr;
                }
            }
            continue;
        }
        const IdctKernel idct = d.componentBlockSize[c] == 8   ? k.idctCurrent
                                : d.componentBlockSize[c] == 4 ? k.idctCurrent4
                                : d.componentBlockSize[c] == 2 ? k.idctCurrent2
                                                               : k.idctCurrent1;
        for (int b = 0; b < blocks; ++b, block += 64) {
            k.dequantizeCurrent(block, d.dequant[quant]);
            idct(block);
        }
    }
    if (pending != nullptr)
        k.dequantIdctAccurate(pending, pendingMultipliers);
}

int JpegAllocateStore(CodecState& s)
{
    const DecoderState& d = s.dec;
    const uint64_t mcus = static_cast<uint64_t>(d.mcusPerRow) * static_cast<uint64_t>(d.mcuRows);
    const uint64_t values = mcus * static_cast<uint64_t>(d.blocksPerMcu) * 64u;
    // Frames are at most 65535 x 65535 with 10 blocks an MCU: the product
    // fits 64 bits. A store beyond kMaxStoreBytes is refused rather than
    // tried (a hostile header must not make the reader claim gigabytes).
    if (values == 0 || values > kMaxStoreBytes / sizeof(int16_t))
        return JPEG_MEMORY_ERROR;
    s.coefficients.reset(new (std::nothrow) int16_t[values]());
    if (!s.coefficients) {
        s.coefficientBytes = 0;
        return JPEG_MEMORY_ERROR;
    }
    s.coefficientBytes = static_cast<size_t>(values * sizeof(int16_t));
    return 0;
}

namespace {

// The store into the component planes: quantised coefficients, or samples
// after dequantisation and the 8x8 transform. Each plane holds its
// component's blocks on the MCU grid (MCUs per row x H x 8 values a line).
int OutputPlanes(CodecState& s)
{
    DecoderState& d = s.dec;
    const int16_t* store = s.coefficients.get();
    for (int c = 0; c < d.componentCount; ++c) {
        const FrameComponent& fc = d.components[c];
        const size_t size = static_cast<size_t>(d.mcusPerRow) * fc.h * 8 * d.mcuRows * fc.v * 8;
        try {
            d.planes[c].assign(size, 0);
        } catch (const std::bad_alloc&) {
            return JPEG_MEMORY_ERROR;
        }
    }
    alignas(32) int16_t block[64];
    for (int c = 0; c < d.componentCount; ++c) {
        const FrameComponent& fc = d.components[c];
        const size_t line = static_cast<size_t>(d.mcusPerRow) * fc.h * 8;
        for (int by = 0; by < d.mcuRows * fc.v; ++by) {
            for (int bx = 0; bx < d.mcusPerRow * fc.h; ++bx) {
                std::memcpy(block, StoreBlock(d, const_cast<int16_t*>(store), c, bx, by), sizeof block);
                if (d.planeOutput == 1) {
                    Dequantize(s, c, block);
                    s.kernels.idctCurrent(block);
                }
                int16_t* out = d.planes[c].data() + static_cast<size_t>(by) * 8 * line + static_cast<size_t>(bx) * 8;
                for (int r = 0; r < 8; ++r)
                    std::memcpy(out + r * line, block + r * 8, 8 * sizeof(int16_t));
            }
        }
    }
    d.storeChanged = false;
    return 0;
}

} // namespace

namespace {

// The store's MCUs of rows dec.r0..dec.r1 and columns dec.c0..dec.c1 to the
// output (`out` as for the sink).
void OutputStoreRows(CodecState& s, const McuRange& out, const McuRange& dec)
{
    DecoderState& d = s.dec;
    const int16_t* store = s.coefficients.get();
    const size_t mcuValues = static_cast<size_t>(d.blocksPerMcu) * 64;
    for (int row = dec.r0; row <= dec.r1; ++row) {
        for (int column = dec.c0; column <= dec.c1; ++column) {
            std::memcpy(s.mcuBuffer, store + (static_cast<size_t>(row) * d.mcusPerRow + column) * mcuValues,
                        mcuValues * sizeof(int16_t));
            JpegTransformMcu(s, s.mcuBuffer);
            SinkPut(s, column, row);
        }
        SinkRowDone(s, out, row);
    }
}

} // namespace

int JpegOutputStore(CodecState& s)
{
    DecoderState& d = s.dec;
    if (d.planeOutput != 0)
        return OutputPlanes(s);
    const int cols = d.mcusPerRow, rows = d.mcuRows;
    const McuRange out = OutputRange(d, cols, rows);
    const McuRange dec = DecodeRange(d, out, cols, rows);
    if (int rc = SinkBegin(s))
        return rc;
    OutputStoreRows(s, out, dec);
    SinkFinish(s, out, dec.r1);
    d.storeChanged = false;
    return d.regionActive ? JPEG_ROI_SUCCESS : 0;
}

int JpegOutputStoreStrip(CodecState& s)
{
    DecoderState& d = s.dec;
    const int first = d.storeStripRow;
    const int end = std::min(first + d.stripMcuRows, d.mcuRows);
    // Strips are whole rows without smoothing: no sink rows are kept.
    const McuRange rows{0, d.mcusPerRow - 1, first, end - 1};
    OutputStoreRows(s, rows, rows);
    d.storeStripRow = end;
    d.interruptX = d.outWidth;
    d.interruptY = std::min(end * d.mcuOutHeight, d.outHeight);
    if (end < d.mcuRows)
        JpegPlaceStrip(d, end);
    else
        d.storeChanged = false;
    return JPEG_INTERRUPTED;
}

int JpegDecodeScan(CodecState& s, JPEG_PROPERTIES& p)
{
    DecoderState& d = s.dec;
    DecodeScanRecord& scan = *d.scan;
    KernelTable& k = s.kernels;
    if (s.settings.dctMethod == 1) {
        k.idctCurrent = k.idctAccurate, k.idctCurrent4 = k.idctAccurate4;
        k.idctCurrent2 = k.idctAccurate2, k.idctCurrent1 = k.idctAccurate1;
        k.dequantizeCurrent = k.dequantizeAccurate;
    } else {
        k.idctCurrent = k.idctFast, k.idctCurrent4 = k.idctFast4;
        k.idctCurrent2 = k.idctFast2, k.idctCurrent1 = k.idctFast1;
        k.dequantizeCurrent = k.dequantizeFast;
    }
    const int rc = scan.buffered ? DecodeBuffered(s, p, scan) : DecodeDirect(s, p, scan);
    if (rc == 0 || rc == JPEG_ROI_SUCCESS) {
        d.source.bits.bitBuffer = 0;
        d.source.bits.bitCount = 0;
    }
    k.clearSimdState();
    return rc;
}

} // namespace thermjpeg
