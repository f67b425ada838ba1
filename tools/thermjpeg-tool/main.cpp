// thermjpeg-tool: the codec's own interface from the command line.
//
//   thermjpeg-tool decode IN.jpg OUT.ppm
//       the whole image as 8-bit R, G, B (a PGM for one-component files)
//   thermjpeg-tool encode IN.ppm|IN.pgm OUT.jpg [-quality N] [-sample 1x1|2x1|2x2]
//                                               [-progressive] [-restart N]
//
// Exit 0 on success; 1 with the codec's result code and text on stderr when
// the codec refuses a file; 2 for a usage or PNM error.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "thermjpeg.h"

namespace {

struct Pnm {
    int width = 0, height = 0, channels = 0;
    std::vector<uint8_t> pixels;
};

bool ReadPnm(const char* path, Pnm& image)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t i = 0;
    auto token = [&] {
        std::string t;
        for (;;) {
            while (i < bytes.size() && std::isspace(bytes[i]))
                ++i;
            if (i < bytes.size() && bytes[i] == '#') {
                while (i < bytes.size() && bytes[i] != '\n')
                    ++i;
                continue;
            }
            break;
        }
        while (i < bytes.size() && !std::isspace(bytes[i]))
            t.push_back(static_cast<char>(bytes[i++]));
        return t;
    };
    const std::string magic = token();
    if (magic != "P5" && magic != "P6")
        return false;
    image.channels = magic == "P5" ? 1 : 3;
    image.width = std::atoi(token().c_str());
    image.height = std::atoi(token().c_str());
    const int maxValue = std::atoi(token().c_str());
    ++i;
    if (image.width < 1 || image.height < 1 || image.width > 65535 || image.height > 65535 || maxValue != 255)
        return false;
    const size_t size = static_cast<size_t>(image.width) * image.height * image.channels;
    if (i + size > bytes.size())
        return false;
    image.pixels.assign(bytes.begin() + static_cast<long>(i), bytes.begin() + static_cast<long>(i + size));
    return true;
}

bool WritePnm(const char* path, const Pnm& image)
{
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr)
        return false;
    std::fprintf(f, "P%d\n%d %d\n255\n", image.channels == 1 ? 5 : 6, image.width, image.height);
    const bool ok = std::fwrite(image.pixels.data(), 1, image.pixels.size(), f) == image.pixels.size();
    return std::fclose(f) == 0 && ok;
}

int Refused(int code)
{
    std::fprintf(stderr, "thermjpeg-tool: %d %s\n", code, JpegErrorText(code));
    return 1;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: thermjpeg-tool decode IN.jpg OUT.ppm\n"
                 "       thermjpeg-tool encode IN.ppm|IN.pgm OUT.jpg [-quality N] [-sample 1x1|2x1|2x2]"
                 " [-progressive] [-restart N]\n");
    return 2;
}

// A record released on every path.
struct Record {
    JPEG_PROPERTIES p{};
    int init = JpegInit(&p);
    ~Record()
    {
        if (init == 0)
            JpegFree(&p);
    }
};

int Decode(const char* in, const char* out)
{
    Record r;
    if (r.init != 0)
        return Refused(r.init);
    JPEG_PROPERTIES& p = r.p;
    p.JpegFile = in;
    if (int rc = JpegRead(&p, JPEG_MODE_HEADER_FILE))
        return Refused(rc);
    Pnm image;
    image.width = p.JpegWidth;
    image.height = p.JpegHeight;
    image.channels = p.JpegChannels == 1 ? 1 : 3;
    if (!JpegPictureFits(image.width, image.height, image.channels)) {
        std::fprintf(stderr,
                     "thermjpeg-tool: %s: a picture of %d x %d pixels is beyond the limit of %d pixels a side, "
                     "%ld pixels and %ld bytes\n",
                     in, image.width, image.height, JPEG_MAX_PICTURE_SIDE, JPEG_MAX_PICTURE_PIXELS,
                     JPEG_MAX_PICTURE_BYTES);
        return 2;
    }
    image.pixels.assign(static_cast<size_t>(image.width) * image.height * image.channels, 0);
    p.ImageBytes = image.pixels.data();
    p.ImageWidth = image.width;
    p.ImageHeight = image.height;
    p.ImagePadBytes = 0;
    p.ImageChannels = image.channels;
    p.ImageColour = image.channels == 1 ? JPEG_COLOUR_GRAY : JPEG_COLOUR_RGB;
    if (int rc = JpegRead(&p, JPEG_MODE_READ_FILE))
        return Refused(rc);
    if (!WritePnm(out, image)) {
        std::fprintf(stderr, "thermjpeg-tool: cannot write %s\n", out);
        return 2;
    }
    return 0;
}

int Encode(int argc, char** argv)
{
    Pnm image;
    if (!ReadPnm(argv[2], image)) {
        std::fprintf(stderr, "thermjpeg-tool: %s is not an 8-bit PPM or PGM\n", argv[2]);
        return 2;
    }
    Record r;
    if (r.init != 0)
        return Refused(r.init);
    JPEG_PROPERTIES& p = r.p;
    p.ImageBytes = image.pixels.data();
    p.ImageWidth = p.JpegWidth = image.width;
    p.ImageHeight = p.JpegHeight = image.height;
    p.ImageChannels = image.channels;
    p.ImageColour = image.channels == 1 ? JPEG_COLOUR_GRAY : JPEG_COLOUR_RGB;
    p.JpegChannels = image.channels;
    p.JpegColour = image.channels == 1 ? JPEG_COLOUR_GRAY : JPEG_COLOUR_YCBCR;
    p.JpegSampling = image.channels == 1 ? JPEG_SAMPLING_444 : JPEG_SAMPLING_420;
    p.JpegFile = argv[3];
    for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "-quality" && hasValue) {
            p.Quality = std::atoi(argv[++i]);
        } else if (option == "-sample" && hasValue) {
            const std::string s = argv[++i];
            if (s == "1x1")
                p.JpegSampling = JPEG_SAMPLING_444;
            else if (s == "2x1")
                p.JpegSampling = JPEG_SAMPLING_422;
            else if (s == "2x2")
                p.JpegSampling = JPEG_SAMPLING_420;
            else
                return Usage();
            if (image.channels == 1)
                p.JpegSampling = JPEG_SAMPLING_444;
        } else if (option == "-progressive") {
            p.Progressive = 1;
        } else if (option == "-restart" && hasValue) {
            p.RestartInterval = std::atoi(argv[++i]);
        } else {
            return Usage();
        }
    }
    if (int rc = JpegWrite(&p, JPEG_MODE_WRITE_FILE))
        return Refused(rc);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "decode") == 0)
        return Decode(argv[2], argv[3]);
    if (argc >= 4 && std::strcmp(argv[1], "encode") == 0)
        return Encode(argc, argv);
    return Usage();
}
