#include "skin/font_combos.h"

#include "font_families.h"
#include "skin/format_bar_receiver.h"

#include <QAbstractItemView>
#include <QCollator>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <string>

// ---------------------------------------------------------------------------
// CFontComboBase

CFontComboBase::CFontComboBase(QWidget* parent) : CFlatComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void CFontComboBase::LimitText(int limit)
{
    m_limit = limit;
    if (QLineEdit* edit = lineEdit())
        edit->setMaxLength(limit > 0 ? limit : 32767);
}

int CFontComboBase::FindString(const QString& text) const
{
    if (text.isEmpty())
        return -1;
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).startsWith(text, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

int CFontComboBase::FindStringExact(const QString& text) const
{
    for (int i = 0; i < count(); ++i) {
        if (itemText(i) == text)
            return i;
    }
    return -1;
}

void CFontComboBase::showPopup()
{
    emit droppingDown();
    CFlatComboBox::showPopup();
}

void CFontComboBase::hidePopup()
{
    const bool wasOpen = view() != nullptr && view()->isVisible();
    CFlatComboBox::hidePopup();
    if (wasOpen)
        emit closedUp();
}

void CFontComboBase::focusInEvent(QFocusEvent* e)
{
    CFlatComboBox::focusInEvent(e);
    // The list dropping down keeps the focus in the combo.
    if (e->reason() != Qt::PopupFocusReason)
        emit focusIn();
}

void CFontComboBase::focusOutEvent(QFocusEvent* e)
{
    CFlatComboBox::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason)
        emit focusOut();
}

// ---------------------------------------------------------------------------
// CFontNameCombo

namespace {

int g_stockFontHeight = 0;

constexpr int kGlyphWidth = 16;
constexpr int kGlyphHeight = 15;
constexpr int kTextIndent = 22;

// The scalable-font mark in front of a name: two overlapping letters T.
const QPixmap& trueTypeGlyph()
{
    static const QPixmap glyph = [] {
        QImage img(kGlyphWidth, kGlyphHeight, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        auto tee = [&img](int x, int y, QRgb c) {
            for (int i = 0; i < 7; ++i)
                img.setPixel(x + i, y, c);
            for (int j = 1; j < 8; ++j)
                img.setPixel(x + 3, y + j, c);
        };
        tee(1, 2, qRgb(128, 128, 128));
        tee(6, 6, qRgb(0, 0, 0));
        return QPixmap::fromImage(img);
    }();
    return glyph;
}

class FontNameDelegate : public QStyledItemDelegate {
public:
    FontNameDelegate(const CFontNameCombo* combo, QObject* parent) : QStyledItemDelegate(parent), m_combo(combo) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width() + kTextIndent, CFontNameCombo::ItemHeight());
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect r = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& pal = option.palette;
        p->fillRect(r, selected ? pal.highlight() : pal.base());
        const FontRecord* rec = m_combo->GetRecord(index.row());
        if (rec != nullptr && (rec->flags & (FontRecord::kTrueType | FontRecord::kDevice)) != 0)
            p->drawPixmap(r.left(), r.top(), trueTypeGlyph());
        p->setPen(selected ? pal.highlightedText().color() : pal.text().color());
        p->drawText(r.adjusted(kTextIndent, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                    index.data(Qt::DisplayRole).toString());
        if (option.state & QStyle::State_HasFocus) {
            p->setPen(QPen(pal.text().color(), 1, Qt::DotLine));
            p->drawRect(r.adjusted(0, 0, -1, -1));
        }
    }

private:
    const CFontNameCombo* m_combo;
};

} // namespace

CFontNameCombo::CFontNameCombo(QWidget* parent) : CFontComboBase(parent)
{
    setItemDelegate(new FontNameDelegate(this, this));
}

void CFontNameCombo::SetStockFontHeight(int height) { g_stockFontHeight = height; }

int CFontNameCombo::ItemHeight() { return std::max(15, g_stockFontHeight); }

QString CFontNameCombo::ScriptName(std::uint8_t charSet)
{
    switch (charSet) {
    case GB2312_CHARSET: return QStringLiteral("中文 GB2312");
    case ANSI_CHARSET: return QStringLiteral("西方");
    default: return {};
    }
}

std::vector<FontRecord> CFontNameCombo::EnumerateFonts(std::uint8_t charSet)
{
    const char* lang = nullptr;
    switch (charSet) {
    case GB2312_CHARSET: lang = "zh-cn"; break;
    case ANSI_CHARSET: lang = "en"; break;
    default: return {};
    }
    std::vector<FontRecord> records;
    for (const skin::FontFamily& family : skin::ScalableFamilies(lang)) {
        // Vertical faces are left out.
        if (family.name.startsWith(QLatin1Char('@')))
            continue;
        FontRecord rec;
        rec.face = family.name;
        rec.script = ScriptName(charSet);
        rec.charSet = charSet;
        // FIXED_PITCH | FF_MODERN, or VARIABLE_PITCH.
        rec.pitchAndFamily = family.fixedPitch ? 0x31 : 0x02;
        rec.flags = FontRecord::kTrueType;
        records.push_back(std::move(rec));
    }
    return records;
}

void CFontNameCombo::FillFonts(std::uint8_t charSet)
{
    const QString remembered = currentText();
    std::vector<FontRecord> records;
    for (std::uint8_t set : {GB2312_CHARSET, ANSI_CHARSET}) {
        if (charSet == DEFAULT_CHARSET || charSet == set) {
            std::vector<FontRecord> found = EnumerateFonts(set);
            records.insert(records.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
        }
    }
    std::map<QString, int> seen;
    for (const FontRecord& rec : records)
        ++seen[rec.face];
    struct Entry {
        QString text;
        int record;
    };
    std::vector<Entry> entries;
    entries.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const FontRecord& rec = records[i];
        const bool duplicate = seen[rec.face] > 1 && !rec.script.isEmpty();
        entries.push_back({duplicate ? rec.face + QStringLiteral(" (") + rec.script + QLatin1Char(')') : rec.face, int(i)});
    }
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    std::stable_sort(entries.begin(), entries.end(),
                     [&collator](const Entry& a, const Entry& b) { return collator.compare(a.text, b.text) < 0; });

    const QSignalBlocker block(this);
    clear();
    m_records = std::move(records);
    for (const Entry& e : entries)
        addItem(e.text, e.record);
    const int again = FindString(remembered);
    if (again >= 0)
        setCurrentIndex(again);
    else
        setEditText(remembered);
}

const FontRecord* CFontNameCombo::GetRecord(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    bool ok = false;
    const int rec = itemData(index).toInt(&ok);
    return ok && rec >= 0 && rec < int(m_records.size()) ? &m_records[std::size_t(rec)] : nullptr;
}

void CFontNameCombo::SelectFace(const QString& face, std::uint8_t charSet)
{
    // The entries that begin with the face, in order: the first whose face
    // and set match.
    int found = -1;
    for (int i = 0; i < count() && !face.isEmpty(); ++i) {
        if (!itemText(i).startsWith(face, Qt::CaseInsensitive))
            continue;
        const FontRecord* rec = GetRecord(i);
        if (rec != nullptr && rec->face == face && (charSet == DEFAULT_CHARSET || rec->charSet == charSet)) {
            found = i;
            break;
        }
    }
    if (found < 0)
        found = FindStringExact(face);
    if (found >= 0) {
        if (currentIndex() != found || currentText() != itemText(found))
            setCurrentIndex(found);
        setEditText(itemText(found));
    } else {
        setCurrentIndex(-1);
        setEditText(face);
    }
}

// ---------------------------------------------------------------------------
// CFontSizeCombo

CFontSizeCombo::CFontSizeCombo(QWidget* parent) : CFontComboBase(parent) {}

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

} // namespace

int CFontSizeCombo::ParseTwips(const QString& text)
{
    const int n = int(text.size());
    int i = 0;
    while (i < n && isBlank(text[i]))
        ++i;
    if (i == n)
        return kEmpty;
    // The number: sign, digits, a fraction, an exponent; nothing but blanks
    // after it. No locale: the point is always ".".
    bool negative = false;
    if (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))
        negative = text[i++] == QLatin1Char('-');
    const int mantissa = i;
    int digits = 0;
    while (i < n && isDigit(text[i]))
        ++i, ++digits;
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return kNotANumber;
    int exponentSign = 0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        int j = i + 1;
        int sign = 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            sign = text[j++] == QLatin1Char('-') ? -1 : 1;
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j]))
                ++j;
            exponentSign = sign;
            i = j;
        }
    }
    const int end = i;
    while (i < n && isBlank(text[i]))
        ++i;
    if (i != n)
        return kNotANumber;

    const std::string number = text.mid(mantissa, end - mantissa).toStdString();
    double value = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range)
        value = exponentSign < 0 ? 0.0 : HUGE_VAL;
    else if (ec != std::errc() || ptr != number.data() + number.size())
        return kNotANumber;
    if (negative && value > 0)
        return 0;
    const double twips = value * 20.0;
    if (twips >= kMaxTwips)
        return kMaxTwips;
    return int(twips);
}

int CFontSizeCombo::GetTwips() const { return ParseTwips(currentText()); }

QString CFontSizeCombo::TwipsToText(int twips)
{
    if (twips < 0)
        return {};
    const long halfPoints = (long(twips) + 5) / 10;
    if (halfPoints % 2 == 0)
        return QString::number(halfPoints / 2);
    return QString::asprintf("%.1f", double(halfPoints) * 0.5);
}

void CFontSizeCombo::SetTwips(int twips)
{
    if (twips != GetTwips()) {
        const QString text = TwipsToText(twips);
        const int i = FindStringExact(text);
        const QSignalBlocker block(this);
        if (i >= 0) {
            setCurrentIndex(i);
        } else {
            setCurrentIndex(-1);
            setEditText(text);
        }
    }
    m_twips = twips;
}

void CFontSizeCombo::FillSizes(const QString& face)
{
    const QSignalBlocker block(this);
    const QString text = currentText();
    clear();
    // Every face here is scalable: the stock sizes.
    if (!face.isEmpty() && QFontDatabase::hasFamily(face)) {
        for (int points : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
            addItem(QString::number(points));
    }
    setCurrentIndex(-1);
    setEditText(text);
}
