// The property sheet's tests: an environment that answers the sheet and
// records its messages, sixteen made-up palettes, and a report with one
// image object and analyses of every kind.
#pragma once

#include "irimage/draw_ir.h"
#include "irimage/ir_property_pages.h"
#include "test_support.h"

#include "document/draw_view.h"
#include "document/property_sheet.h"
#include "document/rpt_doc.h"

#include <QLineEdit>

#include <functional>
#include <memory>
#include <vector>

namespace irtest {

class SheetEnvironment : public TestEnvironment {
public:
    SheetEnvironment()
    {
        palettes = 16;
        table.resize(16 * 1024);
        for (int p = 0; p < 16; ++p) {
            for (int k = 0; k < 256; ++k) {
                auto* e = reinterpret_cast<std::uint8_t*>(table.data()) + 1024 * p + 4 * k;
                e[0] = static_cast<std::uint8_t>(k);            // blue
                e[1] = static_cast<std::uint8_t>(255 - k);      // green
                e[2] = static_cast<std::uint8_t>((k * (p + 3)) & 0xFF); // red
                e[3] = 0;
            }
        }
    }

    bool RunDialog(QDialog& dialog) override
    {
        ++sheetsRun;
        auto* sheet = dynamic_cast<PropertySheet*>(&dialog);
        return sheet != nullptr && answer ? answer(*sheet) : false;
    }
    int MessageBox(const QString&, int type, int stringId) override
    {
        messages.push_back(stringId);
        messageTypes.push_back(type);
        return kAnswerOk;
    }
    QStringList ObjectTypes() const override { return objectTypes; }
    QString PaletteName(int index) const override { return QStringLiteral("色标%1").arg(index + 1); }
    QByteArray PaletteTable() const override { return table; }
    // Palette index of the table.
    const std::uint8_t* PaletteColors(int index) const
    {
        return reinterpret_cast<const std::uint8_t*>(table.constData()) + 1024 * index;
    }

    std::function<bool(PropertySheet&)> answer;
    int sheetsRun = 0;
    std::vector<int> messages;
    std::vector<int> messageTypes;
    QStringList objectTypes{QStringLiteral("95 人体"), QStringLiteral("90 砖墙"), QStringLiteral("30 铝板")};
    QByteArray table;
};

// Presses OK; true when the sheet closed with it.
inline bool PressOk(PropertySheet& sheet)
{
    sheet.PressButton(PropertySheet::kIdOk);
    return sheet.result() == QDialog::Accepted;
}

inline void SetEditText(PropertyPage* page, int id, const QString& text)
{
    auto* edit = page->GetDlgItemAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << id;
    edit->setText(text);
}

inline QString EditText(PropertyPage* page, int id)
{
    auto* edit = page->GetDlgItemAs<QLineEdit>(id);
    return edit == nullptr ? QString() : edit->text();
}

inline IRAnalysisItem MakeAnalysis(std::int32_t kind, int number, IRShape shape, const QString& name)
{
    IRAnalysisItem item;
    item.kind = kind;
    item.number = number;
    item.shape = shape;
    item.color = IRAnalysisItem::kDefaultColor;
    item.labelMode = 1;
    item.emissivity = 0.9f;
    item.distance = 1.0f;
    item.SetName(name);
    return item;
}

// A report with a view and one image object.
struct SheetReport {
    SheetEnvironment env;
    CDI_RptDoc doc{&env, &Registry()};
    CountingView view;
    CDrawIR* ir = nullptr;

    SheetReport()
    {
        doc.SetView(&view);
        auto made = std::make_unique<CDrawIR>(&view, DocRect(100, -100, 4000, -3000));
        made->SetNumber(1);
        ir = static_cast<CDrawIR*>(doc.AddNoUndo(std::move(made)));
        view.Select(ir); // the properties command acts on the one selected object
    }
    ~SheetReport() { doc.SetView(nullptr); }

    // A point, a line, a rectangle and an ellipse, measured.
    void AddAnalysesOfEveryKind()
    {
        ir->m_analyses.Add(MakeAnalysis(kAnalysisPoint, 1, {5, 5, 0, 0}, QStringLiteral("点01")));
        ir->m_analyses.Add(MakeAnalysis(kAnalysisLine, 1, {1, 1, 12, 9}, QStringLiteral("线01")));
        ir->m_analyses.Add(MakeAnalysis(kAnalysisRect, 1, {2, 2, 8, 8}, QStringLiteral("区域01")));
        ir->m_analyses.Add(MakeAnalysis(kAnalysisEllipse, 2, {6, 3, 14, 10}, QStringLiteral("区域02")));
        for (IRAnalysisItem& item : ir->m_analyses) {
            item.emissivity = ir->m_fEmissivity;
            item.distance = ir->m_fDistance;
            item.background = ir->m_fBackground;
            item.referenceTemp = ir->m_fReference;
        }
        ir->RecomputeAll();
    }
};

} // namespace irtest
