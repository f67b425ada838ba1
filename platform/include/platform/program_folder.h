// The per-user program folder that both programs share: field.ini, the
// palette BMPs and the other data files the original kept beside its
// executable. It is $KESTRELWORKS_PROGRAM_DIR when set, else
// $XDG_DATA_HOME/kestrelworksA (default ~/.local/share/kestrelworksA), and it
// is seeded from the installed defaults: a file missing there is copied,
// a file already there is kept.
#pragma once

#include <QString>

namespace platform {

inline constexpr char kProgramFolderVariable[] = "KESTRELWORKS_PROGRAM_DIR";

// The folder by the rule above (not created).
QString DefaultProgramFolder();

// The installed default data of an executable in exeDir: the nearest
// share/kestrelworksA holding field.ini in exeDir's parent or a folder above
// it (installed: <prefix>/bin/../share/kestrelworksA; in the build tree the
// build folder's share/kestrelworksA, for programs, tools and tests alike);
// empty when there is none.
QString DefaultDataFolder(const QString& exeDir);

// Creates folder when missing and copies in every file of defaults that it
// lacks (names compared without regard to case), and so on into each
// folder of defaults (the templates of "template/"). False when the folder
// cannot be made.
bool SeedProgramFolder(const QString& folder, const QString& defaults);

// folder/name, with name matched without regard to case when no file of
// that exact name exists (the original's file system ignored case).
QString ResolveProgramFile(const QString& folder, const QString& name);

} // namespace platform
