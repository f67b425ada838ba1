#include "platform/bmp_file.h"

#include "platform/dib.h"

#include <QFile>

namespace platform {

bool ReadBmpFile(const QString& path, QByteArray* dib)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A palette file is small; a huge one is no palette.
    const QByteArray bytes = file.size() <= 64 * 1024 * 1024 ? file.readAll() : QByteArray();
    *dib = ReadDIBFile(bytes);
    return true;
}

} // namespace platform
