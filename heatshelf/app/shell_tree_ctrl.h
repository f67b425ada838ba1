// CShellTreeCtrl: the folder tree (control 190). Two roots, the home
// folder and "/"; folders only (hidden ones left out), each branch filled
// the first time it opens or is chosen with the mouse, never refreshed;
// names sorted ignoring case; the system's folder icons; the background in
// the theme's base shade. A click on the chosen folder chooses it again.
#pragma once

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

private:
    QStandardItem* makeItem(const QString& path, const QString& text) const;
    void onExpanding(const QModelIndex& index);

    QStandardItemModel* m_model;
    QStringList m_roots;
    bool m_byMouse = false;
};

} // namespace heatshelf
