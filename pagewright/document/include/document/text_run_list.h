// TextRunList: the paragraphs of an object's rich text as the word-processor
// export reads them.
//
// Text and field objects (and a table, for each cell) parse their RTF into
// this list before they call the exporter: one run per paragraph, holding the
// font, size, colour and emphasis that the paragraph starts with, and the
// paragraph's characters. Every run after the first begins with character 11
// (the paragraph mark); a manual line break inside a paragraph is U+2028.
// The parser also records one alignment value for the whole text.
#pragma once

#include "document/geometry.h"

#include <QString>

#include <cstdint>
#include <vector>

struct TextRun {
    QString fontName;        // face of the font table, at most 29 GBK bytes
    std::uint16_t size = 24; // half-points (\fs), whole 16-bit value
    COLORREF color = 0;      // 0 for the automatic colour, see autoColor
    bool autoColor = true;   // the colour table's "auto" entry (not black)
    bool bold = false;
    bool underline = false;
    bool italic = false;
    int pitch = 0; // the font's \fprq
    QString text;

    bool operator==(const TextRun&) const = default;
};

struct TextRunList {
    std::vector<TextRun> runs;
    // 1 after a centre, 2 after a right paragraph alignment anywhere in the
    // text (left and justified do not reset it); 0 when neither came.
    int alignment = 0;
};
