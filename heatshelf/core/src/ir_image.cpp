#include "heatshelf/ir_image.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include <sys/stat.h>

#include "platform/ini_file.h"
#include "platform/program_folder.h"

namespace heatshelf {
namespace {

// Areas beyond this many pixels are not measured (no picture is that big).
constexpr int64_t kMaxAreaPixels = int64_t{8192} * 8192;

struct Span {
    int xmin, ymin, xmax, ymax;
    int64_t area;
};

Span normalised(int x1, int y1, int x2, int y2) {
    Span s{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), 0};
    if (__builtin_mul_overflow(int64_t{s.xmax} - s.xmin, int64_t{s.ymax} - s.ymin, &s.area)) {
        s.area = std::numeric_limits<int64_t>::max();
    }
    return s;
}

// Maximum (from -2000.0) and minimum (from 5000.0) with their positions,
// and the average, of the temperatures a measurement takes.
struct Extremes {
    float maxT = -2000.0f;
    float minT = 5000.0f;
    IfrPoint maxPos{0, 0};
    IfrPoint minPos{0, 0};
    double sum = 0.0;
    int64_t n = 0;

    void take(float t, IfrPoint at) {
        if (t > maxT) {
            maxT = t;
            maxPos = at;
        }
        if (t < minT) {
            minT = t;
            minPos = at;
        }
        sum += t;
        ++n;
    }
    // Nothing is written for no sample: there is no average of nothing.
    int writeTo(IRAnalysisItem* item) const {
        if (n == 0) return 0;
        item->maxTemp = maxT;
        item->minTemp = minT;
        item->avgTemp = static_cast<float>(sum / static_cast<double>(n));
        item->maxPos = maxPos;
        item->minPos = minPos;
        return 1;
    }
};

}  // namespace

int FileKindOf(const QString& path) {
    const QString ext = path.right(4);
    if (ext.compare(QLatin1String(".VNV"), Qt::CaseInsensitive) == 0) return IFR_KIND_SEQUENCE;
    if (ext.compare(QLatin1String(".JPG"), Qt::CaseInsensitive) == 0) return IFR_KIND_JPEG;
    return IFR_KIND_IMAGE;
}

CIrImage::CIrImage(QString appDirectory, const thermcore::IfrCalls& calls)
    : IrHolderCommon(calls), m_appDirectory(std::move(appDirectory)) {
    for (auto& p : m_points) p.state = 2;
    for (auto& r : m_rects) r.state = 2;
    for (auto& l : m_lines) l.state = 2;
}

QString CIrImage::programFile(const QString& name) const {
    // Adding, removing or renaming an entry changes the folder's time;
    // what a file holds is read afresh by its callers.
    struct stat st {};
    const qint64 stamp = ::stat(QFile::encodeName(m_appDirectory).constData(), &st) == 0
                             ? qint64{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec
                             : -1;
    if (stamp != m_programFolderStamp || stamp == -1) {
        m_programFiles.clear();
        m_programFolderStamp = stamp;
    }
    const auto found = m_programFiles.constFind(name);
    if (found != m_programFiles.constEnd()) return *found;
    const QString path = platform::ResolveProgramFile(m_appDirectory, name);
    m_programFiles.insert(name, path);
    return path;
}

std::string CIrImage::rulerPath(int index) const {
    return QFile::encodeName(programFile(QStringLiteral("NRULER%1.bmp").arg(index + 1))).toStdString();
}

int CIrImage::Open(const QString& path, void* window) {
    const int kind = FileKindOf(path);
    if (path.isEmpty() || !QFileInfo::exists(path)) return -1;
    if (m_sharesFrameRecord) thermcore::SetFrameCallbackTarget(calls(), window);
    Close();
    int firstTime = 0;
    int lastTime = 0;
    IfrHandle h = calls().LoadFile(window, QFile::encodeName(path).constData(), kind, &firstTime,
                                   &lastTime);
    if (h == nullptr) return -1;
    handle_.reset(h);

    m_photoWidth = 0;
    m_photoHeight = 0;
    m_displayWidth = 320;
    m_displayHeight = 240;
    m_rangeLow = -2000;
    m_rangeHigh = 100000;
    calls().GetImageWidthHeight(h, &m_imageWidth, &m_imageHeight);
    calls().GetCCDImageWidthHeight(h, &m_photoWidth, &m_photoHeight);
    m_displayWidth = m_imageWidth;
    m_displayHeight = m_imageHeight;
    calls().SetColorRuler(h, rulerPath(0).c_str());
    calls().ReceiveStream(h, &thermcore::IRFrameCallback);
    // A file whose first frame cannot be read (a damaged sequence) has no
    // picture and no temperatures: it does not open.
    if (calls().Next(h) < 0) {
        Close();
        return -1;
    }

    int version = 0;
    calls().GetFileVer(h, &m_scheme, &version);
    m_fileVersion = static_cast<int16_t>(version);
    calls().GetEmissDis(h, &m_emissivity, &m_distance);
    calls().GetAmbHum(h, &m_ambient, &m_humidity);

    // A record the library does not fill is absent, not the last file's.
    for (auto& p : m_points) p = IfrPointInfo{0, 0, 2, 0, 0, 0.0f};
    for (auto& r : m_rects) r = IfrRectInfo{0, 0, 0, 0, 2, 0, 0, 0.0f, 0, 0};
    for (auto& l : m_lines) l = IfrLineInfo{0, 0, 0, 0, 2, 0, 0, 0, 0, 0.0f};
    calls().GetPointInfo(h, m_points);
    calls().GetLineInfo(h, m_lines);
    calls().GetRectInfo(h, m_rects);

    // A sequence leaves the last value unwritten: no text rather than the
    // previous file's.
    m_lastDeviceValue = static_cast<char>(0xFF);
    calls().GetDeviceDate(h, m_model, m_firmware, m_serial, m_dateTime, &m_deviceByte, &m_rangeLow,
                          &m_rangeHigh, &m_lastDeviceValue);

    int id = 0;
    calls().GetColorID(h, &id);
    palette_ = (id < 0 || id > 9) ? 0 : id;
    calls().SetColorRuler(h, rulerPath(palette_).c_str());

    m_photoWidth -= m_photoWidth % 4;

    const platform::IniFile ini(programFile(QStringLiteral("field.ini")));
    if (ini.readInt(u"PICWAVE", u"PWave", 0) != 0) calls().SetFilterType(h, 3);

    m_histMaxGray = calls().GetHistogramMaxGray(h);
    m_histMinGray = calls().GetHistogramMinGray(h);
    return 1;
}

void CIrImage::applyScene() {
    calls().SetEmissDis(handle(), m_emissivity, m_distance);
    calls().SetAmbHum(handle(), m_ambient, m_humidity);
}

int CIrImage::TempToGray(float t, int* gray) {
    applyScene();
    const int g = calls().TempToGray(handle(), t);
    if (gray != nullptr) *gray = g;
    return 1;
}

int CIrImage::GetTempRange(float* upper, float* lower, float* high, float* low) {
    applyScene();
    const float h = calls().GrayToTemp(handle(), m_histMaxGray);
    const float l = calls().GrayToTemp(handle(), m_histMinGray);
    const auto u = static_cast<float>(2.0L * h - l);
    const auto d = static_cast<float>(2.0L * l - h);
    m_windowHigh = m_levelHigh = h;
    m_windowLow = m_levelLow = l;
    m_upperLimit = u;
    m_lowerLimit = d;
    TempToGray(h, &m_displayHighGray);
    TempToGray(l, &m_displayLowGray);
    if (upper != nullptr) *upper = u;
    if (lower != nullptr) *lower = d;
    if (high != nullptr) *high = h;
    if (low != nullptr) *low = l;
    return 1;
}

// The library renders with the display grays as they are set while the gain
// is manual, so the new window needs no frame read: reading one would step a
// sequence on at every move of the slider and stop at its end.
int CIrImage::SetLevelSpan(float high, float low) {
    m_levelHigh = high;
    m_levelLow = low;
    TempToGray(high, &m_displayHighGray);
    TempToGray(low, &m_displayLowGray);
    calls().SetAGCStatus(handle(), 0);
    calls().SetHistogramMaxGray(handle(), m_displayHighGray);
    calls().SetHistogramMinGray(handle(), m_displayLowGray);
    return 1;
}

int CIrImage::SetPalette(int index) {
    palette_ = (index < 0 || index > 9) ? 0 : index;
    if (handle() == nullptr) return 1;
    return calls().SetColorRuler(handle(), rulerPath(palette_).c_str());
}

int CIrImage::GetBoardRect(int rect[4]) {
    int x = 0, y = 0, w = 0, h = 0;
    calls().GetBoardCoord(handle(), &x, &y, &w, &h);
    rect[0] = x;
    rect[1] = y;
    // A hostile size stops at the int range.
    const auto corner = [](int from, int size) {
        return static_cast<int>(std::clamp<std::int64_t>(std::int64_t(from) + size, INT32_MIN, INT32_MAX));
    };
    rect[2] = corner(x, w);
    rect[3] = corner(y, h);
    return 1;
}

int CIrImage::SetInvert(int flag) {
    m_invert = flag;
    calls().SetIRInvert(handle(), flag);
    return 1;
}

int CIrImage::HasSound() {
    if (handle() == nullptr) return 0;
    return calls().ExistSound(handle()) != 0 ? 1 : 0;
}

int CIrImage::ExtractSound(const QString& path) {
    return calls().GetSoundFile(handle(), QFile::encodeName(path).constData());
}

int CIrImage::SaveImageBmp(const QString&, int) { return 0; }

QByteArray CIrImage::deviceModel() const {
    return QByteArray(m_model, static_cast<qsizetype>(strnlen(m_model, sizeof m_model)));
}

int CIrImage::GetPointTemp(int x, int y, float emissivity, float distance, float* t) {
    calls().SetEmissDis(handle(), emissivity, distance);
    calls().SetAmbHum(handle(), m_ambient, m_humidity);
    const float v = calls().GetPointTemp(handle(), x, y);
    if (t != nullptr) *t = v;
    return 1;
}

int CIrImage::lineSamples(int x1, int y1, int x2, int y2) {
    m_lineCount = 0;
    const int n = thermcore::WalkLine(x1, y1, x2, y2, m_linePoints);
    if (n > 0) m_lineCount = n;
    return n;
}

int CIrImage::GetLineTemps(int x1, int y1, int x2, int y2, float emissivity, float distance, float* out,
                           int* count) {
    const int n = lineSamples(x1, y1, x2, y2);
    if (n <= 0 || count == nullptr || out == nullptr) {
        if (n == 0 && count != nullptr) *count = 0;
        return 0;
    }
    if (*count < n) return 0;
    for (int i = 0; i < n; ++i) {
        GetPointTemp(m_linePoints[static_cast<size_t>(i)].x, m_linePoints[static_cast<size_t>(i)].y,
                     emissivity, distance, &out[i]);
    }
    *count = n;
    return 1;
}

int CIrImage::MeasureLine(IRAnalysisItem* item) {
    if (item == nullptr) return 0;
    const int n = lineSamples(item->x1, item->y1, item->x2, item->y2);
    Extremes e;
    for (int i = 0; i < n; ++i) {
        const IfrPoint p = m_linePoints[static_cast<size_t>(i)];
        float t = 0.0f;
        GetPointTemp(p.x, p.y, item->emissivity, item->distance, &t);
        e.take(t, p);
    }
    return e.writeTo(item);
}

int CIrImage::GetRectTemps(int x1, int y1, int x2, int y2, float emissivity, float distance, float* out,
                           int* count) {
    const Span s = normalised(x1, y1, x2, y2);
    if (count == nullptr) return 0;
    if (s.area == 0 || s.area > *count || out == nullptr) {
        *count = 0;
        return 0;
    }
    int k = 0;
    for (int x = s.xmin; x < s.xmax; ++x) {
        for (int y = s.ymin; y < s.ymax; ++y) GetPointTemp(x, y, emissivity, distance, &out[k++]);
    }
    *count = k;
    return 1;
}

// Visits the pixels of the rectangle, end points excluded, column by column,
// that lie nearer to its centre than half its width; their count.
template <typename Visit>
int64_t CIrImage::visitDisc(int x1, int y1, int x2, int y2, Visit&& visit) {
    const Span s = normalised(x1, y1, x2, y2);
    const int64_t r = (int64_t{s.xmax} - s.xmin) / 2;
    const int64_t cx = (int64_t{s.xmin} + s.xmax) / 2;
    const int64_t cy = (int64_t{s.ymin} + s.ymax) / 2;
    int64_t n = 0;
    for (int64_t x = s.xmin; x < s.xmax; ++x) {
        for (int64_t y = s.ymin; y < s.ymax; ++y) {
            const int64_t dx = cx - x;
            const int64_t dy = cy - y;
            if (dx * dx + dy * dy < r * r) {
                visit(static_cast<int>(x), static_cast<int>(y), s);
                ++n;
            }
        }
    }
    return n;
}

int CIrImage::GetCircleTemps(int x1, int y1, int x2, int y2, float emissivity, float distance,
                             float* out, int* count) {
    const Span s = normalised(x1, y1, x2, y2);
    if (count == nullptr) return 0;
    if (s.area == 0 || s.area > *count || out == nullptr) {
        *count = 0;
        return 0;
    }
    int k = 0;
    visitDisc(x1, y1, x2, y2,
              [&](int x, int y, const Span&) { GetPointTemp(x, y, emissivity, distance, &out[k++]); });
    *count = k;
    return k > 0 ? 1 : 0;
}

int CIrImage::MeasureArea(IRAnalysisItem* item) {
    if (item == nullptr) return 0;
    const Span s = normalised(item->x1, item->y1, item->x2, item->y2);
    if (s.area == 0 || s.area > kMaxAreaPixels) return 0;
    Extremes e;
    visitDisc(item->x1, item->y1, item->x2, item->y2, [&](int x, int y, const Span& r) {
        float t = 0.0f;
        GetPointTemp(x, y, item->emissivity, item->distance, &t);
        e.take(t, IfrPoint{x - r.xmin, y - r.ymin});
    });
    return e.writeTo(item);
}

}  // namespace heatshelf
