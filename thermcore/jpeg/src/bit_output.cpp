#include "bit_output.h"

#include "file_io.h"

namespace thermjpeg {
namespace {

// Writes the file buffer out and rewinds it.
int FlushFileBuffer(OutputRecord& out)
{
    const size_t count = static_cast<size_t>(out.current - out.start);
    if (count == 0)
        return 0;
    size_t written = 0;
    if (!JpegWriteFile(out.file, out.start, count, &written) || written != count)
        return JPEG_FILE_ERROR;
    out.flushed += static_cast<int64_t>(count);
    out.current = out.start;
    return 0;
}

// Stores one byte: a full file buffer is written out first; a full memory
// output fails.
int StoreByte(OutputRecord& out, uint8_t byte)
{
    if (out.current >= out.end) {
        if (!out.isFile())
            return JPEG_OUTPUT_TOO_SMALL;
        if (int rc = FlushFileBuffer(out))
            return rc;
    }
    *out.current++ = byte;
    return 0;
}

int StoreEntropyByte(OutputRecord& out, uint8_t byte)
{
    if (int rc = StoreByte(out, byte))
        return rc;
    return byte == 0xFF ? StoreByte(out, 0) : 0;
}

// The bytes that completing the pending bits will store, stuffing included.
size_t PendingSize(const OutputRecord& out)
{
    size_t size = 0;
    int count = out.bitCount;
    while (count >= 8) {
        count -= 8;
        size += static_cast<uint8_t>(out.bitBuffer >> count) == 0xFF ? 2 : 1;
    }
    return size + (count > 0 ? 1 : 0);
}

// Stores every pending bit; a partial byte is padded with zero bits.
int CompletePendingByte(OutputRecord& out)
{
    if (int rc = JpegEmitPendingBytes(out))
        return rc;
    if (out.bitCount > 0) {
        const uint8_t byte = static_cast<uint8_t>(out.bitBuffer << (8 - out.bitCount));
        out.bitCount = 0;
        if (int rc = StoreEntropyByte(out, byte))
            return rc;
    }
    out.bitBuffer = 0;
    return 0;
}

} // namespace

void JpegOutputInit(OutputRecord& out, uint8_t* address, int64_t size)
{
    if (out.isFile()) {
        out.start = out.fileBuffer;
        out.end = out.fileBuffer + kFileBufferSize;
    } else {
        out.start = address;
        out.end = address + size;
    }
    out.current = out.start;
    out.flushed = 0;
    out.bitBuffer = 0;
    out.bitCount = 0;
}

int JpegEmitPendingBytes(OutputRecord& out)
{
    while (out.bitCount >= 8) {
        const uint8_t byte = static_cast<uint8_t>(out.bitBuffer >> (out.bitCount - 8));
        if (int rc = StoreEntropyByte(out, byte))
            return rc;
        out.bitCount -= 8;
    }
    return 0;
}

int JpegOutputWriteBytes(const uint8_t* bytes, size_t length, OutputRecord& out)
{
    if (!out.isFile()) {
        const size_t room = static_cast<size_t>(out.end - out.current);
        const size_t pending = PendingSize(out);
        if (pending > room || length > room - pending)
            return JPEG_OUTPUT_TOO_SMALL;
    }
    if (int rc = CompletePendingByte(out))
        return rc;
    for (size_t i = 0; i < length; ++i) {
        if (int rc = StoreByte(out, bytes[i]))
            return rc;
    }
    return 0;
}

int JpegFinishOutput(OutputRecord& out)
{
    if (int rc = out.start ? JpegOutputWriteBytes(nullptr, 0, out) : 0)
        return rc;
    return out.isFile() ? FlushFileBuffer(out) : 0;
}

} // namespace thermjpeg
