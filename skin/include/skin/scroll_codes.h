// Scroll codes: what a scroll bar reports and a view receives.
#pragma once

inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_ENDSCROLL = 8;
