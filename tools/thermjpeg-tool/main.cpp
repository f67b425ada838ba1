// thermjpeg-tool: the codec's own interface from the command line.
//
//   thermjpeg-tool decode IN.jpg OUT.ppm
//       the whole image as 8-bit R, G, B (a PGM for one-component files)
//   thermjpeg-tool encode IN.ppm|IN.pgm OUT.jpg [-quality N] [-sample 1x1|2x1|2x2]
//                                               [-progressive] [-restart N]
//
// Exit 0 on success; 1 with the codec's result code and text on stderr when
// the codec refuses a file; 2 for a usage or PNM error.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "thermjpeg.h"

namespace {

// Rows a strip buffer holds: a whole number of MCU rows at every sampling
// (MCUs are at most 32 rows high).
constexpr int kStripRows = 32;

struct PnmHeader {
    int width = 0, height = 0, channels = 0;
};

// An 8-bit binary PPM or PGM header: magic, width, height and maximum value
// as blank-separated tokens (a '#' before a token comments out the rest of
// its line), then one byte before the pixels. The file is left at the pixels.
bool ReadPnmHeader(std::FILE* in, PnmHeader& header)
{
    int c = std::getc(in);
    auto token = [&] {
        std::string t;
        for (;;) {
            while (c != EOF && std::isspace(c))
                c = std::getc(in);
            if (c == '#') {
                while (c != EOF && c != '\n')
                    c = std::getc(in);
                continue;
            }
            break;
        }
        while (c != EOF && !std::isspace(c)) {
            t.push_back(static_cast<char>(c));
            c = std::getc(in);
        }
        return t;
    };
    const std::string magic = token();
    if (magic != "P5" && magic != "P6")
        return false;
    header.channels = magic == "P5" ? 1 : 3;
    header.width = std::atoi(token().c_str());
    header.height = std::atoi(token().c_str());
    const int maxValue = std::atoi(token().c_str());
    // `c` is the byte after the last token: the one separator before the pixels.
    return header.width >= 1 && header.height >= 1 && header.width <= 65535 && header.height <= 65535 &&
           maxValue == 255;
}

// True when a regular file holds fewer pixel bytes after the header than the
// header promises (other inputs are found short while reading).
bool ShortRegularFile(std::FILE* in, const PnmHeader& header)
{
    struct stat st {};
    const long position = std::ftell(in);
    if (fstat(fileno(in), &st) != 0 || !S_ISREG(st.st_mode) || position < 0)
        return false;
    const uint64_t size = uint64_t(header.width) * uint64_t(header.height) * uint64_t(header.channels);
    return uint64_t(st.st_size) < uint64_t(position) || uint64_t(st.st_size) - uint64_t(position) < size;
}

// A PNM file written beside its final name and renamed over it once
// complete, so a failed decode leaves an existing file as it was. A path
// that names something other than a regular file (a device, a pipe) is
// written directly.
class PnmOutput {
public:
    explicit PnmOutput(const char* path) : path_(path) {}
    PnmOutput(const PnmOutput&) = delete;
    PnmOutput& operator=(const PnmOutput&) = delete;
    ~PnmOutput() { Discard(); }

    // Starts the file (again) with the header; false when it cannot be written.
    bool Begin(int width, int height, int channels)
    {
        Discard();
        failed_ = false;
        struct stat st {};
        const bool exists = stat(path_.c_str(), &st) == 0;
        if (exists && !S_ISREG(st.st_mode)) {
            file_ = std::fopen(path_.c_str(), "wb");
        } else {
            temp_ = path_ + ".XXXXXX";
            const int fd = mkstemp(temp_.data());
            if (fd >= 0) {
                mode_t mode = 0;
                if (exists) {
                    mode = st.st_mode & 07777;
                } else {
                    const mode_t mask = umask(0);
                    umask(mask);
                    mode = 0666 & ~mask;
                }
                if (fchmod(fd, mode) != 0 || (file_ = fdopen(fd, "wb")) == nullptr) {
                    close(fd);
                    unlink(temp_.c_str());
                }
            }
            if (file_ == nullptr)
                temp_.clear();
        }
        failed_ = file_ == nullptr ||
                  std::fprintf(file_, "P%d\n%d %d\n255\n", channels == 1 ? 5 : 6, width, height) < 0;
        return !failed_;
    }

    bool Write(const uint8_t* bytes, size_t size)
    {
        failed_ = failed_ || file_ == nullptr || std::fwrite(bytes, 1, size, file_) != size;
        return !failed_;
    }

    // Closes the file and puts it in place; false when any write failed.
    bool Commit()
    {
        if (file_ == nullptr)
            return false;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        bool ok = closed && !failed_;
        if (!temp_.empty()) {
            ok = ok && std::rename(temp_.c_str(), path_.c_str()) == 0;
            if (!ok)
                unlink(temp_.c_str());
            temp_.clear();
        }
        return ok;
    }

    void Discard()
    {
        if (file_ != nullptr)
            std::fclose(file_);
        file_ = nullptr;
        if (!temp_.empty())
            unlink(temp_.c_str());
        temp_.clear();
    }

private:
    std::string path_;
    std::string temp_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A buffer whose bytes are not cleared: every byte is written before use.
std::unique_ptr<uint8_t[]> Buffer(size_t size) { return std::unique_ptr<uint8_t[]>(new uint8_t[size]); }

int Refused(int code)
{
    std::fprintf(stderr, "thermjpeg-tool: %d %s\n", code, JpegErrorText(code));
    return 1;
}

int Usage(std::FILE* out = stderr)
{
    std::fprintf(out,
                 "usage: thermjpeg-tool decode IN.jpg OUT.ppm\n"
                 "       thermjpeg-tool encode IN.ppm|IN.pgm OUT.jpg [-quality N] [-sample 1x1|2x1|2x2]"
                 " [-progressive] [-restart N]\n");
    return out == stderr ? 2 : 0;
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

// The picture in one read, for streams that cannot be put out in strips: a
// second scan follows a sequential scan of every component.
int DecodeWhole(JPEG_PROPERTIES& p, PnmOutput& output, int width, int height, int channels, const char* out)
{
    const size_t size = size_t(width) * size_t(height) * size_t(channels);
    // Fresh pages read as zero without being written: rows no data reaches stay 0.
    const std::unique_ptr<uint8_t, decltype(&std::free)> pixels(static_cast<uint8_t*>(std::calloc(size, 1)),
                                                                 &std::free);
    if (!pixels)
        return Refused(JPEG_MEMORY_ERROR);
    p.ImageBytes = pixels.get();
    p.StripRows = 0;
    if (int rc = JpegRead(&p, JPEG_MODE_READ_FILE))
        return Refused(rc);
    if (!output.Begin(width, height, channels) || !output.Write(pixels.get(), size) || !output.Commit()) {
        std::fprintf(stderr, "thermjpeg-tool: cannot write %s\n", out);
        return 2;
    }
    return 0;
}

int Decode(const char* in, const char* out)
{
    Record r;
    if (r.init != 0)
        return Refused(r.init);
    JPEG_PROPERTIES& p = r.p;
    p.JpegFile = in;
    if (int rc = JpegRead(&p, JPEG_MODE_HEADER_FILE))
        return Refused(rc);
    const int width = p.JpegWidth, height = p.JpegHeight;
    const int channels = p.JpegChannels == 1 ? 1 : 3;
    if (!JpegPictureFits(width, height, channels)) {
        std::fprintf(stderr,
                     "thermjpeg-tool: %s: a picture of %d x %d pixels is beyond the limit of %d pixels a side, "
                     "%ld pixels and %ld bytes\n",
                     in, width, height, JPEG_MAX_PICTURE_SIDE, JPEG_MAX_PICTURE_PIXELS, JPEG_MAX_PICTURE_BYTES);
        return 2;
    }
    p.ImageWidth = width;
    p.ImageHeight = height;
    p.ImagePadBytes = 0;
    p.ImageChannels = channels;
    p.ImageColour = channels == 1 ? JPEG_COLOUR_GRAY : JPEG_COLOUR_RGB;

    // A strip of rows at a time, each written out as it comes; the file is
    // started with the first strip, so a stream refused early writes nothing.
    const size_t rowBytes = size_t(width) * size_t(channels);
    const auto strip = Buffer(rowBytes * kStripRows);
    p.StripRows = kStripRows;
    PnmOutput output(out);
    bool writing = true;
    int done = 0;
    int rc = 0;
    for (;;) {
        // Rows no data reaches stay 0, as in a cleared picture.
        std::memset(strip.get(), 0, rowBytes * kStripRows);
        p.ImageBytes = strip.get();
        rc = JpegRead(&p, JPEG_MODE_READ_FILE);
        if (rc != JPEG_INTERRUPTED)
            break;
        if (done == 0)
            writing = output.Begin(width, height, channels);
        const int end = std::clamp(p.InterruptRow, done, height);
        writing = output.Write(strip.get(), size_t(end - done) * rowBytes) && writing;
        done = end;
    }
    if (rc == JPEG_NOT_SUPPORTED)
        return DecodeWhole(p, output, width, height, channels, out);
    if (rc != 0)
        return Refused(rc);
    if (done == 0)
        writing = output.Begin(width, height, channels);
    if (!writing || !output.Commit()) {
        std::fprintf(stderr, "thermjpeg-tool: cannot write %s\n", out);
        return 2;
    }
    return 0;
}

int NotPnm(const char* path)
{
    std::fprintf(stderr, "thermjpeg-tool: %s is not an 8-bit PPM or PGM\n", path);
    return 2;
}

int Encode(int argc, char** argv)
{
    const File in(std::fopen(argv[2], "rb"));
    PnmHeader image;
    if (!in || !ReadPnmHeader(in.get(), image) || ShortRegularFile(in.get(), image))
        return NotPnm(argv[2]);
    Record r;
    if (r.init != 0)
        return Refused(r.init);
    JPEG_PROPERTIES& p = r.p;
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

    // A strip of rows at a time, read as the codec asks for them (a
    // progressive stream goes out once the last strip is in): the buffer
    // holds rows first .. first + held - 1.
    const size_t rowBytes = size_t(image.width) * size_t(image.channels);
    const auto strip = Buffer(rowBytes * kStripRows);
    p.StripRows = kStripRows;
    int first = 0, held = 0;
    for (;;) {
        const int wanted = std::min(kStripRows, image.height - first);
        if (held < wanted) {
            const size_t size = size_t(wanted - held) * rowBytes;
            if (std::fread(strip.get() + size_t(held) * rowBytes, 1, size, in.get()) != size) {
                // An input that ends early (a pipe): no stream is left behind.
                JpegFree(&p);
                r.init = -1;
                unlink(argv[3]);
                return NotPnm(argv[2]);
            }
            held = wanted;
        }
        p.ImageBytes = strip.get();
        const int rc = JpegWrite(&p, JPEG_MODE_WRITE_FILE);
        if (rc != JPEG_INTERRUPTED)
            return rc != 0 ? Refused(rc) : 0;
        const int next = std::clamp(p.InterruptRow, first, first + held);
        held = first + held - next;
        std::memmove(strip.get(), strip.get() + size_t(next - first) * rowBytes, size_t(held) * rowBytes);
        first = next;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "decode") == 0)
        return Decode(argv[2], argv[3]);
    if (argc >= 4 && std::strcmp(argv[1], "encode") == 0)
        return Encode(argc, argv);
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        return Usage(stdout);
    return Usage();
}
