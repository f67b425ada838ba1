// Reads an archive from memory (see archive.h for the encoding).
//
// Objects created while reading belong to the reader until the caller adopts
// them; whatever is not adopted is deleted with the reader. So a read that
// throws half-way leaves nothing behind: the caller reads into fresh
// containers and keeps them only when the whole read succeeded.
#pragma once

#include "platform/archive.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace platform {

class ArchiveReader {
public:
    // data must outlive the reader.
    ArchiveReader(QByteArrayView data, const ArchiveClassRegistry& registry, ArchiveDocument* document = nullptr);
    ~ArchiveReader();

    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    ArchiveDocument* document() const { return m_document; }
    template <class T>
    T* documentAs() const
    {
        return dynamic_cast<T*>(m_document);
    }

    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_size - m_pos; }
    bool atEnd() const { return m_pos == m_size; }

    std::uint8_t readU8();
    std::uint16_t readU16();
    std::uint32_t readU32();
    std::uint64_t readU64();
    std::int8_t readI8() { return static_cast<std::int8_t>(readU8()); }
    std::int16_t readI16() { return static_cast<std::int16_t>(readU16()); }
    std::int32_t readI32() { return static_cast<std::int32_t>(readU32()); }
    std::int64_t readI64() { return static_cast<std::int64_t>(readU64()); }
    float readF32();
    double readF64();
    void readBytes(void* out, std::size_t size);
    QByteArray readBytes(std::size_t size);

    // A count; fails with BadCount when count x minElementSize exceeds the
    // bytes left, so that no caller reserves memory for a count the data
    // cannot hold.
    std::uint32_t readCount(std::size_t minElementSize = 1);

    // A string, decoded from GBK (or from UTF-16 when so marked).
    QString readString();
    // A string as 8-bit GBK bytes (UTF-16 text is converted to GBK).
    QByteArray readStringBytes();

    // An object reference. A new object is created from the registry and
    // reads its own record; it stays owned by the reader until adopted. A back
    // reference returns the object read before. Null for reference 0.
    ArchiveObject* readObject();

    // Takes ownership of an object this reader created and nobody adopted yet;
    // null for any other pointer. A back reference read later returns the
    // adopted object's address, so adopted objects must stay alive while the
    // reader is in use.
    std::unique_ptr<ArchiveObject> adopt(ArchiveObject* object);
    bool isUnadopted(const ArchiveObject* object) const;

    // Reads an object reference that must be a new object of class T (or
    // null), and takes ownership of it. A back reference, or an object of
    // another class, fails with BadIndex or BadClass.
    template <class T>
    std::unique_ptr<T> readOwnedObject()
    {
        const std::size_t at = m_pos;
        ArchiveObject* object = readObject();
        if (object == nullptr)
            return nullptr;
        // Checked first: an adopted object may be gone by now.
        if (!isUnadopted(object))
            fail(ArchiveErrorCode::BadIndex, at);
        if (dynamic_cast<T*>(object) == nullptr)
            fail(ArchiveErrorCode::BadClass, at);
        return std::unique_ptr<T>(static_cast<T*>(adopt(object).release()));
    }

    // An object list (count, then object references) of new objects of class T.
    template <class T>
    std::vector<std::unique_ptr<T>> readObjectList()
    {
        const std::uint32_t count = readCount(2);
        std::vector<std::unique_ptr<T>> objects;
        objects.reserve(count < 1024 ? count : 1024);
        for (std::uint32_t i = 0; i < count; ++i)
            objects.push_back(readOwnedObject<T>());
        return objects;
    }

    // Schema of the class whose object is being read (0 outside an object).
    std::uint16_t objectSchema() const { return m_objectSchema; }

    // Objects may hold objects; a deeper nesting than this is refused.
    static constexpr int kMaxDepth = 64;

    [[noreturn]] void fail(ArchiveErrorCode code) const;
    [[noreturn]] void fail(ArchiveErrorCode code, std::size_t offset) const;

private:
    struct Entry {
        const ArchiveClass* cls = nullptr; // set for a class entry
        ArchiveObject* object = nullptr;   // set for an object entry
    };

    const std::uint8_t* take(std::size_t size);
    std::size_t readStringLength(bool* wide);
    void addEntry(Entry entry);

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    const ArchiveClassRegistry& m_registry;
    ArchiveDocument* m_document;
    std::uint16_t m_objectSchema = 0;
    int m_depth = 0;
    std::vector<Entry> m_entries;                  // the running index table; entry 0 is null
    std::unordered_map<const ArchiveObject*, std::unique_ptr<ArchiveObject>> m_unadopted;
};

} // namespace platform
