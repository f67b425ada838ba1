// Writes an archive into memory (see archive.h for the encoding), or, with a
// sink, hands it on in pieces as it is written.
#pragma once

#include "platform/archive.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <iterator>
#include <type_traits>
#include <unordered_map>

namespace platform {

class ArchiveWriter {
public:
    explicit ArchiveWriter(ArchiveDocument* document = nullptr);

    ArchiveDocument* document() const { return m_document; }
    template <class T>
    T* documentAs() const
    {
        return dynamic_cast<T*>(m_document);
    }

    void writeU8(std::uint8_t v);
    void writeU16(std::uint16_t v);
    void writeU32(std::uint32_t v);
    void writeU64(std::uint64_t v);
    void writeI8(std::int8_t v) { writeU8(static_cast<std::uint8_t>(v)); }
    void writeI16(std::int16_t v) { writeU16(static_cast<std::uint16_t>(v)); }
    void writeI32(std::int32_t v) { writeU32(static_cast<std::uint32_t>(v)); }
    void writeI64(std::int64_t v) { writeU64(static_cast<std::uint64_t>(v)); }
    void writeF32(float v);
    void writeF64(double v);
    void writeBytes(QByteArrayView bytes);

    void writeCount(std::uint32_t count);

    // A string in GBK (characters GBK cannot hold become '?').
    void writeString(QStringView text);
    // A string whose 8-bit bytes are given as they are.
    void writeStringBytes(QByteArrayView bytes);

    // An object reference: 0 for null, a back reference for an object written
    // before, else its class reference followed by the object's own record.
    void writeObject(const ArchiveObject* object);

    // An object list: the count, then each object reference. The range holds
    // raw or smart pointers to objects.
    template <class Range>
    void writeObjectList(const Range& objects)
    {
        writeCount(static_cast<std::uint32_t>(std::size(objects)));
        for (const auto& object : objects) {
            if constexpr (std::is_pointer_v<std::decay_t<decltype(object)>>)
                writeObject(object);
            else
                writeObject(object.get());
        }
    }

    const QByteArray& data() const { return m_data; }
    QByteArray takeData() { return std::move(m_data); }

    // Receives the archive's bytes in order; false when they could not be
    // taken.
    using Sink = std::function<bool(QByteArrayView)>;
    // From now on the bytes go to sink whenever about chunk of them have
    // gathered (a longer piece goes on at once, without a copy), so that an
    // archive of many camera files is never held whole; data() then holds
    // only the bytes not handed on yet. Once the sink has failed nothing more
    // goes to it.
    void setSink(Sink sink, qsizetype chunk = qsizetype{1} << 20);
    // Hands on what is left; false when the sink failed at any time.
    bool finish();
    // Bytes written so far, handed on or not.
    std::uint64_t size() const { return m_handedOn + static_cast<std::uint64_t>(m_data.size()); }

private:
    void writeClass(const ArchiveClass& cls);
    std::uint32_t nextIndex();
    void handOn(QByteArrayView bytes);
    void handOnGathered();

    ArchiveDocument* m_document;
    QByteArray m_data;
    std::uint32_t m_mapCount = 1; // index 0 stands for no object
    std::unordered_map<const ArchiveClass*, std::uint32_t> m_classIndex;
    std::unordered_map<const ArchiveObject*, std::uint32_t> m_objectIndex;
    Sink m_sink;
    qsizetype m_chunk = 0;
    std::uint64_t m_handedOn = 0;
    bool m_sinkFailed = false;
};

} // namespace platform
