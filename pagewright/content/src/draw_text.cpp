#include "content/draw_text.h"

#include "content/default_text.h"
#include "content/rich_text_format.h"
#include "content/rtf_reader.h"
#include "content/text_edit_view.h"
#include "content/text_format_ops.h"
#include "document/document_environment.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QJsonObject>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <optional>

const DrawClass CDrawText::kClass{{"CDrawText", 0, &platform::createArchiveObject<CDrawText>},
                                  &CDrawObj::kClass,
                                  &CreateDrawObjForUndo<CDrawText>,
                                  &CDrawText::AfterUndoRead};

namespace text_box {

namespace {
constexpr COLORREF kLightGrey = 0xC0C0C0;
constexpr int kMinimumSize = 200;

LogPen ScaledPen(const LogPen& pen)
{
    LogPen p = pen;
    p.widthX = static_cast<int>(pen.widthX * 10.5);
    p.widthY = static_cast<int>(pen.widthY * 10.5);
    return p;
}

// The pen of a box's frame: its own, none for a plain box on paper, else a
// thin light grey line (table cells have it on paper too).
std::optional<LogPen> FramePen(const PageDC& dc, const CDrawObj& object)
{
    if (object.penOn)
        return ScaledPen(object.pen);
    if (dc.IsPrinting() && object.tableCell == 0)
        return std::nullopt;
    return LogPen{PS_SOLID, 0, 0, kLightGrey};
}

// A table cell's outline lies on the cell's edges themselves. A
// rectangle's outline lies inside the rectangle, so two neighbouring cells
// would each draw their shared edge on a pixel of their own: two lines side
// by side.
void DrawCellOutline(PageDC& dc, const CDrawObj& cell)
{
    const std::optional<LogPen> pen = FramePen(dc, cell);
    if (!pen)
        return;
    dc.SelectPen(*pen);
    const DocRect n = cell.position.Normalized();
    const QPoint corners[4] = {{n.left, n.top}, {n.right, n.top}, {n.right, n.bottom}, {n.left, n.bottom}};
    for (int i = 0; i < 4; ++i)
        dc.Line(corners[i], corners[(i + 1) % 4]);
}

} // namespace

bool DrawFrame(PageDC& dc, CDrawObj& object)
{
    const LogPen pen = ScaledPen(object.pen);
    if (!PageDC::CanCreatePen(pen) || !PageDC::CanCreateBrush(object.brush))
        return false;
    if (object.brushOn)
        dc.SelectBrush(object.brush);
    else
        dc.SelectNullBrush();
    if (object.tableCell != 0) {
        // The table lays its cells out edge to edge (a row may be lower
        // than a lone text box may be): the fill, then the outline.
        if (object.brushOn) {
            dc.SelectNullPen();
            dc.Rectangle(object.position);
        }
        DrawCellOutline(dc, object);
        return true;
    }
    if (const std::optional<LogPen> frame = FramePen(dc, object))
        dc.SelectPen(*frame);
    else
        dc.SelectNullPen();
    // At least 200 x 200: the lower edge moves down, the right edge right.
    DocRect& r = object.position;
    const std::int32_t upper = std::max(r.top, r.bottom);
    const std::int32_t lower = std::min(r.top, r.bottom);
    if (std::int64_t(upper) - lower < kMinimumSize)
        (r.top < r.bottom ? r.top : r.bottom) = upper - kMinimumSize;
    if (r.top == r.bottom)
        r.bottom = upper - kMinimumSize;
    const std::int32_t leftX = std::min(r.left, r.right);
    if (std::int64_t(std::max(r.left, r.right)) - leftX < kMinimumSize)
        (r.left <= r.right ? r.right : r.left) = leftX + kMinimumSize;
    dc.Rectangle(r);
    return true;
}

void DrawFrameOver(PageDC& dc, CDrawObj& object)
{
    dc.SelectNullBrush();
    if (object.tableCell != 0)
        DrawCellOutline(dc, object);
    else
        dc.Rectangle(object.position);
}

void ExportFont(const TextRunList& runs, QString& name, float& size)
{
    if (runs.runs.empty() || runs.runs.front().fontName == QLatin1String("System")) {
        name = QStringLiteral("宋体");
        size = 12;
        return;
    }
    name = runs.runs.front().fontName;
    size = static_cast<float>(runs.runs.front().size * 0.4);
}

CWordExport::TextBox ExportBox(const CDrawObj& object)
{
    CWordExport::TextBox box;
    const DocRect n = object.position.Normalized();
    box.fill = object.brushOn != 0;
    box.fillColor = object.brush.color;
    box.left = float(n.left);
    box.top = float(n.top);
    box.width = float(n.Width());
    box.height = float(n.Height());
    box.border = object.penOn != 0 && object.pen.color != 0xFFFFFF;
    box.penWidth = object.pen.widthX;
    box.penColor = object.pen.color;
    return box;
}

} // namespace text_box

CDrawText::CDrawText() { brush.color = 0xFFFFFF; }

CDrawText::CDrawText(DrawView* v, const DocRect& rect) : CDrawObj(v, rect)
{
    brush.color = 0xFFFFFF;
    m_pEditor = EditorOf(v);
    m_bEditing = 1;
}

CDrawText::~CDrawText() = default;

void CDrawText::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawObj::Serialize(ar);
    textStore.Serialize(ar);
    ar.writeString(m_strPlain);
}

void CDrawText::Serialize(platform::ArchiveReader& ar)
{
    CDrawObj::Serialize(ar);
    textStore.Serialize(ar);
    textStore.Rewind();
    m_strPlain = ar.readString();
}

void CDrawText::Dump(QJsonObject& out) const
{
    CDrawObj::Dump(out);
    out[QStringLiteral("plainText")] = m_strPlain;
    out[QStringLiteral("text")] = rich_text::StorePlainText(textStore);
}

DocumentEnvironment& CDrawText::Environment() const
{
    CDI_RptDoc* doc = document != nullptr ? document : (view != nullptr ? view->GetDocument() : nullptr);
    return doc != nullptr ? doc->Environment() : DefaultDocumentEnvironment();
}

CTextEditView* CDrawText::EditorOf(DrawView* v) const
{
    return v != nullptr ? dynamic_cast<CTextEditView*>(v->GetTextEditor()) : nullptr;
}

void CDrawText::DetachEditor() { m_pEditor = nullptr; }

void CDrawText::AfterUndoRead(CDrawObj& object, DrawView* v, bool recreated)
{
    (void)recreated;
    auto& text = static_cast<CDrawText&>(object);
    if (text.m_pEditor != nullptr && text.m_pEditor->IsVisible())
        text.m_pEditor->Hide();
    text.m_bEditing = 0;
    text.m_bEditStarted = 0;
    text.m_nEditMode = 0;
    text.m_pEditor = nullptr;
    text.m_cache.Clear();
    if (v != nullptr)
        v->InvalObj(&object);
}

QRect CDrawText::EditorRect(DrawView* v) const
{
    DocRect c = v->DocToClient(position);
    QRect r(QPoint(c.left + v->PixelShift(), c.top), QPoint(c.right + v->PixelShift(), c.bottom));
    const double zoom = v->m_fZoom;
    if (penOn)
        r.adjust(int(pen.widthX * zoom), int(pen.widthY * zoom), -int(pen.widthX * zoom), -int(pen.widthY * zoom));
    r.adjust(zoom <= 1.0 ? 1 : 4, 1, -3, -2);
    return r;
}

QRectF CDrawText::EditorTextRect(DrawView* v) const
{
    PageMapping m = v->ScreenMapping();
    QRectF r = QRectF(m.ToDevice(position.TopLeft()), m.ToDevice(position.BottomRight())).normalized();
    r.translate(v->PixelShift(), 0);
    const double zoom = m.Scale() * rich_text::kReportUnitsPerPixel;
    if (penOn) {
        const double dx = std::max(0, pen.widthX) * zoom;
        const double dy = std::max(0, pen.widthY) * zoom;
        r.adjust(dx, dy, -dx, -dy);
    }
    const double side = TextSideMargin(*this, m.Scale());
    r.adjust(side, 0, -side, 0);
    r.adjust(0, 2, -2, 0);
    return r;
}

void CDrawText::Draw(PageDC& dc)
{
    if (!text_box::DrawFrame(dc, *this))
        return;
    const std::size_t selected = view != nullptr ? view->GetSelection().size() : 0;
    if (selected > 1 && view != nullptr)
        view->HideTextEditor();
    const bool editorShowsText = m_pEditor != nullptr && selected < 2 && m_pEditor->IsVisible() && !dc.IsPrinting();
    if (!editorShowsText)
        DrawRichText(dc, *this, m_cache);
    text_box::DrawFrameOver(dc, *this);
}

void CDrawText::DrawTracker(PageDC& dc, TrackerState state)
{
    Draw(dc);
    CDrawObj::DrawTracker(dc, state);
}

int CDrawText::HitTest(QPoint point, DrawView* v, bool selected, int flag)
{
    const DocRect n = position.Normalized();
    const int inset = 30 + static_cast<int>(10.5 * pen.widthX);
    const DocRect s(n.left + inset, n.top + inset, n.right - inset, n.bottom - inset);
    const bool inside = s.left <= point.x() && point.x() <= s.right && s.top <= point.y() && point.y() <= s.bottom;
    if (!inside)
        return CDrawObj::HitTest(point, v, selected, flag);
    if (m_nEditMode != 0)
        return 0;
    if (point.x() < s.left + 20 || point.x() > s.right - 20 || point.y() < s.top + 20 || point.y() > s.bottom - 20)
        return 0;
    return 9;
}

void CDrawText::PlaceEditor(DrawView* v)
{
    if (v == nullptr)
        return;
    CTextEditView* editor = m_pEditor != nullptr ? m_pEditor : EditorOf(v);
    if (editor == nullptr)
        return;
    editor->SetZoom(v->m_fZoom);
    editor->PlaceOver(EditorRect(v), EditorTextRect(v));
    editor->SetBackground(brushOn ? brush.color : 0xFFFFFF);
    if (m_nEditMode == 0) {
        editor->Show();
        editor->setFocus();
    }
}

void CDrawText::BeginEdit(DrawView* v, int mode)
{
    m_nEditMode = mode;
    if (mode == 1) {
        m_bEditing = 0;
        m_pEditor = EditorOf(v);
        if (m_pEditor != nullptr)
            m_pEditor->SetSel(0, -1);
        return;
    }
    m_bEditing = 1;
    if (m_pEditor == nullptr)
        m_pEditor = EditorOf(v);
    if (m_pEditor == nullptr || v == nullptr)
        return;
    m_pEditor->SetZoom(v->m_fZoom);
    m_pEditor->PlaceOver(EditorRect(v), EditorTextRect(v));
    m_pEditor->SetBackground(brushOn ? brush.color : 0xFFFFFF);
    m_pEditor->LoadStore(textStore, Environment());
    m_pEditor->SetSel(0, -1);
    m_bEditStarted = 1;
    m_pEditor->SetModify(false);
}

void CDrawText::EndEdit(DrawView* v)
{
    if (m_bEditStarted && m_pEditor != nullptr)
        m_pEditor->Hide();
    if (m_bEditing && m_pEditor != nullptr && m_pEditor->GetModify()) {
        SaveRedoSnapshot();
        m_strPlain = m_pEditor->GetWindowText();
        m_pEditor->StoreInto(textStore);
        SaveUndoSnapshot();
        m_pEditor->SetModify(false);
    }
    if (m_pEditor != nullptr) {
        m_pEditor->SetBackground(0xFFFFFF);
        if (v != nullptr && m_pEditor->parentWidget() != nullptr && m_pEditor->hasFocus())
            m_pEditor->parentWidget()->setFocus();
        DetachEditor();
    }
    m_bEditStarted = 0;
    m_bEditing = 0;
    if (v != nullptr)
        v->InvalObj(this);
}

void CDrawText::CommitEditText()
{
    if (m_pEditor == nullptr || m_nEditMode != 0)
        return;
    const bool modified = m_pEditor->GetModify();
    if (modified)
        SaveRedoSnapshot();
    m_strPlain = m_pEditor->GetWindowText();
    m_pEditor->StoreInto(textStore);
    if (modified) {
        SaveUndoSnapshot();
        m_pEditor->SetModify(false);
    }
}

void CDrawText::OnEditProperties()
{
    CDrawObj::OnEditProperties();
    if (m_pEditor != nullptr)
        m_pEditor->SetBackground(brushOn ? brush.color : 0xFFFFFF);
}

void CDrawText::SetLineWidth(int width)
{
    CDrawObj::SetLineWidth(width);
    if (m_pEditor != nullptr && m_pEditor->IsVisible())
        PlaceEditor(view);
}

int CDrawText::DoCommand(unsigned id, const QString& key, int value)
{
    (void)value;
    if (id == kFormatCommand) {
        if (m_pEditor == nullptr)
            return 0;
        if (key != QLatin1String("30")) {
            // The change is one undo step: the text as it was, then as the
            // format left it.
            SaveRedoSnapshot();
            if (m_pEditor->IsVisible()) {
                m_pEditor->StoreInto(textStore);
            } else {
                // The editor does not hold this text: format the stored
                // text as a whole.
                bool ok = false;
                const int code = key.toInt(&ok);
                if (ok && code >= 0 && code <= 7)
                    rich_text::ApplyFormatToStore(textStore, Environment(), code, static_cast<COLORREF>(formatValue),
                                                  code == 0 ? &m_pEditor->LastAppliedFormat() : nullptr);
            }
        }
    }
    InvalidateIn(view);
    if (m_pEditor != nullptr)
        m_pEditor->SetModify(false);
    if (key == QLatin1String("30"))
        return 1;
    return CDrawObj::DoCommand(id, key, 0);
}

CDrawObj* CDrawText::Clone(CDI_RptDoc* doc)
{
    auto* copy = new CDrawText(view, position);
    copy->penOn = penOn;
    copy->pen = pen;
    copy->brushOn = brushOn;
    copy->brush = brush;
    copy->tableCell = tableCell;
    copy->page = page;
    const QByteArrayView bytes = textStore.Data().sliced(std::min<qsizetype>(textStore.GetPosition(), textStore.Data().size()));
    copy->textStore.Assign(bytes);
    if (doc != nullptr)
        return doc->Add(std::unique_ptr<CDrawObj>(copy));
    return copy;
}

void CDrawText::ExportToWord(CWordExport& exporter)
{
    TextRunList runs;
    runs.alignment = 0;
    ExtractRtfText(textStore, runs);
    CWordExport::TextBox box = text_box::ExportBox(*this);
    text_box::ExportFont(runs, box.fontName, box.fontSize);
    exporter.ExportText(box, runs);
}

void CDrawText::GetPlainText(DrawView* v, QString& text, int& alignment)
{
    if (m_pEditor == nullptr)
        m_pEditor = EditorOf(v);
    if (textStore.GetLength() == 0) {
        text.clear();
        return;
    }
    text = rich_text::StorePlainText(textStore, &alignment);
}

void CDrawText::SetPlainText(DrawView* v, const QString& text, int alignment, CDrawText* source)
{
    if (m_pEditor == nullptr)
        m_pEditor = EditorOf(v);
    if (source != nullptr && source != this) {
        const QByteArrayView bytes = source->textStore.Data().sliced(
            std::min<qsizetype>(source->textStore.GetPosition(), source->textStore.Data().size()));
        textStore.Assign(bytes);
    }
    const bool empty = textStore.GetLength() == 0;
    if (source != nullptr || empty || rich_text::StorePlainText(textStore) != text) {
        m_strPlain = text;
        rich_text::ReplaceStoreText(textStore, Environment(), text, alignment);
        InvalidateIn(v);
    }
    EndEdit(v);
}

void CDrawText::InvertColorTable()
{
    InvertStoreColorTable(textStore, NewColorTablePlace::kInsideFirstBraces);
}
