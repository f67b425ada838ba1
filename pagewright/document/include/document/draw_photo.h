// CDrawPhoto and CDrawLogo: the picture-bearing objects of a report page.
//
// A photo shows a picture file (typically the visible-light photo taken with
// an infrared image) in a frame that keeps the picture's aspect ratio, and
// carries the number of the infrared image it belongs to ("NO.%d" under the
// document's number switch). Without a picture it shows the word "PHOTO".
// A logo shows the document's logo picture over the word "LOGO".
//
// Photo record after the 56-byte base record:
//
//    the picture record (u32 length n, then a whole BMP or JPEG file; 0 =
//    none), then heightPerWidth (f32), widthPerHeight (f32), pictureHeight
//    (i32), pictureWidth (i32), imageNumber (i32).
//
// A logo's record is the base record only.
#pragma once

#include "document/draw_obj.h"
#include "document/ir_image_object.h"

#include "platform/dib_image.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

// Draws a picture stretched into a page rectangle through a copy scaled to
// the device size, kept until the picture or that size changes, so that a
// large photo is scaled once and not on every repaint.
class ScaledPicture {
public:
    void Draw(PageDC& dc, const DocRect& box, const platform::CDibImage& picture);
    void Clear();

private:
    QByteArray m_source; // shares the picture's bytes, which identifies it while held
    QSize m_size;
    QImage m_scaled;
};

class CDrawPhoto : public CDrawObj, public IRLinkedObject {
public:
    static const DrawClass kClass;
    // The commands of the photo's context menu.
    static constexpr unsigned kChoosePicture = 32971;
    static constexpr unsigned kImageNumber = 34055;
    // The smallest frame drawn, and the nearest a handle comes to the
    // opposite edge (logical units).
    static constexpr int kMinSize = 400;
    static constexpr int kMinHandleGap = 50;
    // The files the picture dialog offers.
    static const char* const kPictureFilter;

    CDrawPhoto() = default;
    CDrawPhoto(DrawView* view, const DocRect& rect);

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;
    void Dump(QJsonObject& out) const override;
    void Draw(PageDC& dc) override;
    void MoveHandleTo(int handle, QPoint point, int flags, DrawView* view) override;
    void OnEditProperties() override;
    int DoCommand(unsigned id, const QString& text, int value) override;
    int GetPopupMenuIndex() const override;
    // The export picture in a borderless box at (left, upper edge, width,
    // height) of the normalised frame.
    void ExportToWord(CWordExport& exporter) override;

    // IRLinkedObject
    int GetLinkedIRNumber() const override { return imageNumber; }
    void SetLinkedIRNumber(int number) override { imageNumber = number; }
    // "NO.%d" right of the upper right corner, while it is shown.
    DocRect LabelArea() const override;

    // Loads a picture file and fits the frame to it. False, with the picture,
    // its fields and the frame unchanged, when the file does not load or the
    // picture has no area.
    bool LoadPicture(const QString& path);
    // The frame fitted to the picture's aspect: it grows in the one direction
    // in which it is too small; the left edge and the edge at the larger y
    // stay. Without a picture the frame is kept.
    void FitFrame();
    bool HasPicture() const { return pictureHandle != 0; }
    const platform::CDibImage& Picture() const { return picture; }

    // The export picture: the object (frame, then the picture or the word
    // "PHOTO") on white, 96 pixels per 1008 units at the view's zoom; null
    // for an object larger than any page (2^25 pixels).
    QImage ExportPicture() const;

    std::int32_t imageNumber = 1;
    std::int32_t pictureWidth = 0;
    std::int32_t pictureHeight = 0;
    float widthPerHeight = 0;
    float heightPerWidth = 0;
    std::uint32_t pictureHandle = 0;

private:
    bool AdoptPicture(platform::CDibImage&& loaded);
    void ChoosePicture();
    void ChooseImageNumber();

    // Mutable: writing the record may encode the picture.
    mutable platform::CDibImage picture;
    ScaledPicture m_scaled;
};

class CDrawLogo : public CDrawObj {
public:
    static const DrawClass kClass;
    static constexpr int kMinSize = 200;

    CDrawLogo() = default;
    CDrawLogo(DrawView* view, const DocRect& rect);

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Draw(PageDC& dc) override;
    int DoCommand(unsigned id, const QString& text, int value) override;
    int GetPopupMenuIndex() const override;
    // As the photo's.
    void ExportToWord(CWordExport& exporter) override;

    // The export picture: the frame, then the document's logo or the word
    // "LOGO", as ExportPicture of the photo.
    QImage ExportPicture() const;

private:
    ScaledPicture m_scaled;
};
