// CShellTreeCtrl: the folder tree (control 190). Two roots, the home
// folder and "/"; folders only (hidden ones left out), each branch filled
// the first time it opens or is chosen with the mouse; names sorted
// ignoring case; the system's folder icons; the background in the theme's
// base shade. A filled branch follows the file system: a watcher on its
// folder adds folders made and drops folders removed while the program
// runs, and the whole tree is brought up to date when its window becomes
// active again. The column is as wide as its longest name: long names get a
// horizontal scroll bar instead of being cut. A click on the chosen folder
// chooses it again.
#pragma once

#include <QFileSystemWatcher>
#include <QStandardItemModel>
#include <QTreeView>

namespace heatshelf {

class CShellTreeCtrl : public QTreeView {
    Q_OBJECT
public:
    // Item data: the folder's path, and whether its children are in.
    static constexpr int kPathRole = Qt::UserRole + 1;
    static constexpr int kFilledRole = Qt::UserRole + 2;

    explicit CShellTreeCtrl(QWidget* parent = nullptr);

    // The roots to show (the home folder and "/" unless a test sets them).
    void SetRoots(const QStringList& roots) { m_roots = roots; }
    // Rebuilds the tree; expands the first root and makes it current.
    void FillRoot();
    // Inserts the subfolders of item's folder once.
    void InsertChildren(QStandardItem* item);
    // Brings the filled branches of folder path (every branch when path
    // is empty) in line with the file system: subfolders made since are
    // inserted in order, removed ones dropped, and each unfilled subfolder's
    // button follows whether it has subfolders. Branches already there keep
    // their items, expansion and selection.
    void Refresh(const QString& path = {});
    // The folders whose changes are watched (the filled branches).
    QStringList WatchedFolders() const { return m_watcher.directories(); }
    // Makes folder path the tree's current folder without choosing it (no
    // folderSelected): the branches down to it are filled and opened and it
    // is scrolled into view. A folder the tree does not show (hidden, or
    // outside the roots) leaves its nearest shown ancestor current. True
    // when path itself is current.
    bool FollowFolder(const QString& path);
    // The folder path of an index; empty for none.
    QString PathOf(const QModelIndex& index) const;
    QStandardItemModel* Model() const { return m_model; }
    void SetBackground(const QColor& colour);

signals:
    // A folder of the file system was chosen.
    void folderSelected(const QString& path);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Scrolls the current folder's row, and the start of its name, into view.
    void showCurrent();
    // Whether the current folder's row lies wholly inside the pane's height.
    bool currentRowShownWhole() const;
    QStandardItem* makeItem(const QString& path, const QString& text) const;
    void onExpanding(const QModelIndex& index);
    void refreshItem(QStandardItem* item, const QString& path);
    void forgetBranch(QStandardItem* item);
    static QStringList subfolders(const QString& path);

    QStandardItemModel* m_model;
    QStringList m_roots;
    bool m_byMouse = false;
    bool m_following = false; // FollowFolder is moving the current item
    QFileSystemWatcher m_watcher;
};

} // namespace heatshelf
