#include "content/table_objects.h"

#include "content/draw_result_table.h"
#include "content/draw_table.h"
#include "content/table_dialogs.h"
#include "document/document_environment.h"
#include "document/draw_class.h"
#include "document/draw_tool.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"

namespace {

std::unique_ptr<CDrawObj> MakeTable(DrawView& view, const DocRect& rect)
{
    CDI_RptDoc* doc = view.GetDocument();
    DocumentEnvironment& env = doc != nullptr ? doc->Environment() : DefaultDocumentEnvironment();
    CTablePropDlg dlg;
    if (!env.RunDialog(dlg))
        return nullptr;
    auto table = std::make_unique<CDrawTable>(&view, rect, dlg.m_nColumns, dlg.m_nRows);
    table->RecalcLayout();
    return table;
}

} // namespace

void RegisterTableObjects(DrawClassRegistry& registry)
{
    if (registry.Find(CDrawTable::kClass.Name()) == nullptr)
        registry.Add(CDrawTable::kClass);
    if (registry.Find(CDrawResultTable::kClass.Name()) == nullptr)
        registry.Add(CDrawResultTable::kClass);
    SetToolObjectFactory(kShapeTable, &MakeTable);
    SetToolObjectFactory(kShapeResultTable, [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
        return std::make_unique<CDrawResultTable>(&view, rect);
    });
}
