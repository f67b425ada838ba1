// The folder a file dialog starts in. Every open, save and export dialog of
// the report designer asks here, with the folder (or a file in the folder)
// last used for its kind of file: that folder while it is still there and,
// for a dialog that writes, writable; otherwise the user's documents
// folder, else the home folder. A relative path is never a remembered
// folder: it would name a place in whatever folder the process runs in.
#pragma once

#include <QString>

namespace platform {

enum class FolderUse { Read, Write };

// The user's documents folder ($XDG_DOCUMENTS_DIR, by default ~/Documents)
// when it exists (and can be written, for Write), else the home folder.
QString DocumentsFolder(FolderUse use = FolderUse::Read);

// The folder to propose. lastUsed: a folder or a file in one (empty: none
// remembered). fallback: where to go before the documents folder when
// lastUsed does not serve (empty: straight to the documents folder).
QString ProposedFolder(const QString& lastUsed, FolderUse use = FolderUse::Read, const QString& fallback = {});

// The proposed folder joined with a file name.
QString ProposedPath(const QString& lastUsed, const QString& fileName, FolderUse use = FolderUse::Read);

// The folder of a file chosen in a dialog, to remember (empty for an empty
// path).
QString FolderOf(const QString& chosenFile);

} // namespace platform
