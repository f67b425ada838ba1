// Compound files (.rpt, .rpm): the structured-storage container on disk.
//
// Reading opens the file read-only; its streams are read on demand. Saving
// writes the whole tree of a storage (and streams made as the file is
// written) into a temporary file in the target's folder and renames it over
// the target only after every stream was written, so a failed save leaves the
// old file as it was.
#pragma once

#include "platform/storage.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace platform {

// The root storage of a compound file, or null (with a reason in *error when
// given) when the file cannot be opened or is no compound file.
std::unique_ptr<Storage> openCompoundFile(const QString& path, QString* error = nullptr);

// Writes root and everything below it as the compound file path. False (with
// a reason in *error) when anything failed; the target is then untouched.
bool saveCompoundFile(Storage& root, const QString& path, QString* error = nullptr);

// A stream of the root whose bytes are made while the file is written:
// produce hands them to write in order, in pieces of any size, and returns
// false (after setting *error when it has a reason) to fail the save. The
// file is byte for byte the one written when the same bytes are held in a
// stream of root.
struct StreamedStream {
    using Write = std::function<bool(QByteArrayView bytes)>;
    QString name;
    std::function<bool(const Write& write, QString* error)> produce;
};

// As above, with the streamed streams first in the root, in order, followed
// by root's own entries; a large stream is never held whole in memory.
bool saveCompoundFile(Storage& root, const std::vector<StreamedStream>& streamed, const QString& path,
                      QString* error = nullptr);

} // namespace platform
