// Renaming a file of the shown folder from the thumbnail grid: the new name
// is a plain name in the same folder, and an existing file is never
// replaced.
#pragma once

#include <QString>

namespace heatshelf {

// True when name can name a file of a folder: not empty, not "." or "..",
// and without a path separator ("/" or "\").
bool IsPlainFileName(const QString& name);

// Renames folder/oldName to folder/newName. False, changing nothing, when
// either name is not plain, the names are equal, a file of the new name
// exists, or the system refuses.
bool RenameInFolder(const QString& folder, const QString& oldName, const QString& newName);

}  // namespace heatshelf
