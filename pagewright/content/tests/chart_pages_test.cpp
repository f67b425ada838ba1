// The chart property sheets: values shown in the program's unit and stored
// back in Celsius, the range checks, OK as one undo step, Cancel without a
// snapshot, and the colour page's lists.
#include "chart_test_support.h"

#include "skin/color_check_list_box.h"

#include <QListWidget>
#include <QRadioButton>

using namespace chart_test;

TEST(ProfileSheet, FahrenheitShowsTheCustomRangeConvertedAndStoresItBack)
{
    ChartReport r;
    r.env.SetTempUnit(1);
    CDrawProfile* p = r.AddProfile();
    QString shownMax;
    QString shownMin;
    r.env.onDialog = [&](QDialog& dialog) {
        PropertySheet& sheet = SheetOf(dialog);
        shownMax = EditText(sheet.GetPage(0), CProfileParamPage::kMax);
        shownMin = EditText(sheet.GetPage(0), CProfileParamPage::kMin);
        return true;
    };
    const int undoBefore = r.doc.GetUndoCount();
    EXPECT_TRUE(p->EditSettings());
    EXPECT_EQ(shownMax, QStringLiteral("113"));
    EXPECT_EQ(shownMin, QStringLiteral("59"));
    EXPECT_NEAR(p->m_fCustomMax, 45.0f, 1e-4f);
    EXPECT_NEAR(p->m_fCustomMin, 15.0f, 1e-4f);
    EXPECT_EQ(r.doc.GetUndoCount(), undoBefore + 1);
    EXPECT_TRUE(r.doc.IsModified());
}

TEST(ProfileSheet, ACustomScaleNeedsTheMinimumBelowTheMaximum)
{
    ChartReport r;
    CDrawProfile* p = r.AddProfile();
    r.env.onDialog = [&](QDialog& dialog) {
        PropertyPage* page = SheetOf(dialog).GetPage(0);
        page->GetDlgItemAs<QRadioButton>(CProfileParamPage::kCustomScale)->setChecked(true);
        SetEdit(page, CProfileParamPage::kMax, QStringLiteral("30"));
        SetEdit(page, CProfileParamPage::kMin, QStringLiteral("30"));
        return true;
    };
    EXPECT_FALSE(p->EditSettings());
    ASSERT_FALSE(r.env.messageIds.empty());
    EXPECT_EQ(r.env.messageIds.back(), 61499);
    EXPECT_EQ(p->m_nScaleMode, 1);
    EXPECT_FALSE(r.doc.IsModified());

    // A rising range is taken with the custom scale.
    r.env.onDialog = [&](QDialog& dialog) {
        PropertyPage* page = SheetOf(dialog).GetPage(0);
        page->GetDlgItemAs<QRadioButton>(CProfileParamPage::kCustomScale)->setChecked(true);
        SetEdit(page, CProfileParamPage::kMax, QStringLiteral("80"));
        SetEdit(page, CProfileParamPage::kMin, QStringLiteral("-5.5"));
        return true;
    };
    EXPECT_TRUE(p->EditSettings());
    EXPECT_EQ(p->m_nScaleMode, 2);
    EXPECT_EQ(p->m_fCustomMax, 80.0f);
    EXPECT_EQ(p->m_fCustomMin, -5.5f);
}

TEST(ProfileSheet, CancelChangesNothingAndTakesNoSnapshot)
{
    ChartReport r;
    CDrawProfile* p = r.AddProfile();
    r.env.onDialog = [&](QDialog& dialog) {
        SetEdit(SheetOf(dialog).GetPage(0), CProfileParamPage::kMax, QStringLiteral("99"));
        return false;
    };
    EXPECT_FALSE(p->EditSettings());
    EXPECT_EQ(p->m_fCustomMax, 45.0f);
    EXPECT_EQ(r.doc.GetUndoCount(), 0);
    EXPECT_FALSE(r.doc.IsModified());
}

TEST(ProfileSheet, TheColourPageListsTheTenLinesAndTheirMarksComeBack)
{
    ChartReport r;
    r.AddImage();
    r.AddLine(1, {10, 10, 100, 10});
    r.AddLine(2, {10, 20, 100, 20});
    CDrawProfile* p = r.AddProfile();
    DrawOnce(*p); // names from the image
    p->m_clrLine[1] = 0x123456;
    r.env.onDialog = [&](QDialog& dialog) {
        PropertySheet& sheet = SheetOf(dialog);
        EXPECT_TRUE(sheet.SetActivePage(1));
        auto* page = static_cast<CColorSetPage*>(sheet.GetPage(1));
        CColorCheckListBox* list = page->CurveList();
        EXPECT_EQ(list->count(), 10);
        EXPECT_EQ(list->item(1)->text(), QStringLiteral("li02\t线02\t颜色"));
        EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
        EXPECT_EQ(list->GetColor(1), 0x123456u);
        EXPECT_FALSE(page->GetDlgItem(CColorSetPage::kSeveral)->isEnabled());
        list->item(1)->setCheckState(Qt::Checked);
        list->item(0)->setCheckState(Qt::Unchecked);
        return true;
    };
    EXPECT_TRUE(p->EditSettings());
    EXPECT_EQ(p->m_lines[0].shown, 0);
    EXPECT_EQ(p->m_lines[1].shown, 1);
    EXPECT_EQ(p->m_clrLine[1], 0x123456u);
}

TEST(HistogramSheet, AcceptsAnEqualOrReversedRangeAndThenFillsNoBin)
{
    ChartReport r;
    r.AddImage();
    r.AddArea(1, {10, 10, 60, 50});
    CDrawHistogram* h = r.AddHistogram();
    h->m_bLineMode = 0;
    for (const auto& [max, min] : {std::pair{"30", "30"}, std::pair{"20", "40"}}) {
        r.env.onDialog = [&](QDialog& dialog) {
            PropertyPage* page = SheetOf(dialog).GetPage(0);
            page->GetDlgItemAs<QRadioButton>(CHistSetPage::kCustomScale)->setChecked(true);
            SetEdit(page, CHistSetPage::kMax, QString::fromLatin1(max));
            SetEdit(page, CHistSetPage::kMin, QString::fromLatin1(min));
            return true;
        };
        EXPECT_TRUE(h->EditSettings());
        EXPECT_EQ(h->m_bCustomScale, 1);
        DrawOnce(*h);
        ASSERT_GT(h->m_nSampleCount, 0);
        for (float f : h->m_frequencies)
            EXPECT_EQ(f, 0.0f);
    }
}

TEST(HistogramSheet, LevelCountsOutsideTwoToSixtyFourAreRefused)
{
    ChartReport r;
    CDrawHistogram* h = r.AddHistogram();
    for (const char* bins : {"1", "65"}) {
        r.env.messageIds.clear();
        r.env.onDialog = [&](QDialog& dialog) {
            SetEdit(SheetOf(dialog).GetPage(0), CHistSetPage::kBins, QString::fromLatin1(bins));
            return true;
        };
        EXPECT_FALSE(h->EditSettings()) << bins;
        EXPECT_EQ(h->m_nBins, 20);
        EXPECT_FALSE(r.env.messageIds.empty());
    }
    r.env.onDialog = [&](QDialog& dialog) {
        SetEdit(SheetOf(dialog).GetPage(0), CHistSetPage::kBins, QStringLiteral("64"));
        return true;
    };
    EXPECT_TRUE(h->EditSettings());
    EXPECT_EQ(h->m_nBins, 64);
}

TEST(HistogramSheet, TheLinkPageSwitchesModeAndCarriesTheNumbersInKelvin)
{
    ChartReport r;
    r.env.SetTempUnit(2);
    CDrawHistogram* h = r.AddHistogram();
    QString shownMax;
    r.env.onDialog = [&](QDialog& dialog) {
        PropertySheet& sheet = SheetOf(dialog);
        auto* link = static_cast<CHistLinkPage*>(sheet.GetPage(0));
        EXPECT_FALSE(link->GetDlgItem(CHistLinkPage::kAreaNumber)->isEnabled());
        link->GetDlgItemAs<QRadioButton>(CHistLinkPage::kAreaMode)->click();
        EXPECT_TRUE(link->GetDlgItem(CHistLinkPage::kAreaNumber)->isEnabled());
        EXPECT_FALSE(link->GetDlgItem(CHistLinkPage::kLineNumber)->isEnabled());
        SetEdit(link, CHistLinkPage::kAreaNumber, QStringLiteral("7"));
        SetEdit(link, CHistLinkPage::kImageNumber, QStringLiteral("12"));
        EXPECT_TRUE(sheet.SetActivePage(1));
        shownMax = EditText(sheet.GetPage(1), CHistSetPage::kMax);
        EXPECT_EQ(sheet.GetPage(1)->GetDlgItemAs<QLabel>(CHistSetPage::kMaxUnit)->text(), QStringLiteral(" K"));
        return true;
    };
    h->OnEditProperties();
    EXPECT_EQ(shownMax, QStringLiteral("318.2"));
    EXPECT_EQ(h->m_bLineMode, 0);
    EXPECT_EQ(h->m_nAreaNumber, 7);
    EXPECT_EQ(h->m_nIRNumber, 12);
    EXPECT_NEAR(h->m_fCustomMax, 45.0f, 1e-4f);
}

TEST(ColourPage, SeveralImagesListOneTargetRowPerImageInListOrder)
{
    ChartReport r;
    CDrawIR* first = r.AddImage(1);
    first->m_analyses.Add(Analysis(1, 1, "点01", {5, 5, 0, 0}));
    first->m_analyses.Add(Analysis(3, 2, "区域02", {5, 5, 50, 50}));
    first->m_analyses.Add(Analysis(2, 1, "线01", {5, 5, 50, 5}));
    auto empty = std::make_unique<CDrawIR>(&r.view, DocRect(0, -4000, 2000, -5500));
    empty->SetNumber(2);
    r.Add(std::move(empty));
    r.view.RebuildIRObjects();
    CDrawProfile* chart = r.AddProfile();

    CColorSetPage page(r.env);
    page.m_bSeveralAllowed = 1;
    page.m_nSeveral = 1;
    page.m_pChart = chart;
    page.m_bTarget[1] = 1;
    page.m_bShown[0] = 1;
    ASSERT_TRUE(page.OnSetActive());
    QListWidget* targets = page.TargetList();
    ASSERT_EQ(targets->count(), 2);
    EXPECT_EQ(targets->item(0)->text(), QStringLiteral("IR01"));
    EXPECT_TRUE(targets->item(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_FALSE(targets->item(1)->flags() & Qt::ItemIsEnabled); // no image
    EXPECT_EQ(targets->item(1)->checkState(), Qt::Checked);
    // A point (one row), then the line (four), then the area (four).
    CColorCheckListBox* curves = page.CurveList();
    ASSERT_EQ(curves->count(), 9);
    EXPECT_EQ(curves->item(0)->text(), QStringLiteral("点01\t温度\t颜色"));
    EXPECT_EQ(curves->item(1)->text(), QStringLiteral("线01\t线最高\t颜色"));
    EXPECT_EQ(curves->item(8)->text(), QStringLiteral("区域02\t区温差\t颜色"));
    EXPECT_EQ(page.m_nCurveCount, 9);
    EXPECT_EQ(page.m_strCurveName[4], QStringLiteral("01线温差"));
    EXPECT_EQ(curves->item(0)->checkState(), Qt::Checked);

    // Back to a single image: every target cleared.
    page.GetDlgItemAs<QRadioButton>(CColorSetPage::kSingle)->click();
    EXPECT_FALSE(targets->isEnabled());
    for (int t : page.m_bTarget)
        EXPECT_EQ(t, 0);
    EXPECT_EQ(targets->item(1)->checkState(), Qt::Unchecked);
}

TEST(ColourPage, CurveRowsBeyondTheTwentiethTakeNoMark)
{
    ChartReport r;
    CDrawIR* ir = r.AddImage(1);
    for (int n = 1; n <= 6; ++n)
        ir->m_analyses.Add(Analysis(2, n, "线", {5, 5 + n, 50, 5 + n}));
    CDrawProfile* chart = r.AddProfile();
    CColorSetPage page(r.env);
    page.m_bSeveralAllowed = 1;
    page.m_pChart = chart;
    page.m_bShown.fill(1);
    ASSERT_TRUE(page.OnSetActive());
    ASSERT_EQ(page.CurveList()->count(), 24);
    EXPECT_EQ(page.m_nCurveCount, 20);
    EXPECT_EQ(page.CurveList()->item(19)->checkState(), Qt::Checked);
    EXPECT_EQ(page.CurveList()->item(20)->checkState(), Qt::Unchecked);
}
