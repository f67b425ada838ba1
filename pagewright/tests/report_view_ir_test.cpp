// The view's infrared commands: routing, update rules, the range signal,
// frame commands and playback on the timers (driven tick by tick).
#include "view_test_support.h"

#include "resource_ids.h"
#include "split_frame.h"

#include "content/draw_histogram.h"
#include "content/draw_profile.h"
#include "content/draw_result_table.h"
#include "content/draw_text.h"
#include "content/text_objects.h"
#include "document/draw_class.h"
#include "document/draw_tool.h"

#include "irimage/draw_ir.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <functional>
#include <QFile>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <cstring>

#include <gtest/gtest.h>

namespace {

class ReportViewIRTest : public ::testing::Test {
protected:
    explicit ReportViewIRTest(int files = 6) : fileCount(files) {}

    void SetUp() override
    {
        ASSERT_NE(f.app, nullptr);
        view = f.View();
        auto obj = std::make_unique<CDrawIR>(view, DocRect(100, -100, 4000, -3000));
        ir = static_cast<CDrawIR*>(view->GetDocument()->AddNoUndo(std::move(obj)));
        view->InsertIRObject(ir);
        QStringList paths;
        for (int i = 1; i <= fileCount; ++i) {
            paths << folder.filePath(QStringLiteral("IR%1.VNI").arg(i));
            ASSERT_TRUE(QFile::copy(QStringLiteral(PAGEWRIGHT_IR_FIXTURES "/k4.vni"), paths.back()));
        }
        ASSERT_EQ(ir->OpenFiles(paths, true), 1);
        ASSERT_EQ(ir->FileCount(), fileCount);
        view->Select(ir);
    }

    bool Enabled(int id, bool* checked = nullptr)
    {
        CCmdUI ui(id);
        EXPECT_TRUE(view->OnCmdMsg(id, CCmdTarget::CmdMode::Update, &ui)) << id;
        if (checked != nullptr)
            *checked = ui.IsChecked();
        return ui.IsEnabled();
    }
    void Run(int id) { view->OnCmdMsg(id, CCmdTarget::CmdMode::Execute, nullptr); }
    void At(int index)
    {
        ir->SetFileIndex(index);
        ir->LoadFileAtIndex(index);
    }

    const int fileCount;
    ViewFixture f;
    QTemporaryDir folder;
    CDI_RptView* view = nullptr;
    CDrawIR* ir = nullptr;
};

class PlayBarFileListTest : public ReportViewIRTest {
protected:
    PlayBarFileListTest() : ReportViewIRTest(3) {}
};

// One image holding three files of different scenes, and a result table, a
// line profile and a histogram bound to it; the window as the user sees it
// is kept in `screen`, which only repaints what the view was asked to.
class BoundObjectsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(f.app, nullptr);
        view = f.View();
        CDI_RptDoc* doc = view->GetDocument();
        ir = static_cast<CDrawIR*>(doc->AddNoUndo(std::make_unique<CDrawIR>(view, DocRect(100, -100, 4000, -3000))));
        ir->SetIRNumber(1);
        view->InsertIRObject(ir);
        QStringList paths;
        for (const char* name : {"k4.vni", "k8.vni", "k4_320.vni"}) {
            paths << folder.filePath(QString::fromLatin1(name));
            ASSERT_TRUE(QFile::copy(QStringLiteral(PAGEWRIGHT_IR_FIXTURES "/") + QString::fromLatin1(name), paths.back()));
        }
        ASSERT_EQ(ir->OpenFiles(paths, true), 1);
        ASSERT_EQ(ir->FileCount(), 3);
        view->Select(ir);
        view->OnCmdMsg(34009, CCmdTarget::CmdMode::Execute, nullptr);
        ASSERT_EQ(ir->FileIndex(), 0);
        Render(QRegion(view->rect())); // the image learns its scale when drawn
        ir->AddLineAnalysis(DocRect(600, -1500, 2000, -1500));
        ir->AddAreaAnalysis(DocRect(600, -400, 1500, -1300));
        ASSERT_EQ(ir->m_analyses.GetSize(), 2u);
        const int number = ir->GetIRNumber();
        table = static_cast<CDrawResultTable*>(
            doc->AddNoUndo(std::make_unique<CDrawResultTable>(view, DocRect(4300, -300, 6880, -500))));
        table->SetFieldIds({33205, 33206});
        table->SetLinkedIRNumber(number);
        profile = static_cast<CDrawProfile*>(
            doc->AddNoUndo(std::make_unique<CDrawProfile>(view, DocRect(100, -3300, 3100, -5200))));
        profile->SetLinkedIRNumber(number);
        histogram = static_cast<CDrawHistogram*>(
            doc->AddNoUndo(std::make_unique<CDrawHistogram>(view, DocRect(3400, -3300, 6400, -5200))));
        histogram->SetLinkedIRNumber(number);
        view->Select(ir);
        screen = Render(QRegion(view->rect()));
        view->ResetInvalidatedRegion();
    }

    QImage Render(const QRegion& region, QImage onto = QImage()) const
    {
        if (onto.isNull()) {
            onto = QImage(view->size(), QImage::Format_RGB32);
            onto.fill(Qt::black);
        }
        // The region's corner lands on the given point.
        view->render(&onto, region.boundingRect().topLeft(), region);
        return onto;
    }
    // The view's pixels of an object's painted area.
    QRect ClientArea(CDrawObj* obj) const
    {
        const DrawView& base = *view;
        const DocRect area = base.DocToClient(base.PaintedArea(obj));
        const int shift = view->PixelShift();
        return QRect(QPoint(area.left + shift, area.top), QPoint(area.right + shift, area.bottom)).normalized();
    }

    ViewFixture f;
    QTemporaryDir folder;
    CDI_RptView* view = nullptr;
    CDrawIR* ir = nullptr;
    CDrawResultTable* table = nullptr;
    CDrawProfile* profile = nullptr;
    CDrawHistogram* histogram = nullptr;
    QImage screen;
};

// An image showing A with a point, a line, a rectangle and an ellipse on
// odd pixels, then B added with the play bar's "+" as the user does it.
struct ShownAgainWalk {
    void Build(const char* a, const char* b)
    {
        ASSERT_NE(f.app, nullptr);
        view = f.View();
        ir = static_cast<CDrawIR*>(
            view->GetDocument()->AddNoUndo(std::make_unique<CDrawIR>(view, DocRect(100, -100, 4000, -3000))));
        ir->SetIRNumber(1);
        view->InsertIRObject(ir);
        const QString pathA = Copy(a, "A");
        const QString pathB = Copy(b, "B");
        ASSERT_EQ(ir->OpenFiles({pathA}, false), 1);
        view->Select(ir);
        const int w = ir->ImageWidth();
        const int h = ir->ImageHeight();
        const auto at = [](int size, int part) { return (size * part / 320) | 1; };
        const auto add = [this](int kind, IRShape shape) {
            IRAnalysisItem item;
            item.kind = kind;
            item.number = int(ir->m_analyses.GetSize()) + 1;
            item.shape = shape;
            item.emissivity = ir->m_fEmissivity;
            item.distance = ir->m_fDistance;
            item.background = ir->m_fBackground;
            item.referenceTemp = ir->m_fReference;
            ir->m_analyses.Add(item);
        };
        add(1, {at(w, 101), at(h, 77), at(w, 101), at(h, 77)});
        add(2, {at(w, 33), at(h, 41), at(w, 211), at(h, 157)});
        add(3, {at(w, 41), at(h, 31), at(w, 187), at(h, 143)});
        add(4, {at(w, 61), at(h, 51), at(w, 161), at(h, 151)});
        ir->RecomputeAll();
        shown = Read();
        // "+": the image's open dialog, which appends the chosen file.
        QTimer::singleShot(0, [pathB] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->selectFile(pathB);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        f.Frame()->ExecuteCommand(34018);
        ASSERT_EQ(ir->FileCount(), 2);
        ASSERT_EQ(ir->FileIndex(), 1);
    }
    QString Copy(const char* fixture, const char* stem)
    {
        const QString path = folder.filePath(QLatin1String(stem) + QStringLiteral(".VNI"));
        EXPECT_TRUE(QFile::copy(QStringLiteral(PAGEWRIGHT_IR_FIXTURES "/") + QLatin1String(fixture), path));
        return path;
    }
    // The analyses' records and the picture.
    QByteArray Read() const
    {
        QByteArray bytes(reinterpret_cast<const char*>(ir->m_analyses.begin()),
                         qsizetype(ir->m_analyses.GetSize() * sizeof(IRAnalysisItem)));
        return bytes + ir->Dib();
    }
    std::string Differences(const QByteArray& now) const
    {
        std::string out;
        const auto* a = reinterpret_cast<const IRAnalysisItem*>(now.constData());
        const auto* b = reinterpret_cast<const IRAnalysisItem*>(shown.constData());
        for (std::size_t i = 0; i < ir->m_analyses.GetSize(); ++i) {
            if (std::memcmp(&a[i], &b[i], sizeof a[i]) != 0)
                out += QStringLiteral("kind %1 at %2,%3 (was %4,%5): max %6 (was %7), average %8 (was %9)\n")
                           .arg(a[i].kind).arg(a[i].shape.left).arg(a[i].shape.top).arg(b[i].shape.left)
                           .arg(b[i].shape.top).arg(double(a[i].maximum)).arg(double(b[i].maximum))
                           .arg(double(a[i].average)).arg(double(b[i].average))
                           .toStdString();
        }
        return out;
    }

    ViewFixture f;
    QTemporaryDir folder;
    CDI_RptView* view = nullptr;
    CDrawIR* ir = nullptr;
    QByteArray shown; // A as first shown
};

} // namespace

TEST_F(ReportViewIRTest, UpdateRulesFollowTheSelectionAndTheList)
{
    struct Rule {
        int index;
        bool playing;
        std::vector<std::pair<int, bool>> enabled;
    };
    const Rule rules[] = {
        {0, false, {{34009, false}, {34011, false}, {34010, false}, {34013, true}, {34015, true}, {34014, true},
                    {34016, true}, {34012, false}, {34017, true}, {34018, true}, {34019, true}, {32847, true},
                    {32840, true}, {32842, true}, {32850, false}, {32857, false}, {32799, true}}},
        {5, false, {{34009, true}, {34011, true}, {34010, true}, {34013, false}, {34015, false}, {34014, false},
                    {34016, false}}},
        {5, true, {{34013, true}, {34015, true}, {34014, true}, {34016, true}, {34012, true}}},
    };
    for (const Rule& rule : rules) {
        At(rule.index);
        view->m_bPlaying = rule.playing;
        for (const auto& [id, on] : rule.enabled)
            EXPECT_EQ(Enabled(id), on) << id << " at " << rule.index;
    }
    view->m_bPlaying = false;

    g_currentKind = kShapeSelect;
    g_toolMode = kModePointAnalysis;
    bool checked = false;
    Enabled(32842, &checked);
    EXPECT_TRUE(checked);
    Enabled(32843, &checked);
    EXPECT_FALSE(checked);
    g_toolMode = kModeNone;

    ir->SetSortMode(1);
    Enabled(32839, &checked);
    EXPECT_TRUE(checked);
    Enabled(32838, &checked);
    EXPECT_FALSE(checked);

    // Nothing selected: the image commands and frames are off.
    view->ClearSelection();
    for (int id : {32847, 34009, 34013, 34017, 34018, 32840, 32799})
        EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(ReportViewIRTest, PlaybackStepsOnTicksAndStopsAtTheEnds)
{
    At(4);
    Run(34013);
    EXPECT_TRUE(view->m_bPlaying);
    EXPECT_TRUE(view->IsPlayTimerActive(1));
    view->OnPlayTimer(1);
    EXPECT_EQ(ir->FileIndex(), 5);
    EXPECT_TRUE(view->m_bPlaying);
    view->OnPlayTimer(1);
    EXPECT_FALSE(view->m_bPlaying);
    EXPECT_FALSE(view->IsPlayTimerActive(1));

    Run(34010);
    EXPECT_TRUE(view->IsPlayTimerActive(3));
    for (int tick = 1; tick <= 5; ++tick) {
        view->OnPlayTimer(3);
        EXPECT_EQ(ir->FileIndex(), 5 - tick);
        EXPECT_TRUE(view->m_bPlaying);
    }
    view->OnPlayTimer(3);
    EXPECT_FALSE(view->m_bPlaying);
    EXPECT_EQ(ir->FileIndex(), 0);

    // Fast forward replaces rewind; a tick after the selection changed stops.
    Run(34015);
    EXPECT_TRUE(view->IsPlayTimerActive(2));
    EXPECT_FALSE(view->IsPlayTimerActive(3));
    view->ClearSelection();
    view->OnPlayTimer(2);
    EXPECT_FALSE(view->m_bPlaying);
}

TEST_F(ReportViewIRTest, FrameCommandsStayInsideTheListAndDeleteShowsTheNewLast)
{
    At(0);
    Run(34011);
    EXPECT_EQ(ir->FileIndex(), 0);
    Run(34016);
    EXPECT_EQ(ir->FileIndex(), 5);
    Run(34014);
    EXPECT_EQ(ir->FileIndex(), 5);
    Run(34009);
    EXPECT_EQ(ir->FileIndex(), 0);

    At(5);
    const int steps = view->GetDocument()->GetUndoCount();
    Run(34017);
    EXPECT_EQ(ir->FileCount(), 5);
    EXPECT_EQ(ir->FileIndex(), 4);
    EXPECT_EQ(ir->m_strFileName, QStringLiteral("IR5.VNI"));
    EXPECT_EQ(view->GetDocument()->GetUndoCount(), steps + 1);
}

TEST_F(ReportViewIRTest, RangeSignalSetsTheDisplayRangeInTenths)
{
    view->OnScaleRangeChanged(3655, 2012);
    EXPECT_FLOAT_EQ(ir->m_fLimits[4], 365.5f);
    EXPECT_FLOAT_EQ(ir->m_fLimits[5], 201.2f);
    EXPECT_FLOAT_EQ(ir->Image().SetRangeHigh(), 365.5f);
}

TEST_F(ReportViewIRTest, ImageCommandsReachOnlyAnImageFirstInTheSelection)
{
    ir->SetPalette(0);
    CDrawRect* rect = f.AddRect(DocRect(5000, -100, 6000, -1000));
    view->Select(rect);
    view->Select(ir, true);
    const int steps = view->GetDocument()->GetUndoCount();
    view->OnIRObjectCommand(32868);
    EXPECT_EQ(ir->Image().PaletteIndex(), 0);
    EXPECT_EQ(view->GetDocument()->GetUndoCount(), steps);
    EXPECT_FALSE(view->m_bAppendFrames);

    // The sub-mode commands go to the document's first image regardless.
    g_toolMode = kModeNone;
    view->OnIRObjectCommand(32843);
    EXPECT_EQ(g_toolMode, kModeLineAnalysis);
    g_toolMode = kModeNone;
    g_currentKind = kShapeSelect;

    view->Select(ir);
    Run(32799);
    EXPECT_EQ(ir->Image().PaletteIndex(), 1);
    Run(32798);
    EXPECT_EQ(ir->Image().PaletteIndex(), 0);
}

// A report keeps the palette its image was shown in: the camera file's own
// (3 here) or one the user chose, through save and reopen, with the same
// picture.
TEST_F(ReportViewIRTest, SavedAndReopenedImageKeepsItsPaletteAndPicture)
{
    // The program's image class, so that the saved report reads back.
    struct Registration {
        DrawClassRegistry saved = DrawClassRegistry::Standard();
        Registration() { CDrawIR::Register(DrawClassRegistry::Standard()); }
        ~Registration()
        {
            SetToolObjectFactory(kShapeIRImage, {});
            DrawClassRegistry::Standard() = saved;
        }
    } registration;
    ASSERT_EQ(f.app->GetPaletteCount(), 10);
    ASSERT_EQ(ir->Image().PaletteIndex(), 3) << "the camera file's palette";
    for (const int palette : {3, 5}) {
        SCOPED_TRACE(palette);
        if (palette != ir->Image().PaletteIndex())
            ir->SetPalette(palette);
        const QByteArray picture = ir->Dib();
        ASSERT_FALSE(picture.isEmpty());
        const QString path = folder.filePath(QStringLiteral("palette%1.rpt").arg(palette));
        ASSERT_TRUE(view->GetDocument()->SaveToPath(path));
        f.box.messages.clear();
        CDI_RptView* reopened = f.Open(path);
        ASSERT_NE(reopened, nullptr);
        ASSERT_NE(reopened, view);
        CDrawIR* back = nullptr;
        for (CDrawObj* obj : reopened->GetDocument()->GetObjects()) {
            if (auto* image = dynamic_cast<CDrawIR*>(obj))
                back = image;
        }
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->Image().PaletteIndex(), palette);
        EXPECT_EQ(static_cast<int>(back->Files()[std::size_t(back->FileIndex())].bytes[36]), palette);
        EXPECT_TRUE(back->Dib() == picture) << "the same rendered pixels";
        reopened->GetDocument()->SetModifiedFlag(false);
        f.Frame()->GetMdiClient()->activeSubWindow()->close();
        QCoreApplication::processEvents();
    }
}

// The remark command follows the file's remark: a sequence that carries one
// (after its first frame, as cameras write it) enables it and puts the text,
// read back from the code page, on the page beside the image; a still image
// and a sequence without a remark leave it disabled.
TEST_F(ReportViewIRTest, RemarkCommandPutsTheFilesRemarkBesideTheImage)
{
    RegisterTextObjects(DrawClassRegistry::Standard());
    const QString remark = QString::fromUtf8("红外序列备注：锅炉房东侧管道");
    struct Case {
        const char* file;
        bool sequence;
        QString text; // empty: no remark
    };
    const Case cases[] = {
        {"seq_l1.vnv", true, remark},
        {"jpg_seq.jpg", true, remark}, // the same sequence in a JPEG container
        {"seq_l3.vnv", true, QString()},
        {"k4.vni", false, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = folder.filePath(QString::fromLatin1(c.file));
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(QStringLiteral(PAGEWRIGHT_IR_FIXTURES "/") + QString::fromLatin1(c.file), path));
        ASSERT_EQ(ir->OpenFiles({path}, false), 1);
        view->Select(ir);
        // A sequence answers once its frame index is built.
        const QDeadlineTimer deadline(10000);
        const QString probe = folder.filePath(QStringLiteral("probe.txt"));
        while (c.sequence && ir->Image().SaveRemarkFile(probe) != 1 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ASSERT_EQ(Enabled(32852), !c.text.isEmpty());
        if (c.text.isEmpty())
            continue;

        const std::size_t before = view->GetDocument()->GetObjects().size();
        Run(32852);
        ASSERT_EQ(view->GetDocument()->GetObjects().size(), before + 1);
        auto* text = dynamic_cast<CDrawText*>(view->GetDocument()->GetObjects().back());
        ASSERT_NE(text, nullptr);
        QString plain;
        int alignment = 0;
        text->GetPlainText(view, plain, alignment);
        EXPECT_EQ(plain, c.text);
        const DocRect image = ir->position.Normalized();
        const DocRect box = text->position.Normalized();
        EXPECT_EQ(box.left, image.right);
        EXPECT_EQ(box.bottom, image.bottom); // upper edges (y grows upwards)
        ASSERT_TRUE(view->GetDocument()->Remove(text));
        text->Remove();
    }
}

// The play bar's list shows the selected image's files, follows its steps,
// and choosing an entry shows that file; with no image selected it is off.
TEST_F(PlayBarFileListTest, ListsTheImagesFilesAndChoosingOneShowsIt)
{
    CMainFrame* frame = f.Frame();
    QComboBox* combo = frame->GetFileCombo();
    ASSERT_NE(combo, nullptr);
    frame->ExecuteCommand(34009);
    frame->UpdateCommandUI();
    EXPECT_TRUE(combo->isEnabled());
    ASSERT_EQ(combo->count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(combo->itemText(i), QStringLiteral("IR%1.VNI").arg(i + 1));
    EXPECT_EQ(combo->currentIndex(), 0);

    frame->ExecuteCommand(34014);
    EXPECT_EQ(ir->FileIndex(), 1);
    EXPECT_EQ(combo->currentIndex(), 1);

    combo->setCurrentIndex(2);
    emit combo->activated(2);
    EXPECT_EQ(ir->FileIndex(), 2);
    EXPECT_EQ(ir->m_strFileName, QStringLiteral("IR3.VNI"));
    EXPECT_EQ(combo->toolTip(), QStringLiteral("IR3.VNI"));

    // Deleting an entry refills the list at the next update.
    frame->ExecuteCommand(34017);
    frame->UpdateCommandUI();
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentIndex(), 1);

    view->ClearSelection();
    frame->UpdateCommandUI();
    EXPECT_FALSE(combo->isEnabled());
    // No report: empty and off.
    view->GetDocument()->SetModifiedFlag(false);
    frame->GetMdiClient()->closeAllSubWindows();
    QApplication::processEvents();
    frame->UpdateCommandUI();
    EXPECT_EQ(combo->count(), 0);
    EXPECT_FALSE(combo->isEnabled());
}

// The play bar's list shows the selected image of the report in front and
// nothing else: nothing selected empties it, another report (or another
// page) with nothing selected leaves it empty, the image's report in front
// again lists its files at the entry shown, and closing the report with the
// list leaves it empty while another report stays open.
TEST_F(PlayBarFileListTest, TheListFollowsTheReportInFrontAndItsSelection)
{
    CMainFrame* frame = f.Frame();
    QComboBox* combo = frame->GetFileCombo();
    frame->ExecuteCommand(34009);
    frame->ExecuteCommand(34014);
    frame->UpdateCommandUI();
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 1);

    view->Select(nullptr);
    frame->UpdateCommandUI();
    EXPECT_EQ(combo->count(), 0);
    EXPECT_EQ(combo->currentText(), QString());
    view->Select(ir);
    frame->UpdateCommandUI();
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 1);

    QMdiSubWindow* first = frame->GetMdiClient()->activeSubWindow();
    f.Command(res::ID_FILE_NEW);
    ASSERT_NE(frame->GetMdiClient()->activeSubWindow(), first);
    frame->UpdateCommandUI();
    EXPECT_EQ(combo->count(), 0);
    EXPECT_EQ(combo->toolTip(), QString());

    frame->GetMdiClient()->setActiveSubWindow(first);
    frame->UpdateCommandUI();
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 1);

    view->GetDocument()->SetModifiedFlag(false);
    first->close();
    QApplication::processEvents();
    ASSERT_NE(frame->MDIGetActive(), nullptr);
    frame->UpdateCommandUI();
    EXPECT_EQ(combo->count(), 0);
    EXPECT_EQ(combo->currentText(), QString());
}

// Minimising the report with the image hands the front to the other
// report: Next and the play bar's list, and Save, reach the report shown,
// not the hidden image; with both minimised they are off.
TEST_F(PlayBarFileListTest, AMinimisedReportNoLongerTakesTheCommands)
{
    CMainFrame* frame = f.Frame();
    QComboBox* combo = frame->GetFileCombo();
    frame->ExecuteCommand(34009);
    frame->UpdateCommandUI();
    ASSERT_EQ(combo->count(), 3);
    ASSERT_EQ(ir->FileIndex(), 0);
    auto* imageFrame = qobject_cast<CSplitFrame*>(frame->GetMdiClient()->activeSubWindow());
    f.Command(res::ID_FILE_NEW);
    auto* otherFrame = frame->MDIGetActive();
    ASSERT_NE(otherFrame, imageFrame);
    frame->GetMdiClient()->setActiveSubWindow(imageFrame);
    frame->UpdateCommandUI();
    ASSERT_TRUE(frame->GetCommandAction(34014)->isEnabled());

    imageFrame->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(frame->MDIGetActive(), otherFrame);
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->GetCommandAction(34014)->isEnabled());
    EXPECT_EQ(combo->count(), 0);
    frame->ExecuteCommand(34014);
    EXPECT_EQ(ir->FileIndex(), 0);

    otherFrame->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->GetCommandAction(res::ID_FILE_SAVE)->isEnabled());
    EXPECT_FALSE(combo->isEnabled());
}

// Stepping the image to its next file repaints every object showing its
// values in the same turn: the screen, repainted only where the view was
// asked to, shows them as a whole fresh paint does. The same holds when an
// analysis changes.
TEST_F(BoundObjectsTest, NextFileRepaintsTheObjectsShowingTheImage)
{
    const QString oldRows = table->RowText();
    ASSERT_FALSE(oldRows.isEmpty());
    const auto step = [&](const char* what, const std::function<void()>& change) {
        SCOPED_TRACE(what);
        view->ResetInvalidatedRegion();
        change();
        const QRegion asked = view->InvalidatedRegion();
        for (CDrawObj* obj : std::initializer_list<CDrawObj*>{table, profile, histogram})
            EXPECT_TRUE((QRegion(ClientArea(obj)) - asked).isEmpty()) << obj->GetRuntimeClass().Name();
        screen = Render(asked, screen);
        const QImage fresh = Render(QRegion(view->rect()));
        for (CDrawObj* obj : std::initializer_list<CDrawObj*>{table, profile, histogram}) {
            const QRect area = ClientArea(obj);
            EXPECT_EQ(screen.copy(area), fresh.copy(area)) << obj->GetRuntimeClass().Name();
        }
    };
    step("next file", [&] { view->OnCmdMsg(34014, CCmdTarget::CmdMode::Execute, nullptr); });
    EXPECT_EQ(ir->FileIndex(), 1);
    EXPECT_NE(table->RowText(), oldRows);
    step("last file", [&] { view->OnCmdMsg(34016, CCmdTarget::CmdMode::Execute, nullptr); });
    const std::size_t analyses = ir->m_analyses.GetSize();
    step("another line", [&] { ir->AddLineAnalysis(DocRect(600, -1000, 2000, -1200)); });
    EXPECT_EQ(ir->m_analyses.GetSize(), analyses + 1);
}

// A rectangle drawn with the image tool takes the picture's shape when it is
// first painted: the screen, repainted only where the view was asked to,
// shows the whole object with its frame and number, as a fresh paint does.
TEST_F(BoundObjectsTest, ANewImageShowsWholeAtItsOwnShape)
{
    CDI_RptDoc* doc = view->GetDocument();
    view->ResetInvalidatedRegion();
    const DocRect drawn(4300, -600, 6800, -900);
    auto* added = static_cast<CDrawIR*>(doc->Add(std::make_unique<CDrawIR>(view, drawn)));
    added->SetIRNumber(2);
    screen = Render(view->InvalidatedRegion(), screen);
    ASSERT_NE(added->position, drawn) << "the tool's rectangle takes the picture's shape";
    screen = Render(view->InvalidatedRegion(), screen);
    const QImage fresh = Render(QRegion(view->rect()));
    const QRect area = ClientArea(added);
    EXPECT_EQ(screen.copy(area), fresh.copy(area));
}

// The play bar's steps and the file list show a file with the numbers it
// showed first, whatever file the image showed between (model families of
// the fixtures; B smaller than A, or of A's size).
TEST(ShownAgain, PlayBarAndFileListShowAFileWithItsOwnNumbers)
{
    struct Case {
        const char* family;
        const char* a;
        const char* b;
    };
    const Case cases[] = {
        {"radiometric (K8) after own (K4)", "k8_640.vni", "k4_320.vni"},
        {"own (K4) after radiometric (K8)", "k4_320.vni", "k8_160.vni"},
        {"plane (K11) after radiometric (K9)", "k11.vni", "k9.vni"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        ShownAgainWalk w;
        w.Build(c.a, c.b);
        if (HasFatalFailure())
            return;
        CDrawIR* ir = w.ir;
        CMainFrame* frame = w.f.Frame();
        QComboBox* combo = frame->GetFileCombo();
        ASSERT_NE(combo, nullptr);
        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE(round);
            frame->ExecuteCommand(34011); // previous
            ASSERT_EQ(ir->FileIndex(), 0);
            EXPECT_EQ(w.Read(), w.shown) << "previous:\n" << w.Differences(w.Read());
            frame->ExecuteCommand(34014); // next
            ASSERT_EQ(ir->FileIndex(), 1);
            frame->UpdateCommandUI();
            combo->setCurrentIndex(0);
            emit combo->activated(0);
            ASSERT_EQ(ir->FileIndex(), 0);
            EXPECT_EQ(w.Read(), w.shown) << "chosen in the file list:\n" << w.Differences(w.Read());
            frame->ExecuteCommand(34016); // last
        }
    }
}
