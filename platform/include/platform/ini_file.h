// An INI file on disk, used the way the profile functions use one: each call
// reads the file afresh, and each write changes one key and saves at once.
//
// Both programs share field.ini: a write re-reads the file under a lock file
// beside it (".<name>.lock"), changes the one key and saves through a
// temporary file renamed over the original, so a key the other program wrote
// in the meantime is kept and a failed save leaves the old file whole.
// A missing file reads as empty and is created by the first write.
#pragma once

#include "platform/ini_document.h"

#include <QString>
#include <QStringView>

#include <cstddef>
#include <memory>
#include <optional>

namespace platform {

class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    // The file's text, for many lookups in a row. Empty when the file is
    // missing or cannot be read.
    IniDocument load() const;
    // The same, read again only when the file changed (its modification
    // and change times, size or identity) since this process last read it:
    // for files read at every turn of a frequent action. A rewrite in place
    // to the same size within the file system's time resolution goes
    // unseen; the programs save through a rename. Never null.
    std::shared_ptr<const IniDocument> loadCached() const;

    QString readString(QStringView section, QStringView key, const QString& defaultValue = {},
                       std::size_t maxBytes = 0) const;
    int readInt(QStringView section, QStringView key, int defaultValue) const;

    // False when the key cannot be written (see IniDocument::writeString), the
    // file exists but cannot be read, or the save fails; the file is then
    // unchanged.
    bool writeString(QStringView section, QStringView key, QStringView value);
    bool writeInt(QStringView section, QStringView key, int value);

    // Replaces the whole file with doc's text in one save, under the same
    // lock and through the same temporary file as a single write (a writer
    // that builds many keys at once calls this once). False when the lock
    // or the save fails; the file is then unchanged.
    bool save(const IniDocument& doc);

    // Files larger than this are not read (they are no settings file).
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

private:
    std::optional<IniDocument> read() const;
    // Writes bytes over the file through a temporary file (lock held).
    bool commit(const QByteArray& bytes);

    QString m_path;
};

} // namespace platform
