// CDibImage inside an archive: the record of dib_image.h.
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"
#include "platform/dib_image.h"

namespace platform {

void CDibImage::Serialize(ArchiveWriter& ar)
{
    ar.writeBytes(StoreRecord());
}

void CDibImage::Serialize(ArchiveReader& ar)
{
    const std::size_t at = ar.position();
    const std::uint32_t n = ar.readU32();
    if (n == 0)
        return;
    if (n > ar.remaining())
        ar.fail(ArchiveErrorCode::BadCount, at);
    // A picture that does not load leaves the object empty; the archive
    // goes on after its bytes.
    LoadFromMemory(ar.readBytes(n));
}

} // namespace platform
