// CDraw3DMap: the report object that shows the temperatures of an infrared
// image, or of one of its rectangle analyses, as a coloured 3D surface.
//
// The surface is rendered only in the properties dialog (C3DMapPropDlg);
// confirming it stores a snapshot of the view in the object, which the page
// shows. The map is bound to its image by the image's number and is one of
// the image's dependents; a map whose image, picture or rectangle is gone
// unlinks itself at its next drawing, properties or export and shows
// "3D Map" again.
//
// Record (class "CDraw3DMap", schema 0), after the base record:
//
//     snapshot picture (u32 n, then a whole BMP or JPEG file),
//     32-byte block: 0 linked (u8), 1 area selected (u8), 2..3 zero,
//         4 image number (i32), 8 area number (i32), 12 background (u32),
//         16 zoom (f32), 20 rotation X (f32), 24 rotation Y (f32),
//         28 changed (i32),
//     has snapshot (u8; any non-zero value reads as 1),
//     data width (i32), data height (i32).
#pragma once

#include "irimage/ir_analysis.h"
#include "irimage/ir_dependent.h"

#include "document/draw_obj.h"
#include "document/ir_image_object.h"

#include "platform/dib_image.h"

#include <QByteArrayView>
#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <memory>
#include <vector>

class CDrawIR;

class CDraw3DMap : public CDrawObj, public IRImageDependent, public IRLinkedObject {
public:
    static const DrawClass kClass;
    // The smallest frame drawn (both sides, logical units).
    static constexpr int kMinSize = 600;
    // The smallest side a handle drag leaves while a snapshot keeps the
    // aspect.
    static constexpr int kMinHandleSide = 50;
    static constexpr unsigned kCmdSettings = 34021;
    static constexpr int kRecordBlockSize = 32;
    // Height of "NO.n" and "3D Map" (logical units).
    static constexpr int kNumberHeight = 128;

    CDraw3DMap();
    CDraw3DMap(DrawView* view, const DocRect& rect);
    ~CDraw3DMap() override;

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;
    void Dump(QJsonObject& out) const override;
    void Draw(PageDC& dc) override;
    bool Intersects(const DocRect& rect) override;
    void MoveHandleTo(int handle, QPoint point, int flags, DrawView* view) override;
    void OnEditProperties() override;
    int DoCommand(unsigned id, const QString& text, int value) override;
    void ExportToWord(CWordExport& exporter) override;
    int GetPopupMenuIndex() const override;

    // ---- link to an image and an area
    // Links to the view's image with that number; false when there is none
    // or it holds no picture.
    bool LinkToIR(int number);
    // Shows rectangle analysis number of the linked image; false when not
    // linked or there is no such rectangle.
    bool SelectArea(int number);
    void Unlink();
    // Back to the whole image with the default view settings, no snapshot.
    void ResetArea();
    // Unlinks when the image, its picture or the shown rectangle is gone.
    void ValidateLink();

    // ---- data of the view's images
    // The object's view, else its document's; null when neither has one.
    DrawView* ActiveView() const;
    // The view's image with that number holding a picture, or null.
    CDrawIR* FindImage(int number) const;
    // Appends the numbers of the image's rectangle analyses with a
    // non-empty rectangle, in array order; returns how many were appended.
    int ListAreas(int imageNumber, std::vector<int>& numbers) const;
    // The temperatures of the whole image (its width - 2 by height - 2
    // pixels) or of the rectangle analysis, column by column, into a buffer
    // of (size.cx + 1) x (size.cy + 1) floats; null when the image, picture
    // or rectangle is missing or cannot be read.
    std::unique_ptr<float[]> GetAreaTemperatures(int imageNumber, bool area, int areaNumber, QSize* size) const;
    // The picture's colours (blue, green, red) of the same pixels, size.cx
    // by size.cy, row 0 the lowest row; null as above.
    std::unique_ptr<std::uint8_t[]> GetAreaColors(int imageNumber, bool area, int areaNumber, QSize* size) const;

    // An analysis rectangle, normalised (picture pixels).
    static DocRect AreaRect(const IRShape& shape);

    // The colours of region (image pixels, rows from the top) from a 24-bit
    // packed DIB of an image of imageSize pixels, possibly drawn larger
    // (doubled): row 0 the region's lowest row; pixels outside the picture
    // are taken from its nearest edge. Null for another kind of picture.
    static std::unique_ptr<std::uint8_t[]> PictureColors(QByteArrayView dib, QSize imageSize, const QRect& region);

    // The object drawn on white at its size on the view (the picture the
    // word-processor export inserts); null without a view.
    QImage RenderExportImage();
    // The snapshot's width / height (a height of 0 counts as 1).
    double SnapshotAspect() const;

    // ---- IRImageDependent
    void OnIRImageChanged(CDrawIR& image) override;
    bool IsBoundToImage(int number) const override;
    // ---- IRLinkedObject
    int GetLinkedIRNumber() const override { return m_nIRNumber; }
    void SetLinkedIRNumber(int number) override { m_nIRNumber = number; }
    // "NO.n" beside the upper right corner while a snapshot is shown and the
    // document shows numbers; empty otherwise.
    DocRect LabelArea() const override;

    static void Register(DrawClassRegistry& registry);

    // ---- members (names of the object's record)
    std::uint8_t m_bLinked = 0;
    std::uint8_t m_bAreaSelected = 0;
    std::int32_t m_nIRNumber = -1;
    std::int32_t m_nAreaNumber = -1;
    COLORREF m_clrBack = 0xFFFFFF;
    float m_fZoom = 1.0f;
    float m_fRotX = 0;
    float m_fRotY = 0;
    std::int32_t m_bChanged = 0;
    std::uint8_t m_bHasSnapshot = 0;
    // Written by the record as a picture not read from a file is (JPEG, or
    // BMP when wide); the record's writer is const.
    mutable platform::CDibImage m_snapshot;
    std::int32_t m_nDataWidth = 0;
    std::int32_t m_nDataHeight = 0;

private:
    bool ShowsNumber() const;
    QString NumberText() const;
    // The first rectangle analysis with that number, or null.
    static const IRAnalysisItem* FindRectangle(const CDrawIR& image, int number);
    // The image as a dependent's registration wants it: the number's image
    // whether or not it has a picture.
    CDrawIR* FindImageObject(int number) const;
    // Fits the frame to the snapshot's aspect (after the dialog's OK).
    void FitToSnapshot();
};
