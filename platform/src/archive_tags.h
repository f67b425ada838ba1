// Tags of object references in an archive.
#pragma once

#include <cstdint>

namespace platform::detail {

inline constexpr std::uint16_t kNullTag = 0x0000;        // no object
inline constexpr std::uint16_t kNewClassTag = 0xFFFF;    // a class description follows
inline constexpr std::uint16_t kClassTag = 0x8000;       // or'ed into the index of a known class
inline constexpr std::uint32_t kBigClassTag = 0x80000000; // or'ed into a u32 class index
inline constexpr std::uint16_t kBigObjectTag = 0x7FFF;   // a u32 index follows
inline constexpr std::uint32_t kMaxMapCount = 0x3FFFFFFE; // last usable index

} // namespace platform::detail
