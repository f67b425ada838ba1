#include "fake_thermcore.h"

#include <cstdio>
#include <cstring>

namespace thermcore::testing {
namespace {

FakeThermcore* g_fake = nullptr;
char g_object[16];

FakeThermcore& fake() { return *g_fake; }

template <typename... Args>
void record(const char* name, const char* format = "", Args... args) {
    char text[512];
    if constexpr (sizeof...(Args) == 0) {
        std::snprintf(text, sizeof text, "%s", format);
    } else {
        std::snprintf(text, sizeof text, format, args...);
    }
    fake().log.push_back(std::string(name) + "(" + text + ")");
}

const void* ptr(const void* p) { return p; }

IfrHandle LoadFile(void* window, const char* path, int kind, int* first, int* last) {
    record("LoadFile", "%p,%s,%d", ptr(window), path, kind);
    if (first != nullptr) *first = 0;
    if (last != nullptr) *last = 0;
    return fake().loadResult;
}
IfrHandle LoadBuffer(void* window, const void*, int length) {
    record("LoadBuffer", "%p,%d", ptr(window), length);
    return fake().loadResult;
}
int CloseFile(IfrHandle h) {
    record("CloseFile", "%p", ptr(h));
    return fake().closeResult;
}
void Free(IfrHandle h) { record("Free", "%p", ptr(h)); }
int GetImageWidthHeight(IfrHandle, int* w, int* h) {
    record("GetImageWidthHeight");
    *w = fake().width;
    *h = fake().height;
    return 0;
}
void GetCCDImageWidthHeight(IfrHandle, int* w, int* h) {
    record("GetCCDImageWidthHeight");
    *w = fake().photoWidth;
    *h = fake().photoHeight;
}
int GetFileLen(IfrHandle) {
    record("GetFileLen");
    return 0;
}
void GetFileBuff(IfrHandle, void*) { record("GetFileBuff"); }
int SetColorRuler(IfrHandle, const char* path) {
    record("SetColorRuler", "%s", path);
    return fake().rulerResult;
}
int ReceiveStream(IfrHandle, IfrStreamProc proc) {
    record("ReceiveStream", "%s", proc != nullptr ? "callback" : "null");
    return 0;
}
int Next(IfrHandle) {
    record("Next");
    return fake().nextResult;
}
void GetFileVer(IfrHandle, int* scheme, int* version) {
    record("GetFileVer");
    *scheme = fake().scheme;
    *version = fake().version;
}
int GetEmissDis(IfrHandle, float* e, float* d) {
    record("GetEmissDis");
    *e = fake().emissivity;
    *d = fake().distance;
    return 0;
}
int SetEmissDis(IfrHandle, float e, float d) {
    record("SetEmissDis", "%.2f,%.2f", static_cast<double>(e), static_cast<double>(d));
    return 0;
}
int GetAmbHum(IfrHandle, float* a, float* h) {
    record("GetAmbHum");
    *a = fake().ambient;
    *h = fake().humidity;
    return 0;
}
int SetAmbHum(IfrHandle, float a, float h) {
    record("SetAmbHum", "%.2f,%.2f", static_cast<double>(a), static_cast<double>(h));
    return 0;
}
int GetAtmoTemp(IfrHandle, float* t) {
    record("GetAtmoTemp");
    *t = fake().atmosphere;
    return 0;
}
int SetAtmoTemp(IfrHandle, float t) {
    record("SetAtmoTemp", "%.2f", static_cast<double>(t));
    return 0;
}
int GetPointInfo(IfrHandle, IfrPointInfo* out) {
    record("GetPointInfo");
    if (!fake().fillsRecords) return -1;
    std::memcpy(out, fake().points, sizeof fake().points);
    return 0;
}
int GetLineInfo(IfrHandle, IfrLineInfo* out) {
    record("GetLineInfo");
    if (!fake().fillsRecords) return -1;
    std::memcpy(out, fake().lines, sizeof fake().lines);
    return 0;
}
int GetRectInfo(IfrHandle, IfrRectInfo* out) {
    record("GetRectInfo");
    if (!fake().fillsRecords) return -1;
    std::memcpy(out, fake().rects, sizeof fake().rects);
    return 0;
}
void GetDeviceDate(IfrHandle, char* model, char* firmware, char* serial, char* dateTime,
                   char* deviceByte, int* low, int* high, char* last) {
    record("GetDeviceDate");
    std::memcpy(model, fake().model, 8);
    std::memcpy(firmware, fake().firmware, 16);
    std::memcpy(serial, fake().serial, 16);
    std::memcpy(dateTime, fake().dateTime, 32);
    *deviceByte = fake().deviceByte;
    *low = fake().rangeLow;
    *high = fake().rangeHigh;
    if (fake().writesLastByte) *last = fake().lastByte;
}
void GetColorID(IfrHandle, int* id) {
    record("GetColorID");
    *id = fake().colorId;
}
void SetFilterType(IfrHandle, int type) { record("SetFilterType", "%d", type); }
int GetHistogramMaxGray(IfrHandle) {
    record("GetHistogramMaxGray");
    return fake().histMax;
}
int GetHistogramMinGray(IfrHandle) {
    record("GetHistogramMinGray");
    return fake().histMin;
}
void SetHistogramMaxGray(IfrHandle, int g) { record("SetHistogramMaxGray", "%d", g); }
void SetHistogramMinGray(IfrHandle, int g) { record("SetHistogramMinGray", "%d", g); }
void SetAGCStatus(IfrHandle, int on) { record("SetAGCStatus", "%d", on); }
void DoHistogramProcess(IfrHandle, const unsigned short*) { record("DoHistogramProcess"); }
float GrayToTemp(IfrHandle, int gray) {
    record("GrayToTemp", "%d", gray);
    return fake().grayToTemp(gray);
}
int TempToGray(IfrHandle, float t) {
    record("TempToGray", "%.2f", static_cast<double>(t));
    return fake().tempToGray(t);
}
float GetPointTemp(IfrHandle, int x, int y) {
    record("GetPointTemp", "%d,%d", x, y);
    return fake().pointTemp(x, y);
}
void GetBoardCoord(IfrHandle, int* x, int* y, int* w, int* h) {
    record("GetBoardCoord");
    *x = fake().boardX;
    *y = fake().boardY;
    *w = fake().boardW;
    *h = fake().boardH;
}
void SetIRInvert(IfrHandle, int flag) { record("SetIRInvert", "%d", flag); }
int SetIsothermTemp(IfrHandle, int on, float low, float high, int colour, int index) {
    record("SetIsothermTemp", "%d,%.2f,%.2f,%d,%d", on, static_cast<double>(low),
           static_cast<double>(high), colour, index);
    return 0;
}
int OutputDIB(IfrHandle, unsigned char* buffer, int* size, int flag) {
    record("OutputDIB", "%d", flag);
    const int n = ThermcoreDibFileSize(fake().width, fake().height);
    if (fake().dibResult == 0 && buffer != nullptr && n > 0) {
        std::memset(buffer, 0, 54);
        buffer[0] = 'B';
        buffer[1] = 'M';
        for (int i = 14; i < n; ++i) buffer[i] = static_cast<unsigned char>((i - 14) % 251);
    }
    if (size != nullptr) *size = fake().dibSize >= 0 ? fake().dibSize : n;
    return fake().dibResult;
}
int OutputCCDDIB(IfrHandle, unsigned char**, int* size, int flag) {
    record("OutputCCDDIB", "%d", flag);
    if (size != nullptr) *size = 0;
    return 0;
}
int SaveCCDFile(IfrHandle, const char* path, int*) {
    record("SaveCCDFile", "%s", path);
    return 1;
}
int ExistSound(IfrHandle h) {
    record("ExistSound");
    return h == nullptr ? -1 : fake().existSound;
}
int GetSoundFile(IfrHandle, const char* path) {
    record("GetSoundFile", "%s", path);
    return fake().soundFileResult;
}
int ExistCCD(IfrHandle) {
    record("ExistCCD");
    return fake().photoWidth > 0 ? 1 : 0;
}
int ExistRemark(IfrHandle) {
    record("ExistRemark");
    return 0;
}
int SaveRemarkFile(IfrHandle, const char* path) {
    record("SaveRemarkFile", "%s", path);
    return -1;
}
int MemSaveToVNI(IfrHandle, const char* path) {
    record("MemSaveToVNI", "%s", path);
    return -1;
}
int GetDrawBuffer(IfrHandle, const unsigned short*, IfrSurface** surface) {
    record("GetDrawBuffer");
    if (surface != nullptr) *surface = nullptr;
    return 0;
}
void Flip(IfrHandle) { record("Flip"); }

const IfrCalls kFakeCalls{
    .LoadFile = LoadFile,
    .LoadBuffer = LoadBuffer,
    .CloseFile = CloseFile,
    .Free = Free,
    .GetImageWidthHeight = GetImageWidthHeight,
    .GetCCDImageWidthHeight = GetCCDImageWidthHeight,
    .GetFileLen = GetFileLen,
    .GetFileBuff = GetFileBuff,
    .SetColorRuler = SetColorRuler,
    .ReceiveStream = ReceiveStream,
    .Next = Next,
    .GetFileVer = GetFileVer,
    .GetEmissDis = GetEmissDis,
    .SetEmissDis = SetEmissDis,
    .GetAmbHum = GetAmbHum,
    .SetAmbHum = SetAmbHum,
    .GetAtmoTemp = GetAtmoTemp,
    .SetAtmoTemp = SetAtmoTemp,
    .GetPointInfo = GetPointInfo,
    .GetLineInfo = GetLineInfo,
    .GetRectInfo = GetRectInfo,
    .GetDeviceDate = GetDeviceDate,
    .GetColorID = GetColorID,
    .SetFilterType = SetFilterType,
    .GetHistogramMaxGray = GetHistogramMaxGray,
    .GetHistogramMinGray = GetHistogramMinGray,
    .SetHistogramMaxGray = SetHistogramMaxGray,
    .SetHistogramMinGray = SetHistogramMinGray,
    .SetAGCStatus = SetAGCStatus,
    .DoHistogramProcess = DoHistogramProcess,
    .GrayToTemp = GrayToTemp,
    .TempToGray = TempToGray,
    .GetPointTemp = GetPointTemp,
    .GetBoardCoord = GetBoardCoord,
    .SetIRInvert = SetIRInvert,
    .SetIsothermTemp = SetIsothermTemp,
    .OutputDIB = OutputDIB,
    .OutputCCDDIB = OutputCCDDIB,
    .SaveCCDFile = SaveCCDFile,
    .ExistSound = ExistSound,
    .GetSoundFile = GetSoundFile,
    .ExistCCD = ExistCCD,
    .ExistRemark = ExistRemark,
    .SaveRemarkFile = SaveRemarkFile,
    .MemSaveToVNI = MemSaveToVNI,
    .GetDrawBuffer = GetDrawBuffer,
    .Flip = Flip,
};

}  // namespace

FakeThermcore::FakeThermcore() {
    for (auto& p : points) p.state = 2;
    for (auto& r : rects) r.state = 2;
    for (auto& l : lines) l.state = 2;
    g_fake = this;
}

FakeThermcore::~FakeThermcore() {
    if (g_fake == this) g_fake = nullptr;
}

const IfrCalls& FakeThermcore::calls() const { return kFakeCalls; }

IfrHandle FakeThermcore::Handle() { return static_cast<IfrHandle>(g_object); }

std::vector<std::string> FakeThermcore::names() const {
    std::vector<std::string> out;
    for (const auto& entry : log) out.push_back(entry.substr(0, entry.find('(')));
    return out;
}

std::vector<std::string> FakeThermcore::argsOf(const std::string& name) const {
    std::vector<std::string> out;
    for (const auto& entry : log) {
        const size_t open = entry.find('(');
        if (entry.compare(0, open, name) == 0) out.push_back(entry.substr(open + 1, entry.size() - open - 2));
    }
    return out;
}

}  // namespace thermcore::testing
