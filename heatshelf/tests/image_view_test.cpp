// The image view in the main frame, over the library, on the core's camera
// files: the walk through the frame's commands, an empty folder, the two
// display modes, the level slider, the invert command, the result list,
// renaming and the voice note.
#include "app_test_support.h"
#include "image_view_support.h"

#include "current_folder.h"
#include "heatshelf_view.h"
#include "rename_dlg.h"
#include "resource_ids.h"
#include "string_table.h"

#include "heatshelf/header_ctrl_cl.h"
#include "heatshelf/view_geometry.h"
#include "heatshelf/range_slider.h"
#include "heatshelf/scroll_list_ctrl.h"
#include "heatshelf/skin_list_ctrl.h"
#include "platform/recording_voice_player.h"
#include "skin/color_status_bar.h"
#include "skin/flat_combo_box.h"
#include "skin/skin_scroll_bar.h"

#include <QAbstractItemView>

#include <iterator>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QPaintEvent>
#include <QRegion>
#include <QScrollBar>
#include <QWheelEvent>

using namespace heatshelf;

namespace {

QStringList rowTexts(const CScrollListCtrl* list, int column)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(column);
    return out;
}

QStringList headerTitles(const CScrollListCtrl* list)
{
    QStringList out;
    for (int i = 0; i < list->columnCount(); ++i)
        out << list->headerItem()->text(i);
    return out;
}

} // namespace

TEST(ImageView, WalksTheFolderThroughTheFrameCommands)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    f.ShowFolder(FixturePath(QStringLiteral("walk")));
    CHeatshelfView& v = *f.view;
    const auto name = [&] { return QFileInfo(v.CurrentFileName()).fileName(); };
    EXPECT_EQ(name(), QStringLiteral("a.VNI"));
    EXPECT_EQ(v.CurrentIndex(), 0);
    EXPECT_TRUE(v.IsFirst());
    EXPECT_FALSE(f.frame->QueryCommand(res::ID_PREVIOUS).IsEnabled());
    EXPECT_TRUE(f.frame->QueryCommand(res::ID_NEXT).IsEnabled());

    // The JPEG without a payload (b.jpg) and the cut file are neither shown
    // nor counted.
    const QStringList expected = {QStringLiteral("a.VNI"), QStringLiteral("c.vnv"), QStringLiteral("D.JPG")};
    for (int i = 1; i < 3; ++i) {
        f.Run(res::ID_NEXT);
        EXPECT_EQ(name(), expected[i]);
        EXPECT_EQ(v.CurrentIndex(), i);
        EXPECT_FALSE(v.Core().picture().isNull());
    }
    EXPECT_TRUE(v.IsLast());
    EXPECT_FALSE(f.frame->QueryCommand(res::ID_NEXT).IsEnabled());
    // Next on the last file keeps it shown.
    v.Step(res::kStepNext, false);
    EXPECT_EQ(name(), QStringLiteral("D.JPG"));
    EXPECT_TRUE(v.IsLast());
    EXPECT_FALSE(v.Core().picture().isNull());

    f.Run(res::ID_PREVIOUS);
    EXPECT_EQ(name(), QStringLiteral("c.vnv"));
    f.Run(res::ID_PREVIOUS);
    EXPECT_EQ(name(), QStringLiteral("a.VNI"));
    EXPECT_TRUE(v.IsFirst());
    EXPECT_FALSE(f.frame->QueryCommand(res::ID_PREVIOUS).IsEnabled());
    EXPECT_FALSE(v.LevelSlider()->isHidden());
    EXPECT_FALSE(v.PaletteCombo()->isHidden());

    // The palette list: ten items, each two pixels taller than a plain
    // list's in the same font.
    ASSERT_EQ(v.PaletteCombo()->count(), 10);
    EXPECT_EQ(v.PaletteCombo()->itemText(9), QStringLiteral("Pallette10"));
    CFlatComboBox plain;
    plain.setFont(v.PaletteCombo()->font());
    plain.addItem(QStringLiteral("Pallette1"));
    for (int row : {0, 9})
        EXPECT_EQ(v.PaletteCombo()->view()->sizeHintForRow(row), plain.view()->sizeHintForRow(0) + 2) << row;
}

TEST(ImageView, AnEmptyFolderOrAFileThatNoLongerOpensShowsNothing)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir withPhoto;
    CopyFixture(withPhoto, QStringLiteral("photo_raw.vni"), QStringLiteral("p.vni"));
    f.ShowFolder(withPhoto.path());
    ASSERT_FALSE(v.Core().photo().isNull());
    // The file's data rows.
    v.CategoryList()->setCurrentItem(v.CategoryList()->topLevelItem(3));
    v.OnCategoryClick();
    ASSERT_EQ(v.ResultList()->topLevelItemCount(), 5);

    QTemporaryDir empty;
    f.ShowFolder(empty.path());
    EXPECT_EQ(v.CurrentIndex(), -1);
    EXPECT_TRUE(v.NoFile());
    for (QWidget* w : std::initializer_list<QWidget*>{v.PaletteCombo(), v.CategoryList(), v.ResultList(), v.LevelSlider()})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_EQ(v.ResultList()->topLevelItemCount(), 0);
    EXPECT_TRUE(v.Core().photo().isNull());
    EXPECT_TRUE(v.Core().picture().isNull());
    EXPECT_FALSE(f.frame->QueryCommand(res::ID_SHOW_AGAIN).IsEnabled());
    // Nothing but the background.
    const QImage shot = Grab(v);
    EXPECT_EQ(shot.pixel(shot.width() / 3, shot.height() / 3), shot.pixel(5, 5));

    // The file shown is spoilt and shown again: its rows and photo go.
    f.ShowFolder(withPhoto.path());
    ASSERT_FALSE(v.Core().photo().isNull());
    {
        QFile spoil(withPhoto.filePath(QStringLiteral("p.vni")));
        ASSERT_TRUE(spoil.open(QIODevice::WriteOnly | QIODevice::Truncate));
        spoil.write("not a camera file, and longer than before: ..............................");
    }
    v.Step(res::kStepAgain, false);
    EXPECT_TRUE(v.Core().picture().isNull());
    EXPECT_TRUE(v.Core().photo().isNull());
    EXPECT_EQ(v.ResultList()->topLevelItemCount(), 0);
    EXPECT_TRUE(v.LevelSlider()->isHidden());
}

TEST(ImageView, DoubleClickSwitchesBetweenPictureAndGrid)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    f.ShowFolder(FixturePath(QStringLiteral("walk")));
    ASSERT_EQ(v.CurrentIndex(), 0);
    f.Run(res::ID_NEXT);
    ASSERT_EQ(v.CurrentIndex(), 1);

    QSignalSpy done(&v, &CHeatshelfView::thumbnailsDone);
    QTest::mouseDClick(&v, Qt::LeftButton, {}, QPoint(40, 40));
    ASSERT_TRUE(f.WaitForGrid());
    EXPECT_TRUE(v.IsThumbnails());
    EXPECT_EQ(v.DisplayBits(), 2);
    EXPECT_TRUE(v.LevelSlider()->isHidden());
    ASSERT_EQ(v.Thumbs().size(), 3u);
    EXPECT_EQ(v.Thumbs()[1].name, QStringLiteral("c.vnv"));
    EXPECT_EQ(v.SelectedThumb(), 1) << "the file shown is the one selected";
    ASSERT_TRUE(done.count() > 0 || done.wait(60000));
    for (const CHeatshelfView::GridThumb& t : v.Thumbs()) {
        EXPECT_EQ(t.state, CHeatshelfView::GridThumb::Ready) << t.name.toStdString();
        EXPECT_EQ(t.picture.size(), CHeatshelfView::kThumbPicture) << t.name.toStdString();
    }
    // In the grid there is no current file: the frame disables the steps.
    EXPECT_FALSE(f.frame->QueryCommand(res::ID_NEXT).IsEnabled());
    EXPECT_TRUE(f.frame->QueryCommand(res::ID_THUMBNAILS).IsChecked());

    // A click selects, a double-click opens.
    const QRect last = v.ThumbCellRect(2);
    QTest::mouseClick(&v, Qt::LeftButton, {}, last.center());
    EXPECT_EQ(v.SelectedThumb(), 2);
    QTest::mouseDClick(&v, Qt::LeftButton, {}, last.center());
    EXPECT_FALSE(v.IsThumbnails());
    EXPECT_EQ(v.DisplayBits(), 1);
    EXPECT_EQ(QFileInfo(v.CurrentFileName()).fileName(), QStringLiteral("D.JPG"));
    EXPECT_EQ(v.CurrentIndex(), 2);
    EXPECT_TRUE(v.IsLast());
    EXPECT_FALSE(v.LevelSlider()->isHidden());

    // And the frame's grid command goes back.
    f.Run(res::ID_THUMBNAILS);
    EXPECT_TRUE(v.IsThumbnails());
    EXPECT_EQ(v.Thumbs().size(), 3u);
}

namespace {

// A grid of count copies of one camera file, more than a window shows.
void ShowGridOf(ViewFixture& f, QTemporaryDir& folder, int count)
{
    for (int i = 0; i < count; ++i)
        CopyFixture(folder, QStringLiteral("walk/a.VNI"), QStringLiteral("f%1.VNI").arg(i, 2, 10, QLatin1Char('0')));
    f.ShowFolder(folder.path());
    f.Run(res::ID_THUMBNAILS);
}

} // namespace

TEST(ImageView, TheWheelScrollsTheGridARowPerNotch)
{
    ViewFixture f(800, 500);
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    ShowGridOf(f, folder, 80);
    ASSERT_TRUE(v.IsThumbnails());
    CSkinScrollBar* bar = f.frame->GetSkinScrollBar(1);
    ASSERT_TRUE(bar != nullptr && bar->isEnabled()) << "80 files overflow the grid";
    const auto wheel = [&](int delta) {
        const QPointF at(100, 100);
        QWheelEvent e(at, v.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(&v, &e);
        f.Settle();
        return bar->GetScrollInfo().nPos;
    };
    EXPECT_EQ(wheel(-240), 2) << "two notches down";
    EXPECT_EQ(wheel(-60), 2) << "half a notch waits for the rest";
    EXPECT_EQ(wheel(-60), 3);
    EXPECT_EQ(wheel(360), 0) << "up stops at the first row";
    EXPECT_EQ(v.GridTopRow(), 0);
    wheel(-120);
    EXPECT_EQ(v.GridTopRow(), 1) << "the grid follows the bar";
}

namespace {

// What the view repaints, in its own coordinates.
class PaintRegionSpy : public QObject {
public:
    explicit PaintRegionSpy(QWidget* w) { w->installEventFilter(this); }
    QRegion region;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

} // namespace

TEST(ImageView, ASelectionInAScrolledGridWipesTheFrameBefore)
{
    ViewFixture f(800, 500);
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    ShowGridOf(f, folder, 60);
    const QPointF at(100, 100);
    QWheelEvent e(at, v.mapToGlobal(at), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(&v, &e);
    f.Settle();
    ASSERT_EQ(v.GridTopRow(), 2);
    const int first = 2 * ThumbColumns(v.width());
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.ThumbCellRect(first).center());
    f.Settle();
    ASSERT_EQ(v.SelectedThumb(), first);
    PaintRegionSpy spy(&v);
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.ThumbCellRect(first + 1).center());
    f.Settle();
    ASSERT_EQ(v.SelectedThumb(), first + 1);
    // The old frame's corner, where it stands on screen, is painted over.
    EXPECT_TRUE(spy.region.contains(v.ThumbCellRect(first).topLeft() + QPoint(10, 3)));
    EXPECT_TRUE(spy.region.contains(v.ThumbCellRect(first + 1).topLeft() + QPoint(10, 3)));
}

TEST(ImageView, ASliderDragRendersAndInvertKeepsTheUsersLevel)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    CopyFixture(folder, QStringLiteral("big.vni"));
    f.ShowFolder(folder.path());
    ASSERT_FALSE(v.Core().picture().isNull());
    Grab(v); // the first paint places the slider and the combo
    CRangeSlider* slider = v.LevelSlider();
    ASSERT_GT(slider->width(), 100);
    const float low = v.Core().levelLow();
    const float high = v.Core().levelHigh();
    const QImage picture = v.Core().picture();
    const QImage before = Grab(v);

    QSignalSpy moved(slider, &CRangeSlider::thumbMoved);
    const QPoint from = slider->Thumb(0)->body.center();
    QTest::mousePress(slider, Qt::LeftButton, {}, from);
    QTest::mouseMove(slider, from + QPoint(30, 0));
    QTest::mouseMove(slider, from + QPoint(60, 0));
    const int duringDrag = int(moved.count());
    // Released further on: the last move is reported with the release.
    QTest::mouseRelease(slider, Qt::LeftButton, {}, from + QPoint(70, 0));
    EXPECT_GT(duringDrag, 0);
    EXPECT_GT(moved.count(), duringDrag) << "the release is reported";
    EXPECT_GT(v.Core().levelLow(), low);
    EXPECT_EQ(v.Core().levelHigh(), high);
    EXPECT_NE(v.Core().picture(), picture);
    const QImage after = Grab(v);
    // The low end's label left of the colour bar changed.
    const std::optional<Rect> p = v.PictureRectangle();
    ASSERT_TRUE(p.has_value());
    const QRect lowLabel(p->left, p->bottom + 3, 54, 16);
    EXPECT_NE(before.copy(lowLabel), after.copy(lowLabel));

    // Invert keeps the level and span the user set: picture, slider and
    // scale agree with a fresh rendering at that level, inverted.
    const float userLow = v.Core().levelLow();
    const float userHigh = v.Core().levelHigh();
    float thumbs[2] = {};
    ASSERT_EQ(slider->GetThumbValues(thumbs), 2);
    f.Run(res::ID_INVERT);
    EXPECT_TRUE(v.Invert());
    EXPECT_EQ(v.Core().levelLow(), userLow);
    EXPECT_EQ(v.Core().levelHigh(), userHigh);
    float thumbsAfter[2] = {};
    slider->GetThumbValues(thumbsAfter);
    EXPECT_EQ(thumbsAfter[0], thumbs[0]);
    EXPECT_EQ(thumbsAfter[1], thumbs[1]);
    ImageViewCore reference(f.box.ProgramFolder());
    reference.SetFolder(folder.path());
    reference.SetCurrentFile(folder.filePath(QStringLiteral("big.vni")));
    reference.SetInvert(true);
    ASSERT_TRUE(reference.RenderCurrent());
    reference.SetLevel(1, userLow);
    reference.SetLevel(2, userHigh);
    EXPECT_EQ(v.Core().picture(), reference.picture());
}

TEST(ImageView, LevelMessagesWithoutAPictureChangeNothing)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir empty;
    f.ShowFolder(empty.path());
    const float low = v.Core().levelLow();
    v.OnLevelSpan(1, low + 7.0f);
    v.OnLevelSpan(2, 1.0f);
    EXPECT_EQ(v.Core().levelLow(), low);
    EXPECT_TRUE(v.Core().picture().isNull());

    // A file that has gone: the reopen fails, the slider drives nothing.
    QTemporaryDir folder;
    const QString path = CopyFixture(folder, QStringLiteral("big.vni"), QStringLiteral("a.vni"));
    f.ShowFolder(folder.path());
    ASSERT_FALSE(v.Core().picture().isNull());
    QFile::remove(path);
    v.Step(res::kStepAgain, false);
    const float high = v.Core().levelHigh();
    v.OnLevelSpan(2, high - 5.0f);
    EXPECT_EQ(v.Core().levelHigh(), high);
    EXPECT_TRUE(v.Core().picture().isNull());
}

TEST(ImageView, TheResultListShowsEachCategoryOfTheFile)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    CopyFixture(folder, QStringLiteral("records_zero.vni"));
    f.ShowFolder(folder.path());
    ASSERT_FALSE(v.Core().picture().isNull());
    Grab(v);
    CSkinListCtrl* categories = v.CategoryList();
    CScrollListCtrl* results = v.ResultList();
    const auto choose = [&](int category) {
        QTreeWidgetItem* item = categories->topLevelItem(category);
        QTest::mouseClick(categories->viewport(), Qt::LeftButton, {}, categories->visualItemRect(item).center());
        return v.Category() == category;
    };
    struct Case {
        int category;
        QStringList titles;
        int column;
        QStringList values;
    };
    const QString name = QStringLiteral("名称");
    const Case cases[] = {
        {0, {name, QStringLiteral("温度")}, 0,
         {"SP1", "SP3", "SP4", "AR2", "LN1", "LN2"}},
        {1, {name, "X1", "Y1", "X2", "Y2", QStringLiteral("宽度"), QStringLiteral("高度")}, 1,
         {"150", "10", "-2", "50", "5", "0"}},
        // Point 1 stores emissivity 0: shown 0.90; its distance 0 stays empty.
        {2, {name, QStringLiteral("发射率"), QStringLiteral("环境温度"), QStringLiteral("距离"), QStringLiteral("备注")}, 1,
         {"0.90", "0.95", "0.95", "0.95", "0.95", "0.95"}},
        {3, {name, QStringLiteral("内容")}, 0,
         {QStringLiteral("日期"), QStringLiteral("时间"), QStringLiteral("文件名"), QStringLiteral("仪器型号"),
          QStringLiteral("测温档位")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.category);
        ASSERT_TRUE(choose(c.category));
        EXPECT_EQ(headerTitles(results), c.titles);
        EXPECT_EQ(v.ResultHeader()->m_titles, c.titles);
        EXPECT_EQ(rowTexts(results, c.column), c.values);
    }
    ASSERT_TRUE(choose(2));
    EXPECT_EQ(results->topLevelItem(0)->text(3), QString());
    EXPECT_FALSE(results->topLevelItem(1)->text(3).isEmpty());
    EXPECT_EQ(results->topLevelItem(0)->text(4), QString());
    ASSERT_TRUE(choose(3));
    EXPECT_EQ(results->topLevelItem(2)->text(1), QStringLiteral("records_zero.vni"));
    ASSERT_TRUE(choose(0));
    EXPECT_EQ(results->topLevelItem(0)->text(1), QStringLiteral("36.5"));

    // A click below the items changes nothing.
    QTest::mouseClick(categories->viewport(), Qt::LeftButton, {}, QPoint(5, categories->viewport()->height() - 2));
    EXPECT_EQ(v.Category(), 0);
    EXPECT_EQ(results->topLevelItemCount(), 6);

    // With no file shown only the titles remain.
    QTemporaryDir empty;
    f.ShowFolder(empty.path());
    for (const Case& c : cases) {
        categories->setCurrentItem(categories->topLevelItem(c.category));
        v.OnCategoryClick();
        EXPECT_EQ(headerTitles(results), c.titles);
        EXPECT_EQ(results->topLevelItemCount(), 0);
    }
}

TEST(ImageView, RenameRefusesBadNamesAndFollowsAGoodOne)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    CopyFixture(folder, QStringLiteral("walk/a.VNI"));
    CopyFixture(folder, QStringLiteral("big.vni"), QStringLiteral("c.vnv.VNI"));
    f.ShowFolder(folder.path());
    QSignalSpy done(&v, &CHeatshelfView::thumbnailsDone);
    f.Run(res::ID_THUMBNAILS);
    ASSERT_EQ(v.Thumbs().size(), 2u);
    ASSERT_TRUE(done.count() > 0 || done.wait(60000));

    // The right button picks the file the menu's rename works on.
    QTest::mouseClick(&v, Qt::RightButton, {}, v.ThumbCellRect(0).center());
    ASSERT_EQ(v.ThumbMenuItem(), 0);
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    const QByteArray aBytes = ReadAll(folder.filePath(QStringLiteral("a.VNI")));
    const QByteArray cBytes = ReadAll(folder.filePath(QStringLiteral("c.vnv.VNI")));
    // Each refused name says why, and the dialog is asked again; the file
    // and the grid stay as they were.
    const struct {
        const char* name;
        int reason;
    } refused[] = {
        {"../x.VNI", res::IDS_RENAME_INVALID_NAME}, {"a/b", res::IDS_RENAME_INVALID_NAME},
        {"", res::IDS_RENAME_INVALID_NAME},         {".", res::IDS_RENAME_INVALID_NAME},
        {"..", res::IDS_RENAME_INVALID_NAME},       {"c.vnv.VNI", res::IDS_RENAME_NAME_EXISTS},
    };
    QStringList reasons;
    v.askNewName = [&](const QString& old, const CHeatshelfView::TryName& tryName) {
        EXPECT_EQ(old, QStringLiteral("a.VNI"));
        for (const auto& r : refused) {
            reasons << tryName(QString::fromUtf8(r.name));
            EXPECT_EQ(v.Thumbs()[0].name, QStringLiteral("a.VNI"));
        }
        return false; // cancelled
    };
    v.OnRename();
    ASSERT_EQ(reasons.size(), int(std::size(refused)));
    for (size_t i = 0; i < std::size(refused); ++i) {
        SCOPED_TRACE(refused[i].name);
        const QString expected = refused[i].reason == res::IDS_RENAME_NAME_EXISTS
                                     ? LoadStringRes(refused[i].reason).arg(QString::fromUtf8(refused[i].name))
                                     : LoadStringRes(refused[i].reason);
        EXPECT_EQ(reasons[int(i)], expected);
    }
    EXPECT_EQ(ReadAll(folder.filePath(QStringLiteral("a.VNI"))), aBytes);
    EXPECT_EQ(ReadAll(folder.filePath(QStringLiteral("c.vnv.VNI"))), cBytes);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2);
    EXPECT_FALSE(QFile::exists(QFileInfo(folder.path()).dir().filePath(QStringLiteral("x.VNI"))));

    // The real dialog: a refused name keeps it open with a message, a good
    // one closes it.
    v.askNewName = nullptr;
    {
        CRenameDlg dlg(f.app->GetTheme(), &v);
        dlg.tryName = [&](const QString& name) {
            return name == QStringLiteral("c.vnv.VNI") ? CHeatshelfView::RenameRefusal(RenameOutcome::NameExists, name)
                                                      : QString();
        };
        dlg.show();
        dlg.Edit()->setText(QStringLiteral("c.vnv.VNI"));
        const size_t before = f.box.messages.size();
        dlg.accept();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), 0);
        ASSERT_EQ(f.box.messages.size(), before + 1);
        EXPECT_TRUE(f.box.messages.back().text.contains(QStringLiteral("c.vnv.VNI")));
        dlg.Edit()->setText(QStringLiteral("free.VNI"));
        dlg.accept();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.m_strNewName, QStringLiteral("free.VNI"));
    }

    v.askNewName = [](const QString&, const CHeatshelfView::TryName& tryName) {
        return tryName(QStringLiteral("b.VNI")).isEmpty();
    };
    v.OnRename();
    EXPECT_EQ(v.Thumbs()[0].name, QStringLiteral("b.VNI"));
    EXPECT_EQ(ReadAll(folder.filePath(QStringLiteral("b.VNI"))), aBytes);
    EXPECT_EQ(v.CurrentFileName(), QDir(folder.path()).filePath(QStringLiteral("b.VNI")));
    EXPECT_EQ(v.Thumbs()[0].state, CHeatshelfView::GridThumb::Ready);
    // Opening it from the grid shows the renamed file.
    QTest::mouseDClick(&v, Qt::LeftButton, {}, v.ThumbCellRect(0).center());
    EXPECT_EQ(QFileInfo(v.CurrentFileName()).fileName(), QStringLiteral("b.VNI"));
    EXPECT_FALSE(v.Core().picture().isNull());
}

TEST(ImageView, TheVoiceNoteIsExtractedFreshAndPlayed)
{
    platform::RecordingVoicePlayer player;
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    CopyFixture(folder, QStringLiteral("records.vni"), QStringLiteral("b.vni"));
    CopyFixture(folder, QStringLiteral("sound.vni"), QStringLiteral("a.vni"));
    f.ShowFolder(folder.path());
    ASSERT_TRUE(v.HasSoundNote());
    ASSERT_TRUE(f.frame->QueryCommand(res::ID_PLAY_SOUND).IsEnabled());
    f.Run(res::ID_PLAY_SOUND); // posted by the frame
    QApplication::processEvents();
    ASSERT_EQ(player.played.size(), 1u);
    QTemporaryDir out;
    const QString wav = out.filePath(QStringLiteral("note.wav"));
    {
        QFile w(wav);
        ASSERT_TRUE(w.open(QIODevice::WriteOnly));
        w.write(player.played[0].bytes);
    }
    EXPECT_EQ(RunExtractCheck({QStringLiteral("wav"), wav}), 0) << "Python's wave reads the note";
    // Each play extracts anew.
    EXPECT_EQ(v.OnPlayVoice(), 1);
    ASSERT_EQ(player.played.size(), 2u);
    EXPECT_NE(player.played[1].path, player.played[0].path);
    EXPECT_EQ(player.played[1].bytes, player.played[0].bytes);

    // A file without a note plays nothing, not the note before.
    f.Run(res::ID_NEXT);
    EXPECT_FALSE(v.HasSoundNote());
    EXPECT_FALSE(f.frame->QueryCommand(res::ID_PLAY_SOUND).IsEnabled());
    EXPECT_EQ(v.OnPlayVoice(), 0);
    EXPECT_EQ(player.played.size(), 2u);
}

// Without a sound output the note plays unheard: the status bar says so.
TEST(ImageView, ANoteWithoutSoundOutputIsSaidInTheStatusBar)
{
    platform::RecordingVoicePlayer player;
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    QTemporaryDir folder;
    CopyFixture(folder, QStringLiteral("sound.vni"), QStringLiteral("a.vni"));
    f.ShowFolder(folder.path());
    CColorStatusBar* bar = f.frame->StatusBarCtrl();
    ASSERT_NE(bar, nullptr);
    const QString noOutput = LoadStringRes(res::IDS_NO_SOUND_OUTPUT);
    ASSERT_FALSE(noOutput.isEmpty());
    EXPECT_EQ(f.view->OnPlayVoice(), 1);
    EXPECT_NE(bar->GetPaneText(0), noOutput);
    player.hasOutput = false;
    f.Run(res::ID_PLAY_SOUND);
    QApplication::processEvents();
    EXPECT_EQ(player.played.size(), 2u);
    EXPECT_EQ(bar->GetPaneText(0), noOutput);
}

namespace {

bool isBlue(QRgb c) { return qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) > 200; }
bool isDark(QRgb c) { return qRed(c) < 90 && qGreen(c) < 90 && qBlue(c) < 90; }

int countIn(const QImage& image, const QRect& r, bool (*test)(QRgb))
{
    int n = 0;
    const QRect inside = r.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

} // namespace

// A long name, Chinese ones too, is cut to its cell; the selected cell's
// frame leaves the name readable.
TEST(ImageView, GridNamesFitTheirCellsAndTheFrameLeavesThemVisible)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    const QString longName = QString::fromUtf8("热像仪现场检测记录第一组第二号图像.VNI");
    CopyFixture(folder, QStringLiteral("walk/a.VNI"), QStringLiteral("a.VNI"));
    CopyFixture(folder, QStringLiteral("walk/a.VNI"), longName);
    f.ShowFolder(folder.path());
    QSignalSpy done(&v, &CHeatshelfView::thumbnailsDone);
    f.Run(res::ID_THUMBNAILS);
    ASSERT_EQ(v.Thumbs().size(), 2u);
    ASSERT_TRUE(done.count() > 0 || done.wait(60000));
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.ThumbCellRect(1).center());
    ASSERT_EQ(v.SelectedThumb(), 1);
    const QImage shot = Grab(v).convertToFormat(QImage::Format_RGB32);
    SaveShot(shot, QStringLiteral("image-grid-long-names"));

    const QRect cell = v.ThumbCellRect(1);
    const QRect name = v.ThumbNameQRect(1);
    ASSERT_EQ(v.Thumbs()[1].name, longName);
    const QString shown = v.Thumbs()[1].label.text();
    EXPECT_TRUE(shown.startsWith(QString::fromUtf8("热像仪"))) << shown.toStdString();
    EXPECT_LE(v.Thumbs()[1].label.size().width(), name.width()) << shown.toStdString();
    EXPECT_TRUE(cell.contains(name));
    // The name is drawn, and nothing blue lies on it.
    EXPECT_GT(countIn(shot, name, isDark), 20);
    EXPECT_EQ(countIn(shot, name, isBlue), 0);
    // The frame runs along the cell's edge.
    EXPECT_GT(countIn(shot, QRect(cell.left(), cell.top(), cell.width(), 2), isBlue), cell.width());
    // Nothing of the long name reaches the cell before it, right of that
    // cell's own short name (under its picture, whose last row the band's
    // first row meets).
    const QRect before = v.ThumbCellRect(0);
    ASSERT_EQ(before.top(), cell.top());
    EXPECT_EQ(countIn(shot, QRect(before.right() - 20, name.top() + 1, cell.left() - before.right() + 20, name.height() - 1), isDark), 0);
}

// In a 640 x 480 window the level slider stays clear of the two lists,
// and the category list has no horizontal scroll bar.
TEST(ImageView, ASmallWindowKeepsTheSliderOffTheLists)
{
    ViewFixture f(640, 480);
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    f.ShowFolder(FixturePath(QStringLiteral("walk")));
    f.Settle(100);
    ASSERT_FALSE(v.LevelSlider()->isHidden());
    (void)Grab(v); // the controls are placed at a paint
    const QRect slider = v.LevelSlider()->geometry();
    for (QWidget* list : {static_cast<QWidget*>(v.CategoryList()), static_cast<QWidget*>(v.ResultList())}) {
        // The list as placed: its skin frame when it has one.
        const QWidget* placed = list->parentWidget() == &v ? list : list->parentWidget();
        const QRect r = placed->geometry();
        EXPECT_FALSE(slider.intersects(r)) << "slider " << slider.y() << "+" << slider.height() << ", list " << r.y();
        EXPECT_GT(r.height(), 20);
    }
    EXPECT_EQ(v.CategoryList()->horizontalScrollBar()->maximum(), 0);
    SaveShot(Grab(*f.frame), QStringLiteral("image-640x480"));
}

// A level change repaints the scale under the picture too, which in a low
// window reaches below the top 60 % of the view.
TEST(ImageView, ALevelChangeRepaintsTheScaleUnderThePicture)
{
    ViewFixture f(640, 400);
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    f.ShowFolder(FixturePath(QStringLiteral("walk")));
    (void)Grab(v);
    const std::optional<Rect> p = v.PictureRectangle();
    ASSERT_TRUE(p.has_value());
    // The tick labels' band ends 43 pixels under the picture.
    const QPoint scaleLabel(p->left + 20, p->bottom + 42);
    ASSERT_GT(scaleLabel.y(), int(v.height() * 0.6));
    PaintRegionSpy spy(&v);
    v.OnLevelSpan(1, v.Core().levelLow() + 1.0f);
    f.Settle();
    EXPECT_TRUE(spy.region.contains(scaleLabel));
}
