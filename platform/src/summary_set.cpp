#include "platform/summary_set.h"

#include "byte_io.h"

namespace platform {

CSummarySet::CSummarySet() = default;

CSummarySection* CSummarySet::GetSection(const PropertySetId& formatId)
{
    for (auto& s : m_sections) {
        if (s->GetFormatId() == formatId)
            return s.get();
    }
    return nullptr;
}

const CSummarySection* CSummarySet::GetSection(const PropertySetId& formatId) const
{
    return const_cast<CSummarySet*>(this)->GetSection(formatId);
}

CSummarySection* CSummarySet::AddSection(const PropertySetId& formatId)
{
    if (CSummarySection* existing = GetSection(formatId))
        return existing;
    m_sections.push_back(std::make_unique<CSummarySection>(formatId));
    return m_sections.back().get();
}

QByteArray CSummarySet::WriteToBytes()
{
    QByteArray out;
    detail::putU16(out, m_byteOrder);
    detail::putU16(out, m_formatVersion);
    detail::putU32(out, m_osVersion);
    out.append(reinterpret_cast<const char*>(m_classId.data()), 16);
    detail::putU32(out, static_cast<std::uint32_t>(m_sections.size()));

    const qsizetype table = out.size();
    for (const auto& s : m_sections) {
        out.append(reinterpret_cast<const char*>(s->GetFormatId().data()), 16);
        detail::putU32(out, 0); // offset, patched below
    }
    qsizetype entry = table;
    for (const auto& s : m_sections) {
        detail::patchU32(out, entry + 16, static_cast<std::uint32_t>(out.size()));
        entry += 20;
        s->WriteTo(out);
    }
    return out;
}

bool CSummarySet::WriteToStream(Stream& stream)
{
    return stream.write(WriteToBytes());
}

bool CSummarySet::ReadFromBytes(QByteArrayView bytes)
{
    detail::ByteCursor c(bytes);
    CSummarySet read;
    std::uint32_t sections = 0;
    if (!c.u16(read.m_byteOrder) || !c.u16(read.m_formatVersion) || !c.u32(read.m_osVersion) ||
        !c.bytes(read.m_classId.data(), 16) || !c.u32(sections) || sections > c.remaining() / 20)
        return false;

    for (std::uint32_t i = 0; i < sections; ++i) {
        PropertySetId formatId{};
        std::uint32_t offset = 0;
        if (!c.seek(28 + 20 * static_cast<std::size_t>(i)) || !c.bytes(formatId.data(), 16) || !c.u32(offset))
            return false;
        auto section = std::make_unique<CSummarySection>(formatId);
        if (!section->ReadFrom(bytes, offset))
            return false;
        read.m_sections.push_back(std::move(section));
    }
    *this = std::move(read);
    return true;
}

bool CSummarySet::ReadFromStream(Stream& stream)
{
    QByteArray bytes;
    return stream.seek(0) && stream.readAll(bytes, kMaxStreamSize) && ReadFromBytes(bytes);
}

} // namespace platform
