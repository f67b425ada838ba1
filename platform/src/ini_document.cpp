#include "platform/ini_document.h"

#include "platform/codepage.h"

#include <cstdint>
#include <utility>

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

bool isAscii(QByteArrayView text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Names compare in their case-folded form. Most names are ASCII and fold by
// lowering A-Z; others are decoded first.
QString foldedName(QByteArrayView stored)
{
    if (!isAscii(stored))
        return fromGbk(stored).toCaseFolded();
    QString folded(stored.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    for (char c : stored)
        *out++ = QLatin1Char(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    return folded;
}

QString foldedName(QStringView requested)
{
    for (QChar c : requested) {
        if (c.unicode() >= 0x80)
            return requested.toString().toCaseFolded();
    }
    QString folded(requested.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    for (QChar c : requested)
        *out++ = c.unicode() >= u'A' && c.unicode() <= u'Z' ? QChar(c.unicode() - u'A' + u'a') : c;
    return folded;
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

// Names asked for lose the blanks the file's own names lose (spaces, tabs),
// and only those: other blanks (U+0085, the ideographic space) belong to a
// name, as their bytes do in the file.
QStringView trimmedName(QStringView name)
{
    const auto blank = [](QChar c) { return c.unicode() < 0x80 && isBlank(static_cast<char>(c.unicode())); };
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && blank(name[begin]))
        ++begin;
    while (end > begin && blank(name[end - 1]))
        --end;
    return name.sliced(begin, end - begin);
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
    bool crlf = false;
    bool lf = false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', start);
        if (nl < 0) {
            appendLine({bytes.mid(start), {}});
            break;
        }
        const bool lineCrlf = nl > start && bytes[nl - 1] == '\r';
        const qsizetype textEnd = lineCrlf ? nl - 1 : nl;
        appendLine({bytes.mid(start, textEnd - start), lineCrlf ? QByteArray("\r\n") : QByteArray("\n")});
        crlf = crlf || lineCrlf;
        lf = lf || !lineCrlf;
        start = nl + 1;
    }
    // Added lines take the text's line end: CRLF if any line has it, else LF
    // if any line has it, else (a new text) CRLF.
    m_newLineEnd = crlf || !lf ? QByteArray("\r\n") : QByteArray("\n");
}

void IniDocument::indexKey(Block& block, std::size_t at, const QByteArray& text)
{
    // Indexed as the text would be read again: a comment is no key.
    if (const auto parts = keyParts(text)) {
        const QString folded = foldedName(parts->name);
        if (!block.keys.contains(folded)) // the first of a name wins
            block.keys.insert(folded, at);
    }
}

void IniDocument::appendLine(Line line)
{
    if (const auto name = headerName(line.text)) {
        const QString folded = foldedName(*name);
        if (!m_sections.contains(folded)) // the first of a name wins
            m_sections.insert(folded, m_blocks.size());
        Block block;
        block.lines.push_back(std::move(line));
        m_blocks.push_back(std::move(block));
        return;
    }
    Block& block = m_blocks.back();
    if (m_blocks.size() > 1) { // lines before any header hold no keys
        indexKey(block, block.lines.size(), line.text);
    }
    if (!trimmed(line.text).isEmpty())
        block.lastFilled = block.lines.size();
    block.lines.push_back(std::move(line));
}

QByteArray IniDocument::toBytes() const
{
    qsizetype size = 0;
    for (const Block& block : m_blocks) {
        for (const Line& line : block.lines)
            size += line.text.size() + line.end.size();
    }
    QByteArray out;
    out.reserve(size);
    for (const Block& block : m_blocks) {
        for (const Line& line : block.lines) {
            out += line.text;
            out += line.end;
        }
    }
    return out;
}

const IniDocument::Block* IniDocument::findSection(QStringView section) const
{
    const auto it = m_sections.constFind(foldedName(trimmedName(section)));
    return it == m_sections.cend() ? nullptr : &m_blocks[*it];
}

IniDocument::Block* IniDocument::findSection(QStringView section)
{
    return const_cast<Block*>(std::as_const(*this).findSection(section));
}

const IniDocument::Line* IniDocument::findKey(const Block& block, QStringView key)
{
    const auto it = block.keys.constFind(foldedName(trimmedName(key)));
    return it == block.keys.cend() ? nullptr : &block.lines[*it];
}

std::optional<QByteArray> IniDocument::rawValue(QStringView section, QStringView key) const
{
    const Block* block = findSection(section);
    const Line* line = block ? findKey(*block, key) : nullptr;
    if (!line)
        return std::nullopt;
    const qsizetype equals = line->text.indexOf('=');
    return cleanValue(QByteArrayView(line->text).sliced(equals + 1)).toByteArray();
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

bool IniDocument::writeString(QStringView section, QStringView key, QStringView value)
{
    const QStringView sectionName = trimmedName(section);
    const QStringView keyName = trimmedName(key);
    if (!validName(sectionName) || !validName(keyName) || value.contains(u'\r') || value.contains(u'\n'))
        return false;

    const QByteArray gbkValue = toGbk(value);
    const QByteArray gbkKey = toGbk(keyName);

    Block* block = findSection(sectionName);
    if (!block) {
        // A new section goes at the end, after a blank line.
        std::vector<Line>& tail = m_blocks.back().lines;
        if (!tail.empty()) {
            Line& last = tail.back();
            if (last.end.isEmpty())
                last.end = m_newLineEnd;
            if (!trimmed(last.text).isEmpty())
                appendLine({{}, m_newLineEnd});
        }
        appendLine({'[' + toGbk(sectionName) + ']', m_newLineEnd});
        appendLine({gbkKey + '=' + gbkValue, m_newLineEnd});
        return true;
    }

    const auto existing = block->keys.constFind(foldedName(keyName));
    if (existing != block->keys.cend()) {
        QByteArray& text = block->lines[*existing].text;
        text = text.left(text.indexOf('=') + 1) + gbkValue;
        return true;
    }

    // A new key goes after the section's last non-blank line. Only blank
    // lines follow it, so no indexed key moves.
    Line& after = block->lines[block->lastFilled];
    if (after.end.isEmpty())
        after.end = m_newLineEnd;
    const std::size_t at = block->lastFilled + 1;
    block->lines.insert(block->lines.begin() + static_cast<std::ptrdiff_t>(at), Line{gbkKey + '=' + gbkValue, m_newLineEnd});
    indexKey(*block, at, block->lines[at].text);
    block->lastFilled = at;
    return true;
}
bool IniDocument::writeInt(QStringView section, QStringView key, int value)
{
    return writeString(section, key, QString::number(value));
}

} // namespace platform
