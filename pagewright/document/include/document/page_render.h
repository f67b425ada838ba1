// Pages drawn outside the window: one page as an image at a zoom (as the
// view paints it, without selection, guides or shadow), and every page to a
// paged device (printer, PDF) as printing draws them.
#pragma once

#include <QImage>

class CDI_RptDoc;
class DrawView;
class QPagedPaintDevice;

// Page page (0-based) at zoom, 96 dots per inch at zoom 1, the page's
// top-left corner at pixel (0, 0); the document's current page is kept.
// A null image for a page that does not exist.
QImage RenderPageImage(CDI_RptDoc& doc, int page, double zoom);

// Prints pages first to last (0-based, clamped; last -1: to the end), one
// device page each, at the device's resolution with the printer mapping
// (1008 units per inch, the page's top-left corner, (0, -105), at the
// device page's top-left corner, as the screen places it). Unless
// previewing, a one-pixel pen is 1/96 inch wide, as on the screen at 100 %.
// The device's page size is the report's.
// Unless previewing, the summary's last-printed time is set. The document
// stays on its page. False when the device cannot be painted.
bool PrintPages(CDI_RptDoc& doc, QPagedPaintDevice& device, bool preview, DrawView* view = nullptr, int first = 0,
                int last = -1);
