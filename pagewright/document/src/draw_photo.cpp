#include "document/draw_photo.h"

#include "document/draw_rect.h"
#include "document/draw_view.h"
#include "document/image_number_dlg.h"
#include "document/page_dc.h"
#include "document/record_values.h"
#include "document/rpt_doc.h"
#include "document/view_file_dlg.h"
#include "document/word_export.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"
#include "platform/dialog_folder.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>

#include <cmath>

const DrawClass CDrawPhoto::kClass{
    {"CDrawPhoto", 0, &platform::createArchiveObject<CDrawPhoto>}, &CDrawObj::kClass, &CreateDrawObjForUndo<CDrawPhoto>};
const DrawClass CDrawLogo::kClass{
    {"CDrawLogo", 0, &platform::createArchiveObject<CDrawLogo>}, &CDrawObj::kClass, &CreateDrawObjForUndo<CDrawLogo>};

const char* const CDrawPhoto::kPictureFilter =
    "(*.bmp;*.gif;*.jpg;*.pcx;*.tga;*.tif)|*.bmp;*.gif;*.jpg;*.pcx;*.tga;*.tif||";

namespace {

// "NO.%d" is drawn with the 96-point font that a font made without a
// reference device gives: 128 logical units high.
constexpr int kNumberHeight = 128;
// The placeholder words: the screen's system font at 100 % (16 pixels).
constexpr int kPlaceholderHeight = 168;
// Scaled copies and export pictures are kept below this many pixels.
constexpr std::int64_t kMaxScaledPixels = std::int64_t(1) << 25;

// Normalises r (top the smaller y) and enlarges it to at least min units in
// each direction: the edge at the smaller y and the right edge move.
DocRect NormalizedAtLeast(const DocRect& r, int min)
{
    DocRect n = r.Normalized();
    if (n.Height() < min)
        n.top = ClampToInt(std::int64_t(n.bottom) - min);
    if (n.Width() < min)
        n.right = ClampToInt(std::int64_t(n.left) + min);
    return n;
}

// The normalised rectangle shrunk on each side by w.
DocRect Deflated(const DocRect& n, int w)
{
    return {ClampToInt(std::int64_t(n.left) + w), ClampToInt(std::int64_t(n.top) + w),
            ClampToInt(std::int64_t(n.right) - w), ClampToInt(std::int64_t(n.bottom) - w)};
}

LogPen ScaledPen(const LogPen& pen)
{
    LogPen scaled = pen;
    scaled.widthX = ScaledPenWidth(pen.widthX);
    scaled.widthY = ScaledPenWidth(pen.widthY);
    return scaled;
}

// A placeholder word centred horizontally in the lower half of box
// (normalised): from its vertical middle to its edge at the smaller y.
void DrawPlaceholder(PageDC& dc, const DocRect& box, const QString& word, int vertical)
{
    const DocRect lower(box.left, box.CenterY(), box.right, box.top);
    dc.DrawText(lower, word, QFont(QStringLiteral("Arial")), kPlaceholderHeight, Qt::AlignHCenter | vertical, 0);
}

// The export picture of an object: the frame over its normalised rectangle
// at the origin, then what content draws into the inner box, on white.
template <class Content>
QImage RenderExportPicture(const CDrawObj& obj, const Content& content)
{
    const double zoom = obj.GetView() != nullptr ? obj.GetView()->m_fZoom : 1.0;
    const PageMapping mapping = PageMapping::ForZoom(zoom);
    const DocRect n = obj.position.Normalized();
    const int width = std::max(1, TruncToInt(std::round(double(n.Width()) * mapping.Scale())));
    const int height = std::max(1, TruncToInt(std::round(double(n.Height()) * mapping.Scale())));
    if (std::int64_t(width) * height > kMaxScaledPixels)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PageDC dc(painter, mapping);
    const DocRect frame(0, ClampToInt(-n.Height()), ClampToInt(n.Width()), 0);
    const LogPen pen = ScaledPen(obj.GetLogPen());
    if (PageDC::CanCreatePen(obj.GetLogPen()) && PageDC::CanCreateBrush(obj.GetLogBrush())) {
        if (obj.brushOn)
            dc.SelectBrush(obj.GetLogBrush());
        else
            dc.SelectNullBrush();
        if (obj.penOn)
            dc.SelectPen(pen);
        else
            dc.SelectNullPen();
        dc.Rectangle(frame);
    }
    content(dc, Deflated(frame, pen.widthX));
    painter.end();
    return image;
}

} // namespace

// ---- ScaledPicture

void ScaledPicture::Draw(PageDC& dc, const DocRect& box, const platform::CDibImage& picture)
{
    const QRectF target = dc.LPtoDP(box);
    const QSize size(std::max(1, TruncToInt(std::round(target.width()))),
                     std::max(1, TruncToInt(std::round(target.height()))));
    const QByteArray& bytes = picture.GetHandle();
    if (bytes.isEmpty())
        return;
    if (std::int64_t(size.width()) * size.height() > kMaxScaledPixels) {
        // Larger than any page shows: drawn as it is, clipped by the device.
        dc.Painter().drawImage(target, picture.ToImage());
        return;
    }
    if (m_scaled.isNull() || m_size != size || m_source.constData() != bytes.constData() ||
        m_source.size() != bytes.size()) {
        m_source = bytes;
        m_size = size;
        const QImage full = picture.ToImage();
        m_scaled = full.isNull() ? QImage()
                                 : full.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (m_scaled.isNull())
        return;
    dc.Painter().drawImage(QRectF(target.topLeft(), QSizeF(size)), m_scaled);
}

void ScaledPicture::Clear()
{
    m_source.clear();
    m_size = {};
    m_scaled = {};
}

// ---- CDrawPhoto

CDrawPhoto::CDrawPhoto(DrawView* v, const DocRect& rect) : CDrawObj(v, rect) {}

void CDrawPhoto::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawObj::Serialize(ar);
    picture.Serialize(ar);
    ar.writeF32(heightPerWidth);
    ar.writeF32(widthPerHeight);
    ar.writeI32(pictureHeight);
    ar.writeI32(pictureWidth);
    ar.writeI32(imageNumber);
}

void CDrawPhoto::Serialize(platform::ArchiveReader& ar)
{
    CDrawObj::Serialize(ar);
    // An empty record leaves a picture as it was: start from none, so that
    // undo back to an empty photo empties it.
    picture.Free();
    m_scaled.Clear();
    picture.Serialize(ar);
    heightPerWidth = record_values::ReadFinite(ar);
    widthPerHeight = record_values::ReadFinite(ar);
    pictureHeight = record_values::ReadI32In(ar, -record_values::kMaxLength, record_values::kMaxLength);
    pictureWidth = record_values::ReadI32In(ar, -record_values::kMaxLength, record_values::kMaxLength);
    imageNumber = ar.readI32();
    pictureHandle = picture.IsEmpty() ? 0 : 1;
}

void CDrawPhoto::Dump(QJsonObject& out) const
{
    CDrawObj::Dump(out);
    out[QStringLiteral("imageNumber")] = imageNumber;
    out[QStringLiteral("pictureSize")] = QJsonArray{pictureWidth, pictureHeight};
    out[QStringLiteral("widthPerHeight")] = double(widthPerHeight);
    out[QStringLiteral("heightPerWidth")] = double(heightPerWidth);
    out[QStringLiteral("picture")] =
        QJsonObject{{QStringLiteral("loaded"), pictureHandle != 0},
                    {QStringLiteral("size"), QJsonArray{picture.GetWidth(), picture.GetHeight()}},
                    {QStringLiteral("fileType"), picture.GetFileType()},
                    {QStringLiteral("bytes"), static_cast<qint64>(picture.GetOriginalBytes().size())}};
}

bool CDrawPhoto::AdoptPicture(platform::CDibImage&& loaded)
{
    if (loaded.IsEmpty() || loaded.GetWidth() <= 0 || loaded.GetHeight() <= 0)
        return false;
    picture = std::move(loaded);
    m_scaled.Clear();
    pictureWidth = picture.GetWidth();
    pictureHeight = picture.GetHeight();
    pictureHandle = 1;
    heightPerWidth = float(pictureHeight) / float(pictureWidth);
    widthPerHeight = float(pictureWidth) / float(pictureHeight);
    return true;
}

bool CDrawPhoto::LoadPicture(const QString& path)
{
    platform::CDibImage loaded;
    if (!loaded.Load(path) || !AdoptPicture(std::move(loaded)))
        return false;
    FitFrame();
    return true;
}

void CDrawPhoto::FitFrame()
{
    if (pictureHandle == 0 || pictureWidth <= 0 || pictureHeight <= 0)
        return;
    const DocRect n = position.Normalized();
    const double dx = double(n.Width());
    const double dy = double(n.Height());
    // dx / dy <= k without dividing: a frame of no height is safe.
    if (dx <= dy * double(widthPerHeight))
        position = DocRect(n.left, n.top, ClampToInt(std::int64_t(n.left) + TruncToInt(dy * widthPerHeight)), n.bottom);
    else
        position = DocRect(n.left, ClampToInt(std::int64_t(n.bottom) - TruncToInt(dx * heightPerWidth)), n.right,
                           n.bottom);
}

void CDrawPhoto::Draw(PageDC& dc)
{
    const LogPen pen = ScaledPen(this->pen);
    if (!SelectPenAndBrush(dc, pen))
        return;
    position = NormalizedAtLeast(position, kMinSize);
    dc.Rectangle(position);
    const DocRect inner = Deflated(position, pen.widthX);
    if (pictureHandle != 0) {
        m_scaled.Draw(dc, DocRect(inner.left, inner.bottom, inner.right, inner.top), picture);
        if (document != nullptr && document->GetShowNumbers()) {
            if (imageNumber < 1)
                imageNumber = 1;
            dc.DrawText(LabelArea(), QStringLiteral("NO.%1").arg(imageNumber), QFont(QStringLiteral("Arial")), kNumberHeight,
                        Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, 0);
        }
    } else {
        DrawPlaceholder(dc, inner, QStringLiteral("PHOTO"), Qt::AlignVCenter);
    }
}

namespace {

void ExportPictureObject(const CDrawObj& obj, const QImage& picture, CWordExport& exporter)
{
    if (picture.isNull())
        return;
    const DocRect r = obj.position.Normalized();
    exporter.ExportImage(float(r.left), float(r.bottom), float(r.Width()), float(r.Height()), picture, false);
}

} // namespace

void CDrawPhoto::ExportToWord(CWordExport& exporter) { ExportPictureObject(*this, ExportPicture(), exporter); }

void CDrawLogo::ExportToWord(CWordExport& exporter) { ExportPictureObject(*this, ExportPicture(), exporter); }

QImage CDrawPhoto::ExportPicture() const
{
    return RenderExportPicture(*this, [this](PageDC& dc, const DocRect& inner) {
        if (pictureHandle != 0) {
            ScaledPicture once;
            once.Draw(dc, DocRect(inner.left, inner.bottom, inner.right, inner.top), picture);
        } else {
            DrawPlaceholder(dc, inner, QStringLiteral("PHOTO"), Qt::AlignVCenter);
        }
    });
}

void CDrawPhoto::MoveHandleTo(int handle, QPoint point, int flags, DrawView* v)
{
    if (pictureHandle == 0) {
        CDrawObj::MoveHandleTo(handle, point, flags, v);
        return;
    }
    activeHandle = handle;
    // Edges in 64 bits: stored values may be anything.
    std::int64_t l = position.left, t = position.top, r = position.right, b = position.bottom;
    const std::int64_t x = point.x(), y = point.y();
    const double k = widthPerHeight;
    const double q = heightPerWidth;
    constexpr int gap = kMinHandleGap;
    const auto byHeight = [k](std::int64_t h) { return std::int64_t(TruncToInt(double(h) * k)); };
    const auto byWidth = [q](std::int64_t w) { return std::int64_t(TruncToInt(double(w) * q)); };
    // w / h <= k, compared without dividing.
    const auto narrow = [k](std::int64_t w, std::int64_t h) { return double(w) <= double(h) * k; };
    switch (handle) {
    case 1:
        if (x > r - gap || y > b - gap)
            return;
        l = x, t = y;
        if (narrow(r - x, b - y))
            l = r - byHeight(b - y);
        else
            t = b - byWidth(r - x);
        break;
    case 2:
        if (b < y + gap)
            return;
        t = y;
        r = l + byHeight(b - y);
        break;
    case 3:
        if (x < l + gap || y > b - gap)
            return;
        r = x, t = y;
        if (narrow(x - l, b - y))
            r = l + byHeight(b - y);
        else
            t = b - byWidth(x - l);
        break;
    case 4:
        if (x < l + gap)
            return;
        r = x;
        t = b - byWidth(x - l);
        break;
    case 5:
        if (x < l + gap || y < t + gap)
            return;
        r = x, b = y;
        if (narrow(x - l, y - t))
            r = l + byHeight(y - t);
        else
            b = t + byWidth(x - l);
        break;
    case 6:
        if (y < t + gap)
            return;
        b = y;
        r = l + byHeight(y - t);
        break;
    case 7:
        if (x > r - gap || y < t + gap)
            return;
        l = x, b = y;
        if (narrow(r - x, y - t))
            l = r - byHeight(y - t);
        else
            b = t + byWidth(r - x);
        break;
    case 8:
        if (x > r - gap)
            return;
        l = x;
        t = b - byWidth(r - x);
        break;
    default:
        break;
    }
    MoveTo(DocRect(ClampToInt(l), ClampToInt(t), ClampToInt(r), ClampToInt(b)), flags, v);
}

DocRect CDrawPhoto::LabelArea() const
{
    if (pictureHandle == 0 || document == nullptr || !document->GetShowNumbers())
        return {};
    // Room for "NO." and the digits at the font's height each.
    const DocRect n = position.Normalized();
    const int chars = 3 + int(QString::number(std::max(imageNumber, 1)).size());
    return DocRect(n.right, n.bottom, ClampToInt(std::int64_t(n.right) + std::int64_t(kNumberHeight) * chars),
                   ClampToInt(std::int64_t(n.bottom) - kNumberHeight));
}

void CDrawPhoto::OnEditProperties()
{
    DoCommand(kChoosePicture, QString(), 0);
}

int CDrawPhoto::DoCommand(unsigned id, const QString& text, int value)
{
    (void)text;
    (void)value;
    if (id == kChoosePicture)
        ChoosePicture();
    else if (id == kImageNumber)
        ChooseImageNumber();
    return 1;
}

void CDrawPhoto::ChoosePicture()
{
    if (document == nullptr)
        return;
    DocumentEnvironment& env = document->Environment();
    CViewFileDlg dialog(true, QString(), QString(), QString::fromLatin1(kPictureFilter), QApplication::activeWindow());
    dialog.setDirectory(platform::ProposedFolder(env.PicPath()));
    if (!env.RunDialog(dialog))
        return;
    env.SetPicPath(dialog.GetPathName());
    platform::CDibImage loaded;
    if (!loaded.Load(dialog.GetPathName()) || loaded.GetWidth() <= 0 || loaded.GetHeight() <= 0)
        return; // nothing changes, no step recorded
    SaveRedoSnapshot();
    AdoptPicture(std::move(loaded));
    FitFrame();
    Invalidate();
    SaveUndoSnapshot();
}

void CDrawPhoto::ChooseImageNumber()
{
    if (document == nullptr)
        return;
    CImageNumberDlg dialog(QApplication::activeWindow());
    dialog.m_number = imageNumber;
    if (!document->Environment().RunDialog(dialog))
        return;
    DrawView* v = view != nullptr ? view : document->GetView();
    CDrawObj* found = v != nullptr ? v->FindIRObject(dialog.m_number) : nullptr;
    IRImageObject* image = AsIRImage(found);
    if (image == nullptr)
        return; // no image carries that number: nothing changes
    SaveRedoSnapshot();
    imageNumber = dialog.m_number;
    const QString photo = image->WriteVisiblePhoto(document->Environment().TemporaryFolder());
    if (!photo.isEmpty()) {
        LoadPicture(photo);
        QFile::remove(photo);
    }
    Invalidate();
    SaveUndoSnapshot();
}

int CDrawPhoto::GetPopupMenuIndex() const
{
    return view != nullptr && view->GetSelection().size() >= 2 ? 0 : 6;
}

// ---- CDrawLogo

CDrawLogo::CDrawLogo(DrawView* v, const DocRect& rect) : CDrawObj(v, rect) {}

void CDrawLogo::Draw(PageDC& dc)
{
    if (!SelectPenAndBrush(dc, ScaledPen(pen)))
        return;
    position = NormalizedAtLeast(position, kMinSize);
    dc.Rectangle(position);
    DrawPlaceholder(dc, position, QStringLiteral("LOGO"), Qt::AlignTop);
    if (document != nullptr && !document->GetLogo().IsEmpty())
        m_scaled.Draw(dc, DocRect(position.left, position.bottom, position.right, position.top), document->GetLogo());
}

QImage CDrawLogo::ExportPicture() const
{
    return RenderExportPicture(*this, [this](PageDC& dc, const DocRect& inner) {
        if (document != nullptr && !document->GetLogo().IsEmpty()) {
            ScaledPicture once;
            once.Draw(dc, DocRect(inner.left, inner.bottom, inner.right, inner.top), document->GetLogo());
        } else {
            DrawPlaceholder(dc, inner, QStringLiteral("LOGO"), Qt::AlignTop);
        }
    });
}

int CDrawLogo::DoCommand(unsigned id, const QString& text, int value)
{
    (void)id;
    (void)text;
    (void)value;
    return 1;
}

int CDrawLogo::GetPopupMenuIndex() const
{
    return view != nullptr && view->GetSelection().size() >= 2 ? 0 : 7;
}
