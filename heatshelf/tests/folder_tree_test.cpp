// The folder tree on a fixture folder tree.
#include "app_test_support.h"

#include "current_folder.h"
#include "left_view.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
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
