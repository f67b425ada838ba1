#include "content/text_objects.h"

#include "irimage/draw_ir.h"

#include "content/draw_field.h"
#include "content/draw_text.h"
#include "content/field_prop.h"
#include "document/draw_class.h"
#include "document/draw_tool.h"
#include "document/draw_view.h"
#include "document/property_sheet.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"

namespace {

constexpr int kObjectPropertiesTitle = 32788;

std::unique_ptr<CDrawObj> MakeField(DrawView& view, const DocRect& rect)
{
    CDI_RptDoc* doc = view.GetDocument();
    DocumentEnvironment& env = doc != nullptr ? doc->Environment() : DefaultDocumentEnvironment();
    PropertySheet sheet(env, env.LoadString(kObjectPropertiesTitle));
    auto& page = *new CFieldProp(env);
    sheet.AddPage(&page);
    if (sheet.DoModal() != PropertySheet::kIdOk)
        return nullptr;
    auto field = std::make_unique<CDrawField>(&view, rect);
    field->SetBinding(page.m_nImageNumber, page.m_nObjectNumber, page.m_nFieldId);
    // One begin and end of editing gives the new field its format.
    field->BeginEdit(&view, 0);
    field->EndEdit(&view);
    return field;
}

} // namespace

void RegisterTextObjects(DrawClassRegistry& registry)
{
    if (registry.Find(CDrawText::kClass.Name()) == nullptr)
        registry.Add(CDrawText::kClass);
    if (registry.Find(CDrawField::kClass.Name()) == nullptr)
        registry.Add(CDrawField::kClass);
    SetToolObjectFactory(kShapeText, [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
        return std::make_unique<CDrawText>(&view, rect);
    });
    SetToolObjectFactory(kShapeField, &MakeField);
    // The image's remark command puts the file's remark on the page.
    CDrawIR::SetRemarkTextFactory([](DrawView* view, const DocRect& rect, const QString& text) {
        auto remark = std::make_unique<CDrawText>(view, rect);
        if (!text.isEmpty())
            remark->SetPlainText(view, text, 0, nullptr);
        return std::unique_ptr<CDrawObj>(std::move(remark));
    });
}
