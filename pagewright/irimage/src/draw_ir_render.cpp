// CDrawIR: the whole object as a picture (for the clipboard-free exports,
// BMP files and the batch step), the visible-light photo, and the markers of
// profile charts bound to the image.
#include "irimage/draw_ir.h"

#include "irimage/ir_marks.h"
#include "irimage/ir_profile_link.h"
#include "irimage/temperature_text.h"

#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"
#include "document/word_export.h"

#include "platform/dib.h"
#include "platform/dib_image.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cmath>

namespace {

// Writes bytes to path through a scratch file: a failed write keeps the
// file that was there.
bool SaveBytes(const QString& path, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

} // namespace

void CDrawIR::RenderFrame(PageDC& dc)
{
    const DocRect r = position.Normalized();
    if (r.Height() > 0 && HasImage())
        m_fScaleX = m_fScaleY = float(double(ImageHeight()) / double(r.Height()));
    const bool hide = m_bHideNumberOnce;
    m_bHideNumberOnce = false;
    const ScaleEnds scale = DrawContents(dc, r);
    // "NO.n" inside the picture, which holds only the object's rectangle:
    // in a corner on the scale's side, clear of its values.
    DrawFrameAndNumber(dc, r, PictureNumberCorner(dc, r, scale), !hide);
}

QImage CDrawIR::RenderFrameImage(double zoom)
{
    if (!HasImage())
        return {};
    const DocRect r = position.Normalized();
    PageMapping mapping = PageMapping::ForZoom(zoom);
    mapping.windowOrigin = QPoint(r.left, r.bottom);
    mapping.viewportOrigin = QPointF(0, 0);
    const QPointF corner = mapping.ToDevice(r.right, r.top);
    const int width = std::max(1, int(std::lround(corner.x())));
    const int height = std::max(1, int(std::lround(corner.y())));
    if (double(width) * height > double(platform::kMaxDibPixels))
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PageDC dc(painter, mapping);
    RenderFrame(dc);
    painter.end();
    return image;
}

void CDrawIR::ExportToWord(CWordExport& exporter)
{
    const QImage image = RenderFrameImage(view != nullptr ? double(view->m_fZoom) : 1.0);
    if (image.isNull())
        return;
    const DocRect r = position.Normalized();
    exporter.ExportImage(float(r.left), float(r.bottom), float(r.Width()), float(r.Height()), image, false);
}

bool CDrawIR::SaveFrameAsBmp(const QString& path, double zoom)
{
    const QImage image = RenderFrameImage(zoom);
    if (image.isNull())
        return false;
    return SaveBytes(path, platform::SaveDIB(platform::BitmapToDIB(image, 24)));
}

bool CDrawIR::SavePictureAsBmp(const QString& path) const
{
    return HasImage() && SaveBytes(path, platform::SaveDIB(m_dib));
}

bool CDrawIR::RenderFileToBitmap(bool wholeObject, const QString& irPath, const QString& bmpPath, int palette,
                                 double zoom)
{
    // The file opens in a holder of its own: a file that does not open
    // changes nothing, and the object shows its own image again afterwards.
    auto holder = std::make_unique<CIrImage>(&Environment());
    if (holder->Open(irPath, nullptr) != 1)
        return false;
    std::unique_ptr<CIrImage> shown = std::move(m_image);
    const QByteArray shownDib = m_dib;
    const auto limits = m_fLimits;
    const float cameraHigh = m_fCameraHigh, cameraLow = m_fCameraLow;
    const float transmittance = m_fTransmittance;
    const float scaleX = m_fScaleX, scaleY = m_fScaleY;
    m_image = std::move(holder);

    m_image->SetPalette(palette);
    AllocateDib();
    ReadDisplayRange();
    m_image->SetRangeTemps(m_fLimits[4], m_fLimits[5]);
    ApplyIsotherms();
    Render();
    m_fTransmittance = AtmosphericTransmittance(m_image->Atmosphere(), m_image->Humidity() * 100.0f,
                                                m_image->Distance());
    const bool written = wholeObject ? SaveFrameAsBmp(bmpPath, zoom) : SaveBytes(bmpPath, platform::SaveDIB(m_dib));
    m_image->Close();

    m_image = std::move(shown);
    m_dib = shownDib;
    m_fLimits = limits;
    m_fCameraHigh = cameraHigh;
    m_fCameraLow = cameraLow;
    m_fTransmittance = transmittance;
    m_fScaleX = scaleX;
    m_fScaleY = scaleY;
    return written;
}

bool CDrawIR::ExportVisibleImage(const QString& path)
{
    if (!HasImage() || !m_image->ExistCCD())
        return false;
    // The holder writes the photo into a unique scratch file first.
    QTemporaryFile scratch(QDir(Environment().TemporaryFolder()).filePath(QStringLiteral("photo-XXXXXX.jpg")));
    if (!scratch.open())
        return false;
    const QString temporary = scratch.fileName();
    scratch.close();
    QFile::remove(temporary);
    int format = 3;
    m_image->SaveCCDFile(temporary, &format);
    bool written = false;
    if (m_image->ModelVersion() == 8) {
        // A JPEG photo: loaded as a picture and saved as path's kind.
        platform::CDibImage picture;
        written = picture.Load(temporary) && picture.Save(path);
    } else {
        QFile file(temporary);
        written = file.open(QIODevice::ReadOnly) && SaveBytes(path, file.readAll());
    }
    QFile::remove(temporary);
    return written;
}

QString CDrawIR::WriteVisiblePhoto(const QString& folder)
{
    if (!HasImage() || !m_image->ExistCCD())
        return {};
    const bool jpeg = m_image->ModelVersion() == 8;
    QTemporaryFile file(QDir(folder).filePath(jpeg ? QStringLiteral("photo-XXXXXX.jpg") : QStringLiteral("photo-XXXXXX.bmp")));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    const QString path = file.fileName();
    file.close();
    // The holder leaves the empty file as it is when it writes nothing.
    int format = 3;
    m_image->SaveCCDFile(path, &format);
    if (QFileInfo(path).size() <= 0) {
        QFile::remove(path);
        return {};
    }
    return path;
}

void CDrawIR::CollectProfileLinks()
{
    m_profileLinks = {};
    const CDI_RptDoc* doc = document != nullptr ? document : nullptr;
    if (doc == nullptr)
        return;
    std::size_t next = 0;
    for (CDrawObj* obj : doc->GetObjects()) {
        const auto* chart = dynamic_cast<const IRProfileCursors*>(obj);
        if (chart == nullptr || chart->ProfileImageNumber() != m_nNumber)
            continue;
        if (next >= m_profileLinks.size())
            break; // only ten charts are marked
        ProfileLink& link = m_profileLinks[next++];
        link.used = true;
        link.colour = chart->ProfileCursorColor();
        for (int line = 1; line <= IRProfileCursors::kLines; ++line)
            link.positions[std::size_t(line - 1)] = chart->ProfileCursorPosition(line);
    }
}

void CDrawIR::DrawProfileMarkers(PageDC& dc, const DocRect& picture)
{
    CollectProfileLinks();
    if (m_fScaleX <= 0 || m_fScaleY <= 0)
        return;
    const ir_marks::PictureMapping map{picture.left, picture.bottom, m_fScaleX, m_fScaleY};
    for (const IRAnalysisItem& item : m_analyses) {
        if (item.kind != kAnalysisLine || item.number < 1 || item.number > IRProfileCursors::kLines)
            continue;
        const QPoint a = map.ToPage(item.shape.left, item.shape.top);
        const QPoint b = map.ToPage(item.shape.right, item.shape.bottom);
        for (const ProfileLink& link : m_profileLinks) {
            const float f = link.positions[std::size_t(item.number - 1)];
            if (!link.used || !(f > 0 && f < 1))
                continue;
            const int x = a.x() + TruncateTo<int>((double(b.x()) - a.x()) * f);
            const int y = a.y() + TruncateTo<int>((double(b.y()) - a.y()) * f);
            dc.SelectPen(LogPen{PS_SOLID, ir_marks::kPenWidth, ir_marks::kPenWidth, link.colour});
            dc.Line(QPoint(x - 60, y), QPoint(x + 60, y));
            dc.Line(QPoint(x, y - 60), QPoint(x, y + 60));
        }
    }
}
