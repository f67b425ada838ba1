// Renaming a file of the shown folder from the thumbnail grid: the new name
// is a plain name in the same folder, and an existing file is never
// replaced. A refusal says why, so that the user can pick another name.
#pragma once

#include <QString>

namespace heatshelf {

enum class RenameOutcome {
    Renamed,
    InvalidName,    // empty, "." or "..", a path separator, or too long
    NameExists,     // a file (or folder) of the new name is there
    FolderReadOnly, // the folder may not be written
    SourceGone,     // the file to rename is no longer there
    Failed,         // another refusal of the system
};

// True when name can name a file of a folder: not empty, not "." or "..",
// and without a path separator ("/" or "\").
bool IsPlainFileName(const QString& name);

// Renames folder/oldName to folder/newName; anything but Renamed changes
// nothing. Equal names are NameExists.
RenameOutcome RenameInFolder(const QString& folder, const QString& oldName, const QString& newName);

// The outcome of a refused rename(2) (an errno value).
RenameOutcome RenameOutcomeOfError(int error);

}  // namespace heatshelf
