// Little-endian field access for the picture code: reads at an offset check
// the length first and give 0 past the end; writes append (byte_io.h).
#pragma once

#include "byte_io.h"

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

using detail::putU16;
using detail::putU32;
using detail::putU8;

inline void setU32(QByteArray& out, std::size_t pos, std::uint32_t v) { detail::patchU32(out, qsizetype(pos), v); }

} // namespace platform::picture
