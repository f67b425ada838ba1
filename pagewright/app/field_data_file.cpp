#include "field_data_file.h"

#include "platform/codepage.h"

#include <QFile>

namespace {

// Bytes cut to the limit without splitting a character, then decoded.
QString Entry(QByteArrayView bytes, bool utf8)
{
    if (!utf8)
        return platform::fromGbk(platform::truncateGbk(bytes, FieldDataFile::kMaxEntryBytes));
    qsizetype n = std::min<qsizetype>(bytes.size(), FieldDataFile::kMaxEntryBytes);
    // Back to the start of a character: continuation bytes are 10xxxxxx.
    if (n < bytes.size()) {
        while (n > 0 && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80)
            --n;
    }
    return QString::fromUtf8(bytes.first(n));
}

} // namespace

bool SplitFillArgument(const QString& argument, QString& templatePath, QString& dataPath)
{
    const qsizetype bar = argument.indexOf(QLatin1Char('|'));
    if (bar <= 0)
        return false;
    templatePath = argument.left(bar);
    dataPath = argument.mid(bar + 1);
    return true;
}

std::optional<FieldDataFile> ReadFieldDataFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Data files are small; a huge file is read no further than 64 MB.
    const QByteArray bytes = file.read(qint64(64) << 20);
    QByteArrayView rest(bytes);
    const bool utf8 = rest.startsWith("\xEF\xBB\xBF");
    if (utf8)
        rest = rest.sliced(3);
    FieldDataFile out;
    while (!rest.isEmpty() && out.names.size() < FieldDataFile::kMaxLines) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype semicolon = line.indexOf(';');
        out.names.append(Entry(semicolon < 0 ? line : line.first(semicolon), utf8));
        out.values.append(semicolon < 0 ? QString() : Entry(line.sliced(semicolon + 1), utf8));
    }
    return out;
}
