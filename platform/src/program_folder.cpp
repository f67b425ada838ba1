#include "platform/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString absoluteEnv(const char* name)
{
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? value : QString();
}

} // namespace

namespace platform {

QString DefaultProgramFolder()
{
    if (const QString dir = absoluteEnv(kProgramFolderVariable); !dir.isEmpty())
        return QDir::cleanPath(dir);
    if (const QString data = absoluteEnv("XDG_DATA_HOME"); !data.isEmpty())
        return QDir::cleanPath(data + QStringLiteral("/kestrelworksA"));
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.local/share/kestrelworksA"));
}

QString DefaultDataFolder(const QString& exeDir)
{
    if (exeDir.isEmpty())
        return QString();
    QDir dir(QDir::cleanPath(QDir(exeDir).absolutePath()));
    while (dir.cdUp()) {
        const QString data = dir.filePath(QStringLiteral("share/kestrelworksA"));
        if (QFileInfo::exists(data + QStringLiteral("/field.ini")))
            return data;
    }
    return QString();
}

QString ResolveProgramFile(const QString& folder, const QString& name)
{
    const QString exact = folder + QLatin1Char('/') + name;
    if (name.isEmpty() || QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder + QLatin1Char('/') + entry;
    }
    return exact;
}

bool SeedProgramFolder(const QString& folder, const QString& defaults)
{
    if (!QDir().mkpath(folder))
        return false;
    if (defaults.isEmpty())
        return true;
    const QStringList files = QDir(defaults).entryList(QDir::Files);
    for (const QString& file : files) {
        if (QFileInfo::exists(ResolveProgramFile(folder, file)))
            continue;
        const QString target = folder + QLatin1Char('/') + file;
        if (QFile::copy(defaults + QLatin1Char('/') + file, target))
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    }
    // Folders of data (the report templates) are seeded the same way, into
    // the folder of that name when one exists in any case.
    const QStringList folders = QDir(defaults).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& sub : folders) {
        QString target = folder + QLatin1Char('/') + sub;
        for (const QString& entry : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (entry.compare(sub, Qt::CaseInsensitive) == 0) {
                target = folder + QLatin1Char('/') + entry;
                break;
            }
        }
        SeedProgramFolder(target, defaults + QLatin1Char('/') + sub);
    }
    return true;
}

} // namespace platform
