#include "content/text_host.h"

#include "content/rich_text_format.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextOption>

#include <cmath>

namespace {

// A paint device of 96 dots per inch that every report text is laid out for.
QPaintDevice* LayoutDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dotsPerMeter = static_cast<int>(std::lround(rich_text::kLayoutDpi / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return &device;
}

int Ceil(double v) { return static_cast<int>(std::ceil(std::min(v, 1e9))); }

} // namespace

void ApplyTextHostDefaults(QTextDocument& document)
{
    rich_text::InstallReportFontSubstitutions();
    document.documentLayout()->setPaintDevice(LayoutDevice());
    document.setDocumentMargin(0);
    QFont font(QStringLiteral("System"));
    font.setPointSizeF(12.0);
    document.setDefaultFont(font);
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(rich_text::kDefaultTabPixels);
    option.setAlignment(Qt::AlignLeft);
    document.setDefaultTextOption(option);
    document.setUndoRedoEnabled(false);
}

CTextHost::CTextHost()
{
    ApplyTextHostDefaults(m_document);
}

void CTextHost::SetLayoutWidth(double width)
{
    if (m_document.textWidth() != width)
        m_document.setTextWidth(width);
}

int CTextHost::GetNaturalHeight(int width, int& height)
{
    SetLayoutWidth(width);
    height = Ceil(m_document.size().height());
    return 0;
}

int CTextHost::GetNaturalWidth(int height, int& width)
{
    (void)height;
    SetLayoutWidth(10000);
    width = Ceil(m_document.idealWidth());
    return 0;
}

int CTextHost::Draw(QPainter& painter, const QRectF& bounds, double scale)
{
    if (!(scale > 0) || bounds.isEmpty())
        return 0;
    SetLayoutWidth(bounds.width() / scale);
    painter.save();
    painter.setClipRect(bounds, Qt::IntersectClip);
    painter.translate(bounds.topLeft());
    painter.scale(scale, scale);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, 0, bounds.width() / scale, bounds.height() / scale);
    context.palette.setColor(QPalette::Text, Qt::black); // the auto colour
    m_document.documentLayout()->draw(&painter, context);
    painter.restore();
    return 0;
}

int CTextHost::GetText(QByteArray& rtf) const
{
    rtf = m_text;
    return 0;
}

int CTextHost::SetText(QByteArrayView rtf)
{
    m_text = rtf.toByteArray();
    m_lastRead = rich_text::ReadRtf(rtf, &m_document, nullptr);
    return 0;
}

void CTextHost::AppendPlainText(const QString& text)
{
    QTextCursor cursor(&m_document);
    cursor.movePosition(QTextCursor::End);
    // At the end of a paragraph the cursor's format is that of its last
    // character, or the paragraph's own for an empty one.
    cursor.insertText(text, cursor.charFormat());
}
