// Little-endian field access for the camera's file structures.
//
// Every structure read from a file goes through these helpers, field by field;
// nothing is read by laying a struct over a buffer. The reader and writer keep
// a sticky failure: a step past the end does nothing (a read yields zero) and
// marks them failed, so a parser checks ok() once after a group of fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace thermcore {

inline uint16_t loadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t loadU32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
inline int16_t loadI16(const uint8_t* p) { return static_cast<int16_t>(loadU16(p)); }
inline int32_t loadI32(const uint8_t* p) { return static_cast<int32_t>(loadU32(p)); }
inline float loadF32(const uint8_t* p) {
    const uint32_t bits = loadU32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

inline void storeU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void storeU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
inline void storeI16(uint8_t* p, int16_t v) { storeU16(p, static_cast<uint16_t>(v)); }
inline void storeI32(uint8_t* p, int32_t v) { storeU32(p, static_cast<uint32_t>(v)); }
inline void storeF32(uint8_t* p, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    storeU32(p, bits);
}

// A position in a byte range that only moves forward, with a sticky
// failure once a step would leave the range.
template <typename Byte>
class ByteCursor {
public:
    explicit ByteCursor(std::span<Byte> data) : data_(data) {}

    bool ok() const { return ok_; }
    size_t position() const { return pos_; }
    size_t remaining() const { return data_.size() - pos_; }

protected:
    // The n bytes at the current position, or nullptr (the cursor fails).
    Byte* take(size_t n) {
        if (!ok_ || n > data_.size() - pos_) {
            ok_ = false;
            return nullptr;
        }
        pos_ += n;
        return data_.data() + pos_ - n;
    }

private:
    std::span<Byte> data_;
    size_t pos_ = 0;
    bool ok_ = true;
};

// Sequential reader; a read past the end gives zero.
class ByteReader : public ByteCursor<const uint8_t> {
public:
    using ByteCursor::ByteCursor;

    uint8_t u8() {
        const uint8_t* p = take(1);
        return p != nullptr ? *p : 0;
    }
    uint16_t u16() {
        const uint8_t* p = take(2);
        return p != nullptr ? loadU16(p) : 0;
    }
    uint32_t u32() {
        const uint8_t* p = take(4);
        return p != nullptr ? loadU32(p) : 0;
    }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    float f32() {
        const uint8_t* p = take(4);
        return p != nullptr ? loadF32(p) : 0.0f;
    }
    void bytes(void* dest, size_t n) {
        const uint8_t* p = take(n);
        if (p != nullptr) {
            std::memcpy(dest, p, n);
        } else {
            std::memset(dest, 0, n);
        }
    }
};

// Sequential writer into a range the caller has sized.
class ByteWriter : public ByteCursor<uint8_t> {
public:
    using ByteCursor::ByteCursor;

    void u8(uint8_t v) {
        if (uint8_t* p = take(1)) *p = v;
    }
    void u16(uint16_t v) {
        if (uint8_t* p = take(2)) storeU16(p, v);
    }
    void u32(uint32_t v) {
        if (uint8_t* p = take(4)) storeU32(p, v);
    }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) {
        if (uint8_t* p = take(4)) storeF32(p, v);
    }
    void bytes(const void* src, size_t n) {
        if (uint8_t* p = take(n)) std::memcpy(p, src, n);
    }
    // The next n bytes, for the caller to write in place; nullptr (and the
    // writer fails) when they do not fit.
    uint8_t* place(size_t n) { return take(n); }
};

// a + b <= limit, without overflow, for sizes taken from a file.
inline bool fitsWithin(uint64_t offset, uint64_t size, uint64_t limit) {
    return offset <= limit && size <= limit - offset;
}

}  // namespace thermcore
