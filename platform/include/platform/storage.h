// Structured storage: a tree of named storages (folders) and streams (byte
// sequences), the model of a compound file.
//
// Two kinds exist: MemoryStorage, a writable tree in memory that a report is
// built in before it is saved (saveCompoundFile, compound_file.h), and the
// read-only storage of an opened compound file (openCompoundFile). Child names
// compare without regard to case; a name is 1 to 31 UTF-16 characters and
// holds none of '/', '\\', ':' and '!'.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// Name of the summary information stream ("\x05SummaryInformation").
QString summaryInformationStreamName();

// True when name may name a stream or storage.
bool isValidStorageName(const QString& name);

class Stream {
public:
    virtual ~Stream() = default;

    virtual std::uint64_t size() const = 0;
    virtual std::uint64_t position() const = 0;
    // Moves to pos (at most size()); false otherwise.
    virtual bool seek(std::uint64_t pos) = 0;
    // Reads up to size bytes at the position; returns the number read (fewer
    // at the end of the stream, 0 on a read error).
    virtual std::uint64_t read(void* data, std::uint64_t size) = 0;
    // Writes at the position, growing the stream; false for a read-only stream.
    virtual bool write(const void* data, std::uint64_t size) = 0;

    // Reads exactly size bytes, or fails.
    bool readExact(void* data, std::uint64_t size);
    // The rest of the stream from the position, or nothing when it is longer
    // than maxSize or cannot be read.
    bool readAll(QByteArray& out, std::uint64_t maxSize);
    bool write(QByteArrayView bytes) { return write(bytes.data(), static_cast<std::uint64_t>(bytes.size())); }
    // The whole stream when it is held in memory (it stays valid until the
    // stream is written to); null otherwise.
    virtual const QByteArray* heldBytes() const { return nullptr; }
};

struct StorageEntry {
    QString name;
    bool isStorage = false;
    std::uint64_t size = 0; // bytes of a stream; 0 for a storage
};

class Storage {
public:
    virtual ~Storage() = default;

    virtual bool isReadOnly() const = 0;
    virtual std::vector<StorageEntry> entries() const = 0;

    // A child stream or storage; null when missing or of the other kind.
    virtual std::unique_ptr<Stream> openStream(const QString& name) = 0;
    virtual std::unique_ptr<Storage> openStorage(const QString& name) = 0;

    // A new empty child, replacing a child of that name; null for a read-only
    // storage or an invalid name.
    virtual std::unique_ptr<Stream> createStream(const QString& name) = 0;
    virtual std::unique_ptr<Storage> createStorage(const QString& name) = 0;

    // Writes a whole stream (create, write); false on failure.
    bool writeStream(const QString& name, QByteArrayView bytes);
    // Reads a whole stream of at most maxSize bytes; false when it is missing,
    // longer or unreadable.
    bool readStream(const QString& name, QByteArray& out, std::uint64_t maxSize);
};

// A writable storage tree held in memory. Streams and storages opened from it
// share its nodes: a write through any of them is seen by all.
class MemoryStorage : public Storage {
public:
    MemoryStorage();
    ~MemoryStorage() override;

    bool isReadOnly() const override { return false; }
    std::vector<StorageEntry> entries() const override;
    std::unique_ptr<Stream> openStream(const QString& name) override;
    std::unique_ptr<Storage> openStorage(const QString& name) override;
    std::unique_ptr<Stream> createStream(const QString& name) override;
    std::unique_ptr<Storage> createStorage(const QString& name) override;
    // A new stream holding bytes (shared, not copied), replacing a child of
    // that name; false for an invalid name.
    bool adoptStream(const QString& name, QByteArray bytes);

    struct Node;

private:
    explicit MemoryStorage(std::shared_ptr<Node> node);

    std::shared_ptr<Node> m_node;
};

} // namespace platform
