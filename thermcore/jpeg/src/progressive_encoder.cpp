#include "progressive_encoder.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

#include "baseline_encoder.h"
#include "bit_output.h"
#include "huffman_encoder.h"
#include "stream_writer.h"

namespace thermjpeg {
namespace {

// DC(n, Ah, Al) or AC(component, Ss, Se, Ah, Al).
struct ScriptEntry {
    bool dc;
    int componentsOrIndex;
    int ss, se, ah, al;
};

constexpr ScriptEntry DC(int n, int ah, int al) { return {true, n, 0, 0, ah, al}; }
constexpr ScriptEntry AC(int c, int ss, int se, int ah, int al) { return {false, c, ss, se, ah, al}; }

constexpr ScriptEntry kGray[] = {DC(1, 0, 1),        AC(0, 1, 5, 0, 2), AC(0, 6, 63, 0, 2),
                                 AC(0, 1, 63, 2, 1), DC(1, 1, 0),       AC(0, 1, 63, 1, 0)};
constexpr ScriptEntry kTwo[] = {DC(2, 0, 0), AC(0, 1, 5, 0, 0), AC(1, 1, 5, 0, 0), AC(0, 6, 63, 0, 0),
                                AC(1, 6, 63, 0, 0)};
constexpr ScriptEntry kYcc[] = {DC(3, 0, 1),        AC(0, 1, 5, 0, 2),  AC(2, 1, 63, 0, 1), AC(1, 1, 63, 0, 1),
                                AC(0, 6, 63, 0, 2), AC(0, 1, 63, 2, 1), DC(3, 1, 0),        AC(2, 1, 63, 1, 0),
                                AC(1, 1, 63, 1, 0), AC(0, 1, 63, 1, 0)};
constexpr ScriptEntry kThree[] = {DC(3, 0, 1),       AC(0, 1, 5, 0, 0),  AC(1, 1, 5, 0, 0),  AC(2, 1, 5, 0, 0),
                                  DC(3, 1, 0),       AC(0, 6, 63, 0, 0), AC(1, 6, 63, 0, 0), AC(2, 6, 63, 0, 0)};
constexpr ScriptEntry kFour[] = {DC(4, 0, 1),        AC(0, 1, 5, 0, 0),  AC(1, 1, 5, 0, 0),  AC(2, 1, 5, 0, 0),
                                 AC(3, 1, 5, 0, 0),  DC(4, 1, 0),        AC(0, 6, 63, 0, 0), AC(1, 6, 63, 0, 0),
                                 AC(2, 6, 63, 0, 0), AC(3, 6, 63, 0, 0)};
constexpr ScriptEntry kYcck[] = {DC(4, 0, 1),        AC(0, 1, 5, 0, 2),  AC(2, 1, 63, 0, 1), AC(1, 1, 63, 0, 1),
                                 AC(3, 1, 63, 0, 0), AC(0, 6, 63, 0, 2), AC(0, 1, 63, 2, 1), DC(4, 1, 0),
                                 AC(2, 1, 63, 1, 0), AC(1, 1, 63, 1, 0), AC(0, 1, 63, 1, 0)};

struct Script {
    const ScriptEntry* entries = nullptr;
    int count = 0;
};

template <size_t N>
constexpr Script Of(const ScriptEntry (&entries)[N])
{
    return {entries, static_cast<int>(N)};
}

Script FindScript(int components, int colour)
{
    switch (components) {
    case 1:
        return colour == JPEG_COLOUR_GRAY ? Of(kGray) : Script{};
    case 2:
        return colour == JPEG_COLOUR_OTHER ? Of(kTwo) : Script{};
    case 3:
        if (colour == JPEG_COLOUR_YCBCR)
            return Of(kYcc);
        return colour == JPEG_COLOUR_RGB || colour == JPEG_COLOUR_OTHER ? Of(kThree) : Script{};
    case 4:
        if (colour == JPEG_COLOUR_YCCK)
            return Of(kYcck);
        return colour == JPEG_COLOUR_INV_RGBA || colour == JPEG_COLOUR_OTHER ? Of(kFour) : Script{};
    default:
        return {};
    }
}

bool IsDcScan(const ScanRecord& scan) { return scan.ss == 0 && scan.se == 0; }

// Huffman table number of a frame component in every progressive scan.
int TableOf(int component) { return component == 0 ? 0 : 1; }

struct StoreLayout {
    int blocksPerMcu = 0;
    int offset[JPEG_MAX_COMPONENTS] = {}; // first block of each component inside an MCU
};

StoreLayout LayoutOf(const CodecState& s)
{
    StoreLayout layout;
    for (int c = 0; c < s.componentCount; ++c) {
        layout.offset[c] = layout.blocksPerMcu;
        layout.blocksPerMcu += s.components[c].h * s.components[c].v;
    }
    return layout;
}

// Calls visit(scan component, block) for every block the scan codes, in
// scan order. A scan of several components is interleaved: every MCU, every
// block of each component. A scan of one component walks that component's
// blocks in raster order over the component's own size, ceil(width x H /
// Hmax) by ceil(height x V / Vmax) samples; each of its blocks is one MCU.
// With a restart interval, restart(n) runs after every interval MCUs but
// the scan's last, n counting 0 to 7 and round again from each scan's
// start. The first non-zero result ends the walk.
template <class Visit, class Restart>
int ForEachBlock(CodecState& s, const ScanRecord& scan, Visit visit, Restart restart)
{
    const StoreLayout layout = LayoutOf(s);
    int16_t* store = s.coefficients.get();
    const size_t mcuValues = static_cast<size_t>(layout.blocksPerMcu) * 64;
    const int64_t interval = s.settings.restartInterval;
    // After MCU number done (from 1) of total.
    const auto afterMcu = [&](int64_t done, int64_t total) {
        if (interval <= 0 || done % interval != 0 || done == total)
            return 0;
        return restart(static_cast<int>((done / interval - 1) % 8));
    };
    if (scan.componentCount > 1) {
        for (int64_t m = 0; m < s.mcuCount; ++m) {
            int16_t* mcu = store + static_cast<size_t>(m) * mcuValues;
            for (int i = 0; i < scan.componentCount; ++i) {
                const ScanComponent& sc = scan.components[i];
                int16_t* block = mcu + static_cast<size_t>(layout.offset[sc.index]) * 64;
                for (int b = 0; b < sc.h * sc.v; ++b, block += 64) {
                    if (int rc = visit(i, block))
                        return rc;
                }
            }
            if (int rc = afterMcu(m + 1, s.mcuCount))
                return rc;
        }
        return 0;
    }
    const ScanComponent& sc = scan.components[0];
    const int64_t width = (int64_t{s.settings.jpegWidth} * sc.h + s.hmax - 1) / s.hmax;
    const int64_t height = (int64_t{s.settings.jpegHeight} * sc.v + s.vmax - 1) / s.vmax;
    const int64_t blocksWide = (width + 7) / 8, blocksHigh = (height + 7) / 8;
    int64_t done = 0;
    for (int64_t row = 0; row < blocksHigh; ++row) {
        const int64_t mcuRow = row / sc.v, inRow = row % sc.v;
        for (int64_t column = 0; column < blocksWide; ++column) {
            const int64_t mcu = mcuRow * s.mcusPerRow + column / sc.h;
            const int64_t block = layout.offset[sc.index] + inRow * sc.h + column % sc.h;
            if (int rc = visit(0, store + static_cast<size_t>(mcu) * mcuValues + static_cast<size_t>(block) * 64))
                return rc;
            if (int rc = afterMcu(++done, blocksWide * blocksHigh))
                return rc;
        }
    }
    return 0;
}

// Optimal table from the counts, its encoder, and its DHT segment.
int MakeTable(CodecState& s, const uint32_t* counts, int cls, int number, HuffmanEncoder& encoder)
{
    uint8_t bits[16];
    uint8_t values[256];
    JpegBuildOptimalTable(counts, bits, values);
    if (int rc = JpegBuildHuffmanEncoder(bits, values, encoder))
        return rc;
    return JpegWriteDhtTable(s, bits, values, cls, number);
}

} // namespace

bool JpegCoefficientStoreSize(int64_t mcuCount, int blocksPerMcu, size_t& bytes)
{
    int64_t values = 0, total = 0;
    if (mcuCount < 0 || blocksPerMcu < 0 || __builtin_mul_overflow(mcuCount, int64_t{blocksPerMcu} * 64, &values) ||
        __builtin_mul_overflow(values, int64_t{sizeof(int16_t)}, &total) ||
        static_cast<uint64_t>(total) > PTRDIFF_MAX)
        return false;
    bytes = static_cast<size_t>(total);
    return true;
}

int JpegCountScans(const CodecState& s, int& count)
{
    const Script script = FindScript(s.settings.jpegChannels, s.settings.jpegColour);
    count = script.count;
    return script.count > 0 ? 0 : JPEG_INVALID_PROPERTIES;
}

int JpegAllocScans(ScanScript& script, int count)
{
    script.scans.reset(new (std::nothrow) ScanRecord[static_cast<size_t>(count)]);
    script.count = script.scans ? count : 0;
    return script.scans ? 0 : JPEG_MEMORY_ERROR;
}

void JpegSetScanComponents(const CodecState& s, ScanRecord& scan, int n, int ah, int al)
{
    if (n > JPEG_MAX_COMPONENTS)
        return;
    scan.componentCount = n;
    scan.ss = scan.se = 0;
    scan.ah = ah;
    scan.al = al;
    for (int i = 0; i < n; ++i)
        scan.components[i] = ScanComponent{i, s.components[i].h, s.components[i].v};
}

void JpegSetScanComponent(const CodecState& s, ScanRecord& scan, int component, int ss, int se, int ah, int al)
{
    scan.componentCount = 1;
    scan.ss = ss;
    scan.se = se;
    scan.ah = ah;
    scan.al = al;
    scan.components[0] = ScanComponent{component, s.components[component].h, s.components[component].v};
}

int JpegBuildScanScript(const CodecState& s, ScanScript& script)
{
    int count = 0;
    if (int rc = JpegCountScans(s, count))
        return rc;
    if (int rc = JpegAllocScans(script, count))
        return rc;
    const Script entries = FindScript(s.settings.jpegChannels, s.settings.jpegColour);
    for (int i = 0; i < count; ++i) {
        const ScriptEntry& e = entries.entries[i];
        if (e.dc)
            JpegSetScanComponents(s, script.scans[i], e.componentsOrIndex, e.ah, e.al);
        else
            JpegSetScanComponent(s, script.scans[i], e.componentsOrIndex, e.ss, e.se, e.ah, e.al);
    }
    return 0;
}

bool JpegTransformRows(CodecState& s, JPEG_PROPERTIES& p, ScanRecord& pass)
{
    const KernelTable& k = s.kernels;
    const StoreLayout layout = LayoutOf(s);
    const JpegPlaneInput* planes = s.settings.planeInput;
    const uint16_t* multipliers[JPEG_MAX_COMPONENTS] = {};
    for (int c = 0; c < s.componentCount; ++c)
        multipliers[c] = JpegFindQuantSlot(s, c)->multipliers;
    const size_t mcuValues = static_cast<size_t>(layout.blocksPerMcu) * 64;
    for (int row = pass.resumeRow; row < s.mcuRows; ++row) {
        int16_t* target = s.coefficients.get() + static_cast<size_t>(row) * s.mcusPerRow * mcuValues;
        for (int column = 0; column < s.mcusPerRow; ++column, target += mcuValues) {
            if (planes)
                JpegCopyMcuFromPlanes(s, *planes, column, row);
            else
                k.prepareMcu(s, column, row);
            int16_t* block = s.mcuBuffer;
            for (int c = 0; c < s.componentCount; ++c) {
                for (int b = 0; b < s.components[c].h * s.components[c].v; ++b, block += 64) {
                    k.fdctCurrent(block);
                    k.quantizeCurrent(block, multipliers[c]);
                }
            }
            std::memcpy(target, s.mcuBuffer, mcuValues * sizeof(int16_t));
        }
        if (JpegStripEndsAfter(s, p, pass, row))
            return true;
    }
    return false;
}

int JpegGatherScanStatistics(CodecState& s, OutputRecord& out, const ScanRecord& scan, SymbolCounts counts[2])
{
    out.eobRun = 0;
    if (IsDcScan(scan)) {
        int32_t predictors[JPEG_MAX_COMPONENTS] = {};
        return ForEachBlock(
            s, scan,
            [&](int i, const int16_t* block) {
                JpegCountDcProgressive(counts[TableOf(scan.components[i].index)], &predictors[i], block,
                                       scan.ah != 0, scan.al);
                return 0;
            },
            [&](int) {
                std::fill(std::begin(predictors), std::end(predictors), 0);
                return 0;
            });
    }
    uint32_t* table = counts[TableOf(scan.components[0].index)];
    uint8_t correctionBits[kCorrectionBufferSize];
    int correctionCount = 0;
    ForEachBlock(
        s, scan,
        [&](int, const int16_t* block) {
            if (scan.ah != 0)
                JpegCountAcRefine(out, block, scan.ss, scan.se, scan.al, correctionBits, correctionCount, table);
            else
                JpegCountAcFirst(out, block, scan.ss, scan.se, scan.al, table);
            return 0;
        },
        // A restart ends the pending run; its correction bits go out with it.
        [&](int) {
            JpegCountEobRun(out, table);
            correctionCount = 0;
            return 0;
        });
    JpegCountEobRun(out, table);
    return 0;
}

int JpegEncodeProgressiveScan(CodecState& s, OutputRecord& out, const ScanRecord& scan, const HuffmanEncoder dc[2],
                              const HuffmanEncoder ac[2])
{
    out.eobRun = 0;
    if (IsDcScan(scan)) {
        int32_t predictors[JPEG_MAX_COMPONENTS] = {};
        return ForEachBlock(
            s, scan,
            [&](int i, const int16_t* block) {
                return JpegEncodeDcProgressive(out, dc[TableOf(scan.components[i].index)], &predictors[i], block,
                                               scan.ah != 0, scan.al);
            },
            [&](int number) {
                std::fill(std::begin(predictors), std::end(predictors), 0);
                return JpegWriteRst(s, number);
            });
    }
    const HuffmanEncoder& table = ac[TableOf(scan.components[0].index)];
    uint8_t correctionBits[kCorrectionBufferSize];
    int correctionCount = 0;
    const auto endRun = [&] {
        int rc = JpegEmitEobRun(out, table);
        if (rc == 0)
            rc = JpegEmitCorrectionBits(out, correctionBits, correctionCount);
        return rc;
    };
    int rc = ForEachBlock(
        s, scan,
        [&](int, const int16_t* block) {
            if (scan.ah != 0)
                return JpegEncodeAcRefine(out, table, block, scan.ss, scan.se, scan.al, correctionBits,
                                          correctionCount);
            return JpegEncodeAcFirst(out, table, block, scan.ss, scan.se, scan.al);
        },
        [&](int number) {
            const int ended = endRun();
            return ended != 0 ? ended : JpegWriteRst(s, number);
        });
    return rc != 0 ? rc : endRun();
}

int JpegEncodeProgressive(CodecState& s, JPEG_PROPERTIES& p)
{
    const StoreLayout layout = LayoutOf(s);
    ScanScript script;
    if (!s.scan) {
        size_t bytes = 0;
        s.coefficients.reset();
        s.coefficientBytes = 0;
        if (!JpegCoefficientStoreSize(s.mcuCount, layout.blocksPerMcu, bytes))
            return JPEG_MEMORY_ERROR;
        s.coefficients.reset(new (std::nothrow) int16_t[bytes / sizeof(int16_t)]);
        if (!s.coefficients)
            return JPEG_MEMORY_ERROR;
        s.coefficientBytes = bytes;

        if (int rc = JpegBuildScanScript(s, script))
            return rc;
        if (int rc = JpegWriteSof2(s))
            return rc;
        if (s.settings.restartInterval != 0) {
            if (int rc = JpegWriteDri(s, s.settings.restartInterval))
                return rc;
        }
        s.scan.emplace(); // the first pass's position
    } else if (int rc = JpegBuildScanScript(s, script)) {
        return rc;
    }

    const JpegPlaneInput* planes = s.settings.planeInput;
    if (planes != nullptr && planes->Mode == 0) {
        int16_t* target = s.coefficients.get();
        const size_t mcuValues = static_cast<size_t>(layout.blocksPerMcu) * 64;
        for (int row = 0; row < s.mcuRows; ++row) {
            for (int column = 0; column < s.mcusPerRow; ++column, target += mcuValues) {
                JpegCopyMcuFromPlanes(s, *planes, column, row);
                std::memcpy(target, s.mcuBuffer, mcuValues * sizeof(int16_t));
            }
        }
    } else if (JpegTransformRows(s, p, *s.scan)) {
        return JPEG_INTERRUPTED; // the next strip continues the first pass
    }
    s.scan.reset();

    for (int i = 0; i < script.count; ++i) {
        const ScanRecord& scan = script.scans[i];
        SymbolCounts counts[2] = {};
        JpegGatherScanStatistics(s, s.out, scan, counts);

        HuffmanEncoder dc[2], ac[2];
        if (!IsDcScan(scan)) {
            const int t = TableOf(scan.components[0].index);
            if (int rc = MakeTable(s, counts[t], 1, t, ac[t]))
                return rc;
        } else if (scan.ah == 0) {
            for (int t = 0; t < (s.componentCount == 1 ? 1 : 2); ++t) {
                if (int rc = MakeTable(s, counts[t], 0, t, dc[t]))
                    return rc;
            }
        }

        uint8_t numbers[JPEG_MAX_COMPONENTS];
        for (int c = 0; c < scan.componentCount; ++c)
            numbers[c] = static_cast<uint8_t>(TableOf(scan.components[c].index));
        if (int rc = JpegWriteScanSos(s, scan, numbers, numbers))
            return rc;
        if (int rc = JpegEncodeProgressiveScan(s, s.out, scan, dc, ac))
            return rc;
    }
    s.kernels.clearSimdState();
    if (int rc = JpegWriteEoi(s))
        return rc;
    return JpegFinishOutput(s.out);
}

} // namespace thermjpeg
