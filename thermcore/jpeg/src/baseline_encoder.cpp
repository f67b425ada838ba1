#include "baseline_encoder.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "bit_output.h"
#include "stream_writer.h"

namespace thermjpeg {
namespace {

struct ComponentCoding {
    int blocks; // H x V
    const HuffmanEncoder* dc;
    const HuffmanEncoder* ac;
    const uint16_t* multipliers;
};

bool InterruptRequested(JPEG_PROPERTIES& p)
{
    return std::atomic_ref<int32_t>(p.InterruptFlag).load(std::memory_order_relaxed) != 0;
}

int EncodeMcuLoop(CodecState& s, JPEG_PROPERTIES& p, ScanRecord& scan)
{
    const KernelTable& k = s.kernels;
    ComponentCoding comps[JPEG_MAX_COMPONENTS];
    for (int c = 0; c < s.componentCount; ++c) {
        ComponentTables tables;
        if (int rc = JpegComponentTables(s, c, tables))
            return rc;
        comps[c].blocks = s.components[c].h * s.components[c].v;
        comps[c].dc = tables.dc;
        comps[c].ac = tables.ac;
        comps[c].multipliers = tables.quant->multipliers;
    }

    const JpegPlaneInput* planes = s.settings.planeInput;
    const bool coefficients = planes != nullptr && planes->Mode == 0;
    const uint32_t interval = static_cast<uint32_t>(s.settings.restartInterval);
    const bool strips = s.settings.stripRows > 0;
    int totalBlocks = 0;
    for (int c = 0; c < s.componentCount; ++c)
        totalBlocks += comps[c].blocks;

    for (int row = scan.resumeRow; row < s.mcuRows; ++row) {
        const int firstColumn = row == scan.resumeRow ? scan.resumeColumn : 0;
        for (int column = firstColumn; column < s.mcusPerRow; ++column) {
            if (planes)
                JpegCopyMcuFromPlanes(s, *planes, column, row);
            else
                k.prepareMcu(s, column, row);

            if (!coefficients) {
                for (int b = 0; b < totalBlocks; ++b)
                    k.fdctCurrent(s.mcuBuffer + b * 64);
            }
            int16_t* block = s.mcuBuffer;
            for (int c = 0; c < s.componentCount; ++c) {
                for (int b = 0; b < comps[c].blocks; ++b, block += 64) {
                    if (!coefficients)
                        k.quantizeCurrent(block, comps[c].multipliers);
                    if (int rc = k.encodeBlock(s.out, *comps[c].dc, *comps[c].ac, &scan.dcPredictor[c], block))
                        return rc;
                }
            }

            const bool last = row == s.mcuRows - 1 && column == s.mcusPerRow - 1;
            if (interval != 0 && !last) {
                ++scan.restartCounter;
                if (scan.restartCounter % interval == 0) {
                    const int number = static_cast<int>((scan.restartCounter / interval - 1) % 8);
                    if (number == 7)
                        scan.restartCounter = 0;
                    if (int rc = JpegWriteRst(s, number))
                        return rc;
                    for (auto& predictor : scan.dcPredictor)
                        predictor = 0;
                }
            }

            if (!strips && InterruptRequested(p)) {
                scan.resumeColumn = (column + 1) % s.mcusPerRow;
                scan.resumeRow = scan.resumeColumn == 0 ? row + 1 : row;
                return JPEG_INTERRUPTED;
            }
        }
        if (JpegStripEndsAfter(s, p, scan, row))
            return JPEG_INTERRUPTED;
    }
    return 0;
}

} // namespace

bool JpegStripEndsAfter(const CodecState& s, JPEG_PROPERTIES& p, ScanRecord& scan, int row)
{
    if (s.settings.stripRows <= 0 || row + 1 >= s.mcuRows ||
        std::min((row + 2) * s.mcuHeight, s.settings.jpegHeight) - s.originMcuRow * s.mcuHeight <=
            s.settings.stripRows)
        return false;
    scan.resumeColumn = 0;
    scan.resumeRow = row + 1;
    p.InterruptColumn = 0;
    p.InterruptRow = (row + 1) * s.mcuHeight;
    return true;
}

void JpegCopyMcuFromPlanes(CodecState& s, const JpegPlaneInput& planes, int column, int row)
{
    int16_t* block = s.mcuBuffer;
    for (int c = 0; c < s.componentCount; ++c) {
        const FrameComponent& comp = s.components[c];
        const ptrdiff_t line = static_cast<ptrdiff_t>(s.mcusPerRow) * comp.h * 8;
        for (int by = 0; by < comp.v; ++by) {
            for (int bx = 0; bx < comp.h; ++bx, block += 64) {
                const ptrdiff_t blockRow = static_cast<ptrdiff_t>(row) * comp.v + by;
                const ptrdiff_t blockColumn = static_cast<ptrdiff_t>(column) * comp.h + bx;
                const int16_t* source = planes.Planes[c] + blockRow * 8 * line + blockColumn * 8;
                for (int y = 0; y < 8; ++y)
                    std::memcpy(block + y * 8, source + y * line, 8 * sizeof(int16_t));
                if (planes.Mode != 0) {
                    for (int i = 0; i < 64; ++i)
                        block[i] = static_cast<int16_t>(block[i] - 128);
                }
            }
        }
    }
}

int JpegEncodeMcus(CodecState& s, JPEG_PROPERTIES& p, ScanRecord& scan)
{
    const int rc = EncodeMcuLoop(s, p, scan);
    s.kernels.clearSimdState();
    return rc;
}

int JpegEncodeBaseline(CodecState& s, JPEG_PROPERTIES& p)
{
    int rc = 0;
    if (!s.scan) {
        ScanRecord& scan = s.scan.emplace();
        scan.componentCount = s.componentCount;
        rc = JpegWriteSof0(s);
        if (rc == 0 && s.settings.restartInterval != 0)
            rc = JpegWriteDri(s, s.settings.restartInterval);
        if (rc == 0)
            rc = JpegWriteSos(s);
        if (rc == 0)
            rc = JpegFinishOutput(s.out);
    }
    if (rc == 0)
        rc = JpegEncodeMcus(s, p, *s.scan);

    if (rc == 0) {
        s.scan.reset();
        rc = JpegWriteEoi(s);
        if (rc == 0)
            rc = JpegFinishOutput(s.out);
    } else if (rc == JPEG_INTERRUPTED) {
        std::atomic_ref<int32_t>(p.InterruptFlag).store(0, std::memory_order_relaxed);
    } else {
        s.scan.reset();
    }
    return rc;
}

} // namespace thermjpeg
