// CColorPickerButton: a push button showing a colour swatch with a small
// drop-down mark. Pressing it opens the palette popup ("ColorPalette"):
// twelve greys, the 216-colour cube, a no-colour cell, a preview of the
// colour under the mouse and a button to the colour dialog. Every SetColor
// is announced by command() with the button's control id; a buddy widget
// shows the colour as "#RRGGBB". 0xFFFFFFFF means no colour.
#pragma once

#include "platform/colorref.h"

#include <QAbstractButton>
#include <QCursor>
#include <QPointer>

#include <functional>
#include <optional>

namespace skin {
class ColorPopup;
}

class CColorPickerButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr COLORREF kNoColor = 0xFFFFFFFF;

    explicit CColorPickerButton(QWidget* parent = nullptr);
    ~CColorPickerButton() override;

    COLORREF GetColor() const { return m_color; }
    // Stores the colour, announces it (also when it did not change),
    // updates the buddy and repaints.
    void SetColor(COLORREF color);
    QString GetColorText() const;
    static QString ColorText(COLORREF color);

    void SetBuddy(QWidget* buddy) { m_buddy = buddy; }
    void SetDlgCtrlID(int id) { m_controlId = id; }
    int GetDlgCtrlID() const { return m_controlId; }

    // Opens the popup as a press at a screen point would (the toolbar's
    // drop-down colour buttons).
    void OpenPopup(const QPoint& screenPoint);
    bool IsPopupOpen() const;
    skin::ColorPopup* GetPopup() const;

    // The eyedropper, hot spot at its bottom left.
    static QCursor EyedropperCursor();

    // The colour dialog behind "other colours"; a hook answers it in tests.
    using ColorDialogHook = std::function<std::optional<COLORREF>(COLORREF initial)>;
    static void SetColorDialogHook(ColorDialogHook hook);
    // The colour dialog (or the hook) on initial; nullopt when cancelled.
    static std::optional<COLORREF> RunColorDialog(COLORREF initial, QWidget* parent);

    // From the popup: the colour chosen on release, or the other-colours
    // button.
    void OnPopupRelease(COLORREF chosen);
    void OnMoreColors();

    QSize sizeHint() const override { return QSize(40, 23); }

signals:
    void command(int controlId);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    bool openPopup(const QPoint& screenPoint);
    void closePopup();

    QPointer<QWidget> m_buddy;
    COLORREF m_color;
    QPointer<skin::ColorPopup> m_popup;
    int m_controlId = 0;
};
