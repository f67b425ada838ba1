// The property sheets of the line profile, the histogram and the time profile: the charts'
// members to the pages, the sheet run, and on OK the pages back to the
// chart between one redo and one undo snapshot. Cancel changes nothing.
#include "content/chart_helpers.h"
#include "content/chart_pages.h"
#include "content/draw_histogram.h"
#include "content/draw_profile.h"
#include "content/draw_time_profile.h"
#include "document/rpt_doc.h"
#include "skin/color_check_list_box.h"

#include <algorithm>

namespace {

DocumentEnvironment& EnvOf(const CDrawObj& obj)
{
    return obj.GetDocument() != nullptr ? obj.GetDocument()->Environment() : DefaultDocumentEnvironment();
}

// The change as one undo step: the snapshot before, the change, the
// redraw, the snapshot after.
template <class Change>
void ChangeWithUndo(CDrawObj& obj, Change&& change)
{
    CDI_RptDoc* doc = obj.GetDocument();
    if (doc != nullptr)
        doc->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, &obj, 1);
    change();
    obj.Invalidate();
    if (doc != nullptr)
        doc->SaveUndoSnapshot(CDI_RptDoc::kUndoChange, &obj, 1);
}

void FillHistSetPage(const CDrawHistogram& h, CHistSetPage& page, int unit)
{
    page.m_bOutOfRange = h.m_bOutOfRange;
    page.m_bLevelValues = h.m_bLevelValues;
    page.m_bLevelRanges = h.m_bLevelRanges;
    page.m_bGrid = h.m_bGrid;
    page.m_bTitle = h.m_bTitle;
    page.m_nBins = h.m_nBins;
    page.m_fMax = chart::ToUnit(h.m_fCustomMax, unit);
    page.m_fMin = chart::ToUnit(h.m_fCustomMin, unit);
    page.m_nCustomScale = h.m_bCustomScale;
}

void ReadHistSetPage(CDrawHistogram& h, const CHistSetPage& page, int unit)
{
    h.m_bOutOfRange = page.m_bOutOfRange;
    h.m_bLevelValues = page.m_bLevelValues;
    h.m_bLevelRanges = page.m_bLevelRanges;
    h.m_bGrid = page.m_bGrid;
    h.m_bTitle = page.m_bTitle;
    h.m_nBins = page.m_nBins;
    h.m_fCustomMax = chart::FromUnit(page.m_fMax, unit);
    h.m_fCustomMin = chart::FromUnit(page.m_fMin, unit);
    h.m_bCustomScale = page.m_nCustomScale;
}

// The parameter page of the two curve charts (line and time profile): the
// shared settings in, and back on OK (a custom range only when it is one).
template <class Chart>
void FillParamPage(CProfileParamPage& param, const Chart& c, int unit, int enableAxisTable)
{
    param.m_clrDivider = c.m_clrDivider;
    param.m_nUnit = unit;
    param.m_nAlignment = c.m_nAlignment;
    param.m_nScale = c.m_nScaleMode;
    param.m_bGrid = c.m_bGrid;
    param.m_bLegend = c.m_bLegend;
    param.m_bAxisTable = c.m_bAxisTable;
    param.m_bResultTable = c.m_bResultTable;
    param.m_bEnableAxisTable = enableAxisTable;
    param.m_fMax = chart::ToUnit(c.m_fCustomMax, unit);
    param.m_fMin = chart::ToUnit(c.m_fCustomMin, unit);
}

template <class Chart>
void TakeParamPage(Chart& c, const CProfileParamPage& param, int unit)
{
    c.m_nAlignment = param.m_nAlignment;
    c.m_bGrid = param.m_bGrid;
    c.m_bLegend = param.m_bLegend;
    c.m_bAxisTable = param.m_bAxisTable;
    c.m_bResultTable = param.m_bResultTable;
    if (param.m_nScale != 2 || param.m_fMin < param.m_fMax) {
        c.m_nScaleMode = param.m_nScale;
        c.m_fCustomMax = chart::FromUnit(param.m_fMax, unit);
        c.m_fCustomMin = chart::FromUnit(param.m_fMin, unit);
    }
    c.m_clrDivider = param.m_clrDivider;
}

} // namespace

// ---- line profile

bool CDrawProfile::EditSettings()
{
    DocumentEnvironment& env = EnvOf(*this);
    const int unit = env.TempUnit();
    PropertySheet sheet(env, chart::Text(env, chart::text::kObjectProperties));
    auto* param = new CProfileParamPage(env);
    auto* colours = new CColorSetPage(env);
    sheet.AddPage(param);
    sheet.AddPage(colours);

    colours->m_nIRNumber = m_nIRNumber;
    colours->m_pChart = this;
    for (int i = 0; i < kLines; ++i) {
        colours->m_strLineName[std::size_t(i)] = m_strLineName[std::size_t(i)];
        colours->m_bShown[std::size_t(i)] = m_lines[std::size_t(i)].shown != 0 ? 1 : 0;
        colours->CurveList()->SetColor(i, m_clrLine[std::size_t(i)]);
    }
    FillParamPage(*param, *this, unit, 0);

    if (sheet.DoModal() != PropertySheet::kIdOk)
        return false;
    ChangeWithUndo(*this, [&] {
        m_nIRNumber = colours->m_nIRNumber;
        if (colours->IsInitialized()) {
            for (int i = 0; i < kLines; ++i) {
                m_lines[std::size_t(i)].shown = colours->CurveList()->GetCheck(i);
                m_clrLine[std::size_t(i)] = colours->CurveList()->GetColor(i);
            }
        }
        TakeParamPage(*this, *param, unit);
    });
    return true;
}

void CDrawProfile::OnEditProperties() { EditSettings(); }

// ---- histogram

void CDrawHistogram::OnEditProperties()
{
    DocumentEnvironment& env = EnvOf(*this);
    const int unit = env.TempUnit();
    PropertySheet sheet(env, chart::Text(env, chart::text::kObjectProperties));
    auto* link = new CHistLinkPage();
    auto* settings = new CHistSetPage(env);
    sheet.AddPage(link);
    sheet.AddPage(settings);
    link->m_clrBar = m_clrBar;
    link->m_nLineMode = m_bLineMode != 0 ? 1 : 0;
    link->m_nAreaNumber = m_nAreaNumber;
    link->m_nLineNumber = m_nLineNumber;
    link->m_nIRNumber = m_nIRNumber;
    FillHistSetPage(*this, *settings, unit);
    if (sheet.DoModal() != PropertySheet::kIdOk)
        return;
    ChangeWithUndo(*this, [&] {
        m_clrBar = link->m_clrBar;
        m_bLineMode = link->m_nLineMode;
        m_nAreaNumber = link->m_nAreaNumber;
        m_nLineNumber = link->m_nLineNumber;
        m_nIRNumber = link->m_nIRNumber;
        ReadHistSetPage(*this, *settings, unit);
    });
}

bool CDrawHistogram::EditSettings()
{
    DocumentEnvironment& env = EnvOf(*this);
    const int unit = env.TempUnit();
    auto* settings = new CHistSetPage(env);
    PropertySheet sheet(env, settings->Caption());
    sheet.AddPage(settings);
    FillHistSetPage(*this, *settings, unit);
    if (sheet.DoModal() != PropertySheet::kIdOk)
        return false;
    ChangeWithUndo(*this, [&] { ReadHistSetPage(*this, *settings, unit); });
    return true;
}

// ---- time profile

bool CDrawTimeProfile::EditSettings()
{
    DocumentEnvironment& env = EnvOf(*this);
    const int unit = env.TempUnit();
    PropertySheet sheet(env, chart::Text(env, chart::text::kObjectProperties));
    auto* param = new CProfileParamPage(env);
    auto* colours = new CColorSetPage(env);
    sheet.AddPage(param);
    sheet.AddPage(colours);

    colours->m_nIRNumber = m_nIRNumber;
    colours->m_nSeveral = m_bMultiObject != 0 ? 1 : 0;
    colours->m_bSeveralAllowed = 1;
    colours->m_nCurveCount = m_nCurveCount;
    colours->m_bTarget = m_bTarget;
    colours->m_pChart = this;
    for (int i = 0; i < kCurves; ++i) {
        colours->m_strCurveName[std::size_t(i)] = m_strCurveName[std::size_t(i)];
        colours->m_bShown[std::size_t(i)] = m_curves[std::size_t(i)].shown != 0 ? 1 : 0;
        colours->CurveList()->SetColor(i, m_clrCurve[std::size_t(i)]);
    }
    FillParamPage(*param, *this, unit, 1);

    // The next draw collects again, whatever the answer.
    m_nLastIRNumber = 0;
    if (sheet.DoModal() != PropertySheet::kIdOk)
        return false;
    ChangeWithUndo(*this, [&] {
        m_nIRNumber = colours->m_nIRNumber;
        m_bMultiObject = colours->m_nSeveral != 0 ? 1 : 0;
        m_nCurveCount = std::clamp(colours->m_nCurveCount, 0, int(kCurves));
        if (colours->IsInitialized()) {
            for (int i = 0; i < kCurves; ++i) {
                m_curves[std::size_t(i)].shown = colours->CurveList()->GetCheck(i);
                m_clrCurve[std::size_t(i)] = colours->CurveList()->GetColor(i);
                m_strCurveName[std::size_t(i)] = colours->m_strCurveName[std::size_t(i)];
            }
        }
        m_bTarget = colours->m_bTarget;
        m_nSelectedCount =
            std::int32_t(std::count_if(m_bTarget.begin(), m_bTarget.end(), [](std::int32_t f) { return f != 0; }));
        TakeParamPage(*this, *param, unit);
        m_nLastIRNumber = 0;
    });
    return true;
}

void CDrawTimeProfile::OnEditProperties() { EditSettings(); }
