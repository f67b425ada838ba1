// The visible-light photo as a file or a packed DIB.
//
// A still image's photo is raw when its stored size holds width * height
// 32-bit pixels (rows from the top, blue, green, red and a fourth byte);
// otherwise (the JPEG photo of "VN410K10") only its stored bytes can be
// handed out. A sequence's photo is the data of its photo chunks; data that
// begins with 0x55 carries a 24-byte header before the photo.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <string_view>

#include "bmp_writer.h"
#include "extracts.h"
#include "file_io.h"
#include "thermjpeg.h"

namespace thermcore {

namespace {

constexpr uint8_t kPhotoHeaderMark = 0x55;
constexpr uint32_t kPhotoHeaderBytes = 24;
constexpr int kStillPhotoKind = 3;

struct RawPhoto {
    const uint8_t* pixels;
    uint32_t width;
    uint32_t height;

    uint32_t colourAt(uint32_t x, uint32_t y) const {
        return loadU32(pixels + (size_t{y} * width + x) * 4) & 0xFFFFFF;
    }
};

std::span<const uint8_t> storedPhoto(const IfrObject& obj) {
    if (!obj.photo.held) return {};
    return {obj.fileCopy.data() + obj.photo.offset, obj.photo.size};
}

// The photo of a still image as pixels, when it is stored raw.
std::optional<RawPhoto> rawPhoto(const IfrObject& obj) {
    if (!obj.hasFile() || extractsFromSequence(obj) || !obj.photo.held) return std::nullopt;
    const uint32_t w = obj.block.photoWidth;
    const uint32_t h = obj.block.photoHeight;
    // Pictures beyond the bound callers allocate by are never made from it.
    if (!JpegPictureFits(w, h, 4) || obj.photo.size < uint64_t{w} * h * 4) return std::nullopt;
    return RawPhoto{obj.fileCopy.data() + obj.photo.offset, w, h};
}

// The text after the path's last '.' is "BMP" in any case.
bool namesBmp(std::string_view path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.size() - dot - 1 != 3) return false;
    for (size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(path[dot + 1 + i])) != "BMP"[i]) return false;
    }
    return true;
}

// A BMP of the raw photo, its width rounded down to a multiple of 4; empty
// when nothing is left of it.
std::vector<uint8_t> photoBmp(const RawPhoto& p) {
    const uint32_t w = p.width / 4 * 4;
    if (w == 0) return {};
    std::vector<uint8_t> bytes(kBmpFileHeaderSize + kBmpInfoHeaderSize + bmpPixelBytes(w, p.height));
    ByteWriter out(bytes);
    putBmpFileHeader(out, w, p.height);
    putBmpInfoHeader(out, w, p.height);
    putBmpRows(out, w, p.height, [&](uint32_t x, uint32_t y) { return p.colourAt(x, y); });
    return bytes;
}

int writeStillPhoto(const IfrObject& obj, const char* path, int* kind) {
    const std::span<const uint8_t> stored = storedPhoto(obj);
    if (stored.empty()) return -1;
    if (kind != nullptr) *kind = kStillPhotoKind;
    std::vector<uint8_t> bmp;
    if (const std::optional<RawPhoto> raw = rawPhoto(obj); raw && namesBmp(path)) bmp = photoBmp(*raw);
    return writeFileReplacing(path, bmp.empty() ? stored : std::span<const uint8_t>(bmp)) ? 1 : -1;
}

int writeSequencePhoto(IfrObject& obj, const char* path) {
    std::vector<ChunkSpan> chunks = sequenceChunks(obj, kChunkPhoto);
    if (!chunks.empty()) obj.hasPhoto = 1;
    for (ChunkSpan& c : chunks) {
        uint8_t first = 0;
        if (c.size > 0 && readFileAt(obj, c.offset, &first, 1) && first == kPhotoHeaderMark) {
            const uint32_t skip = std::min(c.size, kPhotoHeaderBytes);
            c.offset += skip;
            c.size -= skip;
        }
    }
    ReplacingFile out(path);
    const bool ok = out.opened() &&
                    readChunks(obj, chunks, [&](std::span<const uint8_t> b) { return out.write(b); });
    return ok && out.commit() ? 1 : -1;
}

}  // namespace

int existPhoto(const IfrObject& obj) {
    if (!extractsReady(obj)) return 0;
    if (extractsFromSequence(obj)) return obj.hasPhoto;
    return obj.photo.held ? 1 : 0;
}

int writePhotoFile(IfrObject& obj, const char* path, int* kind) {
    if (path == nullptr || !extractsReady(obj)) return -1;
    return extractsFromSequence(obj) ? writeSequencePhoto(obj, path) : writeStillPhoto(obj, path, kind);
}

int photoToDib(const IfrObject& obj, uint8_t* buffer, int* size) {
    const std::optional<RawPhoto> raw = rawPhoto(obj);
    if (!raw) {
        if (size != nullptr) *size = 0;
        return -1;
    }
    const uint64_t need = kBmpInfoHeaderSize + bmpPixelBytes(raw->width, raw->height);
    if (buffer == nullptr || size == nullptr || *size < 0 || static_cast<uint64_t>(*size) < need) return -1;
    ByteWriter out({buffer, static_cast<size_t>(need)});
    putBmpInfoHeader(out, raw->width, raw->height);
    putBmpRows(out, raw->width, raw->height, [&](uint32_t x, uint32_t y) { return raw->colourAt(x, y); });
    *size = static_cast<int>(need);
    return 1;
}

}  // namespace thermcore
