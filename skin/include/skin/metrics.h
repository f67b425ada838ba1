// The window metrics, system colours and fonts that the skinned controls
// measure and paint with. The programs were laid out for these values, so
// they are fixed here rather than read from the desktop.
#pragma once

#include "platform/colorref.h"

#include <QFont>

namespace skin {

// Metrics, in pixels.
inline constexpr int SM_CXBORDER = 1;
inline constexpr int SM_CYBORDER = 1;
inline constexpr int SM_CXFRAME = 4;
inline constexpr int SM_CYFRAME = 4;
inline constexpr int SM_CYSIZE = 25;    // caption buttons sit this far above the caption's foot
inline constexpr int SM_CYCAPTION = 26; // the caption strip is this plus 3
inline constexpr int SM_CXVSCROLL = 17;
inline constexpr int SM_CYHSCROLL = 17;
inline constexpr int SM_CXHTHUMB = 17;  // the flat combo's drop button
inline constexpr int SM_CXCURSOR = 32;
inline constexpr int SM_CYCURSOR = 32;

// The caption height of every skinned frame and dialog.
inline constexpr int kCaptionHeight = SM_CYFRAME + SM_CYSIZE;

// System colours.
inline constexpr COLORREF COLOR_BTNFACE = RGB(240, 240, 240);
inline constexpr COLORREF COLOR_3DDKSHADOW = RGB(105, 105, 105);
inline constexpr COLORREF COLOR_WINDOW = RGB(255, 255, 255);
inline constexpr COLORREF COLOR_WINDOWTEXT = RGB(0, 0, 0);
inline constexpr COLORREF COLOR_HIGHLIGHT = RGB(51, 153, 255);
inline constexpr COLORREF COLOR_INACTIVECAPTIONTEXT = RGB(67, 78, 84);

// The icon-title font (captions, status panes, combos, the colour popup)
// and the menu font.
QFont IconTitleFont();
QFont MenuFont();

} // namespace skin
