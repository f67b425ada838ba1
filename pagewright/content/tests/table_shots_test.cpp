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

TEST(TableShots, ANewTableDrawsOneLinePerBorderAndKeepsItsTextOffTheGrid)
{
    // A table made with a click: 3 x 3, rows of 193 units (lower than a
    // lone text box may be).
    Report r;
    CDrawTable* t = AddTable(r, 3, 3, DocRect(100, -400, 200, -300));
    ASSERT_EQ(t->RowHeights(), (std::vector<std::uint16_t>{193, 193, 193}));
    // At every zoom and wherever the page lies against the pixels.
    for (const double zoom : {1.0, 1.5, 2.0})
        for (const double shift : {0.0, 0.25, 0.5, 0.75}) {
        QImage image(900, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        PageMapping mapping = PageMapping::ForZoom(zoom);
        mapping.viewportOrigin = QPointF(shift, shift);
        {
            QPainter painter(&image);
            PageDC dc(painter, mapping);
            t->Draw(dc);
        }
        if (shift == 0.0)
            Save(image, zoom == 1.0 ? "table-new-3x3.png" : "table-new-3x3-zoomed.png");
        const auto inked = [&image](int x, int y) { return image.pixel(x, y) != qRgb(255, 255, 255); };
        // Down the middle of column 1 and along the middle of row 1: every
        // inner border is one line one pixel wide, and nothing else is drawn
        // between the borders.
        const DocRect cell = t->Cell(1, 1)->position.Normalized();
        const QPointF middle = mapping.ToDevice((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        const auto runs = [](const std::vector<bool>& line) {
            std::vector<int> widths;
            for (std::size_t i = 0; i < line.size(); ++i) {
                if (line[i] && (i == 0 || !line[i - 1]))
                    widths.push_back(0);
                if (line[i])
                    ++widths.back();
            }
            return widths;
        };
        const QRectF frame = QRectF(mapping.ToDevice(t->position.TopLeft()), mapping.ToDevice(t->position.BottomRight()))
                                 .normalized();
        std::vector<bool> down, across;
        for (int y = int(frame.top()) + 3; y < int(frame.bottom()) - 3; ++y)
            down.push_back(inked(int(middle.x()), y));
        for (int x = int(frame.left()) + 3; x < int(frame.right()) - 3; ++x)
            across.push_back(inked(x, int(middle.y())));
        EXPECT_EQ(runs(down), (std::vector<int>{1, 1})) << "row borders at zoom " << zoom << " shifted " << shift;
        EXPECT_EQ(runs(across), (std::vector<int>{1, 1})) << "column borders at zoom " << zoom << " shifted " << shift;
    }
    EXPECT_EQ(t->Cell(0, 0)->position.Normalized().Height(), 193) << "drawing leaves the cells as laid out";

    // Left-aligned text starts a margin inside its cell's left edge.
    t->SetCellText(&r.view, 0, 0, QStringLiteral("H"), 1);
    const PageMapping mapping = PageMapping::ForZoom(2.0);
    QImage image(900, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PageDC dc(painter, mapping);
        t->Draw(dc);
    }
    Save(image, "table-cell-text.png");
    const DocRect cell = t->Cell(0, 0)->position.Normalized();
    const QRectF box = QRectF(mapping.ToDevice(cell.TopLeft()), mapping.ToDevice(cell.BottomRight())).normalized();
    int leftmost = -1;
    for (int x = int(box.left()) + 1; x < int(box.right()) - 1 && leftmost < 0; ++x)
        for (int y = int(box.top()) + 2; y < int(box.bottom()) - 1; ++y)
            if (qGray(image.pixel(x, y)) < 128) {
                leftmost = x;
                break;
            }
    ASSERT_GE(leftmost, 0) << "the text shows";
    EXPECT_GE(leftmost - box.left(), kCellTextMargin * mapping.Scale()) << "the text keeps off the left border";
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
