// Shared helpers of the codec tests: synthetic images, stream parsing, a
// small independent Huffman decoder, PNM files, external tools.
#ifndef THERMJPEG_TEST_SUPPORT_H
#define THERMJPEG_TEST_SUPPORT_H

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "thermjpeg.h"

namespace thermjpeg::test {

using Bytes = std::vector<uint8_t>;

struct Image {
    int width = 0;
    int height = 0;
    int channels = 3;
    Bytes pixels; // rows packed, top first
};

// Deterministic picture with gradients, edges, a disc and mild noise.
Image MakeImage(int width, int height, int channels, uint32_t seed = 1);
Image MakeUniformImage(int width, int height, int channels, std::initializer_list<uint8_t> pixel);

// Reverses channel order of a three-channel image (B, G, R <-> R, G, B).
Image SwapRedBlue(const Image& image);

// A record after JpegInit, set up for a packed image and memory or file output.
struct Codec {
    JPEG_PROPERTIES p{};
    Codec();
    ~Codec();
    Codec(const Codec&) = delete;
    Codec& operator=(const Codec&) = delete;
    void SetImage(const Image& image, int colour);
};

// Encodes into memory (mode 9 or 13); the result code goes to *rc.
Bytes EncodeToMemory(JPEG_PROPERTIES& p, int* rc, int mode = JPEG_MODE_WRITE_MEMORY, size_t capacity = 0);
// Encodes a whole image into memory with the given setup; expects success.
Bytes Encode(const Image& image, int imageColour, const std::function<void(JPEG_PROPERTIES&)>& setup = {});

struct Segment {
    uint8_t marker = 0;
    Bytes payload; // without the marker and length
};

struct ParsedStream {
    std::vector<Segment> segments;  // every marker in order (SOI, ..., SOS, RSTn, EOI)
    Bytes entropy;                  // scan data between SOS and EOI, RST markers removed, still stuffed
    std::vector<int> restartMarkers; // numbers of RST markers in order
    bool ok = false;
};
ParsedStream ParseStream(const Bytes& stream);
std::vector<uint8_t> MarkerSequence(const ParsedStream& parsed);
// The 64 values of the DQT table with the given number (zig-zag order).
std::vector<int> DqtTable(const ParsedStream& parsed, int number);

// Independent baseline decoder of Huffman symbols: reads blocks with the
// given BITS/HUFFVAL tables and reports symbols and coefficients.
class BlockDecoder {
public:
    BlockDecoder(const Bytes& stuffedData);
    struct Table {
        const uint8_t* bits;
        const uint8_t* values;
    };
    struct Block {
        std::vector<int> symbols; // DC category, then AC symbols in order
        int16_t coefficients[64] = {}; // zig-zag order, DC as the difference
    };
    bool Decode(const Table& dc, const Table& ac, Block& block);

private:
    int Bit();
    int Bits(int count);
    int DecodeSymbol(const Table& table);
    Bytes data_;
    size_t bitPosition_ = 0;
};

// Files and tools.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::filesystem::path Path(const std::string& name) const { return dir_ / name; }

private:
    std::filesystem::path dir_;
};

Bytes ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);
bool HaveTool(const std::string& name);
int Run(const std::string& command);
// P5 for one channel, P6 for three (R, G, B order).
void WritePnm(const std::filesystem::path& path, const Image& rgbOrGray);
Image ReadPnm(const std::filesystem::path& path);
// Decodes with djpeg into an image (R, G, B or gray).
Image Decode(const Bytes& jpeg, const TempDir& dir, const std::string& name = "decode");
double Psnr(const Image& a, const Image& b);
uint64_t Fnv1a(const Bytes& bytes);

// Sets USECPU (the kernel set of every later JpegInit) for the scope and
// restores what was there; null unsets it.
class UseCpu {
public:
    explicit UseCpu(const char* value);
    ~UseCpu();
    UseCpu(const UseCpu&) = delete;
    UseCpu& operator=(const UseCpu&) = delete;

private:
    std::optional<std::string> saved_;
};

// The processor set that the digest tests pin besides the generic one.
inline constexpr const char* kProcessorSet = "6";
// Largest difference per channel between the decoded pixels of a processor
// set's stream and the generic set's stream of the same picture.
inline constexpr int kProcessorStreamPixelBound = 4;

} // namespace thermjpeg::test

#endif
