// Text boxes edited in place in the report view: the editor over the box
// where its text was drawn, formatting through the view's commands, undo and
// redo from the view.
#include "view_test_support.h"

#include "resource_ids.h"

#include <gtest/gtest.h>

#include "content/draw_text.h"
#include "content/draw_table.h"
#include "content/rtf_reader.h"
#include "content/table_objects.h"
#include "content/text_edit_view.h"
#include "content/text_objects.h"
#include "irimage/draw_ir.h"
#include "skin/font_combos.h"
#include "skin/text_format_bar.h"
#include "split_frame.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <QDir>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QByteArray kChineseText =
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs28 \\'ba\\'ec\\'cd\\'e2\\'b1\\'a8\\'b1\\'ed Report\\par\r\n}\r\n";

// The bounding box of the dark pixels inside area.
QRect InkBox(const QImage& image, const QRect& area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                box |= QRect(x, y, 1, 1);
    return box;
}

class TextInViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(f.app, nullptr);
        RegisterTextObjects(DrawClassRegistry::Standard());
        text = static_cast<CDrawText*>(
            f.Doc()->Add(std::make_unique<CDrawText>(f.View(), DocRect(600, -400, 3600, -1400))));
        text->penOn = 0;
        text->textStore.Assign(kChineseText);
        f.View()->activateWindow();
        f.View()->setFocus();
        QApplication::processEvents();
    }
    CTextEditView* Editor() const { return f.View()->TextEditView(); }
    QImage Grab() const
    {
        QApplication::processEvents();
        return f.View()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    ViewFixture f;
    CDrawText* text = nullptr;
};

QTextCharFormat FirstFormat(const CRtfMemFile& store, Qt::Alignment* align = nullptr)
{
    QTextDocument doc;
    rich_text::ReadRtf(store.Data(), &doc, nullptr);
    if (align != nullptr)
        *align = doc.firstBlock().blockFormat().alignment();
    QTextCursor c(&doc);
    c.setPosition(1);
    return c.charFormat();
}

} // namespace

TEST_F(TextInViewTest, TheEditorOpensOverTheBoxWithItsTextWhereItWasDrawn)
{
    f.Command(32931); // 200 %
    const QImage drawn = Grab();
    const QPoint centre(2100, -900);
    f.Click(centre); // selects
    f.Click(centre); // the text area: edit in place
    ASSERT_TRUE(Editor()->IsVisible());
    EXPECT_EQ(Editor()->Zoom(), 2.0f);
    EXPECT_EQ(Editor()->GetWindowText(), QStringLiteral("红外报表 Report"));
    Editor()->SetSel(0, 0); // the characters as typed, not selected
    const QImage editing = Grab();
    const QString dir = QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR) + QStringLiteral("/text-shots");
    QDir().mkpath(dir);
    drawn.save(dir + QStringLiteral("/box-zoom2-drawn.png"));
    editing.save(dir + QStringLiteral("/box-zoom2-editing.png"));
    // Inside the selection handles of the box.
    const QRect area = Editor()->geometry().adjusted(6, 6, -6, -6);
    const QRect before = InkBox(drawn, area);
    const QRect after = InkBox(editing, area);
    ASSERT_FALSE(before.isEmpty());
    ASSERT_FALSE(after.isEmpty());
    EXPECT_LE(std::abs(before.left() - after.left()), 2) << "drawn " << before.left() << " editing " << after.left();
    EXPECT_LE(std::abs(before.top() - after.top()), 2) << "drawn " << before.top() << " editing " << after.top();
    EXPECT_LE(std::abs(before.right() - after.right()), 2);
    EXPECT_LE(std::abs(before.bottom() - after.bottom()), 2);
}

TEST_F(TextInViewTest, FormatCommandsOfTheViewAreStepsOfUndoAndRedo)
{
    const QPoint centre(2100, -900);
    f.Click(centre);
    f.Click(centre);
    ASSERT_TRUE(Editor()->IsVisible());
    Editor()->SetSel(0, -1);
    const int steps = f.Doc()->GetUndoCount();
    f.Command(104);  // bold
    f.Command(119);  // centre
    EXPECT_EQ(f.Doc()->GetUndoCount(), steps + 2);
    Qt::Alignment align;
    QTextCharFormat format = FirstFormat(text->textStore, &align);
    EXPECT_EQ(format.fontWeight(), QFont::Bold);
    EXPECT_TRUE(align & Qt::AlignHCenter);
    f.Command(res::ID_UNDO);
    format = FirstFormat(text->textStore, &align);
    EXPECT_FALSE(align & Qt::AlignHCenter);
    EXPECT_EQ(format.fontWeight(), QFont::Bold);
    f.Command(res::ID_UNDO);
    EXPECT_NE(FirstFormat(text->textStore).fontWeight(), QFont::Bold);
    f.Command(res::ID_REDO);
    f.Command(res::ID_REDO);
    format = FirstFormat(text->textStore, &align);
    EXPECT_EQ(format.fontWeight(), QFont::Bold);
    EXPECT_TRUE(align & Qt::AlignHCenter);
}

// Typing into a table cell and then clicking elsewhere on the page - on
// nothing or on another object - leaves the cell: the text stays in the
// cell, the editor goes away and the typing is one step of undo and redo.
TEST(TableCellInViewTest, ClickingAwayFromACellKeepsItsTextAsAStepOfUndo)
{
    struct Case {
        const char* name;
        bool onAnotherObject;
    };
    for (const Case& c : {Case{"empty page", false}, Case{"another object", true}}) {
        SCOPED_TRACE(c.name);
        ViewFixture f;
        ASSERT_NE(f.app, nullptr);
        RegisterTextObjects(DrawClassRegistry::Standard());
        RegisterTableObjects(DrawClassRegistry::Standard());
        f.View()->activateWindow();
        f.View()->setFocus();
        auto* table = static_cast<CDrawTable*>(
            f.Doc()->Add(std::make_unique<CDrawTable>(f.View(), DocRect(600, -2400, 3600, -400), 2, 2)));
        table->RecalcLayout();
        f.AddRect(DocRect(4000, -6000, 5000, -5000));
        QApplication::processEvents();
        const QPoint cell(1350, -900);
        f.Click(cell); // selects the table
        f.Click(cell); // the cell: edit in place
        CTextEditView* editor = f.View()->TextEditView();
        ASSERT_NE(table->GetActiveCell(), nullptr);
        ASSERT_TRUE(editor->IsVisible());
        editor->ReplaceSel(QStringLiteral("设备 A"));
        const int steps = f.Doc()->GetUndoCount();

        f.Click(c.onAnotherObject ? QPoint(4500, -5500) : QPoint(2100, -8000));
        QApplication::processEvents();
        EXPECT_EQ(table->GetActiveCell(), nullptr);
        EXPECT_FALSE(editor->IsVisible());
        EXPECT_EQ(f.Doc()->GetUndoCount(), steps + 1);
        QString text;
        int align = 0;
        table->GetCellText(f.View(), 0, 0, text, align);
        EXPECT_EQ(text, QStringLiteral("设备 A"));

        f.Command(res::ID_UNDO);
        const auto tableNow = [&f]() -> CDrawTable* {
            for (CDrawObj* obj : f.Doc()->GetObjects())
                if (auto* t = dynamic_cast<CDrawTable*>(obj))
                    return t;
            return nullptr;
        };
        CDrawTable* undone = tableNow();
        ASSERT_NE(undone, nullptr);
        undone->GetCellText(f.View(), 0, 0, text, align);
        EXPECT_EQ(text, QString());
        f.Command(res::ID_REDO);
        CDrawTable* redone = tableNow();
        ASSERT_NE(redone, nullptr);
        redone->GetCellText(f.View(), 0, 0, text, align);
        EXPECT_EQ(text, QStringLiteral("设备 A"));
    }
}

// A size chosen in the format bar while several text objects are selected
// (not edited in place) goes into every one of them, once.
TEST_F(TextInViewTest, AFormatBarSizeReachesEverySelectedTextBox)
{
    auto* second = static_cast<CDrawText*>(
        f.Doc()->Add(std::make_unique<CDrawText>(f.View(), DocRect(600, -1600, 3600, -2600))));
    second->textStore.Assign(kChineseText);
    f.View()->Select(text, false);
    f.View()->Select(second, true);
    ASSERT_FALSE(Editor()->IsVisible());
    const int steps = f.Doc()->GetUndoCount();
    platform::CHARFORMAT size;
    size.dwMask = platform::CFM_SIZE;
    size.yHeight = 400; // 20 points
    Editor()->OnFormatApply(size);
    EXPECT_EQ(FirstFormat(text->textStore).fontPointSize(), 20.0);
    EXPECT_EQ(FirstFormat(second->textStore).fontPointSize(), 20.0);
    EXPECT_EQ(f.Doc()->GetUndoCount(), steps + 1);
}

// The format bar shows the report in front: the size of the text edited
// there, whichever view had the keyboard last; brought back to the front by
// the Window menu (no click in it), a report shows its own text's size
// again.
TEST_F(TextInViewTest, TheFormatBarShowsTheReportInFront)
{
    const QPoint centre(2100, -900);
    f.Click(centre);
    f.Click(centre);
    ASSERT_TRUE(Editor()->IsVisible());
    CMainFrame* frame = f.Frame();
    CFontSizeCombo* size = frame->GetFormatBar()->GetFontSizeCombo();
    frame->UpdateCommandUI();
    EXPECT_EQ(size->currentText(), QStringLiteral("14"));
    QMdiSubWindow* first = frame->GetMdiClient()->activeSubWindow();

    const QString face = frame->GetFormatBar()->GetFontNameCombo()->currentText();
    EXPECT_FALSE(face.isEmpty());

    // A new report, nothing edited in it: the bar shows no text's format.
    f.Command(res::ID_FILE_NEW);
    ASSERT_NE(frame->GetMdiClient()->activeSubWindow(), first);
    frame->UpdateCommandUI();
    EXPECT_EQ(frame->GetFormatBar()->GetFontNameCombo()->currentText(), QString());
    EXPECT_EQ(size->currentText(), QString());
    auto* large = static_cast<CDrawText*>(
        f.Doc()->Add(std::make_unique<CDrawText>(f.View(), DocRect(600, -400, 3600, -1400))));
    large->penOn = 0;
    large->textStore.Assign(QByteArray(kChineseText).replace("\\fs28", "\\fs48"));
    f.View()->setFocus();
    QApplication::processEvents();
    f.Click(centre);
    f.Click(centre);
    ASSERT_TRUE(f.View()->TextEditView()->IsVisible());
    frame->UpdateCommandUI();
    EXPECT_EQ(size->currentText(), QStringLiteral("24"));

    // The Window menu's entry: the keyboard stays where it was.
    frame->GetPageCombo()->setFocus();
    frame->GetMdiClient()->setActiveSubWindow(first);
    frame->GetPageCombo()->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(frame->GetMdiClient()->activeSubWindow(), first);
    frame->UpdateCommandUI();
    EXPECT_EQ(size->currentText(), QStringLiteral("14"));
    EXPECT_EQ(frame->GetFormatBar()->GetFontNameCombo()->currentText(), face);
}

// Bold, italic, underline and the alignments are enabled only while the
// selection holds something they change (a text being edited, a field, a
// table; several objects with a text among them); an infrared image or a
// rectangle takes none of them.
TEST_F(TextInViewTest, CharacterAndParagraphButtonsFollowWhatTheSelectionTakes)
{
    const int ids[] = {104, 108, 111, 117, 119, 121};
    CMainFrame* frame = f.Frame();
    const auto enabled = [&](int id) {
        frame->UpdateCommandUI();
        return frame->GetCommandAction(id)->isEnabled();
    };
    const QPoint centre(2100, -900);
    f.Click(centre);
    f.Click(centre);
    ASSERT_TRUE(Editor()->IsVisible());
    for (int id : ids)
        EXPECT_TRUE(enabled(id)) << id;

    auto* image = static_cast<CDrawIR*>(
        f.Doc()->AddNoUndo(std::make_unique<CDrawIR>(f.View(), DocRect(600, -2000, 3600, -4000))));
    f.View()->InsertIRObject(image);
    f.Click(QPoint(2000, -3000));
    ASSERT_EQ(f.View()->GetSelection(), std::vector<CDrawObj*>{image});
    for (int id : ids)
        EXPECT_FALSE(enabled(id)) << id;
    // Nor does the format bar show the text's font any more.
    EXPECT_EQ(frame->GetFormatBar()->GetFontNameCombo()->currentText(), QString());
    EXPECT_EQ(frame->GetFormatBar()->GetFontSizeCombo()->currentText(), QString());

    CDrawRect* rect = f.AddRect(DocRect(4000, -2000, 5000, -3000));
    f.View()->Select(rect);
    for (int id : ids)
        EXPECT_FALSE(enabled(id)) << id;

    // Several, a text among them: the text takes them.
    f.View()->Select(text, true);
    for (int id : ids)
        EXPECT_TRUE(enabled(id)) << id;
}

namespace {

// A click where the user's pointer is: on whatever widget lies at the page
// point (the in-place editor once it is open over the box).
void ClickWhereItLies(ViewFixture& f, QPoint doc)
{
    const QPoint p = f.Client(doc);
    QWidget* target = f.View()->childAt(p);
    if (target == nullptr)
        target = f.View();
    const QPoint local = target->mapFrom(f.View(), p);
    QTest::mouseMove(target, local);
    QTest::mouseClick(target, Qt::LeftButton, {}, local);
    QApplication::processEvents();
}

// Keys typed as the keyboard types them: to the widget with the focus.
void TypeAtFocus(ViewFixture& f, const QString& keys)
{
    QWidget* target = QApplication::focusWidget();
    QTest::keyClicks(target != nullptr ? target : f.View(), keys);
    QApplication::processEvents();
}

CDrawText* OnlyText(ViewFixture& f)
{
    CDrawText* found = nullptr;
    for (CDrawObj* obj : f.Doc()->GetObjects())
        if (auto* t = dynamic_cast<CDrawText*>(obj))
            found = t;
    return found;
}

} // namespace

// A box drawn with the text tool on a blank report.
class TextBoxInViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(f.app, nullptr);
        RegisterTextObjects(DrawClassRegistry::Standard());
        f.View()->activateWindow();
        f.View()->setFocus();
        QApplication::processEvents();
        f.Command(32812); // the text tool
        f.Drag(QPoint(600, -3000), QPoint(3600, -4500));
        box = OnlyText(f);
        ASSERT_NE(box, nullptr);
        editor = f.View()->TextEditView();
    }

    ViewFixture f;
    CDrawText* box = nullptr;
    CTextEditView* editor = nullptr;
};

// A text box drawn with the text tool is ready for typing at once: the
// editor opens over it with the caret, and the first keys arrive.
TEST_F(TextBoxInViewTest, KeysTypedRightAfterDrawingABoxArrive)
{
    EXPECT_TRUE(editor->IsVisible());
    TypeAtFocus(f, QStringLiteral("T1"));
    EXPECT_EQ(editor->GetWindowText(), QStringLiteral("T1"));
    // Clicking away keeps the text in the box.
    f.Click(QPoint(5000, -9000));
    QString text;
    int align = 0;
    box->GetPlainText(f.View(), text, align);
    EXPECT_EQ(text, QStringLiteral("T1"));
}

// An empty box's text is one line high: a click anywhere in the box below
// it still opens the editor there, and keeps the caret in the text.
TEST_F(TextBoxInViewTest, AClickBelowTheFirstLineOfAnEmptyBoxEdits)
{
    const QPoint low(2100, -4100); // far below the first line

    // The editor already open: a click low in it keeps the caret.
    ClickWhereItLies(f, low);
    ASSERT_TRUE(editor->IsVisible());
    TypeAtFocus(f, QStringLiteral("a"));
    EXPECT_EQ(editor->GetWindowText(), QStringLiteral("a"));
    // Emptied again and closed by a click away; then the first click
    // selects the box, the second, low in it, opens the editor.
    editor->SetSel(0, -1);
    editor->ReplaceSel(QString());
    f.Click(QPoint(5000, -9000));
    ASSERT_FALSE(editor->IsVisible());
    ClickWhereItLies(f, low);
    ClickWhereItLies(f, low);
    ASSERT_TRUE(editor->IsVisible());
    TypeAtFocus(f, QStringLiteral("b"));
    EXPECT_EQ(editor->GetWindowText(), QStringLiteral("b"));
}
