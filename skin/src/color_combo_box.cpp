#include "skin/color_combo_box.h"

#include "skin/colors.h"
#include "skin/metrics.h"

#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {

struct NamedColor {
    COLORREF color;
    const char* name;
};

constexpr NamedColor kDefaults[CColorComboBox::kDefaultCount] = {
    {0xFEFEFE, "NULL"},        {0xFFFFFF, "White"},       {0x00FF00, "Green"},        {0xFF0000, "Blue"},
    {0x00FFFF, "Yellow"},      {0xFF00FF, "Magenta"},     {0xFFFF00, "Cyan"},         {0x000080, "Dark Red"},
    {0x008000, "Dark Green"},  {0x800000, "Dark Blue"},   {0x008080, "Dark Yellow"},  {0x800080, "Dark Magenta"},
    {0x808000, "Dark Cyan"},   {0x0000FF, "Red"},         {0xC0C0C0, "Gray"},
};

// An item: swatch, then the name 39 pixels in.
void drawColorItem(QPainter& p, const QRect& r, COLORREF swatch, const QString& text, bool focus, bool enabled)
{
    using skin::ToQColor;
    COLORREF textColor = skin::COLOR_WINDOWTEXT;
    COLORREF back = skin::COLOR_WINDOW;
    if (focus) {
        back = skin::COLOR_HIGHLIGHT;
        textColor = ~skin::COLOR_WINDOWTEXT & 0xFFFFFF;
    }
    if (!enabled)
        textColor = swatch = skin::COLOR_INACTIVECAPTIONTEXT;
    p.save();
    p.fillRect(r, ToQColor(back));
    if (focus) {
        QPen dots(ToQColor(textColor), 1, Qt::DotLine);
        p.setPen(dots);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    p.setPen(Qt::black);
    p.setBrush(ToQColor(swatch));
    p.drawRect(QRect(QPoint(r.left() + 2, r.top() + 2), QPoint(r.left() + 31, r.bottom() - 2)));
    p.setPen(ToQColor(textColor));
    p.setFont(skin::IconTitleFont());
    p.drawText(r.adjusted(39, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    p.restore();
}

class ColorItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& index) const override
    {
        const COLORREF c = index.data(Qt::UserRole).toUInt();
        drawColorItem(*p, opt.rect, c, index.data(Qt::DisplayRole).toString(),
                      opt.state & (QStyle::State_Selected | QStyle::State_HasFocus),
                      opt.state & QStyle::State_Enabled);
    }
    QSize sizeHint(const QStyleOptionViewItem& opt, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(opt, index).width() + 39, 18);
    }
};

} // namespace

CColorComboBox::CColorComboBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new ColorItemDelegate(this));
}

int CColorComboBox::AddColor(COLORREF color, const QString& name)
{
    if (!IsColorNew(color))
        return -1;
    addItem(name, QVariant::fromValue(uint(color)));
    return count() - 1;
}

bool CColorComboBox::IsColorNew(COLORREF color) const
{
    for (int i = 0; i < count(); ++i) {
        if (ItemColor(i) == color)
            return false;
    }
    return true;
}

COLORREF CColorComboBox::ItemColor(int index) const { return itemData(index, Qt::UserRole).toUInt(); }

void CColorComboBox::InitDefaultColors()
{
    for (int i = 0; i < kDefaultCount; ++i) {
        m_defaultColors[std::size_t(i)] = kDefaults[i].color;
        AddColor(kDefaults[i].color, QString::fromLatin1(kDefaults[i].name));
    }
    SelectColor(m_color);
}

void CColorComboBox::SelectColor(COLORREF color)
{
    for (int i = 0; i < kDefaultCount; ++i) {
        if (m_defaultColors[std::size_t(i)] == color) {
            setCurrentIndex(i);
            return;
        }
    }
    setCurrentIndex(0);
    m_color = m_defaultColors[0];
}

COLORREF CColorComboBox::GetSelectedColor() const { return ItemColor(currentIndex()); }

void CColorComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    if (currentIndex() < 0)
        return;
    const QRect edit = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    drawColorItem(p, edit, ItemColor(currentIndex()), currentText(), hasFocus(), isEnabled());
}
