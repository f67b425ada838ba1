// The colour image as a JPEG file through the codec: blue, green, red bytes
// packed row after row (no row padding), JFIF YCbCr at the codec's default
// sampling and DCT, written beside the target and renamed over it.
#include <new>

#include "extracts.h"
#include "file_io.h"
#include "thermjpeg.h"

namespace thermcore {

namespace {

constexpr int kDefaultQuality = 80;

// Closes whatever the record still holds, whatever the write did.
struct CodecRecord {
    JPEG_PROPERTIES p{};
    int initResult = JpegInit(&p);
    int freeResult = 0;
    bool freed = false;
    int free() {
        if (!freed) freeResult = JpegFree(&p);
        freed = true;
        return freeResult;
    }
    ~CodecRecord() { free(); }
};

}  // namespace

int saveColourJpeg(IfrObject& obj, const char* path, int quality) {
    const size_t pixels = obj.pixelCount();
    if (path == nullptr || pixels == 0) return -1;
    std::vector<uint8_t> bgr;
    try {
        bgr.resize(pixels * 3);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    obj.colourPixels();
    for (size_t i = 0; i < pixels; ++i) {
        const uint32_t c = obj.rgb[i];
        bgr[3 * i] = static_cast<uint8_t>(c);
        bgr[3 * i + 1] = static_cast<uint8_t>(c >> 8);
        bgr[3 * i + 2] = static_cast<uint8_t>(c >> 16);
    }

    ReplacingFile out(path);
    if (!out.opened()) return JPEG_INVALID_FILE_NAME;
    CodecRecord codec;
    if (codec.initResult != JPEG_SUCCESS) return codec.initResult;
    JPEG_PROPERTIES& p = codec.p;
    p.ReuseSettings = 0;
    p.ImageBytes = bgr.data();
    p.ImageWidth = obj.width;
    p.ImageHeight = obj.height;
    p.ImagePadBytes = 0;
    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_BGR;
    p.JpegFile = out.tempPath().c_str();
    p.JpegWidth = obj.width;
    p.JpegHeight = obj.height;
    p.JpegChannels = 3;
    p.JpegColour = JPEG_COLOUR_YCBCR;
    p.Quality = quality >= 1 && quality <= 100 ? quality : kDefaultQuality;
    int r = JpegWrite(&p, JPEG_MODE_WRITE_FILE);
    const int freed = codec.free();
    if (r == JPEG_SUCCESS) r = freed;
    if (r == JPEG_SUCCESS && !out.commit()) r = JPEG_FILE_ERROR;
    return r;
}

}  // namespace thermcore
