#include "skin/file_filters.h"

#include <QRegularExpression>

namespace skin {

namespace {

// The patterns of a list separated by ';' or blanks, with their case
// variants, each once.
QString PatternList(const QString& patterns)
{
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    QStringList out;
    for (const QString& p : patterns.split(separators, Qt::SkipEmptyParts)) {
        for (const QString& variant : {p, p.toUpper(), p.toLower()}) {
            if (!out.contains(variant))
                out << variant;
        }
    }
    return out.join(QLatin1Char(' '));
}

QString Entry(QString text, const QString& patterns)
{
    // "All files(*.a;*.b)" shows its patterns once, in Qt's form.
    static const QRegularExpression ownList(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    text.remove(ownList);
    text = text.trimmed();
    const QString list = QLatin1Char('(') + PatternList(patterns) + QLatin1Char(')');
    return text.isEmpty() ? list : text + QLatin1Char(' ') + list;
}

} // namespace

QStringList FileDialogFilters(const QString& stored)
{
    QStringList out;
    if (stored.contains(QLatin1Char('|'))) {
        const QStringList parts = stored.split(QLatin1Char('|'));
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
            if (parts[i].isEmpty() && parts[i + 1].isEmpty())
                break; // the closing "||"
            if (!parts[i + 1].trimmed().isEmpty())
                out << Entry(parts[i], parts[i + 1]);
        }
        return out;
    }
    static const QRegularExpression tail(QStringLiteral("^(.*)\\(([^()]*)\\)\\s*$"));
    for (const QString& entry : stored.split(QStringLiteral(";;"), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = tail.match(entry.trimmed());
        if (m.hasMatch()) {
            if (!m.captured(2).trimmed().isEmpty())
                out << Entry(m.captured(1), m.captured(2));
        } else if (!entry.trimmed().isEmpty()) {
            out << PatternList(entry);
        }
    }
    return out;
}

QString FileDialogFilter(const QString& stored) { return FileDialogFilters(stored).join(QStringLiteral(";;")); }

} // namespace skin
