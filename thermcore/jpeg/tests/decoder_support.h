// Helpers of the decoder tests: reads through JpegRead, a corpus of streams
// made by cjpeg, jpegtran and wrjpgcom, and per-channel comparisons.
#ifndef THERMJPEG_DECODER_SUPPORT_H
#define THERMJPEG_DECODER_SUPPORT_H

#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

namespace thermjpeg::test {

struct ReadResult {
    int rc = 0;
    Image image;
};

// Reads a stream from memory (or from `file` when given: the even mode)
// into a buffer of the output size: header read first for the size, then
// the image mode. `setup` runs on the record before the image read.
ReadResult ReadJpeg(const Bytes& jpeg, int imageColour, int channels, int mode = JPEG_MODE_READ_MEMORY,
                    const std::function<void(JPEG_PROPERTIES&)>& setup = {}, int width = 0, int height = 0);

struct CorpusFile {
    std::string name;
    Bytes jpeg;
    bool gray = false; // one component
    bool rgb = false;  // three components stored as R, G, B
};

// Streams of one synthetic 93x61 picture (and its gray version) made by the
// system's cjpeg, jpegtran and wrjpgcom; empty when the tools are missing.
const std::vector<CorpusFile>& ReferenceCorpus();

// djpeg with extra arguments (for example "-dct int -nosmooth"); R, G, B or gray.
Image Djpeg(const Bytes& jpeg, const std::string& arguments);

struct ChannelDifference {
    int maximum[4] = {};
    double mean[4] = {};
};
// Compares the first `channels` bytes of each pixel of a (with a.channels
// bytes a pixel) with b's; sizes must agree.
ChannelDifference Compare(const Image& a, const Image& b, int channels);

// Pins a stream's digest for the generic set (USECPU=0) and for the
// processor set (kProcessorSet), and checks that the processor stream
// decodes, through the generic set, to within kProcessorStreamPixelBound of
// the generic stream's pixels (one component when gray, else three).
void ExpectDigestsOfEverySet(const std::string& name, const std::function<Bytes()>& encode, uint64_t generic,
                             uint64_t processor, bool gray);

// Runs a shell command with a file in and a file out.
Bytes Transform(const Bytes& input, const std::string& command, const std::string& inputSuffix = ".jpg");

} // namespace thermjpeg::test

#endif
