#include "content/rich_text_draw.h"

#include "content/rich_text_format.h"
#include "content/rtf_writer.h"
#include "document/draw_obj.h"
#include "document/page_dc.h"
#include "document/rtf_mem_file.h"

CTextHost& RichTextCache::Prepare(QByteArrayView rtf, const QString* label, bool* changed)
{
    const bool same = m_host && m_bytes == rtf && m_hasLabel == (label != nullptr) &&
                      (label == nullptr || m_label == *label);
    if (changed != nullptr)
        *changed = !same;
    if (same)
        return *m_host;
    if (!m_host)
        m_host = std::make_unique<CTextHost>();
    m_bytes = rtf.toByteArray();
    m_hasLabel = label != nullptr;
    m_label = label != nullptr ? *label : QString();
    m_host->SetText(rtf);
    if (label != nullptr)
        m_host->AppendPlainText(*label);
    return *m_host;
}

void RichTextCache::Clear()
{
    m_host.reset();
    m_bytes.clear();
    m_label.clear();
    m_hasLabel = false;
}

double TextSideMargin(const CDrawObj& object, double scale)
{
    return object.tableCell != 0 ? kCellTextMargin * scale : 0.0;
}

QRectF RichTextRect(const PageDC& dc, const CDrawObj& object)
{
    QRectF r = dc.LPtoDP(object.position);
    // Device pixels per screen pixel at zoom 1 (the zoom on the screen).
    const double zoom = dc.Mapping().Scale() * rich_text::kReportUnitsPerPixel;
    if (object.penOn) {
        const double dx = std::max(0, object.pen.widthX) * zoom;
        const double dy = std::max(0, object.pen.widthY) * zoom;
        r.adjust(dx, dy, -dx, -dy);
    }
    const double side = TextSideMargin(object, dc.Mapping().Scale());
    r.adjust(side, 0, -side, 0);
    if (!dc.IsPrinting())
        r.adjust(0, 2, -2, 0);
    return r.isValid() ? r : QRectF();
}

void DrawRichText(PageDC& dc, CDrawObj& object, RichTextCache& cache, const QString* fieldLabel,
                  CRtfMemFile* displayStore)
{
    const CRtfMemFile& store = object.textStore;
    if (store.GetLength() == 0)
        return;
    bool changed = false;
    CTextHost& host = cache.Prepare(store.Data(), fieldLabel, &changed);
    if (displayStore != nullptr && (changed || displayStore->GetLength() == 0))
        displayStore->Assign(rich_text::WriteRtf(host.Document()));

    const QRectF r = RichTextRect(dc, object);
    if (r.isEmpty())
        return;
    host.Draw(dc.Painter(), r, dc.Mapping().Scale() * rich_text::kReportUnitsPerPixel);
}
