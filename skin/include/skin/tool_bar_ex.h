// CToolBarEx: the program's dockable toolbars, painted in the skin. Buttons
// come from a toolbar resource (skin_resources.h); each shows its image
// from one of three lists (normal, disabled, hot) on a two-colour gradient,
// with a hover and a checked look, a gripper, etched separators and a
// border. A button may become a menu drop-down, a colour button with a
// hidden colour picker and a colour bar under its image, or a combo box in
// its place. The painting runs through SkinStyle's toolbar primitives,
// which call back into the bar.
#pragma once

#include "platform/colorref.h"
#include "skin/icon_menu.h"
#include "skin/skin_colors.h"
#include "skin/tool_bar_images.h"

#include <QPointer>
#include <QToolBar>

#include <array>
#include <vector>

class CColorPickerButton;
class CFlatComboBox;
class QComboBox;
class QStyleOption;
class QToolButton;

// A drop-down button: its command, its popup menu resource (0 for a colour
// button) and its kind.
struct ToolBarDropDownEntry {
    unsigned command = 0;
    unsigned menuId = 0;
    unsigned kind = 0;
};

enum ToolBarButtonKind {
    kButtonPlain = -1,
    kButtonControl = 1,  // a combo box in the button's place
    kButtonColor = 2,    // colour drop-down: arrow zone and colour bar
    kButtonDropDown = 3, // the whole button opens a menu
};

class CToolBarEx : public QToolBar {
    Q_OBJECT
public:
    enum BackgroundMode { kSolid = 0, kGradient = 3 };
    // Width of a drop-down button's arrow zone.
    static constexpr int kArrowZone = 13;
    // The commands that own a colour picker.
    static constexpr std::array<int, 3> kColorCommands = {114, 32981, 32982};

    // The browser's edit and list colours on the bar.
    static constexpr COLORREF kBrowserControlBack = 0xE6C5BC;
    static constexpr COLORREF kBrowserControlText = 0xFF0000;

    explicit CToolBarEx(QWidget* parent = nullptr);
    ~CToolBarEx() override;

    // The bar's control id (the command that shows and hides it).
    void SetControlId(int id) { m_controlId = id; }
    int GetControlId() const { return m_controlId; }

    // Loads the buttons of a toolbar resource and its image strip: image
    // width = strip width / images, height = strip height - 1, buttons 7
    // pixels larger. False (nothing changed) for an unknown resource, one
    // without a strip or one of separators only.
    bool LoadToolBarEx(int resourceId);
    int GetResourceId() const { return m_resourceId; }

    // The gradient background, from c1 to c2; rebuilds the image lists.
    void SetBackground(COLORREF c1, COLORREF c2);
    int GetBackgroundMode() const { return m_backMode; }

    // The whole button of a command opens the first pop-up of a menu
    // resource (menu 0 opens nothing). False for an unknown command.
    bool SetDropDownButton(int commandId, int menuId);
    // A colour drop-down in place of a command's button; commands 114,
    // 32981 and 32982 get a hidden colour picker (black for 114, no colour
    // for the others). False for an unknown command.
    bool AddButtonCtrl(int commandId);
    // A flat combo box of width pixels in place of a command's button,
    // enabled while that command is; choosing an entry runs the command.
    // Null for an unknown command.
    CFlatComboBox* AddComboCtrl(int commandId, int width, int dropHeight);
    QComboBox* GetCombo(int commandId) const;

    // COLORREF chosen on the colour picker of 114, 32981 or 32982; -1 for
    // any other command and for no colour.
    long GetColorButton(int commandId) const;
    CColorPickerButton* GetColorPicker(int commandId) const;

    // A button's kind, when 0 <= index < button count; else nothing.
    void SetButtonKind(int index, int kind);
    int GetButtonKind(int index) const;
    int GetButtonCount() const { return int(m_buttons.size()); }
    int GetImageCount() const { return m_imageCount; }
    int GetSeparatorCount() const { return m_separatorCount; }
    bool IsSeparator(int index) const;
    QSize GetButtonSize() const { return m_buttonSize; }
    QSize GetImageSize() const { return m_imageSize; }
    const std::vector<ToolBarDropDownEntry>& GetDropDowns() const { return m_dropDowns; }
    const skin::ImageList& GetImageList(int which) const; // 0 normal, 1 disabled, 2 hot

    // The hover button (-1 = none), reset by the frame on activation.
    int GetHotIndex() const { return m_hotIndex; }
    void SetHotIndex(int index) { m_hotIndex = index; }

    // The tool button of a command (null for a combo or an unknown command)
    // and the button index of a tool button (-1 when not one of the bar's).
    QToolButton* GetButton(int commandId) const;
    int IndexOf(const QWidget* button) const;
    // Controls standing in the bar that keep a vertical bar's buttons where
    // they are (the combo of AddComboCtrl, a derived bar's own).
    void SetControlWindows(QWidget* first, QWidget* second);

    // Opens a drop-down as its button's arrow does: the menu of a menu
    // drop-down at the button's bottom left, the colour popup of a colour
    // button at the cursor. False when nothing opens.
    bool OnDropDown(int commandId);

    // Painting, called by SkinStyle: the background and border over the
    // whole bar, the gripper, a separator, one button.
    void PaintBackground(QPainter& p, const QRect& r) const;
    void PaintGripper(QPainter& p) const;
    void PaintSeparator(QPainter& p, const QRect& r) const;
    void PaintButton(QPainter& p, const QToolButton* button) const;
    // Where a button's face is painted inside the button widget: a vertical
    // bar without controls centres all but colour buttons.
    QRect ButtonFaceRect(const QToolButton* button) const;
    QSize ButtonSizeHint(const QToolButton* button) const;
    bool IsVertical() const { return orientation() == Qt::Vertical; }

signals:
    // The bar moved (docked, floated or dragged): the frame repaints.
    void moved();

protected:
    // Puts a control in place of button index (kind 1); false for a bad
    // index or a button that already has one.
    bool PlaceControl(int index, QWidget* control);

    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    // The browser's bar, moved or resized: repaints the area it left in the
    // parent and in the parent's other children.
    void RepaintLeftArea(const QRect& oldGeometry);
    // Whether the current skin paints in the browser's look.
    static bool IsBrowserLook();

private:
    struct Button {
        int command = 0;
        bool separator = false;     // in the resource
        int image = -1;             // index into the image lists
        int kind = kButtonPlain;
        QAction* action = nullptr;  // the command's action, or the separator
        QPointer<QWidget> control;  // kind 1: the control in its place
    };

    QAction* actionFor(int command);
    int indexOfCommand(int command) const;
    void BuildImageLists();
    void drawDropArrow(QPainter& p, const QRect& r, bool enabled = true) const;
    void drawColorBar(QPainter& p, const QRect& r, int command) const;
    void fillBand(QPainter& p, const QRect& r, COLORREF from, COLORREF to, bool columns) const;
    bool hasControlWindow() const;

    int m_controlId = 0;
    int m_resourceId = 0;
    int m_hotIndex = -1;
    std::vector<Button> m_buttons;
    int m_imageCount = 0;
    int m_separatorCount = 0;
    QSize m_buttonSize{23, 22};
    QSize m_imageSize{16, 15};
    QImage m_bitmap;
    skin::ToolBarImages m_images;
    std::array<CColorPickerButton*, 3> m_pickers{};
    std::array<QPointer<QWidget>, 2> m_controls;
    CIconMenu m_iconMenu;
    int m_backMode = kSolid;
    COLORREF m_back1 = 0;
    COLORREF m_back2 = 0;
    std::vector<ToolBarDropDownEntry> m_dropDowns;
    std::vector<QAction*> m_ownActions;
};
