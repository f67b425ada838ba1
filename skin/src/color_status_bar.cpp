#include "skin/color_status_bar.h"

#include "skin/colors.h"
#include "skin/draw3d.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"

#include <QPainter>

CColorStatusBar::CColorStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    connect(this, &QStatusBar::messageChanged, this, [this] { update(); });
    const skin::SkinState* skin = skin::CurrentSkin();
    m_brBack = skin != nullptr ? skin->m_clrSkinMid : skin::COLOR_BTNFACE;
}

bool CColorStatusBar::SetIndicators(const int* ids, int count, const std::function<QString(int id)>& textOf)
{
    m_panes.clear();
    const QFontMetrics fm(font());
    for (int i = 0; i < count; ++i) {
        Pane pane{ids[i], {}, SBPS_NORMAL, 0};
        if (ids[i] == kMessagePaneId) {
            pane.style = SBPS_STRETCH;
            pane.text = textOf(ids[i]);
        } else {
            pane.text = textOf(ids[i]);
            if (pane.text.isEmpty())
                return false;
            pane.width = fm.horizontalAdvance(pane.text) + 12;
        }
        m_panes.push_back(pane);
    }
    update();
    return true;
}

int CColorStatusBar::GetItemID(int index) const
{
    return index >= 0 && index < GetCount() ? m_panes[std::size_t(index)].id : -1;
}

int CColorStatusBar::CommandToIndex(int id) const
{
    for (int i = 0; i < GetCount(); ++i) {
        if (m_panes[std::size_t(i)].id == id)
            return i;
    }
    return -1;
}

QString CColorStatusBar::GetPaneText(int index) const
{
    return index >= 0 && index < GetCount() ? m_panes[std::size_t(index)].text : QString();
}

void CColorStatusBar::SetPaneText(int index, const QString& text)
{
    if (index < 0 || index >= GetCount() || m_panes[std::size_t(index)].text == text)
        return;
    m_panes[std::size_t(index)].text = text;
    update();
}

unsigned CColorStatusBar::GetPaneStyle(int index) const
{
    return index >= 0 && index < GetCount() ? m_panes[std::size_t(index)].style : 0;
}

void CColorStatusBar::SetPaneStyle(int index, unsigned style)
{
    if (index < 0 || index >= GetCount() || m_panes[std::size_t(index)].style == style)
        return;
    m_panes[std::size_t(index)].style = style;
    update();
}

QString CColorStatusBar::GetMessageText() const
{
    const QString message = currentMessage();
    if (!message.isEmpty())
        return message;
    const int index = CommandToIndex(kMessagePaneId);
    return GetPaneText(index);
}

QSize CColorStatusBar::sizeHint() const
{
    return QSize(QStatusBar::sizeHint().width(), fontMetrics().height() + 10);
}

QRect CColorStatusBar::GetItemRect(int index) const
{
    if (index < 0 || index >= GetCount())
        return {};
    // Panes are laid out from the right, the stretching one takes the rest.
    const int top = 3;
    const int height = this->height() - 5;
    int right = width() - kGripWidth;
    std::vector<QRect> rects(m_panes.size());
    for (int i = GetCount() - 1; i >= 0; --i) {
        const Pane& pane = m_panes[std::size_t(i)];
        if (pane.style & SBPS_STRETCH)
            break;
        int w = pane.width;
        if (i == GetCount() - 1)
            w += 4;
        rects[std::size_t(i)] = QRect(right - w, top, w, height);
        right -= w + 2;
    }
    int left = 2;
    for (int i = 0; i < GetCount(); ++i) {
        const Pane& pane = m_panes[std::size_t(i)];
        if (pane.style & SBPS_STRETCH) {
            int end = right;
            for (int j = i + 1; j < GetCount(); ++j) {
                if (!rects[std::size_t(j)].isNull()) {
                    end = rects[std::size_t(j)].left() - 2;
                    break;
                }
            }
            rects[std::size_t(i)] = QRect(left, top, qMax(0, end - left), height);
        }
        if (!rects[std::size_t(i)].isNull())
            left = rects[std::size_t(i)].right() + 3;
    }
    return rects[std::size_t(index)];
}

void CColorStatusBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const skin::SkinState* skin = skin::CurrentSkin();
    if (skin != nullptr && skin->m_look == skin::SkinLook::Browser)
        paintBrowser(p);
    else
        paintReport(p);
}

void CColorStatusBar::paintBrowser(QPainter& p)
{
    const skin::SkinState& s = *skin::CurrentSkin();
    const QColor mid = skin::ToQColor(s.m_clrSkinMid);
    const QColor base = skin::ToQColor(s.m_clrSkinBase);
    const QColor light = skin::ToQColor(s.m_clrSkinLight);
    const QColor dark = skin::ToQColor(s.m_clrSkinDark);
    // The erase: mid shade, a base and a light line along the top.
    p.fillRect(rect(), mid);
    p.fillRect(0, 0, width(), 1, base);
    p.fillRect(0, 1, width(), 1, light);

    // Size grip: six 3 x 3 squares, dark at the top left, light at the
    // bottom right.
    const int r = width();
    const int b = height();
    const QPoint corners[6] = {{r - 5, b - 5},  {r - 5, b - 10}, {r - 10, b - 5},
                               {r - 10, b - 10}, {r - 15, b - 5}, {r - 5, b - 15}};
    for (const QPoint& c : corners)
        skin::Draw3dRect(p, QRect(c, QSize(3, 3)), dark, light);

    p.setFont(skin::IconTitleFont());
    for (int i = 0; i < GetCount(); ++i) {
        const Pane& pane = m_panes[std::size_t(i)];
        QRect rc = GetItemRect(i);
        // The last of four panes is as wide as the third plus 4.
        if (i == 3)
            rc.setWidth(GetItemRect(2).width() + 4);
        p.fillRect(rc, mid);
        if (!(pane.style & SBPS_DISABLED)) {
            const QString text = pane.id == kMessagePaneId ? GetMessageText() : pane.text;
            p.setPen(palette().windowText().color());
            p.drawText(rc, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        }
        skin::Draw3dRect(p, QRect(rc.left() + rc.width() - 2, rc.top(), 2, rc.height()), base, light);
    }
}

void CColorStatusBar::paintReport(QPainter& p)
{
    const skin::SkinRoles colors = skin::CurrentRoles();
    // Background with a light and a dark line along the top.
    p.fillRect(rect(), colors.background);
    p.setPen(colors.light);
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(colors.dark);
    p.drawLine(0, 1, width() - 1, 1);

    // Size grip: six raised 3-pixel squares in a staircase, 5 pixels apart.
    const int gx = width() - 5;
    const int gy = height() - 5;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col <= row; ++col) {
            const QRect r(gx - 5 * col - 3, gy - 5 * (2 - row) - 3, 3, 3);
            p.fillRect(r, colors.base);
            skin::Draw3dRect(p, r, colors.light, colors.dark);
        }
    }

    QFont f = font();
    p.setFont(f);
    for (int i = 0; i < GetCount(); ++i) {
        const Pane& pane = m_panes[std::size_t(i)];
        QRect r = GetItemRect(i);
        p.fillRect(r, colors.background);
        if (!(pane.style & SBPS_DISABLED)) {
            const QString text = pane.id == kMessagePaneId ? GetMessageText() : pane.text;
            p.setPen(palette().windowText().color());
            p.drawText(r.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        }
        skin::Draw3dRect(p, r.adjusted(0, 0, -2, 0), colors.light, colors.dark);
    }
}
