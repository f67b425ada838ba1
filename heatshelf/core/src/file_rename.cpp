#include "heatshelf/file_rename.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace heatshelf {

bool IsPlainFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

RenameOutcome RenameOutcomeOfError(int error) {
    switch (error) {
    case EEXIST:
    case ENOTEMPTY:
    case EISDIR:
    case ENOTDIR:
        return RenameOutcome::NameExists;
    case EACCES:
    case EPERM:
    case EROFS:
        return RenameOutcome::FolderReadOnly;
    case ENAMETOOLONG:
    case EILSEQ:
        return RenameOutcome::InvalidName;
    case ENOENT:
        return RenameOutcome::SourceGone;
    default:
        return RenameOutcome::Failed;
    }
}

RenameOutcome RenameInFolder(const QString& folder, const QString& oldName, const QString& newName) {
    if (!IsPlainFileName(oldName) || !IsPlainFileName(newName)) return RenameOutcome::InvalidName;
    if (oldName == newName) return RenameOutcome::NameExists;
    const QDir dir(folder);
    const QByteArray from = QFile::encodeName(dir.filePath(oldName));
    const QByteArray to = QFile::encodeName(dir.filePath(newName));
    if (!QFileInfo::exists(dir.filePath(oldName))) return RenameOutcome::SourceGone;
    // The system refuses to replace: no file of the new name can be lost,
    // even one made between a check and the rename.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return RenameOutcome::Renamed;
    if (errno != EINVAL && errno != ENOSYS) return RenameOutcomeOfError(errno);
    // A file system without that flag: check, then rename.
    if (QFileInfo::exists(dir.filePath(newName)) || QFileInfo(dir.filePath(newName)).isSymLink())
        return RenameOutcome::NameExists;
    if (std::rename(from.constData(), to.constData()) == 0) return RenameOutcome::Renamed;
    return RenameOutcomeOfError(errno);
}

}  // namespace heatshelf
