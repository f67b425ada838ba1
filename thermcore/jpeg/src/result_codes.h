// The codec's result codes and their texts: one table serves JpegErrorText
// and the tests.
#ifndef THERMJPEG_RESULT_CODES_H
#define THERMJPEG_RESULT_CODES_H

#include <span>

namespace thermjpeg {

struct ResultText {
    int code;
    const char* text;
};

std::span<const ResultText> JpegResultTable();

} // namespace thermjpeg

#endif
