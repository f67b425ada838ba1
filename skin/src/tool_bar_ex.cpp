#include "skin/tool_bar_ex.h"

#include "skin/color_picker_button.h"
#include "skin/colors.h"
#include "skin/flat_combo_box.h"
#include "skin/skin_resources.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QToolButton>

#include <algorithm>

CToolBarEx::CToolBarEx(QWidget* parent) : QToolBar(parent)
{
    setMovable(true);
    setFloatable(true);
    // Drop-down menus measure their items as the program's menus do.
    m_iconMenu.SetImageSize(16, 15);
    // Docking on another side or floating: the images again on the new
    // background, and the frame repaints.
    connect(this, &QToolBar::orientationChanged, this, [this] {
        BuildImageLists();
        update();
    });
    connect(this, &QToolBar::topLevelChanged, this, [this] {
        BuildImageLists();
        emit moved();
    });
}

CToolBarEx::~CToolBarEx() = default;

QAction* CToolBarEx::actionFor(int command)
{
    if (QAction* a = skin::CommandAction(command))
        return a;
    // No program around (tests): the bar keeps an action of its own.
    for (QAction* a : m_ownActions) {
        if (a->data().toInt() == command)
            return a;
    }
    auto* a = new QAction(this);
    a->setData(command);
    a->setObjectName(QString::number(command));
    m_ownActions.push_back(a);
    return a;
}

bool CToolBarEx::LoadToolBarEx(int resourceId)
{
    const skin::ToolBarResource* res = skin::FindToolBar(resourceId);
    if (res == nullptr || res->bitmap.isNull())
        return false;
    const int separators = int(std::count(res->commands.begin(), res->commands.end(), skin::kSeparator));
    const int images = res->count() - separators;
    // A resource of separators only has nothing to measure its images by.
    if (images <= 0)
        return false;
    // Measured in device-independent pixels: a strip drawn for a
    // high-resolution screen gives the same bar.
    const QSize strip = res->bitmap.deviceIndependentSize().toSize();
    const QSize imageSize(strip.width() / images, strip.height() - 1);
    if (imageSize.isEmpty())
        return false;

    for (const Button& b : m_buttons) {
        if (b.action != nullptr && b.action->isSeparator())
            delete b.action;
    }
    clear();
    m_buttons.clear();
    m_hotIndex = -1;
    m_resourceId = resourceId;
    m_imageCount = images;
    m_separatorCount = separators;
    m_imageSize = imageSize;
    m_buttonSize = imageSize + QSize(7, 7);
    m_bitmap = res->bitmap;
    setIconSize(imageSize);
    int image = 0;
    for (int command : res->commands) {
        Button b;
        b.command = command;
        b.separator = command == skin::kSeparator;
        if (b.separator) {
            b.action = addSeparator();
        } else {
            b.image = image++;
            b.action = actionFor(command);
            addAction(b.action);
            if (QWidget* w = widgetForAction(b.action))
                w->installEventFilter(this);
        }
        m_buttons.push_back(b);
    }
    BuildImageLists();
    return true;
}

bool CToolBarEx::IsBrowserLook()
{
    const skin::SkinState* s = skin::CurrentSkin();
    return s != nullptr && s->m_look == skin::SkinLook::Browser;
}

void CToolBarEx::BuildImageLists()
{
    m_images = skin::BuildToolBarImages(m_bitmap, m_imageSize.width(), m_imageSize.height(),
                                        skin::DisabledShadowOf(IsBrowserLook() ? skin::SkinLook::Browser
                                                                               : skin::SkinLook::Report));
    if (IsBrowserLook()) {
        // Edit and list controls on the bar: light blue with blue text.
        QPalette pal = palette();
        pal.setColor(QPalette::Base, skin::ToQColor(kBrowserControlBack));
        pal.setColor(QPalette::Text, skin::ToQColor(kBrowserControlText));
        setPalette(pal);
    }
    update();
}

const skin::ImageList& CToolBarEx::GetImageList(int which) const
{
    switch (which) {
    case 1: return m_images.disabled;
    case 2: return m_images.hot;
    default: return m_images.normal;
    }
}

void CToolBarEx::SetBackground(COLORREF c1, COLORREF c2)
{
    m_back1 = c1;
    m_back2 = c2;
    m_backMode = kGradient;
    BuildImageLists();
    // The browser's bar repaints only itself.
    if (parentWidget() != nullptr && !IsBrowserLook())
        parentWidget()->update();
    update();
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        w->update();
}

int CToolBarEx::indexOfCommand(int command) const
{
    if (command == skin::kSeparator)
        return -1;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].command == command)
            return int(i);
    }
    return -1;
}

bool CToolBarEx::IsSeparator(int index) const
{
    return index >= 0 && index < GetButtonCount() && m_buttons[std::size_t(index)].separator;
}

void CToolBarEx::SetButtonKind(int index, int kind)
{
    if (index < 0 || index >= GetButtonCount())
        return;
    m_buttons[std::size_t(index)].kind = kind;
    // The button measures itself again (a drop-down is wider by its arrow).
    if (QWidget* w = widgetForAction(m_buttons[std::size_t(index)].action)) {
        QEvent restyle(QEvent::StyleChange);
        QApplication::sendEvent(w, &restyle);
        w->updateGeometry();
        if (layout() != nullptr)
            layout()->invalidate();
    }
}

int CToolBarEx::GetButtonKind(int index) const
{
    return index >= 0 && index < GetButtonCount() ? m_buttons[std::size_t(index)].kind : kButtonPlain;
}

QToolButton* CToolBarEx::GetButton(int commandId) const
{
    const int i = indexOfCommand(commandId);
    if (i < 0 || m_buttons[std::size_t(i)].kind == kButtonControl)
        return nullptr;
    return qobject_cast<QToolButton*>(widgetForAction(m_buttons[std::size_t(i)].action));
}

int CToolBarEx::IndexOf(const QWidget* button) const
{
    if (button == nullptr)
        return -1;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const Button& b = m_buttons[i];
        if (!b.separator && b.kind != kButtonControl && widgetForAction(b.action) == button)
            return int(i);
    }
    return -1;
}

bool CToolBarEx::SetDropDownButton(int commandId, int menuId)
{
    const int i = indexOfCommand(commandId);
    if (i < 0)
        return false;
    SetButtonKind(i, kButtonDropDown);
    m_dropDowns.push_back({unsigned(commandId), unsigned(menuId), unsigned(kButtonDropDown)});
    return true;
}

bool CToolBarEx::AddButtonCtrl(int commandId)
{
    const int i = indexOfCommand(commandId);
    if (i < 0)
        return false;
    SetButtonKind(i, kButtonColor);
    m_dropDowns.push_back({unsigned(commandId), 0u, unsigned(kButtonColor)});
    const auto slot = std::find(kColorCommands.begin(), kColorCommands.end(), commandId);
    if (slot == kColorCommands.end())
        return true;
    CColorPickerButton*& picker = m_pickers[std::size_t(slot - kColorCommands.begin())];
    if (picker == nullptr) {
        picker = new CColorPickerButton(this);
        picker->setObjectName(QStringLiteral("ColorPicker%1").arg(commandId));
        picker->SetDlgCtrlID(commandId);
        picker->SetColor(commandId == kColorCommands[0] ? RGB(0, 0, 0) : CColorPickerButton::kNoColor);
        picker->hide();
        // A chosen colour reaches the program as the button's command.
        QAction* action = m_buttons[std::size_t(i)].action;
        connect(picker, &CColorPickerButton::command, this, [this, action](int) {
            if (QWidget* w = widgetForAction(action))
                w->update();
            action->trigger();
        });
    }
    if (QWidget* w = widgetForAction(m_buttons[std::size_t(i)].action))
        picker->setGeometry(w->geometry());
    return true;
}

CColorPickerButton* CToolBarEx::GetColorPicker(int commandId) const
{
    const auto slot = std::find(kColorCommands.begin(), kColorCommands.end(), commandId);
    return slot == kColorCommands.end() ? nullptr : m_pickers[std::size_t(slot - kColorCommands.begin())];
}

long CToolBarEx::GetColorButton(int commandId) const
{
    const CColorPickerButton* picker = GetColorPicker(commandId);
    if (picker == nullptr || picker->GetColor() == CColorPickerButton::kNoColor)
        return -1;
    return long(picker->GetColor());
}

bool CToolBarEx::PlaceControl(int index, QWidget* control)
{
    if (index < 0 || index >= GetButtonCount() || control == nullptr)
        return false;
    Button& b = m_buttons[std::size_t(index)];
    if (b.separator || b.kind == kButtonControl)
        return false;
    QAction* command = b.action;
    if (QWidget* w = widgetForAction(command))
        w->removeEventFilter(this);
    b.action = insertWidget(command, control);
    // A control kept hidden until now shows with its place.
    b.action->setVisible(true);
    removeAction(command);
    b.kind = kButtonControl;
    b.control = control;
    return true;
}

CFlatComboBox* CToolBarEx::AddComboCtrl(int commandId, int width, int dropHeight)
{
    const int i = indexOfCommand(commandId);
    if (i < 0 || m_buttons[std::size_t(i)].kind == kButtonControl)
        return nullptr;
    QAction* command = m_buttons[std::size_t(i)].action;
    auto* combo = new CFlatComboBox(this);
    combo->setObjectName(QString::number(commandId));
    combo->setFixedWidth(qMax(1, width - 1));
    combo->setFixedHeight(qMax(1, combo->sizeHint().height() - 2));
    combo->setMaxVisibleItems(qMax(1, dropHeight / qMax(1, combo->fontMetrics().height() + 2)));
    PlaceControl(i, combo);
    connect(combo, &QComboBox::activated, command, [command] { command->trigger(); });
    // The combo is enabled exactly while its command is.
    combo->setEnabled(command->isEnabled());
    connect(command, &QAction::changed, combo, [command, combo] { combo->setEnabled(command->isEnabled()); });
    m_controls[0] = combo;
    return combo;
}

QComboBox* CToolBarEx::GetCombo(int commandId) const
{
    const int i = indexOfCommand(commandId);
    return i < 0 ? nullptr : qobject_cast<QComboBox*>(m_buttons[std::size_t(i)].control.data());
}

void CToolBarEx::SetControlWindows(QWidget* first, QWidget* second)
{
    m_controls[0] = first;
    m_controls[1] = second;
}

bool CToolBarEx::hasControlWindow() const { return m_controls[0] || m_controls[1]; }

bool CToolBarEx::OnDropDown(int commandId)
{
    const auto entry = std::find_if(m_dropDowns.begin(), m_dropDowns.end(),
                                    [commandId](const ToolBarDropDownEntry& e) { return e.command == unsigned(commandId); });
    QToolButton* button = GetButton(commandId);
    if (entry == m_dropDowns.end() || button == nullptr)
        return false;
    if (entry->kind == unsigned(kButtonDropDown)) {
        if (entry->menuId == 0)
            return false;
        QMenu* menu = skin::PopupMenu(int(entry->menuId), this);
        if (menu == nullptr)
            return false;
        m_iconMenu.ConvertMenu(menu, false);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(button->mapToGlobal(QPoint(0, button->height())));
        return true;
    }
    CColorPickerButton* picker = GetColorPicker(commandId);
    if (picker == nullptr)
        return false;
    picker->setGeometry(button->geometry().adjusted(0, 0, 0, 3));
    picker->OpenPopup(QCursor::pos());
    return true;
}

bool CToolBarEx::eventFilter(QObject* watched, QEvent* e)
{
    auto* button = qobject_cast<QToolButton*>(watched);
    const int index = IndexOf(button);
    if (index < 0)
        return QToolBar::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::Enter:
    case QEvent::HoverEnter:
        if (m_hotIndex != index) {
            m_hotIndex = index;
            update();
            for (QWidget* w : findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
                w->update();
        }
        break;
    case QEvent::Leave:
    case QEvent::HoverLeave:
        if (m_hotIndex == index) {
            m_hotIndex = -1;
            button->update();
        }
        break;
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(e);
        const Button& b = m_buttons[std::size_t(index)];
        if (me->button() != Qt::LeftButton || !button->isEnabled())
            break;
        const bool arrowZone = me->position().x() >= ButtonFaceRect(button).right() + 1 - kArrowZone;
        if (b.kind == kButtonDropDown || (b.kind == kButtonColor && arrowZone)) {
            OnDropDown(b.command);
            return true;
        }
        break;
    }
    default: break;
    }
    return QToolBar::eventFilter(watched, e);
}

bool CToolBarEx::event(QEvent* e)
{
    if (e->type() == QEvent::Leave && m_hotIndex != -1) {
        m_hotIndex = -1;
        for (QWidget* w : findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
            w->update();
    }
    return QToolBar::event(e);
}

void CToolBarEx::moveEvent(QMoveEvent* e)
{
    QToolBar::moveEvent(e);
    if (IsBrowserLook())
        RepaintLeftArea(QRect(e->oldPos(), size()));
    emit moved();
}

void CToolBarEx::resizeEvent(QResizeEvent* e)
{
    QToolBar::resizeEvent(e);
    if (IsBrowserLook())
        RepaintLeftArea(QRect(pos(), e->oldSize()));
}

void CToolBarEx::RepaintLeftArea(const QRect& old)
{
    QWidget* parent = parentWidget();
    if (parent == nullptr || isWindow())
        return;
    parent->update(old);
    for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child == this || !child->isVisible() || child->isWindow())
            continue;
        const QRect inChild = old.translated(-child->pos());
        if (inChild.intersects(child->rect()))
            child->update(inChild);
    }
}
