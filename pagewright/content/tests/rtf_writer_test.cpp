#include "content/rtf_writer.h"

#include "content/rtf_reader.h"
#include "document/draw_obj.h"
#include "platform/codepage.h"
#include "test_support.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {

using namespace content_test;
using rich_text::ReadRtf;
using rich_text::WriteRtf;

QTextCharFormat Format(const QString& face, double points, int charset = 134)
{
    QTextCharFormat f;
    f.setFontFamilies({face});
    f.setFontPointSize(points);
    f.setProperty(rich_text::kCharsetProperty, charset);
    return f;
}

// Centred Chinese title; a bold red line with characters RTF escapes, a
// tab and a character GBK lacks; an empty right-aligned paragraph in Arial.
void BuildSample(QTextDocument& doc)
{
    QTextCursor c(&doc);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centre);
    c.insertText(QStringLiteral("红外"), Format(QStringLiteral("宋体"), 10.5));
    c.insertBlock(QTextBlockFormat());
    QTextCharFormat red = Format(QStringLiteral("宋体"), 10.5);
    red.setFontWeight(QFont::Bold);
    red.setForeground(QColor(255, 0, 0));
    c.insertText(QStringLiteral("a\\{b}"), red);
    c.insertText(QStringLiteral("\t\u0E01€"), Format(QStringLiteral("宋体"), 10.5));
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    right.setLeftMargin(24); // 360 twips
    QTextCharFormat arial = Format(QStringLiteral("Arial"), 9, 0);
    arial.setProperty(rich_text::kFamilyProperty, rich_text::kFamilySwiss);
    arial.setProperty(rich_text::kPitchProperty, 2);
    c.insertBlock(right, arial);
}

TEST(RtfWriter, WritesTheEditorsShape)
{
    QTextDocument doc;
    BuildSample(doc);
    const QByteArray expected =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset134 "
        "\\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "\\viewkind4\\uc1\\pard\\qc\\f0\\fs21\\'ba\\'ec\\'cd\\'e2\\par\r\n"
        "\\pard\\cf1\\b\\f0\\fs21 a\\\\\\{b\\}\\cf0\\b0\\tab\\u3585?\\'80\\par\r\n"
        "\\pard\\qr\\li360\\f1\\fs18\\par\r\n"
        "}\r\n";
    EXPECT_EQ(WriteRtf(doc), expected);
}

TEST(RtfWriter, KeepsTheShapeThatByteRewritesNeed)
{
    // Without explicit colours there is no colour table, and the colour
    // rewrite of stored texts adds one and turns the first paragraph white.
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText("one", Format("Arial", 12, 0));
    c.insertBlock();
    c.insertText("two");
    const QByteArray rtf = WriteRtf(doc);
    EXPECT_FALSE(rtf.contains("colortbl"));
    // The font table closes with the first "}}"; every paragraph opens with
    // \pard and a further control word and ends with \par CRLF.
    EXPECT_EQ(rtf.indexOf("}}"), rtf.indexOf("{\\fonttbl") + rtf.mid(rtf.indexOf("{\\fonttbl")).indexOf(";}}") + 1);
    EXPECT_EQ(rtf.count("\\pard\\"), 2);
    EXPECT_EQ(rtf.count("\\par\r\n"), 2);
    EXPECT_TRUE(rtf.endsWith("\\par\r\n}\r\n"));

    QTextDocument inverted;
    ReadRtf(InvertRtfColorTable(rtf), &inverted, nullptr);
    const std::vector<Para> paras = Describe(inverted);
    ASSERT_EQ(paras.size(), 2u);
    EXPECT_EQ(paras[0].pieces[0].color, 0xFFFFFF);
    EXPECT_EQ(paras[0].pieces[0].face, "Arial");

    // With a colour table, the rewrite inverts each entry and keeps auto.
    QTextDocument coloured;
    BuildSample(coloured);
    QTextDocument back;
    ReadRtf(InvertRtfColorTable(WriteRtf(coloured)), &back, nullptr);
    const std::vector<Para> b = Describe(back);
    EXPECT_EQ(b[1].pieces[0].color, 0xFFFF00); // red becomes cyan
    EXPECT_EQ(b[1].pieces[1].color, -1);       // auto stays auto
    EXPECT_EQ(b[0].pieces[0].color, -1);
}

TEST(RtfWriter, RoundTripsEveryFixture)
{
    const char* const fixtures[] = {"editor_chinese.rtf", "inserted_tables.rtf", "libreoffice_html.rtf",
                                    "libreoffice_odt.rtf"};
    for (const char* name : fixtures) {
        QTextDocument first;
        ReadRtf(Fixture(name), &first, nullptr);
        const QByteArray written = WriteRtf(first);
        QTextDocument second;
        const auto result = ReadRtf(written, &second, nullptr);
        EXPECT_EQ(result.error, rich_text::RtfError::kNone) << name;
        // read(write(read(x))) = read(x) on the model ...
        EXPECT_EQ(Describe(second), Describe(first)) << name;
        // ... and write(read(write(m))) = write(m) byte for byte.
        EXPECT_EQ(WriteRtf(second), written) << name;
    }
}

// Text in a font of each character set, every byte 0x80-0xFF in a group of
// its own after a letter (a letter and a combining accent in code pages 1255
// and 1258, which the writer joins into one run):
// what the writer produces reads back to the same output.
TEST(RtfWriter, OutputIsAFixedPointInEveryCharacterSet)
{
    const int charsets[] = {0, 77, 128, 129, 134, 136, 161, 162, 163, 177, 178, 186, 204, 222, 238, 255};
    for (const int charset : charsets) {
        SCOPED_TRACE(charset);
        QByteArray rtf = "{\\rtf1{\\fonttbl{\\f0\\fcharset" + QByteArray::number(charset) + " Face;}}\\f0 ";
        for (int b = 0x80; b <= 0xFF; ++b)
            rtf += "{a}{\\'" + QByteArray::number(b, 16) + "} ";
        rtf += "}";
        QTextDocument first;
        ReadRtf(rtf, &first, nullptr);
        const QByteArray written = WriteRtf(first);
        QTextDocument second;
        ASSERT_EQ(ReadRtf(written, &second, nullptr).error, rich_text::RtfError::kNone);
        EXPECT_EQ(WriteRtf(second), written);
    }
    // The input the reader's fuzz target stopped on: a raw byte after a
    // Vietnamese font entry.
    const QByteArray raw = "{\\rtf1{\\fonttbl{\\f0\\fcharset163 x;}}\\f0 a{\xcc}}";
    QTextDocument first;
    ReadRtf(raw, &first, nullptr);
    const QByteArray written = WriteRtf(first);
    QTextDocument second;
    ReadRtf(written, &second, nullptr);
    EXPECT_EQ(WriteRtf(second), written);
}

// The reader's fuzz target's finding: I grave in a Vietnamese font, which
// code page 1258 holds only as "I" and a combining grave, went out as
// \'49\'cc and came back as two characters. It goes out as \u, the same on
// every save.
TEST(RtfWriter, WritesAsUnicodeALetterTheCodePageHoldsOnlyDecomposed)
{
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset163 X;}}\\f0 \\u204?}";
    QTextDocument first;
    ReadRtf(rtf, &first, nullptr);
    ASSERT_EQ(first.toRawText(), QStringLiteral("\u00CC"));
    const QByteArray written = WriteRtf(first);
    EXPECT_TRUE(written.contains("\\u204?")) << written.constData();
    QTextDocument second;
    ReadRtf(written, &second, nullptr);
    EXPECT_EQ(second.toRawText(), first.toRawText());
    EXPECT_EQ(WriteRtf(second), written);
}

// Every character of the Basic Multilingual Plane in a font of every
// character set the font table can name: what the writer writes reads back
// as the same text (a character goes out in the font's code page only when
// those bytes decode to it, else as \u), and writes again to the same bytes.
TEST(RtfWriter, KeepsEveryCharacterExactInEveryCodePage)
{
    QString all;
    for (char32_t c = 0x20; c <= 0xFFFF; ++c) {
        // Surrogates, the separators and the object marker the writer turns
        // into words or drops, and the document's own frame markers.
        if ((c >= 0xD800 && c <= 0xDFFF) || c == 0x2028 || c == 0x2029 || c == 0xFFFC || c == 0xFDD0 ||
            c == 0xFDD1)
            continue;
        all += QChar(static_cast<char16_t>(c));
    }
    for (int charset = 0; charset <= 255; ++charset) {
        if (platform::codePageOfCharset(charset) == 0)
            continue;
        SCOPED_TRACE(charset);
        QTextDocument first;
        QTextCursor(&first).insertText(all, Format(QStringLiteral("Face"), 10, charset));
        ASSERT_EQ(first.toRawText(), all);
        const QByteArray written = WriteRtf(first);
        QTextDocument second;
        ASSERT_EQ(ReadRtf(written, &second, nullptr).error, rich_text::RtfError::kNone);
        const QString back = second.toRawText();
        if (back != all) {
            qsizetype at = 0;
            while (at < back.size() && at < all.size() && back[at] == all[at])
                ++at;
            FAIL() << "first difference at U+" << std::hex << unsigned(at < all.size() ? all[at].unicode() : 0);
        }
        EXPECT_EQ(WriteRtf(second), written);
    }
}

} // namespace
