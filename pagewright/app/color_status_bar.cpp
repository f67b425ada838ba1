#include "color_status_bar.h"

#include "resource_ids.h"
#include "string_table.h"

#include "skin/colors.h"
#include "skin/draw3d.h"
#include "skin/skin_colors.h"

#include <QPainter>

CColorStatusBar::CColorStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    connect(this, &QStatusBar::messageChanged, this, [this] { update(); });
}

bool CColorStatusBar::SetIndicators(const int* ids, int count)
{
    m_panes.clear();
    const QFontMetrics fm(font());
    for (int i = 0; i < count; ++i) {
        Pane pane{ids[i], {}, SBPS_NORMAL, 0};
        if (ids[i] == res::ID_SEPARATOR) {
            pane.style = SBPS_STRETCH;
            pane.text = LoadStringRes(res::AFX_IDS_IDLEMESSAGE);
        } else {
            pane.text = LoadStringRes(ids[i]);
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
    const int index = CommandToIndex(res::ID_SEPARATOR);
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
            const QString text = pane.id == res::ID_SEPARATOR ? GetMessageText() : pane.text;
            p.setPen(palette().windowText().color());
            p.drawText(r.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        }
        skin::Draw3dRect(p, r.adjusted(0, 0, -2, 0), colors.light, colors.dark);
    }
}
