// The image view without its widgets: which file of the current folder is
// shown, its picture and photo, the temperature range and the level and
// span of the slider, the voice note, and the thumbnails. The view's
// widgets drive it and paint what it holds.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <vector>

#include "heatshelf/folder_walk.h"
#include "heatshelf/ir_image.h"

namespace heatshelf {

// Renders the holder's open file as a packed 24-bit bitmap (in a block
// sized for its picture) and as an image; false, both empty, when the
// holder gives none.
bool RenderHolderPicture(CIrImage& holder, std::vector<unsigned char>& buffer, QByteArray* dib, QImage* image);

struct Thumbnail {
    QString name;
    QByteArray dib;  // packed 24-bit bitmap
    QImage image;
};

class ImageViewCore {
public:
    explicit ImageViewCore(QString appDirectory, const thermcore::IfrCalls& calls = thermcore::ExportedCalls());

    // The folder the tree chose; the current file is kept until the next
    // step (a step of kind first forgets it).
    void SetFolder(const QString& folder) { m_folder = folder; }
    const QString& folder() const { return m_folder; }
    void SetCurrentFile(const QString& path) { m_currentPath = path; }
    const QString& currentFile() const { return m_currentPath; }

    // Steps to a file (what: first, previous, next, again) and renders it.
    // palette: the palette the user chose, or -1 for the file's own.
    void ChooseFile(int what, int palette = -1);
    // Opens and renders the current file: false, with no picture, when
    // there is none or it does not open.
    bool RenderCurrent();
    // The slider moved: which 1 the low end, 2 the high end. Renders the
    // picture again; false, changing nothing, when no picture is shown or
    // the holder has no file.
    bool SetLevel(int which, float temperature);
    // Renders every file of the folder that opens; forgets the current file.
    std::vector<Thumbnail> RenderThumbnails();

    void SetInvert(bool invert) { m_invert = invert; }
    bool invert() const { return m_invert; }

    // 0 without a current file, else whether it has a voice note.
    int HasSoundNote();
    // Writes the current file's voice note to a new file of the private
    // folder: the library's result (1) with the path; 0 when there is no
    // current file or no note; -1 when the file does not open.
    int ExtractVoiceNote(QString* path);

    const WalkResult& walk() const { return m_walk; }
    bool imageShown() const { return m_imageShown; }
    // The last render took the file's own range and window (not so right
    // after the invert flag changed: the user's level and span stay).
    bool rangeReset() const { return m_rangeReset; }
    // The picture as a packed 24-bit bitmap and as an image; empty or null
    // when nothing is shown.
    const QByteArray& pictureDib() const { return m_pictureDib; }
    const QImage& picture() const { return m_picture; }
    const QImage& photo() const { return m_photo; }
    // Why the current file's photo is null although the file has one: a
    // platform::CDibImage::PicError (kPicErrorTooLarge beyond the picture
    // bound); kPicErrorNone otherwise.
    int photoError() const { return m_photoError; }
    int palette() const { return m_palette; }
    float rangeUpper() const { return m_rangeUpper; }
    float rangeLower() const { return m_rangeLower; }
    float windowHigh() const { return m_windowHigh; }
    float windowLow() const { return m_windowLow; }
    float levelHigh() const { return m_levelHigh; }
    float levelLow() const { return m_levelLow; }

    CIrImage& holder() { return m_image; }
    const CIrImage& holder() const { return m_image; }
    OpenTest& openTest() { return m_openTest; }

private:
    QString join(const QString& name) const;
    QString scratchPath(const char* stem, const char* suffix);
    bool renderPicture(QByteArray* dib, QImage* image);
    void loadPhoto();
    void dropPicture();
    // Closes the holder and opens path in it; false when it does not open.
    bool openInHolder(const QString& path);

    CIrImage m_image;
    OpenTest m_openTest;
    QTemporaryDir m_scratch;
    int m_scratchCount = 0;
    QString m_voicePath;
    QString m_holderPath;  // the file open in the holder

    QString m_folder;
    QString m_currentPath;
    WalkResult m_walk;
    bool m_imageShown = false;
    bool m_rangeReset = false;
    bool m_invert = false;
    int m_palette = -1;
    float m_rangeUpper = 1500.1f;
    float m_rangeLower = -100.1f;
    float m_windowHigh = 500.0f;
    float m_windowLow = 0.0f;
    float m_levelHigh = 500.0f;
    float m_levelLow = 0.0f;
    std::vector<unsigned char> m_buffer;
    QByteArray m_pictureDib;
    QImage m_picture;
    QImage m_photo;
    int m_photoError = 0;
};

}  // namespace heatshelf
