#include "profile_text.h"

QString EscapeProfileText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out;
}

QString UnescapeProfileText(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value[i + 1];
        if (next == u'\\')
            out += u'\\';
        else if (next == u'r')
            out += u'\r';
        else if (next == u'n')
            out += u'\n';
        else {
            out += c;
            continue; // the pair stays; the next character is read on its own
        }
        ++i;
    }
    return out;
}
