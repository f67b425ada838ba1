#include "document/draw_obj.h"

#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/record_values.h"
#include "document/rpt_doc.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QJsonArray>

#include <cmath>

int g_dragHandle = 0;

const DrawClass CDrawObj::kClass{
    {"CDrawObj", 0, &platform::createArchiveObject<CDrawObj>}, nullptr, &CreateDrawObjForUndo<CDrawObj>};

CDrawObj::CDrawObj() = default;

CDrawObj::CDrawObj(DrawView* v, const DocRect& rect) : position(rect), view(v)
{
    page = 0;
    if (v != nullptr && v->GetDocument() != nullptr)
        page = static_cast<std::uint32_t>(v->GetDocument()->GetCurPage());
}

CDrawObj::~CDrawObj()
{
    g_dragHandle = 0;
}

void CDrawObj::Serialize(platform::ArchiveWriter& ar) const
{
    ar.writeI32(position.left);
    ar.writeI32(position.top);
    ar.writeI32(position.right);
    ar.writeI32(position.bottom);
    ar.writeU16(static_cast<std::uint16_t>(penOn));
    ar.writeU32(pen.style);
    ar.writeI32(pen.widthX);
    ar.writeI32(pen.widthY);
    ar.writeU32(pen.color);
    ar.writeU16(static_cast<std::uint16_t>(brushOn));
    ar.writeU32(brush.style);
    ar.writeU32(brush.color);
    ar.writeI32(brush.hatch);
    ar.writeU32(page);
    ar.writeU32(tableCell);
}

void CDrawObj::Serialize(platform::ArchiveReader& ar)
{
    document = ar.documentAs<CDI_RptDoc>();
    position.left = record_values::ReadCoordinate(ar);
    position.top = record_values::ReadCoordinate(ar);
    position.right = record_values::ReadCoordinate(ar);
    position.bottom = record_values::ReadCoordinate(ar);
    penOn = ar.readU16();
    pen.style = ar.readU32();
    pen.widthX = record_values::ReadPenWidth(ar);
    pen.widthY = record_values::ReadPenWidth(ar);
    pen.color = ar.readU32();
    brushOn = ar.readU16();
    brush.style = ar.readU32();
    brush.color = ar.readU32();
    brush.hatch = ar.readI32();
    page = ar.readU32();
    tableCell = ar.readU32();
}

void CDrawObj::Dump(QJsonObject& out) const
{
    out[QStringLiteral("class")] = QString::fromLatin1(GetRuntimeClass().Name());
    out[QStringLiteral("page")] = static_cast<qint64>(page);
    out[QStringLiteral("rect")] = QJsonArray{position.left, position.top, position.right, position.bottom};
    out[QStringLiteral("pen")] = QJsonObject{{QStringLiteral("on"), penOn},
                                             {QStringLiteral("style"), static_cast<qint64>(pen.style)},
                                             {QStringLiteral("width"), QJsonArray{pen.widthX, pen.widthY}},
                                             {QStringLiteral("color"), static_cast<qint64>(pen.color)}};
    out[QStringLiteral("brush")] = QJsonObject{{QStringLiteral("on"), brushOn},
                                               {QStringLiteral("style"), static_cast<qint64>(brush.style)},
                                               {QStringLiteral("color"), static_cast<qint64>(brush.color)},
                                               {QStringLiteral("hatch"), brush.hatch}};
    out[QStringLiteral("tableCell")] = static_cast<qint64>(tableCell);
    if (textStore.GetLength() > 0)
        out[QStringLiteral("textBytes")] = static_cast<qint64>(textStore.GetLength());
}

int CDrawObj::GetHandleCount() const
{
    return 8;
}

QPoint CDrawObj::GetHandle(int handle) const
{
    const int xc = position.CenterX();
    const int yc = position.CenterY();
    switch (handle) {
    case 2: return {xc, position.top};
    case 3: return {position.right, position.top};
    case 4: return {position.right, yc};
    case 5: return {position.right, position.bottom};
    case 6: return {xc, position.bottom};
    case 7: return {position.left, position.bottom};
    case 8: return {position.left, yc};
    default: return {position.left, position.top};
    }
}

HandleCursor CDrawObj::GetHandleCursor(int handle) const
{
    const bool flipped = (position.top < position.bottom) != (position.left > position.right);
    switch (handle) {
    case 2:
    case 6:
        return HandleCursor::SizeNS;
    case 4:
    case 8:
        return HandleCursor::SizeWE;
    case 3:
    case 7:
        return flipped ? HandleCursor::SizeNWSE : HandleCursor::SizeNESW;
    case 9:
        return HandleCursor::IBeam;
    default:
        return flipped ? HandleCursor::SizeNESW : HandleCursor::SizeNWSE;
    }
}

void CDrawObj::SetLineColor(COLORREF color)
{
    if (color != 0xFFFFFFFF) {
        penOn = 1;
        pen.color = color;
    } else {
        penOn = 0;
    }
    Invalidate();
}

void CDrawObj::SetFillColor(COLORREF color)
{
    if (color != 0xFFFFFFFF) {
        brushOn = 1;
        brush.color = color;
    } else {
        brushOn = 0;
        brush.color = 0xFFFFFFFF;
    }
    Invalidate();
}

void CDrawObj::DrawTracker(PageDC& dc, TrackerState state)
{
    if (state != selected && state != active)
        return;
    const int count = GetHandleCount();
    for (int h = 1; h <= count; ++h) {
        const QPoint p = GetHandle(h);
        const DocRect box(ClampToInt(std::int64_t(p.x()) - 35), ClampToInt(std::int64_t(p.y()) - 35),
                          ClampToInt(std::int64_t(p.x()) + 35), ClampToInt(std::int64_t(p.y()) + 35));
        dc.InvertRect(box);
    }
}

void CDrawObj::MoveTo(const DocRect& rect, int flags, DrawView* v)
{
    if (rect == position)
        return;
    InvalidateIn(v);
    position = rect;
    InvalidateIn(v);
    if ((flags & kMoveNoUndo) == 0)
        SaveUndoSnapshot();
}

int CDrawObj::HitTest(QPoint point, DrawView* v, bool isSelected, int flag)
{
    (void)flag;
    const auto inside = [&point](const DocRect& r) {
        return r.left <= point.x() && point.x() < r.right && r.bottom < point.y() && point.y() <= r.top;
    };
    if (!isSelected)
        return inside(position) ? 1 : 0;
    const int count = GetHandleCount();
    for (int h = 1; h <= count; ++h) {
        if (inside(GetHandleRect(h, v)))
            return h;
    }
    return 0;
}

bool CDrawObj::Intersects(const DocRect& rect)
{
    return !position.Normalized().Intersected(rect.Normalized()).IsEmpty();
}

void CDrawObj::MoveHandleTo(int handle, QPoint point, int flags, DrawView* v)
{
    activeHandle = handle;
    DocRect r = position;
    switch (handle) {
    case 1: r.left = point.x(); r.top = point.y(); break;
    case 2: r.top = point.y(); break;
    case 3: r.right = point.x(); r.top = point.y(); break;
    case 4: r.right = point.x(); break;
    case 5: r.right = point.x(); r.bottom = point.y(); break;
    case 6: r.bottom = point.y(); break;
    case 7: r.left = point.x(); r.bottom = point.y(); break;
    case 8: r.left = point.x(); break;
    default: break;
    }
    MoveTo(r, flags, v);
}

void CDrawObj::OnOpen(DrawView* v)
{
    (void)v;
    OnEditProperties();
}

CDrawObj* CDrawObj::Clone(CDI_RptDoc* doc)
{
    (void)doc;
    return nullptr;
}

void CDrawObj::Remove()
{
    delete this;
}

void CDrawObj::BeginEdit(DrawView* v, int flag)
{
    (void)v;
    (void)flag;
}

int CDrawObj::DoCommand(unsigned id, const QString& text, int value)
{
    (void)id;
    (void)text;
    (void)value;
    SaveUndoSnapshot();
    return 1;
}

void CDrawObj::SetLineWidth(int width)
{
    SaveRedoSnapshot();
    pen.widthX = width;
    pen.widthY = width;
    if (width > 0)
        penOn = 1;
    Invalidate();
    SaveUndoSnapshot();
}

void CDrawObj::InvertColorTable()
{
    InvertStoreColorTable(textStore, NewColorTablePlace::kAfterFirstBraces);
}

void CDrawObj::Invalidate()
{
    if (document != nullptr)
        document->UpdateAllViews(nullptr, DrawView::kHintObject, this);
}

void CDrawObj::InvalidateIn(DrawView* v)
{
    if (v != nullptr)
        v->InvalObj(this);
    else
        Invalidate();
}

DocRect CDrawObj::GetHandleRect(int handle, DrawView* v) const
{
    const QPoint p = GetHandle(handle);
    if (v != nullptr) {
        const QPoint c = v->DocToClient(p);
        return v->ClientToDoc(DocRect(c.x() - 3, c.y() - 3, c.x() + 3, c.y() + 3));
    }
    // No view: as a view at 100 % would convert it.
    const PageMapping m = PageMapping::ForZoom(1.0);
    const QPointF c = m.ToDevice(p);
    const QPointF a = m.ToLogical(c - QPointF(3, 3));
    const QPointF b = m.ToLogical(c + QPointF(3, 3));
    return DocRect(TruncToInt(std::round(a.x())), TruncToInt(std::round(a.y())), TruncToInt(std::round(b.x())),
                   TruncToInt(std::round(b.y())));
}

void CDrawObj::SetLineColorRaw(COLORREF color)
{
    pen.color = color;
    if (color == 0xFFFFFFFF)
        penOn = 0;
}

void CDrawObj::InvertColors()
{
    pen.color ^= 0xFFFFFF;
    brush.color ^= 0xFFFFFF;
    brushOn = brush.color == 0xFEFEFE ? 0 : 1;
}

bool CDrawObj::SelectPenAndBrush(PageDC& dc, const LogPen& drawPen) const
{
    if (!PageDC::CanCreatePen(pen) || !PageDC::CanCreateBrush(brush))
        return false;
    if (brushOn)
        dc.SelectBrush(brush);
    else
        dc.SelectNullBrush();
    if (penOn)
        dc.SelectPen(drawPen);
    else
        dc.SelectNullPen();
    return true;
}

void CDrawObj::SaveRedoSnapshot()
{
    if (document != nullptr)
        document->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, this, 1);
}

void CDrawObj::SaveUndoSnapshot()
{
    if (document != nullptr)
        document->SaveUndoSnapshot(CDI_RptDoc::kUndoChange, this, 1);
}

namespace {

// The decimal number at the start of text (atoi: optional sign, digits),
// saturating instead of overflowing.
int LeadingNumber(QByteArrayView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::int64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = std::min<std::int64_t>(v * 10 + (text[i] - '0'), 0x7FFFFFFF);
    return static_cast<int>(negative ? -v : v);
}

} // namespace

void InvertStoreColorTable(CRtfMemFile& store, NewColorTablePlace place)
{
    if (store.GetLength() < 1)
        return;
    QByteArrayView content = store.Data();
    const qsizetype nul = content.indexOf('\0');
    if (nul >= 0)
        content = content.first(nul);
    const QByteArray text = InvertRtfColorTable(content, place);
    if (text.isNull())
        return;
    store.SetLength(0);
    store.Rewind();
    store.Write(text.constData(), static_cast<std::size_t>(text.size()) + 1); // with its NUL
    store.Rewind();
}

QByteArray InvertRtfColorTable(QByteArrayView rtf, NewColorTablePlace place)
{
    static constexpr QByteArrayView kTable("{\\colortbl");
    const qsizetype at = rtf.indexOf(kTable);
    if (at >= 0) {
        qsizetype end = rtf.indexOf('}', at);
        if (end < 0)
            end = rtf.size();
        const QByteArrayView stretch = rtf.sliced(at, end - at);
        QByteArray table("{\\colortbl ;");
        qsizetype pos = 0;
        while ((pos = stretch.indexOf("\\red", pos)) >= 0) {
            pos += 4;
            const int red = LeadingNumber(stretch.sliced(pos));
            int green = 0;
            int blue = 0;
            const qsizetype g = stretch.indexOf("\\green", pos);
            if (g >= 0)
                green = LeadingNumber(stretch.sliced(g + 6));
            const qsizetype b = stretch.indexOf("\\blue", pos);
            if (b >= 0) {
                blue = LeadingNumber(stretch.sliced(b + 5));
                pos = b + 5;
            }
            table += "\\red" + QByteArray::number(red ^ 255) + "\\green" + QByteArray::number(green ^ 255) + "\\blue" +
                     QByteArray::number(blue ^ 255) + ";";
        }
        QByteArray out = rtf.first(at).toByteArray();
        out += table;
        out += rtf.sliced(end);
        return out;
    }
    // No colour table: add one holding white and make the text body use it.
    const qsizetype braces = rtf.indexOf("}}");
    const qsizetype pard = rtf.indexOf("\\pard\\");
    if (braces < 0 || pard < 0)
        return {};
    QByteArray out = rtf.toByteArray();
    const qsizetype tableAt = braces + (place == NewColorTablePlace::kInsideFirstBraces ? 1 : 2);
    const qsizetype refAt = pard + 6;
    // Insert the later one first so the earlier position stays valid.
    if (refAt >= tableAt) {
        out.insert(refAt, "cf1\\");
        out.insert(tableAt, "{\\colortbl ;\\red255\\green255\\blue255;}");
    } else {
        out.insert(tableAt, "{\\colortbl ;\\red255\\green255\\blue255;}");
        out.insert(refAt, "cf1\\");
    }
    return out;
}
