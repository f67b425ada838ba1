// CRtfMemFile: the rich-text store of every draw object, and the memory file
// of each undo snapshot.
//
// A growable memory file (the buffer grows in steps of 1024 bytes) holding
// raw RTF bytes as the editor wrote them. Its record in a report is
//
//     u32 n (little-endian), then the n bytes.
//
// Storing writes the whole content and never moves the position; loading
// replaces the content (the position is left as it was, and every reader
// rewinds after its work, so between operations the position is 0).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace platform {
class ArchiveReader;
class ArchiveWriter;
}

class CRtfMemFile {
public:
    static constexpr std::size_t kGrowBytes = 1024;

    CRtfMemFile() = default;

    std::uint64_t GetLength() const { return static_cast<std::uint64_t>(m_length); }
    std::uint64_t GetPosition() const { return static_cast<std::uint64_t>(m_position); }

    // Reads up to count bytes at the position; returns the number read.
    std::size_t Read(void* out, std::size_t count);
    // Writes at the position, growing the file.
    void Write(const void* data, std::size_t count);
    void Write(QByteArrayView bytes) { Write(bytes.data(), static_cast<std::size_t>(bytes.size())); }
    // Moves to pos; a position past the end is allowed (a later write fills
    // the gap with zeros), as a memory file allows it.
    void Seek(std::uint64_t pos);
    // Cuts or extends (with zeros) the content; the position is kept.
    void SetLength(std::uint64_t length);
    // Position 0; nothing else.
    void Rewind() { m_position = 0; }

    // The content (valid until the next change).
    QByteArrayView Data() const { return QByteArrayView(m_buffer.constData(), m_length); }
    QByteArray ToByteArray() const { return QByteArray(m_buffer.constData(), m_length); }
    // Replaces the content and rewinds.
    void Assign(QByteArrayView bytes);
    // Bytes reserved by the buffer (a multiple of kGrowBytes).
    std::size_t GetBufferSize() const { return static_cast<std::size_t>(m_buffer.size()); }

    // The file path of a memory file is a name only.
    void SetFilePath(const QString& path) { m_path = path; }
    const QString& GetFilePath() const { return m_path; }

    // The record above. Loading throws platform::ArchiveError when the data
    // is shorter than the count says.
    void Serialize(platform::ArchiveWriter& ar) const;
    void Serialize(platform::ArchiveReader& ar);
    // The byte count last written or read by Serialize.
    std::uint32_t GetStoredLength() const { return m_storedLength; }

private:
    void Reserve(std::size_t bytes);

    QByteArray m_buffer; // capacity; the content is its first m_length bytes
    qsizetype m_length = 0;
    qsizetype m_position = 0;
    mutable std::uint32_t m_storedLength = 0;
    QString m_path;
};
