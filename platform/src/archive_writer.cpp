#include "platform/archive_writer.h"

#include "archive_tags.h"
#include "byte_io.h"
#include "platform/codepage.h"

#include <algorithm>
#include <bit>

namespace platform {

using namespace detail;

ArchiveWriter::ArchiveWriter(ArchiveDocument* document) : m_document(document) {}

void ArchiveWriter::writeU8(std::uint8_t v) { putU8(m_data, v); }
void ArchiveWriter::writeU16(std::uint16_t v) { putU16(m_data, v); }
void ArchiveWriter::writeU32(std::uint32_t v) { putU32(m_data, v); }
void ArchiveWriter::writeU64(std::uint64_t v) { putU64(m_data, v); }
void ArchiveWriter::writeF32(float v) { putU32(m_data, std::bit_cast<std::uint32_t>(v)); }
void ArchiveWriter::writeF64(double v) { putU64(m_data, std::bit_cast<std::uint64_t>(v)); }
void ArchiveWriter::setSink(Sink sink, qsizetype chunk)
{
    m_sink = std::move(sink);
    m_chunk = std::max<qsizetype>(chunk, 1);
    handOnGathered();
}

void ArchiveWriter::handOn(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    if (!m_sinkFailed && !m_sink(bytes))
        m_sinkFailed = true;
    m_handedOn += static_cast<std::uint64_t>(bytes.size());
}

void ArchiveWriter::handOnGathered()
{
    if (!m_sink || m_data.size() < m_chunk)
        return;
    handOn(m_data);
    // The buffer keeps its room for the next chunk.
    m_data.resize(0);
}

bool ArchiveWriter::finish()
{
    if (m_sink) {
        handOn(m_data);
        m_data.resize(0);
    }
    return !m_sinkFailed;
}

void ArchiveWriter::writeBytes(QByteArrayView bytes)
{
    if (m_sink) {
        if (m_data.size() + bytes.size() < m_chunk) {
            m_data.append(bytes);
            return;
        }
        handOn(m_data);
        m_data.resize(0);
        if (bytes.size() >= m_chunk)
            handOn(bytes);
        else
            m_data.append(bytes);
        return;
    }
    // Room is made by doubling through reserve, which reallocates in place
    // where it can: appending alone copies everything written so far at each
    // growth, which for a report of many camera files costs more than the
    // writing itself.
    const qsizetype needed = m_data.size() + bytes.size();
    if (needed > m_data.capacity())
        m_data.reserve(std::max(needed, 2 * m_data.capacity()));
    m_data.append(bytes);
}

void ArchiveWriter::writeCount(std::uint32_t count)
{
    if (count < 0xFFFF) {
        writeU16(static_cast<std::uint16_t>(count));
    } else {
        writeU16(0xFFFF);
        writeU32(count);
    }
}

void ArchiveWriter::writeString(QStringView text) { writeStringBytes(toGbk(text)); }

void ArchiveWriter::writeStringBytes(QByteArrayView bytes)
{
    const auto n = static_cast<std::uint64_t>(bytes.size());
    if (n < 0xFF) {
        writeU8(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        writeU8(0xFF);
        writeU16(static_cast<std::uint16_t>(n));
    } else {
        writeU8(0xFF);
        writeU16(0xFFFF);
        writeU32(static_cast<std::uint32_t>(n));
    }
    writeBytes(bytes);
}

std::uint32_t ArchiveWriter::nextIndex()
{
    if (m_mapCount >= kMaxMapCount)
        throw ArchiveError(ArchiveErrorCode::TooManyObjects, static_cast<std::size_t>(size()));
    return m_mapCount++;
}

void ArchiveWriter::writeClass(const ArchiveClass& cls)
{
    if (const auto it = m_classIndex.find(&cls); it != m_classIndex.end()) {
        const std::uint32_t index = it->second;
        if (index < kBigObjectTag) {
            writeU16(static_cast<std::uint16_t>(kClassTag | index));
        } else {
            writeU16(kBigObjectTag);
            writeU32(kBigClassTag | index);
        }
        return;
    }
    if (cls.name.empty() || cls.name.size() > ArchiveClassRegistry::kMaxNameLength || cls.schema == 0xFFFF)
        throw ArchiveError(ArchiveErrorCode::BadClass, static_cast<std::size_t>(size()));
    writeU16(kNewClassTag);
    writeU16(cls.schema);
    writeU16(static_cast<std::uint16_t>(cls.name.size()));
    writeBytes(QByteArrayView(cls.name.data(), static_cast<qsizetype>(cls.name.size())));
    m_classIndex.emplace(&cls, nextIndex());
}

void ArchiveWriter::writeObject(const ArchiveObject* object)
{
    if (object == nullptr) {
        writeU16(kNullTag);
        return;
    }
    if (const auto it = m_objectIndex.find(object); it != m_objectIndex.end()) {
        const std::uint32_t index = it->second;
        if (index < kBigObjectTag) {
            writeU16(static_cast<std::uint16_t>(index));
        } else {
            writeU16(kBigObjectTag);
            writeU32(index);
        }
        return;
    }
    writeClass(object->archiveClass());
    // Entered before its record, so that a reference back to the object from
    // inside its own record is a back reference.
    m_objectIndex.emplace(object, nextIndex());
    object->store(*this);
    handOnGathered();
}

} // namespace platform
