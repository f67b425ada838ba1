// The image's property sheet: what the pages show, what OK writes into the
// object, its analyses and the file's bytes, what Cancel restores, and one
// undo step for OK.
#include "irimage/ir_property_values.h"
#include "irimage/temperature_text.h"
#include "sheet_test_support.h"

#include "document/draw_view.h"
#include "platform/codepage.h"
#include "skin/color_picker_button.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTabBar>

#include <gtest/gtest.h>

#include <cstring>

using namespace irtest;

namespace {

enum PageIndex { kImagePage = 0, kParamPage = 1, kAnalysisPage = 2, kPalettePage = 3 };

template <class Page>
Page* PageAt(PropertySheet& sheet, int i)
{
    return dynamic_cast<Page*>(sheet.GetPage(i));
}

bool SameAnalyses(const IRAnalysisArray& a, const IRAnalysisArray& b)
{
    return a.GetSize() == b.GetSize() &&
           (a.GetSize() == 0 || std::memcmp(a.GetData(), b.GetData(), a.GetSize() * sizeof(IRAnalysisItem)) == 0);
}

QComboBox* Combo(PropertyPage* page, int id) { return page->GetDlgItemAs<QComboBox>(id); }
QCheckBox* Check(PropertyPage* page, int id) { return page->GetDlgItemAs<QCheckBox>(id); }

// Chooses entry i of a combo as the user would.
void Choose(QComboBox* combo, int i)
{
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

} // namespace

TEST(IRPropertySheet, SheetHasItsTitlePagesInOrderAndNoApply)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k4.vni")));
    QStringList captions;
    QString title;
    bool apply = true;
    r.env.answer = [&](PropertySheet& sheet) {
        title = sheet.windowTitle();
        for (int i = 0; i < sheet.GetPageCount(); ++i)
            captions << sheet.GetPage(i)->Caption();
        apply = sheet.HasApplyButton();
        const QList<QAbstractButton*> buttons = sheet.findChildren<QAbstractButton*>();
        for (QAbstractButton* b : buttons)
            apply = apply || b->text().contains(QStringLiteral("应用"));
        EXPECT_EQ(sheet.GetActivePage()->GetTemplateId(), CIRImagePage::kTemplateId);
        return false;
    };
    r.ir->OnEditProperties();
    EXPECT_EQ(r.env.sheetsRun, 1);
    EXPECT_EQ(title, QStringLiteral("设置...."));
    EXPECT_EQ(captions, (QStringList{QStringLiteral("图像"), QStringLiteral("参数"), QStringLiteral("分析工具"),
                                     QStringLiteral("调色板")}));
    EXPECT_FALSE(apply);
    for (const char* name :
         {"CIRImagePage", "CIRScalePage", "CIRParamPage", "CIRAnalysisPage", "CIRPalettePage", "CIRCommentPage"}) {
        std::unique_ptr<PropertyPage> page(CreatePropertyPage(QString::fromLatin1(name)));
        EXPECT_NE(page, nullptr) << name;
    }
    std::unique_ptr<PropertyPage> scale(CreatePropertyPage(QStringLiteral("CIRScalePage")));
    EXPECT_EQ(scale->GetTemplateId(), CIRScalePage::kTemplateId);
}

// The four pages for an image with analyses of every kind, kept as PNG files
// to look at.
TEST(IRPropertySheet, ScreenshotsOfTheFourPages)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k9.vni")));
    r.AddAnalysesOfEveryKind();
    const QString folder = QStringLiteral(IRIMAGE_TEST_ARTIFACTS "/property-sheet");
    QDir().mkpath(folder);
    r.env.answer = [&](PropertySheet& sheet) {
        sheet.show();
        for (int i = 0; i < sheet.GetPageCount(); ++i) {
            EXPECT_TRUE(sheet.SetActivePage(i)) << i;
            QApplication::processEvents();
            const QImage shot = sheet.grab().toImage();
            EXPECT_GT(shot.width(), 300);
            EXPECT_TRUE(shot.save(folder + QStringLiteral("/page-%1.png").arg(i))) << i;
        }
        sheet.hide();
        return false;
    };
    r.ir->OnEditProperties();
}

TEST(IRPropertySheet, CancelLeavesEveryAnalysisAsItWas)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k9.vni")));
    r.AddAnalysesOfEveryKind();
    const IRAnalysisArray before = r.ir->m_analyses;
    const float emissivity = r.ir->m_fEmissivity;
    r.env.answer = [&](PropertySheet& sheet) {
        EXPECT_TRUE(sheet.SetActivePage(kAnalysisPage));
        auto* page = PageAt<CIRAnalysisPage>(sheet, kAnalysisPage);
        // Label mode and preset go into the item at once; then another object.
        Choose(Combo(page, CIRAnalysisPage::kLabelMode), 2);
        Check(page, CIRAnalysisPage::kOwnEmissivity)->click();
        Choose(Combo(page, CIRAnalysisPage::kPresetCombo), 0);
        Check(page, CIRAnalysisPage::kOwnDistance)->click();
        SetEditText(page, CIRAnalysisPage::kDistance, QStringLiteral("3"));
        EXPECT_TRUE(page->ChooseObject(2));
        EXPECT_FALSE(SameAnalyses(r.ir->m_analyses, before)) << "the page edits in place";
        sheet.PressButton(PropertySheet::kIdCancel);
        return sheet.result() == QDialog::Accepted;
    };
    r.ir->OnEditProperties();
    EXPECT_TRUE(SameAnalyses(r.ir->m_analyses, before));
    EXPECT_FLOAT_EQ(r.ir->m_fEmissivity, emissivity);
    EXPECT_FALSE(r.doc.CanUndo());
}

TEST(IRPropertySheet, OkIsOneUndoStepAndRedoRestoresIt)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k9.vni")));
    r.AddAnalysesOfEveryKind();
    const IRAnalysisArray before = r.ir->m_analyses;
    const float oldEmissivity = r.ir->m_fEmissivity;
    r.env.answer = [&](PropertySheet& sheet) {
        EXPECT_TRUE(sheet.SetActivePage(kParamPage));
        SetEditText(sheet.GetPage(kParamPage), CIRParamPage::kEmissivity, QStringLiteral("0.5"));
        EXPECT_TRUE(sheet.SetActivePage(kAnalysisPage));
        auto* page = PageAt<CIRAnalysisPage>(sheet, kAnalysisPage);
        page->GetDlgItemAs<CColorPickerButton>(CIRAnalysisPage::kColor)->SetColor(0x0000FF);
        return PressOk(sheet);
    };
    const int steps = r.doc.GetUndoCount();
    r.ir = nullptr; // the undo steps replace the object
    CDrawIR* ir = static_cast<CDrawIR*>(r.doc.GetObjects().front());
    ir->OnEditProperties();
    EXPECT_EQ(r.doc.GetUndoCount(), steps + 1);
    EXPECT_FLOAT_EQ(ir->m_fEmissivity, 0.5f);
    EXPECT_EQ(ir->m_analyses[0].color, 0x0000FFu);

    r.doc.OnEditUndo();
    ir = static_cast<CDrawIR*>(r.doc.GetObjects().front());
    EXPECT_FLOAT_EQ(ir->m_fEmissivity, oldEmissivity);
    EXPECT_EQ(ir->m_analyses[0].color, IRAnalysisItem::kDefaultColor) << "the step before holds the analyses unedited";
    EXPECT_EQ(ir->m_analyses.GetSize(), before.GetSize());

    r.doc.OnEditRedo();
    ir = static_cast<CDrawIR*>(r.doc.GetObjects().front());
    EXPECT_FLOAT_EQ(ir->m_fEmissivity, 0.5f);
    EXPECT_EQ(ir->m_analyses[0].color, 0x0000FFu);
}

TEST(IRPropertySheet, AmbientShowsAndStoresTenthsInEveryUnit)
{
    const struct {
        int unit;
        float celsius;
        const char* shown;
        float stored;
    } cases[] = {{kUnitCelsius, -12.34f, "-12.3", -12.3f},
                 {kUnitFahrenheit, 20.0f, "68", 20.0f},
                 {kUnitFahrenheit, -12.34f, "9.9", -12.3f},
                 {kUnitKelvin, 20.0f, "293.2", 20.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        SheetReport r;
        r.env.SetTempUnit(c.unit);
        ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k4.vni")));
        r.ir->m_fAmbient = c.celsius;
        QString shown, unit;
        r.env.answer = [&](PropertySheet& sheet) {
            EXPECT_TRUE(sheet.SetActivePage(kParamPage));
            shown = EditText(sheet.GetPage(kParamPage), CIRParamPage::kAmbient);
            unit = sheet.GetPage(kParamPage)->GetDlgItemAs<QLabel>(CIRParamPage::kUnitAmbient)->text();
            return PressOk(sheet);
        };
        r.ir->OnEditProperties();
        EXPECT_EQ(shown, QString::fromLatin1(c.shown));
        EXPECT_EQ(unit, r.env.TempUnitText());
        EXPECT_NEAR(r.ir->m_fAmbient, c.stored, 1e-4) << "stored back, and read again from the patched bytes";
        EXPECT_NEAR(r.ir->Image().Ambient(), c.stored, 1e-4);
        r.env.SetTempUnit(kUnitCelsius);
    }
}

TEST(IRPropertySheet, DistancesInFeetOnBothPages)
{
    SheetReport r;
    r.env.SetLengthUnit(1);
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k9.vni")));
    r.ir->m_fDistance = 10.0f;
    r.AddAnalysesOfEveryKind();
    r.ir->m_analyses[1].distance = 2.5f;
    r.ir->m_analyses[1].ownDistance = 1;
    QString paramShown, analysisShown, secondShown;
    r.env.answer = [&](PropertySheet& sheet) {
        EXPECT_TRUE(sheet.SetActivePage(kParamPage));
        paramShown = EditText(sheet.GetPage(kParamPage), CIRParamPage::kDistance);
        EXPECT_EQ(sheet.GetPage(kParamPage)->GetDlgItemAs<QLabel>(CIRParamPage::kUnitDistance)->text(),
                  QStringLiteral("ft"));
        EXPECT_TRUE(sheet.SetActivePage(kAnalysisPage));
        auto* page = PageAt<CIRAnalysisPage>(sheet, kAnalysisPage);
        analysisShown = EditText(page, CIRAnalysisPage::kDistance);
        EXPECT_TRUE(page->ChooseObject(1));
        secondShown = EditText(page, CIRAnalysisPage::kDistance);
        SetEditText(page, CIRAnalysisPage::kDistance, QStringLiteral("32.81"));
        return PressOk(sheet);
    };
    r.ir->OnEditProperties();
    EXPECT_EQ(paramShown, QStringLiteral("32.808"));
    EXPECT_EQ(analysisShown, QStringLiteral("32.81"));
    EXPECT_EQ(secondShown, QStringLiteral("8.2"));
    EXPECT_NEAR(r.ir->m_fDistance, 10.0f, 1e-3);
    EXPECT_NEAR(r.ir->m_analyses[1].distance, 10.0f, 1e-3);
}

TEST(IRPropertySheet, EmissivityRulesKeepThePage)
{
    const struct {
        const char* fixture;
        const char* model; // the camera model string of the image
        int page;
        const char* value;
        bool accepted;
        int message;
    } cases[] = {
        {"k4.vni", "RQ52T", kParamPage, "0.096", true, 0},
        {"k4.vni", "RQ52T", kParamPage, "1.0", true, 0},
        {"k4.vni", "RQ52T", kParamPage, "0.094", false, 61508},
        {"k4.vni", "RQ52T", kParamPage, "1.001", false, 61508},
        {"k4.vni", "VN410K8", kParamPage, "0.006", true, 0},
        {"k4.vni", "VN410K8", kParamPage, "0.004", false, 61509},
        {"k4.vni", "RQ52T", kAnalysisPage, "0.094", false, 61508},
        {"k9.vni", "RQ52T", kAnalysisPage, "0.05", true, 0},
        {"k9.vni", "RQ52T", kAnalysisPage, "0.004", false, 61509},
        {"k4.vni", "RQ52T", kParamPage, "abc", false, doc_string::kEnterNumber},
        // The image's own value, shown disabled, is the parameter page's.
        {"k4.vni", "V093517", kAnalysisPage, "0.05", true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fixture) + " " + c.model + " " + c.value);
        SheetReport r;
        ASSERT_TRUE(r.ir->LoadIRFile(Fixture(c.fixture)));
        r.AddAnalysesOfEveryKind();
        r.ir->m_strInfo[0] = QString::fromLatin1(c.model);
        bool left = false, closed = false;
        r.env.answer = [&](PropertySheet& sheet) {
            EXPECT_TRUE(sheet.SetActivePage(c.page));
            PropertyPage* page = sheet.GetPage(c.page);
            const bool ownValue = c.page == kAnalysisPage && std::string(c.model) != "V093517";
            if (ownValue)
                Check(page, CIRAnalysisPage::kOwnEmissivity)->click();
            const int id = c.page == kParamPage ? int(CIRParamPage::kEmissivity) : int(CIRAnalysisPage::kEmissivity);
            SetEditText(page, id, QString::fromLatin1(c.value));
            left = sheet.SetActivePage(kImagePage);
            EXPECT_EQ(sheet.GetActiveIndex(), left ? int(kImagePage) : c.page);
            closed = PressOk(sheet);
            return closed;
        };
        r.ir->OnEditProperties();
        EXPECT_EQ(left, c.accepted);
        EXPECT_EQ(closed, c.accepted) << "OK checks the active page too";
        if (c.accepted) {
            EXPECT_TRUE(r.env.messages.empty());
        } else {
            ASSERT_EQ(r.env.messages.size(), 2u);
            EXPECT_EQ(r.env.messages[0], c.message);
            if (c.message != doc_string::kEnterNumber) {
                EXPECT_EQ(r.env.messageTypes[0], DocumentEnvironment::kIconInformation);
            }
        }
    }
}

TEST(IRPropertySheet, OutOfRangeValuesKeepTheParameterPage)
{
    const struct {
        int id;
        const char* value;
    } cases[] = {{CIRParamPage::kDistance, "601"},
                 {CIRParamPage::kAmbient, "-100.5"},
                 {CIRParamPage::kHumidity, "101"},
                 {CIRParamPage::kReference, "-274"}};
    for (const auto& c : cases) {
        SheetReport r;
        ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k4.vni")));
        bool left = true;
        r.env.answer = [&](PropertySheet& sheet) {
            EXPECT_TRUE(sheet.SetActivePage(kParamPage));
            SetEditText(sheet.GetPage(kParamPage), c.id, QString::fromLatin1(c.value));
            left = sheet.SetActivePage(kPalettePage);
            return false;
        };
        r.ir->OnEditProperties();
        EXPECT_FALSE(left) << c.value;
        ASSERT_EQ(r.env.messages.size(), 1u);
        EXPECT_EQ(r.env.messages[0], doc_string::kNumberRange);
    }
}

TEST(IRPropertySheet, ReferenceTargetWithoutATargetIsSwitchedOffOnOk)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k9.vni")));
    r.AddAnalysesOfEveryKind();
    r.ir->m_bUseRefTarget = 0;
    r.ir->m_bUseRefTemp = 1;
    r.ir->m_analyses[0].refFromAnalysis = 0;
    r.env.answer = [&](PropertySheet& sheet) {
        EXPECT_TRUE(sheet.SetActivePage(kParamPage));
        PropertyPage* param = sheet.GetPage(kParamPage);
        Check(param, CIRParamPage::kRefTarget)->click();
        EXPECT_FALSE(Check(param, CIRParamPage::kRefTemp)->isChecked()) << "the two exclude each other";
        EXPECT_TRUE(Combo(param, CIRParamPage::kTargetCombo)->isEnabled());
        EXPECT_TRUE(sheet.SetActivePage(kAnalysisPage));
        PropertyPage* analysis = sheet.GetPage(kAnalysisPage);
        Check(analysis, CIRAnalysisPage::kRefTarget)->click();
        return PressOk(sheet);
    };
    r.ir->OnEditProperties();
    EXPECT_EQ(r.ir->m_bUseRefTarget, 0);
    EXPECT_EQ(r.ir->m_analyses[0].refFromAnalysis, 0);
}

TEST(IRPropertySheet, TargetsKeepKindAndNumberAbove99)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k9.vni")));
    r.ir->m_analyses.Add(MakeAnalysis(kAnalysisPoint, 100, {3, 3, 0, 0}, QStringLiteral("点100")));
    r.ir->m_analyses.Add(MakeAnalysis(kAnalysisEllipse, 101, {2, 2, 9, 9}, QStringLiteral("区域101")));
    r.ir->RecomputeAll();
    r.env.answer = [&](PropertySheet& sheet) {
        EXPECT_TRUE(sheet.SetActivePage(kParamPage));
        PropertyPage* param = sheet.GetPage(kParamPage);
        Check(param, CIRParamPage::kRefTarget)->click();
        QComboBox* targets = Combo(param, CIRParamPage::kTargetCombo);
        EXPECT_EQ(targets->count(), 2);
        Choose(targets, 1);
        QComboBox* quantities = Combo(param, CIRParamPage::kQuantityCombo);
        EXPECT_EQ(quantities->count(), 3);
        quantities->setCurrentIndex(2);
        EXPECT_TRUE(sheet.SetActivePage(kAnalysisPage));
        PropertyPage* analysis = sheet.GetPage(kAnalysisPage);
        Check(analysis, CIRAnalysisPage::kRefTarget)->click();
        Choose(Combo(analysis, CIRAnalysisPage::kTargetCombo), 0);
        EXPECT_EQ(Combo(analysis, CIRAnalysisPage::kQuantityCombo)->count(), 1) << "a point has one quantity";
        return PressOk(sheet);
    };
    r.ir->OnEditProperties();
    EXPECT_EQ(r.ir->m_bUseRefTarget, 1);
    EXPECT_EQ(r.ir->m_nRefKind, kAnalysisRect) << "areas are stored as kind 3";
    EXPECT_EQ(r.ir->m_nRefNumber, 101);
    EXPECT_EQ(r.ir->m_nRefIndex, 3);
    EXPECT_EQ(r.ir->m_analyses[0].refFromAnalysis, 1);
    EXPECT_EQ(r.ir->m_analyses[0].refKind, kAnalysisPoint);
    EXPECT_EQ(r.ir->m_analyses[0].refNumber, 100);
    EXPECT_EQ(r.ir->m_analyses[0].refValue, 1);
}

TEST(IRPropertySheet, WithoutAnalysesTheAnalysisPageDisablesItsValues)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k4.vni")));
    r.env.answer = [&](PropertySheet& sheet) {
        EXPECT_TRUE(sheet.SetActivePage(kAnalysisPage));
        PropertyPage* page = sheet.GetPage(kAnalysisPage);
        for (int id : {CIRAnalysisPage::kEmissivity, CIRAnalysisPage::kPresetCombo, CIRAnalysisPage::kDistance,
                       CIRAnalysisPage::kColor, CIRAnalysisPage::kHistThreshold, CIRAnalysisPage::kHistType,
                       CIRAnalysisPage::kRefTempValue, CIRAnalysisPage::kBackground, CIRAnalysisPage::kTargetCombo,
                       CIRAnalysisPage::kQuantityCombo})
            EXPECT_FALSE(page->GetDlgItem(id)->isEnabled()) << id;
        EXPECT_FALSE(Check(page, CIRAnalysisPage::kOwnBackground)->isEnabled()) << "version 0";
        EXPECT_EQ(Combo(page, CIRAnalysisPage::kObjectCombo)->count(), 0);
        return PressOk(sheet);
    };
    r.ir->OnEditProperties();
    EXPECT_EQ(r.ir->m_analyses.GetSize(), 0u);
}

TEST(IRPropertySheet, LabelsAndPresetTextsAreCutToTheirFields)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k9.vni")));
    r.AddAnalysesOfEveryKind();
    r.env.objectTypes = {QStringLiteral("96 非常长的物体类型名称用来测试记录里的四十字节文本字段是否截断")};
    const QString label = QStringLiteral("温度测点温度测点温度测点温度测"); // 15 characters, 30 bytes
    r.env.answer = [&](PropertySheet& sheet) {
        EXPECT_TRUE(sheet.SetActivePage(kAnalysisPage));
        PropertyPage* page = sheet.GetPage(kAnalysisPage);
        EXPECT_EQ(EditText(page, CIRAnalysisPage::kLabel), QStringLiteral("点01"));
        SetEditText(page, CIRAnalysisPage::kLabel, label);
        Check(page, CIRAnalysisPage::kOwnEmissivity)->click();
        Choose(Combo(page, CIRAnalysisPage::kPresetCombo), 0);
        EXPECT_EQ(EditText(page, CIRAnalysisPage::kEmissivity), QStringLiteral("0.96"));
        return PressOk(sheet);
    };
    r.ir->OnEditProperties();
    const IRAnalysisItem& item = r.ir->m_analyses[0];
    EXPECT_EQ(item.name[sizeof item.name - 1], '\0');
    EXPECT_EQ(item.text[sizeof item.text - 1], '\0');
    EXPECT_EQ(item.Name(), label.left(5)) << "10 of the 11 bytes: no half character";
    EXPECT_TRUE(r.env.objectTypes[0].startsWith(item.Text()));
    EXPECT_EQ(platform::toGbk(item.Text()).size(), 39) << "3 + 18 x 2 bytes: the next character would not fit";
    EXPECT_FLOAT_EQ(item.emissivity, 0.96f);
    EXPECT_EQ(item.ownEmissivity, 1);
}

TEST(IRPropertySheet, RepeatedOkKeepsOneTrailingBlankOnTheName)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k9.vni")));
    r.AddAnalysesOfEveryKind();
    r.env.answer = [&](PropertySheet& sheet) {
        EXPECT_TRUE(sheet.SetActivePage(kAnalysisPage));
        EXPECT_EQ(EditText(sheet.GetPage(kAnalysisPage), CIRAnalysisPage::kLabel), QStringLiteral("点01"));
        return PressOk(sheet);
    };
    r.ir->OnEditProperties();
    r.ir->OnEditProperties();
    EXPECT_EQ(r.ir->m_analyses[0].Name(), QStringLiteral("点01 "));
}

TEST(IRPropertySheet, SwitchingObjectsStoresTemperaturesInCelsius)
{
    SheetReport r;
    r.env.SetTempUnit(kUnitFahrenheit);
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k9.vni")));
    r.AddAnalysesOfEveryKind();
    IRAnalysisItem& first = r.ir->m_analyses[0];
    first.ownBackground = 1;
    first.background = 20.0f;
    first.ownReference = 1;
    first.referenceTemp = -10.0f;
    r.env.answer = [&](PropertySheet& sheet) {
        EXPECT_TRUE(sheet.SetActivePage(kAnalysisPage));
        auto* page = PageAt<CIRAnalysisPage>(sheet, kAnalysisPage);
        EXPECT_EQ(EditText(page, CIRAnalysisPage::kBackground), QStringLiteral("68"));
        EXPECT_EQ(EditText(page, CIRAnalysisPage::kRefTempValue), QStringLiteral("14"));
        EXPECT_TRUE(page->ChooseObject(1));
        EXPECT_NEAR(r.ir->m_analyses[0].background, 20.0f, 1e-3);
        EXPECT_NEAR(r.ir->m_analyses[0].referenceTemp, -10.0f, 1e-3);
        sheet.PressButton(PropertySheet::kIdCancel);
        return false;
    };
    r.ir->OnEditProperties();
    r.env.SetTempUnit(kUnitCelsius);
}

TEST(IRPropertySheet, IsothermColoursAndImageOptionsOnOk)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k9.vni")));
    r.AddAnalysesOfEveryKind();
    r.env.answer = [&](PropertySheet& sheet) {
        PropertyPage* image = sheet.GetPage(kImagePage);
        Check(image, CIRImagePage::kShowBar)->click();
        Check(image, CIRImagePage::k3DEffect)->click();
        EXPECT_TRUE(sheet.SetActivePage(kAnalysisPage));
        PropertyPage* page = sheet.GetPage(kAnalysisPage);
        QComboBox* isotherms = Combo(page, CIRAnalysisPage::kIsothermCombo);
        EXPECT_EQ(isotherms->count(), 10);
        EXPECT_EQ(isotherms->itemText(9), QStringLiteral("等温10"));
        auto* colour = page->GetDlgItemAs<CColorPickerButton>(CIRAnalysisPage::kIsothermColor);
        EXPECT_EQ(colour->GetColor(), CDrawIR::kIsoDefaultColors[0]);
        Choose(isotherms, 2);
        EXPECT_EQ(colour->GetColor(), CDrawIR::kIsoDefaultColors[2]);
        colour->SetColor(0x123456);
        Choose(isotherms, 0);
        return PressOk(sheet);
    };
    r.ir->OnEditProperties();
    EXPECT_EQ(r.ir->m_bShowBar, 0u);
    EXPECT_EQ(r.ir->m_b3DEffect, 1u);
    EXPECT_EQ(r.ir->m_isotherms[2].color, 0x123456u);
    EXPECT_EQ(r.ir->m_isotherms[0].color, CDrawIR::kIsoDefaultColors[0]);
}

TEST(IRPropertySheet, PaletteStripAndSwatches)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k4.vni")));
    r.env.answer = [&](PropertySheet& sheet) {
        EXPECT_TRUE(sheet.SetActivePage(kPalettePage));
        auto* page = PageAt<CIRPalettePage>(sheet, kPalettePage);
        QComboBox* palettes = Combo(page, CIRPalettePage::kPaletteCombo);
        EXPECT_EQ(palettes->count(), 16);
        for (bool inverted : {false, true}) {
            for (int palette : {0, 5, 15}) {
                SCOPED_TRACE(palette);
                palettes->setCurrentIndex(palette);
                if (Check(page, CIRPalettePage::kInvert)->isChecked() != inverted)
                    Check(page, CIRPalettePage::kInvert)->click();
                const QImage shot = page->GetDlgItem(CIRPalettePage::kStrip)->grab().toImage();
                const int h = shot.height();
                EXPECT_GE(h, 256);
                const std::uint8_t* table = r.env.PaletteColors(palette);
                for (int entry : {1, 2, 100, 128, 254, 255}) {
                    const int colourEntry = inverted ? 255 - entry : entry;
                    const std::uint8_t* e = table + 4 * colourEntry;
                    EXPECT_EQ(shot.pixel(10, entry * h / 256), qRgb(e[2], e[1], e[0])) << entry;
                }
                const COLORREF last = RGB(table[4 * 254 + 2], table[4 * 254 + 1], table[4 * 254]);
                const COLORREF first = RGB(table[2], table[1], table[0]);
                EXPECT_EQ(page->SwatchColor(CIRPalettePage::kAboveRange), inverted ? first : last);
                EXPECT_EQ(page->SwatchColor(CIRPalettePage::kBelowScale), inverted ? last : first);
                EXPECT_EQ(page->SwatchColor(CIRPalettePage::kAnalysisColor), 0xFFFF00u);
                EXPECT_EQ(page->SwatchColor(CIRPalettePage::kIsotherm2), 0x00FF00u);
            }
        }
        palettes->setCurrentIndex(3);
        return PressOk(sheet);
    };
    r.ir->OnEditProperties();
    EXPECT_EQ(r.ir->Image().PaletteIndex(), 3);
    EXPECT_EQ(r.ir->m_bInverted, 1u);
    EXPECT_EQ(static_cast<unsigned char>(r.ir->Files()[0].bytes[36]), 3u) << "the palette recorded in the block";
}

// OK patches the current file's bytes; the object shows the file again from
// them, and stepping to another file and back keeps the edited values.
TEST(IRPropertySheet, OkPatchesTheFileAndSteppingAwayAndBackKeepsIt)
{
    const struct {
        const char* fixture;
        const char* extension;
    } cases[] = {{"k4.vni", "vni"}, {"k9.vni", "vni"}, {"k8.vni", "vni"}, {"seq_l3.vnv", "vnv"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        QTemporaryDir dir;
        SheetReport r;
        const QString a = CopyFixture(dir, c.fixture, QStringLiteral("a.") + QLatin1String(c.extension));
        const QString b = CopyFixture(dir, c.fixture, QStringLiteral("b.") + QLatin1String(c.extension));
        r.env.dataFiles = {a, b};
        ASSERT_TRUE(r.ir->LoadIRFileEx(a));
        ASSERT_EQ(r.ir->FileCount(), 2);
        ASSERT_EQ(r.ir->FileIndex(), 0);
        r.env.answer = [&](PropertySheet& sheet) {
            EXPECT_TRUE(sheet.SetActivePage(kParamPage));
            PropertyPage* page = sheet.GetPage(kParamPage);
            SetEditText(page, CIRParamPage::kEmissivity, QStringLiteral("0.97"));
            SetEditText(page, CIRParamPage::kDistance, QStringLiteral("10"));
            SetEditText(page, CIRParamPage::kAmbient, QStringLiteral("-10"));
            SetEditText(page, CIRParamPage::kHumidity, QStringLiteral("55"));
            return PressOk(sheet);
        };
        r.ir->OnEditProperties();
        const auto expectEdited = [&](const char* when) {
            SCOPED_TRACE(when);
            EXPECT_NEAR(r.ir->m_fEmissivity, 0.97f, 1e-4);
            EXPECT_NEAR(r.ir->m_fDistance, 10.0f, 1e-4);
            EXPECT_NEAR(r.ir->m_fAmbient, -10.0f, 1e-4);
            EXPECT_NEAR(r.ir->m_fHumidity, 0.55f, 1e-4);
        };
        expectEdited("after OK");
        const float otherEmissivity = [&] {
            EXPECT_TRUE(r.ir->LoadFileAtIndex(1));
            return r.ir->m_fEmissivity;
        }();
        EXPECT_NE(otherEmissivity, 0.97f) << "the other file keeps its own";
        ASSERT_TRUE(r.ir->LoadFileAtIndex(0));
        expectEdited("after stepping back");
    }
}

TEST(IRPropertySheet, ResetTakesTheFileValuesInTheDisplayUnits)
{
    const struct {
        const char* fixture;
        int unit;
        int lengthUnit;
    } cases[] = {{"k9.vni", kUnitCelsius, 0}, {"k9.vni", kUnitFahrenheit, 1}, {"k4.vni", kUnitKelvin, 0},
                 {"k4.vni", kUnitCelsius, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fixture) + " unit " + std::to_string(c.unit));
        SheetReport r;
        r.env.SetTempUnit(c.unit);
        r.env.SetLengthUnit(c.lengthUnit);
        ASSERT_TRUE(r.ir->LoadIRFile(Fixture(c.fixture)));
        const IRFileEntry file = r.ir->Files()[0];
        const bool version3 = r.ir->Image().Scheme() == 3;
        r.env.answer = [&](PropertySheet& sheet) {
            EXPECT_TRUE(sheet.SetActivePage(kParamPage));
            auto* page = PageAt<CIRParamPage>(sheet, kParamPage);
            for (int id : {CIRParamPage::kEmissivity, CIRParamPage::kAmbient, CIRParamPage::kDistance,
                           CIRParamPage::kHumidity, CIRParamPage::kBackground, CIRParamPage::kReference})
                SetEditText(page, id, QStringLiteral("1"));
            Check(page, CIRParamPage::kRefTarget)->click();
            page->GetDlgItemAs<QAbstractButton>(CIRParamPage::kReset)->click();
            const float ambient = RoundTenth(CelsiusToUnit(float(file.ambient * 0.01), c.unit));
            const float background = version3 || c.unit != kUnitCelsius
                                         ? RoundTenth(CelsiusToUnit(file.atmosphere, c.unit))
                                         : ambient;
            const float metres = float(file.distance * (version3 ? 0.01 : 1.0));
            EXPECT_EQ(EditText(page, CIRParamPage::kEmissivity), DataExchange::FloatText(float(file.emissivity * 0.01)));
            EXPECT_EQ(EditText(page, CIRParamPage::kAmbient), DataExchange::FloatText(ambient));
            EXPECT_EQ(EditText(page, CIRParamPage::kBackground), DataExchange::FloatText(background));
            EXPECT_EQ(EditText(page, CIRParamPage::kReference), DataExchange::FloatText(ambient));
            EXPECT_EQ(EditText(page, CIRParamPage::kHumidity), DataExchange::FloatText(file.humidity));
            EXPECT_EQ(EditText(page, CIRParamPage::kDistance),
                      DataExchange::FloatText(MetresToUnit(metres, c.lengthUnit)));
            EXPECT_TRUE(Check(page, CIRParamPage::kRefTemp)->isChecked());
            EXPECT_FALSE(Check(page, CIRParamPage::kRefTarget)->isChecked());
            EXPECT_TRUE(page->GetDlgItem(CIRParamPage::kReference)->isEnabled());
            EXPECT_FALSE(Combo(page, CIRParamPage::kTargetCombo)->isEnabled());
            return false;
        };
        r.ir->OnEditProperties();
        r.env.SetTempUnit(kUnitCelsius);
    }
}

// After OK the object is drawn from the file shown again: here inverted,
// with another palette and the marks in the colour chosen on the page. Both
// pictures are kept to look at.
TEST(IRPropertySheet, TheObjectIsDrawnAgainAfterOk)
{
    SheetReport r;
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k8_160.vni")));
    r.ir->m_analyses.Add(MakeAnalysis(kAnalysisRect, 1, {20, 20, 90, 70}, QStringLiteral("区域01")));
    r.ir->m_analyses.Add(MakeAnalysis(kAnalysisPoint, 1, {120, 60, 0, 0}, QStringLiteral("点01")));
    r.ir->RecomputeAll();
    const QImage before = r.ir->RenderFrameImage(1.0);
    ASSERT_FALSE(before.isNull());
    const QByteArray dibBefore = r.ir->Dib();
    r.env.answer = [&](PropertySheet& sheet) {
        EXPECT_TRUE(sheet.SetActivePage(kAnalysisPage));
        sheet.GetPage(kAnalysisPage)->GetDlgItemAs<CColorPickerButton>(CIRAnalysisPage::kColor)->SetColor(0x0000FF);
        EXPECT_TRUE(sheet.SetActivePage(kPalettePage));
        PropertyPage* palette = sheet.GetPage(kPalettePage);
        // (The third palette is the first one reversed: inverted it would
        // look as before.)
        Combo(palette, CIRPalettePage::kPaletteCombo)->setCurrentIndex(4);
        Check(palette, CIRPalettePage::kInvert)->click();
        return PressOk(sheet);
    };
    r.view.wholeRepaints = 0;
    r.ir->OnEditProperties();
    // The charts and tables that show this image's values are drawn again too.
    EXPECT_GE(r.view.wholeRepaints, 1);
    const QImage after = r.ir->RenderFrameImage(1.0);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_NE(after, before);
    EXPECT_NE(r.ir->Dib(), dibBefore) << "the picture itself is rendered again, inverted";
    EXPECT_EQ(r.ir->Image().Invert(), 1);
    const QString folder = QStringLiteral(IRIMAGE_TEST_ARTIFACTS "/property-sheet");
    QDir().mkpath(folder);
    EXPECT_TRUE(before.save(folder + QStringLiteral("/object-before-ok.png")));
    EXPECT_TRUE(after.save(folder + QStringLiteral("/object-after-ok.png")));
}
