// libFuzzer target: the input bytes opened as a still image, a sequence and
// a JPEG container, and as a memory image; each object is read, stepped,
// played, converted to temperatures, rendered, handed out, saved and reopened.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "thermcore.h"

namespace {

std::string scratchPath(const char* name) {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp != nullptr ? tmp : "/tmp") + "/thermcore-fuzz-" +
           std::to_string(getpid()) + "-" + name;
}

bool writeFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// Sequence calls: frames forward and back, a jump, a short playback.
void step(IfrHandle h, int first) {
    for (int i = 0; i < 40 && IFR_Next(h) == 0; ++i) {
    }
    for (int i = 0; i < 3; ++i) IFR_Prior(h);
    IFR_GotoTime(h, first);
    IFR_PlaySpeed(h, 3);
    if (IFR_Play(h) == 0) IFR_Next(h);  // ends the playback first
}

void exercise(IfrHandle h, const std::string& savePath) {
    IFR_Next(h);
    int w = 0, ht = 0;
    IFR_GetImageWidthHeight(h, &w, &ht);
    int scheme = 0, version = 0, id = 0, pw = 0, ph = 0;
    IFR_GetFileVer(h, &scheme, &version);
    IFR_GetColorID(h, &id);
    IFR_GetCCDImageWidthHeight(h, &pw, &ph);
    IFR_ResetAGCStatus(h);
    // Temperatures from whatever line table, plane table or calibration
    // block the file carries, and the marks it stores.
    IFR_TempToGray(h, IFR_GrayToTemp(h, 8000));
    IFR_GetRectAverageTemp(h, 0, 0, w - 1, ht - 1);
    IfrPointInfo points[4];
    IfrRectInfo rects[3];
    IfrLineInfo lines[3];
    IFR_GetPointInfo(h, points);
    IFR_GetRectInfo(h, rects);
    IFR_GetLineInfo(h, lines);
    int board[4];
    IFR_GetBoardCoord(h, &board[0], &board[1], &board[2], &board[3]);
    IfrSurface* surface = nullptr;
    std::vector<unsigned short> frame(static_cast<size_t>(w) * static_cast<size_t>(ht), 1234);
    IFR_GetDrawBuffer(h, frame.data(), &surface);
    const int n = IFR_GetFileLen(h);
    if (n > 0) {
        std::vector<uint8_t> copy(static_cast<size_t>(n));
        IFR_GetFileBuff(h, copy.data());
    }
    IFR_MemSaveToVNI(h, savePath.c_str());
}

void release(IfrHandle h) {
    IFR_CloseFile(h);
    IFR_Free(h);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string input = scratchPath("in.vni");
    static const std::string saved = scratchPath("saved.vni");
    if (!writeFile(input, data, size)) return 0;
    for (int kind : {IFR_KIND_IMAGE, IFR_KIND_SEQUENCE, IFR_KIND_JPEG}) {
        int first = 0, last = 0;
        IfrHandle h = IFR_LoadFile(nullptr, input.c_str(), kind, &first, &last);
        if (h == nullptr) continue;
        step(h, first);
        // The IR data handed out opens again from memory.
        const int n = IFR_GetFileLen(h);
        if (n > 0) {
            std::vector<uint8_t> copy(static_cast<size_t>(n));
            IFR_GetFileBuff(h, copy.data());
            IfrHandle fromMemory = IFR_LoadBuffer(nullptr, copy.data(), n);
            if (fromMemory != nullptr) {
                step(fromMemory, 0);
                release(fromMemory);
            }
        }
        exercise(h, saved);
        release(h);
        // What was saved opens again.
        IfrHandle again = IFR_LoadFile(nullptr, saved.c_str(), IFR_KIND_IMAGE, nullptr, nullptr);
        if (again != nullptr) {
            exercise(again, saved);
            release(again);
        }
    }
    IfrHandle fromMemory = IFR_LoadBuffer(nullptr, data, static_cast<int>(size));
    if (fromMemory != nullptr) {
        step(fromMemory, 0);
        release(fromMemory);
    }
    std::remove(input.c_str());
    std::remove(saved.c_str());
    return 0;
}
