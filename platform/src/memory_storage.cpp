#include "platform/storage.h"

#include <cstring>
#include <limits>

namespace platform {

QString summaryInformationStreamName()
{
    return QString(QChar(0x0005)) + QLatin1String("SummaryInformation");
}

bool isValidStorageName(const QString& name)
{
    if (name.isEmpty() || name.size() > 31)
        return false;
    for (QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c == u'!' || c.unicode() == 0)
            return false;
    }
    return true;
}

bool Stream::readExact(void* data, std::uint64_t size)
{
    auto* out = static_cast<char*>(data);
    while (size > 0) {
        const std::uint64_t n = read(out, size);
        if (n == 0)
            return false;
        out += n;
        size -= n;
    }
    return true;
}

bool Stream::readAll(QByteArray& out, std::uint64_t maxSize)
{
    const std::uint64_t total = size();
    const std::uint64_t pos = position();
    const std::uint64_t left = total > pos ? total - pos : 0;
    if (left > maxSize || left > static_cast<std::uint64_t>(std::numeric_limits<qsizetype>::max()))
        return false;
    QByteArray bytes(static_cast<qsizetype>(left), Qt::Uninitialized);
    if (!readExact(bytes.data(), left))
        return false;
    out = std::move(bytes);
    return true;
}

bool Storage::writeStream(const QString& name, QByteArrayView bytes)
{
    std::unique_ptr<Stream> stream = createStream(name);
    return stream && stream->write(bytes);
}

bool Storage::readStream(const QString& name, QByteArray& out, std::uint64_t maxSize)
{
    std::unique_ptr<Stream> stream = openStream(name);
    return stream && stream->readAll(out, maxSize);
}

struct MemoryStorage::Node {
    QString name;
    bool isStorage = false;
    QByteArray data;
    std::vector<std::shared_ptr<Node>> children;

    std::shared_ptr<Node> child(const QString& wanted) const
    {
        for (const auto& c : children) {
            if (c->name.compare(wanted, Qt::CaseInsensitive) == 0)
                return c;
        }
        return nullptr;
    }

    std::shared_ptr<Node> replaceChild(const QString& childName, bool storage)
    {
        auto fresh = std::make_shared<Node>();
        fresh->name = childName;
        fresh->isStorage = storage;
        for (auto& c : children) {
            if (c->name.compare(childName, Qt::CaseInsensitive) == 0) {
                c = fresh;
                return fresh;
            }
        }
        children.push_back(fresh);
        return fresh;
    }
};

namespace {

class MemoryStream : public Stream {
public:
    explicit MemoryStream(std::shared_ptr<MemoryStorage::Node> node) : m_node(std::move(node)) {}

    std::uint64_t size() const override { return static_cast<std::uint64_t>(m_node->data.size()); }
    std::uint64_t position() const override { return m_pos; }

    bool seek(std::uint64_t pos) override
    {
        if (pos > size())
            return false;
        m_pos = pos;
        return true;
    }

    std::uint64_t read(void* data, std::uint64_t count) override
    {
        const std::uint64_t left = size() - m_pos;
        const std::uint64_t n = count < left ? count : left;
        if (n != 0)
            std::memcpy(data, m_node->data.constData() + m_pos, n);
        m_pos += n;
        return n;
    }

    const QByteArray* heldBytes() const override { return &m_node->data; }

    bool write(const void* data, std::uint64_t count) override
    {
        if (count == 0)
            return true;
        const auto limit = static_cast<std::uint64_t>(std::numeric_limits<qsizetype>::max());
        if (count > limit - m_pos)
            return false;
        QByteArray& bytes = m_node->data;
        if (m_pos + count > size())
            bytes.resize(static_cast<qsizetype>(m_pos + count));
        std::memcpy(bytes.data() + m_pos, data, count);
        m_pos += count;
        return true;
    }

private:
    std::shared_ptr<MemoryStorage::Node> m_node;
    std::uint64_t m_pos = 0;
};

} // namespace

MemoryStorage::MemoryStorage() : m_node(std::make_shared<Node>())
{
    m_node->isStorage = true;
}

MemoryStorage::MemoryStorage(std::shared_ptr<Node> node) : m_node(std::move(node)) {}

MemoryStorage::~MemoryStorage() = default;

std::vector<StorageEntry> MemoryStorage::entries() const
{
    std::vector<StorageEntry> out;
    out.reserve(m_node->children.size());
    for (const auto& c : m_node->children)
        out.push_back({c->name, c->isStorage, c->isStorage ? 0 : static_cast<std::uint64_t>(c->data.size())});
    return out;
}

std::unique_ptr<Stream> MemoryStorage::openStream(const QString& name)
{
    std::shared_ptr<Node> node = m_node->child(name);
    if (!node || node->isStorage)
        return nullptr;
    return std::make_unique<MemoryStream>(std::move(node));
}

std::unique_ptr<Storage> MemoryStorage::openStorage(const QString& name)
{
    std::shared_ptr<Node> node = m_node->child(name);
    if (!node || !node->isStorage)
        return nullptr;
    return std::unique_ptr<Storage>(new MemoryStorage(std::move(node)));
}

std::unique_ptr<Stream> MemoryStorage::createStream(const QString& name)
{
    if (!isValidStorageName(name))
        return nullptr;
    return std::make_unique<MemoryStream>(m_node->replaceChild(name, false));
}

bool MemoryStorage::adoptStream(const QString& name, QByteArray bytes)
{
    if (!isValidStorageName(name))
        return false;
    m_node->replaceChild(name, false)->data = std::move(bytes);
    return true;
}

std::unique_ptr<Storage> MemoryStorage::createStorage(const QString& name)
{
    if (!isValidStorageName(name))
        return nullptr;
    return std::unique_ptr<Storage>(new MemoryStorage(m_node->replaceChild(name, true)));
}

} // namespace platform
