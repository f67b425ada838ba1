#include "skin/tool_bar_ex.h"

#include "skin/skin_resources.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

CToolBarEx::CToolBarEx(QWidget* parent) : QToolBar(parent)
{
    setMovable(true);
    setFloatable(true);
}

bool CToolBarEx::LoadToolBarEx(int resourceId)
{
    const skin::ToolBarResource* res = skin::FindToolBar(resourceId);
    if (res == nullptr)
        return false;
    m_resourceId = resourceId;
    clear();
    setIconSize(res->imageSize);
    for (int command : res->commands) {
        if (command == skin::kSeparator) {
            addSeparator();
        } else if (QAction* action = skin::CommandAction(command)) {
            addAction(action);
        }
    }
    return true;
}

QToolButton* CToolBarEx::GetButton(int commandId) const
{
    QAction* action = skin::CommandAction(commandId);
    return action == nullptr ? nullptr : qobject_cast<QToolButton*>(widgetForAction(action));
}

bool CToolBarEx::SetDropDownButton(int commandId, int menuId)
{
    QToolButton* button = GetButton(commandId);
    QMenu* menu = skin::PopupMenu(menuId, this);
    if (button == nullptr || menu == nullptr)
        return false;
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    return true;
}

namespace {

QIcon colourIcon(const QIcon& base, const QColor& colour, QSize size)
{
    QPixmap pm = base.pixmap(size);
    if (pm.isNull()) {
        pm = QPixmap(size);
        pm.fill(Qt::transparent);
    }
    QPainter p(&pm);
    const QRect bar(0, size.height() - 4, size.width(), 4);
    if (colour.isValid())
        p.fillRect(bar, colour);
    else
        p.drawRect(bar.adjusted(0, 0, -1, -1));
    return QIcon(pm);
}

} // namespace

bool CToolBarEx::AddButtonCtrl(int commandId)
{
    QToolButton* button = GetButton(commandId);
    QAction* action = skin::CommandAction(commandId);
    if (button == nullptr || action == nullptr)
        return false;
    const QIcon base = action->icon();
    button->setProperty("baseIcon", base);
    button->setIcon(colourIcon(base, QColor(), iconSize()));
    // The arrow part picks a colour; the button applies the chosen one.
    auto* menu = new QMenu(button);
    QAction* choose = menu->addAction(tr("其他颜色..."));
    connect(choose, &QAction::triggered, this, [this, commandId, action] {
        const QColor c = QColorDialog::getColor(m_colours.count(commandId) ? m_colours[commandId] : Qt::white, this);
        if (c.isValid()) {
            SetColorButton(commandId, c);
            action->trigger();
        }
    });
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    return true;
}

void CToolBarEx::SetColorButton(int commandId, const QColor& colour)
{
    m_colours[commandId] = colour;
    if (QToolButton* button = GetButton(commandId))
        button->setIcon(colourIcon(button->property("baseIcon").value<QIcon>(), colour, iconSize()));
}

long CToolBarEx::GetColorButton(int commandId) const
{
    const auto it = m_colours.find(commandId);
    if (it == m_colours.end() || !it->second.isValid())
        return -1;
    const QColor& c = it->second;
    return long(c.red()) | (long(c.green()) << 8) | (long(c.blue()) << 16);
}

QComboBox* CToolBarEx::AddComboCtrl(int commandId, int width, int dropHeight)
{
    QAction* action = skin::CommandAction(commandId);
    if (action == nullptr || widgetForAction(action) == nullptr)
        return nullptr;
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::number(commandId));
    combo->setFixedWidth(width);
    combo->setMaxVisibleItems(qMax(1, dropHeight / qMax(1, combo->fontMetrics().height() + 4)));
    insertWidget(action, combo);
    removeAction(action);
    connect(combo, &QComboBox::activated, action, [action] { action->trigger(); });
    m_combos[commandId] = combo;
    return combo;
}

QComboBox* CToolBarEx::GetCombo(int commandId) const
{
    const auto it = m_combos.find(commandId);
    return it == m_combos.end() ? nullptr : it->second;
}

void CToolBarEx::SetBackground(const QColor& from, const QColor& to)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    QLinearGradient g(0, 0, 0, 1);
    g.setCoordinateMode(QGradient::ObjectMode);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    pal.setBrush(QPalette::Window, QBrush(g));
    setPalette(pal);
}

bool CToolBarEx::event(QEvent* e)
{
    if (e->type() == QEvent::Leave)
        m_hotIndex = -1;
    return QToolBar::event(e);
}
