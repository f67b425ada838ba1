// 24-bit BMP files and packed DIBs, written field by field.
//
// A BMP file is the 14-byte file header ("BM", file size, 0, data offset
// 54), the 40-byte info header (40, width, height, 1 plane, 24 bits, no
// compression, image size, resolution and colour counts 0) and the rows from
// the bottom up, 3 bytes a pixel (blue, green, red), each row padded with
// zeros to a multiple of 4 bytes. A packed DIB is the same without the file
// header.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

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
// column x of row y counted from the top. Each row is written in place: a
// pixel but the last is stored as a 32-bit word whose fourth byte the next
// pixel overwrites.
template <typename ColourAt>
void putBmpRows(ByteWriter& w, uint32_t width, uint32_t height, ColourAt colourAt) {
    const auto rowBytes = static_cast<size_t>(bmpRowBytes(width));
    for (uint32_t y = height; y-- > 0;) {
        uint8_t* row = w.place(rowBytes);
        if (row == nullptr) return;
        if (width == 0) continue;
        for (uint32_t x = 0; x + 1 < width; ++x) storeU32(row + 3 * size_t{x}, colourAt(x, y));
        const uint32_t last = colourAt(width - 1, y);
        uint8_t* end = row + 3 * size_t{width - 1};
        end[0] = static_cast<uint8_t>(last);
        end[1] = static_cast<uint8_t>(last >> 8);
        end[2] = static_cast<uint8_t>(last >> 16);
        std::fill(end + 3, row + rowBytes, uint8_t{0});  // padding
    }
}

}  // namespace thermcore
