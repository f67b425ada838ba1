#include "platform/dialog_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool Serves(const QString& folder, platform::FolderUse use)
{
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
        return false;
    const QFileInfo info(folder);
    return info.isDir() && (use == platform::FolderUse::Read || info.isWritable());
}

// A folder, or the folder of a file (a remembered file may have gone).
QString FolderOfRemembered(const QString& path, platform::FolderUse use)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return {};
    const QString clean = QDir::cleanPath(path);
    if (Serves(clean, use))
        return clean;
    const QFileInfo info(clean);
    if (info.isDir())
        return {}; // there, but not for this use
    const QString parent = info.absolutePath();
    return Serves(parent, use) ? parent : QString();
}

} // namespace

namespace platform {

QString DocumentsFolder(FolderUse use)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (Serves(documents, use))
        return QDir::cleanPath(documents);
    return QDir::homePath();
}

QString ProposedFolder(const QString& lastUsed, FolderUse use, const QString& fallback)
{
    if (const QString folder = FolderOfRemembered(lastUsed, use); !folder.isEmpty())
        return folder;
    if (Serves(fallback, use))
        return QDir::cleanPath(fallback);
    return DocumentsFolder(use);
}

QString ProposedPath(const QString& lastUsed, const QString& fileName, FolderUse use)
{
    return QDir(ProposedFolder(lastUsed, use)).filePath(fileName);
}

QString FolderOf(const QString& chosenFile)
{
    if (chosenFile.isEmpty())
        return {};
    return QFileInfo(chosenFile).absolutePath();
}

} // namespace platform
