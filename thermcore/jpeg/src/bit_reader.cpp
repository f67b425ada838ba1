#include "bit_reader.h"

#include "thermjpeg.h"

namespace thermjpeg {
namespace {

// Makes at least one input byte available: 0, or 1 at the end of the
// input, or the refill's error.
int EnsureInput(BitReader& r)
{
    if (r.bytesLeft > 0)
        return 0;
    if (r.refill == nullptr)
        return 1;
    if (int rc = r.refill(r, r.refillContext))
        return rc;
    return r.bytesLeft > 0 ? 0 : 1;
}

uint8_t TakeByte(BitReader& r)
{
    --r.bytesLeft;
    ++r.consumed;
    return *r.next++;
}

} // namespace

void JpegBitReaderInit(BitReader& r, const uint8_t* data, size_t size)
{
    r.bitBuffer = 0;
    r.bitCount = 0;
    r.next = data;
    r.bytesLeft = data ? size : 0;
    r.consumed = 0;
    r.marker = 0;
    r.eobRun = 0;
}

int JpegFillBits(BitReader& r, int wanted)
{
    while (r.bitCount <= 56 && r.marker == 0) {
        int rc = EnsureInput(r);
        if (rc < 0)
            return rc;
        if (rc > 0)
            break; // end of input: the block ends with the bits it has
        uint8_t byte = TakeByte(r);
        if (byte == 0xFF) {
            uint8_t following;
            do {
                rc = EnsureInput(r);
                if (rc < 0)
                    return rc;
                if (rc > 0)
                    return JPEG_DATA_ERROR;
                following = TakeByte(r);
            } while (following == 0xFF);
            if (following != 0x00) {
                r.marker = following;
                break;
            }
        }
        r.bitBuffer |= uint64_t{byte} << (56 - r.bitCount);
        r.bitCount += 8;
    }
    return r.bitCount < wanted ? kStatusNoMoreBits : 0;
}

} // namespace thermjpeg
