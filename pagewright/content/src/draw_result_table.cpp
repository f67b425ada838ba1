#include "content/draw_result_table.h"

#include "content/field_catalogue.h"
#include "content/field_prop.h"
#include "content/rich_text_format.h"
#include "content/text_edit_view.h"
#include "document/document_environment.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/property_sheet.h"
#include "document/record_values.h"
#include "document/rpt_doc.h"
#include "document/word_export.h"
#include "irimage/draw_ir.h"
#include "irimage/ir_marks.h"
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QFontMetricsF>
#include <QJsonArray>
#include <QJsonObject>
#include <QTextCursor>

#include <algorithm>
#include <cmath>
#include <limits>

const DrawClass CDrawResultTable::kClass{{"CDrawResultTable", 0, &platform::createArchiveObject<CDrawResultTable>},
                                         &CDrawRect::kClass,
                                         &CreateDrawObjForUndo<CDrawResultTable>};

namespace {

constexpr int kObjectPropertiesTitle = 32788;
constexpr int kValueHeading = 61458;
constexpr int kFieldBase = 33200;
constexpr int kNoFieldsWidth = 2580;
constexpr int kSideBand = 55;
constexpr int kDividerBand = 35;
constexpr int kNumberHeight = 128; // a 96-point font: 960 tenths x 96 / 720
constexpr QLatin1StringView kSpec("SPEC");

std::int32_t Clamp32(std::int64_t v)
{
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

platform::CHARFORMAT DefaultFont()
{
    platform::CHARFORMAT cf;
    cf.dwMask = platform::CFM_BOLD | platform::CFM_ITALIC | platform::CFM_UNDERLINE | platform::CFM_FACE;
    cf.dwEffects = 0;
    cf.yHeight = 240;
    cf.crTextColor = 0;
    cf.SetFaceName(QStringLiteral("Times New Roman"));
    return cf;
}

// The font as the table draws it, for the editor that carries it to the format
// bar: the size and colour are drawn whatever the stored mask says (the
// default font's mask names only the effects and the face).
QTextCharFormat EditorFormatOf(const platform::CHARFORMAT& cf)
{
    platform::CHARFORMAT drawn = cf;
    drawn.dwMask |= platform::CFM_SIZE | platform::CFM_COLOR;
    return rich_text::FromCharFormat(drawn);
}

QFont FontOf(const platform::CHARFORMAT& cf, int extraWeight)
{
    QFont font(cf.FaceName());
    const int weight = ((cf.dwEffects & platform::CFE_BOLD) != 0 ? 700 : 500) + extraWeight;
    font.setWeight(QFont::Weight(std::clamp(weight, 1, 1000)));
    font.setItalic((cf.dwEffects & platform::CFE_ITALIC) != 0);
    font.setUnderline((cf.dwEffects & platform::CFE_UNDERLINE) != 0);
    return font;
}

// One row's label and value: the part before the first newline and the part
// after it; a text without a newline is all value.
void SplitRow(const QString& text, QString& label, QString& value)
{
    const qsizetype nl = text.indexOf(QLatin1Char('\n'));
    if (nl < 0) {
        label.clear();
        value = text;
        return;
    }
    label = text.left(nl);
    value = text.mid(nl + 1);
    if (label.endsWith(QLatin1Char('\r')))
        label.chop(1);
}

} // namespace

CDrawResultTable::CDrawResultTable() : m_cf(DefaultFont()) { brushOn = 0; }

CDrawResultTable::CDrawResultTable(DrawView* v, const DocRect& rect) : CDrawRect(v, rect), m_cf(DefaultFont())
{
    penOn = 1;
    pen.widthX = 2;
    pen.widthY = 2;
    brushOn = 1;
    brush.color = 0x00FFFF;
    roundness = QPoint(16, 16);
    const DocRect n = rect.Normalized();
    const std::int64_t width = std::int64_t(n.right) - n.left;
    m_widths[0] = static_cast<std::uint16_t>(std::clamp<std::int64_t>(width / 2, 0, 65535));
    m_widths[1] = static_cast<std::uint16_t>(std::clamp<std::int64_t>(width - m_widths[0], 0, 65535));
}

CDrawResultTable::~CDrawResultTable() = default;

DocumentEnvironment& CDrawResultTable::Environment() const
{
    CDI_RptDoc* doc = document != nullptr ? document : (view != nullptr ? view->GetDocument() : nullptr);
    return doc != nullptr ? doc->Environment() : DefaultDocumentEnvironment();
}

QString CDrawResultTable::Text(int id) const
{
    QString text = Environment().LoadString(id);
    if (text.isEmpty())
        text = field_catalogue::BuiltInText(id);
    if (text.isEmpty() && id == kValueHeading)
        text = QStringLiteral("数值");
    return text;
}

// ---- record

void CDrawResultTable::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawRect::Serialize(ar);
    ar.writeU16(m_widths[0]);
    ar.writeU16(m_widths[1]);
    ar.writeU32(static_cast<std::uint32_t>(m_nIRNumber));
    ar.writeU32(static_cast<std::uint32_t>(m_fieldIds.size()));
    for (std::uint32_t id : m_fieldIds)
        ar.writeU32(id);
    const QByteArray cf = m_cf.ToBytes();
    ar.writeBytes(cf);
    ar.writeU16(static_cast<std::uint16_t>(m_bDifference));
    ar.writeF32(m_fRowHeight);
}

void CDrawResultTable::Serialize(platform::ArchiveReader& ar)
{
    CDrawRect::Serialize(ar);
    m_widths[0] = ar.readU16();
    m_widths[1] = ar.readU16();
    m_nIRNumber = ar.readI32();
    const std::size_t countAt = ar.position();
    const std::uint32_t count = ar.readU32();
    if (std::uint64_t(count) * 4 > ar.remaining())
        throw platform::ArchiveError(platform::ArchiveErrorCode::BadCount, countAt);
    std::vector<std::uint32_t> ids(count);
    for (std::uint32_t& id : ids)
        id = ar.readU32();
    m_fieldIds = std::move(ids);
    const std::size_t cfAt = ar.position();
    const QByteArray bytes = ar.readBytes(platform::CHARFORMAT::kSize);
    const std::optional<platform::CHARFORMAT> cf = platform::CHARFORMAT::FromBytes(bytes);
    if (!cf)
        throw platform::ArchiveError(platform::ArchiveErrorCode::EndOfData, cfAt);
    record_values::Require(ar, -record_values::kMaxFontHeight <= cf->yHeight && cf->yHeight <= record_values::kMaxFontHeight,
                           cfAt);
    m_cf = *cf;
    m_bDifference = ar.readU16();
    m_fRowHeight = record_values::ReadFiniteIn(ar, -record_values::kMaxLength, record_values::kMaxLength);
    SplitFractions();
    m_strRowText.clear();
    m_rows.clear();
    m_nRowCount = 1;
    m_pEditor = nullptr;
}

void CDrawResultTable::Dump(QJsonObject& out) const
{
    CDrawRect::Dump(out);
    out[QStringLiteral("irNumber")] = m_nIRNumber;
    QJsonArray ids;
    for (std::uint32_t id : m_fieldIds)
        ids.append(qint64(id));
    out[QStringLiteral("fieldIds")] = ids;
    out[QStringLiteral("columnWidths")] = QJsonArray{int(m_widths[0]), int(m_widths[1])};
    out[QStringLiteral("difference")] = m_bDifference;
    out[QStringLiteral("rowHeight")] = double(m_fRowHeight);
    out[QStringLiteral("font")] = m_cf.FaceName();
    out[QStringLiteral("fontHeight")] = m_cf.yHeight;
}

void CDrawResultTable::SplitFractions()
{
    const double total = double(m_widths[0]) + m_widths[1];
    m_fractions[0] = total > 0 ? float(m_widths[0] / total) : 0.5f;
    m_fractions[1] = 1.0f - m_fractions[0];
}

// ---- drawing

int CDrawResultTable::LineHeight() const
{
    QFont font = FontOf(m_cf, 0);
    font.setPixelSize(std::max(1, FontHeight()));
    return static_cast<int>(std::ceil(QFontMetricsF(font).height()));
}

void CDrawResultTable::FitEmpty(int textHeight)
{
    DocRect n = position.Normalized();
    const std::int64_t upper = n.bottom;
    n.top = Clamp32(upper - std::int64_t(21) * pen.widthX - textHeight - 40);
    position = n;
}

void CDrawResultTable::Draw(PageDC& dc)
{
    LogPen scaled = pen;
    scaled.widthX = ScaledPenWidth(pen.widthX);
    scaled.widthY = ScaledPenWidth(pen.widthY);
    if (!PageDC::CanCreatePen(scaled) || !PageDC::CanCreateBrush(brush))
        return;
    FitToRows();
    if (brushOn)
        dc.SelectBrush(brush);
    else
        dc.SelectNullBrush();
    if (penOn)
        dc.SelectPen(scaled);
    else
        dc.SelectNullPen();
    dc.Rectangle(position);
    if (!m_fieldIds.empty())
        BuildRows(&dc);
    CDI_RptDoc* doc = document != nullptr ? document : (view != nullptr ? view->GetDocument() : nullptr);
    if (doc != nullptr && doc->GetShowNumbers()) {
        // At the upper right corner, inside the table: the label never
        // reaches past its right edge into the page margin.
        const DocRect n = position.Normalized();
        const int margin = ScaledPenWidth(pen.widthX) + 20;
        const DocRect inside(n.left + margin, n.top + margin, n.right - margin, n.bottom - margin);
        ir_marks::DrawLabel(dc, inside.right, inside.bottom, QStringLiteral("NO.%1").arg(m_nIRNumber), 0,
                            kNumberHeight, &inside);
    }
}

void CDrawResultTable::FitToRows()
{
    position = position.Normalized();
    const int lineHeight = LineHeight();
    m_fRowHeight = float(lineHeight + 80);
    if (m_fieldIds.empty()) {
        m_strRowText.clear();
        m_rows.clear();
        FitEmpty(lineHeight);
        // The width drawn stays (the fields chosen next need it); only a
        // table too narrow for its two columns, as a click makes, takes the
        // default width in two equal columns.
        if (position.Width() <= 2 * kMinColumn) {
            position.right = Clamp32(std::int64_t(position.left) + kNoFieldsWidth);
            const int half = (position.right - position.left) / 2;
            m_widths[0] = static_cast<std::uint16_t>(half);
            m_widths[1] = static_cast<std::uint16_t>(half);
            SplitFractions();
        }
        return;
    }
    BuildRows(nullptr);
    if (m_nRowCount == 0) {
        FitEmpty(lineHeight);
        return;
    }
    // As the drawing lays the rows out: the pen inset above the first row
    // and below the last.
    const std::int64_t inset = ScaledPenWidth(pen.widthX);
    const std::int64_t rows = std::int64_t(m_nRowCount) * std::int64_t(m_fRowHeight);
    position.top = Clamp32(std::int64_t(position.bottom) - inset - rows - inset);
}

DocRect CDrawResultTable::LabelArea() const
{
    const CDI_RptDoc* doc = document != nullptr ? document : (view != nullptr ? view->GetDocument() : nullptr);
    if (doc == nullptr || !doc->GetShowNumbers())
        return {};
    // The label stays inside the table (Draw); a table narrower than the
    // label lets it run on to the right of its left edge.
    const DocRect n = position.Normalized();
    const DocRect box = ir_marks::LabelBox(n.left, n.bottom, QStringLiteral("NO.%1").arg(m_nIRNumber), kNumberHeight);
    return DocRect(n.left, std::min(box.top, n.top), std::max(box.right, n.right), n.bottom);
}

void CDrawResultTable::BuildRows(PageDC* dc)
{
    m_nRowCount = 0;
    m_strRowText.clear();
    m_rows.clear();
    const int lineHeight = dc != nullptr ? LineHeight() : 0;
    if (dc != nullptr)
        m_fRowHeight = float(lineHeight + 80);
    const CDrawIR* image =
        view != nullptr ? dynamic_cast<const CDrawIR*>(view->FindIRObject(m_nIRNumber)) : nullptr;
    if (image == nullptr) {
        if (dc != nullptr)
            FitEmpty(lineHeight);
        return;
    }
    const DocRect n = position.Normalized();
    const std::int64_t inset = ScaledPenWidth(pen.widthX);
    const std::int64_t divider = std::int64_t(n.left) + inset + m_widths[0];
    const std::int64_t labelLeft = std::int64_t(n.left) + inset + 20;
    const std::int64_t labelRight = divider - 20;
    // The value column takes what is left of the frame.
    const std::int64_t valueRight = std::int64_t(n.right) - inset;
    const std::int64_t rowHeight = std::int64_t(m_fRowHeight);
    std::int64_t y = std::int64_t(n.bottom) - inset;
    const QFont font = FontOf(m_cf, 0);
    const QFont heavy = FontOf(m_cf, 200);
    const int fontHeight = FontHeight();
    const COLORREF color = m_cf.crTextColor;
    const QString valueHeading = Text(kValueHeading);
    const QString headerSep = QStringLiteral("/\\\\");
    const QString rowSep = QStringLiteral("\\\\");

    const auto drawRow = [&](const QString& label, const QString& value, const QFont& f) {
        if (dc == nullptr)
            return;
        const std::int64_t lower = y - rowHeight;
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        dc->DrawText(DocRect(Clamp32(labelLeft), Clamp32(y), Clamp32(labelRight), Clamp32(lower)), label, f,
                     fontHeight, flags, color);
        dc->DrawText(DocRect(Clamp32(divider), Clamp32(y), Clamp32(valueRight), Clamp32(lower)), value, f,
                     fontHeight, flags, color);
        if (penOn) {
            LogPen line = pen;
            line.widthX = line.widthY = ScaledPenWidth(pen.widthX);
            dc->SelectPen(line);
        } else {
            dc->SelectPen(LogPen{PS_SOLID, 0, 0, 0});
        }
        // The separator runs along the row's upper side.
        dc->Line(QPoint(n.left, Clamp32(y)), QPoint(n.right, Clamp32(y)));
    };
    bool headerDue = true;
    const auto addRow = [&](int group, const QString& text) {
        if (text.isEmpty())
            return;
        QString label, value;
        SplitRow(text, label, value);
        if (headerDue) {
            const QString heading = Text(field_catalogue::kGroupNameBase + group);
            drawRow(heading, valueHeading, heavy);
            m_strRowText += heading + headerSep + valueHeading + headerSep;
            m_rows.push_back({heading, valueHeading, true});
            ++m_nRowCount;
            y -= rowHeight;
            headerDue = false;
        }
        drawRow(label, value, font);
        m_strRowText += label + rowSep + value + rowSep;
        m_rows.push_back({label, value, false});
        ++m_nRowCount;
        y -= rowHeight;
    };

    std::array<std::vector<int>, 4> collected; // spot, line, area, isotherm ids
    int previousGroup = -1;
    for (std::uint32_t raw : m_fieldIds) {
        const int id = raw > std::uint32_t(std::numeric_limits<int>::max()) ? -1 : int(raw);
        const int group = id >= kFieldBase ? (id - kFieldBase) / 100 : -1;
        if (group != previousGroup)
            headerDue = true;
        previousGroup = group;
        if (!image->HasImage())
            continue;
        if (group >= 3 && group <= 6) {
            collected[std::size_t(group - 3)].push_back(id);
            continue;
        }
        QString text = kSpec;
        if (group == 0 || group == 1)
            image->GetInfoText(id, text);
        else if (group == 2)
            image->GetParamText(id, text);
        addRow(std::max(group, 0), text);
    }
    const bool diff = m_bDifference != 0;
    const auto analysisPass = [&](int group, auto matches, auto format) {
        headerDue = true;
        const std::vector<int>& ids = collected[std::size_t(group - 3)];
        if (ids.empty())
            return;
        for (const IRAnalysisItem& item : image->m_analyses) {
            if (!matches(item.kind))
                continue;
            for (int id : ids) {
                QString text = kSpec;
                format(item.number, id, text);
                addRow(group, text);
            }
        }
    };
    analysisPass(3, [](int k) { return k == kAnalysisPoint; },
                 [&](int number, int id, QString& t) { image->GetPointText(number, id, t, diff); });
    analysisPass(4, [](int k) { return k == kAnalysisLine; },
                 [&](int number, int id, QString& t) { image->GetLineText(number, id, t, diff); });
    analysisPass(5, [](int k) { return k == kAnalysisRect || k == kAnalysisEllipse; },
                 [&](int number, int id, QString& t) { image->GetAreaText(number, id, t, diff); });
    headerDue = true;
    for (int index = 0; index < 2; ++index) {
        for (int id : collected[3]) {
            QString text = kSpec;
            image->GetIsothermText(index, id, text);
            // An isotherm that is off leaves the text as it came: no row.
            if (text == kSpec)
                text.clear();
            addRow(6, text);
        }
    }
    if (dc == nullptr)
        return;
    if (m_nRowCount == 0) {
        FitEmpty(lineHeight);
        return;
    }
    DocRect r = position.Normalized();
    r.top = Clamp32(y - inset);
    position = r;
    const std::int64_t x = std::int64_t(n.left) + m_widths[0] + pen.widthX;
    dc->Line(QPoint(Clamp32(x), Clamp32(std::int64_t(r.top) + 1)), QPoint(Clamp32(x), r.bottom));
}

// ---- handles

HandleCursor CDrawResultTable::GetHandleCursor(int handle) const
{
    if (handle >= 9 && handle <= 11)
        return HandleCursor::ColumnEdge;
    return CDrawRect::GetHandleCursor(handle);
}

int CDrawResultTable::HitTest(QPoint point, DrawView* v, bool selected, int flag)
{
    const DocRect n = position.Normalized();
    int hit = selected ? CDrawObj::HitTest(point, v, true, flag)
                       : (n.left <= point.x() && point.x() < n.right && n.top < point.y() && point.y() <= n.bottom);
    if (hit != 0) {
        activeHandle = hit;
        return hit;
    }
    const std::int64_t x = point.x();
    if (point.y() < n.top || point.y() > n.bottom)
        return 0;
    const std::int64_t left = std::int64_t(n.left) + pen.widthX;
    const std::int64_t divider = left + m_widths[0];
    if (x >= left && x <= left + kSideBand)
        hit = 9;
    else if (std::abs(x - divider) <= kDividerBand)
        hit = 10;
    else if (x >= std::int64_t(n.right) - kSideBand && x <= n.right)
        hit = 11;
    if (hit != 0)
        activeHandle = hit;
    return hit;
}

void CDrawResultTable::MoveHandleTo(int handle, QPoint point, int flags, DrawView* v)
{
    DocRect n = position.Normalized();
    const std::int64_t w0 = m_widths[0];
    const std::int64_t w1 = m_widths[1];
    const auto recompute = [this] { SplitFractions(); };
    switch (handle) {
    case 9: {
        const std::int64_t delta = std::int64_t(point.x()) - n.left;
        if (w0 > delta + kMinColumn) {
            m_widths[0] = static_cast<std::uint16_t>(std::clamp<std::int64_t>(w0 - delta, 0, 65535));
            n.left = Clamp32(std::int64_t(n.left) + delta);
            position = n;
            recompute();
        }
        InvalidateIn(v);
        return;
    }
    case 11: {
        const std::int64_t delta = std::int64_t(point.x()) - (std::int64_t(n.left) + w0 + w1);
        if (w1 > kMinColumn - delta) {
            m_widths[1] = static_cast<std::uint16_t>(std::clamp<std::int64_t>(w1 + delta, 0, 65535));
            n.right = Clamp32(std::int64_t(n.right) + delta);
            position = n;
            recompute();
        }
        InvalidateIn(v);
        return;
    }
    case 10: {
        const std::int64_t delta = std::int64_t(point.x()) - (std::int64_t(n.left) + w0);
        if (w0 > kMinColumn - delta && w1 > delta + kMinColumn) {
            m_widths[0] = static_cast<std::uint16_t>(w0 + delta);
            m_widths[1] = static_cast<std::uint16_t>(w1 - delta);
            const double width = double(std::int64_t(n.right) - n.left);
            if (width > 0) {
                m_fractions[0] += float(double(delta) / width);
                m_fractions[1] -= float(double(delta) / width);
            }
        }
        InvalidateIn(v);
        return;
    }
    case 2:
    case 6:
        return; // the height follows the rows
    case 1:
    case 7:
    case 8:
        if (std::int64_t(n.right) - point.x() < kMinColumn)
            return;
        break;
    case 3:
    case 4:
    case 5:
        if (std::int64_t(point.x()) - n.left < kMinColumn)
            return;
        break;
    default:
        return;
    }
    CDrawObj::MoveHandleTo(handle, point, flags, v);
    const DocRect after = position.Normalized();
    const std::int64_t width = std::int64_t(after.right) - after.left;
    m_widths[0] = static_cast<std::uint16_t>(std::clamp<std::int64_t>(std::int64_t(double(width) * m_fractions[0]), 0, 65535));
    m_widths[1] = static_cast<std::uint16_t>(std::clamp<std::int64_t>(width - m_widths[0], 0, 65535));
}

// ---- editing

void CDrawResultTable::OnEditProperties()
{
    DocumentEnvironment& env = Environment();
    PropertySheet sheet(env, env.LoadString(kObjectPropertiesTitle));
    auto& page = *new CFieldProp(env);
    page.m_nMode = CFieldProp::kSeveralFields;
    for (std::uint32_t id : m_fieldIds)
        page.FieldIdList.append(id);
    page.m_nImageNumber = m_nIRNumber;
    page.m_bDifference = m_bDifference;
    sheet.AddPage(&page);
    if (sheet.DoModal() != PropertySheet::kIdOk)
        return;
    SaveRedoSnapshot();
    // The old frame and the new one, fitted to the new rows before the
    // repaint: the table grows or shrinks with its fields.
    Invalidate();
    m_nIRNumber = page.m_nImageNumber;
    m_bDifference = page.m_bDifference;
    m_fieldIds.assign(page.FieldIdList.begin(), page.FieldIdList.end());
    FitToRows();
    Invalidate();
    SaveUndoSnapshot();
}

void CDrawResultTable::BeginEdit(DrawView* v, int mode)
{
    m_bFormatChanged = mode != 1 ? 1 : 0;
    m_pEditor = v != nullptr ? dynamic_cast<CTextEditView*>(v->GetTextEditor()) : nullptr;
    if (m_pEditor == nullptr)
        return;
    m_pEditor->Hide();
    m_pEditor->Document()->setPlainText(QStringLiteral(" "));
    QTextCursor c = m_pEditor->Cursor();
    c.select(QTextCursor::Document);
    c.mergeCharFormat(EditorFormatOf(m_cf));
    m_pEditor->SetCursor(c);
    m_pEditor->SetModify(false);
}

void CDrawResultTable::EndEdit(DrawView* v)
{
    if (m_pEditor == nullptr)
        m_pEditor = v != nullptr ? dynamic_cast<CTextEditView*>(v->GetTextEditor()) : nullptr;
    if (m_pEditor != nullptr) {
        m_pEditor->Hide();
        if (m_bFormatChanged) {
            QTextCursor c = m_pEditor->Cursor();
            c.select(QTextCursor::Document);
            const platform::CHARFORMAT now = rich_text::ToCharFormat(c.charFormat());
            // Only a changed format replaces the held one (which keeps its
            // bytes otherwise).
            if (now != rich_text::ToCharFormat(EditorFormatOf(m_cf)))
                m_cf = now;
        }
    }
    m_pEditor = nullptr;
    if (v != nullptr)
        v->InvalObj(this);
}

int CDrawResultTable::DoCommand(unsigned id, const QString& key, int value)
{
    if (id == kFormatCommand) {
        if (m_pEditor == nullptr)
            return 0;
        if (key == QLatin1String("4") || key == QLatin1String("5") || key == QLatin1String("6")) {
            m_pEditor->OnCommand(CTextEditView::kAlignLeft);
        } else {
            QTextCursor c = m_pEditor->Cursor();
            c.select(QTextCursor::Document);
            m_cf = rich_text::ToCharFormat(c.charFormat());
            m_cf.cbSize = platform::CHARFORMAT::kSize;
            InvalidateIn(view);
        }
    }
    return CDrawObj::DoCommand(id, key, value);
}

int CDrawResultTable::GetPopupMenuIndex() const
{
    return view != nullptr && view->GetSelection().size() <= 1 ? 9 : 0;
}

// ---- export

void CDrawResultTable::ExportToWord(CWordExport& exporter)
{
    const DocRect n = position.Normalized();
    const bool border = penOn != 0 && pen.color != 0xFFFFFF;
    // The rows as the table shows them now, laid out here: a table read
    // from a file holds none until its page is drawn, and the export does
    // not draw the pages. The row height is that of the last layout.
    const bool neverLaidOut = m_fRowHeight == kDefaultRowHeight && m_nRowCount < 2;
    BuildRows(nullptr);
    if (neverLaidOut)
        m_fRowHeight = m_fieldIds.empty() ? kEmptyExportRowHeight : kDefaultRowHeight;
    const int table = exporter.ExportResultTable(m_nRowCount, float(n.left), float(n.bottom), float(n.Width()),
                                                 float(n.Height()), float(m_widths[0]), float(m_widths[1]),
                                                 m_fRowHeight, border, pen.color, pen.widthX);
    CWordExport::CellFormat format;
    format.faceName = m_cf.FaceName();
    format.heightTwips = m_cf.yHeight;
    format.bold = (m_cf.dwEffects & platform::CFE_BOLD) != 0;
    format.italic = (m_cf.dwEffects & platform::CFE_ITALIC) != 0;
    format.underline = (m_cf.dwEffects & platform::CFE_UNDERLINE) != 0;
    format.fill = brushOn != 0;
    format.fillColor = brush.color;
    exporter.FillResultTableCells(table, m_nRowCount, format, QString(m_strRowText));
}
