// The drawing routine of text and field objects (and table cells built on
// them): draws an object's stored RTF into its rectangle on a page.
//
//   - An empty store draws nothing.
//   - The text fills the object's rectangle, inside its pen when the pen is
//     on (the pen width in screen pixels, times the zoom); on the screen the
//     top and right edges lose 2 pixels more. Nothing is drawn outside it.
//   - A table cell's text keeps kCellTextMargin page units from the cell's
//     left and right edges (as the result table keeps its labels), so that
//     it never touches the grid.
//   - The whole text is drawn (no cut at some byte count).
//   - A field's label is appended as plain text at the end of the last
//     paragraph, in that paragraph's end format; whatever it holds
//     (backslashes, braces, digits, Chinese) shows as it is. The field's
//     display store then holds the RTF of the text with its label (what the
//     export reads); it is never saved.
//   - Drawing never rewrites the object's store.
//
// Each object keeps a RichTextCache: its text is parsed again only when the
// store's bytes (or the label) change; otherwise a repaint only draws.
#pragma once

#include "content/text_host.h"

#include <QByteArray>
#include <QString>

#include <memory>

class CDrawObj;
class CRtfMemFile;
class PageDC;

class RichTextCache {
public:
    // The host holding rtf (with label appended when given). changed tells
    // whether it was parsed anew.
    CTextHost& Prepare(QByteArrayView rtf, const QString* label, bool* changed = nullptr);
    // Forgets the parsed text.
    void Clear();

private:
    std::unique_ptr<CTextHost> m_host;
    QByteArray m_bytes;
    QString m_label;
    bool m_hasLabel = false;
};

inline constexpr int kCellTextMargin = 20;

// The room left and right of an object's text, in device units at scale
// (device units per page unit): kCellTextMargin for a table cell, else 0.
double TextSideMargin(const CDrawObj& object, double scale);

// fieldLabel and displayStore: for field objects, else null.
void DrawRichText(PageDC& dc, CDrawObj& object, RichTextCache& cache, const QString* fieldLabel = nullptr,
                  CRtfMemFile* displayStore = nullptr);

// The device rectangle that DrawRichText fills for the object (empty when
// nothing can show).
QRectF RichTextRect(const PageDC& dc, const CDrawObj& object);
