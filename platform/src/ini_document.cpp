#include "platform/ini_document.h"

#include "platform/codepage.h"

#include <cstdint>

namespace platform {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// The name inside "[...]" when the line is a section header.
std::optional<QByteArrayView> headerName(QByteArrayView text)
{
    const QByteArrayView t = trimmed(text);
    if (t.isEmpty() || t[0] != '[')
        return std::nullopt;
    const qsizetype close = t.lastIndexOf(']');
    if (close < 1)
        return std::nullopt;
    return trimmed(t.sliced(1, close - 1));
}

struct KeyParts {
    QByteArrayView name;
    qsizetype equals = -1; // offset of '=' in the line
};

std::optional<KeyParts> keyParts(QByteArrayView text)
{
    const QByteArrayView t = trimmed(text);
    if (t.isEmpty() || t[0] == ';' || t[0] == '[')
        return std::nullopt;
    const qsizetype equals = text.indexOf('=');
    if (equals < 0)
        return std::nullopt;
    return KeyParts{trimmed(text.first(equals)), equals};
}

bool sameName(QByteArrayView stored, QStringView requested)
{
    // Most names are ASCII; decode only when either side is not.
    bool ascii = stored.size() == requested.size();
    for (qsizetype i = 0; ascii && i < stored.size(); ++i)
        ascii = static_cast<unsigned char>(stored[i]) < 0x80 && requested[i].unicode() < 0x80;
    if (ascii) {
        for (qsizetype i = 0; i < stored.size(); ++i) {
            char a = stored[i];
            char b = static_cast<char>(requested[i].unicode());
            if (a >= 'A' && a <= 'Z')
                a = static_cast<char>(a - 'A' + 'a');
            if (b >= 'A' && b <= 'Z')
                b = static_cast<char>(b - 'A' + 'a');
            if (a != b)
                return false;
        }
        return true;
    }
    return fromGbk(stored).compare(requested, Qt::CaseInsensitive) == 0;
}

// The value as the profile reader hands it out: trimmed, one pair of
// matching quotes removed.
QByteArrayView cleanValue(QByteArrayView raw)
{
    QByteArrayView v = trimmed(raw);
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v[v.size() - 1] == v[0])
        v = v.sliced(1, v.size() - 2);
    return v;
}

bool validName(QStringView name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        if (c == u'=' || c == u'[' || c == u']' || c == u'\r' || c == u'\n')
            return false;
    }
    return true;
}

} // namespace

int ParseProfileInt(QByteArrayView text, int defaultValue)
{
    QByteArrayView t = trimmed(text);
    if (t.isEmpty())
        return defaultValue;
    bool negative = false;
    if (t[0] == '-' || t[0] == '+') {
        negative = t[0] == '-';
        t = t.sliced(1);
    }
    // Accumulate as the 32-bit unsigned reader did, wrapping on overflow.
    std::uint32_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            break;
        v = v * 10u + static_cast<std::uint32_t>(c - '0');
    }
    if (negative)
        v = 0u - v;
    return static_cast<int>(v);
}

IniDocument::IniDocument(const QByteArray& bytes)
{
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', start);
        if (nl < 0) {
            m_lines.push_back({bytes.mid(start), {}});
            break;
        }
        const bool crlf = nl > start && bytes[nl - 1] == '\r';
        const qsizetype textEnd = crlf ? nl - 1 : nl;
        m_lines.push_back({bytes.mid(start, textEnd - start), crlf ? QByteArray("\r\n") : QByteArray("\n")});
        start = nl + 1;
    }
}

QByteArray IniDocument::toBytes() const
{
    QByteArray out;
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.end;
    }
    return out;
}

qsizetype IniDocument::findSection(QStringView section) const
{
    const QStringView wanted = section.trimmed();
    for (qsizetype i = 0; i < static_cast<qsizetype>(m_lines.size()); ++i) {
        const auto name = headerName(m_lines[static_cast<std::size_t>(i)].text);
        if (name && sameName(*name, wanted))
            return i;
    }
    return -1;
}

qsizetype IniDocument::findKey(qsizetype header, QStringView key) const
{
    const QStringView wanted = key.trimmed();
    for (qsizetype i = header + 1; i < static_cast<qsizetype>(m_lines.size()); ++i) {
        const QByteArray& text = m_lines[static_cast<std::size_t>(i)].text;
        if (headerName(text))
            break;
        const auto parts = keyParts(text);
        if (parts && sameName(parts->name, wanted))
            return i;
    }
    return -1;
}

std::optional<QByteArray> IniDocument::rawValue(QStringView section, QStringView key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype line = findKey(header, key);
    if (line < 0)
        return std::nullopt;
    const QByteArray& text = m_lines[static_cast<std::size_t>(line)].text;
    const qsizetype equals = text.indexOf('=');
    return cleanValue(QByteArrayView(text).sliced(equals + 1)).toByteArray();
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const
{
    const std::optional<QByteArray> raw = rawValue(section, key);
    if (!raw)
        return std::nullopt;
    return fromGbk(*raw);
}

QString IniDocument::readString(QStringView section, QStringView key, const QString& defaultValue,
                                std::size_t maxBytes) const
{
    const std::optional<QByteArray> raw = rawValue(section, key);
    if (!raw)
        return defaultValue;
    if (maxBytes == 0)
        return fromGbk(*raw);
    return fromGbk(truncateGbk(*raw, maxBytes - 1));
}

int IniDocument::readInt(QStringView section, QStringView key, int defaultValue) const
{
    const std::optional<QByteArray> raw = rawValue(section, key);
    return raw ? ParseProfileInt(*raw, defaultValue) : defaultValue;
}

QByteArray IniDocument::newLineEnd() const
{
    bool lf = false;
    for (const Line& line : m_lines) {
        if (line.end == "\r\n")
            return line.end;
        lf = lf || line.end == "\n";
    }
    return lf ? QByteArray("\n") : QByteArray("\r\n");
}

bool IniDocument::writeString(QStringView section, QStringView key, QStringView value)
{
    const QStringView sectionName = section.trimmed();
    const QStringView keyName = key.trimmed();
    if (!validName(sectionName) || !validName(keyName) || value.contains(u'\r') || value.contains(u'\n'))
        return false;

    const QByteArray gbkValue = toGbk(value);
    const QByteArray end = newLineEnd();
    const QByteArray keyLine = toGbk(keyName) + '=' + gbkValue;

    const qsizetype header = findSection(sectionName);
    if (header < 0) {
        if (!m_lines.empty()) {
            Line& last = m_lines.back();
            if (last.end.isEmpty())
                last.end = end;
            if (!trimmed(last.text).isEmpty())
                m_lines.push_back({{}, end});
        }
        m_lines.push_back({'[' + toGbk(sectionName) + ']', end});
        m_lines.push_back({keyLine, end});
        return true;
    }

    const qsizetype existing = findKey(header, keyName);
    if (existing >= 0) {
        QByteArray& text = m_lines[static_cast<std::size_t>(existing)].text;
        text = text.left(text.indexOf('=') + 1) + gbkValue;
        return true;
    }

    qsizetype last = header;
    for (qsizetype i = header + 1; i < static_cast<qsizetype>(m_lines.size()); ++i) {
        const QByteArray& text = m_lines[static_cast<std::size_t>(i)].text;
        if (headerName(text))
            break;
        if (!trimmed(text).isEmpty())
            last = i;
    }
    Line& after = m_lines[static_cast<std::size_t>(last)];
    if (after.end.isEmpty())
        after.end = end;
    m_lines.insert(m_lines.begin() + last + 1, Line{keyLine, end});
    return true;
}

bool IniDocument::writeInt(QStringView section, QStringView key, int value)
{
    return writeString(section, key, QString::number(value));
}

} // namespace platform
