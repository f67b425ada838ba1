#include "heatshelf/image_view_core.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "heatshelf/view_geometry.h"
#include "platform/dib.h"
#include "platform/dib_image.h"

namespace heatshelf {

ImageViewCore::ImageViewCore(QString appDirectory, const thermcore::IfrCalls& calls)
    : m_image(std::move(appDirectory), calls), m_openTest(calls) {}

QString ImageViewCore::join(const QString& name) const { return QDir(m_folder).filePath(name); }

QString ImageViewCore::scratchPath(const char* stem, const char* suffix) {
    return m_scratch.filePath(QStringLiteral("%1-%2%3")
                                  .arg(QLatin1String(stem))
                                  .arg(++m_scratchCount)
                                  .arg(QLatin1String(suffix)));
}

void ImageViewCore::ChooseFile(int what, int palette) {
    m_palette = palette;
    const QStringList candidates = InfraredCandidates(ListFolder(m_folder));
    const QString currentName = m_currentPath.isEmpty() ? QString() : QFileInfo(m_currentPath).fileName();
    m_walk = WalkFolder(
        candidates, [this](const QString& name) { return m_openTest(join(name)); }, what, currentName);
    m_currentPath = m_walk.current.isEmpty() ? QString() : join(m_walk.current);
    RenderCurrent();
}

bool ImageViewCore::openInHolder(const QString& path) {
    m_image.Close();
    const bool opened = m_image.Open(path) == 1;
    m_holderPath = opened ? path : QString();
    return opened;
}

void ImageViewCore::dropPicture() {
    m_pictureDib.clear();
    m_picture = QImage();
    m_photo = QImage();
    m_photoError = platform::CDibImage::kPicErrorNone;
    m_imageShown = false;
}

bool RenderHolderPicture(CIrImage& holder, std::vector<unsigned char>& buffer, QByteArray* dib, QImage* image) {
    *dib = QByteArray();
    *image = QImage();
    // Sized for the picture the holder has, not a fixed block.
    const int capacity = std::max(ThermcoreDibFileSize(holder.imageWidth(), holder.imageHeight()),
                                  ThermcoreDibFileSize(holder.displayWidth(), holder.displayHeight()));
    if (capacity <= 14) return false;
    buffer.resize(static_cast<size_t>(capacity));
    int size = 0;
    // The holder leaves a packed bitmap at the block's start; size counts
    // the file header it dropped.
    if (holder.OutputDIB(buffer.data(), capacity, &size, 3) != 0 || size <= 14 || size > capacity) return false;
    *dib = QByteArray(reinterpret_cast<const char*>(buffer.data()), size - 14);
    *image = platform::DibToImage(*dib);
    if (image->isNull()) *dib = QByteArray();
    return !image->isNull();
}

bool ImageViewCore::renderPicture(QByteArray* dib, QImage* image) {
    return RenderHolderPicture(m_image, m_buffer, dib, image);
}

bool ImageViewCore::RenderCurrent() {
    if (m_currentPath.isEmpty()) {
        dropPicture();
        return false;
    }
    if (!openInHolder(m_currentPath)) {
        dropPicture();
        return false;
    }
    m_imageShown = true;
    m_rangeReset = (m_image.invert() != 0) == m_invert;
    if (m_rangeReset) {
        m_image.GetTempRange(&m_rangeUpper, &m_rangeLower, &m_windowHigh, &m_windowLow);
        m_levelHigh = TruncateToTenth(m_windowHigh);
        m_levelLow = TruncateToTenth(m_windowLow);
    } else {
        // Inverting keeps the user's level and span: the reopened file
        // would otherwise show its automatic window while the slider and
        // the scale still show the user's.
        m_image.SetLevelSpan(m_levelHigh, m_levelLow);
    }
    if (m_palette == -1) m_palette = m_image.palette();
    m_palette = std::clamp(m_palette, 0, 9);
    m_image.SetPalette(m_palette);
    m_image.SetInvert(m_invert ? 1 : 0);
    if (!renderPicture(&m_pictureDib, &m_picture)) {
        dropPicture();
        return false;
    }
    loadPhoto();
    return true;
}

// The photo goes through a file of the private folder: its stored JPEG
// bytes for version 8, else a bitmap.
void ImageViewCore::loadPhoto() {
    m_photo = QImage();
    m_photoError = platform::CDibImage::kPicErrorNone;
    if (m_image.photoWidth() == 0 || !m_scratch.isValid()) return;
    const bool jpeg = m_image.fileVersion() == 8;
    const QString path = scratchPath("photo", jpeg ? ".jpg" : ".bmp");
    int kind = 3;
    m_image.SaveCCDFile(QFile::encodeName(path).constData(), &kind);
    // A photo whose header claims more than the picture bound is refused by
    // its size before its pixels are allocated.
    m_photo = platform::ReadPictureFile(path, &m_photoError);
    QFile::remove(path);
}

bool ImageViewCore::SetLevel(int which, float temperature) {
    // Without a picture (nothing shown, or the file no longer opened) or a
    // handle there is nothing to drive.
    if (!m_imageShown || m_picture.isNull() || !m_image.handle() || (which != 1 && which != 2)) return false;
    if (which == 1) m_levelLow = temperature;
    if (which == 2) m_levelHigh = temperature;
    m_image.SetLevelSpan(m_levelHigh, m_levelLow);
    QByteArray dib;
    QImage image;
    if (!renderPicture(&dib, &image)) return false;
    m_pictureDib = std::move(dib);
    m_picture = std::move(image);
    return true;
}

std::vector<Thumbnail> ImageViewCore::RenderThumbnails() {
    std::vector<Thumbnail> thumbs;
    const QStringList candidates = InfraredCandidates(ListFolder(m_folder));
    QStringList paths;
    for (const QString& name : candidates) paths.push_back(join(name));
    m_openTest.testAll(paths);
    for (const QString& name : candidates) {
        if (!m_openTest(join(name))) continue;
        if (!openInHolder(join(name))) continue;
        float upper = 0, lower = 0, high = 0, low = 0;
        m_image.GetTempRange(&upper, &lower, &high, &low);
        Thumbnail t;
        t.name = name;
        renderPicture(&t.dib, &t.image);
        thumbs.push_back(std::move(t));
    }
    m_currentPath.clear();
    return thumbs;
}

int ImageViewCore::HasSoundNote() {
    if (m_currentPath.isEmpty()) return 0;
    return m_image.HasSound();
}

int ImageViewCore::ExtractVoiceNote(QString* path) {
    if (m_currentPath.isEmpty()) return 0;
    if (m_holderPath != m_currentPath && !openInHolder(m_currentPath)) return -1;
    if (m_image.HasSound() == 0) return 0;
    if (!m_scratch.isValid()) return -1;
    if (!m_voicePath.isEmpty()) QFile::remove(m_voicePath);
    m_voicePath = scratchPath("voice", ".wav");
    const int result = m_image.ExtractSound(m_voicePath);
    if (path != nullptr) *path = result == 1 ? m_voicePath : QString();
    return result;
}

}  // namespace heatshelf
