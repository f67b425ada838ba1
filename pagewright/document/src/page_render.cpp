#include "document/page_render.h"

#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

QImage RenderPageImage(CDI_RptDoc& doc, int page, double zoom)
{
    if (page < 0 || page >= doc.GetPageCount() || !(zoom > 0))
        return {};
    PageMapping mapping = PageMapping::ForZoom(zoom);
    mapping.windowOrigin = QPoint(0, -105);
    const QSize size(int(std::ceil(doc.GetPageSize().width() * mapping.Scale())),
                     int(std::ceil(doc.GetPageSize().height() * mapping.Scale())));
    if (size.isEmpty() || size.width() > 32767 || size.height() > 32767)
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const int kept = doc.GetCurPage();
    doc.SetCurPage(page);
    {
        QPainter painter(&image);
        image.fill(PageDC::ToQColor(doc.GetBackColor()));
        PageDC dc(painter, mapping);
        doc.Draw(dc, nullptr);
    }
    doc.SetCurPage(kept);
    return image;
}

bool PrintPages(CDI_RptDoc& doc, QPagedPaintDevice& device, bool preview, DrawView* view, int first, int last)
{
    const QSize units = doc.GetPageSize();
    device.setPageLayout(QPageLayout(QPageSize(QSizeF(units.width() / 1008.0, units.height() / 1008.0), QPageSize::Inch, QString(),
                                               QPageSize::ExactMatch),
                                     QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    first = std::max(0, first);
    last = last < 0 ? doc.GetPageCount() - 1 : std::min(last, doc.GetPageCount() - 1);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const int kept = doc.GetCurPage();
    // The page's top edge (y = -105) at the sheet's top, where the screen
    // shows it; one-pixel pens one pixel of the page at 96 dpi on paper,
    // one pixel of the screen in a preview that shows the sheet scaled.
    PageMapping mapping = PageMapping::ForResolution(device.logicalDpiX());
    mapping.windowOrigin = QPoint(0, -105);
    if (!preview)
        mapping.dotPixels = std::max(1.0, device.logicalDpiX() / 96.0);
    for (int page = first; page <= last; ++page) {
        if (page > first)
            device.newPage();
        doc.SetCurPage(page);
        painter.fillRect(QRect(0, 0, device.width(), device.height()), PageDC::ToQColor(doc.GetBackColor()));
        PageDC dc(painter, mapping, true);
        doc.Draw(dc, view);
    }
    painter.end();
    doc.SetCurPage(kept);
    if (!preview)
        doc.GetSummaryInfo().RecordPrintDate();
    return true;
}
