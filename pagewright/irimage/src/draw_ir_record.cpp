// CDrawIR: the object's record and its diagnostic dump.
#include "irimage/draw_ir.h"

#include "irimage/temperature_text.h"

#include "document/record_values.h"
#include "document/rpt_doc.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {


std::uint16_t ReadU16At(const QByteArray& b, long at)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData()) + at;
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::int32_t ReadI32At(const QByteArray& b, long at)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData()) + at;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | p[i];
    return static_cast<std::int32_t>(v);
}

} // namespace

void CDrawIR::WriteFileBytes(platform::ArchiveWriter& ar, const QByteArray& bytes) const
{
    auto* doc = ar.documentAs<CDI_RptDoc>();
    if (doc != nullptr && doc->InSnapshot())
        ar.writeU64(doc->ShareSnapshotBytes(bytes));
    else
        ar.writeBytes(bytes);
}

QByteArray CDrawIR::ReadFileBytes(platform::ArchiveReader& ar, std::uint32_t length)
{
    auto* doc = ar.documentAs<CDI_RptDoc>();
    if (doc != nullptr && doc->InSnapshot()) {
        QByteArray bytes = doc->SharedSnapshotBytes(ar.readU64());
        if (static_cast<std::uint64_t>(bytes.size()) != length)
            ar.fail(platform::ArchiveErrorCode::BadIndex);
        return bytes;
    }
    if (length > ar.remaining())
        ar.fail(platform::ArchiveErrorCode::BadCount);
    return ar.readBytes(length);
}

void CDrawIR::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawObj::Serialize(ar);
    m_image->Serialize(ar, [this](platform::ArchiveWriter& w, const QByteArray& b) { WriteFileBytes(w, b); });
    ar.writeU8(kRecordVersion);
    ar.writeF32(m_fScaleX);
    ar.writeF32(m_fScaleY);
    ar.writeF32(m_fLimits[4]);
    ar.writeF32(m_fLimits[5]);
    ar.writeF32(m_fLimits[2]);
    ar.writeF32(m_fLimits[3]);
    ar.writeI32(m_nNumber);
    ar.writeU32(m_timeCreated);
    ar.writeString(m_strFileName);
    ar.writeString(m_strFolder);
    ar.writeF32(m_fFileMin);
    ar.writeF32(m_fFileMax);
    for (const QString& info : m_strInfo)
        ar.writeString(info);
    ar.writeU32(m_clrScaleText);
    ar.writeF32(m_fEmissivity);
    ar.writeF32(m_fDistance);
    ar.writeF32(m_fAmbient);
    ar.writeF32(m_fBackground);
    ar.writeF32(m_fReference);
    ar.writeF32(m_fHumidity);
    ar.writeString(m_strObjectType);
    ar.writeI32(m_bUseRefTarget);
    ar.writeI32(m_bUseRefTemp);
    ar.writeI32(m_nRefKind);
    ar.writeI32(m_nRefNumber);
    ar.writeI32(m_nRefIndex);
    for (const IRIsotherm& iso : m_isotherms) {
        ar.writeU32(iso.enabled);
        ar.writeF32(iso.centre);
        ar.writeF32(iso.width);
        ar.writeU32(iso.color);
    }
    ar.writeU32(m_bShowBar);
    ar.writeU32(m_bShowMarks);
    ar.writeU32(m_bLiveUpdate);
    ar.writeI32(static_cast<std::int32_t>(m_files.size()));
    ar.writeI32(m_nFileIndex);
    ar.writeI32(m_nSortMode);
    for (const IRFileEntry& e : m_files) {
        ar.writeString(e.key);
        ar.writeString(e.path);
        ar.writeU32(e.Length());
        ar.writeU32(e.time);
        WriteFileBytes(ar, e.bytes);
        ar.writeU16(e.emissivity);
        ar.writeI32(e.ambient);
        ar.writeU16(e.distance);
        ar.writeU16(e.humidity);
        ar.writeI32(e.reference);
        ar.writeF32(e.rangeUpper);
        ar.writeF32(e.rangeLower);
        ar.writeF32(e.atmosphere);
        ar.writeF32(e.atmosphereCopy);
    }
    ar.writeU32(static_cast<std::uint32_t>(Environment().TempUnit()));
    ar.writeI32(m_image->PaletteIndex());
    ar.writeU32(m_bInverted);
    ar.writeF32(m_fTransmittance);
    m_analyses.Serialize(ar);
}

void CDrawIR::Serialize(platform::ArchiveReader& ar)
{
    struct Reading {
        bool& flag;
        explicit Reading(bool& f) : flag(f) { flag = true; }
        ~Reading() { flag = false; }
    } reading(m_reading);
    m_isothermsBeforeRead = m_isotherms;
    CDrawObj::Serialize(ar);
    ReadRecord(ar);
}

void CDrawIR::ReadRecord(platform::ArchiveReader& ar)
{
    SyncHolderEnvironment();
    const auto* doc = ar.documentAs<CDI_RptDoc>();
    // An archive without a document reads as a current report.
    const float version = doc != nullptr ? doc->GetVersion() : CDI_RptDoc::kProgVersion;

    m_image->Serialize(ar, [this](platform::ArchiveReader& r, std::uint32_t n) { return ReadFileBytes(r, n); });
    const int record = ar.readU8();
    // Scales turn picture points into page points: held to their range.
    // Temperatures and parameters are kept as they stand (the camera library
    // may give non-finite ones for a damaged camera file, and they are saved
    // so); what draws them checks them.
    m_fScaleX = record_values::ReadScale(ar);
    m_fScaleY = record_values::ReadScale(ar);
    const float displayHigh = ar.readF32();
    const float displayLow = ar.readF32();
    float openHigh = 0, openLow = 0;
    if (record > 1) {
        openHigh = ar.readF32();
        openLow = ar.readF32();
    }
    m_nNumber = ar.readI32();
    m_timeCreated = ar.readU32();
    m_strFileName = ar.readString();
    m_strFolder = ar.readString();
    m_fFileMin = ar.readF32();
    m_fFileMax = ar.readF32();
    for (QString& info : m_strInfo)
        info = ar.readString();
    m_clrScaleText = ar.readU32();
    m_fEmissivity = ar.readF32();
    m_fDistance = ar.readF32();
    m_fAmbient = ar.readF32();
    m_fBackground = ar.readF32();
    m_fReference = ar.readF32();
    m_fHumidity = ar.readF32();
    m_strObjectType = ar.readString();
    if (version > 4.0f) {
        m_bUseRefTarget = ar.readI32();
        m_bUseRefTemp = ar.readI32();
        m_nRefKind = ar.readI32();
        m_nRefNumber = ar.readI32();
        m_nRefIndex = ar.readI32();
    }
    int isotherms = kIsotherms;
    if (version <= 5.0f) {
        isotherms = 2;
        for (int i = 0; i < kIsotherms; ++i)
            m_isotherms[static_cast<std::size_t>(i)] = IRIsotherm{0, 0, 0, kIsoDefaultColors[static_cast<std::size_t>(i)]};
    }
    for (int i = 0; i < isotherms; ++i) {
        IRIsotherm& iso = m_isotherms[static_cast<std::size_t>(i)];
        iso.enabled = ar.readU32();
        iso.centre = ar.readF32();
        iso.width = ar.readF32();
        iso.color = ar.readU32();
    }
    if (version > 0.0f) {
        m_bShowBar = ar.readU32();
        m_bShowMarks = ar.readU32();
        m_bLiveUpdate = ar.readU32();
        ReadEntries(ar, version, record);
    } else {
        // No list stored: the loaded image is its one entry.
        m_bShowBar = m_bShowMarks = m_bLiveUpdate = 1;
        m_bListFlag = 1;
        m_nSortMode = 2;
        m_nFileIndex = 0;
        m_files.clear();
        IRFileEntry e;
        e.path = m_strFolder + m_strFileName;
        e.key = m_strFileName;
        e.bytes = m_image->FileCopy();
        e.time = m_timeCreated;
        e.emissivity = TruncateTo<std::uint16_t>(double(m_fEmissivity) * 100.0);
        e.distance = TruncateTo<std::uint16_t>(double(m_fDistance));
        e.ambient = TruncateTo<std::int32_t>(double(m_fAmbient) * 100.0);
        e.humidity = TruncateTo<std::uint16_t>(double(m_fHumidity) * 100.0);
        e.reference = e.ambient;
        m_files.push_back(std::move(e));
    }
    int unit = 0, palette = 0;
    std::uint32_t inverted = 0;
    m_fTransmittance = 1.0f;
    if (version > 1.0f) {
        unit = static_cast<int>(ar.readU32());
        palette = ar.readI32();
        inverted = ar.readU32();
        m_fTransmittance = ar.readF32();
    }
    if (version >= 4.0f) {
        m_analyses.Serialize(ar);
    } else {
        m_oldItems.Serialize(ar);
        m_analyses.RemoveAll();
        for (const IROldAnalysisItem& old : m_oldItems)
            m_analyses.Add(ConvertOldAnalysis(old, m_fAmbient, m_fBackground));
        m_oldItems.RemoveAll();
    }

    // The object without a file stores its humidity in per cent; nonsense
    // beyond 100 per cent (or below 0) is held to the scale, so that reading
    // a written record gives the same value.
    if (m_fHumidity > 1.0f)
        m_fHumidity *= 0.01f;
    m_fHumidity = std::clamp(m_fHumidity, 0.0f, 1.0f);
    m_image->SetAmbient(m_fAmbient);
    m_image->SetEmissivity(m_fEmissivity);
    m_image->SetDistance(m_fDistance);
    m_image->SetHumidity(m_fHumidity);
    m_image->SetAtmosphere(m_fBackground);
    m_bInverted = inverted;
    m_image->SetInvert(static_cast<int>(inverted));
    // A report read sets the program's unit; an undo step does not.
    if (doc == nullptr || !doc->InSnapshot())
        Environment().SetTempUnit(unit);
    m_nPrevSortMode = m_nSortMode;

    m_dib.clear();
    if (!m_image->FileCopy().isEmpty() && m_image->IsOpen()) {
        SetPalette(palette);
        AllocateDib();
        m_image->GetTempLimits(&m_fLimits[0], &m_fLimits[1], &m_fLimits[2], &m_fLimits[3]);
        m_fLimits[4] = displayHigh;
        m_fLimits[5] = displayLow;
        if (record > 1) {
            m_fLimits[2] = openHigh;
            m_fLimits[3] = openLow;
        }
        m_fFileLow = float(m_image->RangeLow100() / 100);
        m_fFileHigh = float(m_image->RangeHigh100() / 100);
        // The field texts bound their temperatures by the same camera range
        // as when the file was opened.
        m_fCameraLow = m_fFileLow;
        m_fCameraHigh = m_fFileHigh;
        m_image->SetRangeTemps(m_fLimits[4], m_fLimits[5]);
        ApplyIsotherms();
        Render();
        m_nHolderFlag = static_cast<std::uint32_t>(m_image->Filter3x3());
    } else {
        m_fLimits[4] = displayHigh;
        m_fLimits[5] = displayLow;
        if (record > 1) {
            m_fLimits[2] = openHigh;
            m_fLimits[3] = openLow;
        }
    }
    NoteChange();
}

void CDrawIR::ReadEntries(platform::ArchiveReader& ar, float version, int record)
{
    const std::int32_t count = ar.readI32();
    const std::int32_t index = ar.readI32();
    const std::int32_t sort = ar.readI32();
    // Each entry takes at least its two string lengths, length and time.
    if (count < 0 || count > kMaxFileEntries || std::uint64_t(count) * 10 > ar.remaining())
        ar.fail(platform::ArchiveErrorCode::BadCount);
    std::vector<IRFileEntry> files;
    files.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        IRFileEntry e;
        e.key = ar.readString();
        e.path = ar.readString();
        const std::uint32_t length = ar.readU32();
        e.time = ar.readU32();
        e.bytes = ReadFileBytes(ar, length);
        if (version > 1.0f) {
            e.emissivity = ar.readU16();
            e.ambient = ar.readI32();
            e.distance = ar.readU16();
            e.humidity = ar.readU16();
            e.reference = ar.readI32();
        } else {
            // The words of the file's own parameter block, when the whole
            // block lies inside the bytes.
            const long at = ParamBlockOffsetForOldEntry(e.bytes);
            if (at + 428 <= e.bytes.size()) {
                e.emissivity = ReadU16At(e.bytes, at + 340);
                e.distance = ReadU16At(e.bytes, at + 44);
                e.ambient = ReadI32At(e.bytes, at + 40);
                e.humidity = ReadU16At(e.bytes, at + 46);
            }
            e.reference = e.ambient;
        }
        if (version > 2.0f) {
            e.rangeUpper = ar.readF32();
            e.rangeLower = ar.readF32();
        }
        if (version > 3.0f || record > 2) {
            e.atmosphere = ar.readF32();
            e.atmosphereCopy = ar.readF32();
        } else {
            e.atmosphere = e.atmosphereCopy = float(e.ambient * 0.01);
        }
        files.push_back(std::move(e));
    }
    m_files = std::move(files);
    m_nFileIndex = index >= 0 && index < count ? index : 0;
    m_nSortMode = sort;
}

void CDrawIR::Dump(QJsonObject& out) const
{
    CDrawObj::Dump(out);
    out[QStringLiteral("number")] = m_nNumber;
    out[QStringLiteral("hasImage")] = HasImage();
    out[QStringLiteral("imageBytes")] = static_cast<qint64>(m_image->FileLength());
    out[QStringLiteral("imageSize")] = QJsonArray{m_image->Width(), m_image->Height()};
    out[QStringLiteral("fileName")] = m_strFileName;
    out[QStringLiteral("folder")] = m_strFolder;
    out[QStringLiteral("time")] = static_cast<qint64>(m_timeCreated);
    out[QStringLiteral("info")] = QJsonArray{m_strInfo[0], m_strInfo[1], m_strInfo[2], m_strInfo[3]};
    out[QStringLiteral("scene")] = QJsonObject{{QStringLiteral("emissivity"), double(m_fEmissivity)},
                                               {QStringLiteral("distance"), double(m_fDistance)},
                                               {QStringLiteral("ambient"), double(m_fAmbient)},
                                               {QStringLiteral("background"), double(m_fBackground)},
                                               {QStringLiteral("reference"), double(m_fReference)},
                                               {QStringLiteral("humidity"), double(m_fHumidity)},
                                               {QStringLiteral("transmittance"), double(m_fTransmittance)}};
    QJsonArray limits;
    for (float f : m_fLimits)
        limits.append(double(f));
    out[QStringLiteral("limits")] = limits;
    out[QStringLiteral("fileRange")] = QJsonArray{double(m_fFileMin), double(m_fFileMax)};
    out[QStringLiteral("palette")] = m_image->PaletteIndex();
    out[QStringLiteral("inverted")] = static_cast<qint64>(m_bInverted);
    out[QStringLiteral("showFlags")] = QJsonArray{static_cast<qint64>(m_bShowBar), static_cast<qint64>(m_bShowMarks),
                                                  static_cast<qint64>(m_bLiveUpdate)};
    out[QStringLiteral("reference")] = QJsonArray{m_bUseRefTarget, m_bUseRefTemp, m_nRefKind, m_nRefNumber, m_nRefIndex};
    QJsonArray isotherms;
    for (const IRIsotherm& iso : m_isotherms)
        isotherms.append(QJsonArray{static_cast<qint64>(iso.enabled), double(iso.centre), double(iso.width),
                                    static_cast<qint64>(iso.color)});
    out[QStringLiteral("isotherms")] = isotherms;
    QJsonArray files;
    for (const IRFileEntry& e : m_files)
        files.append(QJsonObject{{QStringLiteral("key"), e.key},
                                 {QStringLiteral("path"), e.path},
                                 {QStringLiteral("length"), static_cast<qint64>(e.Length())},
                                 {QStringLiteral("time"), static_cast<qint64>(e.time)},
                                 {QStringLiteral("emissivity"), e.emissivity},
                                 {QStringLiteral("ambient"), e.ambient},
                                 {QStringLiteral("distance"), e.distance},
                                 {QStringLiteral("humidity"), e.humidity},
                                 {QStringLiteral("reference"), e.reference},
                                 {QStringLiteral("range"), QJsonArray{double(e.rangeUpper), double(e.rangeLower)}},
                                 {QStringLiteral("atmosphere"), double(e.atmosphere)}});
    out[QStringLiteral("files")] = files;
    out[QStringLiteral("fileIndex")] = m_nFileIndex;
    out[QStringLiteral("sortMode")] = m_nSortMode;
    QJsonArray analyses;
    for (const IRAnalysisItem& a : m_analyses)
        analyses.append(QJsonObject{{QStringLiteral("number"), a.number},
                                    {QStringLiteral("name"), a.Name()},
                                    {QStringLiteral("kind"), a.kind},
                                    {QStringLiteral("shape"), QJsonArray{a.shape.left, a.shape.top, a.shape.right,
                                                                         a.shape.bottom}},
                                    {QStringLiteral("max"), double(a.maximum)},
                                    {QStringLiteral("min"), double(a.minimum)},
                                    {QStringLiteral("average"), double(a.average)}});
    out[QStringLiteral("analyses")] = analyses;
}
