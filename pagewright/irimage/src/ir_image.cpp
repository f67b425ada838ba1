#include "irimage/ir_image.h"

#include "irimage/temperature_text.h"

#include "document/document_environment.h"
#include "document/geometry.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"
#include "platform/codepage.h"
#include "platform/dib.h"
#include "platform/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace {

QString FixedText(const char* field, std::size_t size)
{
    std::size_t n = 0;
    while (n < size && field[n] != '\0')
        ++n;
    return platform::fromGbk(QByteArrayView(field, static_cast<qsizetype>(n)));
}

// Corners of a rectangle in order, with its pixel count (64-bit).
struct Span {
    int xmin, ymin, xmax, ymax;
    std::uint64_t area; // at most 2^32 x 2^32: no overflow
};

Span OrderCorners(int x1, int y1, int x2, int y2)
{
    Span s{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), 0};
    s.area = std::uint64_t(std::int64_t(s.xmax) - s.xmin) * std::uint64_t(std::int64_t(s.ymax) - s.ymin);
    return s;
}

// Whether (x, y) lies inside the circle of the rectangle: closer to its
// centre than half its width (integer halves, as the camera software takes
// them).
struct Circle {
    std::int64_t cx, cy, r2;
    explicit Circle(const Span& s)
        : cx((std::int64_t(s.xmin) + s.xmax) / 2), cy((std::int64_t(s.ymin) + s.ymax) / 2),
          r2(((std::int64_t(s.xmax) - s.xmin) / 2) * ((std::int64_t(s.xmax) - s.xmin) / 2))
    {
    }
    bool Contains(std::int64_t x, std::int64_t y) const { return (x - cx) * (x - cx) + (y - cy) * (y - cy) < r2; }
};

// Statistics of a walk: maximum, minimum (strictly greater or less replaces,
// so the first of equal values wins), their positions and the mean.
struct Extremes {
    float max = IRAnalysisItem::kNoMaximum;
    float min = IRAnalysisItem::kNoMinimum;
    int maxX = 0, maxY = 0, minX = 0, minY = 0;
    double sum = 0;
    std::int64_t count = 0;

    void Add(float t, int x, int y)
    {
        if (t > max) {
            max = t;
            maxX = x;
            maxY = y;
        }
        if (t < min) {
            min = t;
            minX = x;
            minY = y;
        }
        sum += t;
        ++count;
    }
    // A walk over no pixel keeps the starting extremes and averages 0.
    void StoreInto(IRAnalysisItem& item) const
    {
        item.maximum = max;
        item.minimum = min;
        item.average = count == 0 ? 0.0f : static_cast<float>(sum / double(count));
        if (count != 0) {
            item.maxX = maxX;
            item.maxY = maxY;
            item.minX = minX;
            item.minY = minY;
        }
    }
};

} // namespace

CIrImage::CIrImage(DocumentEnvironment* env, const thermcore::IfrCalls& calls)
    : thermcore::IrHolderCommon(calls), m_env(env != nullptr ? env : &DefaultDocumentEnvironment())
{
}

CIrImage::~CIrImage()
{
    m_fileCopy.clear();
    Close();
}

void CIrImage::SetEnvironment(DocumentEnvironment* env)
{
    m_env = env != nullptr ? env : &DefaultDocumentEnvironment();
}

QString CIrImage::DeviceModel() const { return FixedText(m_model, sizeof m_model); }
QString CIrImage::Firmware() const { return FixedText(m_firmware, sizeof m_firmware); }
QString CIrImage::Serial() const { return FixedText(m_serial, sizeof m_serial); }
QString CIrImage::DateTime() const { return FixedText(m_dateTime, sizeof m_dateTime); }

int CIrImage::FileKindOfPath(const QString& path)
{
    if (path.size() < 4)
        return IFR_KIND_IMAGE;
    const QString ending = path.right(4).toUpper();
    if (ending == QLatin1String(".VNV"))
        return IFR_KIND_SEQUENCE;
    if (ending == QLatin1String(".JPG"))
        return IFR_KIND_JPEG;
    return IFR_KIND_IMAGE;
}

QString CIrImage::ColorRulerPath(int index) const
{
    return m_env->FindProgramFile(QStringLiteral("NRULER%1.bmp").arg(index + 1));
}

bool CIrImage::FilterEnabled() const
{
    const QString ini = m_env->FindProgramFile(QStringLiteral("field.ini"));
    if (ini.isEmpty())
        return false;
    return platform::IniFile(ini).loadCached()->readInt(u"PICWAVE", u"PWave", 0) != 0;
}

float CIrImage::Display(float celsius) const
{
    // The bad-handle value stays what it is: no unit makes it a temperature.
    if (!thermcore::IsTemperature(celsius) && !std::isnan(celsius))
        return thermcore::kBadHandleTemperature;
    return CelsiusToUnit(celsius, m_env->TempUnit());
}

// ---- opening

void CIrImage::ResetForOpen()
{
    m_frameWidth = 320;
    m_frameHeight = 240;
    m_photoWidth = m_photoHeight = 0;
    m_width = m_height = 0;
    m_fileCopy.clear();
    m_rangeLow100 = -2000;
    m_rangeHigh100 = 100000;
}

void CIrImage::ReadSizes()
{
    calls().GetImageWidthHeight(handle(), &m_width, &m_height);
    calls().GetCCDImageWidthHeight(handle(), &m_photoWidth, &m_photoHeight);
    m_frameWidth = m_width;
    m_frameHeight = m_height;
}

void CIrImage::ApplyPalette(int index)
{
    const int count = m_env->PaletteCount();
    if (index < 0 || index > count - 1)
        index = 0;
    palette_ = index;
    m_env->SelectPalette(index);
    const QString ruler = ColorRulerPath(index);
    if (handle() != nullptr)
        calls().SetColorRuler(handle(), QFile::encodeName(ruler).constData());
}

void CIrImage::ReadDeviceInfo()
{
    char device = 0, last = 0;
    m_rangeLow100 = -2000;
    m_rangeHigh100 = 100000;
    calls().GetDeviceDate(handle(), m_model, m_firmware, m_serial, m_dateTime, &device, &m_rangeLow100,
                          &m_rangeHigh100, &last);
    m_deviceByte = static_cast<std::uint8_t>(device);
    m_lastByte = static_cast<std::uint8_t>(last);
    m_histMaxGray = calls().GetHistogramMaxGray(handle());
    m_histMinGray = calls().GetHistogramMinGray(handle());
}

void CIrImage::ReadBoard()
{
    if (m_modelVersion != 11)
        return;
    int x = 0, y = 0, w = 0, h = 0;
    calls().GetBoardCoord(handle(), &x, &y, &w, &h);
    // The corners as the file gives them; a hostile size stops at the int range.
    m_board = {x, y, ClampToInt(std::int64_t(x) + w), ClampToInt(std::int64_t(y) + h)};
}

void CIrImage::ReadOpenedFile(bool fromBuffer)
{
    int id = 0;
    calls().GetColorID(handle(), &id);
    ApplyPalette(id);
    calls().ReceiveStream(handle(), &thermcore::IRFrameCallback);
    calls().Next(handle());
    if (fromBuffer)
        calls().SetIRInvert(handle(), m_invert);
    int scheme = 0, version = 0;
    calls().GetFileVer(handle(), &scheme, &version);
    m_scheme = scheme;
    m_modelVersion = static_cast<std::uint16_t>(version);
    calls().GetEmissDis(handle(), &m_emissivity, &m_distance);
    calls().GetAmbHum(handle(), &m_ambient, &m_humidity);
    if (!fromBuffer) {
        if (m_scheme == 3 && m_modelVersion != 11)
            calls().GetAtmoTemp(handle(), &m_atmosphere);
        else
            m_atmosphere = m_ambient;
    }
    m_photoWidth = m_photoWidth / 4 * 4;
    if (FilterEnabled())
        calls().SetFilterType(handle(), 3);
    ReadDeviceInfo();
    ReadBoard();
}

namespace {

// Whether Thermcore opens these bytes as a still image (kind 0): a memory
// image whose first 32-bit word is 1, 2 or 3 is a sequence. A still image's
// infrared data is then the whole of its bytes.
bool StillImageBytes(const QByteArray& bytes)
{
    if (bytes.size() < 4)
        return true;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const std::uint32_t first = b[0] | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    return first < 1 || first > 3;
}

// The whole file, or nothing when it cannot be read.
QByteArray ReadWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    if (size <= 0 || size > 0x7FFFFFFF)
        return {};
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const qint64 got = file.read(bytes.data() + done, size - done);
        if (got <= 0)
            return {};
        done += got;
    }
    return bytes;
}

} // namespace

int CIrImage::Open(const QString& path, void* window)
{
    Close();
    const int kind = FileKindOfPath(path);
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return -1;
    thermcore::SetFrameCallbackTarget(calls(), window);
    // A still image is read once and opened from memory: its bytes are the
    // file copy. Sequences and JPEG files open from the file.
    QByteArray bytes;
    if (kind == IFR_KIND_IMAGE)
        bytes = ReadWholeFile(path);
    IfrHandle h = nullptr;
    if (!bytes.isEmpty() && StillImageBytes(bytes)) {
        h = calls().LoadBuffer(window, bytes.constData(), static_cast<int>(bytes.size()));
    } else {
        bytes.clear();
        int first = 0, last = 0;
        h = calls().LoadFile(window, QFile::encodeName(path).constData(), kind, &first, &last);
    }
    if (h == nullptr)
        return -1;
    handle_.reset(h);
    ResetForOpen();
    ReadSizes();
    const int length = calls().GetFileLen(h);
    if (length <= 0 || !TakeFileCopy(length, bytes)) {
        Close();
        return -1;
    }
    ReadOpenedFile(false);
    // A file whose temperature model runs past its end gives no
    // temperature (a sequence's from its first frame): it is damaged and
    // does not open.
    if (!thermcore::GivesTemperatures(calls(), h)) {
        Close();
        ResetForOpen();
        return -1;
    }
    return 1;
}

bool CIrImage::TakeFileCopy(int length, const QByteArray& bytes)
{
    // A still image opened from bytes hands out exactly those bytes: they
    // are shared rather than copied.
    if (length == bytes.size() && StillImageBytes(bytes)) {
        m_fileCopy = bytes;
        return true;
    }
    try {
        m_fileCopy = QByteArray(length, Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        return false;
    }
    calls().GetFileBuff(handle(), m_fileCopy.data());
    return true;
}

int CIrImage::LoadBuffer(IRFileEntry entry, void* window)
{
    Close();
    if (entry.bytes.isEmpty())
        return -1;
    thermcore::SetFrameCallbackTarget(calls(), window);
    const IfrHandle h = calls().LoadBuffer(window, entry.bytes.constData(), static_cast<int>(entry.bytes.size()));
    if (h == nullptr)
        return -1;
    handle_.reset(h);
    ResetForOpen();
    ReadSizes();
    const int length = calls().GetFileLen(h);
    if (length <= 0 || !TakeFileCopy(length, entry.bytes)) {
        Close();
        return -1;
    }
    m_atmosphere = entry.atmosphere;
    ReadOpenedFile(true);
    return 1;
}

int CIrImage::Close()
{
    return IrHolderCommon::Close();
}

// ---- parameters and ranges

void CIrImage::ApplyScene(float emissivity, float distance)
{
    calls().SetAtmoTemp(handle(), m_atmosphere);
    calls().SetEmissDis(handle(), emissivity, distance);
    calls().SetAmbHum(handle(), m_ambient, m_humidity);
}

int CIrImage::TempToGray(float t, int* gray)
{
    ApplyScene(m_emissivity, m_distance);
    const int g = calls().TempToGray(handle(), t);
    if (gray != nullptr)
        *gray = g;
    return 1;
}

int CIrImage::GetTempLimits(float* high, float* low, float* rangeHigh, float* rangeLow)
{
    ApplyScene(m_emissivity, m_distance);
    if (high != nullptr)
        *high = calls().GrayToTemp(handle(), m_histMaxGray);
    if (low != nullptr)
        *low = calls().GrayToTemp(handle(), m_histMinGray);
    if (rangeHigh != nullptr)
        *rangeHigh = calls().GrayToTemp(handle(), m_rangeGrayHigh);
    if (rangeLow != nullptr)
        *rangeLow = calls().GrayToTemp(handle(), m_rangeGrayLow);
    return 1;
}

int CIrImage::GetRangeTemps(float* high, float* low, float* high2, float* low2)
{
    float h = 0, l = 0;
    GetTempLimits(&h, &l, nullptr, nullptr);
    m_rangeTemps = {h, l, h, l, h, l};
    TempToGray(h, &m_rangeGrayHigh);
    TempToGray(l, &m_rangeGrayLow);
    if (high != nullptr)
        *high = h;
    if (low != nullptr)
        *low = l;
    if (high2 != nullptr)
        *high2 = h;
    if (low2 != nullptr)
        *low2 = l;
    return 1;
}

int CIrImage::SetRangeTemps(float high, float low)
{
    m_rangeTemps[4] = high;
    m_rangeTemps[5] = low;
    TempToGray(high, &m_rangeGrayHigh);
    TempToGray(low, &m_rangeGrayLow);
    // Grays are 16-bit: a range from a damaged report is held to them (the
    // library's colour table spans the display grays).
    m_rangeGrayHigh = std::clamp(m_rangeGrayHigh, kMinGray, kMaxGray);
    m_rangeGrayLow = std::clamp(m_rangeGrayLow, kMinGray, kMaxGray);
    if (handle() == nullptr)
        return 1;
    calls().SetAGCStatus(handle(), 0);
    calls().SetHistogramMaxGray(handle(), m_rangeGrayHigh);
    calls().SetHistogramMinGray(handle(), m_rangeGrayLow);
    // The histogram pass runs over the current gray frame, taken row by row.
    if (m_width > 0 && m_height > 0) {
        const std::size_t w = std::size_t(m_width);
        std::unique_ptr<unsigned short[]> frame(new (std::nothrow) unsigned short[w * std::size_t(m_height)]);
        std::vector<int> row(w);
        bool whole = frame != nullptr;
        for (int y = 0; whole && y < m_height; ++y) {
            whole = IFR_GetRectGray(handle(), 0, y, m_width - 1, y, row.data()) == 0;
            std::transform(row.begin(), row.end(), frame.get() + std::size_t(y) * w,
                           [](int g) { return static_cast<unsigned short>(g); });
        }
        if (whole)
            calls().DoHistogramProcess(handle(), frame.get());
    }
    return 1;
}

int CIrImage::SetPalette(int index)
{
    // An index outside the table (a damaged report) takes the first palette.
    if (index < 0 || index > m_env->PaletteCount() - 1)
        index = 0;
    palette_ = index;
    m_env->SelectPalette(index);
    int result = -1;
    if (handle() != nullptr) {
        result = calls().SetColorRuler(handle(), QFile::encodeName(ColorRulerPath(index)).constData());
        calls().SetIRInvert(handle(), m_invert);
    }
    return result;
}

int CIrImage::GetPalette(int* index) { return IrHolderCommon::GetPalette(index); }

int CIrImage::SetInvert(int invert)
{
    m_invert = invert;
    if (handle() != nullptr)
        calls().SetIRInvert(handle(), invert);
    return 1;
}

int CIrImage::SetIsothermTemp(int on, float high, float low, std::uint32_t colour, int index)
{
    return calls().SetIsothermTemp(handle(), on, high, low, static_cast<int>(colour), index);
}

// ---- output

int CIrImage::OutputDIB(unsigned char* block, int capacity, int* size, int flag)
{
    return IrHolderCommon::OutputDIB(block, capacity, size, flag);
}

int CIrImage::OutputBmpFile(unsigned char* block, int capacity, int* size, int flag)
{
    return IrHolderCommon::OutputBmpFile(block, capacity, size, flag);
}

int CIrImage::OutputCCDDIB(unsigned char** buffer, int* size, int flag)
{
    return IrHolderCommon::OutputCCDDIB(buffer, size, flag);
}

int CIrImage::SaveCCDFile(const QString& path, int* kind)
{
    return IrHolderCommon::SaveCCDFile(QFile::encodeName(path).constData(), kind);
}

int CIrImage::SaveImageBmp(const QString& path, int flag)
{
    const int capacity = ThermcoreDibFileSize(m_frameWidth, m_frameHeight);
    if (capacity == 0)
        return -1;
    QByteArray block(capacity, '\0');
    int size = 0;
    if (OutputDIB(reinterpret_cast<unsigned char*>(block.data()), capacity, &size, flag) != 0)
        return -1;
    block.resize(size - 14);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -2;
    file.write(platform::SaveDIB(block));
    return file.commit() ? 1 : -2;
}

bool CIrImage::ExistSound() { return calls().ExistSound(handle()) != 0; }
int CIrImage::GetSoundFile(const QString& path) { return calls().GetSoundFile(handle(), QFile::encodeName(path).constData()); }
bool CIrImage::ExistCCD() { return calls().ExistCCD(handle()) != 0; }
bool CIrImage::ExistRemark() { return calls().ExistRemark(handle()) != 0; }
int CIrImage::SaveRemarkFile(const QString& path) { return calls().SaveRemarkFile(handle(), QFile::encodeName(path).constData()); }
int CIrImage::MemSaveToVNI(const QString& path) { return calls().MemSaveToVNI(handle(), QFile::encodeName(path).constData()); }

int CIrImage::GetBoardRect(int rect[4])
{
    std::copy(m_board.begin(), m_board.end(), rect);
    return 1;
}

int CIrImage::GetHeaderWords(int* first, int* second, int* third, int* fourth)
{
    if (first != nullptr && m_scheme == 0)
        *first = m_sentinels[0];
    if (second != nullptr)
        *second = 1648;
    if (third != nullptr)
        *third = m_sentinels[1];
    if (fourth != nullptr)
        *fourth = 320;
    return 1;
}

int CIrImage::GetReservedWord(int* word)
{
    if (word != nullptr)
        *word = 0;
    return 1;
}

// ---- measurement

int CIrImage::GetPointGray(int x, int y)
{
    auto at = [this](int px, int py) { return IFR_GetPointGray(handle(), px, py); };
    auto floor = [](int g) { return std::max(g, -1024); };
    if (m_filter3x3 == 0)
        return at(x, y);
    if (x == 0 || x == m_width || y == 0 || y > m_height - 10)
        return floor(at(x, y));
    const int sum = floor(at(x, y)) + floor(at(x + 1, y)) + floor(at(x - 1, y)) + floor(at(x, y + 1)) +
                    floor(at(x + 1, y + 1)) + floor(at(x - 1, y + 1)) + floor(at(x, y - 1)) + floor(at(x + 1, y - 1));
    return sum >> 3;
}

int CIrImage::GetPointTemp(int x, int y, float emissivity, float distance, float background, float* t)
{
    (void)background; // the held atmosphere temperature is what the camera software measures with
    ApplyScene(emissivity, distance);
    const float c = calls().GetPointTemp(handle(), x, y);
    if (t != nullptr)
        *t = Display(c);
    return 1;
}

int CIrImage::WalkLineInto(int x1, int y1, int x2, int y2)
{
    const int n = thermcore::WalkLine(x1, y1, x2, y2, m_linePoints);
    m_linePointCount = std::max(n, 0);
    return n;
}

int CIrImage::MeasureLine(IRAnalysisItem& item)
{
    const int n = WalkLineInto(item.shape.left, item.shape.top, item.shape.right, item.shape.bottom);
    Extremes e;
    if (n > 0) {
        ApplyScene(item.emissivity, item.distance);
        for (int i = 0; i < n; ++i) {
            const IfrPoint p = m_linePoints[static_cast<std::size_t>(i)];
            e.Add(Display(calls().GetPointTemp(handle(), p.x, p.y)), p.x, p.y);
        }
    }
    e.StoreInto(item);
    return 1;
}

int CIrImage::LineProfile(int x1, int y1, int x2, int y2, float emissivity, float distance, float background,
                          float* out, int* count)
{
    (void)background;
    if (count == nullptr)
        return 0;
    const int n = WalkLineInto(x1, y1, x2, y2);
    if (n < 0 || n > *count || (n > 0 && out == nullptr))
        return 0;
    ApplyScene(emissivity, distance);
    for (int i = 0; i < n; ++i) {
        const IfrPoint p = m_linePoints[static_cast<std::size_t>(i)];
        out[i] = Display(calls().GetPointTemp(handle(), p.x, p.y));
    }
    *count = n;
    return 1;
}

template <class Visit>
bool CIrImage::VisitArea(int xmin, int ymin, int xmax, int ymax, float emissivity, float distance, Visit&& visit)
{
    // The library converts a whole rectangle through its gray table (the same
    // values as point by point, far faster); it comes row by row and is
    // visited here column by column.
    const std::size_t w = std::size_t(std::int64_t(xmax) - xmin);
    const std::size_t h = std::size_t(std::int64_t(ymax) - ymin);
    ApplyScene(emissivity, distance);
    std::vector<float> rows(w * h);
    if (IFR_GetRectTemp(handle(), xmin, ymin, xmax - 1, ymax - 1, rows.data()) != 0) {
        for (std::size_t i = 0; i < w; ++i) {
            for (std::size_t j = 0; j < h; ++j)
                visit(xmin + int(i), ymin + int(j), Display(calls().GetPointTemp(handle(), xmin + int(i), ymin + int(j))));
        }
        return true;
    }
    for (std::size_t i = 0; i < w; ++i) {
        for (std::size_t j = 0; j < h; ++j)
            visit(xmin + int(i), ymin + int(j), Display(rows[j * w + i]));
    }
    return true;
}

template <class Keep>
int CIrImage::AreaTemps(int x1, int y1, int x2, int y2, float emissivity, float distance, float* out, int* count,
                        Keep&& keep)
{
    if (count == nullptr)
        return 0;
    const Span s = OrderCorners(x1, y1, x2, y2);
    if (s.area == 0 || *count < 0 || s.area > std::uint64_t(*count) || out == nullptr)
        return 0;
    int n = 0;
    VisitArea(s.xmin, s.ymin, s.xmax, s.ymax, emissivity, distance, [&](int x, int y, float t) {
        if (keep(s, x, y))
            out[n++] = t;
    });
    *count = n;
    return 1;
}

int CIrImage::GetRectTemps(int x1, int y1, int x2, int y2, float emissivity, float distance, float background,
                           float* out, int* count)
{
    (void)background;
    return AreaTemps(x1, y1, x2, y2, emissivity, distance, out, count, [](const Span&, int, int) { return true; });
}

int CIrImage::GetCircleTemps(int x1, int y1, int x2, int y2, float emissivity, float distance, float background,
                             float* out, int* count)
{
    (void)background;
    return AreaTemps(x1, y1, x2, y2, emissivity, distance, out, count,
                     [](const Span& s, int x, int y) { return Circle(s).Contains(x, y); });
}

int CIrImage::MeasureArea(IRAnalysisItem& item)
{
    const Span s = OrderCorners(item.shape.left, item.shape.top, item.shape.right, item.shape.bottom);
    Extremes e;
    // A shape larger than the image is refused as a whole (it is never
    // walked pixel by pixel).
    const std::uint64_t limit = std::uint64_t(std::max(m_width, 0)) * std::uint64_t(std::max(m_height, 0));
    if (s.area > 0 && s.area <= limit) {
        const Circle circle(s);
        VisitArea(s.xmin, s.ymin, s.xmax, s.ymax, item.emissivity, item.distance, [&](int x, int y, float t) {
            if (circle.Contains(x, y))
                e.Add(t, x - s.xmin, y - s.ymin);
        });
    }
    e.StoreInto(item);
    return 1;
}

// ---- record

void CIrImage::Serialize(platform::ArchiveWriter& ar, const BytesWriter& writeBytes) const
{
    const auto length = static_cast<std::uint32_t>(m_fileCopy.size());
    ar.writeU32(length);
    if (length == 0)
        return;
    ar.writeU16(m_modelVersion);
    ar.writeU32(static_cast<std::uint32_t>(m_scheme));
    ar.writeU32(static_cast<std::uint32_t>(m_histMaxGray));
    ar.writeU32(static_cast<std::uint32_t>(m_histMinGray));
    ar.writeU32(static_cast<std::uint32_t>(m_rangeGrayHigh));
    ar.writeU32(static_cast<std::uint32_t>(m_rangeGrayLow));
    if (writeBytes)
        writeBytes(ar, m_fileCopy);
    else
        ar.writeBytes(m_fileCopy);
}

void CIrImage::Serialize(platform::ArchiveReader& ar, const BytesReader& readBytes)
{
    const std::uint32_t length = ar.readU32();
    if (length == 0) {
        m_fileCopy.clear();
        Close();
        return;
    }
    if (length > 0x7FFFFFFFu || (!readBytes && std::uint64_t(length) + 22 > ar.remaining()))
        ar.fail(platform::ArchiveErrorCode::BadCount);
    m_modelVersion = ar.readU16();
    m_scheme = static_cast<int>(ar.readU32());
    m_histMaxGray = static_cast<int>(ar.readU32());
    m_histMinGray = static_cast<int>(ar.readU32());
    m_rangeGrayHigh = static_cast<int>(ar.readU32());
    m_rangeGrayLow = static_cast<int>(ar.readU32());
    m_fileCopy = readBytes ? readBytes(ar, length) : ar.readBytes(length);
    ReloadFromCopy();
}

void CIrImage::AdoptCopy(QByteArray bytes)
{
    m_fileCopy = std::move(bytes);
    ReloadFromCopy();
}

void CIrImage::ReloadFromCopy()
{
    Close();
    thermcore::SetFrameCallbackTarget(calls(), nullptr);
    if (m_fileCopy.isEmpty())
        return;
    const IfrHandle h = calls().LoadBuffer(nullptr, m_fileCopy.constData(), static_cast<int>(m_fileCopy.size()));
    if (h == nullptr)
        return;
    handle_.reset(h);
    const std::uint16_t storedVersion = m_modelVersion;
    const int histMax = m_histMaxGray, histMin = m_histMinGray; // the record's
    m_frameWidth = 320;
    m_frameHeight = 240;
    m_photoWidth = m_photoHeight = 0;
    ReadSizes();
    calls().GetAmbHum(h, &m_ambient, &m_humidity);
    m_ambient100 = TruncateTo<std::int32_t>(double(m_ambient) * 100.0);
    int id = 0;
    calls().GetColorID(h, &id);
    ApplyPalette(id);
    m_photoWidth = m_photoWidth / 4 * 4;
    calls().ReceiveStream(h, &thermcore::IRFrameCallback);
    calls().Next(h);
    ReadDeviceInfo();
    m_histMaxGray = histMax;
    m_histMinGray = histMin;
    int scheme = 0, version = 0;
    calls().GetFileVer(h, &scheme, &version);
    m_scheme = scheme;
    m_modelVersion = static_cast<std::uint16_t>(version);
    ReadBoard();
    m_modelVersion = storedVersion;
}
