#include "platform/open_refusal.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char kModelTag[] = "VN410K";
constexpr size_t kTagLength = 6;

} // namespace

OpenRefusal CheckReadable(const QString& path)
{
    if (path.isEmpty())
        return OpenRefusal::NotFound;
    const QByteArray local = QFile::encodeName(path);
    struct stat st {};
    if (::stat(local.constData(), &st) != 0)
        return errno == EACCES ? OpenRefusal::NoPermission : OpenRefusal::NotFound;
    if (!S_ISREG(st.st_mode))
        return OpenRefusal::NotRegularFile;
    const int fd = ::open(local.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? OpenRefusal::NotFound : OpenRefusal::NoPermission;
    ::close(fd);
    return OpenRefusal::None;
}

bool HasCameraSignature(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(kTagLength);
    if (head.size() == qsizetype(kTagLength) && std::memcmp(head.constData(), kModelTag, kTagLength) == 0)
        return true;
    // A JPEG file carries the infrared data after its picture.
    if (head.size() < 2 || uchar(head[0]) != 0xFF || uchar(head[1]) != 0xD8)
        return false;
    file.seek(0);
    QByteArray carry;
    while (!file.atEnd()) {
        const QByteArray block = carry + file.read(1 << 16);
        if (block.contains(kModelTag))
            return true;
        carry = block.right(qsizetype(kTagLength) - 1);
        if (block.size() <= carry.size())
            break;
    }
    return false;
}

OpenRefusal OpenFailureCause(const QString& path)
{
    const OpenRefusal fs = CheckReadable(path);
    if (fs != OpenRefusal::None)
        return fs;
    return HasCameraSignature(path) ? OpenRefusal::Damaged : OpenRefusal::NotCameraFile;
}

QString OpenRefusalText(OpenRefusal why, const QString& path)
{
    const QString name = QDir::toNativeSeparators(path);
    switch (why) {
    case OpenRefusal::None:
        return QString();
    case OpenRefusal::NotFound:
        return QStringLiteral("找不到文件“%1”。").arg(name);
    case OpenRefusal::NotRegularFile:
        return QStringLiteral("“%1”不是普通文件（是文件夹、管道或设备），不能打开。").arg(name);
    case OpenRefusal::NoPermission:
        return QStringLiteral("没有读取“%1”的权限，不能打开。").arg(name);
    case OpenRefusal::Damaged:
        return QStringLiteral("“%1”已损坏（文件内容不完整），不能打开。").arg(name);
    case OpenRefusal::NotCameraFile:
        return QStringLiteral("“%1”不是热像仪的红外图像文件，不能打开。").arg(name);
    }
    return QString();
}

} // namespace platform
