#include "platform/archive_reader.h"

#include "archive_tags.h"
#include "byte_io.h"
#include "platform/codepage.h"

#include <bit>
#include <cstring>
#include <string_view>

namespace platform {

using namespace detail;

ArchiveReader::ArchiveReader(QByteArrayView data, const ArchiveClassRegistry& registry, ArchiveDocument* document)
    : m_data(reinterpret_cast<const std::uint8_t*>(data.data())),
      m_size(static_cast<std::size_t>(data.size())),
      m_registry(registry),
      m_document(document)
{
    m_entries.push_back({}); // index 0: no object
}

ArchiveReader::~ArchiveReader() = default;

void ArchiveReader::fail(ArchiveErrorCode code) const { throw ArchiveError(code, m_pos); }
void ArchiveReader::fail(ArchiveErrorCode code, std::size_t offset) const { throw ArchiveError(code, offset); }

const std::uint8_t* ArchiveReader::take(std::size_t size)
{
    if (size > remaining())
        fail(ArchiveErrorCode::EndOfData);
    const std::uint8_t* p = m_data + m_pos;
    m_pos += size;
    return p;
}

std::uint8_t ArchiveReader::readU8() { return *take(1); }
std::uint16_t ArchiveReader::readU16() { return loadU16(take(2)); }
std::uint32_t ArchiveReader::readU32() { return loadU32(take(4)); }
std::uint64_t ArchiveReader::readU64() { return loadU64(take(8)); }
float ArchiveReader::readF32() { return std::bit_cast<float>(readU32()); }
double ArchiveReader::readF64() { return std::bit_cast<double>(readU64()); }

void ArchiveReader::readBytes(void* out, std::size_t size)
{
    const std::uint8_t* p = take(size);
    if (size != 0)
        std::memcpy(out, p, size);
}

QByteArray ArchiveReader::readBytes(std::size_t size)
{
    const std::uint8_t* p = take(size);
    return QByteArray(reinterpret_cast<const char*>(p), static_cast<qsizetype>(size));
}

std::uint32_t ArchiveReader::readCount(std::size_t minElementSize)
{
    const std::size_t at = m_pos;
    const std::uint16_t small = readU16();
    const std::uint32_t count = small != 0xFFFF ? small : readU32();
    if (minElementSize != 0 && count > remaining() / minElementSize)
        fail(ArchiveErrorCode::BadCount, at);
    return count;
}

std::size_t ArchiveReader::readStringLength(bool* wide)
{
    *wide = false;
    std::uint8_t shortLength = readU8();
    if (shortLength < 0xFF)
        return shortLength;
    std::uint16_t length = readU16();
    if (length == 0xFFFE) {
        // UTF-16 text: the length starts over in characters.
        *wide = true;
        shortLength = readU8();
        if (shortLength < 0xFF)
            return shortLength;
        length = readU16();
    }
    if (length < 0xFFFF)
        return length;
    return readU32();
}

QString ArchiveReader::readString()
{
    const std::size_t at = m_pos;
    bool wide = false;
    const std::size_t length = readStringLength(&wide);
    const std::size_t unit = wide ? 2 : 1;
    if (length > remaining() / unit)
        fail(ArchiveErrorCode::BadCount, at);
    const std::uint8_t* p = take(length * unit);
    if (!wide)
        return fromGbk(QByteArrayView(reinterpret_cast<const char*>(p), static_cast<qsizetype>(length)));
    QString text(static_cast<qsizetype>(length), Qt::Uninitialized);
    for (std::size_t i = 0; i < length; ++i)
        text[static_cast<qsizetype>(i)] = QChar(loadU16(p + 2 * i));
    return text;
}

QByteArray ArchiveReader::readStringBytes()
{
    const std::size_t at = m_pos;
    bool wide = false;
    const std::size_t length = readStringLength(&wide);
    if (!wide) {
        if (length > remaining())
            fail(ArchiveErrorCode::BadCount, at);
        return readBytes(length);
    }
    m_pos = at;
    return toGbk(readString());
}

void ArchiveReader::addEntry(Entry entry)
{
    if (m_entries.size() >= kMaxMapCount)
        fail(ArchiveErrorCode::TooManyObjects);
    m_entries.push_back(entry);
}

ArchiveObject* ArchiveReader::readObject()
{
    const std::size_t at = m_pos;
    const std::uint16_t tag = readU16();
    const std::uint32_t objectTag =
        tag == kBigObjectTag ? readU32()
                             : (static_cast<std::uint32_t>(tag & kClassTag) << 16) | (tag & ~kClassTag & 0xFFFFu);

    if ((objectTag & kBigClassTag) == 0) {
        // A reference to an object read before (or to no object).
        if (objectTag == 0)
            return nullptr;
        if (objectTag >= m_entries.size() || m_entries[objectTag].object == nullptr)
            fail(ArchiveErrorCode::BadIndex, at);
        return m_entries[objectTag].object;
    }

    const ArchiveClass* cls = nullptr;
    if (tag == kNewClassTag) {
        const std::uint16_t schema = readU16();
        const std::uint16_t length = readU16();
        if (length == 0 || length > ArchiveClassRegistry::kMaxNameLength)
            fail(ArchiveErrorCode::BadClass, at);
        const std::uint8_t* name = take(length);
        cls = m_registry.find(std::string_view(reinterpret_cast<const char*>(name), length));
        if (cls == nullptr)
            fail(ArchiveErrorCode::BadClass, at);
        if (cls->schema != schema)
            fail(ArchiveErrorCode::BadSchema, at);
        addEntry({cls, nullptr});
    } else {
        const std::uint32_t index = objectTag & ~kBigClassTag;
        if (index == 0 || index >= m_entries.size() || m_entries[index].cls == nullptr)
            fail(ArchiveErrorCode::BadIndex, at);
        cls = m_entries[index].cls;
    }

    if (m_depth >= kMaxDepth)
        fail(ArchiveErrorCode::TooDeep, at);
    std::unique_ptr<ArchiveObject> created = cls->create();
    if (!created)
        fail(ArchiveErrorCode::BadClass, at);
    ArchiveObject* object = created.get();
    // Entered before its record, so that the record may refer back to it.
    addEntry({nullptr, object});
    m_unadopted.emplace(object, std::move(created));

    struct Nesting {
        ArchiveReader& reader;
        std::uint16_t savedSchema;
        ~Nesting()
        {
            reader.m_objectSchema = savedSchema;
            --reader.m_depth;
        }
    } nesting{*this, m_objectSchema};
    ++m_depth;
    m_objectSchema = cls->schema;
    object->load(*this);
    return object;
}

bool ArchiveReader::isUnadopted(const ArchiveObject* object) const
{
    return m_unadopted.count(object) != 0;
}

std::unique_ptr<ArchiveObject> ArchiveReader::adopt(ArchiveObject* object)
{
    const auto it = m_unadopted.find(object);
    if (it == m_unadopted.end())
        return nullptr;
    std::unique_ptr<ArchiveObject> owned = std::move(it->second);
    m_unadopted.erase(it);
    return owned;
}

} // namespace platform
