// Little-endian field helpers shared by the archive and the property-set code.
// Readers never cast a structure onto a buffer: every field is taken byte by
// byte through a cursor that knows how many bytes are left.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform::detail {

inline void putU8(QByteArray& out, std::uint8_t v) { out.append(static_cast<char>(v)); }

inline void putU16(QByteArray& out, std::uint16_t v)
{
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out.append(b, 2);
}

inline void putU32(QByteArray& out, std::uint32_t v)
{
    const char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
    out.append(b, 4);
}

inline void putU64(QByteArray& out, std::uint64_t v)
{
    putU32(out, static_cast<std::uint32_t>(v));
    putU32(out, static_cast<std::uint32_t>(v >> 32));
}

// Overwrites four bytes at pos (which the caller has already reserved).
inline void patchU32(QByteArray& out, qsizetype pos, std::uint32_t v)
{
    char* p = out.data() + pos;
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>((v >> 8) & 0xFF);
    p[2] = static_cast<char>((v >> 16) & 0xFF);
    p[3] = static_cast<char>(v >> 24);
}

inline std::uint16_t loadU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t loadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t loadU64(const std::uint8_t* p)
{
    return static_cast<std::uint64_t>(loadU32(p)) | (static_cast<std::uint64_t>(loadU32(p + 4)) << 32);
}

// A read position inside a byte buffer. Every read checks the bytes left and
// returns false (leaving the position where it was) when they do not suffice.
class ByteCursor {
public:
    ByteCursor() = default;
    explicit ByteCursor(QByteArrayView data)
        : m_data(reinterpret_cast<const std::uint8_t*>(data.data())),
          m_size(static_cast<std::size_t>(data.size()))
    {
    }

    std::size_t size() const { return m_size; }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_size - m_pos; }
    const std::uint8_t* current() const { return m_data + m_pos; }

    bool seek(std::size_t pos)
    {
        if (pos > m_size)
            return false;
        m_pos = pos;
        return true;
    }

    bool skip(std::size_t n)
    {
        if (n > remaining())
            return false;
        m_pos += n;
        return true;
    }

    bool u8(std::uint8_t& v)
    {
        if (remaining() < 1)
            return false;
        v = m_data[m_pos++];
        return true;
    }

    bool u16(std::uint16_t& v)
    {
        if (remaining() < 2)
            return false;
        v = loadU16(m_data + m_pos);
        m_pos += 2;
        return true;
    }

    bool u32(std::uint32_t& v)
    {
        if (remaining() < 4)
            return false;
        v = loadU32(m_data + m_pos);
        m_pos += 4;
        return true;
    }

    bool u64(std::uint64_t& v)
    {
        if (remaining() < 8)
            return false;
        v = loadU64(m_data + m_pos);
        m_pos += 8;
        return true;
    }

    bool bytes(void* dst, std::size_t n)
    {
        if (n > remaining())
            return false;
        if (n != 0)
            std::memcpy(dst, m_data + m_pos, n);
        m_pos += n;
        return true;
    }

    // A view of the next n bytes, without copying.
    bool view(std::size_t n, QByteArrayView& out)
    {
        if (n > remaining())
            return false;
        out = QByteArrayView(reinterpret_cast<const char*>(m_data + m_pos), static_cast<qsizetype>(n));
        m_pos += n;
        return true;
    }

private:
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_pos = 0;
};

} // namespace platform::detail
