// libFuzzer target: the input bytes opened as a still image, a sequence and
// a JPEG container; every extract is written from each object, and the two
// converters run over the input as each kind.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "thermcore.h"

namespace {

// A folder of the run's own under TMPDIR for the input and the extracts,
// removed with everything in it when the program exits. It is made before
// every static that holds a path in it, so it goes after them.
class ScratchFolder {
public:
    ScratchFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/thermcore-xfuzz-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchFolder() {
        if (path_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string scratchPath(const char* name) {
    static const ScratchFolder folder;
    return folder.path() + "/" + name;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// A 256-colour palette file.
std::string palettePath() {
    static const std::string path = [] {
        std::vector<uint8_t> bmp(54 + 768);
        for (size_t i = 0; i < 768; ++i) bmp[54 + i] = static_cast<uint8_t>(i * 7);
        const std::string p = scratchPath("palette.bmp");
        writeFile(p, bmp);
        return p;
    }();
    return path;
}

void extractAll(IfrHandle h, int kind) {
    static const std::string out = scratchPath("out");
    static const std::string bmp = scratchPath("out.bmp");
    // A sequence's extracts wait for its frame index.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    while (kind != IFR_KIND_IMAGE && IFR_SaveRemarkFile(h, out.c_str()) == -1 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    IFR_ExistSound(h);
    IFR_ExistCCD(h);
    IFR_ExistRemark(h);
    IFR_GetSoundFile(h, out.c_str());
    int photoKind = 0;
    IFR_SaveCCDFile(h, out.c_str(), &photoKind);
    IFR_SaveCCDFile(h, bmp.c_str(), &photoKind);
    IFR_SaveRemarkFile(h, out.c_str());
    int pw = 0, ph = 0;
    IFR_GetCCDImageWidthHeight(h, &pw, &ph);
    std::vector<unsigned char> dib(static_cast<size_t>(ThermcoreDibFileSize(pw, ph)) + 40);
    unsigned char* p = dib.data();
    int size = static_cast<int>(dib.size());
    IFR_OutputCCDDIB(h, &p, &size, 0);

    IFR_SetColorRuler(h, palettePath().c_str());
    IFR_Next(h);
    int w = 0, ht = 0;
    IFR_GetImageWidthHeight(h, &w, &ht);
    std::vector<unsigned char> image(static_cast<size_t>(ThermcoreDibFileSize(w, ht)));
    if (!image.empty()) IFR_OutputDIB(h, image.data(), &size, 0);
    IFR_MemSaveToBMP(h, out.c_str());
    IFR_MemSaveToJPG(h, out.c_str(), 80);
    std::vector<unsigned char> raw(static_cast<size_t>(w) * static_cast<size_t>(ht) * 4);
    IFR_MemSaveToBuff(h, raw.data(), static_cast<int>(raw.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string input = scratchPath("in");
    static const std::string out = scratchPath("converted");
    if (!writeFile(input, std::vector<uint8_t>(data, data + size))) return 0;
    for (int kind : {IFR_KIND_IMAGE, IFR_KIND_SEQUENCE, IFR_KIND_JPEG}) {
        IfrHandle h = IFR_LoadFile(nullptr, input.c_str(), kind, nullptr, nullptr);
        if (h != nullptr) {
            extractAll(h, kind);
            IFR_CloseFile(h);
            IFR_Free(h);
        }
        IFR_InfraredFileToBMP(palettePath().c_str(), kind, input.c_str(), out.c_str());
        IFR_InfraredFileToJPG(palettePath().c_str(), kind, input.c_str(), out.c_str(), 80);
    }
    return 0;
}
