#include "skin/recent_file_list.h"

#include "platform/settings.h"

#include <QDir>

namespace {

const QString kSection = QStringLiteral("Recent File List");

QString entryName(int index) { return QStringLiteral("File%1").arg(index + 1); }

} // namespace

void CRecentFileList::ReadList()
{
    m_files.clear();
    if (m_settings == nullptr)
        return;
    for (int i = 0; i < kSize; ++i) {
        const QString file = m_settings->readString(kSection, entryName(i));
        if (!file.isEmpty() && !m_files.contains(file))
            m_files.append(file);
    }
}

void CRecentFileList::Add(const QString& path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    m_files.removeAll(clean);
    m_files.prepend(clean);
    while (m_files.size() > kSize)
        m_files.removeLast();
    writeList();
}

void CRecentFileList::Remove(int index)
{
    if (index < 0 || index >= m_files.size())
        return;
    m_files.removeAt(index);
    writeList();
}

void CRecentFileList::writeList() const
{
    if (m_settings == nullptr)
        return;
    const platform::Settings::SaveBatch batch(*m_settings);
    for (int i = 0; i < kSize; ++i)
        m_settings->writeString(kSection, entryName(i), m_files.value(i));
}

QString CRecentFileList::MenuText(int index) const
{
    if (index < 0 || index >= m_files.size())
        return QString();
    QString name = AbbreviatedName(m_files[index]);
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name);
}

QString CRecentFileList::AbbreviatedName(const QString& path, int maxLength)
{
    if (path.size() <= maxLength)
        return path;
    const QStringList parts = path.split(QLatin1Char('/'));
    if (parts.size() < 3)
        return parts.last();
    // "/home/..." keeps "/home", "a/b/..." keeps "a".
    const QString head = parts[0].isEmpty() ? QLatin1Char('/') + parts[1] : parts[0];
    const int firstTail = parts[0].isEmpty() ? 2 : 1;
    QString tail = parts.last();
    for (int i = int(parts.size()) - 2; i >= firstTail; --i) {
        const QString longer = parts[i] + QLatin1Char('/') + tail;
        if (head.size() + 5 + longer.size() > maxLength)
            break;
        tail = longer;
    }
    if (head.size() + 5 + tail.size() > maxLength)
        return tail;
    return head + QStringLiteral("/.../") + tail;
}
