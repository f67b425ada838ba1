// The property sheet and the field and cell pages.
#include "object_test_support.h"

#include "content/cell_format.h"
#include "content/field_prop.h"
#include "document/property_sheet.h"
#include "skin/color_combo_box.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>

using namespace object_test;

namespace {

// A field page alone on a shown sheet, set up as the sheet shows it.
struct FieldPageOnSheet {
    explicit FieldPageOnSheet(int fieldId, int mode = CFieldProp::kSingleField) : page(*new CFieldProp(env))
    {
        page.m_nFieldId = fieldId;
        page.m_nMode = mode;
        sheet.AddPage(&page);
        sheet.show();
        sheet.SetActivePage(0);
    }
    TestEnvironment env;
    PropertySheet sheet{env, QStringLiteral("t")};
    CFieldProp& page;
};

void Tick(QListWidget* list, int row)
{
    list->item(row)->setCheckState(Qt::Checked);
}

} // namespace

TEST(FieldProp, SeveralFieldsAreSortedOnOk)
{
    FieldPageOnSheet f(-1, CFieldProp::kSeveralFields);
    CFieldProp& page = f.page;
    EXPECT_EQ(page.GroupList()->count(), 7);
    EXPECT_EQ(page.GroupList()->item(6)->text(), QStringLiteral("等温分析"));
    EXPECT_TRUE(page.GetDlgItem(CFieldProp::kObjectNumber)->isHidden());
    EXPECT_FALSE(page.GetDlgItem(CFieldProp::kDifference)->isHidden());
    page.GroupList()->setCurrentRow(4);
    Tick(page.FieldList(), 3); // 33603
    page.GroupList()->setCurrentRow(0);
    Tick(page.FieldList(), 1); // 33201
    EXPECT_EQ(page.FieldIdList, (QList<quint32>{33603, 33201}));
    // Back in group 4 the ticked field shows ticked.
    page.GroupList()->setCurrentRow(4);
    EXPECT_EQ(page.FieldList()->item(3)->checkState(), Qt::Checked);
    f.sheet.PressButton(PropertySheet::kIdOk);
    EXPECT_EQ(page.FieldIdList, (QList<quint32>{33201, 33603}));
}

TEST(FieldProp, GroupsOfferTheirFieldsAndTheObjectNumberOnlyForAnalyses)
{
    FieldPageOnSheet f(33702);
    CFieldProp& page = f.page;
    EXPECT_EQ(page.GroupList()->currentRow(), 5);
    EXPECT_EQ(page.HotItem(), 2);
    EXPECT_EQ(page.FieldList()->item(2)->text(), QStringLiteral("最高温度-最低温度"));
    EXPECT_TRUE(page.GetDlgItem(CFieldProp::kDifference)->isHidden());
    const int expectedCounts[] = {5, 10, 7, 7, 12, 15, 2};
    for (int g = 0; g < 7; ++g) {
        page.GroupList()->setCurrentRow(g);
        EXPECT_EQ(page.FieldList()->count(), expectedCounts[g]) << g;
        EXPECT_EQ(page.GetDlgItem(CFieldProp::kObjectNumber)->isEnabled(), g >= 3) << g;
        EXPECT_EQ(page.HotItem(), g == 5 ? 2 : -1) << g;
    }
    page.GroupList()->setCurrentRow(0);
    page.FieldList()->setCurrentRow(4);
    EXPECT_EQ(page.m_nFieldId, 33204);
}

TEST(FieldProp, NoFieldSelectsNoGroup)
{
    FieldPageOnSheet f(-1);
    CFieldProp& page = f.page;
    EXPECT_EQ(page.GroupList()->currentRow(), -1);
    EXPECT_EQ(page.FieldList()->count(), 0);
    EXPECT_EQ(page.HotItem(), -1);
}

TEST(FieldProp, NumbersOutsideTheirRangesAreRefusedWithOneMessage)
{
    struct Case {
        const char* image;
        const char* object;
        bool accepted;
        int message = doc_string::kIntegerRange;
    };
    const Case cases[] = {
        {"1", "1", true}, {"1000", "101", true}, {"0", "1", false},
        {"1001", "1", false}, {"5", "102", false}, {"x", "1", false, doc_string::kEnterInteger},
    };
    for (const Case& c : cases) {
        FieldPageOnSheet f(33500);
        CFieldProp& page = f.page;
        page.GetDlgItemAs<QLineEdit>(CFieldProp::kImageNumber)->setText(QLatin1String(c.image));
        page.GetDlgItemAs<QLineEdit>(CFieldProp::kObjectNumber)->setText(QLatin1String(c.object));
        f.sheet.PressButton(PropertySheet::kIdOk);
        EXPECT_EQ(f.sheet.result() == QDialog::Accepted, c.accepted) << c.image << " " << c.object;
        EXPECT_EQ(f.env.messages.size(), c.accepted ? 0 : 1) << c.image << " " << c.object;
        if (!c.accepted) {
            EXPECT_EQ(f.env.messageIds.front(), c.message);
        }
    }
}

TEST(CellFormat, TheFieldTabFollowsTheCellKind)
{
    TestEnvironment env;
    PropertySheet sheet(env, QStringLiteral("t"));
    auto& cell = *new CCellFormat(env);
    auto& field = *new CFieldProp(env);
    cell.m_nCellKind = 0;
    cell.m_color = 0x00FFFF;
    cell.SetFieldPage(&sheet, &field);
    sheet.AddPage(&cell);
    sheet.AddPage(&field);
    sheet.show();
    sheet.SetActivePage(0);
    EXPECT_EQ(sheet.GetTabCount(), 1) << "a text cell shows no field tab";
    EXPECT_EQ(cell.ColorCombo()->GetSelectedColor(), 0x00FFFFu);
    cell.GetDlgItemAs<QRadioButton>(CCellFormat::kFieldRadio)->click();
    EXPECT_EQ(sheet.GetTabCount(), 2);
    EXPECT_EQ(sheet.GetTabText(1), QStringLiteral("属性域"));
    EXPECT_TRUE(sheet.SetActivePage(1));
    EXPECT_EQ(sheet.GetActivePage(), &field);
    EXPECT_TRUE(sheet.SetActivePage(0));
    cell.GetDlgItemAs<QRadioButton>(CCellFormat::kTextRadio)->click();
    EXPECT_EQ(sheet.GetTabCount(), 1);
    EXPECT_EQ(sheet.GetPageCount(), 1) << "the field page is neither shown nor applied";
    // A row or column: no field page.
    cell.m_bFieldPageAllowed = 0;
    cell.GetDlgItemAs<QRadioButton>(CCellFormat::kFieldRadio)->click();
    EXPECT_EQ(sheet.GetTabCount(), 1);
    sheet.PressButton(PropertySheet::kIdOk);
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(cell.m_nCellKind, 1);
}
