#include "platform/summary_set.h"

#include "byte_io.h"
#include "platform/codepage.h"

namespace platform {
namespace {

constexpr std::size_t kMaxDictionaryEntryLength = 255; // name and NUL

QByteArray lowerName(const QByteArray& name)
{
    return toGbk(fromGbk(name).toLower());
}

// The bytes of a dictionary name up to its NUL.
QByteArray nameOf(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return (nul >= 0 ? bytes.first(nul) : bytes).toByteArray();
}

void putDictionaryEntry(QByteArray& out, std::uint32_t id, const QByteArray& name)
{
    const QByteArray cut = truncateGbk(name, kMaxDictionaryEntryLength - 1);
    detail::putU32(out, id);
    detail::putU32(out, static_cast<std::uint32_t>(cut.size() + 1));
    out.append(cut);
    out.append('\0');
}

} // namespace

bool CSummarySection::SetProperty(std::uint32_t id, QByteArrayView value, std::uint32_t type)
{
    if (id == 0)
        return false;
    const std::optional<std::size_t> length = CSummaryProperty::ValueLength(type, value);
    if (!length || *length != static_cast<std::size_t>(value.size()))
        return false;
    for (CSummaryProperty& p : m_properties) {
        if (p.GetId() == id) {
            p = CSummaryProperty(id, type, value.toByteArray());
            return true;
        }
    }
    m_properties.emplace_back(id, type, value.toByteArray());
    return true;
}

bool CSummarySection::SetStringProperty(std::uint32_t id, QByteArrayView chars, std::uint32_t type)
{
    if (type == vt::Lpwstr)
        return false; // wide strings are set through SetProperty with their stream form
    return SetProperty(id, CSummaryProperty::StringValue(chars), type);
}

bool CSummarySection::SetI2Property(std::uint32_t id, std::int16_t value)
{
    QByteArray bytes;
    detail::putU16(bytes, static_cast<std::uint16_t>(value));
    return SetProperty(id, bytes, vt::I2);
}

bool CSummarySection::SetI4Property(std::uint32_t id, std::int32_t value)
{
    QByteArray bytes;
    detail::putU32(bytes, static_cast<std::uint32_t>(value));
    return SetProperty(id, bytes, vt::I4);
}

bool CSummarySection::SetFileTimeProperty(std::uint32_t id, std::uint64_t value)
{
    QByteArray bytes;
    detail::putU64(bytes, value);
    return SetProperty(id, bytes, vt::FileTime);
}

const CSummaryProperty* CSummarySection::FindProperty(std::uint32_t id) const
{
    for (const CSummaryProperty& p : m_properties) {
        if (p.GetId() == id)
            return &p;
    }
    return nullptr;
}

std::optional<QByteArrayView> CSummarySection::GetProperty(std::uint32_t id) const
{
    const CSummaryProperty* p = FindProperty(id);
    if (p == nullptr)
        return std::nullopt;
    return p->GetData();
}

bool CSummarySection::SetPropertyName(std::uint32_t id, const QByteArray& name)
{
    const QByteArray lower = lowerName(name);
    if (GetPropertyId(lower))
        return false;
    m_names.emplace_back(lower, id);
    return true;
}

std::optional<std::uint32_t> CSummarySection::GetPropertyId(const QByteArray& name) const
{
    const QByteArray lower = lowerName(name);
    for (const auto& [n, id] : m_names) {
        if (n == lower)
            return id;
    }
    return std::nullopt;
}

void CSummarySection::WriteDictionary(QByteArray& out) const
{
    detail::putU32(out, static_cast<std::uint32_t>(1 + m_names.size()));
    putDictionaryEntry(out, 0, m_name);
    for (const auto& [name, id] : m_names)
        putDictionaryEntry(out, id, name);
}

void CSummarySection::WriteTo(QByteArray& out)
{
    const qsizetype start = out.size();
    // The dictionary is property 0 and is written after every other value.
    const auto count = static_cast<std::uint32_t>(m_properties.size() + 1);
    detail::putU32(out, 0); // size, patched below
    detail::putU32(out, count);
    const qsizetype table = out.size();
    out.append(static_cast<qsizetype>(count) * 8, '\0');

    qsizetype entry = table;
    for (const CSummaryProperty& p : m_properties) {
        detail::patchU32(out, entry, p.GetId());
        detail::patchU32(out, entry + 4, static_cast<std::uint32_t>(out.size() - start));
        entry += 8;
        detail::putU32(out, p.GetType());
        out.append(p.GetValue());
        while ((out.size() - start) % 4 != 0)
            out.append('\0');
    }
    detail::patchU32(out, entry, 0);
    detail::patchU32(out, entry + 4, static_cast<std::uint32_t>(out.size() - start));
    WriteDictionary(out);

    m_size = static_cast<std::uint32_t>(out.size() - start);
    m_count = count;
    detail::patchU32(out, start, m_size);
}

bool CSummarySection::ReadDictionary(QByteArrayView stream, std::size_t pos)
{
    detail::ByteCursor c(stream);
    std::uint32_t entries = 0;
    if (!c.seek(pos) || !c.u32(entries) || entries > c.remaining() / 8)
        return false;
    bool haveName = false;
    for (std::uint32_t i = 0; i < entries; ++i) {
        std::uint32_t id = 0;
        std::uint32_t length = 0;
        QByteArrayView bytes;
        if (!c.u32(id) || !c.u32(length) || !c.view(length, bytes))
            return false;
        const QByteArray name = nameOf(bytes);
        if (id == 0 && !haveName) {
            m_name = name;
            haveName = true;
        } else {
            SetPropertyName(id, name);
        }
    }
    return true;
}

bool CSummarySection::ReadFrom(QByteArrayView stream, std::size_t start)
{
    detail::ByteCursor c(stream);
    std::uint32_t size = 0;
    std::uint32_t count = 0;
    if (!c.seek(start) || !c.u32(size) || !c.u32(count) || count > c.remaining() / 8)
        return false;
    m_size = size;
    m_count = count;

    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t id = 0;
        std::uint32_t offset = 0;
        if (!c.seek(start + 8 + 8 * static_cast<std::size_t>(i)) || !c.u32(id) || !c.u32(offset))
            return false;
        const std::size_t pos = start + offset;
        if (id == 0) {
            if (!ReadDictionary(stream, pos))
                return false;
            continue;
        }
        std::uint32_t type = 0;
        if (!c.seek(pos) || !c.u32(type))
            return false;
        const QByteArrayView rest = stream.sliced(static_cast<qsizetype>(c.position()));
        const std::optional<std::size_t> length = CSummaryProperty::ValueLength(type, rest);
        if (!length || !SetProperty(id, rest.first(static_cast<qsizetype>(*length)), type))
            return false;
    }
    return true;
}

} // namespace platform
