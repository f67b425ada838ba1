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

} // namespace platform
