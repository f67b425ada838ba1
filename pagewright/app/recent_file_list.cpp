#include "recent_file_list.h"

#include "platform/settings.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kSection = QStringLiteral("Recent File List");

QString EntryName(int index) { return QStringLiteral("File%1").arg(index + 1); }

QString Normalized(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

} // namespace

void CRecentFileList::Add(const QString& path)
{
    if (path.isEmpty() || m_size <= 0)
        return;
    const QString file = Normalized(path);
    m_files.removeAll(file);
    m_files.prepend(file);
    while (m_files.size() > m_size)
        m_files.removeLast();
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < m_files.size())
        m_files.removeAt(index);
}

void CRecentFileList::ReadList(const platform::Settings& settings)
{
    m_files.clear();
    for (int i = 0; i < m_size; ++i) {
        const QString file = settings.readString(kSection, EntryName(i));
        if (!file.isEmpty() && !m_files.contains(file))
            m_files.append(file);
    }
}

bool CRecentFileList::WriteList(platform::Settings& settings) const
{
    // Entries past the list's end must not come back at the next start.
    bool ok = settings.deleteSection(kSection);
    for (int i = 0; i < m_files.size(); ++i)
        ok = settings.writeString(kSection, EntryName(i), m_files[i]) && ok;
    return ok;
}

QString CRecentFileList::MenuText(int index) const
{
    if (index < 0 || index >= m_files.size())
        return {};
    QString name = DisplayName(QDir::toNativeSeparators(m_files[index]));
    name.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name);
}

QString CRecentFileList::DisplayName(const QString& path, int maxLength)
{
    if (path.size() <= maxLength)
        return path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    const QString root = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    const QString ellipsis = QStringLiteral("...");
    // The longest tail of whole folders that fits after the root and "...".
    QString tail = path.mid(slash); // "/name"
    if (slash < 0 || root.size() + ellipsis.size() + tail.size() > maxLength)
        return name;
    for (qsizetype from = slash; from > 0;) {
        const qsizetype previous = path.lastIndexOf(QLatin1Char('/'), from - 1);
        if (previous <= 0 || root.size() + ellipsis.size() + (path.size() - previous) > maxLength)
            break;
        tail = path.mid(previous);
        from = previous;
    }
    return root + ellipsis + tail;
}
