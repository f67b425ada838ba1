#include "shell_tree_ctrl.h"

#include "resource_ids.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFileIconProvider>
#include <QMouseEvent>

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
    m_roots = {QDir::homePath(), QStringLiteral("/")};
    connect(this, &QTreeView::expanded, this, &CShellTreeCtrl::onExpanding);
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
    QStringList names = QDir(path).entryList(kFolders);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::stable_sort(names.begin(), names.end(),
                     [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    for (const QString& name : names)
        item->appendRow(makeItem(QDir(path).filePath(name), name));
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

void CShellTreeCtrl::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    const QString path = PathOf(current);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    // A branch chosen with the mouse is filled, as opening it would.
    if (m_byMouse)
        InsertChildren(m_model->itemFromIndex(current));
    emit folderSelected(path);
}

} // namespace heatshelf
