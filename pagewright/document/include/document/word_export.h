// CWordExport: what draw objects call to put themselves into a
// word-processor document. The exporter of the report export implements it;
// this interface holds the operations of the shapes.
//
// Positions and sizes are in report units (1/1008 inch, y upwards) as
// floating-point values; the exporter converts them.
#pragma once

#include "document/geometry.h"
#include "document/text_run_list.h"

#include <QPointF>
#include <QString>

class CWordExport {
public:
    // Arrowhead settings of a line: style, length and width of the head at
    // the begin, then at the end (1, 1, 1: none; 2, 2, 2: a medium triangle).
    struct ArrowHeads {
        int beginStyle = 1;
        int beginLength = 1;
        int beginWidth = 1;
        int endStyle = 1;
        int endLength = 1;
        int endWidth = 1;
        bool operator==(const ArrowHeads&) const = default;
    };

    virtual ~CWordExport() = default;

    virtual void ExportLine(QPointF begin, QPointF end, float weight, COLORREF color) = 0;
    virtual void ExportArrow(QPointF begin, QPointF end, float weight, COLORREF color, const ArrowHeads& heads) = 0;
    virtual void ExportRectangle(float left, float top, float width, float height, float weight, COLORREF color) = 0;

    // A text or field box: fill (on, colour), the box (left, lower edge,
    // width, height), border (on, pen width in pixels, colour), the label of
    // a field (empty for a text box), the box's font name and size in points,
    // and the paragraphs as the RTF reader gave them. An exporter without
    // text boxes leaves it out.
    struct TextBox {
        bool fill = false;
        COLORREF fillColor = 0xFFFFFF;
        float left = 0, top = 0, width = 0, height = 0;
        bool border = false;
        int penWidth = 1;
        COLORREF penColor = 0;
        QString text;
        QString fontName;
        float fontSize = 12;
    };
    virtual void ExportText(const TextBox& box, const TextRunList& runs) { (void)box, (void)runs; }
};
