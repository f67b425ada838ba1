// The thumbnail grid's pictures kept between visits: going back from the
// single image to the grid, or to a folder seen before, shows the pictures
// already made instead of rendering every file again. A picture is kept by
// path and stands only while the file keeps the size and time it had; the
// least recently used go first once the cache is full.
#pragma once

#include <QHash>
#include <QImage>
#include <QString>

#include <list>

#include "heatshelf/folder_walk.h"

namespace heatshelf {

class ThumbnailCache {
public:
    // How many pictures are kept: at 64 x 48 (12 KB each) about 24 MB.
    static constexpr int kDefaultCapacity = 2000;

    explicit ThumbnailCache(int capacity = kDefaultCapacity);

    // The picture kept for path when the file still has stamp (a null
    // image for a file whose picture could not be made); false when none
    // is kept or the file has changed since.
    bool Find(const QString& path, const FileStamp& stamp, QImage* picture);
    void Insert(const QString& path, const FileStamp& stamp, const QImage& picture);
    // A file renamed: its picture follows it.
    void Rename(const QString& from, const QString& to);
    void Clear();
    int size() const { return int(m_entries.size()); }
    int capacity() const { return m_capacity; }

private:
    struct Entry {
        FileStamp stamp;
        QImage picture;
        std::list<QString>::iterator use;
    };
    int m_capacity;
    std::list<QString> m_uses;  // most recently used first
    QHash<QString, Entry> m_entries;
};

}  // namespace heatshelf
