#include "result_codes.h"

#include "thermjpeg.h"

namespace thermjpeg {
namespace {

constexpr ResultText kResults[] = {
    {JPEG_ROI_SUCCESS, "ROI Success"},
    {JPEG_INTERRUPTED, "Interrupt Success"},
    {JPEG_SUCCESS, "Success"},
    {JPEG_EXCEPTION, "Exception detected"},
    {JPEG_INVALID_ENCODER, "Invalid Encoder"},
    {JPEG_BAD_SUBSAMPLING, "Unsupported subsampling"},
    {JPEG_BAD_BYTES_PER_PIXEL, "Unsupported bytes per pixel"},
    {JPEG_MEMORY_ERROR, "Memory error"},
    {JPEG_BAD_HUFFMAN_TABLE, "Bad Huffman table"},
    {JPEG_BAD_QUANT_TABLE, "Bad Quantization table"},
    {JPEG_INVALID_PROPERTIES, "Invalid JPEG_PROPERTIES"},
    {JPEG_CLOSE_ERROR, "Error close file"},
    {JPEG_INVALID_FILE_NAME, "Invalid file name"},
    {JPEG_EOF_ERROR, "Error EOF"},
    {JPEG_NOT_SUPPORTED, "Not supported"},
    {JPEG_NOT_JPEG, "Not JPEG"},
    {JPEG_COMPONENT_ERROR, "Error COMP"},
    {JPEG_SOF_ERROR, "Error SOF"},
    {JPEG_DNL_ERROR, "Error DNL"},
    {JPEG_NO_HUFFMAN_TABLE, "No Huffman table"},
    {JPEG_NO_QUANT_TABLE, "No Quantization table"},
    {JPEG_NO_FRAME, "No frame"},
    {JPEG_MULTIPLE_FRAMES, "Multiply frame"},
    {JPEG_DATA_ERROR, "Data error"},
    {JPEG_NO_IMAGE, "No image"},
    {JPEG_FILE_ERROR, "File error"},
    {JPEG_INTERNAL_ERROR, "Internal error"},
    {JPEG_BAD_RST_MARKER, "Bad RST marker"},
    {JPEG_THUMBNAIL_TOO_SMALL, "Thumbnail too small"},
    {JPEG_THUMBNAIL_WRONG_COLOUR, "Thumbnail has wrong color"},
    {JPEG_OUTPUT_TOO_SMALL, "Output buffer too small"},
    {JPEG_UNSUPPORTED_FRAME, "Unsupported frame was found"},
    {JPEG_COMMENT_ACCESS_ERROR, "Error access to jpeg_comment buffer"},
    {JPEG_RESERVED, "Reserved"},
};

} // namespace

std::span<const ResultText> JpegResultTable() { return kResults; }

} // namespace thermjpeg

extern "C" const char* JpegErrorText(int code)
{
    for (const auto& entry : thermjpeg::JpegResultTable()) {
        if (entry.code == code)
            return entry.text;
    }
    return "Unknown error code";
}
