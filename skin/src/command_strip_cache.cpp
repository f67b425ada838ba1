#include "skin/command_strip_cache.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <iterator>

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

// A strip file: the magic, the width and height in pixels (32-bit
// little-endian) and the pixels, ARGB32 rows without padding. Read back with
// one read and no decoding: the start reads every strip of the program.
constexpr char kStripMagic[8] = {'K', 'W', 'S', 'T', 'R', 'I', 'P', '1'};
constexpr qint64 kStripHeader = 16;

void putU32(char* at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = char((v >> (8 * i)) & 0xFF);
}

quint32 getU32(const char* at)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | quint8(at[i]);
    return v;
}

bool writeStrip(QIODevice& out, const QImage& strip)
{
    const QImage argb = strip.convertToFormat(QImage::Format_ARGB32);
    char header[kStripHeader];
    std::copy(std::begin(kStripMagic), std::end(kStripMagic), header);
    putU32(header + 8, quint32(argb.width()));
    putU32(header + 12, quint32(argb.height()));
    if (out.write(header, kStripHeader) != kStripHeader)
        return false;
    const qint64 row = qint64(argb.width()) * 4;
    for (int y = 0; y < argb.height(); ++y) {
        if (out.write(reinterpret_cast<const char*>(argb.constScanLine(y)), row) != row)
            return false;
    }
    return true;
}

// The strip stored in file when it is one of pixels; null otherwise.
QImage readStrip(const QString& file, QSize pixels)
{
    QFile in(file);
    const qint64 row = qint64(pixels.width()) * 4;
    if (pixels.isEmpty() || !in.open(QIODevice::ReadOnly) || in.size() != kStripHeader + row * pixels.height())
        return {};
    char header[kStripHeader];
    if (in.read(header, kStripHeader) != kStripHeader || !std::equal(std::begin(kStripMagic), std::end(kStripMagic), header) ||
        getU32(header + 8) != quint32(pixels.width()) || getU32(header + 12) != quint32(pixels.height()))
        return {};
    QImage strip(pixels, QImage::Format_ARGB32);
    if (strip.isNull())
        return {};
    for (int y = 0; y < pixels.height(); ++y) {
        if (in.read(reinterpret_cast<char*>(strip.scanLine(y)), row) != row)
            return {};
    }
    return strip;
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
    return folder + QStringLiteral("/strip-") + QString::fromLatin1(hash) + QStringLiteral(".argb");
}

QImage CachedCommandStrip(SkinLook program, const std::vector<int>& commands, QSize imageSize, qreal dpr,
                          const IconFallback& fallback, const QString& folder)
{
    if (dpr <= 0)
        dpr = 1;
    if (folder.isEmpty())
        return RenderCommandStrip(program, commands, imageSize, dpr, fallback);
    const QString file = CommandStripCacheFile(folder, program, commands, imageSize, dpr);
    QImage cached = readStrip(file, pixelSize(commands, imageSize, dpr));
    if (!cached.isNull()) {
        cached.setDevicePixelRatio(dpr);
        return cached;
    }
    const QImage strip = RenderCommandStrip(program, commands, imageSize, dpr, fallback);
    if (QDir().mkpath(folder)) {
        QSaveFile out(file);
        if (out.open(QIODevice::WriteOnly) && writeStrip(out, strip))
            out.commit();
    }
    return strip;
}

} // namespace skin
