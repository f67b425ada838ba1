// What the text format bar tells the text being edited, and asks of it.
// The receiver (the in-place text editor) implements FormatBarReceiver;
// the bar calls it synchronously with one of five codes. Only the two
// FMTN codes carry a character format: the bar fills it for FMTN_APPLY
// (the mask names the one group it set) and the receiver fills it for
// FMTN_QUERY.
#pragma once

#include "platform/char_format.h"

#include <cstdint>

inline constexpr std::uint32_t FMTN_APPLY = 0x1000;
inline constexpr std::uint32_t FMTN_QUERY = 0x1001;
inline constexpr std::uint32_t NM_RETURN = 0xFFFFFFFC;    // the editor takes the focus back
inline constexpr std::uint32_t NM_SETFOCUS = 0xFFFFFFF9;  // a combo got the focus
inline constexpr std::uint32_t NM_KILLFOCUS = 0xFFFFFFF8; // a combo lost it, before its value applies

// Character sets of the font list.
inline constexpr std::uint8_t ANSI_CHARSET = 0;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t GB2312_CHARSET = 134;

class FormatBarReceiver {
public:
    virtual ~FormatBarReceiver() = default;
    // barId: the bar's control id; format: null for the three NM codes.
    virtual void OnFormatBarNotify(int barId, std::uint32_t code, platform::CHARFORMAT* format) = 0;
};
