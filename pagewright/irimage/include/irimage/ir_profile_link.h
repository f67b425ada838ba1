// IRProfileCursors: what a line-profile chart bound to an infrared image
// tells the image so that the image can mark the chart's cursor on each of
// its line analyses.
#pragma once

#include "document/geometry.h"

class IRProfileCursors {
public:
    static constexpr int kLines = 10; // line analyses 1 to 10

    virtual ~IRProfileCursors() = default;
    // The image number the chart is bound to.
    virtual int ProfileImageNumber() const = 0;
    virtual COLORREF ProfileCursorColor() const = 0;
    // The cursor on line analysis number (1..10) as a fraction of the line's
    // length; outside (0, 1) when it shows none.
    virtual float ProfileCursorPosition(int lineNumber) const = 0;
};
