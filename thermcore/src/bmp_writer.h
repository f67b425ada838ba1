// 24-bit BMP files and packed DIBs, written field by field.
//
// A BMP file is the 14-byte file header ("BM", file size, 0, data offset
// 54), the 40-byte info header (40, width, height, 1 plane, 24 bits, no
// compression, image size, resolution and colour counts 0) and the rows from
// the bottom up, 3 bytes a pixel (blue, green, red), each row padded with
// zeros to a multiple of 4 bytes. A packed DIB is the same without the file
// header.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_order.h"

namespace thermcore {

inline constexpr uint32_t kBmpFileHeaderSize = 14;
inline constexpr uint32_t kBmpInfoHeaderSize = 40;

inline uint64_t bmpRowBytes(uint32_t width) { return (uint64_t{width} * 3 + 3) / 4 * 4; }
inline uint64_t bmpPixelBytes(uint32_t width, uint32_t height) {
    return bmpRowBytes(width) * height;
}

inline void putBmpFileHeader(ByteWriter& w, uint32_t width, uint32_t height) {
    w.bytes("BM", 2);
    w.u32(static_cast<uint32_t>(kBmpFileHeaderSize + kBmpInfoHeaderSize + bmpPixelBytes(width, height)));
    w.u32(0);
    w.u32(kBmpFileHeaderSize + kBmpInfoHeaderSize);
}

inline void putBmpInfoHeader(ByteWriter& w, uint32_t width, uint32_t height) {
    w.u32(kBmpInfoHeaderSize);
    w.u32(width);
    w.u32(height);
    w.u16(1);
    w.u16(24);
    w.u32(0);
    w.u32(static_cast<uint32_t>(bmpPixelBytes(width, height)));
    for (int i = 0; i < 4; ++i) w.u32(0);
}

// The rows, bottom first. colourAt(x, y) gives the pixel 0x00RRGGBB of
// column x of row y counted from the top.
template <typename ColourAt>
void putBmpRows(ByteWriter& w, uint32_t width, uint32_t height, ColourAt colourAt) {
    std::vector<uint8_t> row(static_cast<size_t>(bmpRowBytes(width)), 0);  // padding stays 0
    for (uint32_t y = height; y-- > 0;) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t c = colourAt(x, y);
            row[3 * size_t{x}] = static_cast<uint8_t>(c);
            row[3 * size_t{x} + 1] = static_cast<uint8_t>(c >> 8);
            row[3 * size_t{x} + 2] = static_cast<uint8_t>(c >> 16);
        }
        w.bytes(row.data(), row.size());
    }
}

}  // namespace thermcore
