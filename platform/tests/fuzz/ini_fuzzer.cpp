// Fuzz target: the INI reader of field.ini, the template layout files and
// wizard.ini. Whatever the bytes:
// - the text writes back byte for byte as it was read;
// - every section and key the text names reads (string, cut string, int);
// - a key written to a section the text names (or a new one) reads back as
//   written, from the document and from its text read again, and every
//   other key keeps its value.
#include "platform/ini_document.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool IsAsciiName(QByteArrayView name)
{
    if (name.isEmpty())
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F || c == '=' || c == '[' || c == ']')
            return false;
    }
    return true;
}

struct Names {
    std::vector<QString> sections;                  // every header, as written
    std::vector<std::pair<QString, QString>> keys;   // (section, key) of every key line
    QString asciiSection, asciiKey;                  // the first plain ASCII ones
};

// The names the text holds, read by a scan of its own (at most 64 keys).
Names NamesOf(const QByteArray& text)
{
    Names names;
    QString section;
    bool asciiSection = false;
    for (const QByteArray& line : text.split('\n')) {
        const QByteArray t = line.trimmed();
        if (t.startsWith('[')) {
            const qsizetype close = t.lastIndexOf(']');
            if (close < 1)
                continue;
            const QByteArray name = t.sliced(1, close - 1).trimmed();
            section = QString::fromLatin1(name);
            asciiSection = IsAsciiName(name);
            names.sections.push_back(section);
            if (asciiSection && names.asciiSection.isEmpty())
                names.asciiSection = section;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (names.sections.empty() || equals < 1 || t.startsWith(';') || names.keys.size() >= 64)
            continue;
        const QByteArray key = line.first(equals).trimmed();
        names.keys.emplace_back(section, QString::fromLatin1(key));
        if (asciiSection && IsAsciiName(key) && names.asciiKey.isEmpty() && section == names.asciiSection)
            names.asciiKey = QString::fromLatin1(key);
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    platform::IniDocument doc(text);
    Check(doc.toBytes() == text);

    const Names names = NamesOf(text);
    std::vector<std::optional<QString>> before;
    for (const auto& [section, key] : names.keys) {
        before.push_back(doc.value(section, key));
        doc.readString(section, key, QStringLiteral("-"), 5);
        doc.readInt(section, key, 7);
    }
    for (const QString& section : names.sections)
        doc.value(section, QStringLiteral("ObjCount"));

    // A value of letters (so that it reads back as written), from the
    // input's last bytes.
    QString value;
    for (std::size_t i = size > 8 ? size - 8 : 0; i < size; ++i)
        value += QChar(u'a' + data[i] % 26);
    const QString section = names.asciiSection.isEmpty() ? QStringLiteral("Fuzz") : names.asciiSection;
    const QString key = names.asciiKey.isEmpty() ? QStringLiteral("Key") : names.asciiKey;
    Check(doc.writeString(section, key, value));
    Check(doc.value(section, key) == value);
    const platform::IniDocument again(doc.toBytes());
    Check(again.value(section, key) == value);
    Check(again.toBytes() == doc.toBytes());
    for (std::size_t i = 0; i < names.keys.size(); ++i) {
        const auto& [s, k] = names.keys[i];
        if (s.compare(section, Qt::CaseInsensitive) == 0 && k.compare(key, Qt::CaseInsensitive) == 0)
            continue;
        Check(again.value(s, k) == before[i]);
    }
    return 0;
}
