// PageDC: the drawing layer of report pages over QPainter.
//
// Draw objects draw in logical page units (1/1008 inch, y growing upwards)
// with rectangles as stored, which may be unnormalised. The layer maps them
// to device pixels the way the original's anisotropic mapping did:
//
//     device = (logical - windowOrigin) * viewportExtent / windowExtent + viewportOrigin
//
// with the y extent negated, so y grows upwards on the page and downwards on
// the device. On screen windowExtent = trunc(1008 / zoom) and viewportExtent
// is the device's dots per inch (96); a printer uses 1008 and its own
// resolution. Text and images are drawn upright into the normalised device
// rectangle.
//
// Like a device context, it draws with the pen and brush selected last. A
// pen's width is in logical units and is drawn at that width (at least one
// pixel; width 0 is one pixel); callers that store widths in screen pixels
// scale them before selecting the pen. A pen of one pixel is one pixel of
// the device that finally shows the page, also when a print preview shows
// the printer's pages scaled down; on paper it is one pixel of the page at
// 96 dpi (PageMapping::dotPixels). Dashed and dotted styles exist only for
// pens of one pixel; their dashes are as long as on screen.
#pragma once

#include "document/geometry.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QSizeF>

#include <cstddef>

class QImage;

struct PageMapping {
    int windowExtent = 1008;  // logical units ...
    int viewportExtent = 96;  // ... per this many device units (x; y is negated)
    QPoint windowOrigin;      // the logical point drawn at viewportOrigin
    QPointF viewportOrigin;   // device point
    // Device pixels of one pixel of the page at 96 dpi: how wide a pen of
    // one pixel (or less) is drawn. 1 on screen and wherever a printed page
    // is shown scaled (print preview); resolution / 96 on paper and in PDF,
    // so that such a pen prints as wide as the screen shows it (1/96 inch)
    // and a dotted one keeps the screen's dots.
    double dotPixels = 1.0;

    // Screen at zoom (1.0 = 100 %): window extent trunc(1008 / zoom).
    static PageMapping ForZoom(double zoom, int dpi = 96);
    // Printer (or any device) at its resolution: window extent 1008.
    static PageMapping ForResolution(int dpi);

    // Device pixels per logical unit.
    double Scale() const;
    QPointF ToDevice(double x, double y) const;
    QPointF ToDevice(QPoint p) const { return ToDevice(p.x(), p.y()); }
    QPointF ToLogical(QPointF device) const;
};

class PageDC {
public:
    PageDC(QPainter& painter, const PageMapping& mapping, bool printing = false);

    QPainter& Painter() { return m_painter; }
    const PageMapping& Mapping() const { return m_mapping; }
    void SetMapping(const PageMapping& mapping) { m_mapping = mapping; }
    // Moves the viewport origin by device pixels.
    void OffsetViewportOrg(double dx, double dy);
    bool IsPrinting() const { return m_printing; }

    QPointF LPtoDP(QPoint p) const { return m_mapping.ToDevice(p); }
    // A logical rectangle as the normalised device rectangle it covers.
    QRectF LPtoDP(const DocRect& r) const;

    // Whether a pen or brush of these values can be made: pen styles 0 to 6;
    // brush styles solid, null and hatched (hatch 0 to 5).
    static bool CanCreatePen(const LogPen& pen);
    static bool CanCreateBrush(const LogBrush& brush);

    // Selects a pen (width in logical units) or brush; false, with the
    // selection unchanged, when it cannot be made.
    bool SelectPen(const LogPen& pen);
    void SelectNullPen();
    bool SelectBrush(const LogBrush& brush);
    void SelectSolidBrush(COLORREF color);
    void SelectNullBrush();

    // Shapes with the selected pen and brush.
    void Rectangle(const DocRect& r);
    // corner: width and height of the corner ellipse.
    void RoundRect(const DocRect& r, QPoint corner);
    void Ellipse(const DocRect& r);
    void Line(QPoint from, QPoint to);
    // A closed polygon; alternate (odd-even) or winding fill.
    void Polygon(const QPoint* points, std::size_t count, bool winding = false);

    // Fills without outline.
    void FillPolygon(const QPoint* points, std::size_t count, COLORREF color, bool winding);
    void FillRect(const DocRect& r, COLORREF color);
    // Inverts the pixels under the rectangle (raster devices).
    void InvertRect(const DocRect& r);

    // Text upright in the rectangle; the font's height is given in logical
    // units. flags are Qt alignment and text flags.
    void DrawText(const DocRect& box, const QString& text, QFont font, int logicalHeight, int flags,
                  COLORREF color);
    // The width and height in logical units that DrawText gives text in font
    // at logicalHeight.
    QSizeF TextExtent(const QString& text, QFont font, int logicalHeight) const;
    // An image upright, scaled into the rectangle.
    void DrawImage(const DocRect& box, const QImage& image);

    static QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

private:
    struct Pen {
        bool null = false;
        QColor color = Qt::black;
        double width = 1;     // device pixels
        bool onePixel = true; // drawn one pixel (PageMapping::dotPixels) wide
        Qt::PenStyle style = Qt::SolidLine;
        bool insideFrame = false;
    };

    QPen MakeQPen() const;
    // The rectangle a stroke is centred on, for a shape that fills r.
    QRectF StrokeRect(const QRectF& r) const;
    void DrawClosedShape(const DocRect& r, int kind, QPoint corner);
    void DrawPolygon(const QPoint* points, std::size_t count, const QPen& pen, const QBrush& brush, bool winding);

    QPainter& m_painter;
    PageMapping m_mapping;
    bool m_printing;
    Pen m_pen;
    QBrush m_brush{Qt::white};
};
