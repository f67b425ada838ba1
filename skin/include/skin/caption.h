// Skinned captions: the band with icon, title and caption buttons that the
// frames and dialogs paint instead of the window manager's, and the
// mechanics behind the buttons (press, hover, release, the leave timer),
// moving and resizing. The painter takes its colours as arguments, so each
// program chooses its own.
#pragma once

#include "platform/colorref.h"

#include <QIcon>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace skin {

struct ImageList;

enum CaptionButton { kNoButton = -1, kCloseButton = 0, kMaxButton = 1, kMinButton = 2 };

// Which buttons a caption carries.
enum CaptionButtonSet { kCloseOnly = 1, kAllButtons = 7 };

struct CaptionColors {
    COLORREF bandFrom = 0; // the gloss band, top
    COLORREF bandTo = 0;
    std::vector<COLORREF> border; // frame lines from the outside in; the last fills the rest
    COLORREF text = 0;
};

class SkinState;

// The frames' and dialogs' scheme: the band pale to mid while active, grey
// to muted while inactive; border lines dark, base, then light.
CaptionColors SkinCaptionColors(const SkinState& skin, bool active);
// A caption bar reading the current skin at every paint, large images.
class CaptionBar;
CaptionBar* MakeSkinCaptionBar(QWidget* parent, int buttons);

// What a caption shows.
struct CaptionScene {
    int width = 0;
    QIcon icon;
    QString title;
    int buttons = kAllButtons;
    bool active = true;
    bool maximized = false;
    bool minimized = false;
};

// Press, hover and release of a row of caption buttons, by rectangle.
// Image of a button: its block + 0 normal, + 1 pressed, + 2 hover,
// + 3 inactive.
class CaptionButtons {
public:
    void SetRect(CaptionButton b, const QRect& r);
    QRect Rect(CaptionButton b) const;
    CaptionButton HitTest(QPoint p) const;

    // A press: true when it hit a button (now pressed).
    bool Press(QPoint p);
    // A move: true when what the buttons show changed.
    bool Move(QPoint p, bool leftDown);
    // A release: the button to run (released over the one pressed), else
    // none. Every pressed flag is cleared.
    CaptionButton Release(QPoint p);
    // The mouse left the window: back to normal.
    bool Leave();

    CaptionButton Pressed() const { return m_pressed; }
    CaptionButton Hover() const { return m_hover; }
    int ImageOffset(CaptionButton b, bool active) const;

private:
    QRect m_rects[3];
    CaptionButton m_pressed = kNoButton;
    CaptionButton m_hover = kNoButton;
};

// The caption band's height: frame plus button size.
int CaptionBandHeight();

// Lays out the caption buttons of a scene (window coordinates) and paints
// band, icon, title, buttons and the outline of the top edge.
void LayoutCaptionButtons(const CaptionScene& scene, CaptionButtons& buttons);
void PaintCaption(QPainter& p, const CaptionScene& scene, const CaptionColors& colors, const ImageList& images,
                  const CaptionButtons& buttons);
// The frame strips around a window of this size below the band.
void PaintFrameBorder(QPainter& p, QSize window, int top, const CaptionColors& colors);

// The block of images a button shows.
int CaptionGlyph(CaptionButton b, const CaptionScene& scene);

// The edges of a frame a point lies on (border pixels wide).
Qt::Edges FrameEdgesAt(QSize window, QPoint p, int border);

// A caption as a widget at the top of a window: paints through PaintCaption
// with the colours its owner gives, runs the buttons, moves the window when
// the band is dragged, and returns a hover look to normal once the mouse has
// left the window (checked by a leave timer).
class CaptionBar : public QWidget {
    Q_OBJECT
public:
    CaptionBar(QWidget* parent, int buttons, std::function<CaptionColors(bool active)> colors,
               std::function<const ImageList*()> images);

    void SetIcon(const QIcon& icon) { m_icon = icon; update(); }
    void SetActive(bool active);
    bool IsActive() const { return m_active; }
    // The window the caption moves and whose title it shows.
    void SetTarget(QWidget* target) { m_target = target; }
    // Period of the leave timer (100 ms by default).
    void SetLeaveInterval(int ms) { m_leaveTimer.setInterval(ms); }
    bool IsLeaveTimerActive() const { return m_leaveTimer.isActive(); }

    const CaptionButtons& Buttons() const { return m_buttons; }
    CaptionScene Scene() const;
    // Checks the cursor once, as the leave timer does.
    void CheckLeave();

    QSize sizeHint() const override;

signals:
    void buttonClicked(int button);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QWidget* target() const;

    int m_buttonSet;
    std::function<CaptionColors(bool)> m_colors;
    std::function<const ImageList*()> m_images;
    QIcon m_icon;
    QWidget* m_target = nullptr;
    bool m_active = true;
    CaptionButtons m_buttons;
    QTimer m_leaveTimer;
    int m_outsideTicks = 0;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

// Resizing a frameless top-level window from its border: the window lets
// this handle its presses and cursor shapes.
bool StartFrameResize(QWidget* window, QPoint p, int border);
void UpdateFrameCursor(QWidget* window, QPoint p, int border);

} // namespace skin
