// CToolBarEx: the program's toolbars. Buttons come from a toolbar resource
// (skin_resources.h); a button may become a drop-down, a colour button or a
// combo box in its place.
#pragma once

#include <QColor>
#include <QToolBar>

#include <map>

class QComboBox;
class QToolButton;

class CToolBarEx : public QToolBar {
    Q_OBJECT
public:
    explicit CToolBarEx(QWidget* parent = nullptr);

    // The bar's control id (the command that shows and hides it).
    void SetControlId(int id) { m_controlId = id; }
    int GetControlId() const { return m_controlId; }

    // Loads the buttons of a toolbar resource. False when it is unknown.
    bool LoadToolBarEx(int resourceId);
    int GetResourceId() const { return m_resourceId; }

    // The button of a command becomes a drop-down of a popup menu resource.
    bool SetDropDownButton(int commandId, int menuId);
    // A colour button in place of a command's button; no colour at first.
    bool AddButtonCtrl(int commandId);
    // A combo box in place of a command's button.
    QComboBox* AddComboCtrl(int commandId, int width, int dropHeight);
    QComboBox* GetCombo(int commandId) const;

    // COLORREF (0x00BBGGRR) chosen on the colour button of commandId, or -1
    // when it has none (or there is no such button).
    long GetColorButton(int commandId) const;
    void SetColorButton(int commandId, const QColor& colour);

    void SetBackground(const QColor& from, const QColor& to);

    // The hover button (-1 = none), reset by the frame on activation.
    int GetHotIndex() const { return m_hotIndex; }
    void SetHotIndex(int index) { m_hotIndex = index; }

    // The tool button of a command (null for a combo or an unknown command).
    QToolButton* GetButton(int commandId) const;

protected:
    bool event(QEvent* e) override;

private:
    int m_controlId = 0;
    int m_resourceId = 0;
    int m_hotIndex = -1;
    std::map<int, QComboBox*> m_combos;
    std::map<int, QColor> m_colours;
};
