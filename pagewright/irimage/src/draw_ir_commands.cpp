// CDrawIR: the commands of the image's context menu and of the infrared
// bar (open, save, voice, remark, photo, range, palettes, analysis tool
// sub-modes, deleting analyses, re-rendering, temperature export).
#include "irimage/draw_ir.h"

#include "irimage/ir_file_dlg.h"
#include "irimage/ir_file_parts.h"
#include "irimage/ir_file_prompt.h"
#include "irimage/ir_strings.h"

#include "document/draw_tool.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include "platform/ini_file.h"
#include "platform/open_refusal.h"
#include "platform/voice_player.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace {

// Command identifiers.
enum : unsigned {
    kOpen = 32840,
    kSettings = 32841,
    kPoint = 32842,
    kLine = 32843,
    kArea = 32844,
    kDeleteAnalysisMode = 32845,
    kBorder = 32846,
    kRange = 32847,
    kSaveAs = 32848,
    kVoice = 32850,
    kEllipse = 32851,
    kRemark = 32852,
    kSpot = 32855,
    kSaveWithBar = 32856,
    kSaveVoice = 32857,
    kExportAll = 32858,
    kExport16 = 32861,
    kExportTarget = 32862,
    kDeleteAnalyses = 32863,
    kRerender = 32864,
    kIsothermRegion = 32865,
    kVisiblePhoto = 32866,
    kPreviousPalette = 32867,
    kNextPalette = 32868,
    kViewNextPalette = 512,
    kViewPreviousPalette = 768,
};

int SubModeOf(unsigned id)
{
    switch (id) {
    case kPoint: return kModePointAnalysis;
    case kLine: return kModeLineAnalysis;
    case kArea: return kModeAreaAnalysis;
    case kEllipse: return kModeEllipseAnalysis;
    case kDeleteAnalysisMode: return kModeIsothermMark;
    case kSpot: return kModeSpotReadout;
    case kIsothermRegion: return kModeScaleIsotherm;
    default: return -1;
    }
}

} // namespace

int CDrawIR::DoCommand(unsigned id, const QString& text, int value)
{
    if (id == kFormatCommand) {
        if (text == QLatin1String("7")) {
            m_clrScaleText = static_cast<COLORREF>(value);
            Invalidate();
        }
        return CDrawObj::DoCommand(id, text, value);
    }
    if (const int mode = SubModeOf(id); mode >= 0) {
        g_currentKind = kShapeAnalysis;
        g_toolMode = g_toolMode == mode ? kModeNone : mode;
        return 1;
    }
    switch (id) {
    case kOpen: return OnOpenCommand();
    case kSettings: OnEditProperties(); return 1;
    case kRange: return OnRangeCommand();
    case kSaveAs: return OnSaveAs();
    case kVoice: return OnPlayVoice();
    case kRemark: return OnShowRemark();
    case kSaveWithBar: return OnSaveWithBar();
    case kSaveVoice: return OnSaveVoice();
    case kDeleteAnalyses: return OnDeleteAnalyses();
    case kRerender: Rerender(true); return 1;
    case kVisiblePhoto: return OnShowVisiblePhoto();
    case kPreviousPalette:
    case kViewPreviousPalette: return StepPalette(-1);
    case kNextPalette:
    case kViewNextPalette: return StepPalette(1);
    default: break;
    }
    if (id >= kExportAll && id <= kExportTarget)
        return OnExportCommand(id == kExportTarget ? 0 : int(id - kExportAll) + 1);
    return 1;
}

void CDrawIR::OnOpen(DrawView* v)
{
    if (v != nullptr)
        v->m_bAppendFrames = false;
    DoCommand(kOpen, QString(), 0);
}

int CDrawIR::OnOpenCommand()
{
    DocumentEnvironment& env = Environment();
    DrawView* v = document != nullptr ? document->GetView() : nullptr;
    const bool append = v != nullptr && v->m_bAppendFrames;
    CIRFileDlg dialog(env, true, QString(), QString(), QString::fromLatin1(kIRFileFilter));
    dialog.setFileMode(append ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.StartAtRememberedPlace();
    if (!env.RunDialog(dialog))
        return 1;
    platform::IniFile ini(env.FindProgramFile(QStringLiteral("field.ini")));
    const QStringList filters = dialog.nameFilters();
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    ini.writeString(u"SysSet", u"FileType", QString::number(chosen < 0 ? 1 : chosen + 1));
    const QStringList chosenFiles = dialog.selectedFiles();
    // Replacing the shown file takes one file, never the last of several.
    if (!append && chosenFiles.size() > 1) {
        env.MessageBox(QString::fromUtf8(CIRFileDlg::kOneFileOnly), DocumentEnvironment::kIconInformation, 0);
        return 1;
    }
    return OpenFiles(chosenFiles, append);
}

int CDrawIR::OpenFiles(const QStringList& paths, bool append)
{
    SyncHolderEnvironment();
    const int oldWidth = HasImage() ? ImageWidth() : 320;
    // The list is built aside: a file that fails leaves the object as it
    // was.
    std::vector<IRFileEntry> files = m_files;
    const std::size_t current = std::size_t(std::clamp(m_nFileIndex, 0, std::max(FileCount() - 1, 0)));
    CIrImage scratch(&Environment());
    QString last;
    for (const QString& path : paths) {
        if (files.size() >= std::size_t(kMaxLoadedFiles))
            break;
        if (!QFileInfo(path).isFile() || scratch.Open(path, nullptr) != 1) {
            // The cause, in the words the image browser uses too.
            Environment().MessageBox(platform::OpenRefusalText(platform::OpenFailureCause(path), path),
                                     DocumentEnvironment::kIconExclamation, 0);
            return -1;
        }
        IRFileEntry entry = EntryFromHolder(scratch, path);
        scratch.Close();
        if (append || files.empty())
            files.push_back(std::move(entry));
        else
            files[current] = std::move(entry);
        last = path;
    }
    if (files.empty() || last.isEmpty())
        return files.empty() ? 0 : 1;
    SaveRedoSnapshot();
    m_files = std::move(files);
    const bool shown = FinishListLoad(last, oldWidth);
    // The whole window: the tables and charts of this image show the new file.
    if (document != nullptr && document->GetView() != nullptr)
        document->GetView()->InvalidateAll();
    SaveUndoSnapshot();
    return shown ? 1 : -1;
}

void CDrawIR::Rerender(bool withPalette)
{
    if (!HasImage())
        return;
    SyncHolderEnvironment();
    m_image->SetRangeTemps(m_fLimits[4], m_fLimits[5]);
    ApplyIsotherms();
    if (withPalette && m_image->PaletteIndex() >= 0)
        SetPalette(m_image->PaletteIndex());
    Render();
    NoteChange();
    NotifyDependents();
    Invalidate();
    if (document != nullptr && document->GetView() != nullptr)
        document->GetView()->InvalidateAll();
}

int CDrawIR::OnRangeCommand()
{
    if (!HasImage())
        return 1;
    if (!RunRangeDialog())
        return 1;
    if (m_nFileIndex >= 0 && m_nFileIndex < FileCount()) {
        IRFileEntry& entry = m_files[std::size_t(m_nFileIndex)];
        entry.rangeUpper = m_fLimits[2];
        entry.rangeLower = m_fLimits[3];
    }
    Rerender(false);
    return 1;
}

int CDrawIR::OnSaveAs()
{
    if (!HasImage())
        return 0;
    int filter = 1;
    QString path = PromptIRSaveFile(Environment(), QStringLiteral("IRCamera.bmp"),
                                    QStringLiteral("Bitmap File (*.bmp)|*.bmp|Infrared File (*.VNI)|*.vni||"), &filter);
    if (path.isEmpty())
        return 0;
    const QString ext = QFileInfo(path).suffix().left(3).toUpper();
    int kind = ext == QLatin1String("BMP") ? 1 : ext == QLatin1String("VNI") ? 2 : 0;
    if (kind == 0) {
        kind = filter == 2 ? 2 : 1;
        path += kind == 2 ? QStringLiteral(".VNI") : QStringLiteral(".bmp");
    }
    if (kind == 1)
        SavePictureAsBmp(path);
    else
        m_image->MemSaveToVNI(path);
    return 1;
}

int CDrawIR::OnSaveWithBar()
{
    if (!HasImage())
        return 0;
    QString path = PromptIRSaveFile(Environment(), QStringLiteral("IRCamera.bmp"),
                                    QStringLiteral("Bitmap File (*.bmp)|*.bmp||"));
    if (path.isEmpty())
        return 0;
    path = WithExtension(path, QStringLiteral("bmp"), false);
    DrawView* v = document != nullptr ? document->GetView() : nullptr;
    SaveFrameAsBmp(path, v != nullptr ? double(v->m_fZoom) : 1.0);
    return 1;
}

int CDrawIR::OnPlayVoice()
{
    if (!HasImage() || !m_image->ExistSound())
        return 1;
    const IRScratchFiles files(Environment());
    if (m_image->GetSoundFile(files.Voice()) == 1)
        platform::CurrentVoicePlayer().PlayFile(files.Voice());
    return 1;
}

int CDrawIR::OnSaveVoice()
{
    if (!HasImage() || !m_image->ExistSound())
        return 0;
    const QString path = PromptIRSaveFile(Environment(), QStringLiteral("IRCamera.wav"),
                                          QStringLiteral("Wave File (*.wav)|*.wav||"));
    if (path.isEmpty())
        return 0;
    m_image->GetSoundFile(WithExtension(path, QStringLiteral("wav"), true));
    return 1;
}

int CDrawIR::OnDeleteAnalyses()
{
    SaveRedoSnapshot();
    m_analyses.SetSize(0);
    // The bands go one by one from the first that is on, each taken out as
    // its delete handle does (the colours move round with them); a band
    // that is off before one that is on does not stop the rest going.
    for (;;) {
        const auto on = std::find_if(m_isotherms.begin(), m_isotherms.end(),
                                     [](const IRIsotherm& iso) { return iso.enabled != 0; });
        if (on == m_isotherms.end())
            break;
        ShiftOutBand(std::size_t(on - m_isotherms.begin()));
    }
    m_bListFlag = 1;
    ApplyDisplayAfterBandChange();
    NotifyDependents();
    Invalidate();
    if (document != nullptr && document->GetView() != nullptr)
        document->GetView()->InvalidateAll();
    SaveUndoSnapshot();
    return 1;
}

int CDrawIR::StepPalette(int delta)
{
    const int count = Environment().PaletteCount();
    if (count <= 0)
        return 1;
    int p = 0;
    m_image->GetPalette(&p);
    p = std::clamp(p, 0, count - 1);
    if (delta < 0)
        p = (p == 0 ? count : p) - 1;
    else
        p = (p == count - 1 ? -1 : p) + 1;
    SaveRedoSnapshot();
    SetPalette(p);
    Invalidate();
    SaveUndoSnapshot();
    return 1;
}

int CDrawIR::OnExportCommand(int step)
{
    if (!HasImage())
        return 0;
    int target = -1;
    if (step == 0) {
        target = ChooseExportTarget();
        if (target < 0)
            return 0;
    }
    DocumentEnvironment& env = Environment();
    QString path = PromptIRSaveFile(env, QStringLiteral("IR.xlsx"), QString::fromLatin1(kExcelFileFilter));
    if (path.isEmpty())
        return 0;
    path = WithExtension(path, QStringLiteral("xlsx"), false);
    QString error;
    bool written = false;
    {
        const auto wait = ShowExportWait();
        written = ExportTemperatures(path, step, target, &error);
    }
    if (!written) {
        env.MessageBox(error, DocumentEnvironment::kIconExclamation, 0);
        return 0;
    }
    if (env.MessageBox(IRString(env, ir_string::kOpenExported),
                       DocumentEnvironment::kYesNo | DocumentEnvironment::kIconQuestion,
                       ir_string::kOpenExported) == DocumentEnvironment::kAnswerYes)
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    return 1;
}
