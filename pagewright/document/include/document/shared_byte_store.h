// A reference-counted store of byte blocks that the undo snapshots of a
// report share: an object puts a large block (an infrared file) into it once
// and writes only the block's key into a snapshot; each snapshot slot holds
// one reference per key it wrote and releases them when it is overwritten or
// reset. The blocks are QByteArrays sharing the objects' own data, so a
// block costs memory only once it is no longer the object's.
#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

class SharedByteStore {
public:
    using Key = std::uint64_t;
    // Key 0 is the empty block; it is never stored.
    static constexpr Key kEmpty = 0;

    // Adds a reference to the block (the same data gives the same key).
    Key Put(const QByteArray& bytes);
    // Drops one reference; the block goes with the last one.
    void Release(Key key);
    void Release(const std::vector<Key>& keys);
    // The block of a key; nullopt for a key the store does not hold.
    std::optional<QByteArray> Get(Key key) const;

    std::size_t BlockCount() const { return m_blocks.size(); }
    std::size_t ByteCount() const;
    std::uint32_t References(Key key) const;

private:
    struct Block {
        QByteArray bytes;
        std::uint32_t references = 0;
    };
    std::unordered_map<Key, Block> m_blocks;
    // Blocks by their data (address and size): the same shared data is one
    // block. An address stays unique while its block holds the data.
    std::map<std::pair<const char*, qsizetype>, Key> m_byData;
    Key m_nextKey = 1;
};
