// The report view in the running program: opening reports, mouse scripts of
// the drawing tools, the editing commands, pages and zoom.
#include "view_test_support.h"
#include "app_environment.h"

#include "new_page_dlg.h"
#include "resource_ids.h"
#include "split_frame.h"

#include "content/draw_histogram.h"
#include "content/draw_result_table.h"
#include "content/chart_objects.h"
#include "content/draw_table.h"
#include "content/table_objects.h"
#include "document/draw_poly.h"
#include "document/draw_tool.h"

#include "irimage/draw_3d_map.h"
#include "irimage/draw_ir.h"

#include "skin/color_picker_button.h"
#include "skin/color_status_bar.h"
#include "skin/tool_bar_ex.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>

#include <array>

#include "platform/compound_file.h"
#include "platform/ini_file.h"
#include "platform/storage.h"

namespace {

class ReportViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(f.app, nullptr);
        ASSERT_NE(f.View(), nullptr);
    }

    int Steps() const { return f.Doc()->GetUndoCount(); }
    std::vector<CDrawObj*> Objects() const { return f.Doc()->GetObjects(); }

    ViewFixture f;
    QTemporaryDir dir;
};

// Answers the next modal dialog with a function, then OK.
template <class Dlg>
void AnswerDialog(std::function<void(Dlg&)> fill, bool ok = true)
{
    QTimer::singleShot(0, [fill, ok] {
        auto* dlg = qobject_cast<Dlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        fill(*dlg);
        dlg->ClickButton(ok ? CDialog::kIdOk : CDialog::kIdCancel);
    });
}

} // namespace

TEST_F(ReportViewTest, NewAndOpenShowReportsInMaximisedChildFrames)
{
    QMdiArea* mdi = f.Frame()->GetMdiClient();
    ASSERT_EQ(mdi->subWindowList().size(), 1); // the blank report of the start
    EXPECT_TRUE(mdi->subWindowList().front()->isMaximized());
    // The view fills the frame but for its scroll bar.
    EXPECT_GE(f.View()->width(), mdi->width() - 40);
    f.Command(res::ID_FILE_NEW);
    EXPECT_EQ(mdi->subWindowList().size(), 2);

    const QString path = dir.filePath(QStringLiteral("two.rpt"));
    ASSERT_TRUE(WriteShapesReport(path, 2));
    CDI_RptView* view = f.Open(path);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(mdi->subWindowList().size(), 3);
    EXPECT_TRUE(mdi->activeSubWindow()->isMaximized());
    EXPECT_EQ(mdi->activeSubWindow()->windowTitle(), QStringLiteral("two"));
    EXPECT_EQ(view->GetDocument()->GetPageCount(), 2);
    EXPECT_EQ(f.Frame()->GetPageCombo()->count(), 2);
    // Opening it again shows the same frame.
    EXPECT_EQ(f.Open(path), view);
    EXPECT_EQ(mdi->subWindowList().size(), 3);
    // A file that is not a report opens nothing and says why.
    const QString bad = dir.filePath(QStringLiteral("bad.rpt"));
    QFile(bad).open(QIODevice::WriteOnly);
    f.box.messages.clear();
    EXPECT_FALSE(f.app->OpenReport(bad));
    EXPECT_EQ(mdi->subWindowList().size(), 3);
    EXPECT_EQ(f.box.messages.size(), 1u);
}

TEST_F(ReportViewTest, RectangleClickGivesFiftyUnitsAndOneStep)
{
    f.Command(32772);
    EXPECT_EQ(g_currentKind, kShapeRect);
    f.Click({2000, -2000});
    ASSERT_EQ(Objects().size(), 1u);
    const DocRect r = Objects()[0]->position.Normalized();
    EXPECT_EQ(r.Width(), 50);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_EQ(Steps(), 1);
    EXPECT_EQ(g_currentKind, kShapeSelect);
    f.Command(res::ID_UNDO);
    EXPECT_TRUE(Objects().empty());
}

TEST_F(ReportViewTest, MovesHaveADeadZoneAndVerticalStepsOf100)
{
    CDrawRect* rect = f.AddRect({2000, -2000, 4000, -4000});
    const QPoint centre(3000, -3000);
    f.Click(centre);
    ASSERT_EQ(f.View()->GetSelection(), std::vector<CDrawObj*>{rect});
    const DocRect start = rect->position;

    f.DragPixels(centre, {2, 2});
    EXPECT_EQ(rect->position, start);
    EXPECT_EQ(Steps(), 0);

    f.DragPixels(centre, {30, 37});
    const std::int64_t dx = std::int64_t(rect->position.left) - start.left;
    const std::int64_t dy = std::int64_t(rect->position.top) - start.top;
    EXPECT_GT(dx, 100);
    EXPECT_LT(dy, 0);
    EXPECT_EQ(dy % 100, 0);
    EXPECT_EQ(rect->position.Width(), start.Width());
    EXPECT_EQ(Steps(), 1);
    f.Command(res::ID_UNDO);
    EXPECT_EQ(f.Doc()->GetObjects()[0]->position, start);
}

TEST_F(ReportViewTest, AClickBesideAThinLinePicksTheLine)
{
    CDrawRect* shape = f.AddRect({1000, -1000, 7000, -7000});
    shape->brushOn = 1;
    const QPoint click = f.Client({3500, -3000});
    const QPoint local = ToolDocPoint(*f.View(), click);
    CDrawRect* line = f.AddRect({2000, local.y() + 7, 5000, local.y() + 7});
    line->shape = CDrawRect::arrow;
    line->arrowStyle = 0;

    QTest::mouseClick(f.View(), Qt::LeftButton, {}, click);
    EXPECT_EQ(f.View()->GetSelection(), std::vector<CDrawObj*>{line});
    QTest::mouseClick(f.View(), Qt::LeftButton, {}, click + QPoint(0, 3)); // about 30 units off
    EXPECT_EQ(f.View()->GetSelection(), std::vector<CDrawObj*>{shape});
}

TEST_F(ReportViewTest, PolygonClosesOnItsFirstPointOrRemovesItself)
{
    const QPoint a(2000, -2000), b(5000, -2000), c(3500, -5000);
    f.Command(32782);
    for (QPoint p : {a, b, c, a})
        f.Click(p);
    ASSERT_EQ(Objects().size(), 1u);
    auto* poly = dynamic_cast<CDrawPoly*>(Objects()[0]);
    ASSERT_NE(poly, nullptr);
    EXPECT_EQ(poly->GetPointCount(), 3);
    EXPECT_EQ(g_currentKind, kShapeSelect);
    EXPECT_FALSE(f.View()->HasCapture());

    // One point and back to it: too few points, the polygon goes.
    const std::vector<QPoint> points = poly->points;
    const int before = Steps();
    f.Command(32782);
    f.Click({6000, -6000});
    EXPECT_EQ(Objects().size(), 2u);
    f.Click({6000, -6000});
    EXPECT_EQ(Objects().size(), 1u);
    EXPECT_EQ(g_currentKind, kShapeSelect);
    // Its steps undo cleanly and leave the first polygon alone.
    for (int i = Steps(); i > before; --i)
        f.Command(res::ID_UNDO);
    ASSERT_EQ(Objects().size(), 1u);
    EXPECT_EQ(static_cast<CDrawPoly*>(Objects()[0])->points, points);
    EXPECT_TRUE(f.box.messages.empty());
}

TEST_F(ReportViewTest, ALockedReportTakesOnlyTheSelectionAndAnalysisTools)
{
    FakeIRRegistration ir;
    CDrawRect* rect = f.AddRect({2000, -2000, 4000, -4000});
    auto* image = static_cast<FakeIRImage*>(
        f.Doc()->AddNoUndo(std::make_unique<FakeIRImage>(f.View(), DocRect(5000, -2000, 7000, -4000))));
    f.Doc()->SetLocked(true);
    f.Command(32772);
    EXPECT_EQ(g_currentKind, kShapeSelect);

    g_currentKind = kShapeRect; // set behind the command's back: the mouse is still refused
    f.Click({1000, -6000});
    EXPECT_EQ(Objects().size(), 2u);
    g_currentKind = kShapeSelect;

    const DocRect start = rect->position;
    f.Drag({3000, -3000}, {3500, -3600});
    EXPECT_EQ(rect->position, start);
    EXPECT_EQ(f.View()->GetSelection(), std::vector<CDrawObj*>{rect}); // selecting still works

    g_currentKind = kShapeAnalysis;
    g_toolMode = kModePointAnalysis;
    f.Click({6000, -3000});
    EXPECT_EQ(image->analyses.size(), 1u);
}

TEST_F(ReportViewTest, ImagesAreNumberedFromOneAndNumbersAreReused)
{
    FakeIRRegistration ir;
    const auto draw = [&](QPoint at) {
        f.Command(32815);
        f.Drag(at, at + QPoint(2000, -1500));
        return static_cast<FakeIRImage*>(f.View()->GetSelection().front());
    };
    FakeIRImage* first = draw({1000, -1000});
    FakeIRImage* second = draw({4000, -1000});
    EXPECT_EQ(first->number, 1);
    EXPECT_EQ(second->number, 2);
    EXPECT_EQ(f.View()->GetIRObjects(), (std::vector<CDrawObj*>{first, second}));
    EXPECT_EQ(f.View()->FindIRObject(2), second);

    f.Click({1500, -1500});
    ASSERT_EQ(f.View()->GetSelection(), std::vector<CDrawObj*>{first});
    f.Command(res::ID_EDIT_CLEAR);
    EXPECT_EQ(f.View()->GetIRObjects(), std::vector<CDrawObj*>{second});
    FakeIRImage* third = draw({1000, -4000});
    EXPECT_EQ(third->number, 1);
    EXPECT_EQ(f.View()->NextFreeIRNumber(), 3);
    // The status bar shows the number of a clicked image.
    f.Click({4500, -1500});
    EXPECT_EQ(f.View()->GetStatusText(), QStringLiteral("NO.2"));
    f.Click({9000, -9000});
    EXPECT_EQ(f.View()->GetStatusText(), QStringLiteral("None"));
}

TEST_F(ReportViewTest, BandToolsWithoutTheirObjectAreDisabled)
{
    f.Frame()->GetCommandAction(32820);
    f.Frame()->GetCommandAction(32772);
    f.Frame()->UpdateCommandUI();
    EXPECT_FALSE(f.Frame()->GetCommandAction(32820)->isEnabled()); // table
    EXPECT_TRUE(f.Frame()->GetCommandAction(32772)->isEnabled());
    f.Command(32772);
    f.Frame()->UpdateCommandUI();
    EXPECT_TRUE(f.Frame()->GetCommandAction(32772)->isChecked());
}

TEST_F(ReportViewTest, UndoAndRedoFromTheMenuAndTheBar)
{
    f.Command(32772);
    f.Click({2000, -2000});
    ASSERT_EQ(Objects().size(), 1u);
    QAction* undo = f.Frame()->GetCommandAction(res::ID_UNDO);
    f.Frame()->UpdateCommandUI();
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(Objects().empty());
    f.Frame()->GetCommandAction(res::ID_REDO)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Objects().size(), 1u);

    // The standard bar's button is the same command.
    CToolBarEx* bar = f.Frame()->GetControlBar(res::AFX_IDW_TOOLBAR);
    QAction* button = nullptr;
    for (QAction* a : bar->actions()) {
        if (a->data().toInt() == res::ID_UNDO)
            button = a;
    }
    ASSERT_NE(button, nullptr);
    button->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(Objects().empty());
}

TEST_F(ReportViewTest, PasteCascadesOnItsPageAndKeepsPlacesOnAnother)
{
    CDrawRect* rect = f.AddRect({2000, -2000, 3000, -3000});
    f.View()->Select(rect);
    f.Command(res::ID_EDIT_COPY);
    f.Command(res::ID_EDIT_PASTE);
    f.Command(res::ID_EDIT_PASTE);
    ASSERT_EQ(Objects().size(), 3u);
    EXPECT_EQ(Objects()[1]->position, DocRect(2100, -2100, 3100, -3100));
    EXPECT_EQ(Objects()[2]->position, DocRect(2200, -2200, 3200, -3200));
    EXPECT_EQ(f.View()->GetSelection(), std::vector<CDrawObj*>{Objects()[2]});
    EXPECT_EQ(Steps(), 2);
    f.Command(res::ID_UNDO);
    EXPECT_EQ(Objects().size(), 2u);

    f.Doc()->InsertPage(0, QStringLiteral("Second"));
    f.View()->OnPageCommand(CDI_RptDoc::ID_LAST_PAGE);
    f.Command(res::ID_EDIT_PASTE);
    ASSERT_EQ(Objects().size(), 3u);
    EXPECT_EQ(Objects()[2]->position, rect->position);
    EXPECT_EQ(Objects()[2]->page, 1u);
}

TEST_F(ReportViewTest, PastedTablesAndChartsFollowThePastedImage)
{
    // The program's image, table and chart classes, for this test only.
    struct Registration {
        DrawClassRegistry saved = DrawClassRegistry::Standard();
        Registration()
        {
            CDrawIR::Register(DrawClassRegistry::Standard());
            RegisterTableObjects(DrawClassRegistry::Standard());
            RegisterChartObjects(DrawClassRegistry::Standard());
        }
        ~Registration()
        {
            SetToolObjectFactory(kShapeIRImage, {});
            DrawClassRegistry::Standard() = saved;
        }
    } registration;
    auto* image = static_cast<CDrawIR*>(
        f.Doc()->AddNoUndo(std::make_unique<CDrawIR>(f.View(), DocRect(1000, -1000, 3000, -2500))));
    image->SetIRNumber(1);
    f.View()->InsertIRObject(image);
    auto* table = static_cast<CDrawResultTable*>(
        f.Doc()->AddNoUndo(std::make_unique<CDrawResultTable>(f.View(), DocRect(4000, -1000, 6000, -1300))));
    auto* histogram = static_cast<CDrawHistogram*>(
        f.Doc()->AddNoUndo(std::make_unique<CDrawHistogram>(f.View(), DocRect(4000, -3000, 6000, -5000))));
    table->SetIRNumber(1);
    histogram->SetLinkedIRNumber(1);
    // A click on the table names the image it is bound to.
    f.Click({5000, -1100});
    ASSERT_EQ(f.View()->GetSelection(), std::vector<CDrawObj*>{table});
    EXPECT_EQ(f.View()->GetStatusText(), QStringLiteral("NO.1"));

    f.View()->Select(image);
    f.View()->Select(table, true);
    f.View()->Select(histogram, true);
    f.Command(res::ID_EDIT_COPY);
    f.Command(res::ID_EDIT_PASTE);
    ASSERT_EQ(Objects().size(), 6u);
    const auto* pastedImage = dynamic_cast<CDrawIR*>(Objects()[3]);
    const auto* pastedTable = dynamic_cast<CDrawResultTable*>(Objects()[4]);
    const auto* pastedHistogram = dynamic_cast<CDrawHistogram*>(Objects()[5]);
    ASSERT_TRUE(pastedImage != nullptr && pastedTable != nullptr && pastedHistogram != nullptr);
    EXPECT_EQ(pastedImage->GetIRNumber(), 2);
    EXPECT_EQ(pastedTable->GetIRNumber(), 2);
    EXPECT_EQ(pastedHistogram->GetLinkedIRNumber(), 2);
    EXPECT_EQ(table->GetIRNumber(), 1);
    EXPECT_EQ(histogram->GetLinkedIRNumber(), 1);
}

// A click names the image a bound object follows; one bound to no image
// (an unlinked 3D map, a table whose image number is gone) shows "None" as
// an object without a number does, never "NO.-1".
TEST_F(ReportViewTest, TheStatusBarShowsNoneForAnObjectBoundToNoImage)
{
    auto* bound = static_cast<CDrawResultTable*>(
        f.Doc()->AddNoUndo(std::make_unique<CDrawResultTable>(f.View(), DocRect(1000, -1000, 3000, -1300))));
    bound->SetIRNumber(1);
    auto* unbound = static_cast<CDrawResultTable*>(
        f.Doc()->AddNoUndo(std::make_unique<CDrawResultTable>(f.View(), DocRect(1000, -2000, 3000, -2300))));
    unbound->SetIRNumber(-1);
    auto* map = static_cast<CDraw3DMap*>(
        f.Doc()->AddNoUndo(std::make_unique<CDraw3DMap>(f.View(), DocRect(4000, -1000, 5000, -2000))));
    ASSERT_EQ(map->m_bLinked, 0);
    ASSERT_EQ(map->GetLinkedIRNumber(), -1);
    const struct {
        QPoint at;
        CDrawObj* obj;
        const char* shown;
    } cases[] = {
        {{2000, -1100}, bound, "NO.1"},
        {{4500, -1500}, map, "None"},
        {{2000, -2100}, unbound, "None"},
    };
    for (const auto& c : cases) {
        f.Click(c.at);
        ASSERT_EQ(f.View()->GetSelection(), std::vector<CDrawObj*>{c.obj}) << c.shown;
        EXPECT_EQ(f.View()->GetStatusText(), QString::fromLatin1(c.shown));
    }
}

// The pane names what was last clicked in the report in front: a new
// report shows "None", and going back to the first shows its number again.
TEST_F(ReportViewTest, TheNumberPaneFollowsTheReportInFront)
{
    auto* table = static_cast<CDrawResultTable*>(
        f.Doc()->AddNoUndo(std::make_unique<CDrawResultTable>(f.View(), DocRect(1000, -1000, 3000, -1300))));
    table->SetIRNumber(1);
    CColorStatusBar* status = f.Frame()->GetStatusBar();
    const auto pane = [&] {
        f.Frame()->UpdateCommandUI();
        return status->GetPaneText(status->CommandToIndex(res::ID_INDICATOR_NONE));
    };
    f.Click({2000, -1100});
    QMdiSubWindow* first = f.Frame()->GetMdiClient()->activeSubWindow();
    EXPECT_EQ(pane(), QStringLiteral("NO.1"));
    f.Command(res::ID_FILE_NEW);
    ASSERT_NE(f.Frame()->GetMdiClient()->activeSubWindow(), first);
    EXPECT_EQ(pane(), QStringLiteral("None"));
    f.Frame()->GetMdiClient()->setActiveSubWindow(first);
    EXPECT_EQ(pane(), QStringLiteral("NO.1"));
}

// The pane names the selection as it is now, not the last click: an image
// just made (selected without a click) shows its number, a chart rebound to
// another image shows the new number, and nothing selected shows "None".
TEST_F(ReportViewTest, TheNumberPaneFollowsTheSelectionAsItChanges)
{
    CColorStatusBar* status = f.Frame()->GetStatusBar();
    const auto pane = [&] {
        f.Frame()->UpdateCommandUI();
        return status->GetPaneText(status->CommandToIndex(res::ID_INDICATOR_NONE));
    };
    auto* histogram = static_cast<CDrawHistogram*>(
        f.Doc()->AddNoUndo(std::make_unique<CDrawHistogram>(f.View(), DocRect(4000, -3000, 6000, -5000))));
    histogram->SetLinkedIRNumber(1);
    f.Click({5000, -4000});
    ASSERT_EQ(f.View()->GetSelection(), std::vector<CDrawObj*>{histogram});
    EXPECT_EQ(pane(), QStringLiteral("NO.1"));
    histogram->SetLinkedIRNumber(2); // its settings bound it to image 2
    EXPECT_EQ(pane(), QStringLiteral("NO.2"));

    auto* image = static_cast<CDrawIR*>(
        f.Doc()->AddNoUndo(std::make_unique<CDrawIR>(f.View(), DocRect(1000, -1000, 3000, -2500))));
    image->SetIRNumber(1);
    f.View()->InsertIRObject(image);
    f.View()->Select(image); // as the image tool leaves a new image
    EXPECT_EQ(pane(), QStringLiteral("NO.1"));

    f.View()->Select(nullptr);
    EXPECT_EQ(pane(), QStringLiteral("None"));
}

// The lock pane shows the lock of the report in front: a locked report
// brought behind an unlocked one hides it, brought back shows it again.
TEST_F(ReportViewTest, TheLockPaneFollowsTheReportInFront)
{
    CColorStatusBar* status = f.Frame()->GetStatusBar();
    const auto shown = [&] {
        f.Frame()->UpdateCommandUI();
        return status->GetPaneStyle(status->CommandToIndex(res::ID_INDICATOR_LOCKED)) != SBPS_DISABLED;
    };
    f.Doc()->SetLocked(true);
    EXPECT_TRUE(shown());
    QMdiSubWindow* locked = f.Frame()->GetMdiClient()->activeSubWindow();
    f.Command(res::ID_FILE_NEW);
    ASSERT_NE(f.Frame()->GetMdiClient()->activeSubWindow(), locked);
    EXPECT_FALSE(shown());
    f.Frame()->GetMdiClient()->setActiveSubWindow(locked);
    EXPECT_TRUE(shown());
}

TEST_F(ReportViewTest, MalformedClipboardBytesPasteNothing)
{
    CDrawRect* rect = f.AddRect({2000, -2000, 3000, -3000});
    f.View()->Select(rect);
    f.Command(res::ID_EDIT_COPY);
    const QByteArray whole = QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(CDI_RptView::kClipboardFormat));
    ASSERT_GT(whole.size(), 20);
    for (const QByteArray& bytes : {whole.left(whole.size() - 3), whole.left(6), QByteArray("\x05\x00\xff\xff\x00", 5),
                                    whole + QByteArray("junk")}) {
        auto* data = new QMimeData;
        data->setData(QString::fromLatin1(CDI_RptView::kClipboardFormat), bytes);
        QGuiApplication::clipboard()->setMimeData(data);
        f.Command(res::ID_EDIT_PASTE);
        EXPECT_EQ(Objects().size(), 1u);
        EXPECT_EQ(Steps(), 0);
    }
}

TEST_F(ReportViewTest, SelectAllTakesEveryPageSelectPageOnlyTheCurrent)
{
    f.Doc()->InsertPage(0, QStringLiteral("Second"));
    f.Doc()->SetCurPage(0);
    f.AddRect({1000, -1000, 2000, -2000}, 0);
    f.AddRect({3000, -1000, 4000, -2000}, 0);
    f.AddRect({1000, -1000, 2000, -2000}, 1);
    f.Command(res::ID_EDIT_SELECT_ALL);
    EXPECT_EQ(f.View()->GetSelection().size(), 3u);
    f.View()->ClearSelection();
    f.Command(res::ID_SELECT_PAGE);
    EXPECT_EQ(f.View()->GetSelection().size(), 2u);
}

TEST_F(ReportViewTest, StackingOrderThenUndoActsOnTheRightObject)
{
    CDrawRect* a = f.AddRect({1000, -1000, 2000, -2000});
    CDrawRect* b = f.AddRect({3000, -1000, 4000, -2000});
    CDrawRect* c = f.AddRect({5000, -1000, 6000, -2000});
    f.View()->Select(a);
    f.Command(32988); // line width 4
    EXPECT_EQ(a->pen.widthX, 4);
    f.View()->Select(b);
    f.Command(32777); // to the front
    EXPECT_EQ(Objects(), (std::vector<CDrawObj*>{a, c, b}));
    f.Command(res::ID_UNDO);
    ASSERT_EQ(Objects().size(), 3u);
    EXPECT_EQ(Objects()[1]->position, b->position);
    f.Command(res::ID_UNDO);
    EXPECT_EQ(Objects()[0]->GetLogPen().widthX, 1);
    EXPECT_EQ(Objects()[0]->position, DocRect(1000, -1000, 2000, -2000));
    EXPECT_EQ(Objects()[1]->GetLogPen().widthX, 1);
}

TEST_F(ReportViewTest, EditingAReportOfAnotherVersionIsRefused)
{
    // A version 3.0 report: no show-numbers field after the lock.
    const QString six = dir.filePath(QStringLiteral("six.rpt"));
    ASSERT_TRUE(WriteShapesReport(six, 1));
    QByteArray contents;
    std::unique_ptr<platform::Storage> root = platform::openCompoundFile(six);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(root->readStream(QStringLiteral("Contents"), contents, 1 << 20));
    const float v3 = 3.0f;
    contents.replace(4, 4, QByteArray(reinterpret_cast<const char*>(&v3), 4));
    contents.remove(24, 4);
    platform::MemoryStorage out;
    ASSERT_TRUE(out.writeStream(QStringLiteral("Contents"), contents));
    const QString three = dir.filePath(QStringLiteral("three.rpt"));
    ASSERT_TRUE(platform::saveCompoundFile(out, three));

    CDI_RptView* view = f.Open(three);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->GetDocument()->GetVersion(), 3.0f);
    view->Select(view->GetDocument()->GetObjects()[0]);
    const std::size_t count = view->GetDocument()->GetObjects().size();
    for (int id : {res::ID_EDIT_CUT, res::ID_EDIT_COPY, res::ID_EDIT_PASTE}) {
        f.box.messages.clear();
        f.Command(id);
        ASSERT_EQ(f.box.messages.size(), 1u) << id;
        EXPECT_EQ(f.box.messages[0].stringId, 61503);
    }
    EXPECT_EQ(view->GetDocument()->GetObjects().size(), count);
}

TEST_F(ReportViewTest, ContextMenusFollowTheObjectUnderTheMouse)
{
    f.AddRect({2000, -2000, 4000, -4000});
    const auto ids = [](QMenu* menu) {
        std::vector<int> out;
        for (QAction* a : menu->actions())
            out.push_back(a->data().toInt());
        return out;
    };
    std::unique_ptr<QMenu> onObject(f.View()->BuildContextMenu(f.Client({3000, -3000})));
    ASSERT_NE(onObject, nullptr);
    const std::vector<int> objectIds = ids(onObject.get());
    EXPECT_NE(std::find(objectIds.begin(), objectIds.end(), res::ID_EDIT_CLEAR), objectIds.end());
    EXPECT_EQ(std::find(objectIds.begin(), objectIds.end(), 32964), objectIds.end());
    EXPECT_EQ(f.View()->GetSelection().size(), 1u);

    std::unique_ptr<QMenu> onPage(f.View()->BuildContextMenu(f.Client({6000, -6000})));
    ASSERT_NE(onPage, nullptr);
    const std::vector<int> pageIds = ids(onPage.get());
    EXPECT_NE(std::find(pageIds.begin(), pageIds.end(), res::ID_EDIT_PASTE), pageIds.end());
    for (int gone : {32824, 32825, 57856, 57857, 57872, 32785})
        EXPECT_EQ(std::find(pageIds.begin(), pageIds.end(), gone), pageIds.end()) << gone;
    // Inside an analysis sub-mode there is no menu.
    g_toolMode = kModeLineAnalysis;
    EXPECT_EQ(f.View()->BuildContextMenu(f.Client({3000, -3000})), nullptr);
}

TEST_F(ReportViewTest, DeletingARowOrColumnNeedsOnePickedAndNeverTakesTheLast)
{
    const auto enabled = [this](int id) {
        f.Frame()->GetCommandAction(id);
        f.Frame()->UpdateCommandUI();
        return f.Frame()->GetCommandAction(id)->isEnabled();
    };
    // Column strips run along the upper edge, row strips along the left one.
    const QPoint columnStrip(1100, -1020);
    const QPoint rowStrip(1020, -2500);
    struct Case {
        int columns;
        int rows;
        QPoint pick;
        bool column;
        bool row;
    };
    const Case cases[] = {
        {3, 2, {}, false, false},         // nothing picked
        {3, 2, columnStrip, true, false}, // a column
        {3, 2, rowStrip, false, true},    // a row
        {1, 2, columnStrip, false, false}, // the only column
        {1, 2, rowStrip, false, true},
        {3, 1, rowStrip, false, false}, // the only row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.columns << "x" << c.rows << " at " << c.pick.x() << "," << c.pick.y());
        f.View()->ClearSelection();
        auto* table = static_cast<CDrawTable*>(f.Doc()->AddNoUndo(
            std::make_unique<CDrawTable>(f.View(), DocRect(1000, -3020, 4020, -1000), c.columns, c.rows)));
        table->RecalcLayout();
        f.View()->Select(table);
        if (!c.pick.isNull())
            table->HitTest(c.pick, f.View(), true, 1);
        EXPECT_EQ(enabled(32978), c.column);
        EXPECT_EQ(enabled(32977), c.row);
        f.View()->ClearSelection();
        f.Doc()->Remove(table);
        table->Remove();
    }
}

// ---- pages and zoom

TEST_F(ReportViewTest, NewPagePlacementsMoveObjectPages)
{
    struct Case {
        int choice;
        std::vector<std::uint32_t> pages;
        int current;
    };
    const Case cases[] = {{0, {0, 1, 2}, 3}, {1, {1, 2, 3}, 0}, {2, {0, 2, 3}, 1}, {3, {0, 1, 3}, 2}};
    const int radios[] = {res::IDC_APPEND_END, res::IDC_INSERT_FRONT, res::IDC_BEFORE_CURRENT, res::IDC_AFTER_CURRENT};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.choice);
        f.Command(res::ID_FILE_NEW);
        CDI_RptDoc* doc = f.Doc();
        doc->InsertPage(0, QStringLiteral("B"));
        doc->InsertPage(0, QStringLiteral("C"));
        for (int p = 0; p < 3; ++p)
            f.AddRect({1000, -1000, 2000, -2000}, p);
        doc->SetCurPage(1);
        AnswerDialog<CNewPageDlg>([&](CNewPageDlg& d) {
            d.GetDlgItemAs<QAbstractButton>(radios[k.choice])->click();
            d.GetDlgItemAs<QLineEdit>(res::IDC_NEW_PAGE_TITLE)->setText(QStringLiteral("New"));
        });
        f.Command(32826);
        EXPECT_EQ(doc->GetPageCount(), 4);
        EXPECT_EQ(doc->GetCurPage(), k.current);
        EXPECT_EQ(doc->GetPageTitle(k.current), QStringLiteral("New"));
        std::vector<std::uint32_t> pages;
        for (CDrawObj* o : doc->GetObjects())
            pages.push_back(o->page);
        EXPECT_EQ(pages, k.pages);
        EXPECT_EQ(doc->GetUndoCount(), 1);
        f.Command(res::ID_UNDO);
        EXPECT_EQ(doc->GetPageCount(), 3);
    }
}

TEST_F(ReportViewTest, ACancelledNewPageRecordsNoStep)
{
    AnswerDialog<CNewPageDlg>([](CNewPageDlg&) {}, false);
    f.Command(32826);
    EXPECT_EQ(f.Doc()->GetPageCount(), 1);
    EXPECT_EQ(Steps(), 0);
}

TEST_F(ReportViewTest, DeletingTheLastPageShowsTheOneBefore)
{
    CDI_RptDoc* doc = f.Doc();
    doc->InsertPage(0, QStringLiteral("B"));
    doc->InsertPage(0, QStringLiteral("C"));
    f.AddRect({1000, -1000, 2000, -2000}, 2);
    int answer = IDNO_ANSWER;
    SetMessageBoxHook([&answer](const MessageBoxRequest&) { return answer; });
    f.Command(1499);
    EXPECT_EQ(doc->GetPageCount(), 3);
    answer = IDYES_ANSWER;
    f.Command(1499);
    EXPECT_EQ(doc->GetPageCount(), 2);
    EXPECT_EQ(doc->GetCurPage(), 1);
    EXPECT_TRUE(doc->GetObjects().empty());
    f.Command(1499);
    EXPECT_EQ(doc->GetPageCount(), 1);
    f.Frame()->GetCommandAction(1499);
    f.Frame()->UpdateCommandUI();
    EXPECT_FALSE(f.Frame()->GetCommandAction(1499)->isEnabled());
    SetMessageBoxHook({});
}

TEST_F(ReportViewTest, ZoomStepsAndWholePage)
{
    CDI_RptView* view = f.View();
    struct Case {
        float from;
        int id;
        float to;
    };
    const Case cases[] = {{0.62f, 32833, 0.75f}, {0.62f, 32834, 0.5f}, {0.5f, 32833, 0.75f}, {1.0f, 32833, 1.5f},
                          {2.0f, 32833, 2.0f},   {0.5f, 32834, 0.5f}, {1.5f, 32834, 1.0f}, {0.4f, 32833, 0.5f},
                          {0.8f, 32834, 0.75f},  {0.8f, 32833, 1.0f}};
    const QSize page = f.Doc()->GetPageSize();
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.from << " " << k.id);
        view->m_fZoom = k.from;
        f.View()->SetPageSize(1, 1); // stale scroll sizes
        view->m_fZoom = k.from;
        f.Command(k.id);
        EXPECT_FLOAT_EQ(view->m_fZoom, k.to);
        const int d = int(1008.0 / k.to);
        EXPECT_EQ(view->GetTotalSize(), QSize(MulDiv(page.width(), 96, d) + 5, MulDiv(page.height(), 96, d) + 20));
    }
    for (int id = 32931; id <= 32935; ++id) {
        f.Command(id);
        f.Frame()->UpdateCommandUI();
        EXPECT_TRUE(f.Frame()->GetCommandAction(id)->isChecked());
    }
    // Whole page, in a normal window and in a tiny one.
    f.Command(32835);
    EXPECT_GT(view->m_fZoom, 0.1f);
    EXPECT_LT(view->m_fZoom, 2.0f);
    view->resize(3, 2);
    f.View()->OnPageCommand(32835);
    EXPECT_GE(view->m_fZoom, 0.1f);
}

TEST_F(ReportViewTest, ScrollingPastAPageEndTurnsThePage)
{
    CDI_RptDoc* doc = f.Doc();
    doc->InsertPage(0, QStringLiteral("B"));
    f.View()->OnPageCommand(CDI_RptDoc::ID_FIRST_PAGE);
    CDI_RptView* view = f.View();
    view->ScrollToPosition({0, view->GetTotalSize().height()});
    const QPoint bottom = view->m_scrollPos;
    ASSERT_GT(bottom.y(), 0);
    EXPECT_FALSE(view->OnScrollBy({0, 16}));
    EXPECT_EQ(doc->GetCurPage(), 1);
    EXPECT_EQ(view->m_scrollPos, QPoint(0, 0));
    EXPECT_FALSE(view->OnScrollBy({0, -16}));
    EXPECT_EQ(doc->GetCurPage(), 0);
    EXPECT_EQ(view->m_scrollPos.y(), bottom.y());
    // At the bottom of the last page nothing happens.
    f.View()->OnPageCommand(CDI_RptDoc::ID_LAST_PAGE);
    view->ScrollToPosition({0, view->GetTotalSize().height()});
    EXPECT_FALSE(view->OnScrollBy({0, 16}));
    EXPECT_EQ(doc->GetCurPage(), 1);
}

TEST_F(ReportViewTest, PageOffsetCentresAWidePageAndKeepsObjectCoordinates)
{
    CDI_RptView* view = f.View();
    CDrawRect* rect = f.AddRect({2000, -2000, 4000, -4000});
    bool narrow = false;
    bool wide = false;
    for (int frameWidth : {600, 1500}) {
        f.Frame()->resize(frameWidth, 900);
        QApplication::processEvents();
        const int width = view->width();
        if (width * 10.5 < f.Doc()->GetPageSize().width()) {
            narrow = true;
            EXPECT_EQ(view->m_xOffset, 0);
        } else {
            wide = true;
            EXPECT_EQ(view->m_xOffset, int((width * 10.5 - f.Doc()->GetPageSize().width()) * 0.5));
        }
        f.Click({3000, -3000});
        EXPECT_EQ(view->GetSelection(), std::vector<CDrawObj*>{rect}) << width;
        view->ClearSelection();
    }
    EXPECT_TRUE(narrow && wide);
}

TEST_F(ReportViewTest, ADragStepRepaintsOnlyTheOldAndNewPlaces)
{
    CDI_RptDoc* doc = f.Doc();
    for (int i = 0; i < 500; ++i) {
        const int x = 300 + (i % 25) * 300;
        const int y = -300 - (i / 25) * 500;
        f.AddRect({x, y, x + 250, y - 400});
    }
    CDrawRect* moving = f.AddRect({3000, -5000, 3800, -5600});
    CDI_RptView* view = f.View();
    const QPoint from = f.Client({3400, -5300});
    QTest::mouseMove(view, from);
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, from + QPoint(5, 0)); // arms the move
    const DocRect oldArea = view->PaintedArea(moving);
    view->ResetInvalidatedRegion();
    QTest::mouseMove(view, from + QPoint(15, 0));
    const DocRect newArea = view->PaintedArea(moving);
    ASSERT_NE(oldArea, newArea);
    const auto client = [&](const DocRect& r) {
        const DocRect c = view->DocToClient(r);
        return QRect(QPoint(c.left + view->PixelShift(), c.top), QPoint(c.right + view->PixelShift(), c.bottom))
            .adjusted(-2, -2, 2, 2);
    };
    const QRegion expected = QRegion(client(oldArea)) + client(newArea);
    EXPECT_FALSE(view->InvalidatedRegion().isEmpty());
    EXPECT_TRUE(expected.contains(view->InvalidatedRegion().boundingRect()) ||
                (view->InvalidatedRegion() - expected).isEmpty());
    EXPECT_LT(view->InvalidatedRegion().boundingRect().width() * view->InvalidatedRegion().boundingRect().height(),
              view->width() * view->height() / 10);
    QTest::mouseRelease(view, Qt::LeftButton, {}, from + QPoint(15, 0));
    EXPECT_EQ(doc->GetUndoCount(), 1);
}

TEST_F(ReportViewTest, TheAnalysisToolMeasuresOnImagesAndReadsTemperatures)
{
    FakeIRRegistration ir;
    auto* image = static_cast<FakeIRImage*>(
        f.Doc()->AddNoUndo(std::make_unique<FakeIRImage>(f.View(), DocRect(2000, -2000, 9000, -5000))));
    CDI_RptView* view = f.View();
    const auto local = [&](QPoint doc) { return ToolDocPoint(*view, f.Client(doc)); };
    g_currentKind = kShapeAnalysis;

    struct Case {
        int mode;
        QPoint from;
        QPoint to;
    };
    const Case cases[] = {
        {kModeLineAnalysis, {3000, -2500}, {5000, -4000}},
        {kModeAreaAnalysis, {3000, -2500}, {5000, -4000}},
        {kModeEllipseAnalysis, {5000, -2500}, {3000, -3000}}, // left and down: y2 goes down by the width
        {kModeEllipseAnalysis, {3000, -4500}, {5000, -3000}}, // right and up: y2 goes up
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.mode);
        g_toolMode = k.mode;
        f.Drag(k.from, k.to);
        ASSERT_FALSE(image->analyses.empty());
        const QPoint a = local(k.from);
        const QPoint b = local(k.to);
        QPoint end = b;
        if (k.mode == kModeEllipseAnalysis) {
            const int ex = a.x() - b.x();
            const int ey = a.y() - b.y();
            end.setY((ex > 0) == (ey > 0) && ex != 0 && ey != 0 ? a.y() - ex : a.y() + ex);
        }
        EXPECT_EQ(image->analyses.back(), DocRect(a, end));
        EXPECT_EQ(g_currentKind, kShapeAnalysis); // the tool stays while a sub-mode is set
        EXPECT_FALSE(view->HasCapture());
    }
    // A point is added on the button-down; a drag that ends off the image
    // adds nothing.
    g_toolMode = kModePointAnalysis;
    const std::size_t before = image->analyses.size();
    f.Click({4000, -3000});
    ASSERT_EQ(image->analyses.size(), before + 1);
    EXPECT_EQ(image->analyses.back(), DocRect(local({4000, -3000}), local({4000, -3000})));
    g_toolMode = kModeLineAnalysis;
    f.Drag({4000, -3000}, {4000, -7000});
    EXPECT_EQ(image->analyses.size(), before + 1);

    // Read-outs: the spot's temperature is its picture column here.
    g_toolMode = kModeSpotReadout;
    const QPoint spot = local({5500, -3000});
    DispatchToolEvent(*view, ToolEvent::Move, 0, f.Client({5500, -3000}));
    const int px = int((spot.x() - 2000) * (100.0 / 7000.0));
    EXPECT_EQ(view->GetToolTipText(), QString::fromUtf8("温度:") + QString::asprintf("%4.1f", double(px)));
    f.app->GetDocumentEnvironment().SetTempUnit(1);
    EXPECT_EQ(f.app->tempetype, 1) << "the program's setting follows the one unit";
    DispatchToolEvent(*view, ToolEvent::Move, 0, f.Client({5500, -3000}));
    EXPECT_EQ(view->GetToolTipText(), QString::fromUtf8("温度:") + QString::asprintf("%4.1f", px * 1.8 + 32));
    f.app->GetDocumentEnvironment().SetTempUnit(0);
    DispatchToolEvent(*view, ToolEvent::Move, 0, f.Client({1000, -3000}));
    EXPECT_TRUE(view->GetToolTipText().isEmpty());
    // The colour bar: 50 units right of 1.33333 x the height, 260 wide,
    // 300 in from each end; linear from the range's low to its high.
    g_toolMode = kModeScaleIsotherm;
    const QPoint bar = local({6150, -3500});
    DispatchToolEvent(*view, ToolEvent::Move, 0, f.Client({6150, -3500}));
    const double t = 100.0 * (bar.y() - (-4700)) / 2400.0;
    EXPECT_EQ(view->GetToolTipText(), QString::fromUtf8("温度:") + QString::asprintf("%4.1f", t));
    DispatchToolEvent(*view, ToolEvent::Move, 0, f.Client({5000, -3500}));
    EXPECT_TRUE(view->GetToolTipText().isEmpty());
}

TEST_F(ReportViewTest, TheImageListKeepsItsOrderThroughUndoAndShiftsTimeProfiles)
{
    FakeIRRegistration ir;
    std::vector<std::array<int, 3>> shifts;
    DrawView::SetImageListShift([&shifts](CDI_RptDoc&, int index, int delta, int count) {
        shifts.push_back({index, delta, count});
    });
    std::vector<FakeIRImage*> images;
    for (int i = 0; i < 3; ++i) {
        f.Command(32815);
        f.Drag({1000 + 2500 * i, -1000}, {3000 + 2500 * i, -2500});
        images.push_back(static_cast<FakeIRImage*>(f.View()->GetSelection().front()));
    }
    EXPECT_EQ(shifts, (std::vector<std::array<int, 3>>{{0, 1, 1}, {1, 1, 2}, {2, 1, 3}}));
    shifts.clear();

    f.View()->Select(images[1]);
    f.Command(res::ID_EDIT_CLEAR);
    EXPECT_EQ(shifts, (std::vector<std::array<int, 3>>{{1, -1, 3}}));
    ASSERT_EQ(f.View()->GetIRObjects().size(), 2u);

    // Undo brings image 2 back between 1 and 3; redo takes it out again.
    f.Command(res::ID_UNDO);
    std::vector<int> numbers;
    for (CDrawObj* o : f.View()->GetIRObjects())
        numbers.push_back(static_cast<FakeIRImage*>(o)->number);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3}));
    f.Command(res::ID_REDO);
    numbers.clear();
    for (CDrawObj* o : f.View()->GetIRObjects())
        numbers.push_back(static_cast<FakeIRImage*>(o)->number);
    EXPECT_EQ(numbers, (std::vector<int>{1, 3}));
    DrawView::SetImageListShift({});
}

TEST_F(ReportViewTest, ColourStylesRebuildTheSkinAndAreKept)
{
    f.Command(34066);
    EXPECT_EQ(f.app->m_skin.m_nStyleNum, 1);
    EXPECT_EQ(f.app->m_skin.m_clrSkinBase, f.app->m_skin.m_clrStylePresets[1]);
    const platform::IniFile ini(f.app->FieldIniPath());
    EXPECT_EQ(ini.readInt(QStringLiteral("COMMON"), QStringLiteral("StyleNum"), -1), 1);
    f.Frame()->GetCommandAction(34066);
    f.Frame()->UpdateCommandUI();
    EXPECT_TRUE(f.Frame()->GetCommandAction(34066)->isChecked());
    EXPECT_FALSE(f.Frame()->GetCommandAction(34065)->isChecked());
}

TEST_F(ReportViewTest, EscapeEndsThePolygonBeingDrawn)
{
    f.Command(32782);
    f.Click({2000, -2000});
    ASSERT_TRUE(f.View()->HasCapture());
    QTest::keyClick(f.View(), Qt::Key_Escape);
    EXPECT_FALSE(f.View()->HasCapture());
    EXPECT_EQ(g_currentKind, kShapeSelect);
    // The next click of the selection tool starts no polygon.
    f.Click({5000, -5000});
    EXPECT_EQ(Objects().size(), 1u);
}

TEST_F(ReportViewTest, ThePageListAndNavigationShowTheChosenPage)
{
    CDI_RptDoc* doc = f.Doc();
    doc->InsertPage(0, QStringLiteral("B"));
    doc->InsertPage(0, QStringLiteral("C"));
    f.View()->OnPageCommand(CDI_RptDoc::ID_FIRST_PAGE);
    QComboBox* combo = f.Frame()->GetPageCombo();
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 0);
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    QApplication::processEvents();
    EXPECT_EQ(doc->GetCurPage(), 2);
    struct Step {
        int id;
        int page;
    };
    for (const Step& s : {Step{32831, 2}, Step{32830, 1}, Step{32829, 0}, Step{32830, 0}, Step{32832, 2}}) {
        f.Command(s.id);
        EXPECT_EQ(doc->GetCurPage(), s.page) << s.id;
        EXPECT_EQ(combo->currentIndex(), s.page) << s.id;
    }
}

TEST_F(ReportViewTest, AlignmentArrowheadsAndTheColourButtons)
{
    CDrawRect* ref = f.AddRect({1000, -1000, 2000, -2000});
    CDrawRect* other = f.AddRect({3000, -2500, 4500, -3000});
    struct Case {
        int id;
        DocRect expect;
    };
    const Case cases[] = {{34002, {1000, -2500, 2500, -3000}},  // left edges
                          {34003, {500, -2500, 2000, -3000}},   // right edges
                          {34004, {3000, -1500, 4500, -2000}},  // lower edges
                          {34005, {3000, -1000, 4500, -1500}}}; // upper edges
    const DocRect start = other->position;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.id);
        other->position = start;
        f.View()->Select(ref);
        f.View()->Select(other, true);
        const int steps = Steps();
        f.Command(k.id);
        EXPECT_EQ(other->position, k.expect);
        EXPECT_EQ(ref->position, DocRect(1000, -1000, 2000, -2000));
        EXPECT_EQ(Steps(), steps + 1);
    }

    // Arrowheads only for one selected line.
    CDrawRect* line = f.AddRect({1000, -4000, 3000, -4000});
    line->shape = CDrawRect::arrow;
    f.View()->Select(line);
    f.Command(34026);
    EXPECT_EQ(line->arrowStyle, 1);
    f.Command(34028);
    EXPECT_EQ(line->arrowStyle, 3);
    f.View()->Select(ref);
    f.Frame()->GetCommandAction(34025);
    f.Frame()->UpdateCommandUI();
    EXPECT_FALSE(f.Frame()->GetCommandAction(34025)->isEnabled());

    // The object bar's fill and border colours, one step each: a colour
    // picked on a colour button runs its command.
    CToolBarEx* bar = f.Frame()->GetControlBar(res::IDW_OBJECT_BAR);
    const int steps = Steps();
    bar->GetColorPicker(res::ID_FILL_COLOR_BUTTON)->SetColor(RGB(1, 2, 3));
    bar->GetColorPicker(res::ID_LINE_COLOR_BUTTON)->SetColor(RGB(4, 5, 6));
    EXPECT_EQ(ref->brush.color, RGB(1, 2, 3));
    EXPECT_EQ(ref->brushOn, 1);
    EXPECT_EQ(ref->pen.color, RGB(4, 5, 6));
    EXPECT_EQ(Steps(), steps + 2);
    f.Command(res::ID_UNDO);
    EXPECT_EQ(f.Doc()->GetObjects()[0]->GetLogPen().color, 0u);
}

TEST_F(ReportViewTest, ABandFromAnEmptyPlaceSelectsWhatItTouchesOnThisPage)
{
    f.Doc()->InsertPage(0, QStringLiteral("B"));
    f.View()->OnPageCommand(CDI_RptDoc::ID_FIRST_PAGE);
    CDrawRect* a = f.AddRect({2000, -2000, 3000, -3000});
    CDrawRect* b = f.AddRect({3500, -3500, 4500, -4500});
    f.AddRect({6000, -6000, 7000, -7000});
    f.AddRect({2000, -2000, 3000, -3000}, 1); // under the band, but on the other page
    f.Drag({1500, -1500}, {4000, -4000});
    EXPECT_EQ(f.View()->GetSelection(), (std::vector<CDrawObj*>{a, b}));
    EXPECT_EQ(f.View()->GetBand().kind, BandOverlay::None);
    EXPECT_EQ(a->position, DocRect(2000, -2000, 3000, -3000));
    // Shift keeps the selection; a plain click on the page clears it.
    f.Click({6500, -6500}, Qt::ShiftModifier);
    EXPECT_EQ(f.View()->GetSelection().size(), 3u);
    f.Click({8000, -9000});
    EXPECT_TRUE(f.View()->GetSelection().empty());
}

TEST_F(ReportViewTest, PhotoAndLogoToolsMakeTheirObjectsWithTheirMenus)
{
    const auto ids = [](QMenu* menu) {
        std::vector<int> out;
        for (QAction* a : menu->actions())
            out.push_back(a->data().toInt());
        return out;
    };
    f.Frame()->GetCommandAction(32804);
    f.Frame()->GetCommandAction(32972);
    f.Frame()->UpdateCommandUI();
    EXPECT_TRUE(f.Frame()->GetCommandAction(32804)->isEnabled());
    EXPECT_TRUE(f.Frame()->GetCommandAction(32972)->isEnabled());
    f.Command(32804);
    f.Drag({1000, -1000}, {3000, -3000});
    f.Command(32972);
    f.Drag({5000, -1000}, {7000, -3000});
    ASSERT_EQ(Objects().size(), 2u);
    EXPECT_TRUE(IsKindOfName(Objects()[0], "CDrawPhoto"));
    EXPECT_TRUE(IsKindOfName(Objects()[1], "CDrawLogo"));

    std::unique_ptr<QMenu> onPhoto(f.View()->BuildContextMenu(f.Client({2000, -2000})));
    ASSERT_NE(onPhoto, nullptr);
    const std::vector<int> photoIds = ids(onPhoto.get());
    EXPECT_NE(std::find(photoIds.begin(), photoIds.end(), 34055), photoIds.end());
    std::unique_ptr<QMenu> onLogo(f.View()->BuildContextMenu(f.Client({6000, -2000})));
    ASSERT_NE(onLogo, nullptr);
    EXPECT_NE(std::find(ids(onLogo.get()).begin(), ids(onLogo.get()).end(), 32971), ids(onLogo.get()).end());
}

TEST_F(ReportViewTest, EmbeddedObjectCommandsAreDisabled)
{
    for (int id : {57856, 57638, 57857, 57872})
        f.Frame()->GetCommandAction(id);
    QAction* show = f.Frame()->GetCommandAction(res::ID_SHOW_OBJECTS);
    f.Frame()->UpdateCommandUI();
    for (int id : {57856, 57638, 57857, 57872})
        EXPECT_FALSE(f.Frame()->GetCommandAction(id)->isEnabled()) << id;
    EXPECT_TRUE(show->isChecked());
    f.Command(res::ID_SHOW_OBJECTS);
    f.Frame()->UpdateCommandUI();
    EXPECT_FALSE(show->isChecked());
    f.Command(res::ID_SHOW_OBJECTS);
}
