#include "platform/string_overrides.h"

#include <QFile>

namespace platform {

bool ReadStringOverrides(const QString& path, QHash<int, QString>* out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || file.size() > 4 * 1024 * 1024)
        return false;
    QHash<int, QString> table;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        bool ok = false;
        const int id = eq > 0 ? line.left(eq).trimmed().toInt(&ok) : 0;
        if (!ok)
            continue;
        QString text = line.mid(eq + 1);
        text.replace(QLatin1String("\\n"), QLatin1String("\n"));
        table.insert(id, text);
    }
    *out = std::move(table);
    return true;
}

StringTable::StringTable(std::span<const Entry> builtIn)
{
    for (const Entry& e : builtIn)
        m_builtIn.insert(e.id, QString::fromUtf8(e.text));
}

const QString* StringTable::Find(int id) const
{
    if (const auto it = m_overrides.constFind(id); it != m_overrides.constEnd())
        return &*it;
    if (const auto it = m_builtIn.constFind(id); it != m_builtIn.constEnd())
        return &*it;
    return nullptr;
}

QString StringTable::PromptOf(const QString& text) { return text.section(QLatin1Char('\n'), 0, 0); }

QString StringTable::TipOf(const QString& text)
{
    const qsizetype at = text.indexOf(QLatin1Char('\n'));
    return at < 0 ? QString() : text.mid(at + 1);
}

} // namespace platform
