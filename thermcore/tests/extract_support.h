// Helpers of the extract tests: the files of tools/extractgen.py, the
// independent readers of extract_check.py (Python's wave and audioop, PIL),
// the iconv program, and the colours a frame must get through the palette.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fixture_files.h"
#include "thermcore.h"

namespace thermcore_test {

using Bytes = std::vector<uint8_t>;

// Little-endian fields of a file's bytes.
inline uint32_t le16(const Bytes& b, size_t at) { return b[at] | uint32_t{b[at + 1]} << 8; }
inline uint32_t le32(const Bytes& b, size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

// A file of tools/extractgen.py.
std::string extractFixture(const std::string& fileName);
// A camera file by name: an extract fixture when it begins "x_" or is
// remark.utf8, else a fixture of tools/vnigen.py.
std::string cameraFile(const std::string& fileName);
// 0 for .vni, 1 for .vnv, 2 for .jpg.
int kindOf(const std::string& fileName);

// A command's exit status and what it wrote to standard output.
struct CommandResult {
    int status = -1;
    std::string out;
};
CommandResult runCommand(const std::string& command);
std::string quoted(const std::string& s);

// "channels width rate frames" of a WAV file as Python's wave module reads
// it; empty when it refuses the file.
std::string waveInfo(const std::string& path);
// extract_check.py with its arguments.
CommandResult runCheck(const std::string& arguments);
// The GBK bytes the iconv program makes of UTF-8 text.
Bytes iconvGbk(const std::string& utf8);

// A picture as R, G, B bytes, rows from the top.
struct Picture {
    int width = 0;
    int height = 0;
    Bytes rgb;
    uint32_t at(int x, int y) const;  // 0xRRGGBB
};
// A BMP file decoded by PIL; an empty picture when it refuses the file.
Picture decodeBmp(const std::string& path);

// The fixtures' palette (palette.bmp): entry i as 0xRRGGBB.
std::vector<uint32_t> paletteColours();
// The colour of every gray of a frame for the display range min..max: the
// palette entry round((g - min) * 255 / (max - min)), halves up (0 at or
// below min, 255 at or above max).
std::vector<uint32_t> expectedColours(const std::vector<uint16_t>& frame, int min, int max);
// The same with automatic gain: the frame's lowest and highest gray.
std::vector<uint32_t> expectedColours(const std::vector<uint16_t>& frame);
// The first frame of a generated file: the ramp of expectedGray(), and in
// sequences pixel (0, 0) = 1.
std::vector<uint16_t> generatedFrame(int width, int height, bool sequence);

// A handle opened from a camera file, closed and freed at the end.
class OpenFile {
public:
    explicit OpenFile(const std::string& fileName);
    ~OpenFile();
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    IfrHandle get() const { return h_; }
    operator IfrHandle() const { return h_; }
    int width() const;
    int height() const;
    // Waits (at most 10 s) until a sequence's frame index is built; true
    // when it is. A file counts as a sequence by its name (.vnv, or "seq"
    // in it); other files are ready at once.
    bool waitIndexed(const ScratchDir& dir) const;

private:
    IfrHandle h_;
    bool sequence_;
};

}  // namespace thermcore_test
