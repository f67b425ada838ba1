// The browser's string table: its texts by numeric id, in Chinese, compiled
// in. "Shelfpack.txt" beside the program (lines "id=text") replaces the
// texts it names, as the original's resource library did.
#pragma once

#include <QString>

namespace heatshelf {

inline constexpr char kStringOverrideFile[] = "Shelfpack.txt";

// The text of a string id; empty when there is none.
QString LoadStringRes(int id);
// A command's status-bar prompt and tooltip (the halves at the first line
// break).
QString CommandPrompt(int commandId);
QString CommandTip(int commandId);

// Reads an override file; false (and no change) when it cannot be read.
bool LoadStringOverrides(const QString& path);
void ClearStringOverrides();

} // namespace heatshelf
