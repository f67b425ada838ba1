#include "reference_coefficients.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace thermjpeg::test {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings (corrupt data the library would tolerate) count as failures.
void OnMessage(j_common_ptr info, int level)
{
    if (level < 0)
        OnError(info);
}

} // namespace


namespace {

// Fills `result`, which lives in the caller's frame, so that nothing with
// a destructor is skipped when libjpeg's error handler jumps back here.
void ReadInto(const Bytes& jpeg, ReferenceCoefficients& result, jpeg_decompress_struct& info, ErrorManager& errors)
{
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.emit_message = OnMessage;
    if (setjmp(errors.jump)) {
        result.ok = false;
        result.error = errors.message;
        jpeg_destroy_decompress(&info);
        return;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&info);
    result.progressive = info.progressive_mode != 0;
    result.components.resize(static_cast<size_t>(info.num_components));
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& comp = info.comp_info[c];
        ReferenceComponent& out = result.components[static_cast<size_t>(c)];
        out.widthInBlocks = static_cast<int>(comp.width_in_blocks);
        out.heightInBlocks = static_cast<int>(comp.height_in_blocks);
        out.blocks.reserve(static_cast<size_t>(comp.width_in_blocks) * comp.height_in_blocks * DCTSIZE2);
        for (JDIMENSION row = 0; row < comp.height_in_blocks; ++row) {
            JBLOCKARRAY line =
                info.mem->access_virt_barray(reinterpret_cast<j_common_ptr>(&info), arrays[c], row, 1, FALSE);
            for (JDIMENSION column = 0; column < comp.width_in_blocks; ++column)
                out.blocks.insert(out.blocks.end(), line[0][column], line[0][column] + DCTSIZE2);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    result.ok = true;
}

} // namespace

ReferenceCoefficients ReadReferenceCoefficients(const Bytes& jpeg)
{
    ReferenceCoefficients result;
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    ReadInto(jpeg, result, info, errors);
    return result;
}

} // namespace thermjpeg::test
