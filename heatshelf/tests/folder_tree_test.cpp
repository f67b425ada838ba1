// The folder tree on a fixture folder tree.
#include "app_test_support.h"

#include "current_folder.h"
#include "left_view.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <functional>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace heatshelf;

namespace {

QStandardItem* child(QStandardItem* parent, const QString& text)
{
    for (int i = 0; i < parent->rowCount(); ++i)
        if (parent->child(i)->text() == text)
            return parent->child(i);
    return nullptr;
}

QStringList texts(QStandardItem* parent)
{
    QStringList out;
    for (int i = 0; i < parent->rowCount(); ++i)
        out << parent->child(i)->text();
    return out;
}

} // namespace

TEST(FolderTree, FoldersOnlySortedFilledOnceAndChosenFoldersReachTheView)
{
    EnsureQApplication();
    QTemporaryDir root;
    QDir d(root.path());
    for (const char* p : {"b/inner", "A", "c", ".hidden"})
        ASSERT_TRUE(d.mkpath(QLatin1String(p)));
    QFile file(d.filePath(QStringLiteral("b/picture.vni")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QFile top(d.filePath(QStringLiteral("top.vni")));
    ASSERT_TRUE(top.open(QIODevice::WriteOnly));
    top.close();

    Theme theme;
    CLeftView view(theme);
    std::vector<std::pair<int, bool>> steps;
    view.SetStepTarget([&](int what, bool force) { steps.emplace_back(what, force); });
    CShellTreeCtrl* tree = view.Tree();
    tree->SetRoots({root.path(), QStringLiteral("/")});
    tree->FillRoot();
    view.resize(200, 300);
    view.show();

    // The first root is expanded and selected: it is the current folder,
    // and the view was told "first, forced".
    QStandardItemModel* model = tree->Model();
    ASSERT_EQ(model->rowCount(), 2);
    QStandardItem* first = model->item(0);
    EXPECT_TRUE(tree->isExpanded(first->index()));
    EXPECT_EQ(tree->currentIndex(), first->index());
    EXPECT_EQ(CurrentFolder(), QDir(root.path()).absolutePath());
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0], std::make_pair(res::kStepFirst, true));
    // Folders only, hidden ones left out, names ignoring case.
    EXPECT_EQ(texts(first), (QStringList{"A", "b", "c"}));
    EXPECT_EQ(model->item(1)->text(), QStringLiteral("/"));
    EXPECT_EQ(tree->PathOf(model->item(1)->index()), QStringLiteral("/"));

    // Expanding twice inserts the children once; files never appear.
    QStandardItem* b = child(first, QStringLiteral("b"));
    ASSERT_NE(b, nullptr);
    tree->expand(b->index());
    tree->collapse(b->index());
    tree->expand(b->index());
    EXPECT_EQ(texts(b), QStringList{"inner"});
    // A folder without subfolders has no button and no children.
    EXPECT_EQ(child(first, QStringLiteral("c"))->rowCount(), 0);

    // Choosing a folder with the mouse: its path, one "first, forced", and
    // its branch filled.
    steps.clear();
    QStandardItem* a = child(first, QStringLiteral("A"));
    const QRect r = tree->visualRect(a->index());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(CurrentFolder(), d.filePath(QStringLiteral("A")));
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0], std::make_pair(res::kStepFirst, true));
    EXPECT_TRUE(a->data(CShellTreeCtrl::kFilledRole).toBool());
    // Clicking the chosen folder again shows it again.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1], std::make_pair(res::kStepFirst, true));

    // "/" gives "/".
    tree->setCurrentIndex(model->item(1)->index());
    EXPECT_EQ(CurrentFolder(), QStringLiteral("/"));
    EXPECT_EQ(steps.size(), 3u);
}

namespace {

// Lets the event loop run until done() holds; false after ms.
bool waitFor(const std::function<bool()>& done, int ms = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(20);
    }
    return true;
}

} // namespace

// Folders made or removed while the program runs show in the tree: in a
// filled branch at once (the watcher), a new first subfolder of a branch
// not filled yet when the tree is brought up to date. What the user
// chose and opened stays.
TEST(FolderTree, FollowsFoldersMadeAndRemovedWhileItRuns)
{
    EnsureQApplication();
    QTemporaryDir root;
    QDir d(root.path());
    for (const char* p : {"b", "d/inner"})
        ASSERT_TRUE(d.mkpath(QLatin1String(p)));
    Theme theme;
    CLeftView view(theme);
    int steps = 0;
    view.SetStepTarget([&](int, bool) { ++steps; });
    CShellTreeCtrl* tree = view.Tree();
    tree->SetRoots({root.path()});
    tree->FillRoot();
    view.resize(200, 300);
    view.show();
    QStandardItem* first = tree->Model()->item(0);
    QStandardItem* dItem = child(first, QStringLiteral("d"));
    ASSERT_NE(dItem, nullptr);
    tree->expand(dItem->index());
    tree->setCurrentIndex(dItem->index());
    ASSERT_EQ(CurrentFolder(), d.filePath(QStringLiteral("d")));
    steps = 0;

    ASSERT_TRUE(d.mkpath(QStringLiteral("c")));
    ASSERT_TRUE(d.mkpath(QStringLiteral("A")));
    EXPECT_TRUE(waitFor([&] { return texts(first) == QStringList({"A", "b", "c", "d"}); }))
        << texts(first).join(QLatin1Char(' ')).toStdString();
    ASSERT_TRUE(d.mkpath(QStringLiteral("d/second")));
    EXPECT_TRUE(waitFor([&] { return texts(dItem) == QStringList({"inner", "second"}); }))
        << texts(dItem).join(QLatin1Char(' ')).toStdString();
    ASSERT_TRUE(d.rmdir(QStringLiteral("c")));
    EXPECT_TRUE(waitFor([&] { return texts(first) == QStringList({"A", "b", "d"}); }))
        << texts(first).join(QLatin1Char(' ')).toStdString();
    // The chosen folder stays chosen and open, and nothing was shown anew.
    EXPECT_EQ(tree->currentIndex(), dItem->index());
    EXPECT_TRUE(tree->isExpanded(dItem->index()));
    EXPECT_EQ(steps, 0);

    // "b" had no subfolder, so no button; it gets one once the tree is
    // brought up to date (the window becoming active again does it).
    QStandardItem* b = child(first, QStringLiteral("b"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->rowCount(), 0);
    ASSERT_TRUE(d.mkpath(QStringLiteral("b/new")));
    tree->Refresh();
    EXPECT_EQ(b->rowCount(), 1);
    tree->expand(b->index());
    EXPECT_EQ(texts(b), QStringList{"new"});
    EXPECT_TRUE(tree->WatchedFolders().contains(d.filePath(QStringLiteral("b"))));
}

// A folder name wider than the pane is shown whole, with a horizontal
// scroll bar to reach it.
TEST(FolderTree, LongNamesGetAHorizontalScrollBar)
{
    EnsureQApplication();
    QTemporaryDir root;
    const QString longName = QString::fromUtf8("热像仪二〇二四年十二月现场检测记录-") + QString(60, QLatin1Char('x'));
    ASSERT_TRUE(QDir(root.path()).mkpath(longName));
    Theme theme;
    CLeftView view(theme);
    CShellTreeCtrl* tree = view.Tree();
    tree->SetRoots({root.path()});
    tree->FillRoot();
    view.resize(180, 300);
    view.show();
    QTest::qWait(50);
    QStandardItem* item = child(tree->Model()->item(0), longName);
    ASSERT_NE(item, nullptr);
    const int textWidth = tree->fontMetrics().horizontalAdvance(longName);
    EXPECT_GE(tree->visualRect(item->index()).width(), textWidth);
    EXPECT_GT(tree->horizontalScrollBar()->maximum(), 0);
}
