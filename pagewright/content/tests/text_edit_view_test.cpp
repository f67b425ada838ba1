// The in-place editor: editing a text box, the formatting commands and their
// undo steps, delete, paste, the format bar calls and the default text.
#include "object_test_support.h"

#include "content/default_text.h"
#include "content/rich_text_format.h"
#include "content/text_format_ops.h"

#include <QApplication>
#include <QClipboard>
#include <QGraphicsTextItem>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace object_test;

namespace {

// The report view's part: a formatting change goes to the one selected
// object as key 1024.
void AnswerAsTheView(Report& r)
{
    QObject::connect(r.editor.get(), &CTextEditView::textEditChanged, [&r](int code, qintptr value) {
        if (r.view.GetSelection().size() != 1)
            return;
        CDrawObj* obj = r.view.GetSelection().front();
        obj->formatValue = static_cast<int>(value);
        obj->DoCommand(CDrawObj::kFormatCommand, QString::number(code), 0);
    });
}

void Type(CTextEditView& editor, const QString& text)
{
    QTextCursor c = editor.Cursor();
    c.insertText(text);
    editor.SetCursor(c);
}

// The plain text and first character's format of a store.
QTextCharFormat FirstFormat(const CRtfMemFile& store, QString* text = nullptr, Qt::Alignment* align = nullptr)
{
    QTextDocument doc;
    rich_text::ReadRtf(store.Data(), &doc, nullptr);
    if (text != nullptr)
        *text = doc.toPlainText();
    if (align != nullptr)
        *align = doc.firstBlock().blockFormat().alignment();
    QTextCursor c(&doc);
    c.setPosition(1);
    return c.charFormat();
}

CDrawText* OpenTextBox(Report& r)
{
    CDrawText* text = r.AddText();
    r.view.Select(text);
    text->PlaceEditor(&r.view);
    return text;
}

} // namespace

TEST(TextEditView, ATextBoxEditedBoldCentredColouredUndoneAndRedone)
{
    Report r;
    AnswerAsTheView(r);
    CDrawText* text = OpenTextBox(r);
    ASSERT_TRUE(r.editor->IsVisible());
    Type(*r.editor, QStringLiteral("Hello 温度"));
    r.editor->SetSel(0, -1);
    r.editor->OnCommand(CTextEditView::kBold);
    r.editor->OnCommand(CTextEditView::kAlignCenter);
    r.editor->SetColorButtonSource([](int id) -> long { return id == CTextEditView::kFontColor ? 0x0000FF : -1; });
    r.editor->OnCommand(CTextEditView::kFontColor);
    text->EndEdit(&r.view);
    EXPECT_FALSE(r.editor->IsVisible());

    QString plain;
    Qt::Alignment align;
    QTextCharFormat f = FirstFormat(text->textStore, &plain, &align);
    EXPECT_EQ(plain, QStringLiteral("Hello 温度"));
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    EXPECT_EQ(f.foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(align & Qt::AlignHCenter);

    // Four steps: the typing, bold, centre, colour.
    EXPECT_EQ(r.doc.GetUndoCount(), 4);
    r.doc.OnEditUndo(); // colour
    r.doc.OnEditUndo(); // centre
    f = FirstFormat(text->textStore, &plain, &align);
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    EXPECT_FALSE(align & Qt::AlignHCenter);
    r.doc.OnEditUndo(); // bold
    f = FirstFormat(text->textStore, &plain);
    EXPECT_NE(f.fontWeight(), QFont::Bold);
    EXPECT_EQ(plain, QStringLiteral("Hello 温度"));
    r.doc.OnEditUndo(); // the typing
    EXPECT_EQ(rich_text::StorePlainText(text->textStore), QString());
    r.doc.OnEditRedo();
    r.doc.OnEditRedo();
    r.doc.OnEditRedo();
    r.doc.OnEditRedo();
    f = FirstFormat(text->textStore, &plain, &align);
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    EXPECT_EQ(f.foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(align & Qt::AlignHCenter);
    EXPECT_FALSE(r.editor->IsVisible()) << "undo ends editing";
}

TEST(TextEditView, BoldPressedTwiceStoresTheTypingOnce)
{
    Report r;
    CDrawText* text = OpenTextBox(r);
    (void)text;
    std::vector<int> codes;
    QObject::connect(r.editor.get(), &CTextEditView::textEditChanged, [&codes](int code, qintptr) { codes.push_back(code); });
    Type(*r.editor, QStringLiteral("abc"));
    EXPECT_TRUE(r.editor->GetModify());
    r.editor->OnCommand(CTextEditView::kBold);
    EXPECT_FALSE(r.editor->GetModify());
    EXPECT_EQ(r.doc.GetUndoCount(), 1);
    r.editor->OnCommand(CTextEditView::kBold);
    EXPECT_EQ(r.doc.GetUndoCount(), 1) << "nothing typed since: nothing stored";
    EXPECT_EQ(codes, (std::vector<int>{1, 1}));
    // Toggled on, then off.
    EXPECT_FALSE(rich_text::SelectionHasEffect(r.editor->Cursor(), 1));
}

TEST(TextEditView, DeleteAtACaretRemovesTheNextCharacter)
{
    Report r;
    OpenTextBox(r);
    Type(*r.editor, QStringLiteral("abcd"));
    r.editor->SetSel(1, 1);
    EXPECT_TRUE(r.editor->OnCommand(CTextEditView::kEditClear));
    EXPECT_EQ(r.editor->GetWindowText(), QStringLiteral("acd"));
    r.editor->SetSel(0, 2);
    r.editor->OnCommand(CTextEditView::kEditClear);
    EXPECT_EQ(r.editor->GetWindowText(), QStringLiteral("d"));
}

TEST(TextEditView, PasteInsertsOnlyTheCharactersAndLeavesTheClipboard)
{
    Report r;
    OpenTextBox(r);
    Type(*r.editor, QStringLiteral("<>"));
    r.editor->SetSel(1, 1);
    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b style='color:red'>粗体</b> text"));
    mime->setText(QStringLiteral("粗体 text"));
    QApplication::clipboard()->setMimeData(mime);
    EXPECT_TRUE(r.editor->OnCommand(CTextEditView::kEditPaste));
    EXPECT_EQ(r.editor->GetWindowText(), QStringLiteral("<粗体 text>"));
    QTextCursor c = r.editor->Cursor();
    c.setPosition(2);
    EXPECT_NE(c.charFormat().fontWeight(), QFont::Bold) << "the pasted characters take the caret's format";
    EXPECT_FALSE(c.charFormat().foreground().color() == QColor(255, 0, 0));
    ASSERT_NE(QApplication::clipboard()->mimeData(), nullptr);
    EXPECT_TRUE(QApplication::clipboard()->mimeData()->hasHtml()) << "the clipboard still offers HTML";
}

TEST(TextEditView, FormatBarApplyAndQuery)
{
    Report r;
    // Nothing edited yet (an image or nothing selected): no size to show,
    // so the bar's size box stays empty instead of reading 0.
    platform::CHARFORMAT idle;
    EXPECT_EQ(r.editor->OnFormatQuery(idle), 1);
    EXPECT_EQ(idle.dwMask & platform::CFM_SIZE, 0u);
    OpenTextBox(r);
    Type(*r.editor, QStringLiteral("abc"));
    r.editor->SetSel(0, -1);
    platform::CHARFORMAT cf;
    cf.dwMask = platform::CFM_ITALIC | platform::CFM_SIZE;
    cf.dwEffects = platform::CFE_ITALIC;
    cf.yHeight = 400; // twips: 20 points
    qintptr reported = 0;
    int code = -1;
    QObject::connect(r.editor.get(), &CTextEditView::textEditChanged, [&](int c, qintptr v) {
        code = c;
        reported = v;
    });
    EXPECT_EQ(r.editor->OnFormatApply(cf), 1);
    EXPECT_EQ(code, 0);
    ASSERT_NE(reported, 0);
    EXPECT_EQ(reinterpret_cast<const platform::CHARFORMAT*>(reported)->yHeight, 400);
    platform::CHARFORMAT back;
    EXPECT_EQ(r.editor->OnFormatQuery(back), 1);
    EXPECT_TRUE(back.dwEffects & platform::CFE_ITALIC);
    EXPECT_EQ(back.yHeight, 400);
}

TEST(TextEditView, AnUntouchedTextKeepsItsBytesAndAnEmptyOneTakesTheDefault)
{
    Report r;
    CDrawText* text = r.AddText();
    // Bytes the writer would not produce.
    const QByteArray odd = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 same\\par}\0trailing";
    text->textStore.Assign(odd);
    r.view.Select(text);
    text->PlaceEditor(&r.view);
    text->CommitEditText();
    text->EndEdit(&r.view);
    EXPECT_EQ(text->textStore.ToByteArray(), odd);

    CDrawText* fresh = r.AddText();
    r.view.Select(fresh);
    fresh->CommitEditText();
    EXPECT_TRUE(fresh->textStore.ToByteArray().contains("\\'cb\\'ce\\'cc\\'e5")) << "the default text's font";
}

TEST(DefaultText, AMissingFileGivesTheBuiltInTextWithOneWarningNamingItsPath)
{
    TestEnvironment env;
    static QStringList* seen = nullptr;
    QStringList messages;
    seen = &messages;
    const QtMessageHandler old = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& m) {
            if (type == QtWarningMsg)
                seen->append(m);
        });
    // No program folder (tools, tests): the built-in text without a word.
    env.folder.clear();
    EXPECT_EQ(LoadDefaultRichText(env), BuiltInDefaultRichText());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    QTemporaryDir empty;
    env.folder = empty.path();
    EXPECT_EQ(LoadDefaultRichText(env), BuiltInDefaultRichText());
    EXPECT_EQ(LoadDefaultRichText(env), BuiltInDefaultRichText());
    qInstallMessageHandler(old);
    // Said at most once a run (an earlier test may have said it), with the
    // file's path.
    EXPECT_LE(messages.size(), 1);
    for (const QString& m : messages)
        EXPECT_TRUE(m.contains(empty.filePath(QStringLiteral("wenben.dat")))) << m.toStdString();
    // The shipped file: same text, found whatever its case.
    QTemporaryDir upper;
    QFile::copy(QStringLiteral(CONTENT_DEFAULT_DATA "/wenben.dat"), upper.filePath(QStringLiteral("WENBEN.DAT")));
    env.folder = upper.path();
    EXPECT_EQ(LoadDefaultRichText(env), ReadFile(QStringLiteral(CONTENT_DEFAULT_DATA "/wenben.dat")));
    EXPECT_EQ(ReadFile(QStringLiteral(CONTENT_DEFAULT_DATA "/wenben.dat")), BuiltInDefaultRichText());
}

TEST(TextFormatOps, HeadlessFormsOnAStore)
{
    TestEnvironment env;
    CRtfMemFile store;
    int alignment = -1;
    EXPECT_EQ(rich_text::StorePlainText(store, &alignment), QString());
    EXPECT_EQ(alignment, 1);
    store.Assign(Rtf("\\b bold start\\b0  rest"));
    rich_text::ReplaceStoreText(store, env, QStringLiteral("new text"), 2);
    QString plain;
    Qt::Alignment align;
    const QTextCharFormat f = FirstFormat(store, &plain, &align);
    EXPECT_EQ(plain, QStringLiteral("new text"));
    EXPECT_EQ(f.fontWeight(), QFont::Bold) << "the format of the start is kept";
    EXPECT_TRUE(align & Qt::AlignRight);
    for (int code = 4; code <= 6; ++code) {
        rich_text::ApplyFormatToStore(store, env, code, 0);
        rich_text::StorePlainText(store, &alignment);
        EXPECT_EQ(alignment, code == 4 ? 1 : code == 5 ? 0 : 2);
    }
    rich_text::ApplyFormatToStore(store, env, 7, 0x00FF00);
    EXPECT_EQ(FirstFormat(store).foreground().color(), QColor(0, 255, 0));
}
