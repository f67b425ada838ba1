// The serialisation archive of report files, undo snapshots and the clipboard:
// the original class library's encoding, byte for byte.
//
// Encoding (all little-endian):
// - integers and floats in their natural width;
// - counts: u16, or 0xFFFF then a u32 when the count is 0xFFFF or more;
// - strings: u8 length (< 0xFF), or 0xFF + u16 length (< 0xFFFE), or
//   0xFF 0xFFFF + u32 length, then the GBK bytes without terminator. A prefix
//   0xFF 0xFFFE marks UTF-16 text: it is read, never written;
// - object references: 0 for no object; a new class is tagged 0xFFFF, u16
//   schema, u16 name length and the name; a class met before is 0x8000 | its
//   index; an object met before is its index. Classes and objects share one
//   running index table (index 0 stands for no object). From index 0x7FFF on,
//   a class is written as 0x7FFF then the u32 0x80000000 + index, an object
//   as 0x7FFF then the u32 index.
//
// Objects are made by class name from a fixed registry; an unknown name or a
// schema other than the registered one is refused. Every read is checked
// against the bytes left; any fault throws ArchiveError, which the caller
// turns into one message and a failed open (no half-built document).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ArchiveReader;
class ArchiveWriter;

enum class ArchiveErrorCode {
    EndOfData,      // the data ends inside a value
    BadCount,       // a count or length larger than the bytes left
    BadClass,       // unknown class name, or an object of an unexpected class
    BadSchema,      // a class stored with another schema than the registered one
    BadIndex,       // a reference to an index that was not read yet, or of the wrong kind
    TooManyObjects, // the running index table is full
    TooDeep,        // objects nested inside each other too deeply
    BadValue,       // a value outside the range its field can hold
};

// A short English text for each code (for logs; the programs show their own message).
const char* archiveErrorText(ArchiveErrorCode code);

class ArchiveError : public std::runtime_error {
public:
    ArchiveError(ArchiveErrorCode code, std::size_t offset);

    ArchiveErrorCode code() const { return m_code; }
    // Position in the data at which the fault was found.
    std::size_t offset() const { return m_offset; }

private:
    ArchiveErrorCode m_code;
    std::size_t m_offset;
};

class ArchiveObject;

// What the archive knows of a class: its stored name, its schema and how to
// make an empty object of it. Each serialisable class has one static instance.
struct ArchiveClass {
    std::string_view name;
    std::uint16_t schema = 0;
    std::unique_ptr<ArchiveObject> (*create)() = nullptr;
};

template <class T>
std::unique_ptr<ArchiveObject> createArchiveObject()
{
    return std::make_unique<T>();
}

// Base of every object that is written to and read from an archive.
class ArchiveObject {
public:
    virtual ~ArchiveObject() = default;

    virtual const ArchiveClass& archiveClass() const = 0;
    virtual void store(ArchiveWriter& ar) const = 0;
    virtual void load(ArchiveReader& ar) = 0;
};

// The document an archive belongs to, carried by the archive so that objects
// can reach it while they are read or written.
class ArchiveDocument {
public:
    virtual ~ArchiveDocument() = default;
};

// The fixed set of classes a reader may create.
class ArchiveClassRegistry {
public:
    ArchiveClassRegistry() = default;
    ArchiveClassRegistry(std::initializer_list<const ArchiveClass*> classes);

    // Adds a class; a name of 64 characters or more, schema 0xFFFF, no
    // factory or a name already present are programming errors and throw
    // std::invalid_argument.
    void add(const ArchiveClass& cls);

    const ArchiveClass* find(std::string_view name) const;

    // Longest class name the archive accepts.
    static constexpr std::size_t kMaxNameLength = 63;

private:
    std::vector<const ArchiveClass*> m_classes;
};

} // namespace platform
