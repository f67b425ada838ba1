// CDrawIR: the picture-folder file list and the loading of its files.
#include "irimage/draw_ir.h"

#include "irimage/temperature_text.h"

#include "document/rpt_doc.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>

namespace {

// The part of a path after its last separator, and the part up to it.
QString FileNameOf(const QString& path)
{
    const qsizetype at = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(at + 1);
}

QString FolderOf(const QString& path)
{
    const qsizetype at = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return at < 0 ? QString() : path.left(at + 1);
}

QString TimeKey(std::uint32_t time)
{
    return QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

IRFileEntry CDrawIR::EntryFromHolder(const CIrImage& holder, const QString& path)
{
    IRFileEntry e;
    e.path = path;
    e.key = FileNameOf(path);
    const QFileInfo info(path);
    e.time = static_cast<std::uint32_t>(info.lastModified().toSecsSinceEpoch());
    e.bytes = holder.FileCopy();
    e.emissivity = TruncateTo<std::uint16_t>(double(holder.Emissivity()) * 100.0);
    const bool hundredths = holder.Scheme() == 3 && holder.ModelVersion() != 6;
    e.distance = TruncateTo<std::uint16_t>(double(holder.Distance()) * (hundredths ? 100.0 : 1.0));
    e.ambient = TruncateTo<std::int32_t>(double(holder.Ambient()) * 100.0);
    e.humidity = TruncateTo<std::uint16_t>(double(holder.Humidity()) * 100.0);
    e.atmosphere = e.atmosphereCopy = holder.Atmosphere();
    e.reference = e.ambient;
    return e;
}

bool CDrawIR::CompareFileNames(const QString& a, const QString& b) const { return ::CompareFileNames(a, b, m_nSortMode); }

void CDrawIR::SortFileList() { ::SortFileList(m_files, m_nSortMode); }

void CDrawIR::MakeUniqueKey(int i, int k)
{
    if (i >= 0)
        ::MakeUniqueKey(m_files, static_cast<std::size_t>(i), k);
}

void CDrawIR::BuildFileList()
{
    if (m_nSortMode == m_nPrevSortMode)
        return;
    if (m_nSortMode >= 0 && m_nSortMode <= 3) {
        const bool byTime = m_nSortMode == kOrderTimeSorted || m_nSortMode == kOrderTimeAdded;
        for (IRFileEntry& e : m_files)
            e.key = byTime ? TimeKey(e.time) : FileNameOf(e.path);
        if (m_nSortMode == kOrderNameNatural || m_nSortMode == kOrderTimeSorted)
            SortFileList();
    }
    m_nPrevSortMode = m_nSortMode;
    m_bListFlag = 1;
    m_bFlagA = 1;
}

bool CDrawIR::LoadIRFile(const QString& path)
{
    SyncHolderEnvironment();
    const int oldWidth = HasImage() ? m_image->Width() : 320;
    // The file opens once, in a holder of its own: a file that fails leaves
    // the shown image as it was. A still image's holder is then the one
    // shown (its bytes are the entry's); a sequence or a JPEG file is shown
    // from the infrared data the entry holds, as a list entry always is.
    auto opened = std::make_unique<CIrImage>(&Environment());
    if (opened->Open(path, nullptr) != 1)
        return false;
    m_files.clear();
    m_files.push_back(EntryFromHolder(*opened, path));
    if (CIrImage::FileKindOfPath(path) == IFR_KIND_IMAGE)
        opened->SetInvert(m_image->Invert());
    else
        opened.reset();
    return FinishListLoad(path, oldWidth, std::move(opened));
}

bool CDrawIR::LoadIRFileEx(const QString& path)
{
    SyncHolderEnvironment();
    const int oldWidth = HasImage() ? m_image->Width() : 320;
    const QStringList names = Environment().DataFileNames();
    m_files.clear();
    CIrImage scratch(&Environment());
    for (const QString& name : names) {
        if (static_cast<int>(m_files.size()) >= kMaxLoadedFiles)
            break;
        if (scratch.Open(name, nullptr) != 1)
            return false;
        m_files.push_back(EntryFromHolder(scratch, name));
        scratch.Close();
    }
    if (m_files.empty())
        return false;
    return FinishListLoad(path, oldWidth);
}

bool CDrawIR::LoadEntry(const IRFileEntry& entry)
{
    auto fresh = std::make_unique<CIrImage>(&Environment());
    fresh->SetInvert(m_image->Invert());
    if (fresh->LoadBuffer(entry, nullptr) != 1)
        return false;
    m_image = std::move(fresh);
    return true;
}

bool CDrawIR::FinishListLoad(const QString& path, int oldWidth, std::unique_ptr<CIrImage> opened)
{
    m_nFileIndex = 0;
    const int count = static_cast<int>(m_files.size());
    if (count > 0 && count <= kMaxLoadedFiles) {
        m_nPrevSortMode = m_nSortMode + 1;
        BuildFileList();
        for (int i = 0; i < count; ++i) {
            if (m_files[static_cast<std::size_t>(i)].path == path) {
                m_nFileIndex = i;
                break;
            }
        }
    }
    Environment().SetPicPath(m_files[static_cast<std::size_t>(m_nFileIndex)].path);
    if (opened != nullptr)
        m_image = std::move(opened);
    else if (!LoadEntry(m_files[static_cast<std::size_t>(m_nFileIndex)]))
        return false;
    return ShowCurrentEntry(oldWidth, false, true);
}

bool CDrawIR::LoadFileAtIndex(int i, bool countChange)
{
    SyncHolderEnvironment();
    if (i < 0 || i >= FileCount())
        return false;
    m_nFileIndex = i;
    const int oldWidth = HasImage() ? m_image->Width() : 320;
    const IRFileEntry& entry = m_files[static_cast<std::size_t>(i)];
    Environment().SetPicPath(entry.path);
    if (!LoadEntry(entry))
        return false;
    return ShowCurrentEntry(oldWidth, true, countChange);
}

bool CDrawIR::ShowCurrentEntry(int oldWidth, bool keepRange, bool countChange)
{
    IRFileEntry& entry = m_files[static_cast<std::size_t>(m_nFileIndex)];
    m_strFileName = FileNameOf(entry.path);
    m_strFolder = FolderOf(entry.path);
    m_timeCreated = entry.time;
    ReadDisplayRange();
    if (keepRange) {
        if (entry.rangeUpper == 0 && entry.rangeLower == 0) {
            entry.rangeUpper = m_fLimits[4];
            entry.rangeLower = m_fLimits[5];
        } else {
            m_fLimits[4] = entry.rangeUpper;
            m_fLimits[5] = entry.rangeLower;
        }
    }
    m_image->SetRangeTemps(m_fLimits[4], m_fLimits[5]);
    ApplyIsotherms();
    if (!Render())
        AllocateDib();
    TakeHolderParameters(entry);
    RescaleAnalyses(oldWidth);
    const bool measuring = m_measuringOnly;
    m_measuringOnly = !countChange;
    RefreshAnalyses();
    NoteChange();
    m_measuringOnly = measuring;
    NotifyDependents();
    if (document != nullptr)
        Invalidate();
    return true;
}

bool CDrawIR::LoadFileForMeasure(int i)
{
    SyncHolderEnvironment();
    if (i < 0 || i >= FileCount())
        return false;
    const int oldWidth = HasImage() ? m_image->Width() : 320;
    if (!LoadEntry(m_files[static_cast<std::size_t>(i)]))
        return false;
    const bool measuring = m_measuringOnly;
    m_measuringOnly = true;
    AllocateDib();
    ReadDisplayRange();
    const int current = std::clamp(m_nFileIndex, 0, FileCount() - 1);
    TakeHolderParameters(m_files[static_cast<std::size_t>(current)]);
    RescaleAnalyses(oldWidth);
    RefreshAnalyses();
    m_measuringOnly = measuring;
    return true;
}

void CDrawIR::AllocateDib()
{
    const int size = ThermcoreDibFileSize(m_image->Width(), m_image->Height());
    m_dib = size > 14 ? QByteArray(size - 14, '\0') : QByteArray();
}

void CDrawIR::ReadDisplayRange()
{
    float high = 0, low = 0, high2 = 0, low2 = 0;
    m_image->GetRangeTemps(&high, &low, &high2, &low2);
    m_fLimits = {high, low, high, low, high2, low2};
    m_fCameraHigh = float(m_image->RangeHigh100() / 100);
    m_fCameraLow = float(m_image->RangeLow100() / 100);
}

void CDrawIR::ApplyIsotherms()
{
    for (int i = 0; i < kIsotherms; ++i) {
        const IRIsotherm& iso = m_isotherms[static_cast<std::size_t>(i)];
        if (iso.enabled != 0)
            m_image->SetIsothermTemp(1, iso.centre + iso.width / 2, iso.centre - iso.width / 2, iso.color, i);
    }
}

bool CDrawIR::Render()
{
    const int capacity = ThermcoreDibFileSize(m_image->Width(), m_image->Height());
    if (capacity <= 14 || !m_image->IsOpen())
        return false;
    // The bitmap is written over the storage of the last one when nothing
    // else shares it (the painted picture keeps its own), neither cleared
    // first nor copied after. The library writes a BMP file; its 14-byte
    // file header is dropped by moving the array's start past it, which a
    // byte array does without moving the pixels, and the next render takes
    // those bytes back in front the same way.
    const bool reuse = m_dib.isDetached();
    QByteArray block = reuse ? std::move(m_dib) : QByteArray();
    if (!block.isEmpty())
        block.prepend(14, '\0');
    block.resize(capacity);
    int size = 0;
    if (m_image->OutputBmpFile(reinterpret_cast<unsigned char*>(block.data()), capacity, &size, 3) == 0) {
        block.resize(size);
        block.remove(0, 14);
        m_dib = std::move(block);
        return true;
    }
    if (reuse)
        m_dib = QByteArray(capacity - 14, '\0'); // the last bitmap was written over
    return false;
}

void CDrawIR::TakeHolderParameters(const IRFileEntry& referenceEntry)
{
    m_fBackground = m_image->Atmosphere();
    m_fAmbient = m_image->Ambient();
    m_fDistance = m_image->Distance();
    m_fEmissivity = m_image->Emissivity();
    m_fHumidity = m_image->Humidity();
    m_fReference = float(referenceEntry.reference * 0.01);
    m_fTransmittance = AtmosphericTransmittance(m_fBackground, m_fHumidity * 100.0f, m_fDistance);
    m_strInfo = {m_image->DeviceModel(), m_image->Serial(), m_image->DateTime(), m_image->Firmware()};
    m_fFileMax = float(m_image->RangeHigh100() * 0.01);
    m_fFileMin = float(m_image->RangeLow100() * 0.01);
    m_fFileHigh = float(m_image->RangeHigh100() / 100);
    m_fFileLow = float(m_image->RangeLow100() / 100);
    m_workingRange = m_image->DeviceByte();
    m_lensCode = m_image->LastDeviceByte();
    m_nHolderFlag = static_cast<std::uint32_t>(m_image->Filter3x3());
}

namespace {

// A shape placed on a picture of width from, on one of width to: each
// coordinate times to / from, toward zero.
IRShape ScaledShape(const IRShape& shape, int from, int to)
{
    if (from == to)
        return shape;
    const double factor = double(to) / double(from);
    return {TruncateTo<std::int32_t>(shape.left * factor), TruncateTo<std::int32_t>(shape.top * factor),
            TruncateTo<std::int32_t>(shape.right * factor), TruncateTo<std::int32_t>(shape.bottom * factor)};
}

} // namespace

void CDrawIR::RescaleAnalyses(int oldWidth)
{
    const int width = m_image->Width();
    if (oldWidth <= 0 || width <= 0)
        return;
    // Scaling the shape of the last file would lose a pixel at every step to
    // a smaller picture, so that a file read other temperatures after its
    // image had shown a smaller one: the shape comes from where the analysis
    // was placed. One that no longer has the shape its placement gives on
    // the last file (moved, new, another record) is placed there anew.
    m_placements.resize(m_analyses.GetSize());
    for (std::size_t i = 0; i < m_analyses.GetSize(); ++i) {
        IRAnalysisItem& item = m_analyses[i];
        AnalysisPlacement& placed = m_placements[i];
        const bool carried = placed.width > 0 && placed.kind == item.kind && placed.number == item.number &&
                             ScaledShape(placed.shape, placed.width, oldWidth) == item.shape;
        if (!carried)
            placed = {item.kind, item.number, item.shape, oldWidth};
        item.shape = ScaledShape(placed.shape, placed.width, width);
    }
}

void CDrawIR::RefreshAnalyses()
{
    for (std::size_t i = 0; i < m_analyses.GetSize(); ++i) {
        IRAnalysisItem& item = m_analyses[i];
        if (item.ownEmissivity == 0)
            item.emissivity = m_fEmissivity;
        if (item.ownDistance == 0)
            item.distance = m_fDistance;
        if (item.ownReference == 0)
            item.referenceTemp = m_fReference;
        if (item.ownBackground == 0)
            item.background = m_fBackground;
        ComputeAnalysis(i);
    }
}

void CDrawIR::SetPalette(int index)
{
    SyncHolderEnvironment();
    m_image->SetPalette(index);
    if (m_nFileIndex >= 0 && m_nFileIndex < FileCount()) {
        QByteArray& bytes = m_files[static_cast<std::size_t>(m_nFileIndex)].bytes;
        const long at = ParamBlockOffsetForPalette(bytes, m_image->Scheme());
        // Only a whole parameter block inside the bytes is patched.
        if (at >= 0 && at + 428 <= bytes.size())
            bytes[static_cast<qsizetype>(at + 36)] = static_cast<char>(m_image->PaletteIndex());
    }
    if (HasImage()) {
        ApplyIsotherms();
        Render();
    }
    NoteChange();
    NotifyDependents();
}

void CDrawIR::RefreshFileCombo()
{
    FileComboHost* combo = Environment().FileCombo();
    if (combo == nullptr)
        return;
    combo->ResetContent();
    for (int i = 0; i < FileCount(); ++i) {
        MakeUniqueKey(i, 0);
        combo->AddString(m_files[static_cast<std::size_t>(i)].key);
    }
    combo->SetCurSel(m_nFileIndex);
    if (m_nFileIndex >= 0 && m_nFileIndex < FileCount())
        combo->SetFileNameText(m_files[static_cast<std::size_t>(m_nFileIndex)].key);
    combo->FocusFileName();
}

void CDrawIR::RemoveFileAt(int i)
{
    if (i < 0 || i >= FileCount())
        return;
    m_files.erase(m_files.begin() + i);
    m_bFlagA = 1;
    if (m_nFileIndex >= FileCount())
        m_nFileIndex = std::max(FileCount() - 1, 0);
    NoteChange();
}

void CDrawIR::SelectFileInCombo()
{
    FileComboHost* combo = Environment().FileCombo();
    if (combo == nullptr)
        return;
    combo->SetCurSel(m_nFileIndex);
    if (m_nFileIndex >= 0 && m_nFileIndex < FileCount())
        combo->SetFileNameText(m_files[static_cast<std::size_t>(m_nFileIndex)].key);
}

void CDrawIR::ReadComboSelection()
{
    FileComboHost* combo = Environment().FileCombo();
    if (combo == nullptr)
        return;
    const int sel = combo->GetCurSel();
    if (sel >= 0 && sel < FileCount())
        m_nFileIndex = sel;
}
