// The number of symbols a BITS list (16 counts of codes of length 1..16)
// announces; shared by the table builders and the DHT writers.
#ifndef THERMJPEG_HUFFMAN_COUNT_H
#define THERMJPEG_HUFFMAN_COUNT_H

#include <cstdint>

namespace thermjpeg {

inline int JpegHuffmanSymbolCount(const uint8_t* bits)
{
    int total = 0;
    for (int i = 0; i < 16; ++i)
        total += bits[i];
    return total;
}

} // namespace thermjpeg

#endif
