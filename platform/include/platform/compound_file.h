// Compound files (.rpt, .rpm): the structured-storage container on disk.
//
// Reading opens the file read-only; its streams are read on demand. Saving
// writes the whole tree of a storage into a temporary file in the target's
// folder and renames it over the target only after every stream was written,
// so a failed save leaves the old file as it was.
#pragma once

#include "platform/storage.h"

#include <QString>

#include <memory>

namespace platform {

// The root storage of a compound file, or null (with a reason in *error when
// given) when the file cannot be opened or is no compound file.
std::unique_ptr<Storage> openCompoundFile(const QString& path, QString* error = nullptr);

// Writes root and everything below it as the compound file path. False (with
// a reason in *error) when anything failed; the target is then untouched.
bool saveCompoundFile(Storage& root, const QString& path, QString* error = nullptr);

} // namespace platform
