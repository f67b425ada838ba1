// Tables drawn into PNG files (test-artifacts/pagewright_content/table-*.png)
// for a look: a 4 x 3 table of text and field cells as made, with a column
// picked and after a column resize, and a result table of an image with
// spots, a line and an area.
#include "table_test_support.h"

#include "content/cell_format.h"
#include "content/field_prop.h"
#include "document/property_sheet.h"

#include <QDir>
#include <QRadioButton>

using namespace table_test;

namespace {

QImage Page(Report& r, int width = 560, int height = 420)
{
    QImage page(width, height, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    PageDC dc(painter, PageMapping::ForZoom(1.0));
    for (CDrawObj* obj : r.doc.GetObjects())
        obj->Draw(dc);
    return page;
}

void Save(const QImage& image, const char* name)
{
    QDir().mkpath(QStringLiteral(CONTENT_ARTIFACTS));
    image.save(QStringLiteral(CONTENT_ARTIFACTS "/") + QLatin1String(name));
}

// Pixels that differ between two pictures.
int Differences(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return n;
}

CDrawIR* LoadedImage(Report& r, QTemporaryDir& dir)
{
    CDrawIR* image = r.AddImage(1, DocRect(300, -300, 3660, -2820));
    const QString file = dir.filePath(QStringLiteral("k4_320.vni"));
    QFile::copy(QStringLiteral(CONTENT_IR_FIXTURES "/k4_320.vni"), file);
    EXPECT_TRUE(image->LoadIRFile(file));
    const auto add = [image](int kind, int number, IRShape shape) {
        IRAnalysisItem item;
        item.kind = kind;
        item.number = number;
        item.shape = shape;
        item.emissivity = 0.95f;
        item.distance = 1.0f;
        image->m_analyses.Add(item);
    };
    add(kAnalysisPoint, 1, {80, 60, 0, 0});
    add(kAnalysisPoint, 2, {240, 180, 0, 0});
    add(kAnalysisLine, 1, {20, 120, 300, 120});
    add(kAnalysisRect, 1, {150, 40, 260, 110});
    image->RecomputeAll();
    return image;
}

} // namespace

TEST(TableShots, AFourByThreeTableAsMadePickedAndResized)
{
    Report r;
    QTemporaryDir dir;
    LoadedImage(r, dir)->position = DocRect(300, -4500, 1300, -4000); // small, out of the way
    r.view.RebuildIRObjects();
    CDrawTable* t = AddTable(r, 4, 3, DocRect(300, -1500, 5100, -300));
    const char* texts[] = {"名称", "温度", "位置", "备注"};
    for (int c = 0; c < 4; ++c)
        t->SetCellText(&r.view, 0, c, QString::fromUtf8(texts[c]), 0);
    t->SetCellText(&r.view, 1, 0, QStringLiteral("P1"), 1);
    t->SetCellText(&r.view, 2, 0, QStringLiteral("P2"), 2);
    // Two field cells through the properties sheet's path: column 1 rows 1-2.
    for (int row = 1; row <= 2; ++row) {
        t->HitTest(CenterOf(t->Cell(row, 1)->position), &r.view, true, 1);
        r.env.onDialog = [row](QDialog& d) {
            auto& sheet = static_cast<PropertySheet&>(d);
            static_cast<CCellFormat*>(sheet.GetPage(0))->GetDlgItemAs<QRadioButton>(CCellFormat::kFieldRadio)->click();
            auto* field = static_cast<CFieldProp*>(sheet.GetPage(1));
            field->m_nFieldId = 33500;
            field->m_nObjectNumber = row;
            return true;
        };
        t->OnEditProperties();
    }
    r.env.onDialog = {};
    t->Cell(2, 3)->brush.color = 0xC0FFC0;
    t->Cell(2, 3)->brushOn = 1;
    const QImage made = Page(r);
    Save(made, "table-made.png");

    t->HitTest(QPoint(3500, -320), &r.view, true, 1); // column 2
    ASSERT_EQ(t->GetSelectedColumn(), 2);
    const QImage picked = Page(r);
    Save(picked, "table-column-picked.png");
    EXPECT_GT(Differences(made, picked), 1000) << "the column shows inverted";
    t->EndEdit(&r.view);
    EXPECT_EQ(Differences(made, Page(r)), 0) << "and comes back";

    t->MoveHandleTo(9, QPoint(1900, -900), 0, &r.view);
    const QImage resized = Page(r);
    Save(resized, "table-resized.png");
    EXPECT_GT(Differences(made, resized), 100);
    EXPECT_EQ(t->ColumnWidths()[0], 1900 - 310);
}

TEST(TableShots, AResultTableOfAnImageWithSpotsALineAndAnArea)
{
    Report r;
    QTemporaryDir dir;
    LoadedImage(r, dir);
    auto* t = r.Add(std::make_unique<CDrawResultTable>(&r.view, DocRect(300, -3200, 4300, -3000)));
    t->SetFieldIds({33203, 33401, 33500, 33603, 33703});
    const QImage page = Page(r, 560, 700);
    Save(page, "result-table.png");
    // Headers: image, parameters, spot, line, area; rows: 1 + 1 + 2 + 1 + 1.
    EXPECT_EQ(t->RowCount(), 11) << t->RowText().toStdString();
    EXPECT_TRUE(r.doc.GetShowNumbers());
}
