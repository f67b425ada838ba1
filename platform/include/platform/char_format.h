// CHARFORMAT: the 60-byte character-format record that the text format bar
// sends and receives and that result tables keep in their records.
//
// Byte layout (little-endian):
//
//     0  u32  size (60)           24  u8   character set
//     4  u32  mask (CFM_*)        25  u8   pitch and family
//     8  u32  effects (CFE_*)     26  32   face name, GBK, NUL-terminated
//    12  i32  height in twips     58  2    padding, kept as read
//    16  i32  baseline offset, twips
//    20  u32  text colour (0x00BBGGRR)
//
// The record is read and written field by field; only the attributes whose
// mask bit is set mean anything.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace platform {

// Mask bits.
inline constexpr std::uint32_t CFM_BOLD = 0x00000001;
inline constexpr std::uint32_t CFM_ITALIC = 0x00000002;
inline constexpr std::uint32_t CFM_UNDERLINE = 0x00000004;
inline constexpr std::uint32_t CFM_STRIKEOUT = 0x00000008;
inline constexpr std::uint32_t CFM_PROTECTED = 0x00000010;
inline constexpr std::uint32_t CFM_LINK = 0x00000020;
inline constexpr std::uint32_t CFM_CHARSET = 0x08000000;
inline constexpr std::uint32_t CFM_OFFSET = 0x10000000;
inline constexpr std::uint32_t CFM_FACE = 0x20000000;
inline constexpr std::uint32_t CFM_COLOR = 0x40000000;
inline constexpr std::uint32_t CFM_SIZE = 0x80000000;
// Effect bits.
inline constexpr std::uint32_t CFE_BOLD = 0x00000001;
inline constexpr std::uint32_t CFE_ITALIC = 0x00000002;
inline constexpr std::uint32_t CFE_UNDERLINE = 0x00000004;
inline constexpr std::uint32_t CFE_STRIKEOUT = 0x00000008;
inline constexpr std::uint32_t CFE_PROTECTED = 0x00000010;
inline constexpr std::uint32_t CFE_LINK = 0x00000020;
inline constexpr std::uint32_t CFE_AUTOCOLOR = 0x40000000;

struct CHARFORMAT {
    static constexpr std::size_t kSize = 60;
    static constexpr std::size_t kFaceBytes = 32;

    std::uint32_t cbSize = kSize;
    std::uint32_t dwMask = 0;
    std::uint32_t dwEffects = 0;
    std::int32_t yHeight = 0;
    std::int32_t yOffset = 0;
    std::uint32_t crTextColor = 0;
    std::uint8_t bCharSet = 0;
    std::uint8_t bPitchAndFamily = 0;
    std::array<char, kFaceBytes> szFaceName{}; // GBK, NUL-terminated
    std::array<std::uint8_t, 2> padding{};

    // The 60 bytes above; nullopt when fewer than 60 bytes are given.
    static std::optional<CHARFORMAT> FromBytes(QByteArrayView bytes);
    QByteArray ToBytes() const;

    // The face name as text (up to the first NUL, all 32 bytes when none).
    QString FaceName() const;
    // Sets the face name, cut to 31 bytes at a character boundary.
    void SetFaceName(const QString& face);

    bool operator==(const CHARFORMAT&) const = default;
};

} // namespace platform
