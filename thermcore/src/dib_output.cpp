// The false-colour image as a BMP file image in memory, a BMP file and raw
// 32-bit pixels.
//
// The colour buffer holds 0x00RRGGBB pixels, rows from the top; its first
// three bytes in memory order are blue, green, red, which is what a BMP row
// holds. Before any frame was rendered the image is black.
#include <algorithm>

#include "bmp_writer.h"
#include "extracts.h"
#include "file_io.h"
#include "measure.h"

namespace thermcore {

namespace {

// Bytes of the colour image's BMP file; 0 for an object without an image.
size_t colourBmpSize(const IfrObject& obj) {
    return static_cast<size_t>(ThermcoreDibFileSize(obj.width, obj.height));
}

void putColourBmp(IfrObject& obj, ByteWriter& w) {
    const auto width = static_cast<uint32_t>(obj.width);
    const auto height = static_cast<uint32_t>(obj.height);
    const uint32_t* pixels = obj.colourPixels();
    putBmpFileHeader(w, width, height);
    putBmpInfoHeader(w, width, height);
    putBmpRows(w, width, height, [pixels, width](uint32_t x, uint32_t y) { return pixels[size_t{y} * width + x]; });
}

}  // namespace

int renderDib(IfrObject& obj, uint8_t* buffer, int* size) {
    const size_t n = colourBmpSize(obj);
    if (buffer == nullptr || n == 0) return -1;
    obj.gray.resize(obj.pixelCount());
    repairBorders(obj);
    imaging::IM_DoIfrProcess(obj.imaging.get(), obj.gray.data(),
                             obj.imaging ? obj.renderTarget() : obj.colourBuffer());
    ByteWriter w({buffer, n});
    putColourBmp(obj, w);
    if (size != nullptr) *size = static_cast<int>(n);
    return 0;
}

int saveColourBmp(IfrObject& obj, const char* path) {
    const size_t n = colourBmpSize(obj);
    if (path == nullptr || n == 0) return -1;
    std::vector<uint8_t> bytes(n);
    ByteWriter w(bytes);
    putColourBmp(obj, w);
    return writeFileReplacing(path, bytes) ? 0 : -1;
}

int copyColourPixels(IfrObject& obj, void* buffer, int length) {
    if (length < 0 || static_cast<uint64_t>(length) > uint64_t{obj.pixelCount()} * 4) return -1;
    if (buffer == nullptr && length > 0) return -1;
    obj.colourPixels();
    auto* out = static_cast<uint8_t*>(buffer);
    for (size_t i = 0; i < static_cast<size_t>(length); ++i) {
        out[i] = static_cast<uint8_t>(obj.rgb[i / 4] >> (8 * (i % 4)));
    }
    return 0;
}

}  // namespace thermcore
