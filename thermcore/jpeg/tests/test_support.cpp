#include "test_support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace thermjpeg::test {

Image MakeImage(int width, int height, int channels, uint32_t seed)
{
    Image image{width, height, channels, Bytes(static_cast<size_t>(width) * height * channels)};
    uint32_t state = seed * 2654435761u + 1;
    auto noise = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 24) % 17) - 8;
    };
    auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    const double cx = width * 0.6, cy = height * 0.4, radius = std::max(1.0, std::min(width, height) * 0.25);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int r = width > 1 ? x * 255 / (width - 1) : 128;
            int g = height > 1 ? y * 255 / (height - 1) : 96;
            int b = 255 - (r + g) / 2;
            const double dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy < radius * radius) {
                r = 230;
                g = 40;
                b = 60;
            }
            if (x < width / 4 && y > height / 2 && ((x / 2 + y / 2) % 2 == 0)) {
                r = g = b = 20;
            }
            const int n = noise();
            uint8_t* p = &image.pixels[(static_cast<size_t>(y) * width + x) * channels];
            if (channels == 1) {
                p[0] = clamp((r * 3 + g * 5 + b * 2) / 10 + n);
                continue;
            }
            const int values[3] = {r + n, g + n, b + n};
            for (int c = 0; c < channels; ++c)
                p[c] = c < 3 ? clamp(values[c]) : clamp((x * 7 + y * 3) % 256);
        }
    }
    return image;
}

Image MakeUniformImage(int width, int height, int channels, std::initializer_list<uint8_t> pixel)
{
    Image image{width, height, channels, {}};
    for (int i = 0; i < width * height; ++i)
        image.pixels.insert(image.pixels.end(), pixel.begin(), pixel.end());
    return image;
}

Image SwapRedBlue(const Image& image)
{
    Image out = image;
    for (size_t i = 0; i + 2 < out.pixels.size(); i += static_cast<size_t>(image.channels))
        std::swap(out.pixels[i], out.pixels[i + 2]);
    return out;
}

Codec::Codec()
{
    if (JpegInit(&p) != 0)
        throw std::runtime_error("JpegInit failed");
}

Codec::~Codec() { JpegFree(&p); }

void Codec::SetImage(const Image& image, int colour)
{
    p.ImageBytes = const_cast<uint8_t*>(image.pixels.data());
    p.ImageWidth = image.width;
    p.ImageHeight = image.height;
    p.ImageChannels = image.channels;
    p.ImageColour = colour;
    p.JpegWidth = image.width;
    p.JpegHeight = image.height;
}

Bytes EncodeToMemory(JPEG_PROPERTIES& p, int* rc, int mode, size_t capacity)
{
    if (capacity == 0)
        capacity = static_cast<size_t>(p.JpegWidth) * p.JpegHeight * 8 + 100000;
    Bytes out(capacity);
    p.JpegBytes = out.data();
    p.JpegSize = static_cast<int32_t>(out.size());
    *rc = JpegWrite(&p, mode);
    out.resize(*rc >= 0 ? static_cast<size_t>(p.JpegSize) : 0);
    return out;
}

Bytes Encode(const Image& image, int imageColour, const std::function<void(JPEG_PROPERTIES&)>& setup)
{
    Codec codec;
    codec.SetImage(image, imageColour);
    if (setup)
        setup(codec.p);
    int rc = 0;
    Bytes out = EncodeToMemory(codec.p, &rc);
    EXPECT_EQ(rc, 0) << JpegErrorText(rc);
    return out;
}

ParsedStream ParseStream(const Bytes& s)
{
    ParsedStream parsed;
    size_t i = 0;
    auto has = [&](size_t n) { return i + n <= s.size(); };
    if (!has(2) || s[0] != 0xFF || s[1] != 0xD8)
        return parsed;
    parsed.segments.push_back({0xD8, {}});
    i = 2;
    bool inScan = false;
    while (has(2)) {
        if (inScan) {
            if (s[i] != 0xFF) {
                parsed.entropy.push_back(s[i++]);
                continue;
            }
            const uint8_t next = s[i + 1];
            if (next == 0x00) {
                parsed.entropy.push_back(0xFF);
                parsed.entropy.push_back(0x00);
                i += 2;
                continue;
            }
            if (next >= 0xD0 && next <= 0xD7) {
                parsed.restartMarkers.push_back(next - 0xD0);
                parsed.segments.push_back({next, {}});
                i += 2;
                continue;
            }
            inScan = false;
        }
        if (s[i] != 0xFF)
            return parsed;
        const uint8_t marker = s[i + 1];
        i += 2;
        if (marker == 0xD9) {
            parsed.segments.push_back({marker, {}});
            parsed.ok = i == s.size();
            return parsed;
        }
        if (!has(2))
            return parsed;
        const size_t length = static_cast<size_t>(s[i] << 8 | s[i + 1]);
        if (length < 2 || !has(length))
            return parsed;
        parsed.segments.push_back({marker, Bytes(s.begin() + static_cast<long>(i) + 2, s.begin() + static_cast<long>(i + length))});
        i += length;
        if (marker == 0xDA)
            inScan = true;
    }
    return parsed;
}

std::vector<uint8_t> MarkerSequence(const ParsedStream& parsed)
{
    std::vector<uint8_t> markers;
    for (const auto& segment : parsed.segments)
        markers.push_back(segment.marker);
    return markers;
}

std::vector<int> DqtTable(const ParsedStream& parsed, int number)
{
    std::vector<int> values;
    for (const auto& segment : parsed.segments) {
        if (segment.marker != 0xDB)
            continue;
        size_t i = 0;
        while (i < segment.payload.size()) {
            const int pq = segment.payload[i] >> 4, tq = segment.payload[i] & 15;
            ++i;
            std::vector<int> table;
            for (int k = 0; k < 64 && i < segment.payload.size(); ++k) {
                table.push_back(pq ? (segment.payload[i] << 8 | segment.payload[i + 1]) : segment.payload[i]);
                i += pq ? 2 : 1;
            }
            if (tq == number)
                values = table;
        }
    }
    return values;
}

BlockDecoder::BlockDecoder(const Bytes& stuffed)
{
    for (size_t i = 0; i < stuffed.size(); ++i) {
        data_.push_back(stuffed[i]);
        if (stuffed[i] == 0xFF && i + 1 < stuffed.size() && stuffed[i + 1] == 0x00)
            ++i;
    }
}

int BlockDecoder::Bit()
{
    const size_t byte = bitPosition_ / 8;
    if (byte >= data_.size())
        return -1;
    const int bit = (data_[byte] >> (7 - bitPosition_ % 8)) & 1;
    ++bitPosition_;
    return bit;
}

int BlockDecoder::Bits(int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const int bit = Bit();
        if (bit < 0)
            return -1;
        value = value << 1 | bit;
    }
    return value;
}

int BlockDecoder::DecodeSymbol(const Table& table)
{
    int code = 0, first = 0, index = 0;
    for (int length = 1; length <= 16; ++length) {
        const int bit = Bit();
        if (bit < 0)
            return -1;
        code |= bit;
        const int count = table.bits[length - 1];
        if (code - first < count)
            return table.values[index + code - first];
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    return -1;
}

bool BlockDecoder::Decode(const Table& dc, const Table& ac, Block& block)
{
    auto extend = [](int v, int s) { return s == 0 ? 0 : v < (1 << (s - 1)) ? v - (1 << s) + 1 : v; };
    block = Block{};
    const int category = DecodeSymbol(dc);
    if (category < 0)
        return false;
    block.symbols.push_back(category);
    block.coefficients[0] = static_cast<int16_t>(extend(Bits(category), category));
    for (int k = 1; k < 64;) {
        const int symbol = DecodeSymbol(ac);
        if (symbol < 0)
            return false;
        block.symbols.push_back(symbol);
        const int run = symbol >> 4, size = symbol & 15;
        if (size == 0) {
            if (run != 15)
                break;
            k += 16;
            continue;
        }
        k += run;
        if (k > 63)
            return false;
        block.coefficients[k++] = static_cast<int16_t>(extend(Bits(size), size));
    }
    return true;
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "thermjpeg-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

Bytes ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool HaveTool(const std::string& name) { return Run("command -v " + name + " >/dev/null 2>&1") == 0; }

int Run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void WritePnm(const std::filesystem::path& path, const Image& image)
{
    std::ostringstream header;
    header << (image.channels == 1 ? "P5" : "P6") << "\n" << image.width << " " << image.height << "\n255\n";
    const std::string h = header.str();
    Bytes bytes(h.begin(), h.end());
    bytes.insert(bytes.end(), image.pixels.begin(), image.pixels.end());
    WriteFileBytes(path, bytes);
}

Image ReadPnm(const std::filesystem::path& path)
{
    const Bytes bytes = ReadFileBytes(path);
    Image image;
    size_t i = 0;
    auto token = [&] {
        while (i < bytes.size() && std::isspace(bytes[i]))
            ++i;
        std::string t;
        while (i < bytes.size() && !std::isspace(bytes[i]))
            t.push_back(static_cast<char>(bytes[i++]));
        return t;
    };
    const std::string magic = token();
    if (magic != "P5" && magic != "P6")
        return image;
    image.channels = magic == "P5" ? 1 : 3;
    image.width = std::stoi(token());
    image.height = std::stoi(token());
    token(); // max value
    ++i;
    const size_t size = static_cast<size_t>(image.width) * image.height * image.channels;
    if (i + size > bytes.size())
        return Image{};
    image.pixels.assign(bytes.begin() + static_cast<long>(i), bytes.begin() + static_cast<long>(i + size));
    return image;
}

Image Decode(const Bytes& jpeg, const TempDir& dir, const std::string& name)
{
    const auto in = dir.Path(name + ".jpg");
    const auto out = dir.Path(name + ".pnm");
    WriteFileBytes(in, jpeg);
    if (Run("djpeg -pnm -outfile '" + out.string() + "' '" + in.string() + "' 2>/dev/null") != 0)
        return Image{};
    return ReadPnm(out);
}

double Psnr(const Image& a, const Image& b)
{
    if (a.pixels.size() != b.pixels.size() || a.pixels.empty())
        return 0.0;
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        const double d = double(a.pixels[i]) - double(b.pixels[i]);
        sum += d * d;
    }
    const double mse = sum / double(a.pixels.size());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

uint64_t Fnv1a(const Bytes& bytes)
{
    uint64_t hash = 1469598103934665603ull;
    for (uint8_t b : bytes) {
        hash ^= b;
        hash *= 1099511628211ull;
    }
    return hash;
}

UseCpu::UseCpu(const char* value)
{
    if (const char* old = std::getenv("USECPU"))
        saved_ = old;
    if (value)
        setenv("USECPU", value, 1);
    else
        unsetenv("USECPU");
}

UseCpu::~UseCpu()
{
    if (saved_)
        setenv("USECPU", saved_->c_str(), 1);
    else
        unsetenv("USECPU");
}

} // namespace thermjpeg::test
