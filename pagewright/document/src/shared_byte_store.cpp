#include "document/shared_byte_store.h"

SharedByteStore::Key SharedByteStore::Put(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return kEmpty;
    const auto id = std::make_pair(bytes.constData(), bytes.size());
    const auto found = m_byData.find(id);
    if (found != m_byData.end()) {
        ++m_blocks[found->second].references;
        return found->second;
    }
    const Key key = m_nextKey++;
    m_blocks.emplace(key, Block{bytes, 1});
    m_byData.emplace(std::make_pair(m_blocks[key].bytes.constData(), bytes.size()), key);
    return key;
}

void SharedByteStore::Release(Key key)
{
    const auto it = m_blocks.find(key);
    if (it == m_blocks.end())
        return;
    if (--it->second.references == 0) {
        m_byData.erase(std::make_pair(it->second.bytes.constData(), it->second.bytes.size()));
        m_blocks.erase(it);
    }
}

void SharedByteStore::Release(const std::vector<Key>& keys)
{
    for (Key key : keys)
        Release(key);
}

std::optional<QByteArray> SharedByteStore::Get(Key key) const
{
    if (key == kEmpty)
        return QByteArray();
    const auto it = m_blocks.find(key);
    if (it == m_blocks.end())
        return std::nullopt;
    return it->second.bytes;
}

std::size_t SharedByteStore::ByteCount() const
{
    std::size_t total = 0;
    for (const auto& [key, block] : m_blocks)
        total += static_cast<std::size_t>(block.bytes.size());
    return total;
}

std::uint32_t SharedByteStore::References(Key key) const
{
    const auto it = m_blocks.find(key);
    return it == m_blocks.end() ? 0 : it->second.references;
}
