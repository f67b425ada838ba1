#include "content/text_host.h"

#include "content/rich_text_draw.h"
#include "content/rtf_writer.h"
#include "document/draw_obj.h"
#include "document/page_dc.h"
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"
#include "test_support.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>
#include <QtEndian>

namespace {

using namespace content_test;

const QByteArray kHeader = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n";

QByteArray Text(const QByteArray& body) { return kHeader + body + "}\r\n"; }

QImage White(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The bounding box of pixels that are not white (empty when none).
QRect Ink(const QImage& image, QRgb only = 0)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (p == qRgb(255, 255, 255))
                continue;
            if (only != 0 && (qRed(p) < 200 || qGreen(p) > 80 || qBlue(p) > 80))
                continue; // counting reddish pixels only
            box |= QRect(x, y, 1, 1);
        }
    return box;
}

// A text object stand-in: the base object with a store and a rectangle of
// w x h report units whose top left is at the page's top left.
struct TextObject {
    CDrawObj obj;
    RichTextCache cache;
    TextObject(const QByteArray& rtf, int w, int h)
    {
        obj.position = DocRect{0, 0, w, -h};
        obj.penOn = 0;
        obj.textStore.Assign(rtf);
    }
};

QImage Paint(TextObject& t, double zoom, int w, int h, const QString* label = nullptr, CRtfMemFile* display = nullptr)
{
    QImage image = White(w, h);
    QPainter painter(&image);
    PageDC dc(painter, PageMapping::ForZoom(zoom));
    DrawRichText(dc, t.obj, t.cache, label, display);
    return image;
}

TEST(TextHost, LaysOutWithTheDefaultsOfAReportText)
{
    CTextHost host;
    const QByteArray rtf = Text("\\pard\\f0\\fs21 a\\tab b\\par\r\n");
    host.SetText(rtf);
    QByteArray back;
    host.GetText(back);
    EXPECT_EQ(back, rtf);

    // A tab stop every 720 twips (48 layout pixels), no document margin.
    QTextDocument& doc = host.Document();
    int height = 0;
    host.GetNaturalHeight(500, height);
    const QTextLayout* layout = doc.begin().layout();
    ASSERT_TRUE(layout != nullptr);
    EXPECT_EQ(qRound(layout->lineAt(0).cursorToX(2)), 48);
    EXPECT_EQ(layout->position().x(), 0);
    // 10.5 points at 96 dpi: one line of about 14 pixels plus leading.
    EXPECT_GE(height, 14);
    EXPECT_LE(height, 24);

    // Word wrap: a narrower box makes the text taller; the natural width is
    // the widest line whatever the height asked for.
    host.SetText(Text("\\pard\\f0\\fs21 one two three four five six\\par\r\n"));
    int wide = 0;
    int narrow = 0;
    host.GetNaturalHeight(1000, wide);
    host.GetNaturalHeight(40, narrow);
    EXPECT_GT(narrow, 2 * wide);
    int width = 0;
    host.GetNaturalWidth(10, width);
    EXPECT_GT(width, 100);
    EXPECT_LT(width, 300);

    // The default font when the text names none: "System", 12 points.
    host.SetText("{\\rtf1 x}");
    EXPECT_EQ(host.Document().begin().charFormat().font().pointSizeF(), 12.0);
}

TEST(RichTextDrawing, DrawsNothingForAnEmptyStoreAndStaysInItsRectangle)
{
    TextObject empty(QByteArray(), 1050, 525);
    EXPECT_TRUE(Ink(Paint(empty, 1, 200, 100)).isEmpty());

    // 1050 x 525 units are 100 x 50 pixels at zoom 1; on the screen the top
    // loses 2 pixels and the right 2 more. The text would run far beyond.
    TextObject t(Text("\\pard\\f0\\fs40 WWWWWWWWWWWWWWWWWWWW\\par WWWW\\par WWWW\\par WWWW\\par\r\n"), 1050, 525);
    const QRect ink = Ink(Paint(t, 1, 300, 300));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.top(), 2);
    EXPECT_LE(ink.right(), 97);
    EXPECT_LE(ink.bottom(), 49);

    // A pen of 5 pixels keeps the text 5 pixels (times the zoom) inside.
    t.obj.penOn = 1;
    t.obj.pen = LogPen{PS_SOLID, 5, 5, 0};
    EXPECT_GE(Ink(Paint(t, 1, 300, 300)).left(), 5);
    EXPECT_GE(Ink(Paint(t, 2, 600, 600)).left(), 10);
}

TEST(RichTextDrawing, ZoomScalesTheSameLayout)
{
    TextObject t(Text("\\pard\\f0\\fs21 Temperature \\'ce\\'c2\\'b6\\'c8 36.5 and a long line that wraps\\par\r\n"),
                 2100, 1050);
    const QRect one = Ink(Paint(t, 1, 400, 200));
    const QRect two = Ink(Paint(t, 2, 800, 400));
    ASSERT_FALSE(one.isEmpty());
    // Same line breaks: the ink box doubles (within hinting and the fixed
    // 2-pixel screen trim).
    EXPECT_NEAR(two.width(), 2 * one.width(), 6);
    EXPECT_NEAR(two.height(), 2 * one.height(), 6);

    // Printing at 300 dpi: the same layout at 300 / 96, without the screen's
    // trim.
    QImage paper = White(1300, 700);
    {
        QPainter painter(&paper);
        PageDC dc(painter, PageMapping::ForResolution(300), true);
        DrawRichText(dc, t.obj, t.cache);
    }
    const QRect printed = Ink(paper);
    EXPECT_NEAR(printed.width(), one.width() * 300.0 / 96.0, 12);
    EXPECT_NEAR(printed.height(), one.height() * 300.0 / 96.0, 12);
}

TEST(RichTextDrawing, DrawsTheWholeTextAndNeverRewritesTheStore)
{
    // Over 5000 bytes of text before a red last line: it is drawn.
    QByteArray body = "\\pard\\f0\\fs2 ";
    body += QByteArray(6000, 'x');
    body += "\\par\\pard\\cf1\\fs40 END\\par\r\n";
    QByteArray rtf = kHeader + "{\\colortbl ;\\red255\\green0\\blue0;}\r\n" + body + "}\r\n";
    rtf.append('\0'); // as the colour rewrite leaves it
    TextObject t(rtf, 10500, 10500);
    t.obj.textStore.Seek(0);
    EXPECT_FALSE(Ink(Paint(t, 1, 1000, 1000), qRgb(255, 0, 0)).isEmpty());
    EXPECT_EQ(t.obj.textStore.ToByteArray(), rtf);
    EXPECT_EQ(t.obj.textStore.GetPosition(), 0u);

    // An unedited foreign store saves byte for byte after drawing.
    const QByteArray foreign = Fixture("libreoffice_html.rtf");
    TextObject f(foreign, 5000, 5000);
    Paint(f, 1, 500, 500);
    platform::ArchiveWriter out;
    f.obj.textStore.Serialize(out);
    QByteArray expected(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(foreign.size()), expected.data());
    EXPECT_EQ(out.data(), expected + foreign);
}

TEST(RichTextDrawing, ReparsesOnlyWhenTheBytesChange)
{
    RichTextCache cache;
    bool changed = false;
    const QByteArray a = Text("\\pard a\\par\r\n");
    CTextHost* first = &cache.Prepare(a, nullptr, &changed);
    EXPECT_TRUE(changed);
    first->Document().setPlainText("edited in place");
    cache.Prepare(a, nullptr, &changed);
    EXPECT_FALSE(changed); // the same bytes: the parsed text is reused
    const QString label = QStringLiteral("1");
    cache.Prepare(a, &label, &changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(cache.Prepare(Text("\\pard b\\par\r\n"), &label, &changed).Document().toPlainText(), "b1");
    EXPECT_TRUE(changed);
}

TEST(RichTextDrawing, FieldLabelsAreTextInTheLastParagraphsEndFormat)
{
    struct Case {
        const char* name;
        QByteArray rtf;
        QString label;
        QStringList texts;
    };
    const Case cases[] = {
        {"digits after a size word", Text("\\pard\\f0\\fs18 \\par\r\n"), "25.3", {"25.3"}},
        {"backslashes and braces", Text("\\pard\\f0 T=\\par\r\n"), "C:\\a{b}\\", {"T=C:\\a{b}\\"}},
        {"Chinese", Text("\\pard\\f0 \\par\r\n"), QStringLiteral("温度"), {QStringLiteral("温度")}},
        {"after the last of two paragraphs", Text("\\pard a\\par\\pard\\qc b\\par\r\n"), "9", {"a", "b9"}},
        {"a store under 10 bytes", "{\\rtf1 x}", "AB", {"xAB"}},
        {"a label cut after a lead byte", Text("\\pard \\par\r\n"), QStringLiteral("a\uFFFD"), {QStringLiteral("a\uFFFD")}},
    };
    for (const Case& c : cases) {
        TextObject t(c.rtf, 3000, 1000);
        CRtfMemFile display;
        Paint(t, 1, 300, 100, &c.label, &display);
        QTextDocument shown;
        rich_text::ReadRtf(display.Data(), &shown, nullptr);
        EXPECT_EQ(Texts(shown), c.texts) << c.name;
        EXPECT_EQ(t.obj.textStore.ToByteArray(), c.rtf) << c.name; // the field's own store is untouched
    }

    // The label takes the end format of the last paragraph: 9 points (\fs18),
    // bold, red.
    TextObject t(kHeader + "{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\pard\\f0\\fs30 a\\par\\pard\\cf1\\b\\fs18 \\par\r\n}\r\n",
                 3000, 1000);
    const QString label = QStringLiteral("36.5℃");
    CRtfMemFile display;
    Paint(t, 1, 300, 100, &label, &display);
    QTextDocument shown;
    rich_text::ReadRtf(display.Data(), &shown, nullptr);
    const std::vector<Para> paras = Describe(shown);
    ASSERT_EQ(paras.size(), 2u);
    ASSERT_EQ(paras[1].pieces.size(), 1u);
    EXPECT_EQ(paras[1].pieces[0], (Piece{label, QStringLiteral("宋体"), 9, true, false, false, 0x0000FF}));
    // The export reads the display store's runs.
    TextRunList runs;
    ExtractRtfText(display, runs);
    ASSERT_EQ(runs.runs.size(), 3u);
    EXPECT_EQ(runs.runs[1].text, QChar(11) + label);
    EXPECT_EQ(runs.runs[1].size, 18);
}

TEST(RichTextDrawing, PaintsChineseColouredAndAlignedTexts)
{
    // The picture a reviewer looks at: test-artifacts/pagewright_content/texts.png.
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
        "{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}{\\f2\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;}\r\n"
        "\\pard\\qc\\f0\\fs32\\b \\'ba\\'ec\\'cd\\'e2\\'bc\\'ec\\'b2\\'e2\\'b1\\'a8\\'b8\\'e6\\b0\\par\r\n"
        "\\pard\\f0\\fs21 \\'d7\\'ee\\'b8\\'df\\'ce\\'c2\\'b6\\'c8:\\tab\\cf1\\b 86.4\\'a1\\'e6\\cf0\\b0\\par\r\n"
        "\\pard\\f0\\fs21 \\'d7\\'ee\\'b5\\'cd\\'ce\\'c2\\'b6\\'c8:\\tab\\cf3 21.7\\'a1\\'e6\\cf0\\par\r\n"
        "\\pard\\qr\\f1\\fs20\\i Arial italic, right\\i0\\par\r\n"
        "\\pard\\qc\\f2\\fs24\\cf2\\ul Times New Roman, centre, green\\ulnone\\cf0\\par\r\n"
        "\\pard\\f1\\fs18 A long line in Arial that wraps inside its box at every zoom the same way.\\par\r\n}\r\n";
    QImage sheet = White(940, 620);
    QPainter painter(&sheet);
    for (double zoom : {1.0, 2.0}) {
        TextObject t(rtf, 3150, 2100); // 300 x 200 pixels at zoom 1
        t.obj.penOn = 1;
        t.obj.pen = LogPen{PS_SOLID, 1, 1, 0};
        PageMapping m = PageMapping::ForZoom(zoom);
        m.viewportOrigin = zoom == 1.0 ? QPointF(10, 10) : QPointF(320, 10);
        PageDC dc(painter, m);
        dc.SelectPen(LogPen{PS_SOLID, 10, 10, 0xC0C0C0});
        dc.SelectNullBrush();
        dc.Rectangle(t.obj.position);
        DrawRichText(dc, t.obj, t.cache);
    }
    painter.end();
    QDir().mkpath(QStringLiteral(CONTENT_ARTIFACTS));
    ASSERT_TRUE(sheet.save(QStringLiteral(CONTENT_ARTIFACTS "/texts.png")));
    // Red, green and blue text all show.
    EXPECT_FALSE(Ink(sheet, qRgb(255, 0, 0)).isEmpty());
}

} // namespace
