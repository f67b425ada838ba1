// Property sets: the serialisation behind a compound file's summary
// information stream.
//
// Stream layout (little-endian): byte order 0xFFFE, format version, OS
// version, class identifier, section count; per section its format
// identifier and offset; then each section: byte size, property count, pairs
// of property identifier and value offset (from the section start), and the
// values. A value is its u32 type, its value form and zero bytes up to the
// next multiple of 4. The name dictionary (property 0) comes last, unpadded:
// an entry count, then per entry identifier, length (name + NUL, at most 255)
// and the name bytes.
//
// Reading checks every offset, count and length against the stream; any
// fault fails the whole read and leaves the set as it was.
#pragma once

#include "platform/storage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace platform {

// A 16-byte format or class identifier in its stored byte order.
using PropertySetId = std::array<std::uint8_t, 16>;

// F29F85E0-4FF9-1068-AB91-08002B27B3D9, the summary information format.
inline constexpr PropertySetId kSummaryFormatId = {0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                                   0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};

// Value types of properties (OLE variant types).
namespace vt {
inline constexpr std::uint32_t Empty = 0;
inline constexpr std::uint32_t I2 = 2;
inline constexpr std::uint32_t I4 = 3;
inline constexpr std::uint32_t R4 = 4;
inline constexpr std::uint32_t R8 = 5;
inline constexpr std::uint32_t Cy = 6;
inline constexpr std::uint32_t Date = 7;
inline constexpr std::uint32_t Bstr = 8;
inline constexpr std::uint32_t Bool = 11;
inline constexpr std::uint32_t Variant = 12;
inline constexpr std::uint32_t I8 = 20;
inline constexpr std::uint32_t Lpstr = 30;
inline constexpr std::uint32_t Lpwstr = 31;
inline constexpr std::uint32_t FileTime = 64;
inline constexpr std::uint32_t Blob = 65;
inline constexpr std::uint32_t Clsid = 72;
inline constexpr std::uint32_t Vector = 0x1000;
} // namespace vt

// One property: identifier, type and the value in its stream form (what
// follows the type word, without padding).
class CSummaryProperty {
public:
    CSummaryProperty(std::uint32_t id, std::uint32_t type, QByteArray value)
        : m_id(id), m_type(type), m_value(std::move(value))
    {
    }

    std::uint32_t GetId() const { return m_id; }
    std::uint32_t GetType() const { return m_type; }
    const QByteArray& GetValue() const { return m_value; }

    // The value past its count prefix (vector count, or the byte or character
    // count of a single string or blob).
    QByteArrayView GetData() const;

    // Length of a value of type at the start of bytes, or nothing when the
    // type is not supported (VARIANT included) or the bytes are too short.
    static std::optional<std::size_t> ValueLength(std::uint32_t type, QByteArrayView bytes);

    // The stream form of a plain string: count strlen + 1, the bytes, NUL.
    static QByteArray StringValue(QByteArrayView chars);

private:
    std::uint32_t m_id;
    std::uint32_t m_type;
    QByteArray m_value;
};

// One section: format identifier, properties in insertion order, a name
// dictionary and the section's own name.
class CSummarySection {
public:
    explicit CSummarySection(const PropertySetId& formatId) : m_formatId(formatId) {}

    const PropertySetId& GetFormatId() const { return m_formatId; }

    // Replaces the value of property id or appends it. value is the value's
    // stream form; false (property unchanged) when the type is not supported,
    // value does not match it, or id is 0 (the dictionary).
    bool SetProperty(std::uint32_t id, QByteArrayView value, std::uint32_t type);
    bool SetStringProperty(std::uint32_t id, QByteArrayView chars, std::uint32_t type = vt::Lpstr);
    bool SetI2Property(std::uint32_t id, std::int16_t value);
    bool SetI4Property(std::uint32_t id, std::int32_t value);
    bool SetFileTimeProperty(std::uint32_t id, std::uint64_t value);

    // The value past any count prefix; nothing when the property is missing.
    std::optional<QByteArrayView> GetProperty(std::uint32_t id) const;
    const CSummaryProperty* FindProperty(std::uint32_t id) const;
    const std::vector<CSummaryProperty>& GetProperties() const { return m_properties; }

    // Adds a name for id; false when the lower-cased name is present.
    bool SetPropertyName(std::uint32_t id, const QByteArray& name);
    std::optional<std::uint32_t> GetPropertyId(const QByteArray& name) const;
    const std::vector<std::pair<QByteArray, std::uint32_t>>& GetPropertyNames() const { return m_names; }

    const QByteArray& GetSectionName() const { return m_name; }
    void SetSectionName(const QByteArray& name) { m_name = name; }

    // Byte size and property count as last read or written.
    std::uint32_t GetSize() const { return m_size; }
    std::uint32_t GetCount() const { return m_count; }

    // Appends the section to out (offsets count from where it starts).
    void WriteTo(QByteArray& out);
    // Reads the section that starts at offset start of stream.
    bool ReadFrom(QByteArrayView stream, std::size_t start);

private:
    void WriteDictionary(QByteArray& out) const;
    bool ReadDictionary(QByteArrayView stream, std::size_t pos);

    PropertySetId m_formatId;
    std::uint32_t m_size = 0;
    std::uint32_t m_count = 0;
    std::vector<CSummaryProperty> m_properties;
    std::vector<std::pair<QByteArray, std::uint32_t>> m_names; // lower-cased name, identifier
    QByteArray m_name;
};

// A whole property-set stream.
class CSummarySet {
public:
    CSummarySet();

    CSummarySection* GetSection(const PropertySetId& formatId);
    const CSummarySection* GetSection(const PropertySetId& formatId) const;
    // The section of that format, added when missing.
    CSummarySection* AddSection(const PropertySetId& formatId);
    void RemoveAllSections() { m_sections.clear(); }
    std::size_t GetSectionCount() const { return m_sections.size(); }

    std::uint16_t GetByteOrder() const { return m_byteOrder; }
    std::uint16_t GetFormatVersion() const { return m_formatVersion; }
    void SetFormatVersion(std::uint16_t version) { m_formatVersion = version; }
    std::uint32_t GetOSVersion() const { return m_osVersion; }
    void SetOSVersion(std::uint32_t version) { m_osVersion = version; }
    const PropertySetId& GetClassId() const { return m_classId; }
    void SetClassId(const PropertySetId& id) { m_classId = id; }

    QByteArray WriteToBytes();
    bool WriteToStream(Stream& stream);
    // Replaces the set with the one in bytes; on failure the set is unchanged.
    bool ReadFromBytes(QByteArrayView bytes);
    bool ReadFromStream(Stream& stream);

    // OS version written by this program: low word a system version of the
    // 32-bit platform the format comes from (5.1), high word 2.
    static constexpr std::uint32_t kOsVersion = 0x00020105;
    // Streams longer than this are not read.
    static constexpr std::uint64_t kMaxStreamSize = 16 * 1024 * 1024;

private:
    std::uint16_t m_byteOrder = 0xFFFE;
    std::uint16_t m_formatVersion = 0;
    std::uint32_t m_osVersion = kOsVersion;
    PropertySetId m_classId{};
    std::vector<std::unique_ptr<CSummarySection>> m_sections;
};

} // namespace platform
