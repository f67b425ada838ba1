// The catalogue of data fields that a field or table cell can show: seven
// groups; a field's id is its group's first id plus its index, and is also
// the string id of its name. Group names are strings 33100 + group.
#pragma once

#include <QString>

#include <array>

namespace field_catalogue {

inline constexpr int kGroups = 7;
inline constexpr int kGroupNameBase = 33100;
inline constexpr std::array<int, kGroups> kFirstIds{33200, 33300, 33400, 33500, 33600, 33700, 33800};
// Fields offered per group (the image formatter knows 33205 and 33206 too;
// they are not offered).
inline constexpr std::array<int, kGroups> kCounts{5, 10, 7, 7, 12, 15, 2};

// The group of a field id, -1 for an id of no group.
int GroupOfId(int id);
// The built-in texts of the group names and field names by string id; empty
// for other ids.
QString BuiltInText(int id);

} // namespace field_catalogue
