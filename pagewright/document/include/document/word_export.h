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
};
