// The text host: lays out and draws one rich text without a window.
//
// CTextHostBase is what the rest of the program drives; CTextHost implements
// it over a QTextDocument. Its defaults are those of a report text box: rich
// text, several lines, word wrap, a transparent background, the default font
// ("System", 12 points, drawn with the substituted Chinese face), left-aligned
// paragraphs and a tab stop every 720 twips.
//
// Units: the text is laid out at 96 dpi, so one layout pixel is 15 twips or
// 10.5 report units whatever the zoom; zoom and printing only scale the
// painter (Draw's scale), so a text breaks its lines the same on every
// device.
//
// Results of the operations: 0 on success (kept from the interface the
// program was written against, where 1 meant a missing text engine).
#pragma once

#include "content/rtf_reader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QRectF>
#include <QTextDocument>

class QPainter;

class CTextHostBase {
public:
    virtual ~CTextHostBase() = default;

    // The height of the text laid out width layout pixels wide.
    virtual int GetNaturalHeight(int width, int& height) = 0;
    // The width of the widest line with the text laid out 10000 pixels wide
    // (height is not used: the text is never cut by height).
    virtual int GetNaturalWidth(int height, int& width) = 0;
    // Draws the text into bounds (the painter's coordinates) at scale device
    // pixels per layout pixel, laid out bounds.width() / scale wide. Nothing
    // outside bounds is painted.
    virtual int Draw(QPainter& painter, const QRectF& bounds, double scale) = 0;
    // The last RTF given to SetText (not an RTF of the laid-out text).
    virtual int GetText(QByteArray& rtf) const = 0;
    // Replaces the text by the RTF's.
    virtual int SetText(QByteArrayView rtf) = 0;
};

class CTextHost final : public CTextHostBase {
public:
    CTextHost();

    int GetNaturalHeight(int width, int& height) override;
    int GetNaturalWidth(int height, int& width) override;
    int Draw(QPainter& painter, const QRectF& bounds, double scale) override;
    int GetText(QByteArray& rtf) const override;
    int SetText(QByteArrayView rtf) override;

    // The laid-out text (editing it does not change GetText).
    QTextDocument& Document() { return m_document; }
    const QTextDocument& Document() const { return m_document; }
    // What the last SetText met.
    const rich_text::RtfReadResult& LastRead() const { return m_lastRead; }

    // Appends plain text at the end of the last paragraph, in the format in
    // force there (a field's label).
    void AppendPlainText(const QString& text);

private:
    void SetLayoutWidth(double width);

    QTextDocument m_document;
    QByteArray m_text;
    rich_text::RtfReadResult m_lastRead;
};

// Applies the host's defaults (font, wrap, tab stops, no margin, 96-dpi
// layout) to a document that is laid out like a report text.
void ApplyTextHostDefaults(QTextDocument& document);
