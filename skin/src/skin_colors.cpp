#include "skin/skin_colors.h"

#include "skin/hls.h"

#include <QPointer>

#include <algorithm>

namespace skin {

namespace {

// The lighter channel: up by (255 - c) * c / 255, held to 20..100.
int lighter(int c)
{
    const int d = std::clamp((255 - c) * c / 255, 20, 100);
    return std::min(c + d, 255);
}

QPointer<const SkinState>& current()
{
    static QPointer<const SkinState> skin;
    return skin;
}

} // namespace

const SkinState* CurrentSkin() { return current().data(); }

void SetCurrentSkin(const SkinState* skin) { current() = skin; }

SkinRoles RolesOf(const SkinState& s)
{
    return {ToQColor(s.m_clrSkinBase), ToQColor(s.m_clrSkinLight), ToQColor(s.m_clrSkinDark),
            ToQColor(s.m_clrSkinMid)};
}

SkinRoles CurrentRoles()
{
    if (const SkinState* s = CurrentSkin())
        return RolesOf(*s);
    return {QColor(192, 192, 192), QColor(224, 224, 224), QColor(128, 128, 128), QColor(212, 212, 212)};
}

SkinState::SkinState()
    : m_clrStylePresets{0xEFB287, 0xF19AC6, 0x88C1A5, 0xA5CD7C, 0x9A9AF1, 0x7CCDCD, 0xF0F0F0}
{
}

COLORREF SkinState::StyleColor(int styleNum, COLORREF custom) const
{
    return styleNum >= 0 && styleNum < kStyleCount ? m_clrStylePresets[std::size_t(styleNum)] : custom;
}

COLORREF SkinState::Shade(int n) const
{
    switch (n) {
    case 1: return m_clrSkinBase;
    case 2: return m_clrSkinLight;
    case 3: return m_clrSkinMid;
    case 4: return m_clrSkinDark2;
    case 5: return m_clrSkinLight2;
    case 6: return m_clrSkinWhite;
    case 7: return m_clrSkinPale;
    case 8: return m_clrSkinMuted;
    case 9: return m_clrSkinGrey;
    default: return 0;
    }
}

void SkinState::DeriveShades(COLORREF base)
{
    const int r = GetRValue(base);
    const int g = GetGValue(base);
    const int b = GetBValue(base);
    const int lr = lighter(r);
    const int lg = lighter(g);
    const int lb = lighter(b);
    m_clrSkinBase = base;
    m_clrSkinLight = m_clrSkinLight2 = RGB(lr, lg, lb);
    m_clrSkinMid = RGB((r + lr) / 2, (g + lg) / 2, (b + lb) / 2);
    m_clrSkinPale = RGB((lr + 255) / 2, (lg + 255) / 2, (lb + 255) / 2);
    m_clrSkinWhite = 0xFFFFFF;
    const int m = std::max({r, g, b});
    m_clrSkinGrey = RGB(m, m, m);
    WORD h = 0;
    WORD l = 0;
    WORD s = 0;
    RgbToHls(base, &h, &l, &s);
    m_clrSkinMuted = HlsToRgb(h, l, WORD(std::max(int(s) - 90, 0)));
    m_clrSkinDark = m_clrSkinDark2 = HlsToRgb(h, WORD(std::max(int(l) - 80, 0)), s);
}

void SkinState::BuildSkinBitmaps(COLORREF base)
{
    DeriveShades(base);

    // Caption-button strips: 16 cells of 22 and of 15 pixels.
    m_largeStrip = BuildCaptionStrip(*this, 22);
    m_smallStrip = BuildCaptionStrip(*this, 15);
    m_ilSkinLarge = CutImageList(m_largeStrip, 22, 22, kMaskColor);
    m_ilSkinSmall = CutImageList(m_smallStrip, 15, 15, kMaskColor);
    m_hSkinScrollBitmap = QPixmap::fromImage(BuildScrollBarSkin());
    emit changed();
}

} // namespace skin
