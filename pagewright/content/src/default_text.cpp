#include "content/default_text.h"

#include "document/document_environment.h"

#include <QFile>
#include <QLoggingCategory>

#include <atomic>

namespace {

constexpr qint64 kMaxDefaultTextBytes = 1 << 20;

} // namespace

QByteArray BuiltInDefaultRichText()
{
    return QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset134 "
                             "\\'cb\\'ce\\'cc\\'e5;}}\r\n\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs21\\par\r\n}\r\n");
}

QByteArray LoadDefaultRichText(const DocumentEnvironment& env)
{
    static std::atomic<bool> warned{false};
    // Without a program folder there is no file to look for: the built-in
    // text is used silently.
    const QString path = env.FindProgramFile(QStringLiteral("wenben.dat"));
    if (path.isEmpty())
        return BuiltInDefaultRichText();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() > 0 && file.size() <= kMaxDefaultTextBytes) {
        QByteArray bytes = file.readAll();
        if (bytes.startsWith("{\\rtf"))
            return bytes;
    }
    if (!warned.exchange(true))
        qWarning("%s is missing or unreadable; using the built-in default text", qUtf8Printable(path));
    return BuiltInDefaultRichText();
}
