// libFuzzer target over JpegRead: the input is a stream after one control
// byte. Each input is read as a header (mode 1), as the whole image (mode
// 3) to an output colour the control byte picks, reduced (mode 15), as a
// region, interrupted after every MCU, a strip of 32 rows at a time, into
// component planes, and for its thumbnail (mode 21).
// Buffers are exactly as large as the fields say, so AddressSanitizer sees
// any write past them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "thermjpeg.h"

namespace {

constexpr int64_t kMaxPixels = 1 << 18; // keeps each run fast

struct Output {
    int colour;
    int channels;
};
constexpr Output kOutputs[] = {{JPEG_COLOUR_RGB, 3}, {JPEG_COLOUR_BGR, 3}, {JPEG_COLOUR_GRAY, 1},
                               {JPEG_COLOUR_INV_RGBA, 4}, {JPEG_COLOUR_YCBCR, 2}, {JPEG_COLOUR_YCBCR, 3},
                               {JPEG_COLOUR_OTHER, 4}, {JPEG_COLOUR_OTHER, 1}};

// A strip read (stripRows > 0) gets a buffer of that many rows.
void ReadImage(std::vector<uint8_t>& stream, uint8_t control, int mode, int width, int height, bool region,
               bool interrupt, int stripRows = 0)
{
    JPEG_PROPERTIES p{};
    if (JpegInit(&p) != 0)
        return;
    const Output out = kOutputs[control & 7];
    if (region) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 3);
        p.OutputRegion = {width / 2, height, width / 2 + width, height * 2};
    }
    const int rows = stripRows > 0 ? std::min(stripRows, height) : height;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * rows * out.channels);
    p.StripRows = stripRows;
    p.ImageBytes = pixels.data();
    p.ImageWidth = width;
    p.ImageHeight = (control & 0x40) ? -height : height;
    p.ImageChannels = out.channels;
    p.ImageColour = out.colour;
    p.JpegBytes = stream.data();
    p.JpegSize = static_cast<int32_t>(stream.size());
    p.SmoothUpsampling = (control >> 3) & 1;
    p.DctMethod = (control >> 4) & 1;
    int rc, calls = 0;
    do {
        p.InterruptFlag = interrupt ? 1 : 0;
        rc = JpegRead(&p, mode);
    } while (rc == JPEG_INTERRUPTED && ++calls < 100000);
    JpegFree(&p);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const uint8_t control = data[0];
    std::vector<uint8_t> stream(data + 1, data + size);

    JPEG_PROPERTIES p{};
    if (JpegInit(&p) != 0)
        return 0;
    char comment[16];
    p.JpegBytes = stream.data();
    p.JpegSize = static_cast<int32_t>(stream.size());
    p.CommentBytes = comment;
    p.CommentLength = sizeof comment;
    const int rc = JpegRead(&p, JPEG_MODE_HEADER_MEMORY);
    const int width = p.JpegWidth, height = p.JpegHeight;
    JpegFree(&p);
    if (rc != 0 || static_cast<int64_t>(width) * height > kMaxPixels)
        return 0;

    ReadImage(stream, control, JPEG_MODE_READ_MEMORY, width, height, false, false);
    ReadImage(stream, control, JPEG_MODE_READ_HALF_MEMORY, (width + 1) / 2, (height + 1) / 2, false, false);
    ReadImage(stream, control, JPEG_MODE_READ_MEMORY, width, height, true, (control & 0x20) != 0);
    ReadImage(stream, control, JPEG_MODE_READ_MEMORY, width, height, false, false, 32);

    // Component planes instead of pixels.
    JPEG_PROPERTIES planes{};
    if (JpegInit(&planes) == 0) {
        planes.JpegBytes = stream.data();
        planes.JpegSize = static_cast<int32_t>(stream.size());
        planes.PlaneOutput = (control & 1) + 1;
        JpegRead(&planes, JPEG_MODE_READ_MEMORY);
        JpegFree(&planes);
    }

    // Thumbnail into a small buffer.
    JPEG_PROPERTIES t{};
    if (JpegInit(&t) == 0) {
        std::vector<uint8_t> thumb(16 * 16 * 3);
        t.ImageBytes = thumb.data();
        t.ImageWidth = 16;
        t.ImageHeight = 16;
        t.ImageChannels = 3;
        t.ImageColour = (control & 0x80) ? JPEG_COLOUR_RGB : JPEG_COLOUR_BGR;
        t.JpegBytes = stream.data();
        t.JpegSize = static_cast<int32_t>(stream.size());
        JpegRead(&t, JPEG_MODE_THUMBNAIL_MEMORY);
        JpegFree(&t);
    }
    return 0;
}
