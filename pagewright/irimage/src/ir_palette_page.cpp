// The palette page: the palette, inversion, the preview strip and the
// colour swatches beside it.
#include "irimage/ir_property_pages.h"

#include "document/document_environment.h"
#include "skin/colors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kSwatchIds[] = {CIRPalettePage::kAboveRange, CIRPalettePage::kAboveScale, CIRPalettePage::kBelowRange,
                              CIRPalettePage::kBelowScale, CIRPalettePage::kAnalysisColor,
                              CIRPalettePage::kIsotherm1, CIRPalettePage::kIsotherm2};
constexpr int kPreviewPalettes = 16;

// The colour of entry i of a palette of 256 (blue, green, red, 0) entries.
COLORREF EntryColor(const std::uint8_t* palette, int i)
{
    const std::uint8_t* e = palette + 4 * i;
    return RGB(e[2], e[1], e[0]);
}

// Palette index of the program's table, while it is one of the sixteen
// the preview shows; null otherwise.
const std::uint8_t* PreviewPalette(const QByteArray& table, int index)
{
    if (index < 0 || index >= kPreviewPalettes || (qsizetype(index) + 1) * 1024 > table.size())
        return nullptr;
    return reinterpret_cast<const std::uint8_t*>(table.constData()) + qsizetype(index) * 1024;
}

// The strip: a line per entry 1..255 at top + entry x height / 256.
class PaletteStrip : public QWidget {
public:
    explicit PaletteStrip(CIRPalettePage* page) : QWidget(page), m_page(page)
    {
        setMinimumSize(28, 256);
        setAttribute(Qt::WA_OpaquePaintEvent, false);
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        (void)e;
        QPainter p(this);
        const QByteArray table = m_page->Environment().PaletteTable();
        const std::uint8_t* palette = PreviewPalette(table, m_page->ShownPalette());
        if (palette == nullptr)
            return;
        const bool inverted = m_page->ShownInverted();
        const int h = height();
        // Each entry's line is drawn down to the next one, so a strip taller
        // than 256 pixels shows no gaps.
        for (int entry = 1; entry < 256; ++entry) {
            const int y = entry * h / 256;
            const int next = std::max(y + 1, (entry + 1) * h / 256);
            p.fillRect(0, y, width(), next - y, skin::ToQColor(EntryColor(palette, inverted ? 255 - entry : entry)));
        }
    }

private:
    CIRPalettePage* m_page;
};

class Swatch : public QWidget {
public:
    Swatch(QWidget* parent, const COLORREF* color) : QWidget(parent), m_color(color) { setFixedSize(36, 16); }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        (void)e;
        QPainter p(this);
        p.fillRect(rect(), skin::ToQColor(*m_color));
        p.setPen(Qt::black);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    const COLORREF* m_color;
};

} // namespace

CIRPalettePage::CIRPalettePage(QWidget* parent) : PropertyPage(kTemplateId, QStringLiteral("调色板"), parent)
{
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    m_palettes = new QComboBox(this);
    SetControlId(m_palettes, kPaletteCombo);
    m_invert = new QCheckBox(QStringLiteral("反相(&I)"), this);
    SetControlId(m_invert, kInvert);
    auto* beyondRange = new QCheckBox(QStringLiteral("显示超出量程范围颜色(&R)"), this);
    SetControlId(beyondRange, kShowBeyondRange);
    auto* beyondScale = new QCheckBox(QStringLiteral("显示超出色标范围颜色(&S)"), this);
    SetControlId(beyondScale, kShowBeyondScale);
    left->addWidget(new QLabel(QStringLiteral("调色板:"), this));
    left->addWidget(m_palettes);
    left->addWidget(m_invert);
    left->addWidget(beyondRange);
    left->addWidget(beyondScale);

    auto* colours = new QGroupBox(QStringLiteral("颜色"), this);
    auto* grid = new QGridLayout(colours);
    const char* labels[] = {"高于量程上限", "高于色标上限", "低于量程下限", "低于色标下限",
                            "分析默认色",   "等温色1",     "等温色2"};
    for (int i = 0; i < 7; ++i) {
        auto* swatch = new Swatch(colours, &m_swatches[static_cast<std::size_t>(i)]);
        SetControlId(swatch, kSwatchIds[i]);
        grid->addWidget(new QLabel(QString::fromUtf8(labels[i]), colours), i, 0);
        grid->addWidget(swatch, i, 1);
    }
    left->addWidget(colours);
    left->addStretch(1);
    layout->addLayout(left, 1);

    m_strip = new PaletteStrip(this);
    SetControlId(m_strip, kStrip);
    layout->addWidget(m_strip);

    connect(m_palettes, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    connect(m_invert, &QCheckBox::clicked, this, [this] { Refresh(); });
}

void CIRPalettePage::DoDataExchange(DataExchange& dx)
{
    dx.ComboIndex(kPaletteCombo, m_nPalette);
    dx.Check(kInvert, m_bInvert);
    dx.Check(kShowBeyondRange, m_bShowBeyondRange);
    dx.Check(kShowBeyondScale, m_bShowBeyondScale);
}

bool CIRPalettePage::OnInitDialog()
{
    const DocumentEnvironment& env = Environment();
    m_palettes->blockSignals(true);
    m_palettes->clear();
    for (int i = 0; i < env.PaletteCount(); ++i)
        m_palettes->addItem(env.PaletteName(i));
    m_palettes->blockSignals(false);
    PropertyPage::OnInitDialog();
    Refresh();
    return true;
}

int CIRPalettePage::ShownPalette() const { return IsInitialized() ? m_palettes->currentIndex() : m_nPalette; }

bool CIRPalettePage::ShownInverted() const { return IsInitialized() ? m_invert->isChecked() : m_bInvert != 0; }

COLORREF CIRPalettePage::SwatchColor(int id) const
{
    for (int i = 0; i < 7; ++i) {
        if (kSwatchIds[i] == id)
            return m_swatches[static_cast<std::size_t>(i)];
    }
    return 0;
}

void CIRPalettePage::Refresh()
{
    const QByteArray table = Environment().PaletteTable();
    const std::uint8_t* palette = PreviewPalette(table, ShownPalette());
    if (palette != nullptr) {
        const bool inverted = ShownInverted();
        const COLORREF last = EntryColor(palette, 254);
        const COLORREF first = EntryColor(palette, 0);
        m_swatches[0] = m_swatches[1] = inverted ? first : last;
        m_swatches[2] = m_swatches[3] = inverted ? last : first;
        m_swatches[4] = 0xFFFF00;
        m_swatches[5] = m_swatches[6] = 0x00FF00;
    }
    update();
}
