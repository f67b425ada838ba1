#include "skin/color_picker_button.h"

#include "color_popup.h"
#include "skin/colors.h"
#include "skin/draw3d.h"
#include "skin/metrics.h"

#include <QBitmap>
#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {

CColorPickerButton::ColorDialogHook& dialogHook()
{
    static CColorPickerButton::ColorDialogHook hook;
    return hook;
}

// The eyedropper, 16 rows: AND mask and XOR mask, leftmost pixel in the
// top bit.
constexpr quint16 kAnd[16] = {0xFFF1, 0xFFE0, 0xFFC0, 0xFF00, 0xFF81, 0xFF03, 0xFE07, 0xFC17,
                              0xF83F, 0xF07F, 0xE0FF, 0xC1FF, 0x83FF, 0x87FF, 0x0FFF, 0x3FFF};
constexpr quint16 kXor[16] = {0x0000, 0x000C, 0x0008, 0x0010, 0x0000, 0x0040, 0x00E0, 0x01C0,
                              0x0380, 0x0700, 0x0E00, 0x1C00, 0x3800, 0x3000, 0x4000, 0x0000};

} // namespace

CColorPickerButton::CColorPickerButton(QWidget* parent) : QAbstractButton(parent), m_color(skin::COLOR_BTNFACE) {}

CColorPickerButton::~CColorPickerButton()
{
    if (m_popup) {
        m_popup->disconnect();
        delete m_popup;
    }
}

QCursor CColorPickerButton::EyedropperCursor()
{
    static const QCursor cursor = [] {
        const int cx = skin::SM_CXCURSOR;
        const int cy = skin::SM_CYCURSOR;
        if (cx < 16 || cx > 99 || cy < 16 || cy > 99)
            return QCursor(Qt::ArrowCursor);
        // Qt: mask 1 opaque; bitmap 1 black, 0 white.
        QImage bits(cx, cy, QImage::Format_Mono);
        QImage mask(cx, cy, QImage::Format_Mono);
        bits.fill(0);
        mask.fill(0);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool andBit = (kAnd[y] >> (15 - x)) & 1;
                const bool xorBit = (kXor[y] >> (15 - x)) & 1;
                if (!andBit) {
                    mask.setPixel(x, y, 1);
                    bits.setPixel(x, y, xorBit ? 0 : 1);
                }
            }
        }
        return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), 0, 15);
    }();
    return cursor;
}

void CColorPickerButton::SetColorDialogHook(ColorDialogHook hook) { dialogHook() = std::move(hook); }

QString CColorPickerButton::ColorText(COLORREF c)
{
    return QStringLiteral("#%1%2%3")
        .arg(GetRValue(c), 2, 16, QLatin1Char('0'))
        .arg(GetGValue(c), 2, 16, QLatin1Char('0'))
        .arg(GetBValue(c), 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString CColorPickerButton::GetColorText() const { return ColorText(m_color); }

void CColorPickerButton::SetColor(COLORREF color)
{
    m_color = color;
    emit command(m_controlId);
    if (parentWidget() != nullptr)
        parentWidget()->update();
    if (m_buddy)
        m_buddy->setProperty("text", GetColorText());
    update();
}

bool CColorPickerButton::openPopup(const QPoint& screenPoint)
{
    if (!m_popup) {
        m_popup = new skin::ColorPopup(this, m_color);
        const QRect button(mapToGlobal(QPoint(0, 0)), size());
        const QScreen* s = screen();
        const QRect area = s != nullptr ? s->geometry() : QRect(0, 0, 1600, 1000);
        m_popup->move(skin::ColorPopup::Placement(button, area));
    }
    m_popup->show();
    m_popup->BeginPress(skin::ColorPopup::ToClient(m_popup->mapFromGlobal(screenPoint)), true);
    update();
    return true;
}

skin::ColorPopup* CColorPickerButton::GetPopup() const { return m_popup; }

bool CColorPickerButton::IsPopupOpen() const { return m_popup != nullptr; }

void CColorPickerButton::OpenPopup(const QPoint& screenPoint) { openPopup(screenPoint); }

void CColorPickerButton::closePopup()
{
    if (m_popup) {
        skin::ColorPopup* popup = m_popup;
        m_popup = nullptr;
        if (popup->isVisible())
            popup->close();
    }
    update();
}

void CColorPickerButton::mousePressEvent(QMouseEvent* e)
{
    QAbstractButton::mousePressEvent(e);
    setDown(false);
    if (e->button() == Qt::LeftButton)
        openPopup(e->globalPosition().toPoint());
}

void CColorPickerButton::OnPopupRelease(COLORREF chosen)
{
    closePopup();
    if (chosen == m_color)
        update();
    else
        SetColor(chosen);
}

std::optional<COLORREF> CColorPickerButton::RunColorDialog(COLORREF initial, QWidget* parent)
{
    if (dialogHook())
        return dialogHook()(initial);
    const QColor c = QColorDialog::getColor(initial == kNoColor ? QColor(Qt::black) : skin::ToQColor(initial), parent);
    if (!c.isValid())
        return std::nullopt;
    return skin::FromQColor(c);
}

void CColorPickerButton::OnMoreColors()
{
    closePopup();
    // The dialog opens on black.
    if (const std::optional<COLORREF> chosen = RunColorDialog(0, nullptr))
        SetColor(*chosen);
}

void CColorPickerButton::paintEvent(QPaintEvent*)
{
    using skin::ToQColor;
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, ToQColor(skin::COLOR_BTNFACE));
    if (!m_popup) {
        skin::Draw3dRect(p, r, Qt::white, ToQColor(skin::COLOR_3DDKSHADOW));
        const QColor face = ToQColor(skin::COLOR_BTNFACE);
        skin::Draw3dRect(p, r.adjusted(1, 1, -1, -1), face, face);
    }
    const QRect sw = r.adjusted(3, 3, -3, -3);
    p.fillRect(sw, ToQColor(m_color));
    const int l = sw.left();
    const int t = sw.top();
    const int right = sw.right() + 1;
    const int b = sw.bottom() + 1;
    p.setPen(ToQColor(skin::COLOR_3DDKSHADOW));
    p.drawLine(l - 1, b - 1, l - 1, t - 1);
    p.drawLine(l - 1, t - 1, right, t - 1);
    p.setPen(Qt::white);
    p.drawLine(l - 1, b, right - 6, b);
    p.drawLine(right - 6, b, right - 6, b - 4);
    p.drawLine(right - 6, b - 4, right, b - 4);
    p.drawLine(right, t - 1, right, b - 3);
    // The notch with its down mark.
    const QRect notch(right - 6, b - 4, 6, 4);
    p.fillRect(notch, ToQColor(skin::COLOR_BTNFACE));
    p.setPen(Qt::black);
    for (int row = 0; row < 3; ++row)
        p.drawLine(notch.left() + row, notch.top() + row, notch.left() + 4 - row, notch.top() + row);
}
