#include "document/rtf_mem_file.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

// A memory file never holds more than this.
constexpr std::uint64_t kMaxLength = 0x7FFFFFFF;

} // namespace

void CRtfMemFile::Reserve(std::size_t bytes)
{
    if (bytes <= static_cast<std::size_t>(m_buffer.size()))
        return;
    if (bytes > kMaxLength)
        throw std::length_error("memory file too large");
    const std::size_t steps = (bytes + kGrowBytes - 1) / kGrowBytes;
    const std::size_t size = std::min<std::size_t>(steps * kGrowBytes, kMaxLength);
    const qsizetype old = m_buffer.size();
    m_buffer.resize(static_cast<qsizetype>(size));
    std::memset(m_buffer.data() + old, 0, static_cast<std::size_t>(m_buffer.size() - old));
}

std::size_t CRtfMemFile::Read(void* out, std::size_t count)
{
    if (m_position >= m_length || count == 0)
        return 0;
    const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(m_length - m_position));
    std::memcpy(out, m_buffer.constData() + m_position, n);
    m_position += static_cast<qsizetype>(n);
    return n;
}

void CRtfMemFile::Write(const void* data, std::size_t count)
{
    if (count == 0)
        return;
    if (count > kMaxLength || static_cast<std::uint64_t>(m_position) > kMaxLength - count)
        throw std::length_error("memory file too large");
    const std::size_t end = static_cast<std::size_t>(m_position) + count;
    Reserve(end);
    if (m_position > m_length) // a gap left by a seek past the end reads as zeros
        std::memset(m_buffer.data() + m_length, 0, static_cast<std::size_t>(m_position - m_length));
    std::memcpy(m_buffer.data() + m_position, data, count);
    m_position = static_cast<qsizetype>(end);
    m_length = std::max(m_length, m_position);
}

void CRtfMemFile::Seek(std::uint64_t pos)
{
    m_position = static_cast<qsizetype>(std::min(pos, kMaxLength));
}

void CRtfMemFile::SetLength(std::uint64_t length)
{
    if (length > kMaxLength)
        throw std::length_error("memory file too large");
    const auto n = static_cast<qsizetype>(length);
    Reserve(static_cast<std::size_t>(n));
    if (n > m_length)
        std::memset(m_buffer.data() + m_length, 0, static_cast<std::size_t>(n - m_length));
    m_length = n;
}

void CRtfMemFile::Assign(QByteArrayView bytes)
{
    m_length = 0;
    m_position = 0;
    Write(bytes);
    m_position = 0;
}

void CRtfMemFile::Serialize(platform::ArchiveWriter& ar) const
{
    m_storedLength = static_cast<std::uint32_t>(m_length);
    ar.writeU32(m_storedLength);
    ar.writeBytes(Data());
}

void CRtfMemFile::Serialize(platform::ArchiveReader& ar)
{
    const std::uint32_t length = ar.readU32();
    if (length > ar.remaining())
        ar.fail(platform::ArchiveErrorCode::BadCount, ar.position() - 4);
    Reserve(length);
    m_length = static_cast<qsizetype>(length);
    ar.readBytes(m_buffer.data(), length);
    m_storedLength = length;
}
