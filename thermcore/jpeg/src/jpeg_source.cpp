#include "jpeg_source.h"

#include <cstring>

#include "file_io.h"
#include "thermjpeg.h"

namespace thermjpeg {
namespace {

// The bit reader's refill of file input.
int RefillBits(BitReader& reader, void* context)
{
    auto& source = *static_cast<JpegSource*>(context);
    (void)reader;
    return JpegSourceFill(source);
}

int EndCode(const JpegSource& source) { return source.isFile() ? JPEG_FILE_ERROR : JPEG_MEMORY_ERROR; }

// Makes at least n bytes available when the input holds them: 0, or 1 when
// it ends first, or a negative error.
int Ensure(JpegSource& s, size_t n)
{
    while (s.bits.bytesLeft < n) {
        if (!s.isFile())
            return 1;
        const size_t before = s.bits.bytesLeft;
        if (int rc = JpegSourceFill(s))
            return rc;
        if (s.bits.bytesLeft == before)
            return 1;
    }
    return 0;
}

void Advance(JpegSource& s, size_t n)
{
    s.bits.next += n;
    s.bits.bytesLeft -= n;
    s.bits.consumed += n;
}

} // namespace

void JpegSourceAttachMemory(JpegSource& source, const uint8_t* data, size_t size)
{
    source.file = -1;
    source.base = data;
    source.size = data ? size : 0;
    JpegSourceReset(source);
}

void JpegSourceAttachFile(JpegSource& source, int file)
{
    source.file = file;
    source.base = nullptr;
    source.size = 0;
    JpegSourceReset(source);
}

void JpegSourceReset(JpegSource& s)
{
    BitReader& b = s.bits;
    b.bitBuffer = 0;
    b.bitCount = 0;
    b.marker = 0;
    b.eobRun = 0;
    b.consumed = 0;
    if (s.isFile()) {
        b.next = s.buffer;
        b.bytesLeft = 0;
        b.refill = RefillBits;
        b.refillContext = &s;
    } else {
        b.next = s.base;
        b.bytesLeft = s.size;
        b.refill = nullptr;
        b.refillContext = nullptr;
    }
}

int JpegSourceFill(JpegSource& s)
{
    if (!s.isFile())
        return 0;
    BitReader& b = s.bits;
    // Keep the unread rest at the front of the buffer and append a block.
    if (b.bytesLeft > 0 && b.next != s.buffer)
        std::memmove(s.buffer, b.next, b.bytesLeft);
    b.next = s.buffer;
    const size_t room = sizeof s.buffer - b.bytesLeft;
    const size_t want = room < kSourceBlockSize ? room : kSourceBlockSize;
    size_t got = 0;
    if (!JpegReadFile(s.file, s.buffer + b.bytesLeft, want, &got))
        return JPEG_FILE_ERROR;
    b.bytesLeft += got;
    return 0;
}

int JpegSourceTake(JpegSource& s, size_t n, const uint8_t** data)
{
    if (n > sizeof s.buffer && s.isFile())
        return JPEG_INTERNAL_ERROR;
    int rc = Ensure(s, n);
    if (rc < 0)
        return rc;
    if (rc > 0)
        return EndCode(s);
    *data = s.bits.next;
    Advance(s, n);
    return 0;
}

int JpegSourceTakeCopy(JpegSource& s, size_t n, const uint8_t** data)
{
    if (!s.isFile() || n <= kSourceBlockSize)
        return JpegSourceTake(s, n, data);
    s.gather.clear();
    s.gather.reserve(n);
    size_t left = n;
    while (left > 0) {
        if (s.bits.bytesLeft == 0) {
            if (int rc = JpegSourceFill(s))
                return rc;
            if (s.bits.bytesLeft == 0)
                return JPEG_FILE_ERROR;
        }
        const size_t piece = left < s.bits.bytesLeft ? left : s.bits.bytesLeft;
        s.gather.insert(s.gather.end(), s.bits.next, s.bits.next + piece);
        Advance(s, piece);
        left -= piece;
    }
    *data = s.gather.data();
    return 0;
}

int JpegReadWord(JpegSource& s, int* value)
{
    const uint8_t* p = nullptr;
    if (int rc = JpegSourceTake(s, 2, &p))
        return rc;
    *value = (p[0] << 8) | p[1];
    return 0;
}

int JpegSourceFindMarker(JpegSource& s)
{
    for (;;) {
        int rc = Ensure(s, 1);
        if (rc < 0)
            return rc;
        if (rc > 0)
            return EndCode(s);
        // Scan the buffered bytes for 0xFF.
        const void* hit = std::memchr(s.bits.next, 0xFF, s.bits.bytesLeft);
        if (hit == nullptr) {
            Advance(s, s.bits.bytesLeft);
            continue;
        }
        Advance(s, static_cast<size_t>(static_cast<const uint8_t*>(hit) - s.bits.next) + 1);
        for (;;) {
            rc = Ensure(s, 1);
            if (rc < 0)
                return rc;
            if (rc > 0)
                return EndCode(s);
            const uint8_t code = *s.bits.next;
            if (code == 0xFF) { // fill byte
                Advance(s, 1);
                continue;
            }
            if (code == 0x00) { // stuffed byte outside entropy data
                Advance(s, 1);
                break;
            }
            return 0;
        }
    }
}

int JpegReadMarker(JpegSource& s, int* code)
{
    if (s.bits.marker != 0) {
        *code = s.bits.marker;
        s.bits.marker = 0;
        return 0;
    }
    const int rc = JpegSourceFindMarker(s);
    if (rc == JPEG_MEMORY_ERROR || rc == JPEG_FILE_ERROR) {
        *code = kEndOfData;
        return 0;
    }
    if (rc)
        return rc;
    *code = *s.bits.next;
    Advance(s, 1);
    return 0;
}

int JpegSkipSegment(JpegSource& s)
{
    int length = 0;
    if (JpegReadWord(s, &length) != 0 || length < 2)
        return JPEG_DATA_ERROR;
    size_t left = static_cast<size_t>(length - 2);
    while (left > 0) {
        if (s.bits.bytesLeft == 0) {
            if (Ensure(s, 1) != 0)
                return JPEG_DATA_ERROR;
        }
        const size_t piece = left < s.bits.bytesLeft ? left : s.bits.bytesLeft;
        Advance(s, piece);
        left -= piece;
    }
    return 0;
}

int JpegSourceSeek(JpegSource& s, int64_t offset)
{
    BitReader& b = s.bits;
    b.bitBuffer = 0;
    b.bitCount = 0;
    b.marker = 0;
    if (offset < 0)
        return JPEG_DATA_ERROR;
    if (s.isFile()) {
        if (!JpegSeekFile(s.file, offset, SeekOrigin::Start))
            return JPEG_FILE_ERROR;
        b.next = s.buffer;
        b.bytesLeft = 0;
    } else {
        if (static_cast<uint64_t>(offset) > s.size)
            return JPEG_DATA_ERROR;
        b.next = s.base + offset;
        b.bytesLeft = s.size - static_cast<size_t>(offset);
    }
    b.consumed = static_cast<uint64_t>(offset);
    return 0;
}

} // namespace thermjpeg
