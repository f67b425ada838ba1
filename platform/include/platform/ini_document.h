// INI text in the profile format that field.ini, a template's layout file and
// wizard.ini are written in, with the lookup rules the programs rely on:
//
// - Section and key names compare without regard to case, and blanks around a
//   requested name are ignored ("OBJ1_Align " in section "drawtext" finds
//   "OBJ1_Align" in "[DrawText]"). The first matching section and the first
//   matching key in it win.
// - A key line is "name=value"; blanks around the name and the value are
//   dropped, and a value wrapped in a matching pair of single or double quotes
//   loses them. Lines starting with ';' are comments; other lines without '='
//   hold no key.
// - Integers: a missing or empty value gives the default; otherwise an
//   optional sign and the leading decimal digits are taken (no digits: 0),
//   wrapping like the 32-bit reader they come from. "-1" reads as -1.
// - Writing a key rewrites only its own line (the text up to '=' is kept, the
//   value replaced); a new key goes after the last non-blank line of its
//   section, a new section at the end of the text. Every other byte, CRLF line
//   ends included, stays as it was. New lines take the text's line end (CRLF
//   for a new text).
// - Texts are GBK bytes; values are handed in and out as QString.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <optional>
#include <vector>

namespace platform {

// An integer value by the rule above: defaultValue for an empty text, else
// an optional sign and the leading decimal digits (none: 0), wrapping.
int ParseProfileInt(QByteArrayView text, int defaultValue);

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(const QByteArray& bytes);

    // The text as it would be written to disk.
    QByteArray toBytes() const;

    // The value of a key, or nothing when the section or the key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // The value of a key, or defaultValue when it is missing. With maxBytes > 0
    // the value is cut, as its GBK bytes, to at most maxBytes - 1 bytes at a
    // character boundary (the original readers' buffer of maxBytes bytes).
    QString readString(QStringView section, QStringView key, const QString& defaultValue = {},
                       std::size_t maxBytes = 0) const;

    int readInt(QStringView section, QStringView key, int defaultValue) const;

    // Sets a key. Refuses (returns false, text unchanged) an empty section or
    // key name, a name holding '=', '[' or ']', and any name or value holding a
    // line break, which would otherwise split the line and corrupt the file.
    bool writeString(QStringView section, QStringView key, QStringView value);
    bool writeInt(QStringView section, QStringView key, int value);

private:
    struct Line {
        QByteArray text; // without its line end
        QByteArray end;  // "\r\n", "\n" or empty for a last line without one
    };

    // The lines before the first section header, or one section: its header
    // line and the lines up to the next header. Keys are found through an
    // index (folded name -> first line holding it), so a large file is
    // written key by key in linear time.
    struct Block {
        std::vector<Line> lines;
        QHash<QString, std::size_t> keys;
        std::size_t lastFilled = 0; // last non-blank line (the header at least)
    };

    // The block of the first matching section, or nullptr.
    const Block* findSection(QStringView section) const;
    Block* findSection(QStringView section);
    // The key's line in the block, or nullptr.
    static const Line* findKey(const Block& block, QStringView key);

    // Indexes the line at `at` of the block when it holds a key.
    static void indexKey(Block& block, std::size_t at, const QByteArray& text);
    // Adds a line to the last block, or starts a new one at a header line.
    void appendLine(Line line);

    // The cleaned value bytes of a key, or nothing when it is missing.
    std::optional<QByteArray> rawValue(QStringView section, QStringView key) const;

    std::vector<Block> m_blocks = std::vector<Block>(1); // [0]: the lines before any header
    QHash<QString, std::size_t> m_sections; // folded name -> first block
    QByteArray m_newLineEnd = "\r\n"; // line end of lines this document adds
};

} // namespace platform
