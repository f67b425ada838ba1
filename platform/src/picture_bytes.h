// Little-endian field access for the picture code: reads check the length
// first and give 0 past the end; writes append.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

namespace platform::picture {

inline bool fits(QByteArrayView b, std::size_t pos, std::size_t n)
{
    return pos <= std::size_t(b.size()) && n <= std::size_t(b.size()) - pos;
}

inline std::uint8_t getU8(QByteArrayView b, std::size_t pos)
{
    return fits(b, pos, 1) ? std::uint8_t(b[qsizetype(pos)]) : 0;
}

inline std::uint16_t getU16(QByteArrayView b, std::size_t pos)
{
    if (!fits(b, pos, 2))
        return 0;
    return std::uint16_t(getU8(b, pos) | (getU8(b, pos + 1) << 8));
}

inline std::uint32_t getU32(QByteArrayView b, std::size_t pos)
{
    if (!fits(b, pos, 4))
        return 0;
    return std::uint32_t(getU16(b, pos)) | (std::uint32_t(getU16(b, pos + 2)) << 16);
}

inline std::int32_t getI32(QByteArrayView b, std::size_t pos) { return std::int32_t(getU32(b, pos)); }

inline void putU8(QByteArray& out, std::uint8_t v) { out.append(char(v)); }

inline void putU16(QByteArray& out, std::uint16_t v)
{
    putU8(out, std::uint8_t(v));
    putU8(out, std::uint8_t(v >> 8));
}

inline void putU32(QByteArray& out, std::uint32_t v)
{
    putU16(out, std::uint16_t(v));
    putU16(out, std::uint16_t(v >> 16));
}

inline void setU32(QByteArray& out, std::size_t pos, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[qsizetype(pos) + i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace platform::picture
