#include "content/rtf_reader.h"

#include "content/rich_text_format.h"
#include "document/page_dc.h"
#include "document/rtf_mem_file.h"
#include "platform/codepage.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

namespace rich_text {
namespace {

constexpr char kParagraphMark = 11;
constexpr int kDefaultSize = 24;   // \fs24: 12 points, RTF's default
constexpr int kMaxNameChars = 255;  // a face name is kept up to this length
constexpr int kMaxNameInput = 1024; // bytes and characters collected for it
constexpr int kRunFaceBytes = 29;  // the export's face field holds 29 bytes and a NUL

// Character properties (saved and restored with every group).
struct CharState {
    int font = -1; // font table index; -1 none (the \deff font)
    int size = kDefaultSize;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0; // colour table index; 0 and out-of-table: auto
    int uc = 1;    // characters to skip after \uN
    bool operator==(const CharState&) const = default;
};

enum class Align { kLeft, kCenter, kRight, kJustify };

struct ParaState {
    Align align = Align::kLeft;
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
};

enum class Dest { kNormal, kFontTable, kColorTable, kSkip };

struct Group {
    CharState ch;
    ParaState para;
    Dest dest = Dest::kNormal;
};

struct Font {
    bool defined = false;
    QByteArray nameBytes;
    QString name;
    int charset = -1; // -1: none given
    int pitch = 0;
    int family = kFamilyNil;
};

struct Color {
    bool automatic = true;
    COLORREF rgb = 0;
};

struct Span {
    QString text;
    CharState ch;
};

struct Paragraph {
    ParaState para;
    CharState endChar; // the format at its end (empty paragraphs, appended text)
    std::vector<Span> spans;
};

// Control words the parser acts on.
enum class Word {
    kUnknown,
    kPar, kLine, kTab, kLquote, kRquote, kLdblquote, kRdblquote, kBullet, kEndash, kEmdash, kEnspace, kEmspace,
    kCell, kRow,
    kPard, kPlain, kQc, kQl, kQr, kQj, kLi, kRi, kFi,
    kB, kI, kUl, kUlnone, kUlc, kStrike,
    kF, kFs, kCf, kU, kUc, kBin,
    kFonttbl, kColortbl, kRed, kGreen, kBlue, kFcharset, kFprq,
    kFnil, kFroman, kFswiss, kFmodern, kFscript, kFdecor, kFtech, kFbidi,
    kDeff, kAnsicpg,
    kSkipDest,
};

Word LookUp(std::string_view w)
{
    static const std::map<std::string_view, Word> table = {
        {"par", Word::kPar}, {"line", Word::kLine}, {"tab", Word::kTab}, {"lquote", Word::kLquote},
        {"rquote", Word::kRquote}, {"ldblquote", Word::kLdblquote}, {"rdblquote", Word::kRdblquote},
        {"bullet", Word::kBullet}, {"endash", Word::kEndash}, {"emdash", Word::kEmdash},
        {"enspace", Word::kEnspace}, {"emspace", Word::kEmspace}, {"cell", Word::kCell}, {"row", Word::kRow},
        {"pard", Word::kPard}, {"plain", Word::kPlain}, {"qc", Word::kQc}, {"ql", Word::kQl},
        {"qr", Word::kQr}, {"qj", Word::kQj}, {"li", Word::kLi}, {"ri", Word::kRi}, {"fi", Word::kFi},
        {"b", Word::kB}, {"i", Word::kI}, {"ul", Word::kUl}, {"uld", Word::kUl}, {"uldb", Word::kUl},
        {"uldash", Word::kUl}, {"uldashd", Word::kUl}, {"uldashdd", Word::kUl}, {"ulth", Word::kUl},
        {"ulw", Word::kUl}, {"ulwave", Word::kUl}, {"ulnone", Word::kUlnone}, {"ulc", Word::kUlc},
        {"strike", Word::kStrike}, {"striked", Word::kStrike},
        {"f", Word::kF}, {"fs", Word::kFs}, {"cf", Word::kCf}, {"u", Word::kU}, {"uc", Word::kUc},
        {"bin", Word::kBin}, {"fonttbl", Word::kFonttbl}, {"colortbl", Word::kColortbl}, {"red", Word::kRed},
        {"green", Word::kGreen}, {"blue", Word::kBlue}, {"fcharset", Word::kFcharset}, {"fprq", Word::kFprq},
        {"fnil", Word::kFnil}, {"froman", Word::kFroman}, {"fswiss", Word::kFswiss},
        {"fmodern", Word::kFmodern}, {"fscript", Word::kFscript}, {"fdecor", Word::kFdecor},
        {"ftech", Word::kFtech}, {"fbidi", Word::kFbidi}, {"deff", Word::kDeff}, {"ansicpg", Word::kAnsicpg},
        // Destinations a text box does not show.
        {"author", Word::kSkipDest}, {"buptim", Word::kSkipDest}, {"comment", Word::kSkipDest},
        {"creatim", Word::kSkipDest}, {"doccomm", Word::kSkipDest}, {"footer", Word::kSkipDest},
        {"footerf", Word::kSkipDest}, {"footerl", Word::kSkipDest}, {"footerr", Word::kSkipDest},
        {"footnote", Word::kSkipDest}, {"ftncn", Word::kSkipDest}, {"ftnsep", Word::kSkipDest},
        {"ftnsepc", Word::kSkipDest}, {"header", Word::kSkipDest}, {"headerf", Word::kSkipDest},
        {"headerl", Word::kSkipDest}, {"headerr", Word::kSkipDest}, {"info", Word::kSkipDest},
        {"keywords", Word::kSkipDest}, {"operator", Word::kSkipDest}, {"pict", Word::kSkipDest},
        {"printim", Word::kSkipDest}, {"private1", Word::kSkipDest}, {"revtim", Word::kSkipDest},
        {"rxe", Word::kSkipDest}, {"stylesheet", Word::kSkipDest}, {"subject", Word::kSkipDest},
        {"tc", Word::kSkipDest}, {"title", Word::kSkipDest}, {"txe", Word::kSkipDest}, {"xe", Word::kSkipDest},
        {"object", Word::kSkipDest}, {"shp", Word::kSkipDest}, {"shppict", Word::kSkipDest},
        {"nonshppict", Word::kSkipDest}, {"listtable", Word::kSkipDest},
        {"listoverridetable", Word::kSkipDest}, {"revtbl", Word::kSkipDest}, {"rsidtbl", Word::kSkipDest},
        {"pgdsctbl", Word::kSkipDest}, {"themedata", Word::kSkipDest},
        {"colorschememapping", Word::kSkipDest}, {"latentstyles", Word::kSkipDest},
        {"datastore", Word::kSkipDest}, {"xmlnstbl", Word::kSkipDest}, {"userprops", Word::kSkipDest},
        {"annotation", Word::kSkipDest}, {"atnauthor", Word::kSkipDest}, {"fldinst", Word::kSkipDest},
        {"generator", Word::kSkipDest},
    };
    const auto it = table.find(w);
    return it == table.end() ? Word::kUnknown : it->second;
}

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int HexValue(unsigned char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Parser {
public:
    Parser(QByteArrayView rtf, bool wantDocument, TextRunList* runs)
        : m_data(reinterpret_cast<const unsigned char*>(rtf.data()))
        , m_size(static_cast<std::size_t>(rtf.size()))
        , m_wantDocument(wantDocument)
        , m_runs(runs)
    {
    }

    RtfReadResult Run();
    void BuildDocument(QTextDocument& document);

private:
    // Input.
    bool AtEnd() const { return m_pos >= m_size; }
    void ParseControl();
    void HandleWord(std::string_view word, bool hasParam, int param);
    void HandleHex();
    void OpenGroup();
    void CloseGroup();
    void SkipGroup();

    // Output.
    void Byte(unsigned char b);
    void Char(char16_t c);
    void Text(const QString& text);
    void FlushBytes();
    void EndParagraph();
    void ParagraphBreakForRuns();
    void StartRun(const QString& text);
    void Note(RtfError e)
    {
        if (m_error == RtfError::kNone)
            m_error = e;
    }

    // Tables.
    void FontTableByte(unsigned char b);
    void CloseFontEntry();
    void FontTableChar(char16_t c);
    void FlushFontName(Font& f);
    void ColorTableByte(unsigned char b);
    const Font* CurrentFont() const;
    platform::CodePageConverter& ConverterFor(const Font* font);
    COLORREF ColorOf(int index, bool& automatic) const;
    QTextCharFormat MakeCharFormat(const CharState& ch);

    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_wantDocument;
    TextRunList* m_runs;

    RtfError m_error = RtfError::kNone;
    int m_alignment = 0;
    std::vector<Group> m_stack;
    Group m_cur;
    Group m_last; // the state inside the outermost group as it closed
    bool m_started = false; // the outermost group was opened
    bool m_finished = false;
    int m_skipChars = 0; // \uc fallback characters still to drop

    std::array<Font, kMaxFonts> m_fonts;
    int m_fontEntry = -1; // font being defined; -1 none (or out of range)
    bool m_fontEntryOpen = false;
    int m_deff = 0;
    int m_ansiCodePage = 0;
    std::vector<Color> m_colors;
    Color m_pendingColor;
    bool m_colorSeen = false;
    std::map<int, std::unique_ptr<platform::CodePageConverter>> m_converters;

    QByteArray m_pendingBytes;
    std::vector<Paragraph> m_paragraphs;
    Paragraph m_paragraph;
    bool m_paragraphHasContent = false;

    bool m_runFormatPending = false;
};

RtfReadResult Parser::Run()
{
    while (!AtEnd() && !m_finished) {
        const unsigned char c = m_data[m_pos++];
        switch (c) {
        case '{':
            FlushBytes();
            OpenGroup();
            break;
        case '}':
            FlushBytes();
            CloseGroup();
            break;
        case '\\':
            ParseControl();
            break;
        case '\r':
        case '\n':
            break;
        default:
            Byte(c);
            break;
        }
    }
    FlushBytes();
    if (!m_finished && !m_stack.empty())
        Note(RtfError::kUnmatchedBrace);
    // Text after the last \par is a paragraph of its own; a text without
    // any paragraph still has one, in the format in force at its end.
    const Group& last = m_finished ? m_last : m_cur;
    if (m_paragraphHasContent || !m_paragraph.spans.empty() || m_paragraphs.empty()) {
        m_paragraph.para = last.para;
        m_paragraph.endChar = last.ch;
        m_paragraphs.push_back(std::move(m_paragraph));
    }
    if (m_runs != nullptr) {
        m_runs->alignment = m_alignment;
        if (m_runs->runs.size() == 1 && m_runs->runs.front().text == QString(QChar(kParagraphMark)))
            m_runs->runs.clear();
    }
    return {m_error, m_alignment};
}

void Parser::OpenGroup()
{
    if (m_stack.size() >= static_cast<std::size_t>(kMaxDepth)) {
        Note(RtfError::kStackOverflow);
        m_stack.push_back(m_cur);
        SkipGroup();
        return;
    }
    m_stack.push_back(m_cur);
    m_started = true;
    m_skipChars = 0;
    if (m_cur.dest == Dest::kSkip)
        SkipGroup();
}

void Parser::CloseGroup()
{
    if (m_stack.empty()) {
        Note(RtfError::kStackUnderflow);
        m_finished = true;
        return;
    }
    if (m_cur.dest == Dest::kFontTable)
        CloseFontEntry();
    if (m_stack.size() == 1)
        m_last = m_cur;
    m_cur = m_stack.back();
    m_stack.pop_back();
    m_skipChars = 0;
    if (m_stack.empty() && m_started)
        m_finished = true; // the end of the outermost group ends the text
}

// Consumes the rest of the group just opened (its '{' already read),
// including its nested groups, and closes it.
void Parser::SkipGroup()
{
    int depth = 1;
    while (!AtEnd()) {
        const unsigned char c = m_data[m_pos++];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0)
                break;
        } else if (c == '\\' && !AtEnd()) {
            const unsigned char n = m_data[m_pos];
            if (!IsLetter(n)) {
                ++m_pos; // a control symbol, escaped braces included
                continue;
            }
            // \binN: skip its bytes unread.
            if (m_size - m_pos >= 3 && m_data[m_pos] == 'b' && m_data[m_pos + 1] == 'i' && m_data[m_pos + 2] == 'n') {
                std::size_t p = m_pos + 3;
                std::uint64_t n2 = 0;
                bool digits = false;
                while (p < m_size && IsDigit(m_data[p]) && n2 < 0xFFFFFFFFu) {
                    n2 = n2 * 10 + (m_data[p] - '0');
                    ++p;
                    digits = true;
                }
                if (digits && (p >= m_size || !IsLetter(m_data[p]))) {
                    if (p < m_size && m_data[p] == ' ')
                        ++p;
                    m_pos = static_cast<std::size_t>(std::min<std::uint64_t>(m_size, p + n2));
                }
            }
        }
    }
    if (depth != 0) {
        m_pos = m_size; // truncated inside the skipped group
        return;
    }
    CloseGroup();
}

void Parser::ParseControl()
{
    if (AtEnd())
        return;
    const unsigned char c = m_data[m_pos];
    if (!IsLetter(c)) {
        ++m_pos;
        if (c == '\'') {
            HandleHex();
            return;
        }
        FlushBytes();
        if (m_skipChars > 0 && c != '*' && c != '\r' && c != '\n') {
            --m_skipChars;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Char(c);
            break;
        case '~':
            Char(0x00A0);
            break;
        case '_':
            Char(0x2011);
            break;
        case '\r':
        case '\n':
            // "\<line end>" is a paragraph mark.
            EndParagraph();
            break;
        case '*':
            // An optional destination: skipped whole, however deep.
            m_cur.dest = Dest::kSkip;
            if (!m_stack.empty())
                SkipGroup();
            break;
        case '\t':
            Char('\t');
            break;
        default:
            break; // \- \| \: and others show nothing
        }
        return;
    }

    // A control word: letters, an optional signed number, a delimiter.
    const std::size_t start = m_pos;
    while (!AtEnd() && IsLetter(m_data[m_pos]) && m_pos - start < 32)
        ++m_pos;
    const std::string_view word(reinterpret_cast<const char*>(m_data + start), m_pos - start);
    while (!AtEnd() && IsLetter(m_data[m_pos])) // an over-long word: the rest is dropped
        ++m_pos;
    bool negative = false;
    bool hasParam = false;
    std::int64_t value = 0;
    if (!AtEnd() && m_data[m_pos] == '-' && m_pos + 1 < m_size && IsDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    int digits = 0;
    while (!AtEnd() && IsDigit(m_data[m_pos])) {
        if (digits < 10)
            value = value * 10 + (m_data[m_pos] - '0');
        ++digits;
        ++m_pos;
        hasParam = true;
    }
    if (!AtEnd() && m_data[m_pos] == ' ')
        ++m_pos;
    value = std::clamp<std::int64_t>(negative ? -value : value, INT32_MIN, INT32_MAX);
    HandleWord(word, hasParam, static_cast<int>(value));
}

void Parser::HandleHex()
{
    int v = 0;
    for (int k = 0; k < 2; ++k) {
        if (AtEnd())
            return;
        const int h = HexValue(m_data[m_pos]);
        if (h < 0) {
            Note(RtfError::kInvalidHex); // the escape is dropped, the character read afresh
            return;
        }
        v = v * 16 + h;
        ++m_pos;
    }
    if (m_skipChars > 0) {
        --m_skipChars;
        return;
    }
    switch (m_cur.dest) {
    case Dest::kFontTable:
        FontTableByte(static_cast<unsigned char>(v));
        break;
    case Dest::kColorTable:
        break;
    default:
        // Stored as a byte: a double-byte character may continue with a
        // literal byte or a further escape.
        m_pendingBytes.append(static_cast<char>(v));
        break;
    }
}

void Parser::HandleWord(std::string_view word, bool hasParam, int param)
{
    const Word w = LookUp(word);
    if (w != Word::kU && w != Word::kUnknown)
        FlushBytes();
    if (m_skipChars > 0 && w != Word::kU) {
        --m_skipChars;
        if (w != Word::kBin)
            return;
    }
    CharState& ch = m_cur.ch;
    ParaState& para = m_cur.para;
    const bool on = !hasParam || param != 0;
    switch (w) {
    case Word::kUnknown:
        break;
    case Word::kPar:
        EndParagraph();
        break;
    case Word::kRow:
        if (m_cur.dest == Dest::kNormal)
            EndParagraph();
        break;
    case Word::kLine: Char(0x2028); break;
    case Word::kTab:
    case Word::kCell: Char('\t'); break;
    case Word::kLquote: Char(0x2018); break;
    case Word::kRquote: Char(0x2019); break;
    case Word::kLdblquote: Char(0x201C); break;
    case Word::kRdblquote: Char(0x201D); break;
    case Word::kBullet: Char(0x2022); break;
    case Word::kEndash: Char(0x2013); break;
    case Word::kEmdash: Char(0x2014); break;
    case Word::kEnspace: Char(0x2002); break;
    case Word::kEmspace: Char(0x2003); break;
    case Word::kPard: para = ParaState{}; break;
    case Word::kPlain: {
        const int uc = ch.uc;
        ch = CharState{};
        ch.uc = uc;
        break;
    }
    case Word::kQc:
        para.align = Align::kCenter;
        m_alignment = 1;
        break;
    case Word::kQr:
        para.align = Align::kRight;
        m_alignment = 2;
        break;
    case Word::kQl: para.align = Align::kLeft; break;
    case Word::kQj: para.align = Align::kJustify; break;
    case Word::kLi: para.leftIndent = hasParam ? param : 0; break;
    case Word::kRi: para.rightIndent = hasParam ? param : 0; break;
    case Word::kFi: para.firstIndent = hasParam ? param : 0; break;
    case Word::kB: ch.bold = on; break;
    case Word::kI: ch.italic = on; break;
    case Word::kUl: ch.underline = on; break;
    case Word::kUlnone: ch.underline = false; break;
    case Word::kUlc: break;
    case Word::kStrike: ch.strike = on; break;
    case Word::kF:
        if (m_cur.dest == Dest::kFontTable) {
            CloseFontEntry();
            m_fontEntry = (hasParam && param >= 0 && param < kMaxFonts) ? param : -1;
            m_fontEntryOpen = true;
            if (m_fontEntry >= 0)
                m_fonts[static_cast<std::size_t>(m_fontEntry)] = Font{};
        } else {
            ch.font = (hasParam && param >= 0 && param < kMaxFonts) ? param : 0;
        }
        break;
    case Word::kFs: ch.size = hasParam ? std::clamp(param, 0, 0xFFFF) : kDefaultSize; break;
    case Word::kCf: ch.color = hasParam ? param : 0; break;
    case Word::kUc: ch.uc = hasParam ? std::clamp(param, 0, 16) : 1; break;
    case Word::kU: {
        FlushBytes();
        int v = param;
        if (v < 0)
            v += 65536;
        if (hasParam && v > 0 && v <= 0xFFFF) {
            if (m_cur.dest == Dest::kFontTable)
                FontTableChar(static_cast<char16_t>(v));
            else
                Char(static_cast<char16_t>(v));
        }
        m_skipChars = ch.uc;
        break;
    }
    case Word::kBin:
        // Binary data is no text: its bytes are stepped over.
        if (hasParam && param > 0)
            m_pos = static_cast<std::size_t>(std::min<std::uint64_t>(m_size, m_pos + static_cast<std::uint64_t>(param)));
        break;
    case Word::kFonttbl:
        m_cur.dest = Dest::kFontTable;
        m_fontEntry = -1;
        m_fontEntryOpen = false;
        break;
    case Word::kColortbl:
        m_cur.dest = Dest::kColorTable;
        m_pendingColor = Color{};
        m_colorSeen = false;
        break;
    case Word::kRed:
    case Word::kGreen:
    case Word::kBlue:
        if (m_cur.dest == Dest::kColorTable) {
            const int shift = w == Word::kRed ? 0 : (w == Word::kGreen ? 8 : 16);
            const COLORREF v = static_cast<COLORREF>(std::clamp(hasParam ? param : 0, 0, 255));
            m_pendingColor.rgb = (m_pendingColor.rgb & ~(0xFFu << shift)) | (v << shift);
            m_pendingColor.automatic = false;
            m_colorSeen = true;
        }
        break;
    case Word::kFcharset:
    case Word::kFprq:
    case Word::kFnil:
    case Word::kFroman:
    case Word::kFswiss:
    case Word::kFmodern:
    case Word::kFscript:
    case Word::kFdecor:
    case Word::kFtech:
    case Word::kFbidi:
        if (m_cur.dest == Dest::kFontTable && m_fontEntry >= 0) {
            Font& f = m_fonts[static_cast<std::size_t>(m_fontEntry)];
            if (w == Word::kFcharset)
                f.charset = hasParam ? std::clamp(param, 0, 255) : 0;
            else if (w == Word::kFprq)
                f.pitch = hasParam ? std::clamp(param, 0, 255) : 0;
            else
                f.family = static_cast<int>(w) - static_cast<int>(Word::kFnil);
        }
        break;
    case Word::kDeff:
        m_deff = (hasParam && param >= 0 && param < kMaxFonts) ? param : 0;
        break;
    case Word::kAnsicpg:
        m_ansiCodePage = hasParam ? param : 0;
        break;
    case Word::kSkipDest:
        m_cur.dest = Dest::kSkip;
        if (!m_stack.empty())
            SkipGroup();
        break;
    }
}

void Parser::Byte(unsigned char b)
{
    if (m_skipChars > 0) {
        --m_skipChars;
        return;
    }
    switch (m_cur.dest) {
    case Dest::kFontTable:
        FontTableByte(b);
        return;
    case Dest::kColorTable:
        ColorTableByte(b);
        return;
    case Dest::kSkip:
        return;
    case Dest::kNormal:
        break;
    }
    if (b == '\t') {
        FlushBytes();
        Char('\t');
        return;
    }
    if (b < 0x20)
        return; // control characters (a trailing NUL among them) show nothing
    m_pendingBytes.append(static_cast<char>(b));
}

void Parser::FlushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    const QByteArray bytes = std::exchange(m_pendingBytes, QByteArray());
    if (m_cur.dest != Dest::kNormal)
        return;
    bool ascii = true;
    for (char b : bytes)
        ascii = ascii && static_cast<unsigned char>(b) < 0x80;
    Text(ascii ? QString::fromLatin1(bytes) : ConverterFor(CurrentFont()).decode(bytes));
}

void Parser::Char(char16_t c)
{
    FlushBytes();
    if (m_cur.dest == Dest::kFontTable)
        FontTableChar(c);
    if (m_cur.dest != Dest::kNormal)
        return;
    Text(QString(QChar(c)));
}

// Control characters, paragraph separators and object marks are no text of
// a paragraph (a \uN or a \'hh may name them).
bool IsNoText(QChar c)
{
    const char16_t u = c.unicode();
    return (u < 0x20 && u != '\t') || u == 0x2029 || u == 0xFFFC;
}

void Parser::Text(const QString& input)
{
    if (m_cur.dest != Dest::kNormal || input.isEmpty())
        return;
    QString text = input;
    text.removeIf(IsNoText);
    if (text.isEmpty())
        return;
    if (m_wantDocument) {
        if (!m_paragraph.spans.empty() && m_paragraph.spans.back().ch == m_cur.ch)
            m_paragraph.spans.back().text += text;
        else
            m_paragraph.spans.push_back(Span{text, m_cur.ch});
    }
    m_paragraphHasContent = true;
    if (m_runs != nullptr) {
        if (m_runs->runs.empty()) {
            StartRun(text);
        } else {
            if (m_runFormatPending) {
                // A run opened by a paragraph mark takes the format of its
                // paragraph's first character.
                const QString mark = std::move(m_runs->runs.back().text);
                m_runs->runs.pop_back();
                StartRun(mark);
            }
            m_runs->runs.back().text += text;
        }
    }
}

void Parser::EndParagraph()
{
    FlushBytes();
    if (m_cur.dest != Dest::kNormal)
        return;
    if (m_wantDocument) {
        m_paragraph.para = m_cur.para;
        m_paragraph.endChar = m_cur.ch;
        m_paragraphs.push_back(std::move(m_paragraph));
        m_paragraph = Paragraph{};
    }
    m_paragraphHasContent = false;
    if (m_runs != nullptr) {
        // The paragraph mark starts the next run (a run of just the mark
        // when nothing follows).
        StartRun(QString(QChar(kParagraphMark)));
        m_runFormatPending = true;
    }
}

void Parser::StartRun(const QString& text)
{
    TextRun run;
    const Font* font = CurrentFont();
    if (font != nullptr) {
        run.fontName = platform::fromGbk(platform::toGbk(font->name, kRunFaceBytes));
        run.pitch = font->pitch;
    }
    run.size = static_cast<std::uint16_t>(m_cur.ch.size);
    run.color = ColorOf(m_cur.ch.color, run.autoColor);
    run.bold = m_cur.ch.bold;
    run.italic = m_cur.ch.italic;
    run.underline = m_cur.ch.underline;
    run.text = text;
    m_runs->runs.push_back(std::move(run));
    m_runFormatPending = false;
}

void Parser::FontTableByte(unsigned char b)
{
    if (b == ';') {
        CloseFontEntry();
        return;
    }
    if (b < 0x20 || m_fontEntry < 0 || !m_fontEntryOpen)
        return;
    Font& f = m_fonts[static_cast<std::size_t>(m_fontEntry)];
    if (f.name.size() + f.nameBytes.size() < kMaxNameInput)
        f.nameBytes.append(static_cast<char>(b));
}

// A \uN inside a face name.
void Parser::FontTableChar(char16_t c)
{
    if (m_fontEntry < 0 || !m_fontEntryOpen || IsNoText(QChar(c)))
        return;
    Font& f = m_fonts[static_cast<std::size_t>(m_fontEntry)];
    FlushFontName(f);
    if (f.name.size() < kMaxNameInput)
        f.name += QChar(c);
}

void Parser::FlushFontName(Font& f)
{
    if (f.nameBytes.isEmpty())
        return;
    f.name += ConverterFor(&f).decode(f.nameBytes);
    f.nameBytes.clear();
}

void Parser::CloseFontEntry()
{
    if (!m_fontEntryOpen)
        return;
    m_fontEntryOpen = false;
    if (m_fontEntry < 0)
        return;
    Font& f = m_fonts[static_cast<std::size_t>(m_fontEntry)];
    f.defined = true;
    FlushFontName(f);
    f.name = f.name.trimmed().left(kMaxNameChars).trimmed();
}

void Parser::ColorTableByte(unsigned char b)
{
    if (b != ';')
        return;
    // Each ';' closes an entry; an entry without components is "auto".
    if (m_colors.size() < static_cast<std::size_t>(kMaxColors))
        m_colors.push_back(m_colorSeen ? m_pendingColor : Color{});
    m_pendingColor = Color{};
    m_colorSeen = false;
}

const Font* Parser::CurrentFont() const
{
    const int index = m_cur.ch.font >= 0 ? m_cur.ch.font : m_deff;
    const Font& f = m_fonts[static_cast<std::size_t>(index)];
    return f.defined ? &f : nullptr;
}

platform::CodePageConverter& Parser::ConverterFor(const Font* font)
{
    int codePage = font != nullptr ? platform::codePageOfCharset(font->charset) : 0;
    if (codePage == 0)
        codePage = m_ansiCodePage != 0 ? m_ansiCodePage : platform::kGbkCodePage;
    auto& slot = m_converters[codePage];
    if (!slot) {
        slot = std::make_unique<platform::CodePageConverter>(codePage);
        if (!slot->isValid())
            slot = std::make_unique<platform::CodePageConverter>(platform::kGbkCodePage);
    }
    return *slot;
}

COLORREF Parser::ColorOf(int index, bool& automatic) const
{
    if (index <= 0 || static_cast<std::size_t>(index) >= m_colors.size() || m_colors[static_cast<std::size_t>(index)].automatic) {
        automatic = true;
        return 0;
    }
    automatic = false;
    return m_colors[static_cast<std::size_t>(index)].rgb;
}

QTextCharFormat Parser::MakeCharFormat(const CharState& ch)
{
    QTextCharFormat f;
    const int index = ch.font >= 0 ? ch.font : m_deff;
    const Font& font = m_fonts[static_cast<std::size_t>(index)];
    if (font.defined) {
        f.setFontFamilies(QStringList{font.name});
        if (font.charset >= 0)
            f.setProperty(kCharsetProperty, font.charset);
        if (font.pitch != 0)
            f.setProperty(kPitchProperty, font.pitch);
        if (font.family != kFamilyNil)
            f.setProperty(kFamilyProperty, font.family);
    }
    f.setFontPointSize(ch.size > 0 ? ch.size / 2.0 : 0.5);
    f.setFontWeight(ch.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(ch.italic);
    f.setFontUnderline(ch.underline);
    f.setFontStrikeOut(ch.strike);
    bool automatic = true;
    const COLORREF color = ColorOf(ch.color, automatic);
    if (!automatic)
        f.setForeground(PageDC::ToQColor(color));
    return f;
}

QTextBlockFormat BlockFormatOf(const ParaState& para)
{
    QTextBlockFormat f;
    switch (para.align) {
    case Align::kLeft: f.setAlignment(Qt::AlignLeft); break;
    case Align::kCenter: f.setAlignment(Qt::AlignHCenter); break;
    case Align::kRight: f.setAlignment(Qt::AlignRight); break;
    case Align::kJustify: f.setAlignment(Qt::AlignJustify); break;
    }
    if (para.leftIndent != 0)
        f.setLeftMargin(para.leftIndent / kTwipsPerPixel);
    if (para.rightIndent != 0)
        f.setRightMargin(para.rightIndent / kTwipsPerPixel);
    if (para.firstIndent != 0)
        f.setTextIndent(para.firstIndent / kTwipsPerPixel);
    return f;
}

void Parser::BuildDocument(QTextDocument& document)
{
    InstallReportFontSubstitutions();
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    // One cached format per distinct state: texts use few.
    std::vector<std::pair<CharState, QTextCharFormat>> formats;
    auto formatOf = [&](const CharState& ch) -> const QTextCharFormat& {
        for (const auto& [state, format] : formats)
            if (state == ch)
                return format;
        formats.emplace_back(ch, MakeCharFormat(ch));
        return formats.back().second;
    };
    bool first = true;
    for (const Paragraph& p : m_paragraphs) {
        const QTextBlockFormat block = BlockFormatOf(p.para);
        const QTextCharFormat endFormat = formatOf(p.endChar);
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(endFormat);
            first = false;
        } else {
            cursor.insertBlock(block, endFormat);
        }
        for (const Span& span : p.spans)
            cursor.insertText(span.text, formatOf(span.ch));
    }
    cursor.endEditBlock();
    document.setModified(false);
}

} // namespace

RtfReadResult ReadRtf(QByteArrayView rtf, QTextDocument* document, TextRunList* runs)
{
    if (runs != nullptr)
        *runs = TextRunList{};
    Parser parser(rtf, document != nullptr, runs);
    const RtfReadResult result = parser.Run();
    if (document != nullptr)
        parser.BuildDocument(*document);
    return result;
}

} // namespace rich_text

bool ExtractRtfText(const CRtfMemFile& store, TextRunList& runs)
{
    return rich_text::ReadRtf(store.Data(), nullptr, &runs).error == rich_text::RtfError::kNone;
}
