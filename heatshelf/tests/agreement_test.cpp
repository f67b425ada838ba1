// The keyboard goes where the user looks, the tree and the grid follow every
// change, the status bar returns to its idle text, refusals name their
// cause, damaged files show no bad-handle value, and cut names show whole as
// tooltips.
#include "app_test_support.h"
#include "image_view_support.h"

#include "current_folder.h"
#include "heatshelf_view.h"
#include "left_view.h"
#include "rename_dlg.h"
#include "resource_ids.h"
#include "string_table.h"

#include "heatshelf/folder_walk.h"
#include "platform/open_refusal.h"
#include "platform/recording_voice_player.h"
#include "skin/color_status_bar.h"
#include "skin/message_box.h"
#include "skin/scroll_codes.h"
#include "skin/skin_scroll_bar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QToolTip>

#include <functional>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

using namespace heatshelf;

namespace {

QString treeFolder(const ViewFixture& f)
{
    CShellTreeCtrl* tree = f.frame->GetLeftView()->Tree();
    return tree->PathOf(tree->currentIndex());
}

void activate(ViewFixture& f)
{
    f.frame->activateWindow();
    QApplication::setActiveWindow(f.frame);
    f.Settle();
}

// Thermcore's fixtures (tools/vnigen.py).
QString thermcoreFixture(const QString& name)
{
    return QDir(qEnvironmentVariable("THERMCORE_FIXTURE_DIR")).filePath(name);
}

// Answers every message box with answer, recording it.
struct Answering {
    explicit Answering(StartupSandbox& box, int answer) : box(box), answer(answer)
    {
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            this->box.messages.push_back(r);
            return this->answer;
        });
    }
    ~Answering()
    {
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            this->box.messages.push_back(r);
            return IDOK_ANSWER;
        });
    }
    StartupSandbox& box;
    int answer;
};

} // namespace

// 1. A click in the grid or the picture takes the keyboard; a hidden tree
// takes no keys.
TEST(Agreement, AClickInTheViewTakesTheKeyboardAndAHiddenTreeTakesNoKeys)
{
    QTemporaryDir root;
    const QString a = root.filePath(QStringLiteral("a"));
    const QString b = root.filePath(QStringLiteral("b"));
    ASSERT_TRUE(QDir().mkpath(a) && QDir().mkpath(b));
    for (const QString& folder : {a, b}) {
        QDir().mkpath(folder);
        QFile::copy(FixturePath(QStringLiteral("walk/a.VNI")), QDir(folder).filePath(QStringLiteral("x.VNI")));
        QFile::copy(FixturePath(QStringLiteral("walk/a.VNI")), QDir(folder).filePath(QStringLiteral("y.VNI")));
    }
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    CShellTreeCtrl* tree = f.frame->GetLeftView()->Tree();
    activate(f);
    // The tree over the two folders; a is chosen in it.
    tree->SetRoots({root.path()});
    tree->FillRoot();
    QStandardItem* top = tree->Model()->item(0);
    tree->InsertChildren(top);
    ASSERT_EQ(top->rowCount(), 2);
    tree->setCurrentIndex(top->child(0)->index());
    f.Settle();
    f.WaitForGrid();
    ASSERT_EQ(treeFolder(f), a);
    ASSERT_EQ(CurrentFolder(), a);
    f.Run(res::ID_THUMBNAILS);
    ASSERT_EQ(v.Thumbs().size(), 2u);

    const auto down = [&] {
        QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : f.frame;
        QTest::keyClick(target, Qt::Key_Down);
        f.Settle();
    };
    // The grid.
    tree->setFocus();
    f.Settle();
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.ThumbCellRect(1).center());
    EXPECT_EQ(QApplication::focusWidget(), &v);
    down();
    EXPECT_EQ(CurrentFolder(), a) << "Down went to the tree";
    EXPECT_EQ(treeFolder(f), a);
    EXPECT_TRUE(v.IsThumbnails());
    EXPECT_EQ(v.Thumbs().size(), 2u);

    // The single image.
    f.Run(res::ID_SINGLE);
    tree->setFocus();
    f.Settle();
    const std::optional<Rect> picture = v.PictureRectangle();
    ASSERT_TRUE(picture.has_value());
    QTest::mouseClick(&v, Qt::LeftButton, {}, QPoint(picture->left + 10, picture->top + 10));
    EXPECT_EQ(QApplication::focusWidget(), &v);
    const QString shown = v.CurrentFileName();
    down();
    EXPECT_EQ(CurrentFolder(), a);
    EXPECT_EQ(v.CurrentFileName(), shown);

    // The folder pane hidden while the tree has the keyboard.
    tree->setFocus();
    f.Settle();
    ASSERT_EQ(QApplication::focusWidget(), tree);
    f.Run(res::ID_FOLDER_PANE);
    EXPECT_FALSE(f.frame->IsFolderPaneShown());
    EXPECT_NE(QApplication::focusWidget(), tree);
    EXPECT_FALSE(tree->isVisible());
    down();
    EXPECT_EQ(CurrentFolder(), a) << "the hidden tree changed the folder";
    EXPECT_EQ(treeFolder(f), a);
    // Shown again, it is 160 wide and takes clicks and keys as before.
    f.Run(res::ID_FOLDER_PANE);
    EXPECT_TRUE(tree->isVisible());
    EXPECT_EQ(f.frame->FolderPaneWidth(), 160);
}

// 2. A rename to an extension the browser does not show is asked about;
// afterwards the grid and the current file hold exactly the files that open.
TEST(Agreement, RenameToAnExtensionNotShownAsksAndTheGridDropsTheFile)
{
    QTemporaryDir folder;
    const QStringList names = {QStringLiteral("巡检_01.VNI"), QStringLiteral("巡检_02.VNI"), QStringLiteral("巡检_03.VNI")};
    for (const QString& n : names)
        CopyFixture(folder, QStringLiteral("walk/a.VNI"), n);
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    f.ShowFolder(folder.path());
    QSignalSpy done(&v, &CHeatshelfView::thumbnailsDone);
    f.Run(res::ID_THUMBNAILS);
    ASSERT_EQ(ThumbNames(v), names);
    QTest::mouseClick(&v, Qt::RightButton, {}, v.ThumbCellRect(0).center());
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    ASSERT_EQ(v.ThumbMenuItem(), 0);

    QString answer;
    v.askNewName = [&](const QString&, const CHeatshelfView::TryName& tryName) {
        answer = tryName(QStringLiteral("巡检_01.txt"));
        return answer.isEmpty();
    };
    const size_t before = f.box.messages.size();
    {
        Answering no(f.box, IDNO_ANSWER);
        v.OnRename();
    }
    ASSERT_EQ(f.box.messages.size(), before + 1) << "the question is asked";
    const QString question = f.box.messages.back().text;
    EXPECT_TRUE(question.contains(QStringLiteral("巡检_01.txt"))) << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("不再显示"))) << "the question names the consequence";
    EXPECT_EQ(answer, CRenameDlg::KeepAsking()) << "no: the dialog stays open, nothing more said";
    EXPECT_TRUE(QFile::exists(folder.filePath(names[0])));
    EXPECT_EQ(ThumbNames(v), names);

    QTest::mouseClick(&v, Qt::RightButton, {}, v.ThumbCellRect(0).center());
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    {
        Answering yes(f.box, IDYES_ANSWER);
        v.OnRename();
    }
    EXPECT_TRUE(answer.isEmpty());
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("巡检_01.txt"))));
    EXPECT_EQ(ThumbNames(v), names.mid(1)) << "the grid shows the files that open, and no other";
    EXPECT_EQ(v.CurrentFileName(), folder.filePath(names[1]));
    EXPECT_EQ(v.SelectedThumb(), 0);
    // A double-click opens the file its cell names.
    QTest::mouseDClick(&v, Qt::LeftButton, {}, v.ThumbCellRect(1).center());
    EXPECT_FALSE(v.IsThumbnails());
    EXPECT_EQ(v.CurrentFileName(), folder.filePath(names[2]));

    // A cell whose file has gone meanwhile opens nothing else: it leaves the
    // grid and the status bar says why.
    f.Run(res::ID_THUMBNAILS);
    ASSERT_EQ(ThumbNames(v), names.mid(1));
    ASSERT_TRUE(QFile::remove(folder.filePath(names[2])));
    QTest::mouseDClick(&v, Qt::LeftButton, {}, v.ThumbCellRect(1).center());
    EXPECT_TRUE(v.IsThumbnails());
    EXPECT_EQ(ThumbNames(v), QStringList{names[1]});
    EXPECT_EQ(v.CurrentFileName(), folder.filePath(names[1]));
    EXPECT_TRUE(f.frame->StatusBarCtrl()->GetPaneText(0).contains(names[2]));
}

// 3. The tree follows the file shown, whatever brought it there.
TEST(Agreement, TheTreeFollowsTheFolderOfTheFileShown)
{
    QTemporaryDir root;
    const QString a = root.filePath(QStringLiteral("a"));
    // Deep and wide enough that the narrow pane of a small window scrolls
    // sideways to show it.
    const QString b = root.filePath(QStringLiteral("deep/2026年6月11日变电站巡检/b"));
    ASSERT_TRUE(QDir().mkpath(a) && QDir().mkpath(b));
    QFile::copy(FixturePath(QStringLiteral("walk/a.VNI")), QDir(a).filePath(QStringLiteral("x.VNI")));
    for (const char* n : {"p.VNI", "q.VNI", "r.VNI"})
        QFile::copy(FixturePath(QStringLiteral("walk/a.VNI")), QDir(b).filePath(QLatin1String(n)));
    ViewFixture f(640, 480);
    ASSERT_NE(f.view, nullptr);
    f.ShowFolder(a);
    EXPECT_EQ(treeFolder(f), a);
    const QString q = QDir(b).filePath(QStringLiteral("q.VNI"));
    f.app->askFileToOpen = [&](const QString&) { return q; };
    const QString before = CurrentFolder();
    f.Run(res::ID_FILE_OPEN);
    ASSERT_EQ(f.view->CurrentFileName(), q);
    EXPECT_EQ(CurrentFolder(), b);
    EXPECT_EQ(treeFolder(f), b) << "the tree still shows " << before.toStdString();
    CShellTreeCtrl* tree = f.frame->GetLeftView()->Tree();
    // The folder's row shows whole: not under the scroll bar that a deep
    // name brings in.
    const QRect row = tree->visualRect(tree->currentIndex());
    EXPECT_TRUE(row.top() >= 0 && row.bottom() < tree->viewport()->height() && row.left() < tree->viewport()->width())
        << "viewport " << tree->viewport()->width() << "x" << tree->viewport()->height() << " item at "
        << tree->visualRect(tree->currentIndex()).x() << "," << tree->visualRect(tree->currentIndex()).y()
        << " " << tree->visualRect(tree->currentIndex()).width() << "x" << tree->visualRect(tree->currentIndex()).height();
    // A pane that shrinks over the row (the window's layout at start, a
    // scroll bar coming in) brings it back whole.
    tree->resize(tree->width(), tree->height() - (tree->viewport()->height() - row.center().y()));
    const QRect moved = tree->visualRect(tree->currentIndex());
    EXPECT_TRUE(moved.top() >= 0 && moved.bottom() < tree->viewport()->height())
        << "row at " << moved.y() << ".." << moved.bottom() << " in a viewport " << tree->viewport()->height() << " high";
    // Folders another program makes above it push its row down; the tree
    // brings it back into view.
    const QString deep = root.filePath(QStringLiteral("deep"));
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(QDir(deep).mkdir(QStringLiteral("0_%1").arg(i, 2, 10, QLatin1Char('0'))));
    const QModelIndex deepRow = tree->currentIndex().parent().parent();
    ASSERT_EQ(tree->PathOf(deepRow), deep);
    for (int waited = 0; tree->model()->rowCount(deepRow) < 31 && waited < 5000; waited += 20)
        f.Settle(20);
    ASSERT_EQ(tree->model()->rowCount(deepRow), 31);
    const QRect pushed = tree->visualRect(tree->currentIndex());
    EXPECT_TRUE(pushed.top() >= 0 && pushed.bottom() < tree->viewport()->height())
        << "row at " << pushed.y() << ".." << pushed.bottom() << " in a viewport " << tree->viewport()->height() << " high";
    // Next walks the folder the tree shows; choosing a folder in the tree
    // still works.
    f.Run(res::ID_NEXT);
    EXPECT_EQ(QFileInfo(f.view->CurrentFileName()).fileName(), QStringLiteral("r.VNI"));
    EXPECT_EQ(treeFolder(f), b);
    // A recent file of the other folder: the tree goes back there.
    f.app->askFileToOpen = [&](const QString&) { return QDir(a).filePath(QStringLiteral("x.VNI")); };
    f.Run(res::ID_FILE_OPEN);
    f.Run(res::ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(f.view->CurrentFileName(), q);
    EXPECT_EQ(treeFolder(f), b);
}

// 4. Back from the single image the grid stands where the user left it.
TEST(Agreement, BackToTheGridKeepsItsScrollPosition)
{
    ViewFixture f(800, 560);
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    for (int i = 0; i < 80; ++i)
        CopyFixture(folder, QStringLiteral("walk/a.VNI"), QStringLiteral("f%1.VNI").arg(i, 3, 10, QLatin1Char('0')));
    f.ShowFolder(folder.path());
    f.Run(res::ID_THUMBNAILS);
    ASSERT_TRUE(f.WaitForGrid());
    const int page = v.height() / 70;
    ASSERT_GE(page, 4);
    CSkinScrollBar* bar = f.frame->GetSkinScrollBar(1);
    ASSERT_TRUE(bar->isEnabled());
    for (int i = 0; i < 3; ++i)
        f.frame->OnVScroll(SB_LINEDOWN, 0);
    f.Settle();
    ASSERT_EQ(v.GridTopRow(), 3);
    const int columns = v.width() / 100;
    const int index = (3 + 2) * columns + 1; // the third row shown
    struct Way {
        const char* what;
        std::function<void()> back;
    };
    const Way ways[] = {
        {"grid command", [&] { f.Run(res::ID_THUMBNAILS); }},
        {"double-click", [&] { QTest::mouseDClick(&v, Qt::LeftButton, {}, QPoint(40, 40)); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        ASSERT_TRUE(v.rect().contains(v.ThumbCellRect(index)));
        QTest::mouseDClick(&v, Qt::LeftButton, {}, v.ThumbCellRect(index).center());
        ASSERT_FALSE(v.IsThumbnails());
        ASSERT_EQ(v.CurrentIndex(), index);
        way.back();
        ASSERT_TRUE(f.WaitForGrid());
        f.Settle();
        EXPECT_EQ(v.SelectedThumb(), index);
        EXPECT_EQ(v.GridTopRow(), 3) << "the file's row moved";
    }
    // A file shown that the grid's old place does not hold: the least
    // scroll that shows it.
    f.Run(res::ID_SINGLE);
    for (int i = 0; i < 2 * page; ++i)
        f.Run(res::ID_NEXT);
    f.Run(res::ID_THUMBNAILS);
    ASSERT_TRUE(f.WaitForGrid());
    f.Settle();
    EXPECT_TRUE(v.rect().contains(v.ThumbCellRect(v.SelectedThumb())));
}

// 5. A status message stays until the next action.
TEST(Agreement, TheStatusBarReturnsToItsIdleTextAtTheNextAction)
{
    platform::RecordingVoicePlayer player;
    player.hasOutput = false;
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    QTemporaryDir folder;
    CopyFixture(folder, QStringLiteral("sound.vni"), QStringLiteral("a.vni"));
    CopyFixture(folder, QStringLiteral("sound.vni"), QStringLiteral("b.vni"));
    f.ShowFolder(folder.path());
    CColorStatusBar* bar = f.frame->StatusBarCtrl();
    const QString idle = LoadStringRes(res::AFX_IDS_IDLEMESSAGE);
    const QString noOutput = LoadStringRes(res::IDS_NO_SOUND_OUTPUT);
    ASSERT_EQ(idle, QStringLiteral("就绪"));
    EXPECT_EQ(bar->GetPaneText(0), idle);

    const auto say = [&] {
        f.Run(res::ID_PLAY_SOUND);
        QApplication::processEvents();
        return bar->GetPaneText(0) == noOutput;
    };
    // Time alone changes nothing.
    ASSERT_TRUE(say());
    f.Settle(300);
    EXPECT_EQ(bar->GetPaneText(0), noOutput);
    // A command (the next file).
    f.Run(res::ID_NEXT);
    EXPECT_EQ(bar->GetPaneText(0), idle);
    // A click.
    ASSERT_TRUE(say());
    QTest::mouseClick(f.view, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(bar->GetPaneText(0), idle);
    // A key.
    ASSERT_TRUE(say());
    QTest::keyClick(f.view, Qt::Key_Shift);
    EXPECT_EQ(bar->GetPaneText(0), idle);
    // A command's prompt shown while hovering is no action: the message
    // said by the click before is there again after it (the user reads it
    // once the pointer has left the button), until the next action.
    ASSERT_TRUE(say());
    bar->showMessage(QStringLiteral("下一个文件"));
    bar->clearMessage();
    EXPECT_EQ(bar->GetMessageText(), noOutput);
    QTest::mouseClick(f.view, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(bar->GetMessageText(), idle);
    // A folder chosen in the tree.
    ASSERT_TRUE(say());
    f.ShowFolder(folder.path());
    QTest::mouseClick(f.frame->GetLeftView()->Tree()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(bar->GetPaneText(0), idle);
}

// 6. File > Open says what is wrong, in the words of the shared table.
TEST(Agreement, FileOpenRefusalsNameTheirCause)
{
    QTemporaryDir folder;
    const QString good = CopyFixture(folder, QStringLiteral("walk/a.VNI"));
    const QString fifo = folder.filePath(QStringLiteral("pipe.VNI"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString locked = CopyFixture(folder, QStringLiteral("walk/a.VNI"), QStringLiteral("locked.VNI"));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    const QString cut = folder.filePath(QStringLiteral("cut.VNI"));
    {
        QFile c(cut);
        ASSERT_TRUE(c.open(QIODevice::WriteOnly));
        c.write(ReadAll(good).left(600));
    }
    const QString text = folder.filePath(QStringLiteral("notes.VNI"));
    {
        QFile t(text);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write("not a camera file\n");
    }
    const QString other = folder.filePath(QStringLiteral("a.txt"));
    QFile::copy(good, other);

    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    f.ShowFolder(folder.path());
    f.Run(res::ID_SINGLE);
    const QString shown = f.view->CurrentFileName();
    ASSERT_EQ(shown, good);
    struct Case {
        QString path;
        platform::OpenRefusal why;
    };
    std::vector<Case> cases = {{fifo, platform::OpenRefusal::NotRegularFile},
                               {folder.filePath(QStringLiteral("gone.VNI")), platform::OpenRefusal::NotFound},
                               {cut, platform::OpenRefusal::Damaged},
                               {text, platform::OpenRefusal::NotCameraFile},
                               {other, platform::OpenRefusal::NotCameraFile}};
    if (::geteuid() != 0)
        cases.push_back({locked, platform::OpenRefusal::NoPermission});
    QString answer;
    f.app->askFileToOpen = [&](const QString&) { return answer; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        answer = c.path;
        const size_t before = f.box.messages.size();
        f.Run(res::ID_FILE_OPEN);
        ASSERT_EQ(f.box.messages.size(), before + 1);
        EXPECT_EQ(f.box.messages.back().text, platform::OpenRefusalText(c.why, c.path));
        EXPECT_EQ(f.view->CurrentFileName(), shown) << "a refusal changes nothing shown";
    }
    ::chmod(QFile::encodeName(locked).constData(), 0600);
}

// 7. Files whose parts run past their end never show the bad-handle value.
TEST(Agreement, DamagedFilesAreRefusedAndNeverShowTheBadHandleValue)
{
    const QString line = thermcoreFixture(QStringLiteral("k4_line_oversize.vni"));
    const QString photo = thermcoreFixture(QStringLiteral("k4_photo_oversize.vni"));
    ASSERT_TRUE(QFileInfo::exists(line)) << line.toStdString();
    ASSERT_TRUE(QFileInfo::exists(photo));
    QTemporaryDir folder;
    const QString good = CopyFixture(folder, QStringLiteral("walk/a.VNI"), QStringLiteral("IR_0611_01.VNI"));
    const QString damaged1 = folder.filePath(QStringLiteral("IR_0611_02.VNI"));
    const QString damaged2 = folder.filePath(QStringLiteral("IR_0611_03.VNI"));
    ASSERT_TRUE(QFile::copy(line, damaged1));
    ASSERT_TRUE(QFile::copy(photo, damaged2));

    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    f.ShowFolder(folder.path());
    EXPECT_EQ(v.CurrentFileName(), good);
    f.Run(res::ID_THUMBNAILS);
    EXPECT_EQ(ThumbNames(v), QStringList{QStringLiteral("IR_0611_01.VNI")}) << "the grid shows the files that open";
    for (const QString& path : {damaged1, damaged2}) {
        SCOPED_TRACE(path.toStdString());
        f.app->askFileToOpen = [&](const QString&) { return path; };
        const size_t before = f.box.messages.size();
        f.Run(res::ID_FILE_OPEN);
        ASSERT_EQ(f.box.messages.size(), before + 1);
        EXPECT_EQ(f.box.messages.back().text, platform::OpenRefusalText(platform::OpenRefusal::Damaged, path));
        EXPECT_NE(v.CurrentFileName(), path);
        EXPECT_TRUE(thermcore::IsTemperature(v.Core().levelLow()) || v.Core().picture().isNull());
        EXPECT_NE(v.Core().levelLow(), -1000.0f);
        EXPECT_NE(v.Core().levelHigh(), -1000.0f);
    }
    EXPECT_FALSE(OpenTest()(damaged1));
    EXPECT_FALSE(OpenTest()(damaged2));
}

// 8. A name cut to its cell shows whole as the cell's tooltip.
TEST(Agreement, ACutNameShowsWholeAsTheCellsTooltip)
{
    QTemporaryDir folder;
    const QString longName = QStringLiteral("IR_0611_01_变电站东侧.VNI");
    CopyFixture(folder, QStringLiteral("walk/a.VNI"), QStringLiteral("a.VNI"));
    CopyFixture(folder, QStringLiteral("walk/a.VNI"), longName);
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    activate(f);
    f.ShowFolder(folder.path());
    f.Run(res::ID_THUMBNAILS);
    ASSERT_EQ(ThumbNames(v), (QStringList{QStringLiteral("a.VNI"), longName}));
    EXPECT_EQ(v.ThumbToolTip(0), QString()) << "a name shown whole needs no tooltip";
    EXPECT_EQ(v.ThumbToolTip(1), longName);
    EXPECT_NE(v.ThumbLabelText(1), longName);

    const QPoint at = v.ThumbNameQRect(1).center();
    QHelpEvent help(QEvent::ToolTip, at, v.mapToGlobal(at));
    QApplication::sendEvent(&v, &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), longName);
    QToolTip::hideText();
    ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000));
    const QPoint shortAt = v.ThumbNameQRect(0).center();
    QHelpEvent none(QEvent::ToolTip, shortAt, v.mapToGlobal(shortAt));
    QApplication::sendEvent(&v, &none);
    EXPECT_FALSE(QToolTip::isVisible()) << "a name shown whole has no tooltip";
}
