// The text object: record, drawing, hit testing, colour-table rewrite, plain
// text, copies, export, and editing in place through the view's editor.
#include "object_test_support.h"

#include "content/text_format_ops.h"
#include "document/page_dc.h"
#include "document/word_export.h"

#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>

using namespace object_test;

namespace {

void DrawOnce(CDrawObj& obj, bool printing = false)
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PageDC dc(painter, PageMapping::ForZoom(1.0), printing);
    obj.Draw(dc);
}

} // namespace

TEST(TextObject, RecordEqualsTheGoldenBytesAndReadsBack)
{
    const QByteArray golden = ReadFile(QStringLiteral(CONTENT_GOLDEN "/text.bin"));
    ASSERT_FALSE(golden.isEmpty());
    const QByteArray rtf = golden.mid(56 + 4, golden.size() - 56 - 4 - 1 - 8);
    // The plain text member as stored.
    platform::ArchiveReader reader(golden, Registry().ArchiveRegistry());
    CDrawText read;
    read.Serialize(reader);
    EXPECT_EQ(read.PlainText(), QStringLiteral("abc 温度"));
    EXPECT_EQ(read.textStore.ToByteArray(), rtf);
    EXPECT_EQ(read.position, DocRect(100, -200, 1300, -900));
    EXPECT_EQ(read.penOn, 1);
    EXPECT_EQ(read.pen.widthX, 2);
    EXPECT_EQ(read.pen.color, 0x0000FFu);
    EXPECT_EQ(read.brush.color, 0xFFFFFFu);
    EXPECT_EQ(read.page, 3u);
    EXPECT_EQ(RecordOf(read), golden);
}

TEST(TextObject, FirstDrawEnlargesToTwoHundredSquareAndKeepsTheUpperLeftCorner)
{
    Report r;
    // 100 x 50, drawn downward (top above bottom).
    CDrawText* text = r.AddText(DocRect(500, -500, 600, -550));
    DrawOnce(*text);
    EXPECT_EQ(text->position, DocRect(500, -500, 700, -700));
    // Already large enough: unchanged.
    CDrawText* big = r.AddText(DocRect(0, 0, 400, -400));
    DrawOnce(*big);
    EXPECT_EQ(big->position, DocRect(0, 0, 400, -400));
}

TEST(TextObject, HitTestFindsTheTextAreaOnlyDeepInside)
{
    Report r;
    CDrawText* text = r.AddText(DocRect(0, 0, 400, -400));
    text->pen.widthX = text->pen.widthY = 0;
    struct Case {
        QPoint point;
        int selectedHit; // what a selected box answers
    };
    const int base = text->CDrawObj::HitTest(QPoint(25, -200), &r.view, true, 0);
    EXPECT_EQ(text->HitTest(QPoint(25, -200), &r.view, true, 0), base) << "25 units inside: the base answer";
    EXPECT_EQ(text->HitTest(QPoint(60, -200), &r.view, true, 0), 9) << "60 units inside: the text";
    EXPECT_EQ(text->HitTest(QPoint(45, -200), &r.view, true, 0), 0) << "within 20 units of the inner edge";
    EXPECT_EQ(text->HitTest(QPoint(200, -200), &r.view, false, 0), 9);
    // Selected for editing only (mode 1): no text area.
    text->BeginEdit(&r.view, 1);
    EXPECT_EQ(text->HitTest(QPoint(200, -200), &r.view, true, 0), 0);
    // A wide pen moves the text area in.
    text->BeginEdit(&r.view, 0);
    text->pen.widthX = 4; // 30 + 42 = 72
    EXPECT_NE(text->HitTest(QPoint(60, -200), &r.view, true, 0), 9);
    EXPECT_EQ(text->HitTest(QPoint(100, -200), &r.view, true, 0), 9);
}

TEST(TextObject, ColourTableRewrites)
{
    CDrawText red;
    red.textStore.Assign("{\\rtf1{\\fonttbl{\\f0 A;}}{\\colortbl ;\\red255\\green0\\blue0;}\\pard\\cf1 x\\par}");
    red.InvertColorTable();
    QByteArray out = red.textStore.ToByteArray();
    ASSERT_TRUE(out.endsWith('\0'));
    EXPECT_TRUE(out.contains("{\\colortbl ;\\red0\\green255\\blue255;}")) << out.constData();

    CDrawText plain;
    plain.textStore.Assign("{\\rtf1{\\fonttbl{\\f0 A;}}\r\n\\pard\\f0 x\\par}");
    plain.InvertColorTable();
    out = plain.textStore.ToByteArray();
    // The new table goes between the braces of the first "}}": the last
    // group inside the font table, as stored reports hold it.
    EXPECT_EQ(out, QByteArray("{\\rtf1{\\fonttbl{\\f0 A;}{\\colortbl ;\\red255\\green255\\blue255;}}\r\n"
                              "\\pard\\cf1\\f0 x\\par}",
                              -1) + '\0');
    // The text reads as white.
    QTextDocument doc;
    rich_text::ReadRtf(QByteArrayView(out).first(out.size() - 1), &doc, nullptr);
    EXPECT_EQ(QTextCursor(doc.firstBlock()).block().begin().fragment().charFormat().foreground().color(),
              QColor(255, 255, 255));
}

TEST(TextObject, PlainTextAndAlignment)
{
    Report r;
    CDrawText* text = r.AddText();
    QString plain = QStringLiteral("x");
    int alignment = 7;
    text->GetPlainText(&r.view, plain, alignment);
    EXPECT_TRUE(plain.isEmpty());
    EXPECT_EQ(alignment, 7) << "an empty text leaves the alignment";

    text->SetPlainText(&r.view, QStringLiteral("温度 12"), 0, nullptr);
    text->GetPlainText(&r.view, plain, alignment);
    EXPECT_EQ(plain, QStringLiteral("温度 12"));
    EXPECT_EQ(alignment, 0);
    // A centred text read and written back stays centred.
    text->SetPlainText(&r.view, plain, alignment, nullptr);
    text->GetPlainText(&r.view, plain, alignment);
    EXPECT_EQ(alignment, 0);
    text->SetPlainText(&r.view, QStringLiteral("right"), 2, nullptr);
    text->GetPlainText(&r.view, plain, alignment);
    EXPECT_EQ(alignment, 2);
    // A new text takes the default format (the Chinese font of wenben.dat).
    EXPECT_TRUE(text->textStore.ToByteArray().contains("\\'cb\\'ce\\'cc\\'e5"));
}

TEST(TextObject, SetPlainTextWithASourceLeavesNothingOfALongerOldText)
{
    Report r;
    CDrawText* target = r.AddText();
    target->textStore.Assign(Rtf("a much longer old text that fills many more bytes than the copy"));
    CDrawText* source = r.AddText();
    source->textStore.Assign(Rtf("\\b short"));
    target->SetPlainText(&r.view, QStringLiteral("new"), 1, source);
    QString plain;
    int alignment = 0;
    target->GetPlainText(&r.view, plain, alignment);
    EXPECT_EQ(plain, QStringLiteral("new"));
    EXPECT_FALSE(target->textStore.ToByteArray().contains("longer"));
    EXPECT_TRUE(target->textStore.ToByteArray().contains("\\b")) << "the source's format is kept";
}

TEST(TextObject, CloneCopiesFormatAndTextButNoEditingState)
{
    Report r;
    CDrawText* text = r.AddText();
    text->penOn = 0;
    text->brush.color = 0x00FF00;
    text->textStore.Assign(Rtf("clone me"));
    auto* copy = static_cast<CDrawText*>(text->Clone(&r.doc));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->penOn, 0);
    EXPECT_EQ(copy->brush.color, 0x00FF00u);
    EXPECT_EQ(copy->textStore.ToByteArray(), text->textStore.ToByteArray());
    EXPECT_TRUE(copy->PlainText().isEmpty());
}

TEST(TextObject, ExportTakesTheFirstRunsFontOrTheDefault)
{
    struct Case {
        QByteArray rtf;
        QString font;
        float size;
    };
    const Case cases[] = {
        {QByteArray(), QStringLiteral("宋体"), 12},
        {"{\\rtf1{\\fonttbl{\\f0\\fnil\\fcharset0 System;}}\\pard\\f0\\fs20 x\\par}", QStringLiteral("宋体"), 12},
        {"{\\rtf1{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\pard\\f0\\fs30 x\\par}", QStringLiteral("Arial"), 12},
    };
    for (const Case& c : cases) {
        CDrawText text;
        text.position = DocRect(10, -10, 510, -310);
        text.pen.color = 0xFFFFFF;
        text.textStore.Assign(c.rtf);
        RecordingExporter exporter;
        text.ExportToWord(exporter);
        ASSERT_EQ(exporter.boxes.size(), 1u);
        EXPECT_EQ(exporter.boxes[0].fontName, c.font);
        EXPECT_FLOAT_EQ(exporter.boxes[0].fontSize, c.size);
        EXPECT_FALSE(exporter.boxes[0].border) << "a white pen is no border";
        EXPECT_FLOAT_EQ(exporter.boxes[0].top, -310);
        EXPECT_FLOAT_EQ(exporter.boxes[0].height, 300);
        EXPECT_TRUE(exporter.boxes[0].text.isEmpty());
    }
}

TEST(TextObject, AFormatKeyWithTheEditorHiddenFormatsTheStoredTextAsAWhole)
{
    Report r;
    CDrawText* text = r.AddText();
    text->textStore.Assign(Rtf("keep this text"));
    r.view.Select(text);      // loads the editor, hidden
    text->BeginEdit(&r.view, 1); // selected only: the editor holds nothing of it
    // A stale plain-text member must not replace the text.
    ASSERT_FALSE(r.editor->IsVisible());
    text->formatValue = 0;
    EXPECT_EQ(text->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("1"), 0), 1);
    QString plain;
    int alignment = 0;
    text->GetPlainText(&r.view, plain, alignment);
    EXPECT_EQ(plain, QStringLiteral("keep this text"));
    EXPECT_TRUE(text->textStore.ToByteArray().contains("\\b")) << text->textStore.ToByteArray().constData();
    // Key 30 answers 1 and records nothing.
    EXPECT_EQ(text->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("30"), 0), 1);
    // Without an editor, 1024 does nothing.
    CDrawText lone;
    EXPECT_EQ(lone.DoCommand(CDrawObj::kFormatCommand, QStringLiteral("1"), 0), 0);
}
