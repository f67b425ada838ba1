// CDrawIR: the property sheet of the image and what its OK and Cancel do.
#include "irimage/draw_ir.h"

#include "irimage/ir_property_pages.h"
#include "irimage/ir_property_values.h"
#include "irimage/ir_scene_patch.h"
#include "irimage/temperature_text.h"

#include "document/document_environment.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include <QApplication>

#include <cmath>
#include <memory>

void CDrawIR::OnEditProperties()
{
    DocumentEnvironment& env = Environment();
    m_fAmbient = RoundTenth(m_fAmbient);
    m_fBackground = RoundTenth(m_fBackground);
    m_fReference = RoundTenth(m_fReference);

    PropertySheet sheet(env, env.LoadString(doc_string::kIRSettingsTitle), QApplication::activeWindow());
    // Made with the sheet, never shown.
    const std::unique_ptr<PropertyPage> scalePage(CreatePropertyPage(QStringLiteral("CIRScalePage")));
    const std::unique_ptr<PropertyPage> commentPage(CreatePropertyPage(QStringLiteral("CIRCommentPage")));
    const SheetPages pages{new CIRImagePage, new CIRParamPage, new CIRAnalysisPage, new CIRPalettePage};
    sheet.AddPage(pages.image);
    sheet.AddPage(pages.param);
    sheet.AddPage(pages.analysis);
    sheet.AddPage(pages.palette);
    FillSheetPages(pages);
    const IRAnalysisArray saved = m_analyses;

    if (sheet.DoModal() != PropertySheet::kIdOk) {
        // The analysis page edits the analyses in place: put them back.
        for (std::size_t i = 0; i < saved.GetSize() && i < m_analyses.GetSize(); ++i) {
            m_analyses[i] = saved[i];
            ComputeAnalysis(i);
        }
        return;
    }
    ApplySheetPages(pages, saved);
}

void CDrawIR::FillSheetPages(const SheetPages& pages)
{
    DocumentEnvironment& env = Environment();
    const int unit = env.TempUnit();
    const int lengthUnit = env.LengthUnit() == 0 ? 0 : 1;
    const auto shown = [unit](float celsius) { return RoundTenth(CelsiusToUnit(celsius, unit)); };

    CIRImagePage& image = *pages.image;
    image.m_bReadAnalyses = m_bReadAnalyses != 0;
    image.m_bLiveUpdate = m_bLiveUpdate != 0;
    image.m_b3DEffect = m_b3DEffect != 0;
    image.m_bShowMarks = m_bShowMarks != 0;
    image.m_bShowBar = m_bShowBar != 0;
    image.m_nImageNumber = m_nNumber;

    CIRParamPage& param = *pages.param;
    param.m_nTempUnit = unit;
    param.m_nLengthUnit = lengthUnit;
    param.m_fAmbient = shown(m_fAmbient);
    param.m_fBackground = shown(m_fBackground);
    param.m_fReference = shown(m_fReference);
    param.m_fEmissivity = m_fEmissivity;
    param.m_fDistance = MetresToUnit(m_fDistance, lengthUnit);
    param.m_fTransmittance = m_fTransmittance;
    param.m_strTransmittance = QString::asprintf("%3.2f", double(m_fTransmittance));
    param.m_fHumidity = static_cast<float>(double(m_fHumidity) * 100.0);
    param.m_strObjectType = m_strObjectType;
    param.m_bUseRefTarget = m_bUseRefTarget != 0;
    param.m_bUseRefTemp = m_bUseRefTemp != 0;
    if (m_nFileIndex >= 0 && m_nFileIndex < FileCount())
        param.m_initial = m_files[static_cast<std::size_t>(m_nFileIndex)];
    param.m_nScheme = m_image->Scheme();
    param.m_nSubKind = m_image->ModelVersion();
    param.m_strModel = m_strInfo[0];
    param.m_pIR = this;

    CIRPalettePage& palette = *pages.palette;
    int index = 0;
    m_image->GetPalette(&index);
    palette.m_nPalette = index;
    palette.m_bInvert = m_bInverted != 0;
    palette.m_nTempUnit = unit;
    palette.m_nLengthUnit = lengthUnit;

    CIRAnalysisPage& analysis = *pages.analysis;
    analysis.m_nTempUnit = unit;
    analysis.m_nLengthUnit = lengthUnit;
    analysis.m_fDefEmissivity = analysis.m_fEmissivity = m_fEmissivity;
    analysis.m_fDefDistance = analysis.m_fDistance =
        static_cast<float>(std::round(double(MetresToUnit(m_fDistance, lengthUnit)) * 100.0) * 0.01);
    analysis.m_fDefBackground = analysis.m_fBackground = shown(m_fBackground);
    analysis.m_fRefTemp = shown(m_fReference);
    for (std::size_t i = 0; i < analysis.m_isoColors.size(); ++i)
        analysis.m_isoColors[i] = m_isotherms[i].color;
    analysis.m_pIR = this;
}

void CDrawIR::ApplySheetPages(const SheetPages& pages, const IRAnalysisArray& saved)
{
    DocumentEnvironment& env = Environment();
    const int unit = env.TempUnit();
    const int lengthUnit = env.LengthUnit() == 0 ? 0 : 1;
    const CIRImagePage& image = *pages.image;
    const CIRParamPage& param = *pages.param;
    CIRAnalysisPage& analysis = *pages.analysis;
    const CIRPalettePage& palette = *pages.palette;

    // The step before the change holds the analyses as they were when the
    // sheet opened: the analysis page has edited them in place since.
    {
        const IRAnalysisArray edited = m_analyses;
        m_analyses = saved;
        SaveRedoSnapshot();
        m_analyses = edited;
    }

    if (analysis.m_pItem != nullptr) {
        analysis.WriteItem(true);
        MeasureAnalysis(*analysis.m_pItem);
    }
    if (palette.m_nPalette >= 0)
        SetPalette(palette.m_nPalette);

    m_bReadAnalyses = image.m_bReadAnalyses != 0;
    m_bLiveUpdate = image.m_bLiveUpdate != 0;
    m_b3DEffect = image.m_b3DEffect != 0;
    m_bShowMarks = image.m_bShowMarks != 0;
    m_bShowBar = image.m_bShowBar != 0;
    m_strObjectType = param.m_strObjectType;

    m_fAmbient = RoundTenth(UnitToCelsius(param.m_fAmbient, unit));
    m_fBackground = RoundTenth(UnitToCelsius(param.m_fBackground, unit));
    m_fReference = RoundTenth(UnitToCelsius(param.m_fReference, unit));
    IRFileEntry* entry =
        m_nFileIndex >= 0 && m_nFileIndex < FileCount() ? &m_files[static_cast<std::size_t>(m_nFileIndex)] : nullptr;
    if (entry != nullptr)
        entry->reference = RoundHalfAway(double(m_fReference) * 100.0);
    m_image->SetAmbient(m_fAmbient);
    m_image->SetAtmosphere(m_fBackground);

    m_fEmissivity = param.m_fEmissivity;
    m_image->SetEmissivity(m_fEmissivity);
    m_fDistance = UnitToMetres(param.m_fDistance, lengthUnit);
    m_image->SetDistance(m_fDistance);
    m_fHumidity = static_cast<float>(double(param.m_fHumidity) * 0.01);
    m_image->SetHumidity(m_fHumidity);
    m_bInverted = palette.m_bInvert != 0;
    m_image->SetInvert(static_cast<int>(m_bInverted));
    m_bUseRefTarget = param.m_bUseRefTarget;
    m_bUseRefTemp = param.m_bUseRefTemp;
    m_fTransmittance = AtmosphericTransmittance(m_fBackground, m_fHumidity * 100.0f, m_fDistance);

    if (HasImage()) {
        for (std::size_t i = 0; i < m_isotherms.size(); ++i)
            m_isotherms[i].color = analysis.m_isoColors[i];
    }
    RefreshAnalyses();

    if (entry != nullptr) {
        const int scheme = m_image->Scheme();
        PatchSceneValues(entry->bytes, scheme, m_image->ModelVersion(),
                         IRSceneValues{m_fAmbient, m_fEmissivity, m_fDistance, m_fHumidity});
        if (scheme == 3)
            entry->atmosphere = m_fBackground;
        entry->rangeUpper = m_fLimits[2];
        entry->rangeLower = m_fLimits[3];
        LoadFileAtIndex(m_nFileIndex);
    }
    m_bListFlag = 1;
    MarkChanged();
    if (document != nullptr) {
        Invalidate();
        // The whole window: the charts and tables showing this image changed too.
        if (document->GetView() != nullptr)
            document->GetView()->InvalidateAll();
    }
    SaveUndoSnapshot();
}
