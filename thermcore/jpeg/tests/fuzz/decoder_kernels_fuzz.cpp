// libFuzzer target over the decoder's kernels: a Huffman table built from
// the input, then the input's entropy-coded bytes through every block
// decoder, each decoded block dequantised and inverse transformed at every
// size. Input layout: selector, Ss, Se, Al, 16 BITS counts and their
// symbols, then the entropy-coded data.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "default_tables.h"
#include "dequantize.h"
#include "huffman_decoder.h"
#include "inverse_dct.h"

using namespace thermjpeg;

namespace {

using Transform = void (*)(int16_t*);
constexpr Transform kTransforms[] = {JpegIdctFast,     JpegIdctFast4,     JpegIdctFast2,     JpegIdctFast1,
                                     JpegIdctAccurate, JpegIdctAccurate4, JpegIdctAccurate2, JpegIdctAccurate1};

void TransformAll(const int16_t* block, const int32_t* fastTable, const int32_t* accurateTable)
{
    for (size_t i = 0; i < std::size(kTransforms); ++i) {
        auto work = std::make_unique<int16_t[]>(64);
        std::memcpy(work.get(), block, 64 * sizeof(int16_t));
        (i < 4 ? JpegDequantizeFast : JpegDequantize)(work.get(), i < 4 ? fastTable : accurateTable);
        kTransforms[i](work.get());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 20)
        return 0;
    const int selector = data[0];
    const int ss = std::min<int>(data[1] & 63, 63);
    const int se = std::max<int>(ss, data[2] & 63);
    const int al = data[3] % 14;
    const uint8_t* bits = data + 4;
    size_t offset = 20;
    int count = 0;
    for (int i = 0; i < 16; ++i)
        count += bits[i];
    uint8_t values[256] = {};
    std::memcpy(values, data + offset, std::min<size_t>({static_cast<size_t>(count), 256, size - offset}));
    offset += std::min<size_t>(static_cast<size_t>(count), size - offset);

    HuffmanDecoder table, dcTable;
    if (JpegBuildHuffmanDecoder(bits, values, 1, 0, table) != 0)
        JpegBuildHuffmanDecoder(kAcLuminanceBits, kAcLuminanceValues, 1, 0, table);
    JpegBuildHuffmanDecoder(kDcLuminanceBits, kDcLuminanceValues, 0, 0, dcTable);
    const HuffmanDecoder& dc = selector & 8 ? table : dcTable;

    // Dequantisation tables from the same bytes, so that large multipliers occur.
    uint16_t q[64];
    for (int k = 0; k < 64; ++k)
        q[k] = static_cast<uint16_t>(data[k % size] | (selector & 16 ? data[(k + 1) % size] << 8 : 0));
    int32_t fastTable[kDequantTableSize], accurateTable[kDequantTableSize];
    for (auto& v : q)
        v = v ? v : 1;
    uint16_t q8[64];
    for (int k = 0; k < 64; ++k)
        q8[k] = static_cast<uint16_t>(q[k] & 0xFF ? q[k] & 0xFF : 1);
    JpegPrepareDequantFast(q8, fastTable);
    JpegPrepareDequantAccurate(q, accurateTable);

    BitReader reader;
    JpegBitReaderInit(reader, data + offset, size - offset);
    int32_t predictor = 0;
    auto block = std::make_unique<int16_t[]>(64);
    std::memset(block.get(), 0, 64 * sizeof(int16_t));
    for (int n = 0; n < 256; ++n) {
        int rc = 0;
        switch ((selector + (selector & 32 ? n : 0)) % 6) {
        case 0: rc = JpegDecodeBlock(reader, dc, table, &predictor, block.get()); break;
        case 1: rc = JpegDecodeBlockDcOnly(reader, dc, table, &predictor, block.get()); break;
        case 2: rc = JpegDecodeDcFirst(reader, dc, &block[0], &predictor, al); break;
        case 3: rc = JpegDecodeDcRefine(reader, &block[0], al); break;
        case 4: rc = JpegDecodeAcFirst(reader, block.get(), table, ss == 0 ? 1 : ss, std::max(se, 1), al); break;
        default: rc = JpegDecodeAcRefine(reader, block.get(), table, ss == 0 ? 1 : ss, std::max(se, 1), al); break;
        }
        if (rc < 0 || reader.bitCount < 0 || reader.bitCount > 64)
            break;
        if ((n & 15) == 0)
            TransformAll(block.get(), fastTable, accurateTable);
        if (reader.bitCount == 0 && (reader.bytesLeft == 0 || reader.marker != 0))
            break;
    }
    return 0;
}
