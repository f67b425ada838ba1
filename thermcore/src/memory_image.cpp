// Memory images (IFR_LoadBuffer): the object reads a copy of the caller's
// bytes of its own, through a stream over memory; no file is written.
#include <cstddef>

#include "byte_order.h"
#include "file_open.h"
#include "sequence.h"

namespace thermcore {

int openMemoryImage(IfrObject& obj, void* window, const void* data, int length) {
    if (data == nullptr || length <= 0) return -1;
    const auto* bytes = static_cast<const uint8_t*>(data);
    // A sequence begins with its layout 1, 2 or 3; a still image with its
    // model string. (A layout-0 sequence is handed out as its first frame.)
    const uint32_t first = length >= 4 ? loadU32(bytes) : 0;
    const int kind = first >= 1 && first <= 3 ? IFR_KIND_SEQUENCE : IFR_KIND_IMAGE;
    return openBytes(obj, bytes, static_cast<size_t>(length), kind, window);
}

}  // namespace thermcore
