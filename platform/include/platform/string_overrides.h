// String override files: UTF-8 lines "id=text" ("\n" stands for a line
// break, "#" starts a comment line) that replace texts of a program's
// built-in string table, as a resource library did. Each program keeps its
// own table and file name.
#pragma once

#include <QHash>
#include <QString>

namespace platform {

// The texts of the file at path by id; false (and *out untouched) when it
// cannot be read or is larger than 4 MB.
bool ReadStringOverrides(const QString& path, QHash<int, QString>* out);

} // namespace platform
