// Helpers of the entropy-coding tests: a memory output record, tables whose
// codes are the symbols themselves (8 bits each, so emitted bytes read as
// symbols), and a reader over hand-made bit strings.
#ifndef THERMJPEG_ENTROPY_SUPPORT_H
#define THERMJPEG_ENTROPY_SUPPORT_H

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "bit_output.h"
#include "codec_state.h"
#include "huffman_decoder.h"
#include "huffman_encoder.h"

namespace thermjpeg::test {

// Memory output over its own buffer; Bytes() completes the pending byte
// (zero padding) and returns what was stored.
class MemoryOutput {
public:
    explicit MemoryOutput(size_t capacity = 1 << 16) : buffer_(capacity)
    {
        out.file = -1;
        JpegOutputInit(out, buffer_.data(), static_cast<int64_t>(buffer_.size()));
    }
    std::vector<uint8_t> Bytes()
    {
        JpegFinishOutput(out);
        return {buffer_.data(), out.current};
    }
    size_t Stored() const { return static_cast<size_t>(out.current - out.start); }
    OutputRecord out;

private:
    std::vector<uint8_t> buffer_;
};

// Symbol s has the 8-bit code s, for s = 0..254 (0xFF would need stuffing).
inline HuffmanEncoder IdentityEncoder()
{
    HuffmanEncoder e;
    for (int s = 0; s < 255; ++s) {
        e.code[s] = static_cast<uint16_t>(s);
        e.size[s] = 8;
    }
    e.built = true;
    return e;
}

inline HuffmanDecoder IdentityDecoder()
{
    static const uint8_t bits[16] = {0, 0, 0, 0, 0, 0, 0, 255};
    uint8_t values[255];
    for (int s = 0; s < 255; ++s)
        values[s] = static_cast<uint8_t>(s);
    HuffmanDecoder d;
    JpegBuildHuffmanDecoder(bits, values, 1, 0, d);
    return d;
}

// Builds a byte string from groups of bits (value, count), zero-padded.
inline std::vector<uint8_t> BitString(std::initializer_list<std::pair<uint32_t, int>> groups)
{
    std::vector<uint8_t> bytes;
    uint64_t acc = 0;
    int count = 0;
    for (const auto& [value, n] : groups) {
        acc = (acc << n) | (value & ((uint64_t{1} << n) - 1));
        count += n;
        while (count >= 8) {
            count -= 8;
            bytes.push_back(static_cast<uint8_t>(acc >> count));
        }
    }
    if (count > 0)
        bytes.push_back(static_cast<uint8_t>(acc << (8 - count)));
    return bytes;
}

// Entropy-coded form of a byte string: a zero byte after each 0xFF.
inline std::vector<uint8_t> Stuff(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> out;
    for (uint8_t b : bytes) {
        out.push_back(b);
        if (b == 0xFF)
            out.push_back(0);
    }
    return out;
}

} // namespace thermjpeg::test

#endif
