#include "content/rtf_reader.h"

#include "document/rtf_mem_file.h"
#include "test_support.h"

#include <QTextDocument>

namespace {

using namespace content_test;
using rich_text::ReadRtf;
using rich_text::RtfError;

constexpr QChar kMark(11);
const QString kSong = QStringLiteral("宋体");

struct Parsed {
    QTextDocument doc;
    TextRunList runs;
    rich_text::RtfReadResult result;
};

std::unique_ptr<Parsed> Parse(const QByteArray& rtf)
{
    auto p = std::make_unique<Parsed>();
    p->result = ReadRtf(rtf, &p->doc, &p->runs);
    return p;
}

QStringList RunTexts(const TextRunList& runs)
{
    QStringList out;
    for (const TextRun& r : runs.runs)
        out << r.text;
    return out;
}

// The GBK bytes of a run of \'hh escapes.
QByteArray Unescape(const char* escapes)
{
    QByteArray out;
    for (const char* p = escapes; *p != '\0'; ++p)
        if (p[0] == '\'' && p[1] != '\0' && p[2] != '\0') {
            out.append(static_cast<char>(QByteArray(p + 1, 2).toInt(nullptr, 16)));
            p += 2;
        }
    return out;
}

TEST(RtfReader, ReadsTheEditorsShape)
{
    const auto p = Parse(Fixture("editor_chinese.rtf"));
    EXPECT_EQ(p->result.error, RtfError::kNone);
    EXPECT_EQ(p->result.alignment, 2); // \qc, later \qr

    // The GBK text as the system's iconv decodes it.
    const QString title = IconvGbk(Unescape(R"(\'ba\'ec\'cd\'e2\'b1\'a8\'b8\'e6)"));
    const QString temperature = IconvGbk(Unescape(R"(\'ce\'c2\'b6\'c8)"));
    ASSERT_EQ(title, QStringLiteral("红外报告"));
    ASSERT_EQ(temperature, QStringLiteral("温度"));

    const std::vector<Para> expected = {
        {Qt::AlignHCenter, {{title, kSong, 10.5}}},
        {Qt::AlignLeft, {{temperature + ":\t36.5", kSong, 9, true, false, false, 0x0000FF}}},
        // Entry 2 is an explicit black, distinct from the auto colour.
        {Qt::AlignRight, {{"Black", "Arial", 10, false, false, false, 0}, {" auto", "Arial", 10}}},
    };
    EXPECT_EQ(Describe(p->doc), expected);

    // The runs: one per paragraph in the format it starts with; the last
    // \par opens a run of just its mark.
    ASSERT_EQ(p->runs.runs.size(), 4u);
    const TextRun& first = p->runs.runs[0];
    EXPECT_EQ(first.text, title);
    EXPECT_EQ(first.fontName, kSong);
    EXPECT_EQ(first.size, 21);
    EXPECT_TRUE(first.autoColor);
    const TextRun& second = p->runs.runs[1];
    EXPECT_EQ(second.text, kMark + temperature + ":\t36.5");
    EXPECT_EQ(second.size, 18);
    EXPECT_TRUE(second.bold);
    EXPECT_FALSE(second.autoColor);
    EXPECT_EQ(second.color, 0x0000FFu);
    const TextRun& third = p->runs.runs[2];
    EXPECT_EQ(third.text, kMark + QStringLiteral("Black auto"));
    EXPECT_EQ(third.fontName, "Arial");
    EXPECT_EQ(third.pitch, 2);
    EXPECT_FALSE(third.autoColor);
    EXPECT_EQ(third.color, 0u);
    EXPECT_EQ(p->runs.runs[3].text, QString(kMark));
}

TEST(RtfReader, ReadsTablesThatRewritesPutInsideTheFontTable)
{
    // The colour rewrite and the field's font insertion both land inside the
    // font table; font 1 has the default character set, read as \ansicpg936.
    const auto p = Parse(Fixture("inserted_tables.rtf"));
    EXPECT_EQ(p->result.error, RtfError::kNone);
    const std::vector<Para> expected = {{Qt::AlignLeft,
                                         {{"A", kSong, 9, false, false, false, 0xFFFF00},
                                          {QStringLiteral("中"), "System", 9, false, false, false, 0xFFFF00},
                                          {"B", kSong, 9, false, false, false, 0xFFFF00}}}};
    EXPECT_EQ(Describe(p->doc), expected);
}

TEST(RtfReader, ReadsWhatLibreOfficeWrites)
{
    const auto p = Parse(Fixture("libreoffice_html.rtf"));
    EXPECT_EQ(p->result.error, RtfError::kNone);
    EXPECT_EQ(Texts(p->doc), (QStringList{QStringLiteral("红外检测报告"), QStringLiteral("Bold italic under 红色 red"),
                                          QStringLiteral("Right aligned, café €5"),
                                          QStringLiteral("Tab\tstop {braces} back\\slash")}));
    const std::vector<Para> paras = Describe(p->doc);
    ASSERT_EQ(paras.size(), 4u);
    EXPECT_EQ(paras[0].align, Qt::AlignHCenter);
    EXPECT_EQ(paras[2].align, Qt::AlignRight);
    // Emphasis and the colour table's sixth explicit entry (red); counting
    // only entries with components would give yellow.
    const auto& line = paras[1].pieces;
    ASSERT_GE(line.size(), 7u);
    EXPECT_TRUE(line[0].bold);
    EXPECT_TRUE(line[2].italic);
    EXPECT_TRUE(line[4].underline);
    EXPECT_EQ(line[6].text, QStringLiteral("红色 red"));
    EXPECT_EQ(line[6].color, 0x0000FF);
    EXPECT_EQ(paras[2].pieces[0].face, "Arial");
}

TEST(RtfReader, ReadsIndentsAndLineBreaksFromLibreOffice)
{
    // Converted from an ODT document: indents, justification, a colour of
    // the table's eleventh explicit entry, an explicit black and a line break.
    const auto p = Parse(Fixture("libreoffice_odt.rtf"));
    EXPECT_EQ(p->result.error, RtfError::kNone);
    EXPECT_EQ(Texts(p->doc), (QStringList{QStringLiteral("缩进段落：温度 36.5℃"), "Justified green text struck",
                                          "Black and auto", QStringLiteral("Line one\u2028line two")}));
    const std::vector<Para> paras = Describe(p->doc);
    ASSERT_EQ(paras.size(), 4u);
    EXPECT_EQ(paras[0].left, 1440);
    EXPECT_EQ(paras[0].first, -360);
    EXPECT_EQ(paras[1].align, Qt::AlignJustify);
    EXPECT_EQ(paras[1].right, 720);
    EXPECT_EQ(paras[1].pieces[0].color, 0x008000);
    EXPECT_EQ(paras[1].pieces[0].points, 14);
    EXPECT_EQ(paras[2].align, Qt::AlignHCenter);
    EXPECT_EQ(paras[2].pieces[0].color, 0);
    EXPECT_EQ(paras[2].pieces[1].color, -1);
}

TEST(RtfReader, DecodesBytesInTheCodePageOfTheFont)
{
    struct Case {
        const char* name;
        QByteArray rtf;
        QString text;
    };
    const Case cases[] = {
        {"GBK font", R"({\rtf1{\fonttbl{\f0\fcharset134 x;}}\f0 \'b0\'a1})", QStringLiteral("啊")},
        {"GBK character split between escape and byte", R"({\rtf1{\fonttbl{\f0\fcharset134 x;}}\f0 \'81@})",
         QStringLiteral("丂")},
        {"western font", R"({\rtf1\ansicpg936{\fonttbl{\f0\fcharset0 Arial;}}\f0 caf\'e9})", QStringLiteral("café")},
        {"cyrillic font", R"({\rtf1{\fonttbl{\f0\fcharset204 Arial;}}\f0 \'cf\'f0})", QStringLiteral("Пр")},
        {"default set reads the ANSI code page", R"({\rtf1\ansicpg1252{\fonttbl{\f0\fcharset1 S;}}\f0 \'e9})",
         QStringLiteral("é")},
        {"default set without one is GBK", R"({\rtf1{\fonttbl{\f0\fcharset1 S;}}\f0 \'d6\'d0})",
         QStringLiteral("中")},
        {"no font table is GBK", R"({\rtf1 \'d6\'d0})", QStringLiteral("中")},
        {"literal GBK bytes", QByteArray("{\\rtf1 ") + QByteArray::fromHex("d6d0cec4") + "}", QStringLiteral("中文")},
        {"\\u with its fallback", R"({\rtf1 a\u8364?b\uc2\u-30050\'3f\'3fc})", QStringLiteral("a€b語c")},
        {"\\uc0", R"({\rtf1\uc0\u20013 x})", QStringLiteral("中x")},
        {"symbols", R"({\rtf1 \{a\}\\ \ldblquote q\rdblquote\~\tab t\line n})",
         QStringLiteral("{a}\\ “q”\u00A0\tt\u2028n")},
        {"bad hex is dropped", R"({\rtf1 a\'zzb\'4})", QStringLiteral("azzb")},
        {"control characters by number are dropped", R"({\rtf1 a\'0db\u13?c\'09d})", QStringLiteral("abc\td")},
        {"unknown words are ignored", R"({\rtf1 \foo12 a\bar-3 b})", QStringLiteral("ab")},
    };
    for (const Case& c : cases) {
        const auto p = Parse(c.rtf);
        EXPECT_EQ(Texts(p->doc).join('\n'), c.text) << c.name;
    }
}

TEST(RtfReader, SkipsDestinationsWhole)
{
    struct Case {
        const char* name;
        QByteArray rtf;
    };
    // Each reads as "ab" with no damage: no control word or table text leaks.
    const Case cases[] = {
        {"generator", R"({\rtf1{\*\generator Riched20 10.0.19041}a{\*\x{\*\y z}}b})"},
        {"bullet text in an optional group", R"({\rtf1{\*\pn\pnlvlblt\pnf1{\pntxtb\'b7}}ab})"},
        {"info and stylesheet", R"({\rtf1{\info{\title T}{\author A}}{\stylesheet{\s0 Normal;}}ab})"},
        {"headers and footers", R"({\rtf1{\header h}{\footerl f}a{\footnote n}b})"},
        {"picture with binary", "{\\rtf1 a{\\pict\\bin4 }}{{}b}"},
        {"object", R"({\rtf1 a{\object{\objdata 0102}{\result{\pict 00}}}b})"},
        {"field result kept", R"({\rtf1{\field{\*\fldinst HYPERLINK x}{\fldrslt ab}}})"},
        {"font alternates", R"({\rtf1{\fonttbl{\f0\fcharset0 A{\*\falt B};}}\f0 ab})"},
    };
    for (const Case& c : cases) {
        const auto p = Parse(c.rtf);
        EXPECT_EQ(p->doc.toPlainText().remove(QChar::ParagraphSeparator), "ab") << c.name;
        EXPECT_EQ(p->result.error, RtfError::kNone) << c.name;
    }
}

TEST(RtfReader, EndsAtTheOutermostGroupAndToleratesDamage)
{
    struct Case {
        const char* name;
        QByteArray rtf;
        QStringList texts;
        RtfError error;
    };
    const Case cases[] = {
        {"trailing NUL and stale bytes", QByteArray("{\\rtf1 ab\\par\r\n}\r\n") + QByteArray(1, '\0') + "{\\rtf1 x}", {"ab"},
         RtfError::kNone},
        {"truncated in a group", R"({\rtf1 ab\par {\b cd)", {"ab", "cd"}, RtfError::kUnmatchedBrace},
        {"truncated in a control word", R"({\rtf1 ab\pa)", {"ab"}, RtfError::kUnmatchedBrace},
        {"truncated in an escape", R"({\rtf1 ab\')", {"ab"}, RtfError::kUnmatchedBrace},
        {"truncated in a skipped group", R"({\rtf1 ab{\*\gen x)", {"ab"}, RtfError::kUnmatchedBrace},
        {"unbalanced close", "}ab", {""}, RtfError::kStackUnderflow},
        {"bad hex", R"({\rtf1 a\'g1})", {"ag1"}, RtfError::kInvalidHex},
        {"empty", "", {""}, RtfError::kNone},
    };
    for (const Case& c : cases) {
        const auto p = Parse(c.rtf);
        EXPECT_EQ(Texts(p->doc), c.texts) << c.name;
        EXPECT_EQ(p->result.error, c.error) << c.name;
    }
}

TEST(RtfReader, BoundsFontsColoursSizesAndNesting)
{
    // A font index of 40 or more selects font 0; a colour outside the table
    // is auto; \fs keeps its whole value; a long face name is cut for the run.
    const QByteArray longName(40, 'N');
    const auto p = Parse("{\\rtf1{\\fonttbl{\\f0\\fcharset0 Zero;}{\\f1\\fcharset0 " + longName +
                         ";}{\\f45\\fcharset0 Big;}}{\\colortbl;\\red1\\green2\\blue3;}"
                         "\\f45\\cf7\\fs400 a\\par\\f1\\cf1\\fs70000 b}");
    ASSERT_EQ(p->runs.runs.size(), 2u);
    EXPECT_EQ(p->runs.runs[0].fontName, "Zero");
    EXPECT_TRUE(p->runs.runs[0].autoColor);
    EXPECT_EQ(p->runs.runs[0].size, 400);
    EXPECT_EQ(p->runs.runs[1].fontName, QString(29, QChar('N')));
    EXPECT_EQ(p->runs.runs[1].color, 0x030201u);
    EXPECT_EQ(p->runs.runs[1].size, 65535);
    const std::vector<Para> paras = Describe(p->doc);
    EXPECT_EQ(paras[0].pieces[0].face, "Zero");
    EXPECT_EQ(paras[1].pieces[0].face, QString::fromLatin1(longName));

    // A cut face keeps whole GBK characters.
    QByteArray chineseName;
    for (int i = 0; i < 20; ++i)
        chineseName += "\\'d6\\'d0";
    const auto q = Parse("{\\rtf1{\\fonttbl{\\f0\\fcharset134 " + chineseName + ";}}\\f0 x}");
    ASSERT_EQ(q->runs.runs.size(), 1u);
    EXPECT_EQ(q->runs.runs[0].fontName, QString(14, QChar(0x4E2D)));

    // Deep nesting neither recurses nor grows without bound.
    const QByteArray deep = "{\\rtf1 a" + QByteArray(100000, '{') + "x" + QByteArray(100000, '}') + "b}";
    const auto d = Parse(deep);
    EXPECT_EQ(d->doc.toPlainText(), "ab");
    EXPECT_EQ(d->result.error, RtfError::kStackOverflow);
}

TEST(RtfReader, RunListRules)
{
    struct Case {
        const char* name;
        QByteArray rtf;
        QStringList runs;
        int alignment;
    };
    const QString m(kMark);
    const Case cases[] = {
        {"one empty paragraph gives none", R"({\rtf1\pard\par})", {}, 0},
        {"text, par, text", R"({\rtf1 ab\par cd})", {"ab", m + "cd"}, 0},
        {"a par after text starts a run", R"({\rtf1 ab\par})", {"ab", m}, 0},
        {"empty paragraphs in between", R"({\rtf1 a\par\par b})", {"a", m, m + "b"}, 0},
        {"a backslash before a line end is a paragraph mark", "{\\rtf1 a\\\r\nb}", {"a", m + "b"}, 0},
        {"centre then left keeps 1", R"({\rtf1\qc a\par\pard\ql b})", {"a", m + "b"}, 1},
        {"right then justified keeps 2", R"({\rtf1\qr a\qj})", {"a"}, 2},
    };
    for (const Case& c : cases) {
        const auto p = Parse(c.rtf);
        EXPECT_EQ(RunTexts(p->runs), c.runs) << c.name;
        EXPECT_EQ(p->runs.alignment, c.alignment) << c.name;
    }

    // A run takes the format its paragraph starts with.
    const auto p = Parse(R"({\rtf1\fs20 a\b\fs30\par\b0\fs40 b})");
    ASSERT_EQ(p->runs.runs.size(), 2u);
    EXPECT_EQ(p->runs.runs[1].size, 40);
    EXPECT_FALSE(p->runs.runs[1].bold);
}

TEST(RtfReader, ExtractsFromAStoreWithoutMovingIt)
{
    CRtfMemFile store;
    store.Write(QByteArrayView(R"({\rtf1 ab\par cd})"));
    store.Seek(3);
    TextRunList runs;
    EXPECT_TRUE(ExtractRtfText(store, runs));
    EXPECT_EQ(RunTexts(runs), (QStringList{"ab", QString(kMark) + "cd"}));
    EXPECT_EQ(store.GetPosition(), 3u);

    store.Assign(QByteArrayView(R"({\rtf1 ab)"));
    EXPECT_FALSE(ExtractRtfText(store, runs));
    EXPECT_EQ(RunTexts(runs), QStringList{"ab"}); // what was read is kept
}

} // namespace
