#include "shell_tree_ctrl.h"

#include "resource_ids.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QEvent>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

namespace heatshelf {
namespace {

constexpr QDir::Filters kFolders = QDir::Dirs | QDir::NoDotAndDotDot;

bool hasSubfolders(const QString& path)
{
    QDirIterator it(path, kFolders);
    return it.hasNext();
}

const QFileIconProvider& icons()
{
    static const QFileIconProvider provider;
    return provider;
}

} // namespace

CShellTreeCtrl::CShellTreeCtrl(QWidget* parent) : QTreeView(parent), m_model(new QStandardItemModel(this))
{
    setObjectName(QString::number(res::IDC_SHELL_TREE));
    setModel(m_model);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    // The one column is as wide as its widest shown name: a long name gets
    // the horizontal scroll bar instead of an ellipsis.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_roots = {QDir::homePath(), QStringLiteral("/")};
    connect(this, &QTreeView::expanded, this, &CShellTreeCtrl::onExpanding);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) { Refresh(path); });
}

QStringList CShellTreeCtrl::subfolders(const QString& path)
{
    QStringList names = QDir(path).entryList(kFolders);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::stable_sort(names.begin(), names.end(),
                     [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return names;
}

QStandardItem* CShellTreeCtrl::makeItem(const QString& path, const QString& text) const
{
    auto* item = new QStandardItem(icons().icon(QFileInfo(path)), text);
    item->setData(path, kPathRole);
    item->setData(false, kFilledRole);
    // A branch with subfolders shows its button before it is filled.
    if (hasSubfolders(path))
        item->appendRow(new QStandardItem());
    return item;
}

void CShellTreeCtrl::FillRoot()
{
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_model->clear();
    for (const QString& root : m_roots) {
        const QFileInfo info(root);
        if (!info.isDir())
            continue;
        const QString path = QDir(root).absolutePath();
        const QString text = path == QLatin1String("/") ? path : info.fileName();
        m_model->appendRow(makeItem(path, text.isEmpty() ? path : text));
    }
    if (m_model->rowCount() == 0)
        return;
    const QModelIndex first = m_model->index(0, 0);
    expand(first);
    setCurrentIndex(first);
}

void CShellTreeCtrl::InsertChildren(QStandardItem* item)
{
    if (item == nullptr || item->data(kFilledRole).toBool())
        return;
    item->setData(true, kFilledRole);
    item->removeRows(0, item->rowCount());
    const QString path = item->data(kPathRole).toString();
    for (const QString& name : subfolders(path))
        item->appendRow(makeItem(QDir(path).filePath(name), name));
    m_watcher.addPath(path);
}

void CShellTreeCtrl::Refresh(const QString& path)
{
    // Folders made or removed above the current one move its row; one the
    // tree showed whole stays in view.
    const bool shownWhole = currentRowShownWhole();
    // The same folder may stand under both roots; children of an unfilled
    // branch are only its placeholder.
    std::vector<QStandardItem*> pending;
    for (int i = 0; i < m_model->rowCount(); ++i)
        pending.push_back(m_model->item(i));
    while (!pending.empty()) {
        QStandardItem* item = pending.back();
        pending.pop_back();
        if (!item->data(kFilledRole).toBool())
            continue;
        const QString folder = item->data(kPathRole).toString();
        if (path.isEmpty() || folder == path) {
            refreshItem(item, folder);
            if (!path.isEmpty())
                continue;
        } else {
            // Only branches on the way to path can hold it.
            const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
            if (!path.startsWith(prefix))
                continue;
        }
        for (int i = 0; i < item->rowCount(); ++i)
            pending.push_back(item->child(i));
    }
    if (shownWhole && !currentRowShownWhole())
        showCurrent();
}

bool CShellTreeCtrl::currentRowShownWhole() const
{
    const QRect row = visualRect(currentIndex());
    return row.isValid() && row.top() >= 0 && row.bottom() <= viewport()->rect().bottom();
}

void CShellTreeCtrl::refreshItem(QStandardItem* item, const QString& path)
{
    if (!QFileInfo(path).isDir()) {
        // Gone: its parent's refresh drops it.
        return;
    }
    const QStringList names = subfolders(path);
    // Drop the children whose folders have gone (both lists keep one order).
    for (int row = item->rowCount() - 1; row >= 0; --row) {
        QStandardItem* child = item->child(row);
        if (!names.contains(QFileInfo(child->data(kPathRole).toString()).fileName())) {
            forgetBranch(child);
            item->removeRow(row);
        }
    }
    for (int row = 0; row < int(names.size()); ++row) {
        const QString childPath = QDir(path).filePath(names[row]);
        QStandardItem* child = item->child(row);
        if (child == nullptr || child->data(kPathRole).toString() != childPath) {
            item->insertRow(row, makeItem(childPath, names[row]));
            continue;
        }
        // An unfilled folder shows its button exactly while it has
        // subfolders.
        if (!child->data(kFilledRole).toBool()) {
            const bool has = hasSubfolders(childPath);
            if (has && child->rowCount() == 0)
                child->appendRow(new QStandardItem());
            else if (!has && child->rowCount() > 0)
                child->removeRows(0, child->rowCount());
        }
    }
}

void CShellTreeCtrl::forgetBranch(QStandardItem* item)
{
    if (!item->data(kFilledRole).toBool())
        return;
    m_watcher.removePath(item->data(kPathRole).toString());
    for (int i = 0; i < item->rowCount(); ++i)
        forgetBranch(item->child(i));
}

void CShellTreeCtrl::onExpanding(const QModelIndex& index) { InsertChildren(m_model->itemFromIndex(index)); }

QString CShellTreeCtrl::PathOf(const QModelIndex& index) const
{
    return index.isValid() ? index.data(kPathRole).toString() : QString();
}

void CShellTreeCtrl::SetBackground(const QColor& colour)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, colour);
    pal.setColor(QPalette::Window, colour);
    setPalette(pal);
    viewport()->update();
}

void CShellTreeCtrl::mousePressEvent(QMouseEvent* e)
{
    // A click on the folder already chosen shows it again (its files may
    // have changed); a click on its expand button only opens or closes it.
    const QPoint at = e->position().toPoint();
    const QModelIndex before = currentIndex();
    const bool onChosen = e->button() == Qt::LeftButton && before.isValid() && indexAt(at) == before &&
                          visualRect(before).contains(at);
    m_byMouse = true;
    QTreeView::mousePressEvent(e);
    m_byMouse = false;
    if (onChosen && currentIndex() == before) {
        const QString path = PathOf(before);
        if (!path.isEmpty() && QFileInfo(path).isDir())
            emit folderSelected(path);
    }
}

void CShellTreeCtrl::changeEvent(QEvent* e)
{
    QTreeView::changeEvent(e);
    // Back from another program: folders may have been made or removed
    // where no watch reaches (inside a branch not yet filled).
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        Refresh();
}

bool CShellTreeCtrl::FollowFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QString target = QDir::cleanPath(QDir(path).absolutePath());
    if (PathOf(currentIndex()) == target)
        return true;
    // The root holding the folder, the deepest when roots nest.
    QStandardItem* item = nullptr;
    QString at;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        QStandardItem* root = m_model->item(r);
        const QString rootPath = root->data(kPathRole).toString();
        const QString prefix = rootPath.endsWith(QLatin1Char('/')) ? rootPath : rootPath + QLatin1Char('/');
        if ((target == rootPath || target.startsWith(prefix)) && rootPath.size() > at.size()) {
            item = root;
            at = rootPath;
        }
    }
    if (item == nullptr)
        return false;
    for (const QString& part : target.mid(at.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        InsertChildren(item);
        const QString childPath = QDir(at).filePath(part);
        QStandardItem* next = nullptr;
        for (int i = 0; i < item->rowCount() && next == nullptr; ++i) {
            if (item->child(i)->data(kPathRole).toString() == childPath)
                next = item->child(i);
        }
        if (next == nullptr)
            break; // hidden: its parent stays current
        expand(item->index());
        item = next;
        at = childPath;
    }
    m_following = true;
    setCurrentIndex(item->index());
    m_following = false;
    showCurrent();
    return at == target;
}

void CShellTreeCtrl::showCurrent()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    scrollTo(current);
    // The view scrolls by whole columns; a deep folder's name can still sit
    // past the right edge of a narrow pane, so bring its start into view.
    const QRect shown = visualRect(current);
    if (shown.left() < 0 || shown.left() + std::min(shown.width(), indentation()) > viewport()->width()) {
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() + shown.left() - indentation());
    }
}

void CShellTreeCtrl::resizeEvent(QResizeEvent* e)
{
    QTreeView::resizeEvent(e);
    // The pane's last layout (the window shown at start, the side scroll bar
    // a deep name brings in) can leave the current folder's row half under
    // the pane's edge: it is brought back whole. A row scrolled wholly out
    // of view stays where the user put it.
    if (visualRect(currentIndex()).intersects(viewport()->rect()) && !currentRowShownWhole())
        showCurrent();
}

void CShellTreeCtrl::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (m_following)
        return; // the tree follows the folder shown; nothing is chosen
    const QString path = PathOf(current);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    // A branch chosen with the mouse is filled, as opening it would.
    if (m_byMouse)
        InsertChildren(m_model->itemFromIndex(current));
    emit folderSelected(path);
}

} // namespace heatshelf
