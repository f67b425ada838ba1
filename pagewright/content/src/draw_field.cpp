#include "content/draw_field.h"

#include "content/default_text.h"
#include "content/draw_text.h"
#include "content/field_prop.h"
#include "content/rtf_reader.h"
#include "content/rtf_writer.h"
#include "content/text_edit_view.h"
#include "content/text_format_ops.h"
#include "document/document_environment.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/property_sheet.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QJsonObject>
#include <QTextCharFormat>
#include <QTextCursor>

const DrawClass CDrawField::kClass{{"CDrawField", 0, &platform::createArchiveObject<CDrawField>},
                                   &CDrawObj::kClass,
                                   &CreateDrawObjForUndo<CDrawField>,
                                   &CDrawField::AfterUndoRead};

namespace {
constexpr int kFieldBase = 33200;
constexpr int kObjectPropertiesTitle = 32788;
} // namespace

FieldTextRequest FieldTextRequestOf(int fieldId, int analysisNumber)
{
    // The group of an id below the first one wraps to a large unsigned
    // value: no group.
    const unsigned group = static_cast<unsigned>(fieldId - kFieldBase) / 100u;
    switch (group) {
    case 0:
    case 1:
        return {FieldTextRequest::Info, 0};
    case 2:
        return {FieldTextRequest::Param, 0};
    case 3:
        return {FieldTextRequest::Point, analysisNumber};
    case 4:
        return {FieldTextRequest::Line, analysisNumber};
    case 5:
        return {FieldTextRequest::Area, analysisNumber};
    case 6:
        return {FieldTextRequest::Isotherm, analysisNumber - 1};
    default:
        return {};
    }
}

CDrawField::CDrawField() { brush.color = 0xFFFFFF; }

CDrawField::CDrawField(DrawView* v, const DocRect& rect) : CDrawObj(v, rect) { brush.color = 0xFFFFFF; }

CDrawField::~CDrawField() = default; // IRImageDependent leaves every image

void CDrawField::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawObj::Serialize(ar);
    ar.writeU32(static_cast<std::uint32_t>(m_nAnalysisNumber));
    ar.writeU32(static_cast<std::uint32_t>(m_nImageNumber));
    ar.writeU32(static_cast<std::uint32_t>(m_nFieldId));
    textStore.Serialize(ar);
}

void CDrawField::Serialize(platform::ArchiveReader& ar)
{
    CDrawObj::Serialize(ar);
    m_nAnalysisNumber = ar.readI32();
    m_nImageNumber = ar.readI32();
    m_nFieldId = ar.readI32();
    textStore.Serialize(ar);
    textStore.Rewind();
    m_strLabel.clear();
    m_displayStore.SetLength(0);
    m_cache.Clear();
}

void CDrawField::Dump(QJsonObject& out) const
{
    CDrawObj::Dump(out);
    out[QStringLiteral("imageNumber")] = m_nImageNumber;
    out[QStringLiteral("analysisNumber")] = m_nAnalysisNumber;
    out[QStringLiteral("fieldId")] = m_nFieldId;
}

DocumentEnvironment& CDrawField::Environment() const
{
    CDI_RptDoc* doc = document != nullptr ? document : (view != nullptr ? view->GetDocument() : nullptr);
    return doc != nullptr ? doc->Environment() : DefaultDocumentEnvironment();
}

CTextEditView* CDrawField::EditorOf(DrawView* v) const
{
    return v != nullptr ? dynamic_cast<CTextEditView*>(v->GetTextEditor()) : nullptr;
}

CDrawIR* CDrawField::FindImage(DrawView* v) const
{
    return v != nullptr ? dynamic_cast<CDrawIR*>(v->FindIRObject(m_nImageNumber)) : nullptr;
}

void CDrawField::GetFieldText(QString& text) const
{
    text.clear();
    if (view == nullptr)
        return;
    const CDrawIR* image = FindImage(view);
    if (image == nullptr) {
        text = QStringLiteral("-");
        return;
    }
    const FieldTextRequest request = FieldTextRequestOf(m_nFieldId, m_nAnalysisNumber);
    switch (request.source) {
    case FieldTextRequest::Info:
        image->GetInfoText(m_nFieldId, text);
        break;
    case FieldTextRequest::Param:
        image->GetParamText(m_nFieldId, text);
        break;
    case FieldTextRequest::Point:
        image->GetPointText(request.number, m_nFieldId, text, false);
        break;
    case FieldTextRequest::Line:
        image->GetLineText(request.number, m_nFieldId, text, false);
        break;
    case FieldTextRequest::Area:
        image->GetAreaText(request.number, m_nFieldId, text, false);
        break;
    case FieldTextRequest::Isotherm:
        image->GetIsothermText(request.number, m_nFieldId, text);
        break;
    case FieldTextRequest::None:
        break;
    }
    if (text.isEmpty())
        text = QStringLiteral("-");
}

void CDrawField::RefreshLabel() { GetFieldText(m_strLabel); }

void CDrawField::Draw(PageDC& dc)
{
    if (!text_box::DrawFrame(dc, *this))
        return;
    RefreshLabel();
    DrawRichText(dc, *this, m_cache, &m_strLabel, &m_displayStore);
    text_box::DrawFrameOver(dc, *this);
}

void CDrawField::Register(DrawView* v)
{
    Unregister();
    if (CDrawIR* image = FindImage(v != nullptr ? v : view))
        image->AddDependent(this);
}

void CDrawField::Unregister()
{
    for (CDrawIR* image : std::vector<CDrawIR*>(Images()))
        image->RemoveDependent(this);
}

void CDrawField::SetBinding(int imageNumber, int analysisNumber, int fieldId)
{
    m_nImageNumber = imageNumber;
    m_nAnalysisNumber = analysisNumber;
    m_nFieldId = fieldId;
    Register(view);
}

void CDrawField::OnIRImageChanged(CDrawIR& image)
{
    (void)image;
    Invalidate();
}

void CDrawField::OnEditProperties()
{
    DocumentEnvironment& env = Environment();
    PropertySheet sheet(env, env.LoadString(kObjectPropertiesTitle));
    auto& page = *new CFieldProp(env);
    page.m_nImageNumber = m_nImageNumber;
    page.m_nObjectNumber = m_nAnalysisNumber;
    page.m_nFieldId = m_nFieldId;
    sheet.AddPage(&page);
    Unregister();
    if (sheet.DoModal() != PropertySheet::kIdOk) {
        Register(view);
        return;
    }
    SaveRedoSnapshot();
    m_nImageNumber = page.m_nImageNumber;
    m_nAnalysisNumber = page.m_nObjectNumber;
    m_nFieldId = page.m_nFieldId;
    Register(view);
    if (m_pEditor != nullptr) {
        RefreshLabel();
        m_pEditor->StoreInto(textStore);
        if (view != nullptr)
            view->InvalObj(this);
        m_pEditor->SetSel(0, -1);
    }
    Invalidate();
    SaveUndoSnapshot();
}

CDrawObj* CDrawField::Clone(CDI_RptDoc* doc)
{
    auto* copy = new CDrawField(view, position);
    copy->penOn = penOn;
    copy->pen = pen;
    copy->brushOn = brushOn;
    copy->brush = brush;
    copy->page = page;
    copy->tableCell = tableCell;
    copy->m_nImageNumber = m_nImageNumber;
    copy->m_nAnalysisNumber = m_nAnalysisNumber;
    copy->m_nFieldId = m_nFieldId;
    if (doc != nullptr)
        return doc->Add(std::unique_ptr<CDrawObj>(copy));
    return copy;
}

void CDrawField::BeginEdit(DrawView* v, int mode)
{
    m_bEditing = mode == 1 ? 0 : 1;
    if (m_pEditor == nullptr)
        m_pEditor = EditorOf(v);
    if (m_pEditor == nullptr || v == nullptr)
        return;
    m_pEditor->LoadStore(textStore, Environment());
    m_pEditor->SetZoom(v->m_fZoom);
    m_pEditor->SetSel(0, -1);
}

void CDrawField::EndEdit(DrawView* v)
{
    if (m_pEditor == nullptr)
        m_pEditor = EditorOf(v);
    if (m_pEditor != nullptr) {
        m_pEditor->Hide();
        if (m_bEditing)
            m_pEditor->StoreInto(textStore);
    }
    m_bEditing = 0;
    m_pEditor = nullptr;
    if (v != nullptr)
        v->InvalObj(this);
}

void CDrawField::StartEditing(DrawView* v)
{
    InvertColors();
    InvertColorTable();
    BeginEdit(v, 0);
}

void CDrawField::StopEditing(DrawView* v)
{
    EndEdit(v);
    InvertColors();
    InvertColorTable();
}

int CDrawField::DoCommand(unsigned id, const QString& key, int value)
{
    (void)value;
    if (id == kFormatCommand) {
        if (m_pEditor == nullptr)
            return 0;
        if (key != QLatin1String("30")) {
            SaveRedoSnapshot();
            m_pEditor->StoreInto(textStore);
            if (key == QLatin1String("17")) {
                InvertColorTable();
                QTextCursor c = m_pEditor->Cursor();
                QTextCharFormat f = c.charFormat();
                const QColor fg = f.foreground().color();
                QTextCharFormat inverted;
                inverted.setForeground(QColor(255 - fg.red(), 255 - fg.green(), 255 - fg.blue()));
                c.mergeCharFormat(inverted);
                m_pEditor->SetCursor(c);
            }
        }
    }
    if (view != nullptr)
        view->InvalObj(this);
    if (key == QLatin1String("30"))
        return 1;
    return CDrawObj::DoCommand(id, key, 0);
}

void CDrawField::ExportToWord(CWordExport& exporter)
{
    // The display as a draw would build it now: the last draw's may be of
    // an image that changed since (the export draws no page).
    RefreshLabel();
    const QByteArray bytes = textStore.GetLength() > 0 ? textStore.ToByteArray() : LoadDefaultRichText(Environment());
    CTextHost& host = m_cache.Prepare(bytes, &m_strLabel);
    m_displayStore.Assign(rich_text::WriteRtf(host.Document()));
    if (m_displayStore.GetLength() == 0)
        return;
    TextRunList runs;
    ExtractRtfText(m_displayStore, runs);
    CWordExport::TextBox box = text_box::ExportBox(*this);
    box.text = m_strLabel;
    text_box::ExportFont(runs, box.fontName, box.fontSize);
    exporter.ExportText(box, runs);
}

int CDrawField::GetPopupMenuIndex() const
{
    return view != nullptr && view->GetSelection().size() <= 1 ? 9 : 0;
}

void CDrawField::AfterUndoRead(CDrawObj& object, DrawView* v, bool recreated)
{
    (void)recreated;
    auto& field = static_cast<CDrawField&>(object);
    if (field.m_pEditor != nullptr)
        field.m_pEditor->Hide();
    field.m_bEditing = 0;
    field.m_pEditor = nullptr;
    field.m_cache.Clear();
    field.m_displayStore.SetLength(0);
    field.Register(v);
    if (v != nullptr)
        v->InvalObj(&object);
}
