#include "content/rtf_writer.h"

#include "content/rich_text_format.h"
#include "platform/codepage.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace rich_text {
namespace {

struct FontEntry {
    QString face;
    int charset = kDefaultCharset;
    int pitch = 0;
    int family = kFamilyNil;
    bool operator==(const FontEntry&) const = default;
};

// The character state as written (what the last control words set).
struct Written {
    int font = -1;
    int size = -1;
    int color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
};

const char* const kFamilyWords[] = {"fnil", "froman", "fswiss", "fmodern", "fscript", "fdecor", "ftech", "fbidi"};

FontEntry FontOf(const QTextCharFormat& f)
{
    FontEntry e;
    e.face = FaceOf(f);
    if (e.face.isEmpty())
        e.face = QStringLiteral("System");
    if (f.hasProperty(kCharsetProperty))
        e.charset = f.intProperty(kCharsetProperty) & 0xFF;
    e.pitch = f.intProperty(kPitchProperty) & 0xFF;
    const int family = f.intProperty(kFamilyProperty);
    e.family = family >= kFamilyNil && family <= kFamilyBidi ? family : kFamilyNil;
    return e;
}

int HalfPoints(const QTextCharFormat& f)
{
    const double pt = f.fontPointSize();
    return pt > 0 ? static_cast<int>(std::lround(std::min(pt, 32767.0) * 2.0)) : 24;
}

class Writer {
public:
    explicit Writer(const QTextDocument& document) : m_document(document) {}
    QByteArray Write();

private:
    // The fragments of a block with their formats; an empty block gives its
    // block character format with no text.
    std::vector<std::pair<QString, QTextCharFormat>> Pieces(const QTextBlock& block) const;
    int FontIndex(const QTextCharFormat& f);
    int ColorIndex(const QTextCharFormat& f);
    void Word(const char* word, int value);
    void Word(const char* word);
    void Format(const QTextCharFormat& f, bool paragraphStart);
    void Text(const QString& text, int font);
    void Literal(char c);
    platform::CodePageConverter& Converter(int font);

    const QTextDocument& m_document;
    std::vector<FontEntry> m_fonts;
    std::vector<COLORREF> m_colors;
    std::map<int, std::unique_ptr<platform::CodePageConverter>> m_converters;
    QByteArray m_out;
    bool m_delimit = false; // a control word was written last
    Written m_state;
};

std::vector<std::pair<QString, QTextCharFormat>> Writer::Pieces(const QTextBlock& block) const
{
    std::vector<std::pair<QString, QTextCharFormat>> pieces;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.isValid() && fragment.length() > 0)
            pieces.emplace_back(fragment.text(), fragment.charFormat());
    }
    if (pieces.empty())
        pieces.emplace_back(QString(), block.charFormat());
    return pieces;
}

int Writer::FontIndex(const QTextCharFormat& f)
{
    const FontEntry e = FontOf(f);
    for (std::size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i] == e)
            return static_cast<int>(i);
    m_fonts.push_back(e);
    return static_cast<int>(m_fonts.size() - 1);
}

int Writer::ColorIndex(const QTextCharFormat& f)
{
    COLORREF c = 0;
    if (!ExplicitColorOf(f, c))
        return 0;
    for (std::size_t i = 0; i < m_colors.size(); ++i)
        if (m_colors[i] == c)
            return static_cast<int>(i + 1);
    m_colors.push_back(c);
    return static_cast<int>(m_colors.size());
}

void Writer::Word(const char* word, int value)
{
    m_out += '\\';
    m_out += word;
    m_out += QByteArray::number(value);
    m_delimit = true;
}

void Writer::Word(const char* word)
{
    m_out += '\\';
    m_out += word;
    m_delimit = true;
}

void Writer::Format(const QTextCharFormat& f, bool paragraphStart)
{
    const int font = FontIndex(f);
    const int size = HalfPoints(f);
    const int color = ColorIndex(f);
    const bool bold = f.fontWeight() >= QFont::Bold;
    if (color != m_state.color)
        Word("cf", color);
    if (bold != m_state.bold)
        bold ? Word("b") : Word("b", 0);
    if (f.fontItalic() != m_state.italic)
        f.fontItalic() ? Word("i") : Word("i", 0);
    if (f.fontUnderline() != m_state.underline)
        f.fontUnderline() ? Word("ul") : Word("ulnone");
    if (f.fontStrikeOut() != m_state.strike)
        f.fontStrikeOut() ? Word("strike") : Word("strike", 0);
    if (paragraphStart || font != m_state.font)
        Word("f", font);
    if (paragraphStart || size != m_state.size)
        Word("fs", size);
    m_state = Written{font, size, color, bold, f.fontItalic(), f.fontUnderline(), f.fontStrikeOut()};
}

void Writer::Literal(char c)
{
    if (m_delimit) {
        m_out += ' ';
        m_delimit = false;
    }
    m_out += c;
}

platform::CodePageConverter& Writer::Converter(int font)
{
    int codePage = platform::codePageOfCharset(m_fonts[static_cast<std::size_t>(font)].charset);
    if (codePage == 0)
        codePage = platform::kGbkCodePage; // the \ansicpg of the header
    auto& slot = m_converters[codePage];
    if (!slot)
        slot = std::make_unique<platform::CodePageConverter>(codePage);
    return *slot;
}

void Writer::Text(const QString& text, int font)
{
    static const char kHex[] = "0123456789abcdef";
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == '\\' || u == '{' || u == '}') {
            Literal('\\');
            m_out += static_cast<char>(u);
            continue;
        }
        if (u >= 0x20 && u < 0x80) {
            Literal(static_cast<char>(u));
            continue;
        }
        switch (u) {
        case '\t': Word("tab"); continue;
        case 0x2028: Word("line"); continue;
        case 0x00A0: m_out += "\\~"; m_delimit = false; continue;
        case QChar::ObjectReplacementCharacter: continue; // no embedded objects in report texts
        default: break;
        }
        if (u < 0x20)
            continue;
        // A surrogate pair is one character to the code page, else each half
        // is a \u of its own.
        char32_t c = u;
        const bool pair = QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair)
            c = QChar::surrogateToUcs4(u, text[i + 1].unicode());
        bytes.clear();
        if (!QChar::isSurrogate(u) || pair) {
            if (Converter(font).encode(c, bytes)) {
                for (char b : bytes) {
                    const auto v = static_cast<unsigned char>(b);
                    m_out += "\\'";
                    m_out += kHex[v >> 4];
                    m_out += kHex[v & 0xF];
                }
                m_delimit = false;
                if (pair)
                    ++i;
                continue;
            }
        }
        Word("u", static_cast<std::int16_t>(u));
        m_out += '?';
        m_delimit = false;
    }
}

QByteArray Writer::Write()
{
    // First pass: the tables in order of first use (font 0 is the first
    // paragraph's first font).
    for (QTextBlock b = m_document.begin(); b.isValid(); b = b.next())
        for (const auto& [text, format] : Pieces(b)) {
            FontIndex(format);
            ColorIndex(format);
        }

    m_out.reserve(256 + m_document.characterCount() * 2);
    m_out += "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        const FontEntry& f = m_fonts[i];
        m_out += "{";
        Word("f", static_cast<int>(i));
        Word(kFamilyWords[f.family]);
        if (f.pitch != 0)
            Word("fprq", f.pitch);
        Word("fcharset", f.charset);
        m_out += ' ';
        m_delimit = false;
        QString face = f.face;
        face.remove(QLatin1Char(';'));
        Text(face, static_cast<int>(i));
        m_out += ";}";
        m_delimit = false;
    }
    m_out += "}\r\n"; // with the last entry's brace, the text's first "}}"
    if (!m_colors.empty()) {
        m_out += "{\\colortbl ;";
        for (COLORREF c : m_colors) {
            m_out += "\\red" + QByteArray::number(GetRValue(c));
            m_out += "\\green" + QByteArray::number(GetGValue(c));
            m_out += "\\blue" + QByteArray::number(GetBValue(c)) + ';';
        }
        m_out += "}\r\n";
    }
    m_out += "\\viewkind4\\uc1";
    m_delimit = true;

    for (QTextBlock b = m_document.begin(); b.isValid(); b = b.next()) {
        Word("pard");
        const QTextBlockFormat block = b.blockFormat();
        const Qt::Alignment align = block.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignHCenter)
            Word("qc");
        else if (align & Qt::AlignRight)
            Word("qr");
        else if (align & Qt::AlignJustify)
            Word("qj");
        const auto twips = [](double px) { return static_cast<int>(std::lround(px * kTwipsPerPixel)); };
        if (twips(block.textIndent()) != 0)
            Word("fi", twips(block.textIndent()));
        if (twips(block.leftMargin()) != 0)
            Word("li", twips(block.leftMargin()));
        if (twips(block.rightMargin()) != 0)
            Word("ri", twips(block.rightMargin()));
        bool first = true;
        for (const auto& [text, format] : Pieces(b)) {
            Format(format, first);
            first = false;
            Text(text, m_state.font);
        }
        Word("par");
        m_out += "\r\n";
        m_delimit = false;
    }
    m_out += "}\r\n";
    return m_out;
}

} // namespace

QByteArray WriteRtf(const QTextDocument& document)
{
    return Writer(document).Write();
}

} // namespace rich_text
