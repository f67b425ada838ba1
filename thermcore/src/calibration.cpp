#include "calibration.h"

#include <algorithm>
#include <cstring>

#include "byte_order.h"

namespace thermcore {

CalibrationPayload CalibrationPayload::fromBytes(std::span<const uint8_t> stored) {
    CalibrationPayload c;
    c.storedLength = static_cast<uint32_t>(stored.size());
    // Word by word: each little-endian word lands in the field at the same
    // offset (every field of the block is 4 bytes wide).
    auto* dest = reinterpret_cast<unsigned char*>(&c.para);
    const size_t whole = std::min<size_t>(stored.size(), MT_PARA_SIZE) / 4;
    for (size_t w = 0; w < whole; ++w) {
        const uint32_t v = loadU32(&stored[w * 4]);
        std::memcpy(dest + w * 4, &v, 4);
    }
    const size_t rest = std::min<size_t>(stored.size(), MT_PARA_SIZE) % 4;
    if (rest != 0) {
        // A stored length that ends inside a word: the missing bytes read 0.
        uint8_t word[4] = {};
        std::memcpy(word, &stored[whole * 4], rest);
        const uint32_t v = loadU32(word);
        std::memcpy(dest + whole * 4, &v, 4);
    }
    if (stored.size() > MT_PARA_SIZE) c.beyond.assign(stored.begin() + MT_PARA_SIZE, stored.end());
    return c;
}

void CalibrationPayload::appendStored(std::vector<uint8_t>& out) const {
    const auto* src = reinterpret_cast<const unsigned char*>(&para);
    const size_t n = std::min<size_t>(storedLength, MT_PARA_SIZE);
    const size_t base = out.size();
    out.resize(base + n);
    for (size_t i = 0; i < n; i += 4) {
        uint32_t v;
        std::memcpy(&v, src + i, 4);
        uint8_t word[4];
        storeU32(word, v);
        std::memcpy(&out[base + i], word, std::min<size_t>(4, n - i));
    }
    out.insert(out.end(), beyond.begin(), beyond.end());
}

std::optional<DisplayBlock> decodeDisplayBlock(std::span<const uint8_t, kDisplayBlockSize> bytes) {
    ByteReader r(bytes);
    if (r.u32() != kDisplayTag) return std::nullopt;
    uint8_t unread[8];
    r.bytes(unread, sizeof unread);
    DisplayBlock d;
    d.agcState = r.u8();
    d.upper100 = r.i32();
    d.lower100 = r.i32();
    return d;
}

}  // namespace thermcore
