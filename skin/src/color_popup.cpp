#include "color_popup.h"

#include "skin/color_picker_button.h"
#include "skin/colors.h"
#include "skin/draw3d.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QPainter>

namespace skin {

int ColorPopup::s_focusCell = -1;
int ColorPopup::s_framedCell = -1;

namespace {

constexpr int kGridHeight = 120;
const QRect kPreview(0, 133, 60, 17);
const QRect kBand(0, 120, 191, 30);

// The other-colours button: skin base face, three little squares, caption.
class OtherColorsButton : public QAbstractButton {
public:
    explicit OtherColorsButton(QWidget* parent) : QAbstractButton(parent) { setText(QStringLiteral("其他颜色")); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect r = rect();
        const SkinState* skin = CurrentSkin();
        const COLORREF base = skin != nullptr ? skin->m_clrSkinBase : COLOR_BTNFACE;
        p.fillRect(r, ToQColor(base));
        const bool pressed = isDown();
        Draw3dRect(p, r, pressed ? Qt::black : Qt::white, pressed ? Qt::white : Qt::black);
        const int shift = pressed ? 1 : 0;
        const COLORREF squares[3] = {0x0000FF, 0x00FF00, 0x00FFFF};
        for (int i = 0; i < 3; ++i) {
            const QRect sq(3 + 2 * i + shift, 6 + 2 * i + shift, 5, 5);
            p.fillRect(sq, ToQColor(squares[i]));
            p.setPen(ToQColor(COLOR_3DDKSHADOW));
            p.drawRect(sq.adjusted(0, 0, -1, -1));
        }
        p.setFont(IconTitleFont());
        p.setPen(Qt::black);
        p.drawText(r.adjusted(12 + shift, shift, shift, shift), Qt::AlignCenter, text());
    }
};

// The browser's other-colours button: light grey, raised or sunken, three
// overlapping squares.
class SmallOtherColorsButton : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect r = rect();
        p.fillRect(r, QColor(0xC0, 0xC0, 0xC0));
        const bool sunken = isDown();
        const QColor dark = ToQColor(COLOR_3DDKSHADOW);
        Draw3dRect(p, r, sunken ? dark : Qt::white, sunken ? Qt::white : dark);
        const int shift = sunken ? 1 : 0;
        const COLORREF squares[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 0)};
        for (int i = 0; i < 3; ++i)
            p.fillRect(QRect(QPoint(3 + 2 * i + shift, 3 + 2 * i + shift), QSize(5, 5)), ToQColor(squares[i]));
    }
};

} // namespace

ColorPopup::ColorPopup(CColorPickerButton* owner, COLORREF initial)
    : QWidget(owner, Qt::Popup), m_owner(owner), m_initial(initial), m_hot(initial)
{
    setObjectName(QStringLiteral("ColorPalette"));
    setWindowTitle(QStringLiteral("Palatte"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);
    setCursor(CColorPickerButton::EyedropperCursor());
    const SkinState* skin = CurrentSkin();
    m_browser = skin != nullptr && skin->m_look == SkinLook::Browser;
    if (m_browser) {
        m_more = new SmallOtherColorsButton(this);
        m_more->setGeometry(QRect(ToWidget(kBrowserMoreButton.topLeft()), kBrowserMoreButton.size()));
    } else {
        m_more = new OtherColorsButton(this);
        m_more->setGeometry(QRect(ToWidget(QPoint(62, 123)), QSize(125, 22)));
    }
    m_more->setObjectName(QString::number(kMoreButtonId));
    m_more->setCursor(CColorPickerButton::EyedropperCursor());
    connect(m_more, &QAbstractButton::clicked, this, [this] {
        m_done = true;
        if (m_owner)
            m_owner->OnMoreColors();
    });
}

int ColorPopup::CellAt(QPoint c)
{
    if (c.x() < 0 || c.y() < 0 || c.y() >= kGridHeight || c.x() >= kColumns * 10)
        return -1;
    if (c.x() % 10 == 9 || c.y() % 10 == 9)
        return -1;
    return (c.y() / 10) * kColumns + c.x() / 10;
}

COLORREF ColorPopup::CellColor(int cell)
{
    if (cell < 0 || cell >= kColumns * kRows)
        return CColorPickerButton::kNoColor;
    if (cell == kNoColorCell)
        return CColorPickerButton::kNoColor;
    const int col = cell % kColumns;
    const int row = cell / kColumns;
    if (col == 0) {
        const int grey = row == 11 ? 0 : row == 10 ? 23 : 255 - 23 * row;
        return RGB(grey, grey, grey);
    }
    const int c = col - 1;
    const int block = row / 6;
    const int r = row % 6;
    return RGB(51 * (3 * block + c / 6), 51 * (c % 6), 51 * r);
}

COLORREF ColorPopup::CellColorOf(int cell) const
{
    if (m_browser && cell == kNoColorCell) {
        // The last cube cell: k = 108 + 17 x 6 + 5.
        const int k = 215;
        return RGB(k / 36 * 51, k / 6 % 6 * 51, k % 6 * 51);
    }
    return CellColor(cell);
}

std::optional<COLORREF> ColorPopup::ScreenColor(QPoint global)
{
    QScreen* screen = QGuiApplication::screenAt(global);
    if (screen == nullptr)
        return std::nullopt;
    const QPoint local = global - screen->geometry().topLeft();
    const QPixmap shot = screen->grabWindow(0, local.x(), local.y(), 1, 1);
    if (shot.isNull())
        return std::nullopt;
    const QImage img = shot.toImage();
    if (img.isNull() || img.width() < 1 || img.height() < 1)
        return std::nullopt;
    return FromQRgb(img.pixel(0, 0));
}

QRect ColorPopup::CellRect(int cell)
{
    return QRect(10 * (cell % kColumns), 10 * (cell / kColumns), 9, 9);
}

QPoint ColorPopup::Placement(const QRect& button, const QRect& screen)
{
    int x = button.left();
    if (x < screen.left())
        x = screen.left();
    if (x > screen.left() + screen.width() - kWidth)
        x = screen.left() + screen.width() - kWidth;
    int y = button.top() + button.height() - 1;
    if (y > screen.top() + screen.height() - kHeight)
        y -= kHeight;
    return {x, y};
}

void ColorPopup::BeginPress(QPoint client, bool fromButton)
{
    m_opening = fromButton;
    m_pressPoint = client;
    m_moved = false;
    m_pressed = true;
    update(QRect(ToWidget(QPoint(15, 123)), QSize(30, 9)));
}

void ColorPopup::track(QPoint c)
{
    if (!QRect(0, 0, kWidth - 2, kHeight - 2).contains(c) && m_browser) {
        // Outside: the screen's colour under the mouse, where it can be read.
        if (const std::optional<COLORREF> screen = ScreenColor(mapToGlobal(ToWidget(c))))
            m_hot = *screen;
        if (s_focusCell != -1)
            s_focusCell = -1;
        setCursor(CColorPickerButton::EyedropperCursor());
        update();
        return;
    }
    if (!QRect(0, 0, kWidth - 2, kHeight - 2).contains(c)) {
        if (m_hot != m_initial) {
            m_hot = m_initial;
            update();
        }
        setCursor(Qt::ArrowCursor);
        return;
    }
    int cell = -1;
    if (c.y() < kGridHeight) {
        cell = CellAt(c);
        setCursor(CColorPickerButton::EyedropperCursor());
    } else {
        m_hot = m_initial;
        setCursor(Qt::ArrowCursor);
    }
    if (cell != s_focusCell) {
        if (cell != -1)
            m_hot = CellColorOf(cell);
        s_focusCell = cell;
    }
    update();
}

void ColorPopup::mousePressEvent(QMouseEvent* e)
{
    const QPoint c = ToClient(e->position().toPoint());
    if (!rect().contains(e->position().toPoint())) {
        // A press outside closes the popup (deactivation).
        QWidget::mousePressEvent(e);
        return;
    }
    if (c.y() < kGridHeight)
        track(c);
    BeginPress(c, false);
}

void ColorPopup::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint c = ToClient(e->position().toPoint());
    if (c == m_pressPoint)
        return;
    if (m_pressed)
        m_moved = true;
    track(c);
}

void ColorPopup::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint c = ToClient(e->position().toPoint());
    const bool clicked = m_pressed && c == m_pressPoint && !m_opening;
    m_opening = false;
    m_pressed = false;
    if (m_moved || clicked) {
        if (!QRect(0, 0, kWidth - 2, kHeight - 2).contains(c) && !m_browser)
            m_hot = m_initial;
        commit();
    }
}

void ColorPopup::commit()
{
    s_framedCell = s_focusCell;
    m_done = true;
    const COLORREF chosen = m_hot;
    if (m_owner)
        m_owner->OnPopupRelease(chosen);
}

void ColorPopup::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    if (m_done)
        return;
    // Closed by a click elsewhere: the hot colour counts only after a move.
    m_done = true;
    s_framedCell = s_focusCell;
    if (m_moved && m_owner)
        m_owner->OnPopupRelease(m_hot);
    else if (m_owner)
        m_owner->OnPopupRelease(m_initial);
}

void ColorPopup::paintBrowser(QPainter& p)
{
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.translate(1, 1);
    p.setClipRect(QRect(0, 0, kWidth - 2, kHeight - 2));
    for (int x = 9; x <= 179; x += 10)
        p.drawLine(x, 0, x, kGridHeight - 1);
    for (int y = 9; y <= 119; y += 10)
        p.drawLine(0, y, 189, y);
    p.fillRect(QRect(0, 120, 191, 30), QColor(0xC0, 0xC0, 0xC0));
    p.drawRect(kBrowserSwatch.adjusted(-1, -1, 0, 0));
    for (int cell = 0; cell < kColumns * kRows; ++cell)
        p.fillRect(CellRect(cell), ToQColor(CellColorOf(cell)));
    if (s_focusCell >= 0 && s_focusCell < kColumns * kRows) {
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(QRect(10 * (s_focusCell % kColumns), 10 * (s_focusCell / kColumns), 9, 9));
    }
    p.fillRect(kBrowserSwatch, ToQColor(m_hot == CColorPickerButton::kNoColor ? m_initial : m_hot));
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(kBrowserText, QSize(100, 16)), Qt::AlignLeft | Qt::AlignTop, CColorPickerButton::ColorText(m_hot));
}

void ColorPopup::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_browser) {
        paintBrowser(p);
        return;
    }
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.translate(1, 1);
    p.setClipRect(QRect(0, 0, kWidth - 2, kHeight - 2));
    // Grid lines.
    for (int x = 9; x <= 179; x += 10)
        p.drawLine(x, 0, x, kGridHeight - 1);
    for (int y = 9; y <= 119; y += 10)
        p.drawLine(0, y, 189, y);
    const SkinState* skin = CurrentSkin();
    const COLORREF mid = skin != nullptr ? skin->m_clrSkinMid : COLOR_BTNFACE;
    p.fillRect(kBand, ToQColor(mid));
    p.fillRect(QRect(14, 122, 32, 11), Qt::white);
    p.drawRect(QRect(14, 122, 31, 10));
    // Cells.
    for (int cell = 0; cell < kColumns * kRows; ++cell) {
        const QRect r = CellRect(cell);
        if (cell == kNoColorCell) {
            p.fillRect(r, QColor(0xC0, 0xC0, 0xC0));
            p.setPen(Qt::black);
            p.drawLine(r.left(), r.top(), r.right(), r.bottom());
            p.drawLine(r.right(), r.top(), r.left(), r.bottom());
            continue;
        }
        p.fillRect(r, ToQColor(CellColor(cell)));
    }
    if (s_framedCell >= 0 && s_framedCell < kColumns * kRows) {
        Draw3dRect(p, CellRect(s_framedCell).adjusted(-1, -1, 1, 1), ToQColor(0x909000), Qt::white);
    }
    if (s_focusCell >= 0 && s_focusCell < kColumns * kRows) {
        QPen dots(Qt::black, 1, Qt::DotLine);
        p.setPen(dots);
        p.drawRect(CellRect(s_focusCell).adjusted(0, 0, 0, 0));
    }
    // Preview.
    const bool none = m_hot == CColorPickerButton::kNoColor;
    p.fillRect(kPreview, none ? QColor(0xC0, 0xC0, 0xC0) : ToQColor(m_hot));
    p.setFont(IconTitleFont());
    p.setPen(Qt::black);
    p.drawText(kPreview, Qt::AlignCenter, none ? QStringLiteral("无色") : CColorPickerButton::ColorText(m_hot));
}

} // namespace skin
