#include "skin/command_strip_cache.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QSaveFile>
#include <QStandardPaths>

#include <cmath>

namespace skin {

namespace {

// The program's version: the suite's version number and when its
// executable was built.
const QByteArray& programVersion()
{
    static const QByteArray version = [] {
        QByteArray v = QByteArrayLiteral(SKIN_SUITE_VERSION);
        const QString exe = QCoreApplication::instance() != nullptr ? QCoreApplication::applicationFilePath() : QString();
        if (!exe.isEmpty())
            v += '-' + QByteArray::number(QFileInfo(exe).lastModified().toMSecsSinceEpoch());
        return v;
    }();
    return version;
}

QSize pixelSize(const std::vector<int>& commands, QSize imageSize, qreal dpr)
{
    int images = 0;
    for (int c : commands)
        images += c != 0 ? 1 : 0;
    return {int(std::lround(std::max(1, images) * imageSize.width() * dpr)),
            int(std::lround((imageSize.height() + 1) * dpr))};
}

} // namespace

QString CommandStripCacheFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/toolbar-strips");
}

QString CommandStripCacheFile(const QString& folder, SkinLook program, const std::vector<int>& commands,
                              QSize imageSize, qreal dpr)
{
    QByteArray key = programVersion();
    key += '|' + QIcon::themeName().toUtf8();
    key += '|' + QByteArray::number(int(program));
    key += '|' + QByteArray::number(imageSize.width()) + 'x' + QByteArray::number(imageSize.height());
    key += '@' + QByteArray::number(dpr, 'g', 6);
    key += '|';
    for (int c : commands)
        key += QByteArray::number(c) + ',';
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex();
    return folder + QStringLiteral("/strip-") + QString::fromLatin1(hash) + QStringLiteral(".png");
}

QImage CachedCommandStrip(SkinLook program, const std::vector<int>& commands, QSize imageSize, qreal dpr,
                          const IconFallback& fallback, const QString& folder)
{
    if (dpr <= 0)
        dpr = 1;
    if (folder.isEmpty())
        return RenderCommandStrip(program, commands, imageSize, dpr, fallback);
    const QString file = CommandStripCacheFile(folder, program, commands, imageSize, dpr);
    QImageReader reader(file, "png");
    if (reader.canRead() && reader.size() == pixelSize(commands, imageSize, dpr)) {
        QImage cached = reader.read().convertToFormat(QImage::Format_ARGB32);
        if (!cached.isNull()) {
            cached.setDevicePixelRatio(dpr);
            return cached;
        }
    }
    const QImage strip = RenderCommandStrip(program, commands, imageSize, dpr, fallback);
    if (QDir().mkpath(folder)) {
        QSaveFile out(file);
        if (out.open(QIODevice::WriteOnly) && strip.save(&out, "PNG"))
            out.commit();
    }
    return strip;
}

} // namespace skin
