#include "heatshelf/thumbnail_cache.h"

#include <algorithm>

namespace heatshelf {

ThumbnailCache::ThumbnailCache(int capacity) : m_capacity(std::max(1, capacity)) {}

bool ThumbnailCache::Find(const QString& path, const FileStamp& stamp, QImage* picture) {
    const auto it = m_entries.find(path);
    if (it == m_entries.end()) return false;
    if (!(it->stamp == stamp)) {
        m_uses.erase(it->use);
        m_entries.erase(it);
        return false;
    }
    m_uses.splice(m_uses.begin(), m_uses, it->use);
    *picture = it->picture;
    return true;
}

void ThumbnailCache::Insert(const QString& path, const FileStamp& stamp, const QImage& picture) {
    const auto it = m_entries.find(path);
    if (it != m_entries.end()) {
        it->stamp = stamp;
        it->picture = picture;
        m_uses.splice(m_uses.begin(), m_uses, it->use);
        return;
    }
    while (int(m_entries.size()) >= m_capacity) {
        m_entries.remove(m_uses.back());
        m_uses.pop_back();
    }
    m_uses.push_front(path);
    m_entries.insert(path, Entry{stamp, picture, m_uses.begin()});
}

void ThumbnailCache::Rename(const QString& from, const QString& to) {
    const auto it = m_entries.find(from);
    if (it == m_entries.end() || from == to) return;
    const Entry moved = *it;
    m_uses.erase(it->use);
    m_entries.erase(it);
    Insert(to, moved.stamp, moved.picture);
}

void ThumbnailCache::Clear() {
    m_entries.clear();
    m_uses.clear();
}

}  // namespace heatshelf
