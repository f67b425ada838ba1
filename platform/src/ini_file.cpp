#include "platform/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSaveFile>

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <mutex>
#include <utility>

namespace platform {
namespace {

QString lockPath(const QString& path)
{
    const QFileInfo info(path);
    return info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1String(".lock");
}

// What identifies one state of a file on disk; all zero for a missing one.
struct FileStamp {
    std::int64_t device = 0, inode = 0, size = 0;
    std::int64_t modified = 0, changed = 0; // nanoseconds
    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? std::optional<FileStamp>(FileStamp{}) : std::nullopt;
    return FileStamp{std::int64_t(st.st_dev), std::int64_t(st.st_ino), std::int64_t(st.st_size),
                     std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                     std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

struct CachedText {
    FileStamp stamp;
    std::shared_ptr<const IniDocument> doc;
};

} // namespace

std::shared_ptr<const IniDocument> IniFile::loadCached() const
{
    static std::mutex mutex;
    static QHash<QString, CachedText> cache;
    constexpr qsizetype kMaxFiles = 32;

    const std::optional<FileStamp> before = StampOf(m_path);
    if (before) {
        const std::lock_guard lock(mutex);
        const auto it = cache.constFind(m_path);
        if (it != cache.constEnd() && it->stamp == *before)
            return it->doc;
    }
    std::optional<IniDocument> doc = read();
    auto text = std::make_shared<const IniDocument>(doc ? std::move(*doc) : IniDocument());
    // Kept only when the file did not change while it was read.
    if (doc && before && StampOf(m_path) == before) {
        const std::lock_guard lock(mutex);
        if (cache.size() >= kMaxFiles)
            cache.clear();
        cache.insert(m_path, CachedText{*before, text});
    }
    return text;
}

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

std::optional<IniDocument> IniFile::read() const
{
    QFile file(m_path);
    if (!file.exists())
        return IniDocument();
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return std::nullopt;
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxFileSize)
        return std::nullopt;
    return IniDocument(bytes);
}

IniDocument IniFile::load() const
{
    return read().value_or(IniDocument());
}

QString IniFile::readString(QStringView section, QStringView key, const QString& defaultValue,
                            std::size_t maxBytes) const
{
    return load().readString(section, key, defaultValue, maxBytes);
}

int IniFile::readInt(QStringView section, QStringView key, int defaultValue) const
{
    return load().readInt(section, key, defaultValue);
}

bool IniFile::commit(const QByteArray& bytes)
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool IniFile::writeString(QStringView section, QStringView key, QStringView value)
{
    QLockFile lock(lockPath(m_path));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(5000))
        return false;

    std::optional<IniDocument> doc = read();
    if (!doc)
        return false;
    const QByteArray before = doc->toBytes();
    if (!doc->writeString(section, key, value))
        return false;
    const QByteArray after = doc->toBytes();
    if (after == before && QFile::exists(m_path))
        return true;
    return commit(after);
}

bool IniFile::save(const IniDocument& doc)
{
    QLockFile lock(lockPath(m_path));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(5000))
        return false;
    return commit(doc.toBytes());
}

bool IniFile::writeInt(QStringView section, QStringView key, int value)
{
    return writeString(section, key, QString::number(value));
}

} // namespace platform
