#include "skin/color_check_list_box.h"

#include "skin/color_picker_button.h"
#include "skin/colors.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr COLORREF kGrayText = 0x808080;

class ColorCheckDelegate : public QStyledItemDelegate {
public:
    ColorCheckDelegate(const CColorCheckListBox* list, QObject* parent) : QStyledItemDelegate(parent), m_list(list) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QWidget* w = m_list;
        QStyle* style = w->style();
        const bool selected = opt.state & QStyle::State_Selected;
        const bool enabled = (opt.state & QStyle::State_Enabled) && m_list->isEnabled();
        // The check box, as the base list draws it.
        const QRect check = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, w);
        QStyleOptionViewItem box = opt;
        box.rect = check;
        box.state = box.state & ~QStyle::State_HasFocus;
        box.state |= opt.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
        p->fillRect(opt.rect, opt.palette.base());
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, p, w);

        // The text at its tab stops, on an opaque band.
        const QRect item(check.right() + 3, opt.rect.top(), opt.rect.right() - check.right() - 2, opt.rect.height());
        p->fillRect(item, selected ? opt.palette.highlight() : opt.palette.base());
        QColor text = selected ? opt.palette.highlightedText().color() : skin::ToQColor(0x000000);
        if (!enabled)
            text = skin::ToQColor(kGrayText);
        p->setPen(text);
        // Each tab goes to the next stop past the text before it; past the
        // last stop, to the next multiple of eight average characters.
        const QStringList parts = opt.text.split(QLatin1Char('\t'));
        const std::vector<int>& stops = m_list->GetTabStops();
        const QFontMetrics fm = p->fontMetrics();
        const int defaultTab = qMax(1, 8 * fm.averageCharWidth());
        int x = item.left();
        for (int i = 0; i < parts.size(); ++i) {
            if (i > 0) {
                const int end = x - item.left();
                const auto stop = std::upper_bound(stops.begin(), stops.end(), end);
                x = item.left() + (stop != stops.end() ? *stop : (end / defaultTab + 1) * defaultTab);
            }
            p->drawText(QRect(x, item.top(), qMax(0, item.right() - x + 1), item.height()), Qt::AlignLeft | Qt::AlignVCenter,
                        parts[i]);
            x += fm.horizontalAdvance(parts[i]);
        }
        // The swatch.
        const QRect swatch = m_list->SwatchRect(item);
        if (!swatch.isEmpty()) {
            p->setPen(text);
            p->setBrush(skin::ToQColor(m_list->GetColor(index.row())));
            p->drawRect(swatch.adjusted(0, 0, -1, -1));
        }
        if (opt.state & QStyle::State_HasFocus) {
            p->setPen(QPen(text, 1, Qt::DotLine));
            p->setBrush(Qt::NoBrush);
            p->drawRect(item.adjusted(0, 0, -1, -1));
        }
    }

private:
    const CColorCheckListBox* m_list;
};

} // namespace

CColorCheckListBox::CColorCheckListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new ColorCheckDelegate(this, this));
    ensureSlots();
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] { ensureSlots(); });
    connect(this, &QListWidget::currentRowChanged, this, [this] { placeButton(); });
}

void CColorCheckListBox::ensureSlots()
{
    const std::size_t n = std::size_t(qMax(kMinSlots, count()));
    if (m_colors.size() < n) {
        m_colors.resize(n, 0);
        m_checks.resize(n, 0);
    }
}

int CColorCheckListBox::SetTabStops(const std::vector<int>& dialogUnits)
{
    const int base = qMax(1, fontMetrics().averageCharWidth());
    m_tabStops.clear();
    int result = 1;
    for (int units : dialogUnits) {
        const int px = units * base / 4;
        if (!m_tabStops.empty() && px <= m_tabStops.back()) {
            result = 0;
            break;
        }
        m_tabStops.push_back(px);
    }
    viewport()->update();
    return result;
}

void CColorCheckListBox::SetColor(int index, COLORREF color)
{
    ensureSlots();
    if (index < 0 || index >= int(m_colors.size()))
        return;
    m_colors[std::size_t(index)] = color;
    viewport()->update();
}

COLORREF CColorCheckListBox::GetColor(int index) const
{
    return index >= 0 && index < int(m_colors.size()) ? m_colors[std::size_t(index)] : 0;
}

int CColorCheckListBox::GetCheck(int index) const
{
    if (const QListWidgetItem* it = item(index))
        return it->checkState() == Qt::Checked ? 1 : 0;
    return index >= 0 && index < int(m_checks.size()) ? m_checks[std::size_t(index)] : 0;
}

QListWidgetItem* CColorCheckListBox::AddEntry(const QString& text, bool checked, COLORREF color)
{
    auto* it = new QListWidgetItem(text, this);
    it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
    it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    SetColor(row(it), color);
    return it;
}

QRect CColorCheckListBox::SwatchRect(const QRect& itemRect) const
{
    const int offset = m_tabStops.size() >= 2 ? m_tabStops[0] + m_tabStops[1] / 2 : kDefaultSwatchOffset;
    const QRect swatch(itemRect.left() + offset, itemRect.top() + 2, 24, itemRect.height() - 4);
    return swatch.intersected(itemRect);
}

void CColorCheckListBox::placeButton()
{
    QListWidgetItem* it = currentItem();
    if (it == nullptr)
        return;
    const QRect r = visualItemRect(it);
    QRect at = r;
    if (r.width() > kButtonWidth)
        at.setLeft(r.right() + 1 - kButtonWidth);
    if (!m_button) {
        m_button = new QPushButton(QStringLiteral("..."), viewport());
        m_button->setObjectName(QString::number(kColorButtonId));
        connect(m_button, &QPushButton::clicked, this, &CColorCheckListBox::OnColorButton);
    }
    m_button->setGeometry(at);
    m_button->show();
    m_button->setFocus(Qt::OtherFocusReason);
}

void CColorCheckListBox::OnColorButton()
{
    const int i = currentRow();
    if (i < 0 || i >= int(m_colors.size()))
        return;
    if (const std::optional<COLORREF> chosen = CColorPickerButton::RunColorDialog(GetColor(i), this)) {
        m_colors[std::size_t(i)] = *chosen;
        viewport()->update(visualItemRect(item(i)));
    }
}

void CColorCheckListBox::saveChecks()
{
    ensureSlots();
    for (int i = 0; i < count() && i < int(m_checks.size()); ++i)
        m_checks[std::size_t(i)] = item(i)->checkState() == Qt::Checked ? 1 : 0;
}

void CColorCheckListBox::hideEvent(QHideEvent* e)
{
    saveChecks();
    QListWidget::hideEvent(e);
}
