// The browser's theme: one colour chosen among seven presets (or the custom
// colour of field.ini), the nine shades derived from it, the caption-button
// strip and the scroll-bar skin drawn from them, and the theme commands that
// switch colours and remember the choice in field.ini.
//
// The shades live in a skin::SkinState in the browser's look, so that the
// shared skinned controls (toolbar, status bar, menus, flat combos, skin
// scroll bars) paint the browser's way once it is the current skin. Every
// skinned window follows themeChanged().
#pragma once

#include "platform/colorref.h"
#include "skin/skin_colors.h"

#include <QObject>
#include <QString>

#include <array>

class CCmdUI;

namespace heatshelf {

class Theme : public QObject {
    Q_OBJECT
public:
    // The six items of the theme menu.
    static constexpr int kFirstThemeCommand = 32777;
    static constexpr int kLastThemeCommand = 32782;
    static constexpr int kPresetCount = skin::SkinState::kStyleCount;

    Theme();

    // field.ini, where a theme command writes "StyleNum" (section
    // "COMMON"). Nothing is written while it is empty.
    void SetIniPath(const QString& path) { m_iniPath = path; }
    const QString& IniPath() const { return m_iniPath; }

    // The colour of a theme number: presets 0..6, the custom colour from 7
    // on (and for a negative number).
    COLORREF ThemeColor(int styleNum, COLORREF custom) const;

    // Derives the nine shades, rebuilds the caption-button images and the
    // scroll-bar skin; emits themeChanged().
    void ApplySkinColor(COLORREF color);
    // The scroll-bar skin of the current shades (162 x 54: 9 parts by 3
    // states of 18 x 18 cells).
    QImage BuildScrollSkin() const;

    // Commands 32777..32782: theme nID - 32777, applied and written to
    // field.ini. Other ids change nothing.
    void OnTheme(int nID);
    // The radio mark on the current theme's item.
    void OnUpdateTheme(CCmdUI& ui) const;

    int StyleNum() const { return m_skin.m_nStyleNum; }
    void SetStyleNum(int n) { m_skin.m_nStyleNum = n; }
    const std::array<COLORREF, kPresetCount>& ThemePresets() const { return m_skin.m_clrStylePresets; }

    COLORREF SkinDark() const { return m_skin.m_clrSkinDark; }
    COLORREF SkinBase() const { return m_skin.m_clrSkinBase; }
    COLORREF SkinLight() const { return m_skin.m_clrSkinLight; }
    COLORREF SkinMid() const { return m_skin.m_clrSkinMid; }
    COLORREF SkinText() const { return m_skin.m_clrSkinDark2; }
    COLORREF SkinHighlight() const { return m_skin.m_clrSkinLight2; }
    COLORREF SkinPale() const { return m_skin.m_clrSkinPale; }
    COLORREF SkinWhite() const { return m_skin.m_clrSkinWhite; }
    COLORREF SkinGrey() const { return m_skin.m_clrSkinMuted; }
    // 16 images of 22 x 22: close, restore, maximise, minimise, each
    // normal, pressed, hot, spare.
    const skin::ImageList& SkinCaptionButtons() const { return m_skin.m_ilSkinLarge; }
    const QImage& CaptionStrip() const { return m_skin.m_largeStrip; }
    const QPixmap& SkinScrollBitmap() const { return m_skin.m_hSkinScrollBitmap; }

    // The skin state the shared controls read; make it current with
    // skin::SetCurrentSkin.
    skin::SkinState& State() { return m_skin; }
    const skin::SkinState& State() const { return m_skin; }

signals:
    void themeChanged();

private:
    skin::SkinState m_skin;
    QString m_iniPath;
};

} // namespace heatshelf
