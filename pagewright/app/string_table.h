// The report designer's string table: its texts by their numeric ids, in
// Chinese, compiled in. An override file beside the program ("Wordbank.txt",
// UTF-8 lines "id=text", "\n" for a line break, "#" comments) replaces the
// texts it names for every later lookup, as the original's resource library
// did.
#pragma once

#include <QString>

// The text of a string id; empty when there is none.
QString LoadStringRes(int id);

// A command's status-bar prompt and tooltip: the two halves of its string,
// split at the first line break.
QString CommandPrompt(int commandId);
QString CommandTip(int commandId);

// Reads an override file; false (and no change) when it cannot be read.
bool LoadStringOverrides(const QString& path);
void ClearStringOverrides();

inline constexpr char kStringOverrideFile[] = "Wordbank.txt";
