#include "heatshelf/theme.h"

#include "platform/ini_file.h"
#include "skin/cmd_target.h"

namespace heatshelf {

Theme::Theme()
{
    m_skin.m_look = skin::SkinLook::Browser;
    connect(&m_skin, &skin::SkinState::changed, this, &Theme::themeChanged);
}

COLORREF Theme::ThemeColor(int styleNum, COLORREF custom) const { return m_skin.StyleColor(styleNum, custom); }

void Theme::ApplySkinColor(COLORREF color) { m_skin.BuildSkinBitmaps(color); }

QImage Theme::BuildScrollSkin() const { return m_skin.BuildScrollBarSkin(); }

void Theme::OnTheme(int nID)
{
    if (nID < kFirstThemeCommand || nID > kLastThemeCommand)
        return;
    const int style = nID - kFirstThemeCommand;
    m_skin.m_nStyleNum = style;
    ApplySkinColor(m_skin.m_clrStylePresets[std::size_t(style)]);
    // A failed write is ignored: the theme holds until the next start.
    if (!m_iniPath.isEmpty())
        platform::IniFile(m_iniPath).writeString(u"COMMON", u"StyleNum", QString::asprintf("%d", style));
}

void Theme::OnUpdateTheme(CCmdUI& ui) const { ui.SetRadio(ui.GetID() - kFirstThemeCommand == m_skin.m_nStyleNum); }

} // namespace heatshelf
