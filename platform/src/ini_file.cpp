#include "platform/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <utility>

namespace platform {
namespace {

QString lockPath(const QString& path)
{
    const QFileInfo info(path);
    return info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1String(".lock");
}

} // namespace

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
