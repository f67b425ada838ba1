#include "extract_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace thermcore_test {

namespace {

std::string envOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : fallback;
}

std::string python() { return envOr("SUITE_PYTHON", "/usr/bin/python3"); }

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

}  // namespace

std::string extractFixture(const std::string& fileName) {
    return envOr("THERMCORE_EXTRACT_DIR", "fixtures/thermcore_extracts") + "/" + fileName;
}

std::string cameraFile(const std::string& fileName) {
    if (fileName.rfind("x_", 0) == 0 || fileName == "remark.utf8") return extractFixture(fileName);
    return fixtureFile(fileName);
}

int kindOf(const std::string& fileName) {
    const std::string ext = fileName.substr(fileName.rfind('.') + 1);
    if (ext == "vnv") return IFR_KIND_SEQUENCE;
    if (ext == "jpg") return IFR_KIND_JPEG;
    return IFR_KIND_IMAGE;
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

CommandResult runCommand(const std::string& command) {
    CommandResult r;
    std::FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) return r;
    char buf[4096];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

CommandResult runCheck(const std::string& arguments) {
    return runCommand(python() + " " + quoted(envOr("THERMCORE_EXTRACT_CHECK", "extract_check.py")) +
                      " " + arguments + " 2>&1");
}

std::string waveInfo(const std::string& path) {
    const CommandResult r = runCheck("wav " + quoted(path));
    return r.status == 0 ? trimmed(r.out) : "";
}

Bytes iconvGbk(const std::string& utf8) {
    ScratchDir dir;
    const std::string in = dir.write("text.utf8", Bytes(utf8.begin(), utf8.end()));
    const CommandResult r = runCommand("iconv -f UTF-8 -t GBK " + quoted(in));
    EXPECT_EQ(r.status, 0) << "iconv failed";
    return Bytes(r.out.begin(), r.out.end());
}

uint32_t Picture::at(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return uint32_t{rgb[i]} << 16 | uint32_t{rgb[i + 1]} << 8 | rgb[i + 2];
}

Picture decodeBmp(const std::string& path) {
    Picture p;
    const std::string out = path + ".rgb";
    const CommandResult r = runCheck("bmp " + quoted(path) + " " + quoted(out));
    EXPECT_EQ(r.status, 0) << r.out;
    if (r.status != 0) return p;
    std::ifstream in(out, std::ios::binary);
    in >> p.width >> p.height;
    in.get();
    p.rgb.assign(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(p.rgb.size(), static_cast<size_t>(p.width) * p.height * 3);
    std::remove(out.c_str());
    return p;
}

std::vector<uint32_t> paletteColours() {
    const Bytes b = readBytes(fixtureFile("palette.bmp"));
    std::vector<uint32_t> colours(256);
    for (size_t i = 0; i < 256 && 54 + 3 * i + 2 < b.size(); ++i) {
        colours[i] = uint32_t{b[54 + 3 * i + 2]} << 16 | uint32_t{b[54 + 3 * i + 1]} << 8 | b[54 + 3 * i];
    }
    return colours;
}

std::vector<uint32_t> expectedColours(const std::vector<uint16_t>& frame) {
    const auto [lo, hi] = std::minmax_element(frame.begin(), frame.end());
    return expectedColours(frame, *lo, *hi);
}

std::vector<uint32_t> expectedColours(const std::vector<uint16_t>& frame, int lowest, int highest) {
    const std::vector<uint32_t> palette = paletteColours();
    const int64_t min = lowest;
    const int64_t max = highest;
    std::vector<uint32_t> out;
    for (const uint16_t g : frame) {
        int index = 255;
        if (g <= min) {
            index = 0;
        } else if (g < max) {
            index = static_cast<int>((2 * (g - min) * 255 + (max - min)) / (2 * (max - min)));
        }
        out.push_back(palette[static_cast<size_t>(index)]);
    }
    return out;
}

std::vector<uint16_t> generatedFrame(int width, int height, bool sequence) {
    std::vector<uint16_t> f;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) f.push_back(expectedGray(x, y));
    }
    if (sequence && !f.empty()) f[0] = 1;
    return f;
}

OpenFile::OpenFile(const std::string& fileName)
    : h_(IFR_LoadFile(nullptr, cameraFile(fileName).c_str(), kindOf(fileName), nullptr, nullptr)),
      sequence_(kindOf(fileName) == IFR_KIND_SEQUENCE || fileName.find("seq") != std::string::npos) {
    EXPECT_NE(h_, nullptr) << fileName << " does not open";
}

OpenFile::~OpenFile() {
    if (h_ == nullptr) return;
    IFR_CloseFile(h_);
    IFR_Free(h_);
}

int OpenFile::width() const {
    int w = 0, h = 0;
    IFR_GetImageWidthHeight(h_, &w, &h);
    return w;
}

int OpenFile::height() const {
    int w = 0, h = 0;
    IFR_GetImageWidthHeight(h_, &w, &h);
    return h;
}

bool OpenFile::waitIndexed(const ScratchDir& dir) const {
    if (!sequence_) return true;
    // A sequence refuses its remark until the index is built.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    const std::string probe = dir.path("index-probe.txt");
    while (IFR_SaveRemarkFile(h_, probe.c_str()) != 1) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace thermcore_test
