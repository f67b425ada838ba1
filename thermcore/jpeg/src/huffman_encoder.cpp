#include "huffman_encoder.h"

#include <array>

#include "bit_output.h"
#include "huffman_count.h"
#include "zigzag.h"

namespace thermjpeg {
namespace {

constexpr std::array<uint8_t, 256> MakeCategoryTable()
{
    std::array<uint8_t, 256> table{};
    for (int v = 1; v < 256; ++v) {
        int bits = 0;
        for (int x = v; x != 0; x >>= 1)
            ++bits;
        table[v] = static_cast<uint8_t>(bits);
    }
    return table;
}

constexpr std::array<uint8_t, 256> kCategory = MakeCategoryTable();

constexpr uint8_t kZrl = 0xF0;
constexpr uint8_t kEob = 0x00;

// Emits the code of a symbol followed by `extraCount` extra bits.
inline int PutSymbol(OutputRecord& out, const HuffmanEncoder& table, int symbol, int32_t extra, int extraCount)
{
    const int size = table.size[symbol];
    if (size == 0)
        return JPEG_BAD_HUFFMAN_TABLE;
    const uint32_t extraBits = static_cast<uint32_t>(extra) & ((uint32_t{1} << extraCount) - 1);
    const uint32_t value = (uint32_t{table.code[symbol]} << extraCount) | extraBits;
    return JpegPutBits(out, value, size + extraCount);
}

} // namespace

int JpegMagnitudeCategory(int32_t value)
{
    const uint32_t magnitude = static_cast<uint32_t>(value < 0 ? -value : value);
    return magnitude < 256 ? kCategory[magnitude] : 8 + kCategory[(magnitude >> 8) & 0xFF];
}

int JpegBuildHuffmanEncoder(const uint8_t* bits, const uint8_t* values, HuffmanEncoder& encoder)
{
    encoder = HuffmanEncoder{};
    if (JpegHuffmanSymbolCount(bits) > 256)
        return JPEG_BAD_HUFFMAN_TABLE;

    uint32_t code = 0;
    int k = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int i = 0; i < bits[length - 1]; ++i) {
            if (code >= (uint32_t{1} << length) - 1)
                return JPEG_BAD_HUFFMAN_TABLE;
            encoder.code[values[k]] = static_cast<uint16_t>(code);
            encoder.size[values[k]] = static_cast<uint8_t>(length);
            ++code;
            ++k;
        }
        code <<= 1;
    }
    encoder.built = true;
    return 0;
}

int JpegEncodeBlock(OutputRecord& out, const HuffmanEncoder& dc, const HuffmanEncoder& ac, int16_t* dcPredictor,
                    const int16_t* block)
{
    const int32_t diff = int32_t{block[0]} - *dcPredictor;
    *dcPredictor = block[0];
    int size = JpegMagnitudeCategory(diff);
    if (int rc = PutSymbol(out, dc, size, diff < 0 ? diff - 1 : diff, size))
        return rc;

    int run = 0;
    for (int k = 1; k < 64; ++k) {
        const int32_t v = block[kZigzag[k]];
        if (v == 0) {
            ++run;
            continue;
        }
        while (run > 15) {
            if (int rc = PutSymbol(out, ac, kZrl, 0, 0))
                return rc;
            run -= 16;
        }
        size = JpegMagnitudeCategory(v);
        if (size > 15) // has no AC symbol
            return JPEG_BAD_HUFFMAN_TABLE;
        if (int rc = PutSymbol(out, ac, run * 16 + size, v < 0 ? v - 1 : v, size))
            return rc;
        run = 0;
    }
    if (run > 0)
        return PutSymbol(out, ac, kEob, 0, 0);
    return 0;
}

int JpegBuildOptimalTable(const uint32_t counts[257], uint8_t bits[16], uint8_t values[256])
{
    int64_t freq[257];
    int codeSize[257] = {};
    int others[257];
    for (int i = 0; i < 257; ++i) {
        freq[i] = counts[i];
        others[i] = -1;
    }
    freq[256] = 1; // reserved: no real code is all ones

    for (;;) {
        int c1 = -1;
        int64_t best = 1000000000;
        for (int i = 0; i <= 256; ++i) {
            if (freq[i] != 0 && freq[i] <= best) {
                best = freq[i];
                c1 = i;
            }
        }
        int c2 = -1;
        best = 1000000000;
        for (int i = 0; i <= 256; ++i) {
            if (freq[i] != 0 && freq[i] <= best && i != c1) {
                best = freq[i];
                c2 = i;
            }
        }
        if (c2 < 0)
            break;
        freq[c1] += freq[c2];
        freq[c2] = 0;
        ++codeSize[c1];
        while (others[c1] >= 0) {
            c1 = others[c1];
            ++codeSize[c1];
        }
        others[c1] = c2;
        ++codeSize[c2];
        while (others[c2] >= 0) {
            c2 = others[c2];
            ++codeSize[c2];
        }
    }

    // Code sizes reach at most 256 (one slot per merge), so the table has
    // room for any depth, not only the 32 of T.81.
    int count[258] = {};
    for (int i = 0; i <= 256; ++i) {
        if (codeSize[i] > 0)
            ++count[codeSize[i]];
    }
    for (int i = 257; i > 16; --i) {
        while (count[i] > 0) {
            int j = i - 2;
            while (count[j] == 0)
                --j;
            count[i] -= 2;
            count[i - 1] += 1;
            count[j + 1] += 2;
            count[j] -= 1;
        }
    }
    int i = 16;
    while (i > 0 && count[i] == 0)
        --i;
    if (i > 0)
        count[i] -= 1;

    for (int length = 1; length <= 16; ++length)
        bits[length - 1] = static_cast<uint8_t>(count[length]);
    int n = 0;
    for (int size = 1; size <= 256; ++size) {
        for (int symbol = 0; symbol < 256; ++symbol) {
            if (codeSize[symbol] == size)
                values[n++] = static_cast<uint8_t>(symbol);
        }
    }
    return n;
}

} // namespace thermjpeg
